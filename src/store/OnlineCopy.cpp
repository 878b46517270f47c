#include "store/OnlineCopy.h"

#include <QFile>
#include <QFileInfo>
#include <sqlcipher/sqlite3.h>

namespace velcaris::store {

void copyOpenDatabase(Database& source, const QString& destination, const QString& key)
{
    if (!source.isOpen())
        throw StoreError(QStringLiteral("Database non aperto"));
    if (QFileInfo::exists(destination))
        throw StoreError(QStringLiteral("Il file %1 esiste già").arg(destination), StoreFault::CannotOpen);
    auto discard = [&] {
        QFile::remove(destination);
        QFile::remove(destination + QStringLiteral("-journal"));
    };
    try {
        Database target;
        target.open(destination, key);
        sqlite3_backup* copy = sqlite3_backup_init(target.handle(), "main", source.handle(), "main");
        if (!copy)
            throw StoreError(target.lastError());
        const int rc = sqlite3_backup_step(copy, -1);
        sqlite3_backup_finish(copy);
        if (rc != SQLITE_DONE) {
            const QString why = target.lastError();
            throw StoreError(why.isEmpty() || why == QLatin1String("not an error") ? QString::fromUtf8(sqlite3_errstr(rc)) : why,
                             (rc & 0xff) == SQLITE_CORRUPT ? StoreFault::Corrupt : StoreFault::Other);
        }
        target.close();
    } catch (...) {
        discard();
        throw;
    }
}

FileCheck checkDatabaseFile(const QString& path, DatabaseKind kind)
{
    FileCheck result;
    if (!QFileInfo(path).isFile()) {
        result.detail = QStringLiteral("file mancante");
        result.fault = StoreFault::CannotOpen;
        return result;
    }
    try {
        Database db;
        db.open(path, databaseKey(kind), OpenMode::ReadOnly);
        if (!db.tableExists(signatureTable(kind))) {
            result.detail = QStringLiteral("no such table: %1").arg(signatureTable(kind));
            result.fault = StoreFault::MissingTable;
            return result;
        }
        Statement check(db, QStringLiteral("PRAGMA quick_check"));
        QStringList complaints;
        while (check.step())
            complaints << check.value(0).toString();
        if (complaints == QStringList{QStringLiteral("ok")}) {
            result.ok = true;
        } else {
            result.detail = complaints.join(QStringLiteral("; "));
            result.fault = StoreFault::Corrupt;
        }
    } catch (const StoreError& e) {
        result.detail = e.message();
        result.fault = e.fault();
    }
    return result;
}

} // namespace velcaris::store
