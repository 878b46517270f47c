#include "foundation/Selection.h"
#include "support/Office.h"

#include <gtest/gtest.h>

using namespace velcaris;
using app::Workspace;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";
const QString kApostrophe = "L'Aquila - Via dell'Orso 3";

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addCondominium(kApostrophe);
        y2013 = office.addYear(kAlfa, "2013", false);
        y2014 = office.addYear(kAlfa, "2014", true);
        office.addYear(kApostrophe, "2014", true);
        office.addIncome(kAlfa, "2014", 10, "Cassa");
        office.addIncome(kAlfa, "2013", 20, "Cassa");
        office.addIncome(kApostrophe, "2014", 30, "Cassa");
        office.db().exec("INSERT INTO Uscite (Condominio, AA, ImportoLordo, pagato) VALUES (?, '2013', 5, 1)", {kAlfa});
        office.db().exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) "
                         "VALUES (?, '2013', 'A', 'Pulizia', 100), (?, '2014', 'A', 'Luce', 50)",
                         {kAlfa, kAlfa});
    }
    Workspace& ws() { return office.ws(); }
    int rows(const char* dataset) { return ws().ds(dataset).rowCount(); }

    test::Office office;
    qint64 y2013 = 0, y2014 = 0;
};

} // namespace

TEST(SelectionHelpers, SplitAndDateWithDots)
{
    app::Selection s;
    app::SplitCondominiumName(s, "Alfa - Via Roma 1");
    EXPECT_EQ(s.shortName, "Alfa");
    EXPECT_EQ(s.address, "Via Roma 1");
    // No dash: the previous parts stay.
    app::SplitCondominiumName(s, "Senza trattino");
    EXPECT_EQ(s.shortName, "Alfa");
    EXPECT_EQ(s.address, "Via Roma 1");
    app::SplitCondominiumName(s, "L'Aquila - Via dell'Orso - 3");
    EXPECT_EQ(s.shortName, "L'Aquila");
    EXPECT_EQ(s.address, "Via dell'Orso - 3");
    app::SplitCondominiumName(s, "- Via Po");
    EXPECT_EQ(s.shortName, "");
    EXPECT_EQ(s.address, "Via Po");
    EXPECT_EQ(app::DateWithDots("08/12/2014"), "08.12.2014");
}

TEST_F(SelectionTest, ChoosingFiltersTheRegistersAndSetsTheCaption)
{
    const app::SelectionView view = app::chooseCondominium(ws(), kAlfa);
    EXPECT_EQ(view.caption, "Velcaris 2014 - Alfa - Via Roma 1 - A.A. 2014");
    EXPECT_EQ(app::currentYearName(ws()), "2014");
    EXPECT_TRUE(view.yearSelectorEnabled);
    EXPECT_EQ(rows("ADOQueryEntrate"), 1);
    EXPECT_EQ(rows("ADOTableCondomini"), 1);
    EXPECT_EQ(ws().ds("ADOTableCondomini").value("Nome").toString(), kAlfa);

    // Choosing the same one again changes nothing.
    EXPECT_EQ(app::chooseCondominium(ws(), kAlfa).caption, view.caption);
    EXPECT_EQ(rows("ADOQueryEntrate"), 1);
}

TEST_F(SelectionTest, ApostropheInTheNameFiltersCorrectly)
{
    const app::SelectionView view = app::chooseCondominium(ws(), kApostrophe);
    EXPECT_EQ(view.caption, "Velcaris 2014 - L'Aquila - Via dell'Orso 3 - A.A. 2014");
    ASSERT_EQ(rows("ADOQueryEntrate"), 1);
    EXPECT_DOUBLE_EQ(ws().ds("ADOQueryEntrate").value("Importo").toDouble(), 30);
    EXPECT_EQ(ws().ds("ADOTableCondomini").value("Nome").toString(), kApostrophe);
}

