#include "cashbook/ExpenseSplit.h"
#include "cashbook/Expenses.h"
#include "support/Office.h"
#include "support/RefusedWrites.h"

#include <gtest/gtest.h>

using namespace velcaris;
using cashbook::SplitLine;
using store::Money;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";

QVector<SplitLine> lines(const QStringList& percentages)
{
    QVector<SplitLine> out;
    for (int i = 0; i < percentages.size(); ++i)
        out.push_back({QString("Voce %1").arg(i + 1), QString(QChar('A' + i)), percentages[i]});
    return out;
}

std::int64_t sum(const QVector<Money>& shares)
{
    std::int64_t cents = 0;
    for (Money m : shares)
        cents += m.cents();
    return cents;
}

class SplitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addYear(kAlfa, "2014", true);
        office.addYear(kAlfa, "2013", false);
    }
    cashbook::ExpenseInput expense(const QString& gross, const QString& commission)
    {
        cashbook::ExpenseInput in;
        in.condominio = kAlfa;
        in.aa = "2014";
        in.fornitore = 1;
        in.causale = "Manutenzione";
        in.importoLordo = gross;
        in.imponibileIVA = "0.00";
        in.commissione = commission;
        in.pagamento = "Cassa";
        in.tipologia = "Spese ordinarie";
        in.metodoRitenuta = "Conto Corrente";
        in.importoNetto = in.ritenuteOperate = in.interessi = "0.00";
        return in;
    }
    QVariant value(const QString& sql) { return office.db().scalar(sql); }
    test::Office office;
};

} // namespace

TEST(SplitPercentages, OnlyAnExactHundredIsAccepted)
{
    EXPECT_TRUE(cashbook::checkSplit(lines({"60", "40"})).done);
    EXPECT_TRUE(cashbook::checkSplit(lines({"33.33", "33.33", "33.34"})).done);
    EXPECT_TRUE(cashbook::checkSplit(lines({"0.1", "0.2", "99.7"})).done);
    EXPECT_TRUE(cashbook::checkSplit(lines({"100", "", " "})).done) << "empty lines are not concerned";
    EXPECT_TRUE(cashbook::checkSplit(lines({"150", "-50"})).done);
    EXPECT_EQ(cashbook::checkSplit(lines({"50", "49.99"})).texts(), QStringList{cashbook::kSplitSumMessage});
    EXPECT_EQ(cashbook::checkSplit(lines({"", ""})).texts(), QStringList{cashbook::kSplitSumMessage});
    EXPECT_EQ(cashbook::checkSplit({}).texts(), QStringList{cashbook::kSplitSumMessage});
    const app::Outcome comma = cashbook::checkSplit(lines({"50,5", "49.5"}));
    EXPECT_FALSE(comma.done);
    EXPECT_TRUE(comma.texts()[0].startsWith("\"50,5\" non è una percentuale valida"));
}

TEST(SplitPercentages, SharesAddUpToTheWholeToTheCent)
{
    const Money hundred = Money::fromCents(10000);
    EXPECT_EQ(cashbook::splitShares(hundred, {33, 33, 34}),
              QVector<Money>({Money::fromCents(3300), Money::fromCents(3300), Money::fromCents(3400)}));
    const double third = 100.0 / 3;
    const QVector<Money> thirds = cashbook::splitShares(hundred, {third, third, third});
    EXPECT_EQ(thirds, QVector<Money>({Money::fromCents(3333), Money::fromCents(3333), Money::fromCents(3334)}));
    for (std::int64_t cents : {1, 2, 99, 100001, 123457, -1001}) {
        const Money whole = Money::fromCents(cents);
        EXPECT_EQ(sum(cashbook::splitShares(whole, {third, third, third})), cents);
        EXPECT_EQ(sum(cashbook::splitShares(whole, {14.29, 14.29, 14.28, 14.28, 14.29, 14.29, 14.28})), cents);
    }
    EXPECT_EQ(cashbook::splitShares(Money::fromCents(0), {50, 50}), QVector<Money>({Money(), Money()}));
}

