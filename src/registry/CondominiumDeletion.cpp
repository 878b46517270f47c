#include "registry/CondominiumDeletion.h"

#include "foundation/FolderReconcile.h"
#include "foundation/OutputPaths.h"
#include "registry/CondominiumColumns.h"
#include "registry/Condominiums.h"
#include "registry/Deletion.h"
#include "store/Database.h"
#include "store/Failpoint.h"

#include <QDir>
#include <QFileInfo>

namespace velcaris::registry {

namespace {

// Registers that may hold rows of the deleted condominium.
const char* const kRequeried[] = {
    "ADOTableCondomini", "ADOTableAnagrafe", "ADOTableAA", "ADOTableTabelle", "ADOTableScadenzario",
    "ADOQueryPreventivi", "ADOTablePreventivi", "ADOTableLocali", "ADOTableMillesimi", "ADOTableQuote",
    "ADOTableAssociaFornitore", "ADOQueryEntrate", "ADOQueryUscite", "ADOQueryInterventi",
    "ADOWEBDBquote2", "ADOWEBDBQuote", "ADOWEBDBCodiceCondominio", "ADOWEBDBAccesso",
};

} // namespace

QString folderNotRemovedMessage(const QString& folder)
{
    return QStringLiteral("I dati del condominio sono stati eliminati, ma la cartella \"%1\" non è stata "
                          "eliminata del tutto: uno o più file sono in uso o protetti. Il programma riproverà al prossimo avvio; "
                          "altrimenti eliminarla a mano.")
        .arg(QDir::toNativeSeparators(folder));
}

app::Outcome deleteCondominium(app::Workspace& ws)
{
    const QString name = ws.selection.condominium;
    if (name.isEmpty())
        return app::Outcome::refused(kSelectCondominium);
    store::Database& db = ws.mainDb();
    // The folder goes after the rows: the intent is recorded first, so that the next start
    // removes it if the program stops in between (a later condominium of the same name would
    // otherwise find the old documents in its folder).
    const QString folder = condominiumFolder(ws, name);
    const bool hasFolder = QFileInfo(folder).isDir() && app::insideOutput(ws.paths(), folder);
    if (hasFolder && !app::recordPendingFolderRemoval(ws.paths(), name))
        return app::Outcome::refused(
            QStringLiteral("Non è stato possibile annotare l'eliminazione della cartella \"%1\" (la cartella Database non "
                           "è scrivibile): il condominio non è stato eliminato.")
                .arg(QDir::toNativeSeparators(folder)));
    try {
        store::Transaction tr(db);
        // Its own person row (the condominium as a person, without a condominium of its own).
        db.exec(QStringLiteral("DELETE FROM main.Anagrafe WHERE Cognome = ? AND (idCondominio IS NULL OR idCondominio = '')"),
                {name});
        db.exec(QStringLiteral("DELETE FROM main.Condomini WHERE Nome = ?"), {name});
        // Thousandths go with the units and tables they belong to, whatever their own name column says.
        db.exec(QStringLiteral("DELETE FROM main.Millesimi WHERE IdLocale IN (SELECT Id FROM main.Locali WHERE IdCondominio = ?) "
                               "OR IdTabella IN (SELECT Id FROM main.Tabelle WHERE Id_Condominio = ?)"),
                {name, name});
        // Its meetings' attendance, resolutions and votes, before the meetings go with the rest.
        const QString meetings = QStringLiteral("SELECT Id FROM main.Assemblee WHERE Condominio = ?");
        db.exec(QStringLiteral("DELETE FROM main.Voti WHERE IdDelibera IN (SELECT Id FROM main.Delibere WHERE IdAssemblea IN (%1))")
                    .arg(meetings),
                {name});
        for (const char* table : {"Delibere", "Presenze"})
            db.exec(QStringLiteral("DELETE FROM main.%1 WHERE IdAssemblea IN (%2)").arg(QString::fromLatin1(table), meetings),
                    {name});
        // What its payments put on its quotas, before the payments go with the rest.
        db.exec(QStringLiteral("DELETE FROM main.PagamentiQuote WHERE IdEntrata IN (SELECT id FROM main.Entrate WHERE Condominio = ?)"),
                {name});
        // The reasons of its quotas, before its allocations go with the rest.
        const QString computed = QStringLiteral("SELECT rl.Id FROM main.RipartizioniLocali AS rl INNER JOIN main.Ripartizioni AS r "
                                                "ON r.Id = rl.IdRipartizione WHERE r.Condominio = ?");
        db.exec(QStringLiteral("DELETE FROM main.QuoteRipartizioni WHERE IdRipartizioneLocale IN (%1)").arg(computed), {name});
        db.exec(QStringLiteral("DELETE FROM main.RipartizioniTabelle WHERE IdRipartizioneLocale IN (%1)").arg(computed), {name});
        db.exec(QStringLiteral("DELETE FROM main.RipartizioniLocali WHERE IdRipartizione IN "
                               "(SELECT Id FROM main.Ripartizioni WHERE Condominio = ?)"),
                {name});
        // What its year closings wrote, before the closings go with the rest.
        db.exec(QStringLiteral("DELETE FROM main.ChiusureRighe WHERE IdChiusura IN "
                               "(SELECT Id FROM main.ChiusureEsercizio WHERE Condominio = ?)"),
                {name});
        for (const auto& [table, column] : kMainNameColumns)
            db.exec(QStringLiteral("DELETE FROM main.%1 WHERE %2 = ?")
                        .arg(store::quoteIdentifier(QString::fromLatin1(table)),
                             store::quoteIdentifier(QString::fromLatin1(column))),
                    {name});
        store::failpoint("condominio.eliminazione.tra-i-database");
        // Nothing of it stays published: its record, its owners' logins, its quotas, its documents.
        db.exec(QStringLiteral("DELETE FROM web.CodiceCondominio WHERE Condominio = ?"), {name});
        for (const auto& [table, column] : kWebNameColumns)
            db.exec(QStringLiteral("DELETE FROM web.%1 WHERE %2 = ?")
                        .arg(store::quoteIdentifier(QString::fromLatin1(table)),
                             store::quoteIdentifier(QString::fromLatin1(column))),
                    {name});
        tr.commit();
    } catch (...) {
        // Nothing was deleted: the folder stays, and so must its condominium's record.
        if (hasFolder)
            app::clearPendingFolderRename(ws.paths());
        throw;
    }

    app::Outcome outcome = app::Outcome::accepted();
    store::failpoint("condominio.eliminazione.dopo-il-commit");
    // The folder goes once the rows are gone for good, with everything in it. When it cannot,
    // the record stays and the next start tries again.
    if (hasFolder) {
        if (QDir(folder).removeRecursively())
            app::clearPendingFolderRename(ws.paths());
        else
            outcome.add(app::MessageKind::Warning, folderNotRemovedMessage(folder));
    }

    const QString subject = ws.selection.statementSubject; // remembered for the whole run
    ws.selection = app::Selection{};
    ws.selection.statementSubject = subject;
    ws.ds(QStringLiteral("ADOTableCondomini")).setFilter(QString());
    ws.ds(QStringLiteral("ADOTableAnagrafe")).setFilter(QString());
    for (const char* dataset : kRequeried) {
        const QString n = QString::fromLatin1(dataset);
        if (ws.hasDataset(n) && ws.ds(n).isActive())
            ws.ds(n).requery();
    }
    return outcome;
}

} // namespace velcaris::registry
