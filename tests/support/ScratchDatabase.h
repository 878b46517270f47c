#pragma once
// A database of its own for one test of the store: files in a temporary folder, or, when the
// offices of the run are on a server (officeOnServer()), a database made on the test server at
// the first opening and dropped with the scratch. Tables written in the files' dialect are made
// on either through createTable().
#include "store/Database.h"
#include "store/Schema.h"
#include "support/ServerDatabase.h"
#include "support/TempDir.h"

#include <memory>

#include <QString>

namespace velcaris::test {

class ScratchDatabase {
public:
    ScratchDatabase() = default;
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    // Opens `db` on the scratch: the file `fileName` of the folder, or the server database with
    // the functions the files have built in (serverPreambleSql()), unqualified names in schema
    // main. On the server every opening reaches the same database, whatever the file's name.
    void open(store::Database& db, const QString& fileName = QStringLiteral("t.db"));
    // Opens the program's database of the kind: its file in the folder, made complete on first
    // use, or on the server the kind's schema (the FAQ stays a file, as in an office). Not mixed
    // with the opening above on one scratch.
    void open(store::Database& db, store::DatabaseKind kind);

    bool onServer() const;
    QString file(const QString& name) const { return dir_.file(name); }

private:
    store::ServerParams server(); // the scratch's own database, made when first asked for

    TempDir dir_;
    std::unique_ptr<ServerDatabase> server_; // made on the server when first asked for
    bool functions_ = false; // the preamble has been run in it
};

// Runs the files' CREATE TABLE / CREATE INDEX text: as it is on a file, turned into the server's
// by store::serverTableSql() on the server, whose column names then come back spelled as there.
void createTable(store::Database& db, const QString& fileSql);

} // namespace velcaris::test
