#include "registry/ui/TFormCondomini.h"

#include "dialogkit/Messages.h"
#include "registry/NameRules.h"
#include "registry/ui/RefusingLineEdit.h"
#include "store/RowStamp.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace velcaris::registry::ui {

namespace {

using Box = app::Box<CondominiumInput>;

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

TFormCondomini::TFormCondomini(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("FormCondomini"), QStringLiteral("Condominio"), 381, 541)
{
    auto* layout = new QVBoxLayout(this);
    auto group = [&](const char* name, const char* title, const auto& boxes) {
        auto* box = new QGroupBox(QString::fromUtf8(title), this);
        box->setObjectName(QString::fromLatin1(name));
        auto* rows = new QFormLayout(box);
        for (const Box& b : boxes) {
            // The name and the address become the folder's name: they refuse what a folder cannot hold.
            const bool isName = b.field == &CondominiumInput::nome || b.field == &CondominiumInput::indirizzo;
            QLineEdit* edit = isName ? new RefusingLineEdit(condominiumRefusedCharacters(), box) : new QLineEdit(box);
            QLabel* caption = boxes_.add(b, edit, box);
            rows->addRow(caption, edit);
        }
        layout->addWidget(box);
    };
    group("GroupBoxDatiGenerali", "Dati Generali", kGenerali);
    group("GroupBoxDatiCatastali", "Dati Catastali", kCatastali);
    layout->addStretch(1);
    QPushButton* conferma = addButtons(layout, QStringLiteral("BtnConferma"), QStringLiteral("BtnAnnulla"));
    conferma->setDefault(true);

    QVector<QWidget*> order;
    for (QLineEdit* e : boxes_.edits())
        order << e;
    order << conferma << findChild<QPushButton*>(QStringLiteral("BtnAnnulla"));
    app::chainTabOrder(order);
}

bool TFormCondomini::prepare(const app::DialogRequest&)
{
    app::Workspace& ws = this->ws();
    CondominiumInput input;
    asRead_ = {};
    // Stamped before it is read: a change in between is refused later, never overwritten.
    if (ws.editMode == app::EditMode::Modify && !ws.selection.condominium.isEmpty())
        asRead_ = stampCondominium();
    // Modify needs the chosen condominium: never edit one the user is not shown.
    if (ws.editMode == app::EditMode::Modify &&
        (ws.selection.condominium.isEmpty() || !loadCondominium(ws, ws.selection.condominium, input))) {
        app::showInformation(window(), kChooseCondominiumFirst);
        return false;
    }
    boxes_.fill(input);
    tables_ = app::rememberView(ws.ds(QStringLiteral("ADOTableTabelle")));
    boxes_.edit(&CondominiumInput::nome)->setFocus();
    return true;
}

void TFormCondomini::confirm()
{
    app::Workspace& ws = this->ws();
    CondominiumInput input;
    boxes_.read(input);
    input.nome = trimmedName(input.nome);
    input.indirizzo = trimmedName(input.indirizzo);
    app::putText(boxes_.edit(&CondominiumInput::nome), input.nome);
    app::putText(boxes_.edit(&CondominiumInput::indirizzo), input.indirizzo);
    input.asRead = asRead_;

    // A refusal or a failure keeps the dialog open with its input.
    if (!runEdit([&] {
            return ws.editMode == app::EditMode::Add ? addCondominium(ws, input) : modifyCondominium(ws, input);
        }))
        return;
    // The new or renamed condominium is the current one: the window lists it and chooses it.
    finish({true, QStringLiteral("ADOTableTabelle"), tables_});
}

store::RowStamp TFormCondomini::stampCondominium()
{
    return store::stampRow(ws().mainDb(), QStringLiteral("Condomini"), QStringLiteral("Nome"),
                           ws().selection.condominium);
}

void TFormCondomini::showRowAsNow()
{
    if (ws().editMode != app::EditMode::Modify || ws().selection.condominium.isEmpty())
        return;
    asRead_ = stampCondominium();
    // A condominium deleted or renamed meanwhile leaves the input shown; "Annulla" closes the dialog.
    CondominiumInput input;
    if (loadCondominium(ws(), ws().selection.condominium, input))
        boxes_.fill(input);
}

} // namespace velcaris::registry::ui
