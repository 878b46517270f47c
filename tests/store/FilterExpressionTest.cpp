#include "store/Database.h"
#include "store/FilterExpression.h"
#include "support/ScratchDatabase.h"

#include <gtest/gtest.h>
#include <vector>

using namespace velcaris::store;
using velcaris::test::createTable;
using velcaris::test::ScratchDatabase;

namespace {

// Resolves names as the registers do: without regard to letter case, to the stored spelling.
FieldResolver resolverFor(const QStringList& columns)
{
    return [columns](const QString& name) {
        for (const QString& column : columns)
            if (column.toCaseFolded() == name.toCaseFolded())
                return column;
        return QString();
    };
}

class FilterExpressionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch.open(db);
        createTable(db, "CREATE TABLE t (Id INTEGER PRIMARY KEY, Nome TEXT, Cognome TEXT, Importo REAL, "
                        "DataScadenza DATE, Esito BOOLEAN, \"Città\" TEXT, \"Nome Quota\" TEXT, Codice TEXT)");
        const QVector<QVector<QVariant>> rows = {
            {1, "Alfa - Via Roma 1", "Rossi", 12.5, "2014-12-08", 1, "Città di Castello", "Rata 1", "12"},
            {2, "D'Angelo - Via Roma 1", "ROSSINI", 100, "2014-12-09", 0, "Roma", "Rata \"2\"", "7"},
            {3, "100 euro", "Bianchi", -3, "2015-01-01", 0, "FORLÌ", "Saldo", "3"},
            {4, "x' OR 1=1 --", "Verdi", 0, "2014-12-07", 1, "CITTÀ NUOVA", QVariant(), QVariant()},
            {5, "100%_sconto", QVariant(), 12.5, QVariant(), QVariant(), "Milano", "Rata 1", "12"},
        };
        for (const auto& row : rows)
            db.exec("INSERT INTO t VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)", row);
        resolve = resolverFor(db.columnNames("t"));
    }

    // The ids of the rows the filter selects, in id order.
    std::vector<qint64> ids(const QString& filter)
    {
        const SqlFragment f = compileFilter(filter, resolve);
        QString sql = "SELECT Id FROM t";
        if (!f.sql.isEmpty())
            sql += " WHERE " + f.sql;
        Statement st(db, sql + " ORDER BY Id");
        st.bindAll(f.params);
        std::vector<qint64> found;
        while (st.step())
            found.push_back(st.value(0).toLongLong());
        return found;
    }

    ScratchDatabase scratch;
    Database db;
    FieldResolver resolve;
};

struct SelectCase {
    const char* filter;
    std::vector<qint64> expected;
};

} // namespace

TEST_F(FilterExpressionTest, SelectsTheRowsTheDataDecides)
{
    const SelectCase cases[] = {
        // each operator
        {"Importo = 12.5", {1, 5}},
        {"Importo <> 12.5", {2, 3, 4}},
        {"Importo < 0", {3}},
        {"Importo > 12.5", {2}},
        {"Importo <= 0", {3, 4}},
        {"Importo >= 100", {2}},
        {"Importo = -3", {3}},
        {"Id = 3", {3}},
        // text against a number column and a number against a text column (column affinity)
        {"Id = '3'", {3}},
        {"Codice = 12", {1, 5}},
        // field on the right, value on the left, field against field
        {"100 <= Importo", {2}},
        {"'Roma' = Città", {2}},
        {"Importo > Id", {1, 2, 5}},
        // field names in any case and in brackets
        {"CITTÀ = 'Roma'", {2}},
        {"[nome quota] = 'Saldo'", {3}},
        {"[Città]='Roma'", {2}},
        // quotes inside values
        {"Nome='D''Angelo - Via Roma 1'", {2}},
        {"Nome=\"D'Angelo - Via Roma 1\"", {2}},
        {"[Nome Quota]=\"Rata \"\"2\"\"\"", {2}},
        {"Nome='x'' OR 1=1 --'", {4}},
        // LIKE: anywhere, whole value, one character, without regard to case
        {"Cognome LIKE '*ros*'", {1, 2}},
        {"Cognome like 'rossi'", {1}},
        {"Cognome LIKE 'R?SSI'", {1}},
        {"Città LIKE '*à*'", {1, 4}},
        {"Città LIKE '*CITTÀ*'", {1, 4}},
        {"Città LIKE '*ì'", {3}},
        {"Nome LIKE '100%*'", {5}},
        {"Nome LIKE '*_*'", {5}},
        {"Cognome NOT LIKE '*ros*'", {3, 4, 5}},
        {"'Rossi' LIKE 'r*' AND Id<3", {1, 2}},
        {"'Rossi' LIKE 'v*' OR Id=3", {3}},
        // dates written d/m/yyyy
        {"DataScadenza<=08/12/2014", {1, 4}},
        {"DataScadenza = 8/12/2014", {1}},
        {"DataScadenza > 31/12/2014", {3}},
        {"DataScadenza>=07/12/2014 AND DataScadenza<09/12/2014", {1, 4}},
        // AND binds tighter than OR; brackets override
        {"Esito=True OR Importo=100 AND Cognome='Rossi'", {1, 4}},
        {"Importo=12.5 AND Esito=False OR Id=3", {3}},
        {"(Esito=True OR Importo=100) AND Cognome LIKE 'ross*'", {1, 2}},
        {"((Id=1 OR Id=2) AND (Id=2 OR Id=3)) OR Id=5", {2, 5}},
        {"Id=1 or Id=2 and Id=3", {1}},
        // NOT binds to the next condition
        {"NOT Esito=True", {2, 3}},
        {"NOT (Id=1 OR Id=2)", {3, 4, 5}},
        {"NOT Id=1 AND Id<3", {2}},
        {"not not Id=1", {1}},
        // tokens touching
        {"Nome='Alfa - Via Roma 1'AND esito=true", {1}},
        {"Id=3AND Esito=false", {3}},
        {"(Id=1)OR(Id=2)", {1, 2}},
        {"Importo>=12.5AND Importo<100", {1, 5}},
        {"DataScadenza<=08/12/2014AND Esito=True", {1, 4}},
        {"Id<>-3", {1, 2, 3, 4, 5}},
        // booleans
        {"Esito = TRUE", {1, 4}},
        {"esito=false", {2, 3}},
        {"Esito<>False", {1, 4}},
        // Null
        {"Cognome = Null", {5}},
        {"Null = Cognome", {5}},
        {"Cognome <> NULL", {1, 2, 3, 4}},
        {"[Nome Quota] Is Null", {4}},
        {"DataScadenza IS NOT NULL", {1, 2, 3, 4}},
        // no filter
        {"", {1, 2, 3, 4, 5}},
        {"   ", {1, 2, 3, 4, 5}},
    };
    for (const SelectCase& c : cases) {
        try {
            EXPECT_EQ(ids(c.filter), c.expected) << "filter: " << c.filter;
        } catch (const StoreError& e) {
            ADD_FAILURE() << "filter: " << c.filter << " raised " << e.message().toStdString();
        }
    }
}

