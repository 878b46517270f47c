#include "store/Dataset.h"
#include "store/Schema.h"
#include "support/SameRead.h"
#include "support/ScratchDatabase.h"

#include <QDate>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

using namespace velcaris::store;
using velcaris::test::createTable;
using velcaris::test::ScratchDatabase;

namespace {

class DatasetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch.open(db);
        createTable(db, "CREATE TABLE Persone (Id INTEGER PRIMARY KEY AUTOINCREMENT, Cognome TEXT, Nome TEXT, "
                        "Condominio TEXT, Importo DOUBLE, Data DATE, Consiglio BOOLEAN DEFAULT 0, "
                        "Note TEXT DEFAULT 'x')");
        const char* rows[][5] = {{"Rossi", "Mario", "Alfa - Via Roma 1", "10.5", "2014-01-15"},
                                 {"bianchi", "Anna", "Alfa - Via Roma 1", "20", "2014-03-01"},
                                 {"Verdi", "", "D'Angelo - Via Po 2", "5", "2013-12-31"},
                                 {"Rossi", "Luigi", "D'Angelo - Via Po 2", "7.25", "2014-02-10"}};
        for (const auto& r : rows)
            db.exec("INSERT INTO Persone (Cognome, Nome, Condominio, Importo, Data) VALUES (?,?,?,?,?)",
                    {QString(r[0]), QString(r[1]), QString(r[2]), QString(r[3]).toDouble(), QString(r[4])});
        ds.setConnection(&db);
        ds.setTableName("Persone");
    }

    QStringList column(const QString& field)
    {
        QStringList out;
        for (int row = 0; row < ds.rowCount(); ++row)
            out << ds.valueAt(row, field).toString();
        return out;
    }

    ScratchDatabase scratch;
    Database db;
    Dataset ds{"ADOTablePersone"};
};

} // namespace

TEST_F(DatasetTest, NavigatesRowsWithEofAndBof)
{
    ds.open();
    EXPECT_EQ(ds.rowCount(), 4);
    EXPECT_EQ(ds.value("cognome").toString(), "Rossi");
    EXPECT_TRUE(ds.bof());
    int seen = 0;
    for (ds.first(); !ds.eof(); ds.next())
        ++seen;
    EXPECT_EQ(seen, 4);
    EXPECT_EQ(ds.recNo(), 3);
    ds.prior();
    EXPECT_EQ(ds.recNo(), 2);
    ds.last();
    EXPECT_EQ(ds.value("COGNOME").toString(), "Rossi");
    EXPECT_EQ(ds.value("Nome").toString(), "Luigi");
    EXPECT_THROW(ds.value("Inesistente"), StoreError);
}

TEST_F(DatasetTest, SortsOnSeveralFieldsAndKeepsSortAndFilterOnRequery)
{
    ds.setSort("Cognome ASC,Importo DESC");
    ds.open();
    EXPECT_EQ(column("Nome"), QStringList({"Anna", "Mario", "Luigi", ""}));
    ds.setFilter("Condominio='D''Angelo - Via Po 2'");
    EXPECT_EQ(column("Cognome"), QStringList({"Rossi", "Verdi"}));
    db.exec("INSERT INTO Persone (Cognome, Condominio) VALUES ('Neri', 'D''Angelo - Via Po 2')");
    ds.requery();
    EXPECT_EQ(column("Cognome"), QStringList({"Neri", "Rossi", "Verdi"}));
    EXPECT_EQ(ds.sort(), "Cognome ASC,Importo DESC");
}

TEST_F(DatasetTest, BadSortOrFilterIsRefusedAndTheOldOneKept)
{
    ds.open();
    ds.setFilter("Cognome='Rossi'");
    EXPECT_THROW(ds.setFilter("Cognome='Rossi"), StoreError);
    EXPECT_THROW(ds.setSort("Sconosciuto ASC"), StoreError);
    EXPECT_EQ(ds.filter(), "Cognome='Rossi'");
    EXPECT_EQ(ds.rowCount(), 2);
}

