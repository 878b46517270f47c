#include "support/ScratchDatabase.h"

#include "store/ServerSchema.h"
#include "store/ServerSql.h"
#include "support/Office.h"

#include <QCoreApplication>

namespace velcaris::test {

ScratchDatabase::~ScratchDatabase()
{
    if (serverDatabase_.isEmpty())
        return;
    try {
        store::Database admin;
        admin.openServer(adminServer());
        // FORCE: a connection of the test still open on it is ended.
        admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(serverDatabase_));
    } catch (const store::StoreError&) {
        // A database left behind goes with the throwaway cluster.
    }
}

bool ScratchDatabase::onServer() const
{
    return officeOnServer();
}

store::ServerParams ScratchDatabase::server()
{
    store::ServerParams params = adminServer();
    if (serverDatabase_.isEmpty()) {
        static int made = 0;
        const QString name = QStringLiteral("velcaris_s_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
        store::Database admin;
        admin.openServer(params);
        admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
        admin.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' LOCALE 'C.UTF-8'").arg(name));
        serverDatabase_ = name;
    }
    params.database = serverDatabase_;
    return params;
}

void ScratchDatabase::open(store::Database& db, const QString& fileName)
{
    if (!onServer()) {
        db.open(dir_.file(fileName));
        return;
    }
    db.openServer(server());
    if (!functions_) {
        db.exec(store::serverPreambleSql());
        functions_ = true;
    }
}

void ScratchDatabase::open(store::Database& db, store::DatabaseKind kind)
{
    if (onServer() && kind != store::DatabaseKind::Faq) {
        store::openServerDatabase(db, server(), kind);
        return;
    }
    const QString name = kind == store::DatabaseKind::Main  ? QStringLiteral("Condomini.db")
                         : kind == store::DatabaseKind::Web ? QStringLiteral("WebDB.db")
                                                            : QStringLiteral("FAQ.db");
    store::openDatabase(db, dir_.file(name), kind);
}

void createTable(store::Database& db, const QString& fileSql)
{
    if (!db.isServer()) {
        db.exec(fileSql);
        return;
    }
    // As the schema's tables: the server reports names folded, the program reads them as spelled.
    store::learnSpellings(fileSql);
    db.exec(store::serverTableSql(fileSql));
}

} // namespace velcaris::test
