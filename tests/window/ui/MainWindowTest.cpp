#include "window/ui/TForm1.h"
#include "window/ui/Tsplash.h"
#include "support/Screenshot.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTableView>
#include <gtest/gtest.h>

using namespace velcaris;
using velcaris::test::keepScreenshot;
using velcaris::test::TempDir;

namespace {

} // namespace

TEST(MainWindow, StartsOnAnEmptyFolderWithTheTwelveTabs)
{
    TempDir dir;
    app::TForm1::setShowErrors(false);
    int steps = 0;
    app::TForm1 form(app::AppPaths(dir.path()), [&] { ++steps; });
    EXPECT_EQ(form.startUpError(), QString());
    EXPECT_EQ(steps, 12);
    for (const char* file : {"Database/Condomini.db", "Database/WebDB.db", "Database/FAQ.db"})
        EXPECT_TRUE(QFile::exists(dir.file(file))) << file;
    EXPECT_EQ(form.windowTitle(), "Velcaris 2014");
    // The status bar says which office this is.
    auto* office = form.findChild<QLabel*>("LabelCartellaDati");
    ASSERT_NE(office, nullptr);
    EXPECT_EQ(office->text(), "Cartella dei dati: " + QDir::toNativeSeparators(QDir::cleanPath(dir.path())));

    auto* tabs = form.findChild<QTabWidget*>("PageControl1");
    ASSERT_NE(tabs, nullptr);
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i)
        captions << tabs->tabText(i);
    EXPECT_EQ(captions, QStringList({"Agenda", "Interventi", "Condomini", "Memo", "Preventivo", "Entrate", "Uscite",
                                     "Fornitori", "Anagrafe", "Locali", "Quote", "Stampe"}));
    EXPECT_EQ(tabs->currentWidget()->objectName(), "TabAgenda");
    EXPECT_FALSE(form.isMemoHighlighted());
    for (const char* grid : {"DBGridScadenzario", "DBGridInterventi", "DBGridEntrate", "DBGridUscite", "DBGridPreventivi",
                             "DBGridTabelle", "DBGridAnagrafe", "DBGridFornitori", "DBGridLocali",
                             "DBGridQuoteSingole", "DBGridQuoteAccorpate"})
        EXPECT_NE(form.findChild<QTableView*>(grid), nullptr) << grid;
    for (const char* edit : {"EditTOTC", "EditTOTCC", "EditTOT"}) {
        auto* e = form.findChild<QLineEdit*>(edit);
        ASSERT_NE(e, nullptr) << edit;
        EXPECT_EQ(e->text(), "0.00");
        EXPECT_TRUE(e->isReadOnly());
    }
    form.resize(1280, 800);
    form.show();
    // A newcomer sees where the list is and what to press first.
    auto* title = form.findChild<QLabel*>("LabelCondomini");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), "Condomini");
    EXPECT_EQ(title->buddy(), form.findChild<QListWidget*>("ListBox1"));
    EXPECT_TRUE(title->isVisible());
    auto* hint = form.findChild<QLabel*>("LabelPrimoAvvio");
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().contains("\"Aggiungi\""));
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        EXPECT_TRUE(hint->isVisible()) << i;
    }
    keepScreenshot(form, "main-window-empty");
}

TEST(MainWindow, ListsTheCondominiumsSortedAndHighlightsANonEmptyMemo)
{
    TempDir dir;
    {
        app::Workspace ws{app::AppPaths(dir.path())};
        ASSERT_EQ(ws.startUp(), QString());
        ws.mainDb().exec("INSERT INTO Condomini (Nome) VALUES ('Zeta - Via Po 1'), ('alfa - Via Roma 2'), "
                         "('Beta - Corso Italia 5')");
        ws.mainDb().exec("UPDATE MemoGenerale SET Memo = 'Chiamare il geometra'");
        ws.mainDb().exec("INSERT INTO Entrate (Condominio, AA, Importo, MetodoPagamento, TipoMovimento) "
                         "VALUES ('Zeta - Via Po 1', '2014', 100, 'Cassa', 'Entrata')");
        ws.mainDb().exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES ('Zeta - Via Po 1', '2014', 1)");
    }
    app::TForm1::setShowErrors(false);
    app::TForm1 form{app::AppPaths(dir.path())};
    auto* list = form.findChild<QListWidget*>("ListBox1");
    ASSERT_NE(list, nullptr);
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    EXPECT_EQ(names, QStringList({"alfa - Via Roma 2", "Beta - Corso Italia 5", "Zeta - Via Po 1"}));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_TRUE(form.isMemoHighlighted());
    EXPECT_EQ(form.findChild<QPlainTextEdit*>("DBMemo1")->toPlainText(), "Chiamare il geometra");
    EXPECT_EQ(form.findChild<QLineEdit*>("EditTOTC")->text(), "100.00");
    EXPECT_EQ(form.findChild<QLineEdit*>("EditEntrateTOT")->text(), "100.00");
    form.resize(1280, 800);
    form.show();
    EXPECT_FALSE(form.findChild<QLabel*>("LabelPrimoAvvio")->isVisible());
    keepScreenshot(form, "main-window-list");
}