TEST_F(SplitTest, TheItemsOfTheCurrentYearByTableAndKey)
{
    office.db().exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa) VALUES "
                     "(?, '2014', 'B', 'Scala B'), (?, '2014', 'A', 'Ascensore'), (?, '2013', 'A', 'Vecchia'), "
                     "(?, '2014', 'A', 'Androne')",
                     {kAlfa, kAlfa, kAlfa, kAlfa});
    const QVector<SplitLine> got = cashbook::splitLines(office.ws(), kAlfa);
    ASSERT_EQ(got.size(), 3);
    EXPECT_EQ(got[0].descrizione, "Ascensore");
    EXPECT_EQ(got[1].descrizione, "Androne");
    EXPECT_EQ(got[2].descrizione, "Scala B");
    EXPECT_TRUE(got[2].percentuale.isEmpty());
}

TEST_F(SplitTest, SixtyFortyWithCommissionAndWithholding)
{
    cashbook::ExpenseInput in = expense("1000.00", "5.00");
    in.ritenuta = true;
    in.importoNetto = "800.00";
    in.ritenuteOperate = "200.00";
    in.codTributo = "1040";
    const app::Outcome out = cashbook::addExpense(office.ws(), in, lines({"60", "", "40"}));
    ASSERT_TRUE(out.done) << out.texts().join('|').toStdString();
    EXPECT_EQ(test::joinedRows(office.db(), "SELECT Tabella, ImportoLordo, Commissione FROM Uscite ORDER BY id"),
              "A:403.0:3.0 C:402.0:2.0");
    EXPECT_EQ(test::joinedRows(office.db(), "SELECT CodTributo, RitenuteOperate FROM Uscite ORDER BY id", {}, ":", " ", "-"),
              "1040:200.0 -:-");
    EXPECT_EQ(*out.newKey, value("SELECT MIN(id) FROM Uscite").toLongLong());
    // The invoice amounts add up to the whole invoice.
    EXPECT_DOUBLE_EQ(value("SELECT SUM(ImportoFattura) FROM QueryUsciteAC").toDouble(), 1000.0);
}

TEST_F(SplitTest, ThirdsAddUpToTheCentAndAZeroPercentWritesAZeroRow)
{
    ASSERT_TRUE(cashbook::addExpense(office.ws(), expense("100.00", "0.00"),
                                     lines({"33.333333", "33.333333", "33.333334", "0"}))
                    .done);
    EXPECT_EQ(test::joinedRows(office.db(), "SELECT ImportoLordo FROM Uscite ORDER BY id"),
              "33.33 33.33 33.34 0.0");
}

TEST_F(SplitTest, ASplitIsWrittenWholeOrNotAtAll)
{
    // The engine refuses the third row: the two before it must not stay.
    test::refuseWrites(office.db(), "Uscite", "INSERT", "disco pieno", "NEW.Tabella = 'C'");
    const app::Outcome out = cashbook::addExpense(office.ws(), expense("90.00", "0.00"), lines({"30", "30", "40"}));
    EXPECT_FALSE(out.done);
    EXPECT_EQ(value("SELECT COUNT(*) FROM Uscite").toInt(), 0);
    // A sum other than 100 writes nothing either.
    EXPECT_EQ(cashbook::addExpense(office.ws(), expense("90.00", "0.00"), lines({"30", "30"})).texts(),
              QStringList{cashbook::kSplitSumMessage});
}

TEST(SplitPercentages, AZeroLastLineTakesNoRemainder)
{
    const double third = 100.0 / 3;
    EXPECT_EQ(cashbook::splitShares(Money::fromCents(10000), {third, third, third, 0}),
              QVector<Money>({Money::fromCents(3333), Money::fromCents(3333), Money::fromCents(3334), Money()}));
    EXPECT_EQ(cashbook::splitShares(Money::fromCents(500), {100, 0, 0}),
              QVector<Money>({Money::fromCents(500), Money(), Money()}));
}
