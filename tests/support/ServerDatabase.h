#pragma once
// A database of a test's own on the test server: VELCARIS_TEST_PG holds the conninfo of a server
// where the user may create databases (scripts/pg-test-cluster starts one). Made empty when the
// object is, dropped with it.
#include "store/Database.h"

#include <QString>

namespace velcaris::test {

// Whether a test server is named.
bool serverAvailable();
// The test server itself, on its maintenance database.
store::ServerParams adminServer();

class ServerDatabase {
public:
    // velcaris_<kind>_<process>_<n>: `kind` tells which fixture made it, should one be left behind.
    explicit ServerDatabase(const QString& kind);
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    const QString& name() const { return name_; }
    // The server with this database chosen.
    store::ServerParams params() const;

private:
    QString name_;
};

} // namespace velcaris::test
