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

struct Pending {
    QString from, to; // a rename
    QString removed;  // a deletion
};

// The recorded intent, or false when there is none readable.
bool readPending(const AppPaths& paths, Pending& pending)
{
    QFile file(pendingFolderRenameFile(paths));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    pending.from = o.value(QStringLiteral("da")).toString();
    pending.to = o.value(QStringLiteral("a")).toString();
    pending.removed = o.value(QStringLiteral("elimina")).toString();
    return (!pending.from.isEmpty() && !pending.to.isEmpty()) || !pending.removed.isEmpty();
}

bool writePending(const AppPaths& paths, const QJsonObject& o)
{
    QSaveFile file(pendingFolderRenameFile(paths));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(o).toJson());
    return file.commit();
}

// Completes a rename or a deletion that committed; the warning when the folder could not be
// moved or removed (the record then stays, so that the next start tries again).
QString completePending(const AppPaths& paths, const QStringList& names)
{
    Pending p;
    const bool readable = readPending(paths, p);
    if (readable && !p.removed.isEmpty() && !names.contains(p.removed)) {
        const QString folder = folderOf(paths, p.removed);
        // The name is that of a deleted condominium: never a path outside the output folder.
        const bool inside = !p.removed.contains(u'/') && !p.removed.contains(u'\\') && p.removed != QLatin1String("..");
        if (inside && QFileInfo(folder).isDir() && !QDir(folder).removeRecursively())
            return QStringLiteral("Il condominio \"%1\" è stato eliminato, ma la sua cartella \"%2\" non si è potuta "
                                  "eliminare del tutto: eliminarla a mano.")
                .arg(p.removed, native(folder));
    } else if (readable && p.removed.isEmpty() && names.contains(p.to) && !names.contains(p.from)) {
        const QString oldFolder = folderOf(paths, p.from);
        const QString newFolder = folderOf(paths, p.to);
        if (QFileInfo(oldFolder).isDir() && !QFileInfo::exists(newFolder)) {
            if (!QDir().rename(oldFolder, newFolder))
                return QStringLiteral("Il condominio \"%1\" è stato rinominato, ma la sua cartella \"%2\" non si è "
                                      "potuta rinominare in \"%3\": rinominarla a mano.")
                    .arg(p.to, native(oldFolder), native(newFolder));
        }
    }
    clearPendingFolderRename(paths);
    return QString();
}

} // namespace

QString pendingFolderRenameFile(const AppPaths& paths)
{
    return paths.databaseFolder() + QStringLiteral("/CartellaDaRinominare.json");
}

bool recordPendingFolderRename(const AppPaths& paths, const QString& fromName, const QString& toName)
{
    return writePending(paths, {{QStringLiteral("da"), fromName}, {QStringLiteral("a"), toName}});
}

bool recordPendingFolderRemoval(const AppPaths& paths, const QString& name)
{
    return writePending(paths, {{QStringLiteral("elimina"), name}});
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
