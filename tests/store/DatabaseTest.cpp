#include "store/Database.h"
#include "support/Office.h"
#include "support/ScratchDatabase.h"
#include "support/TempDir.h"

#include <QDate>
#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris::store;
using velcaris::test::createTable;
using velcaris::test::ScratchDatabase;
using velcaris::test::TempDir;

TEST(Database, BindsValuesAndReadsThemBack)
{
    ScratchDatabase scratch;
    Database db;
    scratch.open(db);
    createTable(db,
                "CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, nome TEXT, importo REAL, data DATE, ok BOOLEAN)");
    db.exec("INSERT INTO t (nome, importo, data, ok) VALUES (?, ?, ?, ?)",
            {QString("D'Angelo; DROP TABLE t"), 12.5, QDate(2014, 12, 8), true});
    EXPECT_EQ(db.lastInsertId(), 1);
    Statement st(db, "SELECT nome, importo, data, ok FROM t");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.value(0).toString(), "D'Angelo; DROP TABLE t");
    EXPECT_DOUBLE_EQ(st.value(1).toDouble(), 12.5);
    EXPECT_EQ(st.value(2).toString(), "2014-12-08");
    EXPECT_EQ(st.value(3).toLongLong(), 1);
    EXPECT_FALSE(st.step());
}

TEST(Database, ErrorsCarryTheEngineText)
{
    ScratchDatabase scratch;
    Database db;
    scratch.open(db);
    try {
        db.exec("SELECT * FROM missing_table");
        FAIL() << "no error raised";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().contains("missing_table")) << e.message().toStdString();
    }
}

TEST(Database, TransactionRollsBackUnlessCommitted)
{
    ScratchDatabase scratch;
    Database db;
    scratch.open(db);
    createTable(db, "CREATE TABLE t (x INTEGER)");
    {
        Transaction tr(db);
        db.exec("INSERT INTO t VALUES (1)");
    }
    EXPECT_EQ(db.scalar("SELECT count(*) FROM t").toInt(), 0);
    {
        Transaction outer(db);
        db.exec("INSERT INTO t VALUES (1)");
        {
            Transaction inner(db);
            db.exec("INSERT INTO t VALUES (2)");
        }
        outer.commit();
    }
    EXPECT_EQ(db.scalar("SELECT count(*) FROM t").toInt(), 1);
}

TEST(Database, EncryptedFileNeedsItsKey)
{
    SKIP_ON_SERVER();
    TempDir dir;
    const QString path = dir.file("secret.db");
    {
        Database db;
        db.open(path, "tarvio");
        db.exec("CREATE TABLE t (x TEXT); INSERT INTO t VALUES ('riservato')");
    }
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_FALSE(raw.readAll().contains("riservato"));
    {
        Database db;
        EXPECT_THROW(db.open(path), StoreError);
        EXPECT_THROW(db.open(path, "sbagliata"), StoreError);
        EXPECT_FALSE(db.isOpen());
    }
    Database db;
    db.open(path, "tarvio");
    EXPECT_EQ(db.scalar("SELECT x FROM t").toString(), "riservato");
}

TEST(Database, ForeignFileIsRefusedAndLeftAlone)
{
    SKIP_ON_SERVER();
    TempDir dir;
    const QString path = dir.file("foreign.db");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is not a database at all, just some text that fills a page.......");
    f.close();
    const QByteArray before = [&] { QFile g(path); g.open(QIODevice::ReadOnly); return g.readAll(); }();
    Database db;
    EXPECT_THROW(db.open(path), StoreError);
    QFile g(path);
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    EXPECT_EQ(g.readAll(), before);
}

TEST(Database, LikeFunctionIgnoresCaseAndUsesJetWildcards)
{
    ScratchDatabase scratch;
    Database db;
    scratch.open(db);
    EXPECT_EQ(db.scalar("SELECT vlike('*ros*', 'Via ROSSINI')").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT vlike('r?ssi', 'Rossi')").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT vlike('r?ssi', 'Rosssi')").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT vlike('*à*', 'CITTÀ')").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT vlike('100%', '1000')").toInt(), 0);
}

TEST(Database, SqlTextWithANulIsRefusedNotCutShort)
{
    ScratchDatabase scratch;
    Database db;
    scratch.open(db);
    createTable(db, "CREATE TABLE t (a TEXT)");
    const QString cut = QString("DELETE FROM t") + QChar(0) + " WHERE a = 'x'";
    EXPECT_THROW(db.exec(cut), StoreError);
    EXPECT_THROW(db.exec(cut, {}), StoreError);
}
