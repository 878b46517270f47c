#include "dialogkit/ConfirmWithCaptions.h"
#include "dialogkit/GridFooter.h"
#include "window/ui/TForm1.h"
#include "support/Screenshot.h"
#include "support/TempDir.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velcaris;
using velcaris::test::keepScreenshot;
using velcaris::test::TempDir;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";

// An office with one condominium of two units in tables "Scale" and "A", and a current year.
void fillOffice(const QString& folder)
{
    app::Workspace ws{app::AppPaths(folder)};
    ASSERT_EQ(ws.startUp(), QString());
    auto& db = ws.mainDb();
    db.exec("INSERT INTO Condomini (Nome, Comune, Banca) VALUES (?, 'Torino', 'Banca Alpi'), ('Beta - Via Po 2', 'Asti', ''), ('Gamma - Via Nuova 3', 'Bra', '')",
            {kAlfa});
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente, data_inizio, data_fine, approvato) "
            "VALUES (?, '2013', 0, '2013-01-01', '2013-12-31', 1), (?, '2014', 1, '2014-01-01', '2014-12-31', 0), "
            "('Beta - Via Po 2', '2014', 1, '2014-01-01', '2014-12-31', 0)",
            {kAlfa, kAlfa});
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, 'Rossi', 'Mario'), (?, 'Bianchi', '')",
            {kAlfa, kAlfa});
    db.exec("INSERT INTO Tabelle (Id_Condominio, Nome, Descrizione, Colore) VALUES (?, 'Scale', 'Scale', 'clAqua'), "
            "(?, 'A', 'Generale', '$00C0DCC0')",
            {kAlfa, kAlfa});
    db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino, IdTipologia) VALUES "
            "(?, 'Int. 1', 1, 1, 'Appartamento'), (?, 'Int. 2', 2, 1, 'Box')",
            {kAlfa, kAlfa});
    db.exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES "
            "(?, 1, 1, 400), (?, 1, 2, 600), (?, 2, 1, 600), (?, 2, 2, 400)",
            {kAlfa, kAlfa, kAlfa, kAlfa});
    db.exec("INSERT INTO Entrate (Condominio, AA, Importo, MetodoPagamento, TipoMovimento) VALUES "
            "(?, '2014', 250, 'Conto Corrente', 'Entrata'), ('Beta - Via Po 2', '2014', 99, 'Cassa', 'Entrata')",
            {kAlfa});
}

void clickItem(QListWidget* list, const QString& text, Qt::MouseButton button = Qt::LeftButton)
{
    const auto items = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    const QRect rect = list->visualItemRect(items.first());
    QTest::mouseClick(list->viewport(), button, {}, rect.center());
}

} // namespace

