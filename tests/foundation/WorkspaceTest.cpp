#include "foundation/Workspace.h"
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

// Web files written before the published quotas had a key get one when opened: the rows keep
// every value and their order (a quota allocated twice is still paid on its first copy), and the
// backup taken that morning is the file as it was.
TEST(Workspace, AnOlderWebDatabaseGetsTheQuotaKeyAndKeepsItsRows)
{
    TempDir dir;
    {
        app::Workspace ws{app::AppPaths(dir.path())};
        ASSERT_EQ(ws.startUp(), QString());
    }
    const char* rows[][3] = {{"Rata 1", "10.5", "prima copia"}, {"Rata 1", "20", "seconda copia"}, {"Rata 2", "30", ""}};
    {
        store::Database web;
        web.open(dir.file("Database/WebDB.db"));
        web.exec("DROP TABLE Quote");
        web.exec("CREATE TABLE Quote (Condominio TEXT, IdProprietario INTEGER, IdInquilino INTEGER, idLocale INTEGER, "
                 "Locale TEXT, NomeQuote TEXT, Importo DOUBLE, ImportoPagato DOUBLE DEFAULT 0, Tipologia TEXT, "
                 "Data DATE, DataScadenza DATE, AA TEXT, Nota TEXT)");
        web.exec("CREATE INDEX QuoteLocale ON Quote (idLocale, NomeQuote, AA)");
        for (const auto& r : rows)
            web.exec("INSERT INTO Quote (Condominio, idLocale, NomeQuote, Importo, AA, Nota, DataScadenza) "
                     "VALUES ('Alfa - Via Roma 1', 7, ?, ?, '2026', ?, '2026-03-31')",
                     {QString(r[0]), QString(r[1]).toDouble(), QString(r[2])});
        web.exec("DELETE FROM Quote WHERE Importo = 30");
        web.exec("INSERT INTO Quote (Condominio, idLocale, NomeQuote, Importo, AA, Nota, DataScadenza) "
                 "VALUES ('Alfa - Via Roma 1', 7, 'Rata 2', 30, '2026', '', '2026-03-31')");
    }
    for (int start = 0; start < 2; ++start) {
        app::Workspace ws{app::AppPaths(dir.path())};
        ASSERT_EQ(ws.startUp(), QString());
        ASSERT_TRUE(ws.webDb().columnNames("Quote").contains("Id"));
        store::Statement st(ws.mainDb(), "SELECT NomeQuote, Importo, Nota, DataScadenza, Condominio FROM web.Quote ORDER BY Id");
        for (const auto& r : rows) {
            ASSERT_TRUE(st.step());
            EXPECT_EQ(st.value(0).toString(), r[0]);
            EXPECT_DOUBLE_EQ(st.value(1).toDouble(), QString(r[1]).toDouble());
            EXPECT_EQ(st.value(2).toString(), r[2]);
            EXPECT_EQ(st.value(3).toString(), "2026-03-31");
            EXPECT_EQ(st.value(4).toString(), "Alfa - Via Roma 1");
        }
        EXPECT_FALSE(st.step());
        // New copies take a fresh key; the indexes are there again.
        ws.mainDb().exec("INSERT INTO web.Quote (NomeQuote, AA) VALUES ('Rata 3', '2026')");
        EXPECT_GT(ws.mainDb().scalar("SELECT Id FROM web.Quote WHERE NomeQuote = 'Rata 3'").toLongLong(),
                  ws.mainDb().scalar("SELECT MAX(Id) FROM web.Quote WHERE NomeQuote <> 'Rata 3'").toLongLong());
        EXPECT_EQ(ws.webDb().scalar("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = 'Quote'").toInt(), 3);
        ws.mainDb().exec("DELETE FROM web.Quote WHERE NomeQuote = 'Rata 3'");
    }
    store::Database backup;
    backup.open(dir.file("Database/WebDB.bak"));
    EXPECT_FALSE(backup.columnNames("Quote").contains("Id"));
}

// A [server] section moves the office off the files: an unusable one is told in Italian, naming
// the settings file, and no database file is made in its place.
TEST(Workspace, AServerSectionIsFollowedAndItsFaultsAreToldWithoutMakingFiles)
{
    TempDir dir;
    const app::AppPaths paths(dir.path());
    auto settings = [&](const QByteArray& text) {
        QFile ini(paths.settingsFile());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(text);
    };
    settings("[server]\nhost=/nessuna-cartella-di-socket\nport=porta\ndatabase=ufficio\n");
    {
        app::Workspace ws(paths);
        EXPECT_TRUE(ws.isServer());
        const QString error = ws.startUp();
        EXPECT_TRUE(error.contains("[server] port=porta")) << error.toStdString();
    }
    settings("[server]\nhost=/nessuna-cartella-di-socket\nport=5433\ndatabase=ufficio\noutput=Condivisa\n");
    {
        app::Workspace ws(paths);
        EXPECT_EQ(ws.server().describe(), "ufficio@/nessuna-cartella-di-socket:5433");
        EXPECT_EQ(ws.paths().outputFolder(), QDir(dir.path()).filePath("Condivisa") + '/');
        const QString error = ws.startUp();
        EXPECT_TRUE(error.startsWith("Impossibile aprire l'ufficio sul server ufficio@/nessuna-cartella-di-socket:5433"))
            << error.toStdString();
        EXPECT_TRUE(error.contains(paths.settingsFile()));
        EXPECT_FALSE(ws.mainDb().isOpen());
    }
    EXPECT_FALSE(QFile::exists(paths.mainDatabase()));
    EXPECT_FALSE(QFile::exists(paths.webDatabase()));

    // Without the section (or with an empty one) the office is in its files, as always.
    settings("[server]\n; host=server-studio\n");
    app::Workspace ws(paths);
    EXPECT_FALSE(ws.isServer());
    EXPECT_TRUE(ws.startUp().isEmpty());
    EXPECT_TRUE(QFile::exists(paths.mainDatabase()));
}
