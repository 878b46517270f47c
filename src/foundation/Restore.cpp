#include "foundation/Restore.h"

#include "store/OnlineCopy.h"

#include <QDir>

namespace velcaris::app {

RestoreRun restoreBackup(Workspace& ws, const BackupEntry& backup, const QDateTime& now)
{
    RestoreRun run;
    const store::FileCheck check = store::checkDatabaseFile(backup.file, backup.kind);
    if (!check.ok) {
        run.result.message = QStringLiteral("La copia di sicurezza \"%1\" non è utilizzabile (%2): non è stato "
                                            "ripristinato nulla e il database non è stato toccato.")
                                 .arg(QDir::toNativeSeparators(backup.file), check.detail);
        return run;
    }
    ws.close();
    run.result = restoreFromBackup(backup.kind, backup.database, backup.file, now, QStringLiteral("sostituito"));
    // The office opens again with no condominium chosen, as at a start.
    const QString subject = ws.selection.statementSubject;
    ws.selection = Selection{};
    ws.selection.statementSubject = subject;
    run.startUpError = ws.startUp();
    return run;
}

QString restoreQuestion(const BackupEntry& backup)
{
    return QStringLiteral("%1 \"%2\" sarà sostituito dalla copia di sicurezza \"%3\" del %4 (%5).\n"
                          "Il file attuale non viene cancellato: resta accanto con un nome datato.\n\n"
                          "Ripristinare la copia?")
        .arg(databaseTitle(backup.kind), QDir::toNativeSeparators(backup.database),
             QDir::toNativeSeparators(backup.file), backup.date, backup.summary);
}

} // namespace velcaris::app
