#include "store/Database.h"
#include "store/SortOrder.h"
#include "support/ScratchDatabase.h"

#include <gtest/gtest.h>
#include <vector>

using namespace velcaris::store;
using velcaris::test::createTable;
using velcaris::test::ScratchDatabase;

namespace {

class SortOrderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch.open(db);
        createTable(db, "CREATE TABLE t (Id INTEGER PRIMARY KEY, Tabella TEXT, Importo REAL, \"Nome Quota\" TEXT)");
        const QVector<QVector<QVariant>> rows = {
            {1, "beta", 5, "b"}, {2, "Alfa", 7, "C"}, {3, "alfa", 2, "a"}, {4, "Gamma", 5, "D"}, {5, "BETA", 1, "e"},
        };
        for (const auto& row : rows)
            db.exec("INSERT INTO t VALUES (?, ?, ?, ?)", row);
        const QStringList columns = db.columnNames("t");
        resolve = [columns](const QString& name) {
            for (const QString& column : columns)
                if (column.compare(name, Qt::CaseInsensitive) == 0)
                    return column;
            return QString();
        };
    }

    std::vector<qint64> order(const QString& sort)
    {
        const QString body = compileSort(sort, resolve);
        Statement st(db, "SELECT Id FROM t" + (body.isEmpty() ? QString() : " ORDER BY " + body));
        std::vector<qint64> found;
        while (st.step())
            found.push_back(st.value(0).toLongLong());
        return found;
    }

    ScratchDatabase scratch;
    Database db;
    FieldResolver resolve;
};

} // namespace

TEST_F(SortOrderTest, OrdersRowsByEveryItem)
{
    const struct {
        const char* sort;
        std::vector<qint64> expected;
    } cases[] = {
        // text without regard to letter case, ties broken by the next item
        {"Tabella ASC,Id DESC", {3, 2, 5, 1, 4}},
        {"Tabella,Id", {2, 3, 1, 5, 4}},
        {"[Tabella] desc, id desc", {4, 5, 1, 3, 2}},
        {"Importo DESC, Id", {2, 1, 4, 3, 5}},
        {"  importo  desc ,  [id]  asc ", {2, 1, 4, 3, 5}},
        {"IMPORTO Asc,ID Desc", {5, 3, 4, 1, 2}},
        {"[Nome Quota] DESC", {5, 4, 2, 1, 3}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(order(c.sort), c.expected) << "sort: " << c.sort;
}

TEST_F(SortOrderTest, WritesTheResolvedColumnsWithNoCaseCollation)
{
    EXPECT_EQ(compileSort("tabella ASC,id desc", resolve),
              "\"Tabella\" COLLATE NOCASE ASC, \"Id\" COLLATE NOCASE DESC");
    EXPECT_EQ(compileSort("[nome quota]", resolve), "\"Nome Quota\" COLLATE NOCASE ASC");
    EXPECT_EQ(compileSort("", resolve), "");
    EXPECT_EQ(compileSort("  ", resolve), "");
}

TEST_F(SortOrderTest, RejectsBadSortsNamingTheText)
{
    const struct {
        const char* sort;
        const char* message;
    } cases[] = {
        {"Xyz", "Campo sconosciuto: Xyz"},
        {"Tabella, [Nome Sbagliato] DESC", "Campo sconosciuto: Nome Sbagliato"},
        {"Tabella DOWN", "Direzione non valida: DOWN"},
        {"Tabella [DESC]", "Direzione non valida: DESC"},
        {"Nome Quota", "Direzione non valida: Quota"},
        {"Tabella ASC DESC", "Testo inatteso: DESC"},
        {"Tabella,,Id", "Campo mancante: ,"},
        {"Tabella,", "Campo mancante: ,"},
        {"[Tabella", "Parentesi quadra non chiusa: [Tabella"},
        {"[] ASC", "Nome di campo vuoto: []"},
        {"Tabella;Id", "Carattere non previsto: ;"},
        {"Tabella\" DESC", "Carattere non previsto: \""},
    };
    for (const auto& c : cases) {
        try {
            const QString body = compileSort(c.sort, resolve);
            ADD_FAILURE() << "sort accepted: " << c.sort << " -> " << body.toStdString();
        } catch (const StoreError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.message)))
                << "sort: " << c.sort << "\nmessage: " << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.sort)))
                << "the message should quote the whole sort: " << e.message().toStdString();
        }
    }
}
