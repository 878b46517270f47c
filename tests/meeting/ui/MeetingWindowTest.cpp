// The meeting window opened from the Stampe tab: a meeting saved, attendance marked and the
// quorum line following each mark, votes and the live result.
#include "foundation/Tab.h"
#include "dialogkit/Messages.h"
#include "meeting/MeetingDocuments.h"
#include "meeting/Meetings.h"
#include "meeting/ui/MeetingDialogs.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";

// Alfa: a current year, the tables Ascensore and Generale; Rossi owns two units (300 + 200 in
// Generale), Bianchi one of 300, Verdi one of 200.
void fillOffice(app::Workspace& ws)
{
    auto& db = ws.mainDb();
    test::addCondominiumsWithYear(db, {kAlfa}, "2014");
    db.exec("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, 'Ascensore'), (?, 'Generale')", {kAlfa, kAlfa});
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, 'Rossi', 'Mario'), (?, 'Bianchi', ''), "
            "(?, 'Verdi', 'Anna')",
            {kAlfa, kAlfa, kAlfa});
    db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino) VALUES (?, 'A1', 1, 1), "
            "(?, 'A2', 1, 1), (?, 'B1', 2, 2), (?, 'C1', 3, 3)",
            {kAlfa, kAlfa, kAlfa, kAlfa});
    db.exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES "
            "(?, 1, 2, 300), (?, 2, 2, 200), (?, 3, 2, 300), (?, 4, 2, 200), "
            "(?, 1, 1, 250), (?, 2, 1, 250), (?, 3, 1, 250), (?, 4, 1, 250)",
            {kAlfa, kAlfa, kAlfa, kAlfa, kAlfa, kAlfa, kAlfa, kAlfa});
}

