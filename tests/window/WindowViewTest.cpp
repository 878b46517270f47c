// The window's one trip: what a click in the list, the right button, the year selector and the
// refresh after a dialog give back, and that the caption always carries the current year.
#include "window/WindowView.h"
#include "registry/AdministrativeYears.h"
#include "registry/Condominiums.h"
#include "support/Office.h"

#include <gtest/gtest.h>

using namespace velcaris;
using app::SelectionChange;
using app::Tab;
using app::WindowRequest;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";
const QString kBeta = "Beta - Via Po 2";

class WindowTrip : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addCondominium(kBeta);
        office.addYear(kAlfa, "2013", false);
        office.addYear(kAlfa, "2014", true);
        office.addYear(kBeta, "2020", true);
        office.addIncome(kAlfa, "2014", 100, "Cassa");
        office.addIncome(kAlfa, "2014", 40, "Conto Corrente");
        office.addIncome(kAlfa, "2013", 7, "Cassa");
        office.addIncome(kBeta, "2020", 1000, "Cassa");
    }
    app::WindowView trip(SelectionChange change, const QString& name = {}, Tab tab = Tab::Entrate,
                         const QString& year = {})
    {
        WindowRequest r;
        r.change = change;
        r.condominium = name;
        r.yearName = year;
        r.tab = tab;
        return app::refreshWindow(office.ws(), r);
    }
    test::Office office;
};

} // namespace

TEST_F(WindowTrip, ChoosingGivesTheWholeViewAtOnce)
{
    office.db().exec("UPDATE Condomini SET Memo = 'citofono guasto' WHERE Nome = ?", {kAlfa});
    const app::WindowView v = trip(SelectionChange::Choose, kAlfa);
    EXPECT_EQ(v.caption, "Velcaris 2014 - Alfa - Via Roma 1 - A.A. 2014");
    EXPECT_EQ(v.condominium, kAlfa);
    EXPECT_EQ(v.shortName, "Alfa");
    EXPECT_EQ(v.address, "Via Roma 1");
    EXPECT_TRUE(v.yearSelectorEnabled);
    EXPECT_EQ(v.condominiumMemo, std::optional<QString>("citofono guasto"));
    EXPECT_EQ(v.memoHighlighted, std::optional<bool>(true));
    // The balances are the chosen condominium's current year only.
    EXPECT_EQ(v.balances.textEntrateC(), "100.00");
    EXPECT_EQ(v.balances.textEntrateCC(), "40.00");
    EXPECT_EQ(v.balances.textTOT(), "140.00");
}

TEST_F(WindowTrip, ClearingShowsEveryCondominiumAndTheGeneralMemo)
{
    trip(SelectionChange::Choose, kAlfa);
    office.ws().ds("ADOTableMemo").append();
    office.ws().ds("ADOTableMemo").setValue("Memo", "note generali");
    office.ws().ds("ADOTableMemo").post();
    const app::WindowView v = trip(SelectionChange::Clear);
    EXPECT_EQ(v.caption, "Velcaris 2014");
    EXPECT_TRUE(v.condominium.isEmpty());
    EXPECT_FALSE(v.yearSelectorEnabled);
    EXPECT_FALSE(v.condominiumMemo.has_value());
    EXPECT_EQ(v.memoHighlighted, std::optional<bool>(true));
    EXPECT_EQ(v.balances.textEntrateC(), "1100.00"); // both condominiums' current years
}

TEST_F(WindowTrip, ChangingTheYearMovesTheCaptionTheRowsAndTheBalances)
{
    trip(SelectionChange::Choose, kAlfa, Tab::Condomini);
    const app::WindowView v = trip(SelectionChange::ChangeYear, {}, Tab::Condomini, "2013");
    EXPECT_EQ(v.caption, "Velcaris 2014 - Alfa - Via Roma 1 - A.A. 2013");
    EXPECT_EQ(v.balances.textEntrateTOT(), "7.00");
    EXPECT_TRUE(v.tab.yearBound);
    ASSERT_EQ(v.tab.years.size(), 2);
    const auto current = std::find_if(v.tab.years.begin(), v.tab.years.end(),
                                      [&](const auto& y) { return y.first == v.tab.currentYearId; });
    ASSERT_NE(current, v.tab.years.end());
    EXPECT_EQ(current->second, "2013");
    // A change of year with no condominium chosen changes nothing.
    trip(SelectionChange::Clear);
    EXPECT_EQ(trip(SelectionChange::ChangeYear, {}, Tab::Entrate, "2014").caption, "Velcaris 2014");
    EXPECT_EQ(office.db().scalar("SELECT nome FROM AnnoAmministrativo WHERE corrente = 1 AND idCondominio = ?", {kAlfa}),
              QVariant("2013"));
}

TEST_F(WindowTrip, RefreshAfterARenameKeepsTheYearInTheCaption)
{
    // The Condomini tab filters the years to the condominium shown; a rename must not leave the
    // caption reading the old name's rows.
    trip(SelectionChange::Choose, kAlfa, Tab::Condomini);
    office.ws().editMode = app::EditMode::Modify;
    registry::CondominiumInput in;
    ASSERT_TRUE(registry::loadCondominium(office.ws(), kAlfa, in));
    in.nome = "Gamma";
    ASSERT_TRUE(registry::modifyCondominium(office.ws(), in).done);
    for (Tab tab : {Tab::Condomini, Tab::Entrate, Tab::Quote}) {
        const app::WindowView v = trip(SelectionChange::Refresh, {}, tab);
        EXPECT_EQ(v.caption, "Velcaris 2014 - Gamma - Via Roma 1 - A.A. 2014") << int(tab);
        EXPECT_EQ(v.shortName, "Gamma");
        EXPECT_EQ(v.balances.textEntrateTOT(), "140.00");
    }
}

TEST_F(WindowTrip, ANewYearIsInTheCaptionOfTheRefresh)
{
    office.addCondominium("Nuovo - Via Nuova 9");
    EXPECT_EQ(trip(SelectionChange::Choose, "Nuovo - Via Nuova 9", Tab::Condomini).caption,
              "Velcaris 2014 - Nuovo - Via Nuova 9 - A.A. ");
    registry::YearInput year;
    year.name = "2025";
    year.start = QDate(2025, 1, 1);
    year.end = QDate(2025, 12, 31);
    ASSERT_TRUE(registry::addYear(office.ws(), year).done);
    const app::WindowView v = trip(SelectionChange::Refresh, {}, Tab::Condomini);
    EXPECT_EQ(v.caption, "Velcaris 2014 - Nuovo - Via Nuova 9 - A.A. 2025");
    EXPECT_TRUE(v.tab.yearBound);
}

TEST_F(WindowTrip, ARefreshWithNothingChosenStaysWithoutACondominium)
{
    const app::WindowView v = trip(SelectionChange::Refresh);
    EXPECT_EQ(v.caption, "Velcaris 2014");
    EXPECT_FALSE(v.yearSelectorEnabled);
    EXPECT_FALSE(v.condominiumMemo.has_value());
}
