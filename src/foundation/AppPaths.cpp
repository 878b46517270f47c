#include "foundation/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace velcaris::app {

AppPaths::AppPaths(const QString& folder, const QString& executableName)
    : folder_(QDir::cleanPath(folder))
    , executable_(QDir(QDir::cleanPath(folder)).filePath(executableName))
{
}

QString AppPaths::file(const QString& relative) const
{
    return QDir(folder_).filePath(relative);
}

QString AppPaths::databaseFolder() const { return file(QStringLiteral("Database")); }
QString AppPaths::outputFolder() const
{
    return output_.isEmpty() ? file(QStringLiteral("Output")) + QLatin1Char('/') : output_;
}

void AppPaths::setOutputFolder(const QString& folder)
{
    output_ = folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder_).absoluteFilePath(folder)) + QLatin1Char('/');
}
QString AppPaths::mainDatabase() const { return file(QStringLiteral("Database/Condomini.db")); }
QString AppPaths::mainBackup() const { return file(QStringLiteral("Database/Condomini.bak")); }
QString AppPaths::webDatabase() const { return file(QStringLiteral("Database/WebDB.db")); }
QString AppPaths::webBackup() const { return file(QStringLiteral("Database/WebDB.bak")); }
QString AppPaths::faqDatabase() const { return file(QStringLiteral("Database/FAQ.db")); }
QString AppPaths::faqBackup() const { return file(QStringLiteral("Database/FAQ.bak")); }
QString AppPaths::settingsFile() const { return settingsFileFor(executable_); }
QString AppPaths::mailLog() const { return file(QStringLiteral("mail.log")); }
QString AppPaths::folderNameTrial() const { return file(QStringLiteral("Database/prova-nome-cartella")); }

bool AppPaths::ensureFolders() const
{
    QDir dir(folder_);
    return dir.mkpath(QStringLiteral("Database")) && dir.mkpath(outputFolder());
}

QString settingsFileFor(const QString& executablePath)
{
    const int slash = std::max(executablePath.lastIndexOf(QLatin1Char('/')),
                               executablePath.lastIndexOf(QLatin1Char('\\')));
    const int dot = executablePath.lastIndexOf(QLatin1Char('.'));
    // A dot in a folder name, or a leading dot of a hidden file name, is not an extension.
    if (dot > slash + 1)
        return executablePath.left(dot) + QStringLiteral(".ini");
    return executablePath + QStringLiteral(".ini");
}

} // namespace velcaris::app
