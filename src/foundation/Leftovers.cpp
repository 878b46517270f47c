#include "foundation/Leftovers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velcaris::app {

QStringList removeLeftovers(const AppPaths& paths)
{
    QStringList removed;
    const QString trial = paths.folderNameTrial();
    if (QFileInfo(trial).isDir() && QDir(trial).removeRecursively())
        removed << QFileInfo(trial).fileName();

    for (const QString& file : {paths.mainDatabase(), paths.webDatabase()})
        if (QFileInfo::exists(file + QStringLiteral("-journal")))
            return removed;
    const QFileInfo main(paths.mainDatabase());
    const QStringList superJournals =
        QDir(main.absolutePath()).entryList({main.fileName() + QStringLiteral("-mj*")}, QDir::Files);
    for (const QString& name : superJournals)
        if (QFile::remove(main.absolutePath() + u'/' + name))
            removed << name;
    return removed;
}

} // namespace velcaris::app