TEST(SelectionWidgets, ClickingACondominiumUpdatesTheCaptionAndTheCondominiTab)
{
    TempDir dir;
    fillOffice(dir.path());
    app::TForm1::setShowErrors(false);
    app::TForm1 form{app::AppPaths(dir.path())};
    form.resize(1280, 800);
    form.show();
    auto* tabs = form.findChild<QTabWidget*>("PageControl1");
    tabs->setCurrentIndex(int(app::Tab::Condomini));
    auto* list = form.findChild<QListWidget*>("ListBox1");
    clickItem(list, kAlfa);

    EXPECT_EQ(form.windowTitle(), "Velcaris 2014 - Alfa - Via Roma 1 - A.A. 2014");
    EXPECT_EQ(form.findChild<QLabel*>("LabelNome")->text(), "Alfa");
    EXPECT_EQ(form.findChild<QLabel*>("LabelIndirizzo")->text(), "Via Roma 1");
    EXPECT_EQ(form.findChild<QLabel*>("LabelComune")->text(), "Torino");
    EXPECT_EQ(form.findChild<QLabel*>("LabelBanca")->text(), "Banca Alpi");
    EXPECT_EQ(form.findChild<QLabel*>("LabelDI")->text(), "01/01/2014");
    auto* combo = form.findChild<QComboBox*>("ComboAA");
    EXPECT_EQ(combo->currentText(), "2014");
    EXPECT_TRUE(form.findChild<QPushButton*>("TBmodifica")->isEnabled());
    EXPECT_EQ(form.findChild<QLineEdit*>("EditTOTCC")->text(), "250.00");
    EXPECT_TRUE(combo->isEnabled());
    keepScreenshot(form, "condomini-tab");

    // A screen reader hears each value label's caption and its value.
    const std::pair<const char*, const char*> spoken[] = {
        {"LabelNome", "Nome"}, {"LabelIndirizzo", "Indirizzo"}, {"LabelComune", "Comune"},
        {"LabelBanca", "Banca"}, {"LabelDI", "Data inzio"}};
    for (const auto& [name, caption] : spoken) {
        QLabel* label = form.findChild<QLabel*>(name);
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(label);
        ASSERT_NE(a11y, nullptr) << name;
        EXPECT_EQ(a11y->text(QAccessible::Name), caption) << name;
        EXPECT_EQ(a11y->text(QAccessible::Description), label->text()) << name;
        EXPECT_FALSE(label->text().isEmpty()) << name;
    }

    // The right button clears the choice.
    clickItem(list, kAlfa, Qt::RightButton);
    EXPECT_EQ(form.windowTitle(), "Velcaris 2014");
    EXPECT_EQ(form.findChild<QLabel*>("LabelNome")->text(), "");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form.findChild<QLabel*>("LabelNome"))->text(QAccessible::Description),
              "");
    EXPECT_FALSE(combo->isEnabled());
    EXPECT_FALSE(form.findChild<QPushButton*>("TBAggiungi")->isEnabled());
    EXPECT_EQ(form.findChild<QLineEdit*>("EditTOT")->text(), "349.00");
}

TEST(SelectionWidgets, LocaliTogglesChangeTheGrid)
{
    TempDir dir;
    fillOffice(dir.path());
    app::TForm1::setShowErrors(false);
    app::TForm1 form{app::AppPaths(dir.path())};
    form.resize(1280, 800);
    form.show();
    clickItem(form.findChild<QListWidget*>("ListBox1"), kAlfa);
    form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(int(app::Tab::Locali));
    auto* grid = form.findChild<QTableView*>("DBGridLocali");
    auto* model = grid->model();
    ASSERT_EQ(model->rowCount(), 2);
    auto titles = [&] {
        QStringList out;
        for (int c = 0; c < model->columnCount(); ++c)
            if (!grid->isColumnHidden(c))
                out << model->headerData(c, Qt::Horizontal).toString();
        return out;
    };
    EXPECT_TRUE(titles().contains("% ORD"));
    EXPECT_EQ(titles().mid(titles().size() - 2), QStringList({"A", "Scale"}));
    keepScreenshot(form, "locali-tab");

    auto* owner = form.findChild<QPushButton*>("BProprietario");
    auto* tenant = form.findChild<QPushButton*>("BInquilino");
    QTest::mouseClick(owner, Qt::LeftButton);
    EXPECT_TRUE(owner->isChecked());
    EXPECT_EQ(model->rowCount(), 2); // Rossi and Bianchi own one unit each
    EXPECT_TRUE(grid->isColumnHidden(0));
    EXPECT_EQ(grid->columnWidth(1), 150);
    QTest::mouseClick(tenant, Qt::LeftButton);
    EXPECT_FALSE(owner->isChecked());
    EXPECT_EQ(model->rowCount(), 1); // Rossi rents both
    auto* footer = form.findChild<app::GridFooter*>("DBGridLocaliFooter");
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->text(model->columnCount() - 1), "1000.000");
}

