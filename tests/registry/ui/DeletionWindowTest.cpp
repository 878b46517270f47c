#include "dialogkit/Messages.h"
#include "registry/ui/RegistryDialogs.h"
#include "support/ui/MainWindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace velcaris;

namespace {

const QString alfa = QStringLiteral("Alfa - Via Roma 1");
const QString beta = QStringLiteral("Beta - Via Po 2");

class DeletionWindow : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        openWindow({registry::ui::installDialogs});
        for (const QString& name : {alfa, beta}) {
            db().exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES (?, '2014', 1)", {name});
            QDir().mkpath(form->workspace().paths().outputFolder() + name + "/Ricevute");
            addCondominium(name);
        }
    }
    // Presses "Elimina" and answers the question with the button `answer`; the question's text.
    QString pressDelete(const char* answer, const char* button = "BElimina")
    {
        QString question;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            question = box->text();
            QTest::mouseClick(box->findChild<QPushButton*>(answer), Qt::LeftButton);
        });
        QTest::mouseClick(form->findChild<QPushButton*>(button), Qt::LeftButton);
        return question;
    }
};

} // namespace

TEST_F(DeletionWindow, TheCondominiumGoesFromTheListTheDatabasesAndTheDisk)
{
    form->selectCondominium(alfa);
    showTab(app::Tab::Condomini);
    // "No" leaves everything.
    EXPECT_TRUE(pressDelete("ButtonSecond").endsWith("Sicuro di voler continuare?\""));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Condomini"), 2);

    pressDelete("ButtonFirst");
    auto* list = form->findChild<QListWidget*>("ListBox1");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), beta);
    EXPECT_EQ(form->windowTitle(), "Velcaris 2014");
    EXPECT_EQ(count("SELECT COUNT(*) FROM AnnoAmministrativo"), 1);
    EXPECT_FALSE(QFileInfo::exists(form->workspace().paths().outputFolder() + alfa));
}

TEST_F(DeletionWindow, AnEmptyRegisterSaysSoAndAsksNothing)
{
    form->selectCondominium(alfa);
    showTab(app::Tab::Uscite);
    app::takeMessages();
    QTest::mouseClick(form->findChild<QPushButton*>("BElimina"), Qt::LeftButton);
    EXPECT_EQ(app::takeMessages(), QStringList{"Non ci sono dati da cancellare"});
}

TEST_F(DeletionWindow, AnExpenseGoesAndTheBalancesFollow)
{
    db().exec("INSERT INTO Uscite (Condominio, AA, TipoMovimento, ImportoLordo, Pagamento, pagato, DataPagamento) "
              "VALUES (?, '2014', 'Uscita', 120, 'Cassa', 1, '2014-02-01')", {alfa});
    db().exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, Importo, MetodoPagamento) "
              "VALUES (?, '2014', '2014-01-01', 'Importo iniziale', 500, 'Cassa')", {alfa});
    form->selectCondominium(alfa);
    showTab(app::Tab::Uscite);
    auto* grid = form->findChild<QTableView*>("DBGridUscite");
    ASSERT_EQ(grid->model()->rowCount(), 1);
    grid->setCurrentIndex(grid->model()->index(0, 1));
    const QString before = form->findChild<QLineEdit*>("EditTOT")->text();
    EXPECT_EQ(pressDelete("ButtonFirst"), "Vuoi cancellare le voci selezionate?");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Uscite"), 0);
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_NE(form->findChild<QLineEdit*>("EditTOT")->text(), before);
    EXPECT_EQ(form->findChild<QLineEdit*>("EditTOT")->text(), "500.00");
}

// An income row goes through the cash book's reversal, from the window's "Elimina" too.
TEST_F(DeletionWindow, AnIncomeRowGoesThroughTheCashBook)
{
    db().exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, Importo, MetodoPagamento) "
              "VALUES (?, '2014', '2014-01-01', 'Importo iniziale', 500, 'Cassa')", {alfa});
    form->selectCondominium(alfa);
    showTab(app::Tab::Entrate);
    auto* grid = form->findChild<QTableView*>("DBGridEntrate");
    ASSERT_EQ(grid->model()->rowCount(), 1);
    grid->setCurrentIndex(grid->model()->index(0, 1));
    pressDelete("ButtonFirst");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Entrate"), 0);
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_EQ(form->findChild<QLineEdit*>("EditTOT")->text(), "0.00");
}
