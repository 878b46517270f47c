#include "app/Workspace.h"
#include "store/Schema.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris;
using velcaris::test::TempDir;

TEST(Workspace, StartUpOnAnEmptyFolderCreatesTheDatabasesAndOpensEveryDataset)
{
    TempDir dir;
    app::Workspace ws{app::AppPaths(dir.path())};
    int steps = 0;
    EXPECT_EQ(ws.startUp([&] { ++steps; }), QString());
    EXPECT_EQ(steps, 10); // the window adds two: the list and the layout
    for (const char* file : {"Database/Condomini.db", "Database/WebDB.db", "Database/FAQ.db"})
        EXPECT_TRUE(QFile::exists(dir.file(file))) << file;
    EXPECT_TRUE(QDir(dir.file("Output")).exists());
    // The backups are made from the files as they were before opening: none existed yet.
    EXPECT_FALSE(QFile::exists(dir.file("Database/Condomini.bak")));
    for (const QString& name : ws.datasetNames()) {
        const bool lateSource = name == "ADOQueryFornitori" || name == "ADOQueryLocali" ||
                                name == "ADOQueryQuoteSingole" || name == "ADOQueryQuoteAccorpate" ||
                                name == "ADOQueryQuadroAC";
        EXPECT_EQ(ws.ds(name).isActive(), !lateSource) << name.toStdString();
    }
    EXPECT_EQ(ws.ds("ADOQueryEntrate").sort(), "Data DESC");
    EXPECT_EQ(ws.ds("ADOQueryPreventivi").sort(), "Id ASC,Tabella ASC");
    EXPECT_EQ(ws.ds("ADOTableScadenzario").filter(), "esito=false");
    EXPECT_EQ(ws.ds("ADOQueryUscite").displayFormat("TotaleUscito"), "0.00");
    EXPECT_EQ(ws.ds("ADOTableMemo").rowCount(), 1);
    EXPECT_TRUE(ws.condominiumNames().isEmpty());
}

TEST(Workspace, SecondStartMakesTheBackupsAndReadsTheRows)
{
    TempDir dir;
    {
        app::Workspace ws{app::AppPaths(dir.path())};
        ASSERT_EQ(ws.startUp(), QString());
        ws.mainDb().exec("INSERT INTO Condomini (Nome) VALUES ('Zeta - Via Po 1'), ('alfa - Via Roma 2')");
    }
    app::Workspace ws{app::AppPaths(dir.path())};
    ASSERT_EQ(ws.startUp(), QString());
    EXPECT_TRUE(QFile::exists(dir.file("Database/Condomini.bak")));
    EXPECT_TRUE(QFile::exists(dir.file("Database/WebDB.bak")));
    EXPECT_EQ(ws.condominiumNames(), QStringList({"Zeta - Via Po 1", "alfa - Via Roma 2"}));
}

TEST(Workspace, ForeignMainDatabaseIsReportedAndLeftAlone)
{
    TempDir dir;
    QDir().mkpath(dir.file("Database"));
    QFile f(dir.file("Database/Condomini.db"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QByteArray junk(4096, 'z');
    f.write(junk);
    f.close();
    app::Workspace ws{app::AppPaths(dir.path())};
    const QString error = ws.startUp();
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ws.ds("ADOTableEntrate").isActive());
    QFile g(dir.file("Database/Condomini.db"));
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    EXPECT_EQ(g.readAll(), junk);
    // The web database was never reached.
    EXPECT_FALSE(QFile::exists(dir.file("Database/WebDB.db")));
}

TEST(Workspace, WebDatabaseWritesShareTheMainTransaction)
{
    TempDir dir;
    app::Workspace ws{app::AppPaths(dir.path())};
    ASSERT_EQ(ws.startUp(), QString());
    {
        store::Transaction tr(ws.mainDb());
        ws.mainDb().exec("INSERT INTO Condomini (Nome) VALUES ('Alfa - Via Roma 1')");
        ws.mainDb().exec("INSERT INTO web.CodiceCondominio (Condominio) VALUES ('Alfa - Via Roma 1')");
        // Not committed: both writes go.
    }
    EXPECT_EQ(ws.mainDb().scalar("SELECT count(*) FROM Condomini").toInt(), 0);
    EXPECT_EQ(ws.webDb().scalar("SELECT count(*) FROM CodiceCondominio").toInt(), 0);
    {
        store::Transaction tr(ws.mainDb());
        ws.mainDb().exec("INSERT INTO web.CodiceCondominio (Condominio) VALUES ('Alfa - Via Roma 1')");
        tr.commit();
    }
    ws.ds("ADOWEBDBCodiceCondominio").requery();
    EXPECT_EQ(ws.ds("ADOWEBDBCodiceCondominio").rowCount(), 1);
}
