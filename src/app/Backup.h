#pragma once
// The daily backup copy of a database file.
#include <QDate>
#include <QString>

namespace velcaris::app {

// Text used by FileDateText when the file can't be opened.
inline constexpr const char* kFileDateNotFound = "Data di creazione non trovata";

// Refreshes backupFile from databaseFile: a missing backup is created; a backup last written
// before `today` is replaced; one written today is left alone. The copy goes through a temporary
// file in the backup's folder, so a failed copy (database missing or unreadable) leaves the
// previous backup as it was. Never reports an error.
void BackupFile(const QString& databaseFile, const QString& backupFile,
                const QDate& today = QDate::currentDate());

// The local date (dd/MM/yyyy) on which the file was last written, or `fallback` when the file's
// time is not available; kFileDateNotFound when the file can't be opened for reading.
// The modification time is used rather than the last-access time: the latter depends on mount
// options and is moved by every reader, the backup's writer included.
QString FileDateText(const QString& fileName, const QDate& fallback);

} // namespace velcaris::app
