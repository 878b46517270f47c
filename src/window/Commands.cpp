#include "window/Commands.h"

#include "store/FilterText.h"

namespace velcaris::app {

Command addCommand(const CommandContext& c)
{
    Command command;
    command.mode = EditMode::Add;
    if (c.tab == Tab::Condomini) {
        command.dialog = DialogId::TFormCondomini;
        return command;
    }
    if (c.tab == Tab::Fornitori) {
        if (!c.condominiumChosen)
            command.dialog = c.suppliersSelected ? DialogId::TFormAssociafornitore : DialogId::TFormFornitore;
        return command;
    }
    if (!c.condominiumChosen)
        return command;
    auto withYear = [&](DialogId dialog) {
        if (c.requireYear && !c.requireYear())
            command.yearMissing = true;
        else
            command.dialog = dialog;
    };
    switch (c.tab) {
    case Tab::Agenda: command.dialog = DialogId::TFScadenzario; break;
    case Tab::Interventi: command.dialog = DialogId::TFInterventi; break;
    case Tab::Anagrafe: command.dialog = DialogId::TFormAnagrafe; break;
    case Tab::Locali: command.dialog = DialogId::TFLocali; break;
    case Tab::Uscite: withYear(DialogId::TFormUscite); break;
    case Tab::Entrate: withYear(DialogId::TFEntrateSpeciali); break;
    case Tab::Preventivo: withYear(DialogId::TFormPreventivo); break;
    case Tab::Quote:
        withYear(DialogId::TFRipartizione);
        command.prepareQuotas = command.dialog == DialogId::TFRipartizione;
        break;
    default: break;
    }
    return command;
}

Command modifyCommand(Tab tab)
{
    Command command;
    command.mode = EditMode::Modify;
    switch (tab) {
    case Tab::Agenda: command.dialog = DialogId::TFScadenzario; break;
    case Tab::Interventi: command.dialog = DialogId::TFInterventi; break;
    case Tab::Uscite: command.dialog = DialogId::TFormUscite; break;
    case Tab::Entrate: command.dialog = DialogId::TFEntrateSpeciali; break;
    case Tab::Condomini: command.dialog = DialogId::TFormCondomini; break;
    case Tab::Preventivo: command.dialog = DialogId::TFormPreventivo; break;
    case Tab::Anagrafe: command.dialog = DialogId::TFormAnagrafe; break;
    case Tab::Fornitori: command.dialog = DialogId::TFormFornitore; break;
    case Tab::Locali: command.dialog = DialogId::TFLocali; break;
    case Tab::Quote: command.dialog = DialogId::TFormModificaQuote; break;
    default: break;
    }
    return command;
}

Command smallButtonCommand(SmallButton button)
{
    Command command;
    switch (button) {
    case SmallButton::TBAggiungi: command = {DialogId::TFormTabelle, EditMode::Add}; break;
    case SmallButton::TBmodifica: command = {DialogId::TFormTabelle, EditMode::Modify}; break;
    case SmallButton::AAaggiungi: command = {DialogId::TFormAA, EditMode::Add}; break;
    case SmallButton::AAmodifica: command = {DialogId::TFormAA, EditMode::Modify}; break;
    }
    return command;
}

namespace {

// The single-quota view shows the quotas of the grouped view's current row's tenant. A row
// without a tenant matches nothing rather than breaking the filter.
void followCurrentTenant(Workspace& ws)
{
    const QVariant tenant = ws.ds(QStringLiteral("ADOQueryQuoteAccorpate")).value(QStringLiteral("IdInquilino"));
    const qint64 id = tenant.isNull() ? -1 : tenant.toLongLong();
    ws.ds(QStringLiteral("ADOQueryQuoteSingole")).setFilter(store::equalsTerm(QStringLiteral("IdInquilino"), id));
}

} // namespace

void prepareQuotaAllocation(Workspace& ws, bool detailPanelOpen)
{
    store::Dataset& grouped = ws.ds(QStringLiteral("ADOQueryQuoteAccorpate"));
    if (detailPanelOpen || !grouped.isActive() || grouped.isEmpty())
        return;
    followCurrentTenant(ws);
}

void showGroupedRowQuotas(Workspace& ws, int row)
{
    ws.ds(QStringLiteral("ADOQueryQuoteAccorpate")).moveTo(row);
    followCurrentTenant(ws);
}

} // namespace velcaris::app
