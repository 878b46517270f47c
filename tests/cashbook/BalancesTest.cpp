#include "foundation/Selection.h"
#include "cashbook/Balances.h"
#include "support/Office.h"

#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";
const QString kBeta = "Bet'a - Via Po 2";

class BalancesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addCondominium(kBeta);
        office.addYear(kAlfa, "2014", true);
        office.addYear(kBeta, "2014", true);
    }
    cashbook::Balances choose(const QString& name)
    {
        app::chooseCondominium(office.ws(), name);
        return cashbook::RicalcolaSaldi(office.ws());
    }
    test::Office office;
};

} // namespace

TEST_F(BalancesTest, IncomeByPlace)
{
    office.addIncome(kAlfa, "2014", 1000, "Cassa");
    office.addIncome(kAlfa, "2014", 500, "Conto Corrente");
    office.addIncome(kBeta, "2014", 70, "Cassa");
    const cashbook::Balances b = choose(kAlfa);
    EXPECT_EQ(b.textEntrateC(), "1000.00");
    EXPECT_EQ(b.textEntrateCC(), "500.00");
    EXPECT_EQ(b.textEntrateTOT(), "1500.00");
    EXPECT_EQ(b.textTOT(), "1500.00");
}

TEST_F(BalancesTest, WithholdingPaidFromTheOtherPlace)
{
    office.addExpense(kAlfa, "2014", 1000, 2, 200, 0, "Conto Corrente", "Cassa", true);
    const cashbook::Balances b = choose(kAlfa);
    EXPECT_EQ(b.textUsciteCC(), "802.00");
    EXPECT_EQ(b.textUsciteC(), "200.00");
    EXPECT_EQ(b.textUsciteTOT(), "1002.00");
    EXPECT_EQ(b.textTOTC(), "-200.00");
    EXPECT_EQ(b.textTOTCC(), "-802.00");
    EXPECT_EQ(b.textTOT(), "-1002.00");
}

TEST_F(BalancesTest, InterestOfALateWithholdingIsSpentOnce)
{
    office.addExpense(kAlfa, "2014", 1000, 0, 200, 15, "Conto Corrente", "Cassa", true);
    const cashbook::Balances b = choose(kAlfa);
    EXPECT_EQ(b.textUsciteCC(), "800.00");
    EXPECT_EQ(b.textUsciteC(), "215.00");
    EXPECT_EQ(b.textUsciteTOT(), "1015.00");
    // The register and the per-condominium summary agree.
    EXPECT_EQ(cashbook::bankSummary(office.ws(), {kAlfa}, false), QStringList({kAlfa + "\t-800.00"}));
}

TEST_F(BalancesTest, UnpaidExpenseCountsNowhere)
{
    office.addExpense(kAlfa, "2014", 1000, 2, 200, 0, "Conto Corrente", "Cassa", false);
    const cashbook::Balances b = choose(kAlfa);
    EXPECT_EQ(b.textUsciteTOT(), "0.00");
    EXPECT_EQ(b.textTOT(), "0.00");
}

TEST_F(BalancesTest, TransferMovesMoneyAndKeepsTheTotal)
{
    office.addIncome(kAlfa, "2014", 1000, "Cassa", "Importo iniziale");
    office.addIncome(kAlfa, "2014", -300, "Cassa", "Passaggio su C.C.");
    office.addIncome(kAlfa, "2014", 300, "Conto Corrente", "Passaggio su C.C.");
    const cashbook::Balances b = choose(kAlfa);
    EXPECT_EQ(b.textTOTC(), "700.00");
    EXPECT_EQ(b.textTOTCC(), "300.00");
    EXPECT_EQ(b.textTOT(), "1000.00");
}

TEST_F(BalancesTest, UnusualMethodIsBankHereButIgnoredByTheSummary)
{
    office.addIncome(kAlfa, "2014", 40, "");
    office.addIncome(kAlfa, "2014", 60, "Bonifico");
    const cashbook::Balances b = choose(kAlfa);
    EXPECT_EQ(b.textEntrateCC(), "100.00");
    EXPECT_EQ(cashbook::bankSummary(office.ws(), {kAlfa, kBeta}, false),
              QStringList({kAlfa + "\t0.00", kBeta + "\t0.00"}));
}

TEST_F(BalancesTest, BankSummaryListsNegativeBalancesOnly)
{
    office.addIncome(kAlfa, "2014", 500, "Conto Corrente");
    office.addExpense(kAlfa, "2014", 100, 0, 0, 0, "Conto Corrente", "Conto Corrente", true);
    office.addExpense(kBeta, "2014", 1000, 5, 200, 10, "Conto Corrente", "Conto Corrente", true);
    office.addIncome(kBeta, "2014", 900, "Cassa");
    // Interest on a late withholding is money out too: 1000 + 5 - 200 to the supplier, 200 + 10 to the tax.
    EXPECT_EQ(cashbook::bankSummary(office.ws(), {kAlfa, kBeta}, true), QStringList({kBeta + "\t-1015.00"}));
    EXPECT_EQ(cashbook::bankSummary(office.ws(), {kAlfa, kBeta}, false),
              QStringList({kAlfa + "\t400.00", kBeta + "\t-1015.00"}));
    // All in credit: nothing to report.
    office.addIncome(kBeta, "2014", 2000, "Conto Corrente");
    EXPECT_TRUE(cashbook::bankSummary(office.ws(), {kAlfa, kBeta}, true).isEmpty());
}

TEST_F(BalancesTest, EmptyRegistersAndOtherYears)
{
    office.addYear(kAlfa, "2013", false);
    office.addIncome(kAlfa, "2013", 999, "Cassa");
    const cashbook::Balances b = choose(kAlfa);
    EXPECT_EQ(b.textEntrateTOT(), "0.00");
    EXPECT_EQ(b.textTOT(), "0.00");
}
