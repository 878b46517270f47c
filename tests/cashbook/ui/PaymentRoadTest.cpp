// The whole road of a payment through the window, offscreen: an allocation, the click on the
// owner column of the unit, the double click that opens the statement, its "Dettaglio", the
// selection, "OK", "Conferma" in the payment dialog; then the rows of both databases, the
// receipt's text and the balances the window shows. The same road starts from the Entrate tab's
// "Incassa quote" with the name of who pays.
#include "allocation/Allocation.h"
#include "allocation/ui/AllocationDialogs.h"
#include "allocation/ui/TFSituazioneCondomino.h"
#include "dialogkit/EditDialog.h"
#include "dialogkit/Messages.h"
#include "cashbook/Receipt.h"
#include "cashbook/ui/PaymentDialogs.h"
#include "cashbook/ui/TFEntrate.h"
#include "documents/RtfReader.h"
#include "platform/Shell.h"
#include "support/ui/MainWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = "Alfa - Via dell'Orto 1";

// Alfa, year 2024: D'Angelo owns Int. 1 (600 of "Generale") and reads the web site; Verdi owns
// Int. 2 (400).
void fillOffice(app::Workspace& ws)
{
    auto& db = ws.mainDb();
    db.exec("INSERT INTO Condomini (Nome, Comune) VALUES (?, 'Torino')", {kAlfa});
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES (?, '2024', 1)", {kAlfa});
    db.exec("INSERT INTO TipologieLocali (Tipologia) VALUES ('Appartamento')");
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome, UserID, Password) VALUES (?, 'D''Angelo', 'Anna', 'anna', 'x')",
            {kAlfa});
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, 'Verdi', 'Gino')", {kAlfa});
    db.exec("INSERT INTO web.Accesso (id, Persona, \"User\", Password, IdCondominio) VALUES (1, 'D''Angelo Anna', 'anna', 'x', ?)",
            {kAlfa});
    db.exec("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, 'Generale')", {kAlfa});
    for (const auto& [unit, owner, milli] : {std::tuple{"Int. 1", 1, 600.0}, std::tuple{"Int. 2", 2, 400.0}}) {
        db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino, IdTipologia) VALUES (?,?,?,?, 'Appartamento')",
                {kAlfa, unit, owner, owner});
        db.exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, 1, ?)",
                {kAlfa, db.lastInsertId(), milli});
    }
    // 1000.00 on Generale in two instalments: Int. 1 owes 300.00 twice.
    ws.selection.condominium = kAlfa;
    allocation::AllocationInput in;
    in.amounts = {"1000"};
    in.instalments = "2";
    in.rows = {{"Rata 1", QDate(2024, 3, 1)}, {"Rata 2", QDate(2024, 6, 1)}};
    ASSERT_TRUE(allocation::confirmAllocation(ws, in).done);
    db.exec("UPDATE Quote SET PagabiliSiNo = 1");
}

class PaymentRoad : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        writeOffice(fillOffice);
        openWindow({allocation::ui::installDialogs, cashbook::ui::installPaymentDialogs});
        form->modello().SetShell(&shell);
        form->findChild<cashbook::ui::TFEntrate*>("TFEntrate")->setShell(&shell);
        showWindow();
    }
    void TearDown() override
    {
        if (auto* payment = form->findChild<cashbook::ui::TFEntrate*>("TFEntrate"))
            payment->pdfConverter().waitForIdle(60000);
        MainWindowFixture::TearDown();
    }

    platform::RecordingShell shell;
};

} // namespace

