#pragma once
// What the user is told when a database file can't be used, and the one way back: putting the
// last good backup in its place. The damaged file itself is never written or "repaired".
#include "foundation/Backup.h"
#include "store/Schema.h"
#include "store/StoreError.h"

#include <QDateTime>
#include <QString>

namespace velcaris::app {

// The Italian explanation of a database that failed at start-up: which file, what happened in
// plain words, that it was left as it is, where the last good backup is and of which day (or
// that there is none usable), and the engine's text as detail.
QString unusableDatabaseMessage(store::DatabaseKind kind, const QString& databaseFile, const QString& backupFile,
                                const store::StoreError& error);

// The warning for a daily backup that was not replaced because the fresh copy could not be made
// or failed its check; empty when the backup went as it should.
QString backupNotReplacedMessage(store::DatabaseKind kind, const QString& databaseFile, const QString& backupFile,
                                 const BackupResult& result);

struct RestoreResult {
    bool done = false;
    QString message;  // Italian, for the user, in both cases
    QString setAside; // where the damaged file now is (when done)
};

// Renames the database (and a journal beside it) to "<name>.<asideTag>-<date-time>.db" and puts a
// copy of the backup in its place; only when the backup opens and passes the check. A missing
// database simply gets the copy. A journal that cannot go aside with its file refuses the whole
// restore and puts the file back: the next opening would roll that journal into the copy.
// The databases must be closed. The caller asks the user first.
RestoreResult restoreFromBackup(store::DatabaseKind kind, const QString& databaseFile, const QString& backupFile,
                                const QDateTime& now = QDateTime::currentDateTime(),
                                const QString& asideTag = QStringLiteral("danneggiato"));

// "<folder>/<base>.<tag>-<yyyyMMdd-HHmmss>.<suffix>", numbered when that name is taken.
QString setAsideName(const QString& file, const QString& tag, const QDateTime& now);

} // namespace velcaris::app
