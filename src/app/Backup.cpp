#include "app/Backup.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

namespace velcaris::app {

namespace {

const QString kDateFormat = QStringLiteral("dd/MM/yyyy");

// Streams the whole of `source` into `out`; false on any open, read or write failure.
bool copyInto(const QString& source, QIODevice& out)
{
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
        return false;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0)
            return false;
        if (n == 0)
            return in.atEnd();
        if (out.write(buffer, n) != n)
            return false;
    }
}

// Writes a fresh backup under a name that must not exist yet; the rename refuses to overwrite a
// file that appeared in the meantime.
void createBackup(const QString& databaseFile, const QString& backupFile)
{
    QTemporaryFile tmp(backupFile + QStringLiteral(".XXXXXX"));
    if (!tmp.open() || !copyInto(databaseFile, tmp) || !tmp.flush())
        return; // the temporary file removes itself
    tmp.close();
    if (tmp.rename(backupFile))
        tmp.setAutoRemove(false);
}

// Replaces an existing backup in one step once the whole copy has been written.
void replaceBackup(const QString& databaseFile, const QString& backupFile)
{
    QSaveFile out(backupFile);
    if (!out.open(QIODevice::WriteOnly))
        return;
    if (!copyInto(databaseFile, out)) {
        out.cancelWriting();
        return;
    }
    out.commit();
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

void BackupFile(const QString& databaseFile, const QString& backupFile, const QDate& today)
{
    if (QFileInfo::exists(backupFile)) {
        // A backup whose date can't be read counts as current: it is kept.
        const QDate last = QDate::fromString(FileDateText(backupFile, today), kDateFormat);
        if (last.isValid() && today > last)
            replaceBackup(databaseFile, backupFile);
        return;
    }
    createBackup(databaseFile, backupFile);
}

} // namespace velcaris::app