TEST(SelectionWidgets, AddCommandAsksForAYearAndOpensRegisteredDialogs)
{
    TempDir dir;
    fillOffice(dir.path());
    app::TForm1::setShowErrors(false);
    app::TForm1 form{app::AppPaths(dir.path())};
    int opened = 0;
    form.registerDialog(app::DialogId::TFormCondomini, [&](const app::DialogRequest&) { ++opened; });
    form.show();
    auto* tabs = form.findChild<QTabWidget*>("PageControl1");
    auto* add = form.findChild<QPushButton*>("Baggiungi");
    tabs->setCurrentIndex(int(app::Tab::Condomini));
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(form.workspace().editMode, app::EditMode::Add);

    clickItem(form.findChild<QListWidget*>("ListBox1"), "Gamma - Via Nuova 3");
    tabs->setCurrentIndex(int(app::Tab::Uscite));
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(form.lastMessage(), "E' necessario inserire prima un anno amministrativo nella linguetta \"Condomini\"");
    EXPECT_EQ(form.lastDialogOpened(), app::DialogId::None);
}

TEST(ConfirmWidget, EscapeAndCaptions)
{
    QString title, first;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        first = box->findChild<QPushButton*>("ButtonFirst")->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(app::ConfirmWithCaptions("Continuare?", app::DialogKind::Confirmation), 2);
    EXPECT_EQ(title, "Confirm");
    EXPECT_EQ(first, "Si");

    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        QTest::mouseClick(box->findChild<QPushButton*>("ButtonFirst"), Qt::LeftButton);
    });
    EXPECT_EQ(app::ConfirmWithCaptions("Esportare?", app::DialogKind::Custom, {"Singole", "Accorpate"}), 1);
    EXPECT_EQ(title, "Velcaris");
}

TEST(SelectionWidgets, CashOnlyViewAndBankSummary)
{
    TempDir dir;
    fillOffice(dir.path());
    {
        app::Workspace ws{app::AppPaths(dir.path())};
        ASSERT_EQ(ws.startUp(), QString());
        ws.mainDb().exec("INSERT INTO Entrate (Condominio, AA, Importo, MetodoPagamento, TipoMovimento) VALUES "
                         "(?, '2014', 40, 'Cassa', 'Entrata')",
                         {kAlfa});
        ws.mainDb().exec("INSERT INTO Uscite (Condominio, AA, ImportoLordo, Pagamento, MetodoRitenuta, pagato) "
                         "VALUES ('Beta - Via Po 2', '2014', 500, 'Conto Corrente', 'Conto Corrente', 1)");
    }
    app::TForm1::setShowErrors(false);
    app::TForm1 form{app::AppPaths(dir.path())};
    form.resize(1280, 800);
    form.show();
    clickItem(form.findChild<QListWidget*>("ListBox1"), kAlfa);
    EXPECT_EQ(form.findChild<QLineEdit*>("EditTOT")->text(), "290.00");

    QTest::mouseClick(form.findChild<QPushButton*>("BCassa"), Qt::LeftButton);
    EXPECT_EQ(form.findChild<QLineEdit*>("EditEntrateC")->text(), "40.00");
    EXPECT_EQ(form.findChild<QLineEdit*>("EditEntrateCC")->text(), "0.00");
    EXPECT_EQ(form.workspace().ds("ADOQueryEntrate").rowCount(), 1);

    // The bank menu's "Segnala C.C. negativi": only Beta is in the red.
    auto* panel = form.findChild<QWidget*>("PanelCC");
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible());
    auto* negative = form.findChild<QAction*>("SegnalaCCnegativi1");
    ASSERT_NE(negative, nullptr);
    negative->trigger();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->height(), 450);
    EXPECT_EQ(form.findChild<QPlainTextEdit*>("MemoCC")->toPlainText(), "Beta - Via Po 2\t-500.00");
    form.findChild<QAction*>("uttiiCC1")->trigger();
    EXPECT_EQ(form.findChild<QPlainTextEdit*>("MemoCC")->toPlainText(),
              "Alfa - Via Roma 1\t250.00\nBeta - Via Po 2\t-500.00\nGamma - Via Nuova 3\t0.00");
    keepScreenshot(form, "bank-summary");
    QTest::mouseClick(panel->findChild<QPushButton*>("OK"), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());

    // Choosing again ends the cash-only view.
    clickItem(form.findChild<QListWidget*>("ListBox1"), kAlfa);
    EXPECT_EQ(form.workspace().ds("ADOQueryEntrate").rowCount(), 2);
}
