// Where the office lives, for every way the program may be found: built from source, copied into
// a folder of the user's, installed by the package, pointed elsewhere by --dati or by ufficio.ini.
#include "foundation/OfficeLocation.h"

#include <gtest/gtest.h>

using namespace velcaris::app;

namespace {

struct Case {
    const char* what;
    bool writable;
    bool hasDatabase;
    const char* commandLine;
    const char* setting;
    const char* userData;
    const char* folder;       // expected
    OfficeOrigin origin;      // expected
    const char* settingsFile; // expected, with the executable named "Velcaris"
};

constexpr auto Beside = OfficeOrigin::BesideProgram;
constexpr auto Line = OfficeOrigin::CommandLine;
constexpr auto Setting = OfficeOrigin::Setting;
constexpr auto User = OfficeOrigin::UserData;

const char* const kData = "/home/anna/.local/share/Velcaris";

const Case kCases[] = {
    {"installed in /usr/bin", false, false, "", "", kData, kData, User, "/home/anna/.local/share/Velcaris/velcaris.ini"},
    {"built from source, office beside", true, true, "", "", kData, "/opt/v/bin", Beside, "/opt/v/bin/Velcaris.ini"},
    {"writable but no office yet (root)", true, false, "", "", kData, kData, User,
     "/home/anna/.local/share/Velcaris/velcaris.ini"},
    {"office beside but read-only", false, true, "", "", kData, kData, User,
     "/home/anna/.local/share/Velcaris/velcaris.ini"},
    {"--dati beats the office beside", true, true, "/srv/studio/", "", kData, "/srv/studio", Line,
     "/srv/studio/velcaris.ini"},
    {"--dati relative to the working folder", false, false, "uffici/../studio", "", kData, "/home/anna/lavoro/studio",
     Line, "/home/anna/lavoro/studio/velcaris.ini"},
    {"--dati from home", false, false, "~/Studio", "/mnt/nas", kData, "/home/anna/Studio", Line,
     "/home/anna/Studio/velcaris.ini"},
    {"setting when nothing is beside", false, false, "", "/mnt/nas/Velcaris", kData, "/mnt/nas/Velcaris", Setting,
     "/mnt/nas/Velcaris/velcaris.ini"},
    {"relative setting from home", false, false, "", " Documenti/Velcaris ", kData, "/home/anna/Documenti/Velcaris",
     Setting, "/home/anna/Documenti/Velcaris/velcaris.ini"},
    {"the office beside beats the setting", true, true, "", "/mnt/nas", kData, "/opt/v/bin", Beside,
     "/opt/v/bin/Velcaris.ini"},
    {"blank values count as absent", false, false, "  ", "  ", kData, kData, User,
     "/home/anna/.local/share/Velcaris/velcaris.ini"},
    {"no data folder at all", false, false, "", "", "", "/opt/v/bin", Beside, "/opt/v/bin/Velcaris.ini"},
};

} // namespace

TEST(OfficeLocation, EachWayOfStartingFindsItsOffice)
{
    for (const Case& c : kCases) {
        OfficeFacts facts;
        facts.programFolder = QStringLiteral("/opt/v/bin/");
        facts.programFolderWritable = c.writable;
        facts.programFolderHasDatabase = c.hasDatabase;
        facts.commandLineFolder = QString::fromUtf8(c.commandLine);
        facts.workingFolder = QStringLiteral("/home/anna/lavoro");
        facts.settingFolder = QString::fromUtf8(c.setting);
        facts.homeFolder = QStringLiteral("/home/anna");
        facts.userDataFolder = QString::fromUtf8(c.userData);

        const OfficeLocation found = locateOffice(facts);
        EXPECT_EQ(found.folder, QString::fromUtf8(c.folder)) << c.what;
        EXPECT_EQ(found.origin, c.origin) << c.what;
        const AppPaths paths = officePaths(found, QStringLiteral("Velcaris"));
        EXPECT_EQ(paths.settingsFile(), QString::fromUtf8(c.settingsFile)) << c.what;
        EXPECT_EQ(paths.mainDatabase(), QString::fromUtf8(c.folder) + "/Database/Condomini.db") << c.what;
    }
}
