#pragma once
// The shared office on a PostgreSQL server: the settings file's [server] section. Without it (or
// with neither host, database nor conninfo in it) the office stays in its files.
#include "store/Database.h"

#include <QString>

namespace velcaris::app {

struct OfficeServer {
    bool enabled = false;
    store::ServerParams params; // host, port, database, user, password, passfile, sslmode, conninfo
    // [server] output: the shared folder of the documents (Output/) every desk writes to; empty:
    // the Output folder beside the program, as with files.
    QString outputFolder;
    // The Italian reason the section cannot be used (a port that is not a number); empty when fine.
    QString problem;

    // "nome@host:porta" (or the conninfo's host), for the status bar and the messages.
    QString describe() const;
};

OfficeServer readOfficeServer(const QString& iniFile);

} // namespace velcaris::app
