#include "registry/ui/TFormAnagrafe.h"

#include "app/ui/Messages.h"
#include "app/ui/TForm1.h"
#include "registry/NameRules.h"
#include "registry/ui/DialogParts.h"
#include "store/StoreError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::registry::ui {

namespace {
const QString kPersons = QStringLiteral("ADOTableAnagrafe");
}

TFormAnagrafe::TFormAnagrafe(app::TForm1& form) : QDialog(&form), form_(form)
{
    setObjectName(QStringLiteral("TFormAnagrafe"));
    makeFixedDialog(this, QStringLiteral("Anagrafe condomino"), 424, 585);

    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 110);
    outer->addLayout(grid);
    int row = 0;
    cognome_ = addLabelledEdit(grid, row++, QStringLiteral("EditCognome"), QStringLiteral("Cognome"), 50, true, this);
    nome_ = addLabelledEdit(grid, row++, QStringLiteral("EditNome"), QStringLiteral("Nome"), 50, true, this);
    mobile_ = addLabelledEdit(grid, row++, QStringLiteral("EditMobile"), QStringLiteral("Mobile"), 50, false, this);
    telefono_ = addLabelledEdit(grid, row++, QStringLiteral("EditTelefono"), QStringLiteral("Telefono"), 50, false, this);
    fax_ = addLabelledEdit(grid, row++, QStringLiteral("EditFax"), QStringLiteral("Fax"), 50, false, this);
    indirizzo_ = addLabelledEdit(grid, row++, QStringLiteral("EditIndirizzo"), QStringLiteral("Indirizzo"), 50, false, this);
    cap_ = addLabelledEdit(grid, row++, QStringLiteral("EditCAP"), QStringLiteral("CAP"), 50, false, this);
    citta_ = addLabelledEdit(grid, row++, QStringLiteral("EditCitta"), QString::fromUtf8("Città"), 50, false, this);
    email_ = addLabelledEdit(grid, row++, QStringLiteral("EditEmail"), QStringLiteral("E-Mail"), 50, false, this);
    codiceFiscale_ = addLabelledEdit(grid, row++, QStringLiteral("EditCodiceFiscale"), QStringLiteral("Codice fiscale"),
                                     50, false, this);

    comunicazioni_ = new QComboBox(this);
    comunicazioni_->setObjectName(QStringLiteral("EditComunicazioni"));
    comunicazioni_->setAccessibleName(QStringLiteral("Comunicazioni"));
    auto* channelLabel = new QLabel(QStringLiteral("Comunicazioni"), this);
    channelLabel->setObjectName(QStringLiteral("LabelComunicazioni"));
    channelLabel->setBuddy(comunicazioni_);
    grid->addWidget(channelLabel, row, 0);
    grid->addWidget(comunicazioni_, row++, 1);

    consiglio_ = new QCheckBox(QStringLiteral("Membro del consiglio dei condomini"), this);
    consiglio_->setObjectName(QStringLiteral("EditConsiglio"));
    grid->addWidget(consiglio_, row++, 1);

    note_ = addLabelledEdit(grid, row++, QStringLiteral("EditNote"), QStringLiteral("Nota"), 200, false, this);

    auto* web = new QGroupBox(QStringLiteral("Web Data Base"), this);
    web->setObjectName(QStringLiteral("GroupBoxWeb"));
    auto* webGrid = new QGridLayout(web);
    webGrid->setColumnMinimumWidth(0, 98);
    userId_ = addLabelledEdit(webGrid, 0, QStringLiteral("Edituserid"), QStringLiteral("User ID"), 20, false, web);
    password_ = addLabelledEdit(webGrid, 1, QStringLiteral("Editpassword"), QStringLiteral("Password"), 10, false, web);
    generate_ = new QPushButton(QStringLiteral("Genera User ID e Password"), web);
    generate_->setObjectName(QStringLiteral("BTNgeneraPassword"));
    webGrid->addWidget(generate_, 2, 1);
    outer->addWidget(web);
    outer->addStretch();

    auto* buttons = new QHBoxLayout;
    confirm_ = new QPushButton(QStringLiteral("Conferma"), this);
    confirm_->setObjectName(QStringLiteral("BitBtn1"));
    cancel_ = new QPushButton(QStringLiteral("Annulla"), this);
    cancel_->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addStretch();
    buttons->addWidget(confirm_);
    buttons->addWidget(cancel_);
    outer->addLayout(buttons);
    for (QPushButton* b : {generate_, confirm_, cancel_})
        b->setAutoDefault(false);

    QWidget* order[] = {cognome_, nome_, mobile_, telefono_, fax_, indirizzo_, cap_, citta_, email_, codiceFiscale_,
                        comunicazioni_, consiglio_, note_, userId_, password_, generate_, confirm_, cancel_};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(generate_, &QPushButton::clicked, this, &TFormAnagrafe::generate);
    connect(confirm_, &QPushButton::clicked, this, &TFormAnagrafe::confirm);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    // The channel list is opened with the dialog.
    try {
        fillChannels();
    } catch (const store::StoreError&) {
        // The data store failed at start-up; the main window has shown why.
    }
}