TEST_F(FilterExpressionTest, ValuesAreBoundNeverWritten)
{
    const SqlFragment f = compileFilter("Nome='x'' OR 1=1 --' AND cognome LIKE '*ros*'", resolve);
    EXPECT_EQ(f.sql, "\"Nome\" = ? AND vlike(?, \"Cognome\")");
    ASSERT_EQ(f.params.size(), 2);
    EXPECT_EQ(f.params[0].toString(), "x' OR 1=1 --");
    EXPECT_EQ(f.params[1].toString(), "*ros*");
}

TEST_F(FilterExpressionTest, BindsTypedValues)
{
    const SqlFragment f = compileFilter("Id=3 OR Importo=12.50 OR DataScadenza=8/12/2014 OR Esito=True", resolve);
    ASSERT_EQ(f.params.size(), 4);
    EXPECT_EQ(f.params[0].typeId(), QMetaType::LongLong);
    EXPECT_EQ(f.params[0].toLongLong(), 3);
    EXPECT_EQ(f.params[1].typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(f.params[1].toDouble(), 12.5);
    EXPECT_EQ(f.params[2].toString(), "2014-12-08");
    EXPECT_EQ(f.params[3].toLongLong(), 1);
    // A disjunction comes bracketed, so that it can be joined to further conditions.
    EXPECT_TRUE(f.sql.startsWith('(') && f.sql.endsWith(')')) << f.sql.toStdString();
}

TEST_F(FilterExpressionTest, ANameWithAQuoteIsQuotedSafely)
{
    const FieldResolver odd = [](const QString&) { return QString("Strano\"Nome"); };
    EXPECT_EQ(compileFilter("x = 1", odd).sql, "\"Strano\"\"Nome\" = ?");
}

TEST_F(FilterExpressionTest, RejectsMalformedFiltersNamingTheText)
{
    struct Bad {
        const char* filter;
        const char* message;
    };
    const Bad cases[] = {
        {"Nome='abc", "Virgolette non chiuse: 'abc"},
        {"Nome=\"abc", "Virgolette non chiuse: \"abc"},
        {"Nome='D''Angelo", "Virgolette non chiuse: 'D''Angelo"},
        {"(Id=1", "Parentesi non chiusa: (Id=1"},
        {"((Id=1) OR Id=2", "Parentesi non chiusa: ((Id=1) OR Id=2"},
        {"Id=1)", "Parentesi chiusa senza apertura: )"},
        {")Id=1", "Parentesi chiusa senza apertura: )Id=1"},
        {"()", "Parentesi vuote: ()"},
        {"Id=1 OR ( )", "Parentesi vuote: ( )"},
        {"Id=", "Valore mancante dopo: Id="},
        {"Id= AND Esito=True", "Valore mancante dopo: Id="},
        {"Nome LIKE", "Valore mancante dopo: Nome LIKE"},
        {"Nome == 'x'", "Operatore sconosciuto: =="},
        {"Nome => 'x'", "Operatore sconosciuto: =>"},
        {"Nome BETWEEN 1", "Operatore sconosciuto: BETWEEN"},
        {"Nome 'x'", "Operatore mancante prima di: 'x'"},
        {"Nome", "Operatore mancante dopo: Nome"},
        {"Nome AND Id=1", "Operatore mancante dopo: Nome"},
        {"=1", "Campo o valore atteso: =1"},
        {"Id=1 AND", "Condizione mancante dopo: AND"},
        {"Id=1 or", "Condizione mancante dopo: or"},
        {"Id=1 AND OR Id=2", "Condizione mancante dopo: AND"},
        {"AND Id=1", "Condizione mancante prima di: AND"},
        {"NOT", "Condizione mancante dopo: NOT"},
        {"Id=1 Id=2", "Testo inatteso: Id=2"},
        {"Id=1 'x'", "Testo inatteso: 'x'"},
        {"(Id=1 Id=2)", "Testo inatteso: Id=2)"},
        {"Xyz=1", "Campo sconosciuto: Xyz"},
        {"Id=1 OR 1=Xyz", "Campo sconosciuto: Xyz"},
        {"[Nome Sbagliato]='a'", "Campo sconosciuto: Nome Sbagliato"},
        {"[Nome='x'", "Parentesi quadra non chiusa: [Nome='x'"},
        {"[]=1", "Nome di campo vuoto: []"},
        {"DataScadenza=31/02/2014", "Data non valida: 31/02/2014"},
        {"DataScadenza=8/12/14", "Data non valida: 8/12/14"},
        {"DataScadenza=12/2014", "Data non valida: 12/2014"},
        {"DataScadenza=1/1/2014/5", "Data non valida: 1/1/2014/5"},
        {"Importo=12.", "Numero non valido: 12."},
        {"Importo=1.2.3", "Numero non valido: 1.2.3"},
        {"Nome=#x#", "Carattere non previsto: #"},
        {"Nome='a' ; DROP TABLE t", "Carattere non previsto: ;"},
        {"Importo < Null", "Null si confronta solo con = o <>: Importo < Null"},
        {"Nome LIKE Null", "Null si confronta solo con = o <>: Nome LIKE Null"},
        {"Nome IS 'x'", "Null atteso dopo IS: IS 'x'"},
    };
    for (const Bad& c : cases) {
        try {
            const SqlFragment f = compileFilter(c.filter, resolve);
            ADD_FAILURE() << "filter accepted: " << c.filter << " -> " << f.sql.toStdString();
        } catch (const StoreError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.message)))
                << "filter: " << c.filter << "\nmessage: " << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.filter)))
                << "the message should quote the whole filter: " << e.message().toStdString();
        }
    }
}

