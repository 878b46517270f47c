#pragma once
// Where the office lives: the folder that holds Database/, Output/, velcaris.ini and mail.log.
//
// In the order they are looked at:
//   1. the folder given with --dati on the command line;
//   2. the program's own folder, when it is writable and already holds Database/ (a program built
//      from source, or copied into a folder of the user's, keeps its office beside it);
//   3. the folder written under [ufficio] cartella in the user's ufficio.ini
//      (~/.config/Velcaris/ufficio.ini);
//   4. the user's data folder (~/.local/share/Velcaris): an installed program, one office per
//      user account.
// A relative folder given on the command line starts from the working folder, one written in the
// settings from the home folder; "~/" stands for the home folder in both.
#include "foundation/AppPaths.h"

#include <QString>

namespace velcaris::app {

struct OfficeFacts {
    QString programFolder;          // the executable's folder
    bool programFolderWritable = false;
    bool programFolderHasDatabase = false; // <programFolder>/Database is a folder
    QString commandLineFolder;      // --dati as typed; empty when not given
    QString workingFolder;          // where the program was started from
    QString settingFolder;          // [ufficio] cartella as written; empty when not set
    QString homeFolder;
    QString userDataFolder;         // QStandardPaths::AppDataLocation; empty when there is none
};

enum class OfficeOrigin { CommandLine, BesideProgram, Setting, UserData };

struct OfficeLocation {
    QString folder; // absolute and clean
    OfficeOrigin origin = OfficeOrigin::BesideProgram;
};

// The rule above, over facts gathered elsewhere; it touches no file.
OfficeLocation locateOffice(const OfficeFacts& facts);

// The facts of this run: the executable's folder, the user's folders and ufficio.ini.
// QCoreApplication must exist and carry the application's name.
OfficeFacts gatherOfficeFacts(const QString& commandLineFolder);

// The paths of the office at `location`. Beside the program the settings file keeps the
// executable's name (executableName with ".ini"); elsewhere it is velcaris.ini.
AppPaths officePaths(const OfficeLocation& location, const QString& executableName);

// The settings file that may move the office: ufficio.ini in the user's configuration folder.
QString officeSettingsFile();

} // namespace velcaris::app
