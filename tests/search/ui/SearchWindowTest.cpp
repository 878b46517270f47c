#include "dialogkit/Messages.h"
#include "search/ui/SearchDialogs.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = QStringLiteral("Alfa - Via dell'Orso 3");

class SearchWindow : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        openWindow({search::ui::installDialogs});
        store::Database& db = form->workspace().mainDb();
        db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES (?, '2014', 1)", {kAlfa});
        for (const char* surname : {"D'Angelo", "Rossi", "Bianchi"}) {
            db.exec("INSERT INTO Anagrafe (idCondominio, Cognome) VALUES (?, ?)", {kAlfa, QString::fromUtf8(surname)});
            db.exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, IdPersona, Nome, Importo, MetodoPagamento) "
                    "VALUES (?, '2014', '2014-02-01', 'Quota', ?, 'Rata 1', 10, 'Cassa')",
                    {kAlfa, db.lastInsertId()});
        }
        addCondominium(kAlfa);
        showWindow(kAlfa);
    }
    QDialog* searchWindow() { return form->findChild<QDialog*>("FormRicerca"); }
    // The "Ricerca" button's menu, then one of its items.
    void choose(const char* item)
    {
        QTest::mouseClick(form->findChild<QPushButton*>("BitBtnRicerca"), Qt::LeftButton);
        auto* menu = form->findChild<QMenu*>("PopupMenu");
        ASSERT_TRUE(menu->isVisible());
        menu->findChild<QAction*>(item)->trigger();
        menu->hide();
    }
    // The filter runs once the typed keys have been read.
    int rows(const char* grid)
    {
        QCoreApplication::processEvents();
        return form->findChild<QTableView*>(grid)->model()->rowCount();
    }
    QString figure(const char* name) { return form->findChild<QLineEdit*>(name)->text(); }
};

} // namespace

TEST_F(SearchWindow, TheIncomeRegisterAndItsTotalsFollowEachKeyAndConfermaKeepsTheFilter)
{
    showTab(app::Tab::Entrate);
    ASSERT_EQ(rows("DBGridEntrate"), 3);
    EXPECT_EQ(figure("EditEntrateC"), "30.00");
    choose("Cercapersone1");
    QDialog* w = searchWindow();
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Ricerca");
    EXPECT_EQ(w->findChild<QLabel*>("testo")->text(), "Digita il nome");
    auto* edit = w->findChild<QLineEdit*>("Edit");
    QTest::keyClicks(edit, "d'");
    EXPECT_EQ(rows("DBGridEntrate"), 1) << "d and ' typed together: one filter";
    EXPECT_EQ(figure("EditEntrateC"), "10.00");
    EXPECT_EQ(figure("EditTOTC"), "10.00");
    test::keepScreenshot(*w, "search-window");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(rows("DBGridEntrate"), 1) << "d alone";
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(rows("DBGridEntrate"), 3) << "an empty text gives the whole register back";
    QTest::keyClicks(edit, "*");
    EXPECT_EQ(rows("DBGridEntrate"), 0) << "a typed * is a character, not a wildcard";
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "ROSS");
    // Conferma right after the keys: the latest text is applied before the window closes.
    QTest::mouseClick(w->findChild<QPushButton*>("BtnConferma"), Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(rows("DBGridEntrate"), 1) << "Conferma leaves the register filtered";
    EXPECT_EQ(figure("EditEntrateC"), "10.00");
    EXPECT_TRUE(app::takeMessages().isEmpty());
}

TEST_F(SearchWindow, ClosingWithoutConfermaRestoresTheRegister)
{
    showTab(app::Tab::Anagrafe);
    choose("Cercanota1");
    QDialog* w = searchWindow();
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->findChild<QLabel*>("testo")->text(), "Digita la nota");
    QTest::keyClicks(w->findChild<QLineEdit*>("Edit"), "niente");
    EXPECT_EQ(rows("DBGridAnagrafe"), 0);
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(rows("DBGridAnagrafe"), 3);
}

TEST_F(SearchWindow, TheMenuDoesNothingWhereItsSearchDoesNotApply)
{
    showTab(app::Tab::Quote);
    choose("Cercapersone1");
    EXPECT_FALSE(searchWindow()->isVisible());
    showTab(app::Tab::Anagrafe);
    choose("Cercaquota1");
    EXPECT_FALSE(searchWindow()->isVisible());
    showTab(app::Tab::Uscite);
    choose("Cercaquota1");
    ASSERT_TRUE(searchWindow()->isVisible());
    EXPECT_EQ(searchWindow()->findChild<QLabel*>("testo")->text(), "Digita il nome della quota\\causale");
}
