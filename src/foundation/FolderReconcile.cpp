#include "foundation/FolderReconcile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace velcaris::app {

namespace {

QString folderOf(const AppPaths& paths, const QString& name)
{
    return paths.outputFolder() + name;
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The recorded rename, or false when there is none readable.
bool readPending(const AppPaths& paths, QString& from, QString& to)
{
    QFile file(pendingFolderRenameFile(paths));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    from = o.value(QStringLiteral("da")).toString();
    to = o.value(QStringLiteral("a")).toString();
    return !from.isEmpty() && !to.isEmpty();
}

// Completes a rename that committed; the warning when the folder could not be moved.
QString completePending(const AppPaths& paths, const QStringList& names)
{
    QString from, to;
    const bool readable = readPending(paths, from, to);
    QString warning;
    if (readable && names.contains(to) && !names.contains(from)) {
        const QString oldFolder = folderOf(paths, from);
        const QString newFolder = folderOf(paths, to);
        if (QFileInfo(oldFolder).isDir() && !QFileInfo::exists(newFolder)) {
            if (!QDir().rename(oldFolder, newFolder)) {
                warning = QStringLiteral("Il condominio \"%1\" è stato rinominato, ma la sua cartella \"%2\" non si è "
                                         "potuta rinominare in \"%3\": rinominarla a mano.")
                              .arg(to, native(oldFolder), native(newFolder));
                return warning; // the record stays, so that the next start tries again
            }
        }
    }
    clearPendingFolderRename(paths);
    return warning;
}

} // namespace

QString pendingFolderRenameFile(const AppPaths& paths)
{
    return paths.databaseFolder() + QStringLiteral("/CartellaDaRinominare.json");
}

bool recordPendingFolderRename(const AppPaths& paths, const QString& fromName, const QString& toName)
{
    QSaveFile file(pendingFolderRenameFile(paths));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QJsonObject o{{QStringLiteral("da"), fromName}, {QStringLiteral("a"), toName}};
    file.write(QJsonDocument(o).toJson());
    return file.commit();
}

void clearPendingFolderRename(const AppPaths& paths)
{
    QFile::remove(pendingFolderRenameFile(paths));
}

QStringList reconcileFolders(const AppPaths& paths, const QStringList& condominiumNames)
{
    QStringList warnings;
    if (QFileInfo::exists(pendingFolderRenameFile(paths))) {
        if (const QString w = completePending(paths, condominiumNames); !w.isEmpty())
            warnings << w;
    }

    QStringList missing;
    for (const QString& name : condominiumNames) {
        if (!QFileInfo(folderOf(paths, name)).isDir())
            missing << name;
    }
    if (missing.isEmpty())
        return warnings;
    QStringList orphans;
    const QStringList folders = QDir(paths.outputFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& folder : folders) {
        if (!condominiumNames.contains(folder))
            orphans << folder;
    }
    if (orphans.isEmpty())
        return warnings;
    warnings << QStringLiteral("Le cartelle dei documenti non corrispondono ai condomini.\n"
                               "Condomini senza cartella in \"%1\": %2.\n"
                               "Cartelle che non sono di alcun condominio: %3.\n"
                               "Se una di queste è la cartella di un condominio rinominato, rinominarla a mano con il "
                               "nome del condominio.")
                    .arg(native(paths.outputFolder()), u'"' + missing.join(QStringLiteral("\", \"")) + u'"',
                         u'"' + orphans.join(QStringLiteral("\", \"")) + u'"');
    return warnings;
}

} // namespace velcaris::app