TEST_F(DatasetTest, FilterGivenBeforeOpeningIsCheckedAtOpening)
{
    ds.setFilter("Cognomee='Rossi'");
    EXPECT_THROW(ds.open(), StoreError);
    EXPECT_FALSE(ds.isActive());
}

TEST_F(DatasetTest, LocatesOnOneOrSeveralFields)
{
    ds.open();
    EXPECT_TRUE(ds.locate("Cognome;Condominio", {"Rossi", "D'Angelo - Via Po 2"}));
    EXPECT_EQ(ds.value("Nome").toString(), "Luigi");
    EXPECT_TRUE(ds.locate("Importo", {20}));
    EXPECT_EQ(ds.value("Cognome").toString(), "bianchi");
    EXPECT_FALSE(ds.locate("Cognome", {"BIANCHI"}));
    EXPECT_TRUE(ds.locate("Cognome", {"BIANCHI"}, true));
    EXPECT_TRUE(ds.locate("Consiglio", {false}));
    EXPECT_TRUE(ds.locate("Data", {QDate(2014, 2, 10)}));
    EXPECT_EQ(ds.value("Nome").toString(), "Luigi");
    // A failed locate leaves the current row where it was.
    EXPECT_FALSE(ds.locate("Cognome;Nome", {"Rossi", "Anna"}));
    EXPECT_EQ(ds.value("Nome").toString(), "Luigi");
}

TEST_F(DatasetTest, BookmarkSurvivesRequeryAndResort)
{
    ds.open();
    ASSERT_TRUE(ds.locate("Cognome", {"Verdi"}));
    const Dataset::Bookmark mark = ds.bookmark();
    db.exec("INSERT INTO Persone (Cognome) VALUES ('Aaron')");
    ds.setSort("Cognome ASC");
    ds.requery();
    ds.first();
    EXPECT_TRUE(ds.gotoBookmark(mark));
    EXPECT_EQ(ds.value("Cognome").toString(), "Verdi");
    // The requery itself keeps the current row.
    ds.requery();
    EXPECT_EQ(ds.value("Cognome").toString(), "Verdi");
    db.exec("DELETE FROM Persone WHERE Cognome = 'Verdi'");
    ds.requery();
    EXPECT_FALSE(ds.gotoBookmark(mark));
}

TEST_F(DatasetTest, AppendReturnsTheNewKeyAndTheDefaults)
{
    ds.open();
    ds.append();
    ds.setValue("Cognome", "Gialli");
    ds.setValue("data", QDate(2015, 6, 30));
    ds.setValue("Consiglio", true);
    ds.post();
    EXPECT_EQ(ds.value("Id").toLongLong(), 5);
    EXPECT_EQ(ds.keyValue().toLongLong(), 5);
    EXPECT_EQ(ds.value("Note").toString(), "x"); // default read back from the file
    EXPECT_EQ(ds.value("Data").toString(), "2015-06-30");
    EXPECT_EQ(ds.text("Data"), "30/06/2015");
    EXPECT_EQ(db.scalar("SELECT Consiglio FROM Persone WHERE Id = 5").toInt(), 1);
    EXPECT_EQ(ds.rowCount(), 5);
}

TEST_F(DatasetTest, EditPostCancelAndDeleteWriteThrough)
{
    ds.open();
    ASSERT_TRUE(ds.locate("Cognome", {"Verdi"}));
    ds.edit();
    ds.setValue("Nome", "Giuseppe");
    EXPECT_EQ(ds.value("Nome").toString(), "Giuseppe");
    ds.cancel();
    EXPECT_EQ(ds.value("Nome").toString(), "");
    ds.setValue("Nome", "Giuseppe'; DROP TABLE Persone; --");
    ds.post();
    EXPECT_EQ(db.scalar("SELECT Nome FROM Persone WHERE Cognome = 'Verdi'").toString(),
              "Giuseppe'; DROP TABLE Persone; --");
    // Moving away from an edited row posts it.
    ds.setValue("Importo", 99.5);
    ds.first();
    EXPECT_DOUBLE_EQ(db.scalar("SELECT Importo FROM Persone WHERE Cognome = 'Verdi'").toDouble(), 99.5);
    // Read again without a sort, the edited row keeps its place in the stored order.
    ds.requery();
    EXPECT_EQ(column("Cognome"), QStringList({"Rossi", "bianchi", "Verdi", "Rossi"}));

    ASSERT_TRUE(ds.locate("Cognome", {"bianchi"}));
    ds.remove();
    EXPECT_EQ(ds.rowCount(), 3);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Persone").toInt(), 3);
    EXPECT_EQ(ds.recNo(), 1);
}

