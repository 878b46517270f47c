// The import window opened from the Condomini tab: a list of units read into the preview (counts,
// the table's total, the refused row), "Annulla" that writes nothing, and "Conferma" that
// writes the units, the new owner and the table.
#include "dialogkit/Messages.h"
#include "foundation/Tab.h"
#include "sheetimport/ui/SheetImportDialogs.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kVilla = "Villa Rosa - Via Roma 1";

class ImportWindow : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        writeOffice([](app::Workspace& ws) {
            test::addCondominiumsWithYear(ws.mainDb(), {kVilla}, "2024");
            ws.mainDb().exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, 'Rossi', 'Mario')", {kVilla});
        });
        openWindow({sheetimport::ui::installDialogs});
        showWindow(kVilla, app::Tab::Condomini);
        csv = dir.path() + "/locali.csv";
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Locale;Proprietario;Generale\nA1;Rossi Mario;600\nA2;Bianchi Anna;400\nA3;;abc\n");
    }
    // Opens the window from its button.
    QDialog* open()
    {
        click(form.get(), "BImportaFoglio");
        auto* window = form->findChild<QDialog*>("FormImportaFoglio");
        EXPECT_TRUE(window && window->isVisible());
        return window;
    }
    // "Scegli file..." answered with the list.
    void chooseList(QDialog* window)
    {
        QTimer::singleShot(0, [this] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(chooser, nullptr);
            chooser->selectFile(csv);
            static_cast<QDialog*>(chooser)->accept();
        });
        click(window, "BScegliFile");
    }
    QString cellText(QDialog* window, const char* grid, int row, int column)
    {
        auto* g = window->findChild<QTableWidget*>(grid);
        return g && g->item(row, column) ? g->item(row, column)->text() : QString();
    }
    QString csv;
};

} // namespace

TEST_F(ImportWindow, PreviewsTheListThenWritesNothingOnAnnullaAndEverythingOnConferma)
{
    QDialog* window = open();
    ASSERT_NE(window, nullptr);
    auto* confirm = window->findChild<QPushButton*>("BConferma");
    ASSERT_NE(confirm, nullptr);
    EXPECT_FALSE(confirm->isEnabled()) << "no file read yet";

    chooseList(window);
    const QString summary = window->findChild<QLabel*>("LabelRiepilogo")->text();
    EXPECT_TRUE(summary.contains("Locali: 2 nuovi, 0 modificati")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("Persone: 1 nuove")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("Righe scartate: 1")) << summary.toStdString();
    EXPECT_EQ(cellText(window, "GridTotaliTabelle", 0, 0), "Generale (nuova)");
    EXPECT_EQ(cellText(window, "GridTotaliTabelle", 0, 1), "1000.000");
    ASSERT_EQ(window->findChild<QTableWidget*>("GridRigheScartate")->rowCount(), 2);
    EXPECT_EQ(cellText(window, "GridRigheScartate", 0, 2), "Avviso");
    EXPECT_EQ(cellText(window, "GridRigheScartate", 1, 1), "4");
    EXPECT_EQ(cellText(window, "GridRigheScartate", 1, 2), "Scartata");
    EXPECT_TRUE(cellText(window, "GridRigheScartate", 1, 3).contains("manca il proprietario"));
    EXPECT_TRUE(confirm->isEnabled());
    QApplication::processEvents();
    test::keepScreenshot(*window, "importa-foglio-anteprima");

    click(window, "BAnnulla");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(count("SELECT COUNT(*) FROM Locali"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Anagrafe"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Tabelle"), 0);

    window = open();
    EXPECT_FALSE(confirm->isEnabled()) << "the last preview is not kept";
    chooseList(window);
    app::takeMessages();
    click(window, "BConferma");
    const QStringList messages = app::takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Importazione completata.")) << messages[0].toStdString();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(count("SELECT COUNT(*) FROM Locali WHERE IdCondominio = ?", {kVilla}), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Anagrafe WHERE Cognome = 'Bianchi' AND Nome = 'Anna'"), 1);
    EXPECT_EQ(number("SELECT SUM(Millesimi) FROM Millesimi WHERE IdCondominio = ?", {kVilla}), 1000.0);
}
