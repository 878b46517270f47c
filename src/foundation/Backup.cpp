#include "foundation/Backup.h"

#include "store/OnlineCopy.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <filesystem>
#include <system_error>

namespace velcaris::app {

namespace {

const QString kDateFormat = QStringLiteral("dd/MM/yyyy");

bool isDue(const QString& backupFile, const QDate& today)
{
    if (!QFileInfo::exists(backupFile))
        return true;
    // A backup whose date can't be read counts as current: it is kept.
    const QDate last = QDate::fromString(FileDateText(backupFile, today), kDateFormat);
    return last.isValid() && today > last;
}

// Puts `from` in the place of `to` in one step, replacing it.
bool replaceFile(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), error);
    return !error;
}

} // namespace

QString FileDateText(const QString& fileName, const QDate& fallback)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return QString::fromLatin1(kFileDateNotFound);
    const QDateTime written = file.fileTime(QFileDevice::FileModificationTime);
    file.close();
    const QDate date = written.isValid() ? written.toLocalTime().date() : fallback;
    return date.toString(kDateFormat);
}

BackupResult BackupFile(store::Database& db, store::DatabaseKind kind, const QString& backupFile, const QDate& today)
{
    BackupResult result;
    if (!isDue(backupFile, today))
        return result;
    const QString fresh = backupFile + QStringLiteral(".%1.nuovo").arg(QUuid::createUuid().toString(QUuid::Id128));
    auto discard = [&] {
        QFile::remove(fresh);
        QFile::remove(fresh + QStringLiteral("-journal"));
    };
    try {
        store::copyOpenDatabase(db, fresh, store::databaseKey(kind));
    } catch (const store::StoreError& e) {
        discard();
        return {BackupResult::Status::Failed, e.message()};
    }
    const store::FileCheck check = store::checkDatabaseFile(fresh, kind);
    if (!check.ok) {
        discard();
        return {BackupResult::Status::Refused, check.detail};
    }
    if (!replaceFile(fresh, backupFile)) {
        discard();
        return {BackupResult::Status::Failed, QStringLiteral("rename failed")};
    }
    result.status = BackupResult::Status::Made;
    return result;
}

} // namespace velcaris::app