TEST_F(DatasetTest, SqlSourceIsReadOnlyAndTakesParameters)
{
    Dataset q("q");
    q.setConnection(&db);
    q.setSql("SELECT Cognome, sum(Importo) AS Totale FROM Persone WHERE Condominio = ? GROUP BY Cognome",
             {QString("Alfa - Via Roma 1")});
    q.setSort("Totale DESC");
    q.open();
    ASSERT_EQ(q.rowCount(), 2);
    EXPECT_EQ(q.value("Cognome").toString(), "bianchi");
    q.setFilter("Totale < 15");
    EXPECT_EQ(q.rowCount(), 1);
    EXPECT_THROW(q.append(), StoreError);
    EXPECT_THROW(q.edit(), StoreError);
}

TEST_F(DatasetTest, DisplayFormatsShapeTheText)
{
    ds.setDisplayFormat("importo", "0.00");
    ds.open();
    ds.first();
    EXPECT_EQ(ds.text("Importo"), "10.50");
    EXPECT_EQ(ds.text("Data"), "15/01/2014");
    EXPECT_EQ(ds.text("Consiglio"), "No");
}

TEST_F(DatasetTest, DisplayFormatsRoundLikeStoredAmounts)
{
    db.exec("INSERT INTO Persone (Cognome, Importo) VALUES ('Grande', 5000000.015), ('Negativo', -2.675), "
            "('Millesimi', 333.3335)");
    ds.setDisplayFormat("Importo", "0.00");
    ds.setSort("Id ASC");
    ds.open();
    ASSERT_TRUE(ds.locate("Cognome", {QString("Grande")}));
    // Read as its decimal text, 5000000.015 is a half cent: it goes up, as when it is stored.
    EXPECT_EQ(ds.text("Importo"), "5000000.02");
    ASSERT_TRUE(ds.locate("Cognome", {QString("Negativo")}));
    EXPECT_EQ(ds.text("Importo"), "-2.68");
    ds.setDisplayFormat("Importo", "0.000");
    ASSERT_TRUE(ds.locate("Cognome", {QString("Millesimi")}));
    EXPECT_EQ(ds.text("Importo"), "333.334");
}

TEST_F(DatasetTest, RowsAreReadOnlyWhenFirstNeeded)
{
    QSignalSpy resets(&ds, &Dataset::reset);
    ds.open();
    db.exec("INSERT INTO Persone (Cognome) VALUES ('Tardi')");
    // Opened before the insert, read after it.
    EXPECT_EQ(ds.rowCount(), 5);
    EXPECT_GE(resets.count(), 1);
}

TEST(DatasetView, WritesThroughAnUpdatableView)
{
    ScratchDatabase scratch;
    Database db;
    scratch.open(db, DatabaseKind::Main);
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES ('Alfa - Via Roma 1', '2014', 1)");
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES ('Alfa - Via Roma 1', 'Rossi', 'Mario')");

    Dataset entrate("ADOQueryEntrate");
    entrate.setConnection(&db);
    entrate.setTableName("QueryEntrateAC");
    entrate.setSort("Data DESC");
    entrate.open();
    entrate.append();
    entrate.setValue("Condominio", "Alfa - Via Roma 1");
    entrate.setValue("AA", "2014");
    entrate.setValue("IdPersona", 1);
    entrate.setValue("Importo", 120.0);
    entrate.setValue("Data", QDate(2014, 5, 2));
    entrate.setValue("MetodoPagamento", "Cassa");
    entrate.post();
    EXPECT_EQ(entrate.value("Persona").toString(), "Rossi Mario");
    const qint64 id = entrate.value("Id").toLongLong();
    EXPECT_GT(id, 0);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Entrate").toInt(), 1);

    entrate.setValue("Importo", 130.0);
    entrate.post();
    EXPECT_DOUBLE_EQ(db.scalar("SELECT Importo FROM Entrate WHERE id = ?", {id}).toDouble(), 130.0);
    entrate.remove();
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Entrate").toInt(), 0);
    EXPECT_EQ(entrate.rowCount(), 0);
}

