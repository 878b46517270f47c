#pragma once
// The backups an office has and what each holds, and the databases found missing beside their
// backup: what the start-up question and the restore command show.
#include "foundation/AppPaths.h"
#include "store/Schema.h"

#include <QDateTime>
#include <QString>
#include <QVector>

namespace velcaris::app {

QString databaseFileOf(const AppPaths& paths, store::DatabaseKind kind);
QString backupFileOf(const AppPaths& paths, store::DatabaseKind kind);
// "Database principale", "Database del sito web", "Database delle FAQ".
QString databaseTitle(store::DatabaseKind kind);

struct BackupEntry {
    store::DatabaseKind kind = store::DatabaseKind::Main;
    QString file;     // the backup
    QString database; // the database it would replace
    QString date;     // dd/MM/yyyy of its last write
    QString summary;  // what it holds ("3 condomini, 4 anni amministrativi, 120 quote"), or why it is unusable
    bool usable = false;
};

// Reads a backup without writing it: the key of its kind, the quick check, the tables, then counts.
BackupEntry describeBackup(store::DatabaseKind kind, const QString& backupFile, const QString& databaseFile);

// Every backup of the three databases, database by database: the daily one first, then those
// kept aside, newest first.
QVector<BackupEntry> listBackups(const AppPaths& paths);

// The databases whose file is missing while their daily backup is there.
QVector<BackupEntry> missingDatabases(const AppPaths& paths);

// The start-up question for a missing database: which file, the backup's date and what it holds.
QString missingDatabaseQuestion(const BackupEntry& entry);

// Starting with an empty database: its daily backup goes aside under a dated name
// ("Condomini.conservata-20261209-081500.bak"), so that the next day's backup of the empty file
// never replaces it. Returns the Italian text that tells where it is, or why it could not move.
QString keepBackupAside(const BackupEntry& entry, const QDateTime& now);

} // namespace velcaris::app
