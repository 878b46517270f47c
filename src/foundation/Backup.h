#pragma once
// The daily backup copy of a database.
#include "store/Database.h"
#include "store/Schema.h"

#include <QDate>
#include <QString>

namespace velcaris::app {

// Text used by FileDateText when the file can't be opened.
inline constexpr const char* kFileDateNotFound = "Data di creazione non trovata";

struct BackupResult {
    enum class Status {
        NotDue,   // the backup was written today: left alone
        Made,     // a fresh, checked copy is now the backup
        Refused,  // the copy was made but failed the check: the previous backup is untouched
        Failed,   // the copy could not be made: the previous backup is untouched
    } status = Status::NotDue;
    QString detail; // the engine's text for Refused and Failed
};

// Refreshes backupFile from the open database `db`: a missing backup is created; a backup last
// written before `today` is replaced; one written today is left alone. The copy is taken from the
// open connection through the engine (never the bare file, which a crash in the middle of a
// commit leaves torn), written beside the backup under a temporary name, opened with the key of
// its kind and checked, and only then renamed over the backup in one step. Anything less leaves
// the previous backup as it was and no temporary file behind.
BackupResult BackupFile(store::Database& db, store::DatabaseKind kind, const QString& backupFile,
                        const QDate& today = QDate::currentDate());

// The local date (dd/MM/yyyy) on which the file was last written, or `fallback` when the file's
// time is not available; kFileDateNotFound when the file can't be opened for reading.
// The modification time is used rather than the last-access time: the latter depends on mount
// options and is moved by every reader, the backup's writer included.
QString FileDateText(const QString& fileName, const QDate& fallback);

} // namespace velcaris::app
