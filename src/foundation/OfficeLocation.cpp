#include "foundation/OfficeLocation.h"

#include "foundation/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velcaris::app {

namespace {

// `typed` as an absolute clean path: "~" and "~/..." from home, anything else relative from base.
QString resolve(const QString& typed, const QString& base, const QString& home)
{
    QString path = typed.trimmed();
    if (path == QLatin1String("~"))
        path = home;
    else if (path.startsWith(QLatin1String("~/")))
        path = home + path.mid(1);
    return QDir::cleanPath(QDir(base).absoluteFilePath(path));
}

} // namespace

OfficeLocation locateOffice(const OfficeFacts& facts)
{
    if (!facts.commandLineFolder.trimmed().isEmpty())
        return {resolve(facts.commandLineFolder, facts.workingFolder, facts.homeFolder), OfficeOrigin::CommandLine};
    const QString program = QDir::cleanPath(facts.programFolder);
    if (facts.programFolderWritable && facts.programFolderHasDatabase)
        return {program, OfficeOrigin::BesideProgram};
    if (!facts.settingFolder.trimmed().isEmpty())
        return {resolve(facts.settingFolder, facts.homeFolder, facts.homeFolder), OfficeOrigin::Setting};
    if (!facts.userDataFolder.isEmpty())
        return {QDir::cleanPath(facts.userDataFolder), OfficeOrigin::UserData};
    // No data folder for this user (no home at all): the program's folder is all there is.
    return {program, OfficeOrigin::BesideProgram};
}

QString officeSettingsFile()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return config.isEmpty() ? QString() : QDir(config).filePath(QStringLiteral("ufficio.ini"));
}

OfficeFacts gatherOfficeFacts(const QString& commandLineFolder)
{
    OfficeFacts facts;
    facts.programFolder = QCoreApplication::applicationDirPath();
    const QFileInfo program(facts.programFolder);
    facts.programFolderWritable = program.isDir() && program.isWritable();
    facts.programFolderHasDatabase = QFileInfo(QDir(facts.programFolder).filePath(QStringLiteral("Database"))).isDir();
    facts.commandLineFolder = commandLineFolder;
    facts.workingFolder = QDir::currentPath();
    facts.homeFolder = QDir::homePath();
    const QString settings = officeSettingsFile();
    if (!settings.isEmpty())
        facts.settingFolder = IniFile::load(settings).value(QStringLiteral("ufficio"), QStringLiteral("cartella"));
    facts.userDataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return facts;
}

AppPaths officePaths(const OfficeLocation& location, const QString& executableName)
{
    if (location.origin == OfficeOrigin::BesideProgram)
        return AppPaths(location.folder, executableName);
    return AppPaths(location.folder, QStringLiteral("velcaris"));
}

} // namespace velcaris::app
