#pragma once
// Copies a produced document into the folder VELCARIS_SCREENSHOTS names (for a look by eye); an
// ordinary run writes nothing.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace velcaris::test {

inline void keepDocument(const QString& file)
{
    const QString folder = qEnvironmentVariable("VELCARIS_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QFile::copy(file, folder + u'/' + QFileInfo(file).fileName());
}

} // namespace velcaris::test