TEST_F(PaymentRoad, FromTheOwnerColumnToTheReceiptAndTheBalances)
{
    form->selectCondominium(kAlfa);
    form->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(int(app::Tab::Locali));
    auto* units = form->findChild<QTableView*>("DBGridLocali");
    ASSERT_EQ(units->model()->rowCount(), 2);
    int ownerColumn = -1;
    for (int c = 0; c < units->model()->columnCount(); ++c)
        if (units->model()->headerData(c, Qt::Horizontal).toString() == "Proprietario")
            ownerColumn = c;
    ASSERT_GE(ownerColumn, 0);
    int row = units->model()->index(0, ownerColumn).data().toString().startsWith("D'Angelo") ? 0 : 1;
    const QRect cell = units->visualRect(units->model()->index(row, ownerColumn));
    QTest::mouseClick(units->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(units->viewport(), Qt::LeftButton, {}, cell.center());

    auto* statement = form->findChild<allocation::ui::TFSituazioneCondomino*>("TFSituazioneCondomino");
    ASSERT_NE(statement, nullptr);
    ASSERT_TRUE(statement->isVisible());
    auto* grid = statement->findChild<QTableView*>("GridSC");
    ASSERT_EQ(grid->model()->rowCount(), 2);

    // "Dettaglio" tells how Rata 1 was computed, as it was stored.
    QTest::mouseClick(statement->findChild<QPushButton*>("ButtonDettaglio"), Qt::LeftButton);
    EXPECT_TRUE(statement->lastDetail().contains("Tabella Generale: 1000.00 € ripartiti su 1000.000 millesimi ponderati; "
                                                 "la sua unità ne ha 600.000 al 100%: 600.00 €."))
        << statement->lastDetail().toStdString();
    EXPECT_TRUE(statement->lastDetail().contains("Importo della quota: 300.00 €."));

    // The payment dialog opens modally over the statement, as in the program; "Conferma" closes both.
    grid->selectAll();
    auto* payment = form->findChild<cashbook::ui::TFEntrate*>("TFEntrate");
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = payment->isVisible();
        payment->findChild<QCheckBox*>("CheckBoxRicevute")->setChecked(false);
        QTest::mouseClick(payment->findChild<QPushButton*>("BtnConferma"), Qt::LeftButton);
    });
    app::EditDialog::setBlocking(true);
    QTest::mouseClick(statement->findChild<QPushButton*>("ok"), Qt::LeftButton);
    app::EditDialog::setBlocking(false);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(payment->isVisible()) << app::takeMessages().join("\n").toStdString();
    EXPECT_FALSE(statement->isVisible());

    // Two income rows with receipt 1, both quotas of Int. 1 paid, their web copies too.
    EXPECT_EQ(db().scalar("SELECT COUNT(*) FROM Entrate WHERE Ricevuta = 1 AND IdPersona = 1 AND TipoMovimento = 'Entrata'").toInt(), 2);
    EXPECT_DOUBLE_EQ(number("SELECT SUM(ImportoPagato) FROM Quote WHERE IdLocale = 1"), 600);
    EXPECT_DOUBLE_EQ(number("SELECT SUM(ImportoPagato) FROM Quote WHERE IdLocale = 2"), 0);
    EXPECT_DOUBLE_EQ(number("SELECT SUM(ImportoPagato) FROM web.Quote WHERE idLocale = 1"), 600);
    EXPECT_EQ(db().scalar("SELECT COUNT(*) FROM Quote WHERE IdLocale = 1 AND idEntrata > 0").toInt(), 2);

    QFile receipt(cashbook::receiptPath(form->workspace(), kAlfa, 1, "2024"));
    ASSERT_TRUE(receipt.open(QIODevice::ReadOnly));
    const QString text = documents::rtf::plainText(receipt.readAll()).simplified();
    EXPECT_TRUE(text.contains("D'Angelo Anna")) << text.toStdString();
    EXPECT_TRUE(text.contains("seicento/00")) << text.toStdString();
    EXPECT_TRUE(text.contains("600,00"));

    EXPECT_EQ(figure("EditTOTC"), "600.00");
    EXPECT_EQ(figure("EditTOT"), "600.00");
}

TEST_F(PaymentRoad, IncassaQuoteOpensTheStatementOfWhoPaysChosenByName)
{
    // D'Angelo also rents Int. 2 from Verdi.
    db().exec("UPDATE Locali SET idInquilino = 1 WHERE Nome = 'Int. 2'");
    showTab(app::Tab::Entrate);
    auto* statement = form->findChild<allocation::ui::TFSituazioneCondomino*>("TFSituazioneCondomino");
    ASSERT_NE(statement, nullptr);

    // Without a condominium it says so and asks nothing.
    click(form.get(), "BIncassaQuote");
    EXPECT_EQ(app::takeMessages(), QStringList{"Selezionare prima un condominio"});
    EXPECT_FALSE(statement->isVisible());

    form->selectCondominium(kAlfa);
    showTab(app::Tab::Entrate);
    QStringList offered;
    QTimer::singleShot(0, [&offered] {
        auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(ask, nullptr);
        offered = ask->comboBoxItems();
        ask->setTextValue("D'Angelo Anna (inquilino: Int. 1, Int. 2)");
        ask->accept();
    });
    click(form.get(), "BIncassaQuote");
    // Who lives in what he owns is offered once.
    EXPECT_EQ(offered, (QStringList{"D'Angelo Anna (proprietario: Int. 1)", "D'Angelo Anna (inquilino: Int. 1, Int. 2)",
                                    "Verdi Gino (proprietario: Int. 2)"}));
    ASSERT_TRUE(statement->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(statement->findChild<QLabel*>("LabelInquilino")->text(), "D'Angelo Anna");
    EXPECT_EQ(statement->findChild<QLabel*>("LabelProprietario")->text(), "");
    EXPECT_EQ(statement->findChild<QLabel*>("LabelLocale")->text(), "Int. 1, Int. 2");
    auto* grid = statement->findChild<QTableView*>("GridSC");
    ASSERT_EQ(grid->model()->rowCount(), 2) << "Rata 1 and Rata 2 of both units she rents";

    // "OK" opens the payment as from the Locali grid; she pays what both units owe.
    grid->selectAll();
    auto* payment = form->findChild<cashbook::ui::TFEntrate*>("TFEntrate");
    QString payer;
    QTimer::singleShot(0, [&] {
        payer = payment->findChild<QLabel*>("LabelPersona")->text();
        payment->findChild<QCheckBox*>("CheckBoxRicevute")->setChecked(false);
        QTest::mouseClick(payment->findChild<QPushButton*>("BtnConferma"), Qt::LeftButton);
    });
    app::EditDialog::setBlocking(true);
    QTest::mouseClick(statement->findChild<QPushButton*>("ok"), Qt::LeftButton);
    app::EditDialog::setBlocking(false);
    EXPECT_EQ(payer, "D'Angelo Anna");
    EXPECT_FALSE(payment->isVisible()) << app::takeMessages().join("\n").toStdString();
    EXPECT_FALSE(statement->isVisible());
    EXPECT_EQ(db().scalar("SELECT COUNT(*) FROM Entrate WHERE Ricevuta = 1 AND IdPersona = 1").toInt(), 2);
    EXPECT_DOUBLE_EQ(number("SELECT SUM(ImportoPagato) FROM Quote"), 1000);
    EXPECT_EQ(figure("EditEntrateTOT"), "1000.00");
}
