#pragma once
// What the program accepts on its command line (Qt's own options, -platform and the like, are
// taken out by QApplication before this is read).
#include <QString>
#include <QStringList>

namespace velcaris::app {

struct CommandLine {
    QString dataFolder;  // --dati <cartella>: the office's folder, as typed
    bool verify = false; // --verifica: open (or create) the office, install the templates, quit
    bool help = false;   // -h, --help
    bool version = false; // --version
    QString error;       // in Italian; empty when the line was understood
};

// `arguments` begins with the program's name, as QCoreApplication::arguments() does.
CommandLine parseCommandLine(const QStringList& arguments);

// The help text, in Italian, for `program` (the name the user typed).
QString commandLineHelp(const QString& program);

} // namespace velcaris::app
