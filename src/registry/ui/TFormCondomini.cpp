#include "registry/ui/TFormCondomini.h"

#include "app/ui/Messages.h"
#include "app/ui/RefusingLineEdit.h"
#include "app/ui/TForm1.h"
#include "registry/Condominiums.h"
#include "registry/NameRules.h"
#include "registry/ui/DialogParts.h"
#include "store/StoreError.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::registry {

namespace {

struct Box {
    const char* name;
    const char* label;
    int maxLength;
    QString CondominiumInput::*field;
};

const Box kGenerali[] = {
    {"EditNome", "Nome", 59, &CondominiumInput::nome},
    {"EditIndirizzo", "Indirizzo", 58, &CondominiumInput::indirizzo},
    {"EditComune", "Comune", 50, &CondominiumInput::comune},
    {"EditCodiceFiscale", "Codice fiscale", 50, &CondominiumInput::codiceFiscale},
    {"EditContoCorrente", "Conto corrente", 50, &CondominiumInput::contoCorrente},
    {"EditIntestatario", "Intestatario C.C.", 50, &CondominiumInput::intestatario},
    {"EditBanca", "Banca", 50, &CondominiumInput::banca},
    {"EditAscensore", "Ascensore", 50, &CondominiumInput::ascensore},
};
const Box kCatastali[] = {
    {"EditSezioneUrbana", "Sezione urbana", 50, &CondominiumInput::sezioneUrbana},
    {"EditFoglio", "Foglio", 50, &CondominiumInput::foglio},
    {"EditParticella", "Particella", 200, &CondominiumInput::particella},
    {"EditSub", "Sub.", 50, &CondominiumInput::sub},
    {"EditMicrozona", "Microzona", 50, &CondominiumInput::microzona},
    {"EditZonaCensuaria", "Zona censuaria", 50, &CondominiumInput::zonaCensuaria},
};

} // namespace

TFormCondomini::TFormCondomini(app::TForm1& form) : QDialog(&form), form_(form)
{
    setObjectName(QStringLiteral("FormCondomini"));
    ui::makeFixedDialog(this, QStringLiteral("Condominio"), 381, 541);

    auto* layout = new QVBoxLayout(this);
    QWidget* previous = nullptr;
    auto group = [&](const char* name, const char* title, const auto& boxes) {
        auto* box = new QGroupBox(QString::fromUtf8(title), this);
        box->setObjectName(QString::fromLatin1(name));
        auto* rows = new QFormLayout(box);
        for (const Box& b : boxes) {
            const QString objectName = QString::fromLatin1(b.name);
            const bool isName = b.field == &CondominiumInput::nome || b.field == &CondominiumInput::indirizzo;
            QLineEdit* edit = isName ? new app::RefusingLineEdit(condominiumRefusedCharacters(), box) : new QLineEdit(box);
            edit->setObjectName(objectName);
            // The limit is on typing: a longer stored text is shown whole and written back whole.
            ui::limitTyping(edit, b.maxLength);
            auto* label = new QLabel(QString::fromUtf8(b.label), box);
            label->setObjectName(QStringLiteral("Label") + objectName.mid(4));
            label->setBuddy(edit);
            edit->setAccessibleName(label->text());
            rows->addRow(label, edit);
            edits_.insert(objectName, edit);
            if (previous)
                setTabOrder(previous, edit);
            previous = edit;
        }
        layout->addWidget(box);
    };
    group("GroupBoxDatiGenerali", "Dati Generali", kGenerali);
    group("GroupBoxDatiCatastali", "Dati Catastali", kCatastali);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    auto* conferma = new QPushButton(QStringLiteral("Conferma"), this);
    conferma->setObjectName(QStringLiteral("BtnConferma"));
    conferma->setDefault(true);
    auto* annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setObjectName(QStringLiteral("BtnAnnulla"));
    buttons->addStretch(1);
    buttons->addWidget(conferma);
    buttons->addWidget(annulla);
    layout->addLayout(buttons);
    setTabOrder(previous, conferma);
    setTabOrder(conferma, annulla);

    connect(conferma, &QPushButton::clicked, this, &TFormCondomini::confirm);
    connect(annulla, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFormCondomini::prepare()
{
    app::Workspace& ws = form_.workspace();
    CondominiumInput input;
    if (ws.editMode == app::EditMode::Modify) {
        // Modify needs the chosen condominium: never edit one the user is not shown.
        bool found = false;
        try {
            found = !ws.selection.condominium.isEmpty() && loadCondominium(ws, ws.selection.condominium, input);
        } catch (const store::StoreError& e) {
            app::showFailure(&form_, e.message());
            return false;
        }
        if (!found) {
            app::showInformation(&form_, kChooseCondominiumFirst);
            return false;
        }
    }
    for (const Box& b : kGenerali)
        ui::putText(edits_.value(QString::fromLatin1(b.name)), input.*b.field);
    for (const Box& b : kCatastali)
        ui::putText(edits_.value(QString::fromLatin1(b.name)), input.*b.field);
    tables_ = app::rememberView(ws.ds(QStringLiteral("ADOTableTabelle")));
    edits_.value(QStringLiteral("EditNome"))->setFocus();
    return true;
}

void TFormCondomini::confirm()
{
    app::Workspace& ws = form_.workspace();
    CondominiumInput input;
    for (const Box& b : kGenerali)
        input.*b.field = edits_.value(QString::fromLatin1(b.name))->text();
    for (const Box& b : kCatastali)
        input.*b.field = edits_.value(QString::fromLatin1(b.name))->text();
    input.nome = trimmedName(input.nome);
    input.indirizzo = trimmedName(input.indirizzo);
    ui::putText(edits_.value(QStringLiteral("EditNome")), input.nome);
    ui::putText(edits_.value(QStringLiteral("EditIndirizzo")), input.indirizzo);

    // A refusal or a failure keeps the dialog open with its input.
    if (!ui::runEdit(this, [&] {
            return ws.editMode == app::EditMode::Add ? addCondominium(ws, input) : modifyCondominium(ws, input);
        }))
        return;

    accept();
    // The new or renamed condominium is chosen as a click in the list would choose it.
    const QString chosen = ws.selection.condominium;
    form_.fillCondominiumList();
    form_.selectCondominium(chosen);
    try {
        app::restoreView(ws.ds(QStringLiteral("ADOTableTabelle")), tables_);
    } catch (const store::StoreError& e) {
        app::showFailure(&form_, e.message());
    }
}

} // namespace velcaris::registry