TEST(DatasetTwoDesks, AnEditOfARowAnotherDeskChangedIsRefusedAndTheRowShownAsItIsNow)
{
    ScratchDatabase scratch;
    Database one, two;
    scratch.open(one, DatabaseKind::Main);
    scratch.open(two, DatabaseKind::Main);
    one.exec("INSERT INTO Condomini (Nome, Comune) VALUES ('Alfa', 'Roma'), ('Beta', 'Bari')");
    Dataset mine("m"), theirs("t");
    for (const auto& [ds, db] : {std::pair{&mine, &one}, std::pair{&theirs, &two}}) {
        ds->setConnection(db);
        ds->setTableName("Condomini");
        ds->setSort("Nome ASC");
        ds->open();
        ASSERT_EQ(ds->rowCount(), 2);
    }

    // One desk edits the same row again and again: never refused.
    mine.setValue("Comune", "Milano");
    mine.post();
    mine.setValue("Comune", "Torino");
    mine.post();

    // The other desk read the row before that: nothing of its edit is written, and it is left
    // browsing the row as it is now.
    QSignalSpy shown(&theirs, &Dataset::rowChanged);
    theirs.setValue("Banca", "Banca Sud");
    StoreError refused = velcaris::test::failureOf([&] { theirs.post(); });
    EXPECT_EQ(refused.fault(), StoreFault::Conflict);
    EXPECT_EQ(refused.message(), QString::fromUtf8("Il record è stato modificato da un'altra postazione dopo che lo ha "
                                                   "aperto: ora è mostrato com'è adesso. Ripeta la modifica se serve."));
    EXPECT_EQ(theirs.state(), Dataset::State::Browse);
    EXPECT_EQ(theirs.recNo(), 0);
    EXPECT_EQ(theirs.value("Comune").toString(), "Torino");
    EXPECT_TRUE(theirs.value("Banca").isNull());
    EXPECT_EQ(shown.count(), 1);
    EXPECT_TRUE(one.scalar("SELECT Banca FROM Condomini WHERE Nome = 'Alfa'").isNull());

    // Repeated on the row as it is now, it is written.
    theirs.setValue("Banca", "Banca Sud");
    theirs.post();
    EXPECT_EQ(one.scalar("SELECT Banca || Comune FROM Condomini WHERE Nome = 'Alfa'").toString(), "Banca SudTorino");

    // A row the other desk deleted: refused, and dropped from the rows.
    theirs.next();
    theirs.remove();
    mine.next();
    mine.setValue("Comune", "Lecce");
    refused = velcaris::test::failureOf([&] { mine.post(); });
    EXPECT_EQ(refused.fault(), StoreFault::Conflict);
    EXPECT_EQ(refused.message(), QString::fromUtf8("Il record è stato eliminato da un'altra postazione."));
    EXPECT_EQ(mine.rowCount(), 1);
    EXPECT_EQ(mine.value("Nome").toString(), "Alfa");
    EXPECT_EQ(one.scalar("SELECT count(*) FROM Condomini").toInt(), 1);

    // A key another desk took first is a conflict as well; the transactions' depth is the engine's.
    EXPECT_EQ(velcaris::test::failureOf([&] { two.exec("INSERT INTO Tipologia (Id, Tipologia) VALUES (1, 'doppia')"); }).fault(),
              StoreFault::Conflict);
    {
        Transaction outer(one);
        Transaction inner(one);
        EXPECT_EQ(one.transactionDepth(), 2);
    }
    EXPECT_EQ(one.transactionDepth(), 0);
}
