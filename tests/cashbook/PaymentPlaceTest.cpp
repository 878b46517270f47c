// "Cassa" and "Visualizza solo movimenti in C.C.": the registers show one payment place, of the
// chosen condominium or of all, and the balances follow.
#include "foundation/Selection.h"
#include "cashbook/Balances.h"
#include "cashbook/PaymentPlace.h"
#include "support/Office.h"

#include <gtest/gtest.h>

using namespace velcaris;

namespace {
const QString kAquila = "L'Aquila - Via dell'Orso 3";
const QString kBeta = "Beta - Via Po 2";
} // namespace

TEST(PaymentPlace, FiltersNameThePlaceAndTheCondominium)
{
    EXPECT_EQ(cashbook::expensesAtPlaceFilter(kAquila, "Cassa"),
              "Condominio='L''Aquila - Via dell''Orso 3' AND Pagamento='Cassa'");
    EXPECT_EQ(cashbook::incomeAtPlaceFilter(QString(), "Conto Corrente"), "MetodoPagamento='Conto Corrente'");
}

TEST(PaymentPlace, OnlyThePlaceIsShownAndCounted)
{
    test::Office office;
    for (const QString& name : {kAquila, kBeta}) {
        office.addCondominium(name);
        office.addYear(name, "2014", true);
        office.addIncome(name, "2014", 100, "Cassa");
        office.addIncome(name, "2014", 30, "Conto Corrente");
        office.addExpense(name, "2014", 20, 0, 0, 0, "Cassa", "Cassa", true);
        office.addExpense(name, "2014", 5, 0, 0, 0, "Conto Corrente", "Conto Corrente", true);
    }
    app::Workspace& ws = office.ws();
    app::chooseCondominium(ws, kAquila);
    cashbook::showOnlyPlace(ws, cashbook::kPlaceCassa);
    cashbook::Balances b = cashbook::RicalcolaSaldi(ws);
    EXPECT_EQ(ws.ds("ADOQueryEntrate").rowCount(), 1);
    EXPECT_EQ(b.textEntrateTOT(), "100.00");
    EXPECT_EQ(b.textUsciteTOT(), "20.00");
    EXPECT_EQ(b.textEntrateCC(), "0.00");

    app::clearCondominium(ws, QString());
    cashbook::showOnlyPlace(ws, cashbook::kPlaceContoCorrente);
    b = cashbook::RicalcolaSaldi(ws);
    EXPECT_EQ(ws.ds("ADOQueryEntrate").rowCount(), 2);
    EXPECT_EQ(b.textEntrateCC(), "60.00");
    EXPECT_EQ(b.textUsciteCC(), "10.00");
    EXPECT_EQ(b.textEntrateC(), "0.00");
}
