#include "registry/Deletion.h"

#include "registry/CondominiumDeletion.h"
#include "registry/PartyDeletion.h"
#include "registry/ShareDeletion.h"
#include "store/Database.h"

namespace velcaris::registry {

namespace {

using app::Tab;

const QString kSelectRowFirst = QStringLiteral("Selezionare prima la voce da cancellare");

// The dataset whose emptiness stops "Elimina" on a tab, or empty when the tab deletes nothing.
QString checkedDataset(Tab tab)
{
    switch (tab) {
    case Tab::Uscite: return QStringLiteral("ADOQueryUscite");
    case Tab::Interventi: return QStringLiteral("ADOQueryInterventi");
    case Tab::Entrate: return QStringLiteral("ADOQueryEntrate");
    case Tab::Preventivo: return QStringLiteral("ADOQueryPreventivi");
    case Tab::Anagrafe: return QStringLiteral("ADOTableAnagrafe");
    case Tab::Fornitori: return QStringLiteral("ADOQueryFornitori");
    case Tab::Locali: return QStringLiteral("ADOQueryLocali");
    case Tab::Quote: return QStringLiteral("ADOQueryQuoteAccorpate");
    case Tab::Agenda: return QStringLiteral("ADOTableScadenzario");
    case Tab::Condomini: case Tab::Memo: case Tab::Stampe: break;
    }
    return QString();
}

bool isEmpty(app::Workspace& ws, const QString& dataset)
{
    return !ws.hasDataset(dataset) || !ws.ds(dataset).isActive() || ws.ds(dataset).isEmpty();
}

void requery(app::Workspace& ws, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        const QString n = QString::fromLatin1(name);
        if (ws.hasDataset(n) && ws.ds(n).isActive())
            ws.ds(n).requery();
    }
}

DeletionQuestion refusal(const QString& text)
{
    DeletionQuestion q;
    q.refusal = app::Outcome::refused(text, app::MessageKind::Information);
    return q;
}

DeletionQuestion asking(const QString& text)
{
    DeletionQuestion q;
    q.question = text;
    return q;
}

} // namespace

DeletionQuestion deletionQuestion(app::Workspace& ws, const DeletionRequest& request)
{
    if (request.millesimalTable) {
        if (isEmpty(ws, QStringLiteral("ADOTableTabelle")) || request.tableId == 0)
            return refusal(kNothingToDelete);
        const QString name = ws.mainDb().scalar(QStringLiteral("SELECT Nome FROM Tabelle WHERE Id = ?"), {request.tableId}).toString();
        return asking(deleteTableQuestion(name));
    }
    if (request.tab == Tab::Condomini) {
        if (ws.selection.condominium.isEmpty())
            return refusal(kSelectCondominium);
        return asking(kDeleteCondominiumQuestion);
    }
    const QString dataset = checkedDataset(request.tab);
    if (dataset.isEmpty())
        return {};
    if (isEmpty(ws, dataset))
        return refusal(kNothingToDelete);
    switch (request.tab) {
    case Tab::Quote:
        if (request.quotaName.isEmpty())
            return refusal(kSelectRowFirst);
        return asking(deleteQuotaQuestion(request.quotaName));
    case Tab::Fornitori:
        if (request.keys.isEmpty())
            return refusal(kSelectRowFirst);
        return asking(ws.selection.condominium.isEmpty() ? kDeleteSupplierQuestion : kRemoveSupplierQuestion);
    default:
        break;
    }
    if (request.keys.isEmpty())
        return refusal(kSelectRowFirst);
    if (request.tab == Tab::Locali)
        return asking(kDeleteUnitQuestion);
    if (request.tab == Tab::Agenda)
        return asking(kDeleteDeadlineQuestion);
    return asking(kDeleteSelectedQuestion);
}

app::Outcome deleteRowsByKey(app::Workspace& ws, const QString& table, const QString& keyColumn, const QVector<qint64>& keys)
{
    store::Database& db = ws.mainDb();
    store::Transaction tr(db);
    const QString sql = QStringLiteral("DELETE FROM main.%1 WHERE %2 = ?")
                            .arg(store::quoteIdentifier(table), store::quoteIdentifier(keyColumn));
    for (qint64 key : keys)
        db.exec(sql, {key});
    tr.commit();
    return app::Outcome::accepted();
}

app::Outcome deleteSelected(app::Workspace& ws, const DeletionRequest& request)
{
    if (request.millesimalTable)
        return deleteMillesimalTable(ws, request.tableId);
    const qint64 current = request.keys.isEmpty() ? 0 : request.keys.first();
    app::Outcome outcome;
    switch (request.tab) {
    case Tab::Condomini:
        return deleteCondominium(ws);
    case Tab::Anagrafe:
        return deletePersons(ws, request.keys);
    case Tab::Fornitori:
        return ws.selection.condominium.isEmpty() ? deleteSuppliers(ws, request.keys)
                                                  : removeSupplierFromCondominium(ws, current);
    case Tab::Quote:
        return deleteQuotaName(ws, request.quotaName);
    case Tab::Locali:
        return deleteUnit(ws, current);
    case Tab::Entrate: // a payment's reversal is the cash book's (the window calls it)
        break;
    // The grids below delete their current row, which the window shows selected while it asks.
    case Tab::Uscite:
        outcome = deleteRowsByKey(ws, QStringLiteral("Uscite"), QStringLiteral("id"), {current});
        requery(ws, {"ADOQueryUscite", "ADOTableUscite"});
        return outcome;
    case Tab::Interventi:
        outcome = deleteRowsByKey(ws, QStringLiteral("Interventi"), QStringLiteral("Id"), {current});
        requery(ws, {"ADOQueryInterventi"});
        return outcome;
    case Tab::Preventivo:
        outcome = deleteRowsByKey(ws, QStringLiteral("Preventivi"), QStringLiteral("Id"), {current});
        requery(ws, {"ADOQueryPreventivi", "ADOTablePreventivi", "ADOQueryUscite"});
        return outcome;
    case Tab::Agenda:
        outcome = deleteRowsByKey(ws, QStringLiteral("Scadenzario"), QStringLiteral("Id"), request.keys);
        requery(ws, {"ADOTableScadenzario"});
        return outcome;
    case Tab::Memo: case Tab::Stampe:
        break;
    }
    return app::Outcome::accepted();
}

} // namespace velcaris::registry
