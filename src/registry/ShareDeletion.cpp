#include "registry/ShareDeletion.h"

#include "foundation/Selection.h"
#include "store/Database.h"
#include "store/Failpoint.h"

namespace velcaris::registry {

namespace {

void requery(app::Workspace& ws, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        const QString n = QString::fromLatin1(name);
        if (ws.hasDataset(n) && ws.ds(n).isActive())
            ws.ds(n).requery();
    }
}

} // namespace

QString deleteQuotaQuestion(const QString& name)
{
    return QStringLiteral("Vuoi cancellare la quota \"%1\"").arg(name);
}

QString quotaNamePaidMessage(const QString& name)
{
    return QStringLiteral("La quota \"%1\" non può essere cancellata perchè risulta già pagata, in tutto o in parte: "
                          "annullare prima i pagamenti")
        .arg(name);
}

QString deleteTableQuestion(const QString& tableName)
{
    return QStringLiteral("L'eliminazione della tabella %1 comporterà la cancellazione di tutte le uscite correlate. Continuare?")
        .arg(tableName);
}

app::Outcome deleteUnit(app::Workspace& ws, qint64 unitId)
{
    store::Database& db = ws.mainDb();
    // Money received against a quota of the unit would lose the quota it paid.
    if (db.scalar(QStringLiteral("SELECT 1 FROM Quote WHERE IdLocale = ? AND ROUND(COALESCE(ImportoPagato, 0), 2) <> 0 LIMIT 1"),
                  {unitId})
            .isValid())
        return app::Outcome::refused(kUnitHasPayments);
    store::Transaction tr(db);
    db.exec(QStringLiteral("DELETE FROM main.Millesimi WHERE IdLocale = ?"), {unitId});
    db.exec(QStringLiteral("DELETE FROM main.QuoteRipartizioni WHERE IdQuota IN (SELECT IdQuota FROM main.Quote WHERE IdLocale = ?)"),
            {unitId});
    db.exec(QStringLiteral("DELETE FROM main.Quote WHERE IdLocale = ?"), {unitId});
    db.exec(QStringLiteral("DELETE FROM main.RipartizioniTabelle WHERE IdRipartizioneLocale IN "
                           "(SELECT Id FROM main.RipartizioniLocali WHERE IdLocale = ?)"),
            {unitId});
    db.exec(QStringLiteral("DELETE FROM main.RipartizioniLocali WHERE IdLocale = ?"), {unitId});
    store::failpoint("locale.eliminazione.prima-del-web");
    db.exec(QStringLiteral("DELETE FROM web.Quote WHERE idLocale = ?"), {unitId});
    db.exec(QStringLiteral("DELETE FROM main.Locali WHERE Id = ?"), {unitId});
    tr.commit();
    requery(ws, {"ADOQueryLocali", "ADOTableLocali", "ADOTableMillesimi", "ADOTableQuote", "ADOWEBDBQuote", "ADOWEBDBquote2"});
    return app::Outcome::accepted();
}

app::Outcome deleteQuotaName(app::Workspace& ws, const QString& name)
{
    const QString condominium = ws.selection.condominium;
    const QString year = app::currentYearName(ws);
    if (condominium.isEmpty() || year.isEmpty())
        return app::Outcome::accepted();
    store::Database& db = ws.mainDb();
    if (db.scalar(QStringLiteral("SELECT 1 FROM Quote WHERE IdCondominio = ? AND NomeQuote = ? AND AA = ? "
                                 "AND ROUND(COALESCE(ImportoPagato, 0), 2) <> 0 LIMIT 1"),
                  {condominium, name, year})
            .isValid())
        return app::Outcome::refused(quotaNamePaidMessage(name));
    store::Transaction tr(db);
    db.exec(QStringLiteral("DELETE FROM main.QuoteRipartizioni WHERE IdQuota IN (SELECT IdQuota FROM main.Quote "
                           "WHERE IdCondominio = ? AND NomeQuote = ? AND AA = ?)"),
            {condominium, name, year});
    db.exec(QStringLiteral("DELETE FROM main.Quote WHERE IdCondominio = ? AND NomeQuote = ? AND AA = ?"),
            {condominium, name, year});
    db.exec(QStringLiteral("DELETE FROM web.Quote WHERE Condominio = ? AND NomeQuote = ? AND AA = ?"),
            {condominium, name, year});
    tr.commit();
    requery(ws, {"ADOTableQuote", "ADOWEBDBQuote", "ADOWEBDBquote2"});
    return app::Outcome::accepted();
}

app::Outcome deleteMillesimalTable(app::Workspace& ws, qint64 tableId)
{
    store::Database& db = ws.mainDb();
    const QString condominium = ws.selection.condominium;
    const QString table =
        db.scalar(QStringLiteral("SELECT Nome FROM Tabelle WHERE Id = ? AND Id_Condominio = ?"), {tableId, condominium}).toString();
    store::Transaction tr(db);
    db.exec(QStringLiteral("DELETE FROM Tabelle WHERE Id = ? AND Id_Condominio = ?"), {tableId, condominium});
    if (db.changes() > 0) {
        db.exec(QStringLiteral("DELETE FROM Millesimi WHERE IdTabella = ?"), {tableId});
        db.exec(QStringLiteral("DELETE FROM Uscite WHERE Condominio = ? AND Tabella = ?"), {condominium, table});
    }
    tr.commit();
    requery(ws, {"ADOTableTabelle", "ADOTableMillesimi", "ADOQueryUscite", "ADOTableUscite"});
    return app::Outcome::accepted();
}

} // namespace velcaris::registry
