#include "registry/ui/TFormAnagrafe.h"

#include "registry/NameRules.h"
#include "registry/ui/RefusingLineEdit.h"
#include "store/RowStamp.h"
#include "store/StoreError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::registry::ui {

namespace {

using Box = app::Box<PersonInput>;
const QString kPersons = QStringLiteral("ADOTableAnagrafe");

store::RowStamp stampPerson(app::Workspace& ws, qint64 id)
{
    return store::stampRow(ws.mainDb(), QStringLiteral("Anagrafe"), QStringLiteral("Id"), id);
}

const Box kBeforeChannel[] = {
    {"EditCognome", "Cognome", 50, &PersonInput::cognome},
    {"EditNome", "Nome", 50, &PersonInput::nome},
    {"EditMobile", "Mobile", 50, &PersonInput::mobile},
    {"EditTelefono", "Telefono", 50, &PersonInput::telefono},
    {"EditFax", "Fax", 50, &PersonInput::fax},
    {"EditIndirizzo", "Indirizzo", 50, &PersonInput::indirizzo},
    {"EditCAP", "CAP", 50, &PersonInput::cap},
    {"EditCitta", "Città", 50, &PersonInput::citta},
    {"EditEmail", "E-Mail", 50, &PersonInput::email},
    {"EditCodiceFiscale", "Codice fiscale", 50, &PersonInput::codiceFiscale},
};
const Box kNote = {"EditNote", "Nota", 200, &PersonInput::note};
const Box kWeb[] = {
    {"Edituserid", "User ID", 20, &PersonInput::userId},
    {"Editpassword", "Password", 10, &PersonInput::password},
};

// A box of the table, with a refusing box for the names, placed in `row` of `grid`.
void place(app::BoxTable<PersonInput>& boxes, const Box& box, QGridLayout* grid, int row, QWidget* parent)
{
    const bool isName = box.field == &PersonInput::cognome || box.field == &PersonInput::nome;
    QLineEdit* edit = isName ? new RefusingLineEdit(fileNameRefusedCharacters(), parent) : new QLineEdit(parent);
    grid->addWidget(boxes.add(box, edit, parent), row, 0);
    grid->addWidget(edit, row, 1);
}

} // namespace

TFormAnagrafe::TFormAnagrafe(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("TFormAnagrafe"), QStringLiteral("Anagrafe condomino"), 424, 585)
{
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 110);
    outer->addLayout(grid);
    int row = 0;
    for (const Box& b : kBeforeChannel)
        place(boxes_, b, grid, row++, this);

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
    place(boxes_, kNote, grid, row++, this);

    auto* web = new QGroupBox(QStringLiteral("Web Data Base"), this);
    web->setObjectName(QStringLiteral("GroupBoxWeb"));
    auto* webGrid = new QGridLayout(web);
    webGrid->setColumnMinimumWidth(0, 98);
    for (int i = 0; i < 2; ++i)
        place(boxes_, kWeb[i], webGrid, i, web);
    auto* generate = new QPushButton(QStringLiteral("Genera User ID e Password"), web);
    generate->setObjectName(QStringLiteral("BTNgeneraPassword"));
    webGrid->addWidget(generate, 2, 1);
    outer->addWidget(web);
    outer->addStretch();

    QPushButton* conferma = addButtons(outer, QStringLiteral("BitBtn1"), QStringLiteral("BitBtn2"));
    auto* annulla = findChild<QPushButton*>(QStringLiteral("BitBtn2"));
    for (QPushButton* b : {generate, conferma, annulla})
        b->setAutoDefault(false);

    const QVector<QLineEdit*> edits = boxes_.edits(); // ten, the note, the two web boxes
    QVector<QWidget*> order(edits.begin(), edits.begin() + 10);
    order << comunicazioni_ << consiglio_ << edits[10] << edits[11] << edits[12] << generate << conferma << annulla;
    app::chainTabOrder(order);

    connect(generate, &QPushButton::clicked, this, &TFormAnagrafe::generate);

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
    comunicazioni_->addItems(noticeChannels(ws()));
}

bool TFormAnagrafe::prepare(const app::DialogRequest&)
{
    app::Workspace& ws = this->ws();
    store::Dataset& persons = ws.ds(kPersons);
    fillChannels();
    if (ws.editMode == app::EditMode::Add) {
        personId_.reset();
        asRead_ = {};
        fill(newPerson(ws));
    } else {
        if (!persons.isActive() || persons.recNo() < 0)
            return false;
        const qint64 id = persons.value(QStringLiteral("Id")).toLongLong();
        // Stamped before it is read: a change in between is refused later, never overwritten.
        asRead_ = stampPerson(ws, id);
        const auto person = readPerson(ws, id);
        if (!person)
            return false;
        personId_ = id;
        fill(*person);
    }
    memory_ = app::rememberView(persons);
    boxes_.edit(&PersonInput::cognome)->setFocus();
    return true;
}

PersonInput TFormAnagrafe::input() const
{
    PersonInput p;
    boxes_.read(p);
    p.comunicazioni = comunicazioni_->currentText();
    p.consiglio = consiglio_->isChecked();
    p.asRead = asRead_;
    return p;
}

void TFormAnagrafe::fill(const PersonInput& p)
{
    boxes_.fill(p);
    // A stored channel that is no longer listed stays shown, so that saving does not lose it.
    if (!p.comunicazioni.isEmpty() && comunicazioni_->findText(p.comunicazioni) < 0)
        comunicazioni_->addItem(p.comunicazioni);
    comunicazioni_->setCurrentIndex(comunicazioni_->findText(p.comunicazioni));
    consiglio_->setChecked(p.consiglio);
}

void TFormAnagrafe::showRowAsNow()
{
    if (!personId_)
        return;
    asRead_ = stampPerson(ws(), *personId_);
    // A person deleted meanwhile leaves the input shown; "Annulla" closes the dialog.
    if (const auto person = readPerson(ws(), *personId_)) {
        fillChannels();
        fill(*person);
    }
}

void TFormAnagrafe::generate()
{
    app::putText(boxes_.edit(&PersonInput::userId), userIdFromSurname(boxes_.edit(&PersonInput::cognome)->text()));
    app::putText(boxes_.edit(&PersonInput::password), generatePassword());
}

void TFormAnagrafe::confirm()
{
    // A refusal or a failure keeps the dialog open with its input.
    if (!runEdit([&] { return savePerson(ws(), personId_, input()); }))
        return;
    finish({false, kPersons, memory_});
}

} // namespace velcaris::registry::ui
