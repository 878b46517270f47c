// The filter builders and the column lists: what they write must parse back to the same rows, and
// a value can never become part of the expression.
#include "store/ColumnList.h"
#include "store/Database.h"
#include "store/Dataset.h"
#include "store/FilterText.h"
#include "support/ScratchDatabase.h"

#include <gtest/gtest.h>

using namespace velcaris;
using store::andTerms;
using store::equalsTerm;

TEST(FilterText, TermsQuoteTheirValuesAndJoinOnlyWhatIsThere)
{
    EXPECT_EQ(equalsTerm("Condominio", "D'Angelo - Via dell'Orso 3"), "Condominio='D''Angelo - Via dell''Orso 3'");
    EXPECT_EQ(equalsTerm("IdInquilino", qint64(-1)), "IdInquilino=-1");
    EXPECT_EQ(andTerms({"a=1", QString(), "b=2"}), "a=1 AND b=2");
    EXPECT_EQ(andTerms({QString(), "b=2"}), "b=2");
    EXPECT_EQ(andTerms({QString(), QString()}), "");
}

TEST(FilterText, AHostileValueStaysOneValue)
{
    test::ScratchDatabase scratch;
    store::Database db;
    scratch.open(db);
    test::createTable(db, "CREATE TABLE T (Id INTEGER PRIMARY KEY, Nome TEXT, Tipo TEXT)");
    db.exec("INSERT INTO T (Nome, Tipo) VALUES ('a'' OR ''1''=''1', 'x'), ('b', 'x'), ('c', 'y')");
    store::Dataset ds("T");
    ds.setConnection(&db);
    ds.setTableName("T");
    ds.open();
    ds.setFilter(andTerms({equalsTerm("Nome", "a' OR '1'='1"), equalsTerm("Tipo", "x")}));
    ASSERT_EQ(ds.rowCount(), 1);
    EXPECT_EQ(ds.value("Nome").toString(), "a' OR '1'='1");
    ds.setFilter(andTerms({equalsTerm("Nome", "b"), equalsTerm("Tipo", "y")}));
    EXPECT_EQ(ds.rowCount(), 0);
}

TEST(ColumnList, SelectAssignAndInsertFollowOneList)
{
    const store::ColumnList columns({"Cognome", QString::fromUtf8("Città"), "Quote\"d"});
    EXPECT_EQ(columns.selectList(), QString::fromUtf8("\"Cognome\", \"Città\", \"Quote\"\"d\""));
    EXPECT_EQ(columns.assignments(), QString::fromUtf8("\"Cognome\" = ?, \"Città\" = ?, \"Quote\"\"d\" = ?"));
    EXPECT_EQ(columns.placeholders(), "?,?,?");
    EXPECT_EQ(columns.placeholders(1), "?,?,?,?");

    test::ScratchDatabase scratch;
    store::Database db;
    scratch.open(db);
    test::createTable(db, QString::fromUtf8("CREATE TABLE P (Id INTEGER PRIMARY KEY, Cognome TEXT, \"Città\" TEXT, "
                                            "\"Quote\"\"d\" TEXT)"));
    db.exec(QString("INSERT INTO P (%1) VALUES (%2)").arg(columns.selectList(), columns.placeholders()), {"Rossi", "Roma", "x"});
    db.exec(QString("UPDATE P SET %1 WHERE Id = 1").arg(columns.assignments()), {"Bianchi", "Milano", "y"});
    EXPECT_EQ(db.scalar(QString("SELECT %1 FROM P").arg(columns.selectList())).toString(), "Bianchi");
    EXPECT_EQ(db.scalar(QString::fromUtf8("SELECT \"Città\" FROM P")).toString(), "Milano");
}