TEST_F(SelectionTest, ClearingShowsEveryCondominium)
{
    app::chooseCondominium(ws(), kAlfa);
    const app::SelectionView view = app::clearCondominium(ws(), "note");
    EXPECT_EQ(view.caption, "Velcaris 2014");
    EXPECT_FALSE(view.yearSelectorEnabled);
    EXPECT_TRUE(view.memoHighlighted);
    EXPECT_TRUE(ws().selection.condominium.isEmpty());
    EXPECT_EQ(rows("ADOQueryEntrate"), 2); // the current years of both condominiums
    EXPECT_EQ(rows("ADOTableCondomini"), 2);
    EXPECT_FALSE(app::clearCondominium(ws(), "").memoHighlighted);
}

TEST_F(SelectionTest, ChangingTheYearMovesTheFlagAndTheRowsFollow)
{
    app::chooseCondominium(ws(), kAlfa);
    ws().selection.selectedYearName = "2014";
    EXPECT_EQ(app::changeYear(ws(), "2013"), "Velcaris 2014 - Alfa - Via Roma 1 - A.A. 2013");
    EXPECT_EQ(office.db().scalar("SELECT nome FROM AnnoAmministrativo WHERE corrente = 1 AND idCondominio = ?", {kAlfa}),
              QVariant("2013"));
    EXPECT_EQ(office.db().scalar("SELECT count(*) FROM AnnoAmministrativo WHERE corrente = 1").toInt(), 2);
    ASSERT_EQ(rows("ADOQueryEntrate"), 1);
    EXPECT_DOUBLE_EQ(ws().ds("ADOQueryEntrate").value("Importo").toDouble(), 20);
    EXPECT_EQ(rows("ADOQueryUscite"), 1);
    ws().ds("ADOQueryPreventivi").setFilter("Condominio='Alfa - Via Roma 1'");
    ASSERT_EQ(rows("ADOQueryPreventivi"), 1);
    EXPECT_EQ(ws().ds("ADOQueryPreventivi").value("DescrizioneVoceSpesa").toString(), "Pulizia");
    EXPECT_EQ(ws().selection.selectedYearName, "2013");

    // Choosing the year already shown keeps everything as it is.
    app::changeYear(ws(), "2013");
    EXPECT_EQ(office.db().scalar("SELECT nome FROM AnnoAmministrativo WHERE corrente = 1 AND idCondominio = ?", {kAlfa}),
              QVariant("2013"));
}

TEST_F(SelectionTest, CondominiumWithoutYears)
{
    office.addCondominium("Nuovo - Via Nuova 9");
    const app::SelectionView view = app::chooseCondominium(ws(), "Nuovo - Via Nuova 9");
    EXPECT_EQ(view.caption, "Velcaris 2014 - Nuovo - Via Nuova 9 - A.A. ");
    EXPECT_FALSE(app::locateCurrentYear(ws()));
    EXPECT_FALSE(app::RequireYear(ws()));
    app::chooseCondominium(ws(), kAlfa);
    EXPECT_TRUE(app::RequireYear(ws()));
    EXPECT_EQ(ws().ds("ADOTableAA").value("idCondominio").toString(), kAlfa);
}

TEST_F(SelectionTest, MemosAreStoredAtOnce)
{
    app::chooseCondominium(ws(), kAlfa);
    EXPECT_TRUE(app::storeCondominiumMemo(ws(), "  Citofono guasto \n"));
    EXPECT_EQ(office.db().scalar("SELECT Memo FROM Condomini WHERE Nome = ?", {kAlfa}), QVariant("Citofono guasto"));
    EXPECT_TRUE(app::chooseCondominium(ws(), kAlfa).memoHighlighted);
    // All blanks: stored empty, no highlight.
    EXPECT_FALSE(app::storeCondominiumMemo(ws(), "   \t "));
    EXPECT_EQ(office.db().scalar("SELECT Memo FROM Condomini WHERE Nome = ?", {kAlfa}), QVariant(""));

    EXPECT_TRUE(app::storeGeneralMemo(ws(), " Riunione "));
    EXPECT_EQ(office.db().scalar("SELECT Memo FROM MemoGenerale"), QVariant(" Riunione "));
    EXPECT_FALSE(app::storeGeneralMemo(ws(), ""));
}