class MeetingWindow : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        writeOffice(fillOffice);
        MainWindowFixture::openWindow({meeting::ui::installDialogs});
        showWindow();
    }

    void openWindow()
    {
        showTab(app::Tab::Stampe);
        auto* b = form->findChild<QPushButton*>("BAssemblea");
        ASSERT_NE(b, nullptr);
        b->click();
        window = form->findChild<QDialog*>("FormAssemblea");
    }
    template <class W>
    W* find(const char* name)
    {
        W* w = window->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { find<QPushButton>(name)->click(); }
    QString quorum() { return find<QLabel>("LabelQuorum")->text(); }
    // Selects the rows of `grid` showing these names in their first column.
    void select(const char* gridName, const QStringList& names)
    {
        auto* grid = find<QTableWidget>(gridName);
        grid->clearSelection();
        for (int r = 0; r < grid->rowCount(); ++r)
            if (names.contains(grid->item(r, 0)->text()))
                grid->selectionModel()->select(grid->model()->index(r, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    QDialog* window = nullptr;
};

} // namespace

TEST_F(MeetingWindow, WithoutACondominiumTheWindowSaysWhy)
{
    openWindow();
    EXPECT_TRUE(window == nullptr || !window->isVisible());
    EXPECT_EQ(app::takeMessages(), QStringList{meeting::kNoCondominium});
}

TEST_F(MeetingWindow, MarkingAttendanceMovesTheQuorumLine)
{
    form->selectCondominium(kAlfa);
    openWindow();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Assemblea");
    EXPECT_EQ(find<QComboBox>("ComboTabella")->currentText(), "Generale") << "preselected over the first";
    find<QLineEdit>("LuogoAssemblea")->setText("Sala riunioni");
    click("BSalvaAssemblea");
    EXPECT_EQ(app::takeMessages(), QStringList());
    EXPECT_EQ(count("SELECT COUNT(*) FROM Assemblee"), 1);
    EXPECT_EQ(find<QTableWidget>("GridPresenze")->rowCount(), 3) << "Rossi's two units make one participant";
    EXPECT_EQ(quorum(), "Presenti 0 su 3 partecipanti, 0.000 su 1000.000 millesimi: assemblea non costituita in "
                        "prima convocazione, mancano 2 partecipanti e 666.667 millesimi");

    select("GridPresenze", {"Rossi Mario"});
    click("BPresente");
    EXPECT_EQ(quorum(), "Presenti 1 su 3 partecipanti, 500.000 su 1000.000 millesimi: assemblea non costituita in "
                        "prima convocazione, mancano 1 partecipante e 166.667 millesimi");

    select("GridPresenze", {"Bianchi"});
    find<QComboBox>("ComboDelegato")->setEditText("Neri Paolo");
    click("BDelega");
    EXPECT_EQ(quorum(), "Presenti 2 su 3 partecipanti, 800.000 su 1000.000 millesimi: assemblea costituita in "
                        "prima convocazione");
    EXPECT_EQ(form->workspace().mainDb().scalar("SELECT Delegato FROM Presenze WHERE IdPersona = 2").toString(),
              "Neri Paolo");

    // A resolution voted by both: approved; when Rossi leaves, the meeting is no longer constituted.
    find<QLineEdit>("EditOggetto")->setText("Rifacimento del tetto");
    click("BAggiungiDelibera");
    auto* voters = find<QTableWidget>("GridVoti");
    ASSERT_EQ(voters->rowCount(), 2);
    select("GridVoti", {"Rossi Mario", "Bianchi"});
    click("BFavorevole");
    EXPECT_TRUE(find<QLabel>("LabelEsito")->text().startsWith("Approvata: favorevoli 2 (800.000 millesimi)"))
        << find<QLabel>("LabelEsito")->text().toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Voti"), 2);

    select("GridPresenze", {"Rossi Mario"});
    click("BUscita");
    EXPECT_TRUE(quorum().startsWith("Presenti 1 su 3 partecipanti, 300.000"));
    EXPECT_EQ(voters->rowCount(), 1);
    EXPECT_TRUE(find<QLabel>("LabelEsito")->text().startsWith("Non approvata (assemblea non costituita)"));

    // Opened again, the window shows the meeting as it was left.
    window->reject();
    openWindow();
    EXPECT_TRUE(quorum().startsWith("Presenti 1 su 3 partecipanti"));
    EXPECT_EQ(find<QLineEdit>("LuogoAssemblea")->text(), "Sala riunioni");
}

TEST_F(MeetingWindow, TheTwoDocumentsAreWrittenForTheMinutes)
{
    form->selectCondominium(kAlfa);
    openWindow();
    ASSERT_TRUE(window && window->isVisible());
    click("BSalvaAssemblea");
    select("GridPresenze", {"Rossi Mario", "Verdi Anna"});
    click("BPresente");
    find<QLineEdit>("EditOggetto")->setText("Nomina amministratore");
    find<QComboBox>("ComboMaggioranza")->setCurrentIndex(int(meeting::Majority::Article1136c4));
    click("BAggiungiDelibera");
    select("GridVoti", {"Rossi Mario"});
    click("BContrario");
    // Without LibreOffice on the path only the documents are written, and the window says so.
    const QByteArray path = qgetenv("PATH");
    test::TempDir noPrograms;
    qputenv("PATH", noPrograms.path().toLocal8Bit());
    click("BFoglioPresenze");
    const QString sheetStatus = find<QLabel>("LabelStatoAssemblea")->text();
    click("BVerbaleVotazioni");
    const QString recordStatus = find<QLabel>("LabelStatoAssemblea")->text();
    qputenv("PATH", path);
    EXPECT_EQ(app::takeMessages(), QStringList());
    const QString stamp = QDate::currentDate().toString("dd.MM.yyyy");
    EXPECT_EQ(sheetStatus, "Documento scritto: Foglio presenze - " + stamp
                               + ".rtf (LibreOffice non è installato: nessuna copia PDF)");
    EXPECT_TRUE(recordStatus.startsWith("Documento scritto: Verbale votazioni - " + stamp));
    const QString folder = dir.path() + "/Output/" + kAlfa + "/";
    EXPECT_TRUE(QFile::exists(folder + "Foglio presenze - " + stamp + ".rtf"));
    EXPECT_TRUE(QFile::exists(folder + "Verbale votazioni - " + stamp + ".rtf"));
    EXPECT_TRUE(find<QLabel>("LabelEsito")->text().startsWith("Non approvata: favorevoli 0"));
    test::keepScreenshot(*window, "meeting-window");
    // For a look by eye, the documents go beside the screenshots.
    if (const QString keep = qEnvironmentVariable("VELCARIS_SCREENSHOTS"); !keep.isEmpty())
        for (const QString& kind : {meeting::kFoglioPresenze, meeting::kVerbaleVotazioni})
            QFile::copy(folder + kind + " - " + stamp + ".rtf", keep + "/" + kind + ".rtf");
}