TEST_F(FilterExpressionTest, RefusesNestingDeeperThanTheLimitInsteadOfOverflowing)
{
    auto brackets = [](int depth) { return QString(depth, u'(') + "Id=1" + QString(depth, u')'); };
    auto nots = [](int depth) { return QString("NOT ").repeated(depth) + "Id=1"; };
    // At the limit the filter still works.
    EXPECT_EQ(ids(brackets(kMaxFilterNesting - 1)), std::vector<qint64>({1}));
    EXPECT_EQ(ids(nots(kMaxFilterNesting)), std::vector<qint64>({1}));
    // Fifteen NOT, each with its brackets: an odd number, so the condition is turned round.
    EXPECT_EQ(ids(QString("NOT (").repeated(15) + "Id<>1" + QString(15, u')')),
              std::vector<qint64>({1}));
    // Far past it (deep enough to exhaust the stack of a recursive parser) it is refused.
    for (const QString& deep : {brackets(200000), nots(200000), QString("NOT (").repeated(100000) + "Id=1"}) {
        try {
            compileFilter(deep, resolve);
            ADD_FAILURE() << "accepted";
        } catch (const StoreError& e) {
            EXPECT_TRUE(e.message().startsWith("Filtro troppo annidato: più di 32 livelli")) << e.message().toStdString();
            EXPECT_LT(e.message().size(), 300); // the expression is quoted shortened
        }
    }
}

TEST_F(FilterExpressionTest, ANulInsideAValueIsACharacterLikeAnyOther)
{
    const QString withNul = QString("Ros") + QChar(0) + "si";
    if (db.isServer()) {
        // The server's text holds no NUL: the value is refused whole, never stored cut short.
        EXPECT_THROW(db.exec("INSERT INTO t (Id, Nome, Cognome) VALUES (6, 'nul', ?)", {withNul}), StoreError);
        EXPECT_EQ(ids(""), std::vector<qint64>({1, 2, 3, 4, 5}));
        return;
    }
    db.exec("INSERT INTO t (Id, Nome, Cognome) VALUES (6, 'nul', ?)", {withNul});
    // Before the fix the match stopped at the NUL, so '*si' found nothing.
    EXPECT_EQ(ids("Cognome LIKE '*si'"), std::vector<qint64>({1, 6}));
    EXPECT_EQ(ids("Cognome LIKE 'Ros'"), std::vector<qint64>());
    EXPECT_EQ(ids("Cognome LIKE 'ros?si'"), std::vector<qint64>({6}));
}
