#include "support/ScratchDatabase.h"

#include "store/ServerSchema.h"
#include "store/ServerSql.h"
#include "support/Office.h"
namespace velcaris::test {

bool ScratchDatabase::onServer() const
{
    return officeOnServer();
}

store::ServerParams ScratchDatabase::server()
{
    if (!server_)
        server_ = std::make_unique<ServerDatabase>(QStringLiteral("s"));
    return server_->params();
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
