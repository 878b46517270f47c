#include "support/ServerDatabase.h"

#include <QCoreApplication>
#include <stdexcept>

namespace velcaris::test {

bool serverAvailable()
{
    return !qEnvironmentVariable("VELCARIS_TEST_PG").isEmpty();
}

store::ServerParams adminServer()
{
    store::ServerParams p;
    p.conninfo = qEnvironmentVariable("VELCARIS_TEST_PG");
    if (p.conninfo.isEmpty())
        throw std::runtime_error("VELCARIS_TEST_PG non impostata: nessun server PostgreSQL per la prova");
    return p;
}

ServerDatabase::ServerDatabase(const QString& kind)
{
    static int made = 0;
    name_ = QStringLiteral("velcaris_%1_%2_%3").arg(kind).arg(QCoreApplication::applicationPid()).arg(++made);
    store::Database admin;
    admin.openServer(adminServer());
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name_));
    admin.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' LOCALE 'C.UTF-8'").arg(name_));
}

ServerDatabase::~ServerDatabase()
{
    try {
        store::Database admin;
        admin.openServer(adminServer());
        // FORCE: a connection of the test still open on it is ended.
        admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_));
    } catch (const store::StoreError&) {
        // A database left behind goes with the throwaway cluster.
    }
}

store::ServerParams ServerDatabase::params() const
{
    store::ServerParams p = adminServer();
    p.database = name_;
    return p;
}

} // namespace velcaris::test