void TFormAnagrafe::fillChannels()
{
    comunicazioni_->clear();
    comunicazioni_->addItems(noticeChannels(form_.workspace()));
}

bool TFormAnagrafe::prepare()
{
    app::Workspace& ws = form_.workspace();
    store::Dataset& persons = ws.ds(kPersons);
    fillChannels();
    if (ws.editMode == app::EditMode::Add) {
        personId_.reset();
        fill(newPerson(ws));
    } else {
        if (!persons.isActive() || persons.recNo() < 0)
            return false;
        const qint64 id = persons.value(QStringLiteral("Id")).toLongLong();
        const auto person = readPerson(ws, id);
        if (!person)
            return false;
        personId_ = id;
        fill(*person);
    }
    memory_ = app::rememberView(persons);
    cognome_->setFocus();
    return true;
}

void TFormAnagrafe::run()
{
    showPrepared(this, &form_, [this] { return prepare(); });
}

PersonInput TFormAnagrafe::input() const
{
    PersonInput p;
    p.cognome = cognome_->text();
    p.nome = nome_->text();
    p.mobile = mobile_->text();
    p.telefono = telefono_->text();
    p.fax = fax_->text();
    p.indirizzo = indirizzo_->text();
    p.cap = cap_->text();
    p.citta = citta_->text();
    p.email = email_->text();
    p.codiceFiscale = codiceFiscale_->text();
    p.comunicazioni = comunicazioni_->currentText();
    p.consiglio = consiglio_->isChecked();
    p.note = note_->text();
    p.userId = userId_->text();
    p.password = password_->text();
    return p;
}

void TFormAnagrafe::fill(const PersonInput& p)
{
    putText(cognome_, p.cognome);
    putText(nome_, p.nome);
    putText(mobile_, p.mobile);
    putText(telefono_, p.telefono);
    putText(fax_, p.fax);
    putText(indirizzo_, p.indirizzo);
    putText(cap_, p.cap);
    putText(citta_, p.citta);
    putText(email_, p.email);
    putText(codiceFiscale_, p.codiceFiscale);
    // A stored channel that is no longer listed stays shown, so that saving does not lose it.
    if (!p.comunicazioni.isEmpty() && comunicazioni_->findText(p.comunicazioni) < 0)
        comunicazioni_->addItem(p.comunicazioni);
    comunicazioni_->setCurrentIndex(comunicazioni_->findText(p.comunicazioni));
    consiglio_->setChecked(p.consiglio);
    putText(note_, p.note);
    putText(userId_, p.userId);
    putText(password_, p.password);
}

void TFormAnagrafe::generate()
{
    putText(userId_, userIdFromSurname(cognome_->text()));
    putText(password_, generatePassword());
}

void TFormAnagrafe::confirm()
{
    PersonOutcome outcome;
    try {
        outcome = savePerson(form_.workspace(), personId_, input());
    } catch (const store::StoreError& e) {
        outcome.messages << e.message();
    }
    if (!outcome.done) {
        // The dialog stays open with its input.
        showRefusal(this, outcome.messages);
        return;
    }
    refreshAfterSave(form_, kPersons, memory_, this);
    accept();
}

} // namespace velcaris::registry::ui