TEST(MainWindow, AFailingPostOnMovingInAGridIsShownNotThrown)
{
    TempDir dir;
    {
        app::Workspace ws{app::AppPaths(dir.path())};
        ASSERT_EQ(ws.startUp(), QString());
        ws.mainDb().exec("INSERT INTO Scadenzario (Condominio, Soggetto, Esito) VALUES ('A - Via Uno 1', 'Primo', 0), "
                         "('A - Via Uno 1', 'Secondo', 0)");
        ws.mainDb().exec("CREATE TRIGGER refuse BEFORE UPDATE ON Scadenzario BEGIN "
                         "SELECT RAISE(ABORT, 'scrittura rifiutata'); END");
    }
    app::TForm1::setShowErrors(false);
    app::TForm1 form{app::AppPaths(dir.path())};
    ASSERT_EQ(form.startUpError(), QString());
    auto* grid = form.findChild<QTableView*>("DBGridScadenzario");
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->model()->rowCount(), 2);
    store::Dataset& deadlines = form.workspace().ds("ADOTableScadenzario");
    deadlines.first();
    deadlines.setValue("Soggetto", "Cambiato");
    // Moving to the other row posts the edit; the engine refuses it.
    EXPECT_NO_THROW(grid->setCurrentIndex(grid->model()->index(1, 1)));
    EXPECT_TRUE(form.lastMessage().contains("scrittura rifiutata")) << form.lastMessage().toStdString();
    EXPECT_EQ(deadlines.recNo(), 0);
}

TEST(MainWindow, FailingDatabaseIsShownAndTheWindowStillOpens)
{
    TempDir dir;
    QDir().mkpath(dir.file("Database"));
    QFile f(dir.file("Database/Condomini.db"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(2048, 'q'));
    f.close();
    app::TForm1::setShowErrors(false);
    app::TForm1 form{app::AppPaths(dir.path())};
    EXPECT_FALSE(form.startUpError().isEmpty());
    EXPECT_EQ(form.findChild<QListWidget*>("ListBox1")->count(), 0);
    EXPECT_EQ(form.findChild<QTabWidget*>("PageControl1")->count(), 12);
}

TEST(MainWindow, AFailingWebDatabaseKeepsWhatWasReadBeforeIt)
{
    TempDir dir;
    {
        app::Workspace ws{app::AppPaths(dir.path())};
        ASSERT_EQ(ws.startUp(), QString());
        ws.mainDb().exec("UPDATE MemoGenerale SET Memo = 'Assemblea a maggio'");
    }
    QFile web(dir.file("Database/WebDB.db"));
    ASSERT_TRUE(web.open(QIODevice::WriteOnly | QIODevice::Truncate));
    web.write(QByteArray(2048, 'w'));
    web.close();
    app::TForm1::setShowErrors(false);
    int steps = 0;
    app::TForm1 form(app::AppPaths(dir.path()), [&] { ++steps; });
    EXPECT_FALSE(form.startUpError().isEmpty());
    // The eight steps of the main database ran; the web one and everything after it did not.
    EXPECT_EQ(steps, 8);
    EXPECT_EQ(form.findChild<QPlainTextEdit*>("DBMemo1")->toPlainText(), "Assemblea a maggio");
    EXPECT_TRUE(form.isMemoHighlighted());
    EXPECT_EQ(form.findChild<QListWidget*>("ListBox1")->count(), 0);
}

TEST(Splash, HasItsSizeAndStopsAtTheEndOfTheBar)
{
    app::Tsplash splash;
    EXPECT_EQ(splash.size(), QSize(622, 439));
    for (int i = 0; i < 40; ++i)
        splash.advance();
    EXPECT_EQ(splash.position(), 25);
}

TEST(Splash, PictureOnTopAndTheBarAlongTheBottomEdge)
{
    app::Tsplash splash;
    auto* picture = splash.findChild<QWidget*>("Image1");
    auto* bar = splash.findChild<QProgressBar*>("avanzamento");
    ASSERT_NE(picture, nullptr);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(picture->geometry(), QRect(0, 0, 622, 417));
    EXPECT_EQ(bar->size(), QSize(622, 25));
    EXPECT_EQ(bar->geometry().bottom(), splash.height() - 1);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 25);
    EXPECT_EQ(bar->value(), 0);
}
