// The payment dialog offscreen, opened as the owner statement opens it: the grid from the draft,
// the total following the amounts, "Conferma" recording the payment in both databases with its
// receipt (and PDF copy), the window's balances, and the income register's double click.
#include "foundation/Settings.h"
#include "dialogkit/Messages.h"
#include "cashbook/Payments.h"
#include "cashbook/Receipt.h"
#include "cashbook/ui/PaymentDialogs.h"
#include "cashbook/ui/TFEntrate.h"
#include "documents/RtfReader.h"
#include "platform/PdfConverter.h"
#include "platform/Shell.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";
const QString kPayer = QString::fromUtf8("D'Angelo Nicolò");

// Alfa, year 2024: D'Angelo owns unit A1 and has web credentials; A1 carries Rata 1 (100) and
// Rata 2 (50), mirrored in the web copy; the year already has receipt 9 (20.00 in cash).
void fillOffice(app::Workspace& ws)
{
    auto& db = ws.mainDb();
    db.exec("INSERT INTO Condomini (Nome, Comune) VALUES (?, 'Torino')", {kAlfa});
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES (?, '2024', 1)", {kAlfa});
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome, UserID, Password) VALUES "
            "(?, 'D''Angelo', ?, 'dangelo', 'segreta')",
            {kAlfa, QString::fromUtf8("Nicolò")});
    db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino) VALUES (?, 'A1', 1, 1)", {kAlfa});
    for (const auto& [name, amount] : {std::pair{"Rata 1", 100.0}, std::pair{"Rata 2", 50.0}}) {
        db.exec("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo, ImportoPagato, Tipologia, "
                "PagabiliSiNo) VALUES (?, 1, '2024', ?, ?, 0, 'Spese ordinarie', 1)",
                {kAlfa, name, amount});
        db.exec("INSERT INTO web.Quote (Condominio, IdProprietario, IdInquilino, idLocale, Locale, NomeQuote, "
                "Importo, ImportoPagato, Tipologia, AA) VALUES (?, 1, 1, 1, 'A1', ?, ?, 0, 'Spese ordinarie', '2024')",
                {kAlfa, name, amount});
    }
    db.exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, IdPersona, Nome, Importo, MetodoPagamento, "
            "Ricevuta) VALUES (?, '2024', '2024-01-10', 'Entrata', 1, 'Rata 0', 20, 'Cassa', 9)",
            {kAlfa});
}

class PaymentDialog : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        writeOffice(fillOffice);
        openWindow({cashbook::ui::installPaymentDialogs});
        form->modello().SetShell(&shell);
        showWindow(kAlfa);
        dialog = form->findChild<cashbook::ui::TFEntrate*>("TFEntrate");
        ASSERT_NE(dialog, nullptr);
        dialog->setShell(&shell);
    }
    void TearDown() override
    {
        if (dialog)
            dialog->pdfConverter().waitForIdle(60000);
        MainWindowFixture::TearDown();
        app::currentSettings() = app::Settings{};
    }

    // The statement's hand-off: Rata 2, a quota that cannot be paid, Rata 1, in selection order.
    void openWithDraft()
    {
        app::DialogRequest rq;
        rq.payment.ownerPays = true;
        rq.payment.payerId = 1;
        rq.payment.payerName = kPayer;
        rq.payment.lines = {{"Rata 2", 50, "Spese ordinarie", true},
                            {"Rata 3", 70, "Spese ordinarie", false},
                            {"Rata 1", 100, "Spese ordinarie", true}};
        form->dialogContext().open(app::DialogId::TFEntrate, rq);
    }
    template <class W>
    W* child(const char* name)
    {
        W* w = dialog->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // The value a label shows; a screen reader must read the same value, kept as it changes.
    QString label(const char* name)
    {
        const QLabel* value = child<QLabel>(name);
        EXPECT_EQ(value->accessibleDescription(), value->text()) << name;
        return value->text();
    }
    QTableWidget* grid() { return child<QTableWidget>("GridRicevuta"); }
    void confirm() { QTest::mouseClick(child<QPushButton>("BtnConferma"), Qt::LeftButton); }
    QString receiptText(int number)
    {
        QFile f(cashbook::receiptPath(form->workspace(), kAlfa, number, "2024"));
        if (!f.open(QIODevice::ReadOnly))
            return "<missing>";
        return documents::rtf::plainText(f.readAll()).simplified();
    }
    // A double click as the user makes it: press, release, then the second press.
    static void doubleClick(QTableView* view, QPoint at)
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }
    // Answers the next question "Si", keeping its text.
    void answerYes(QString* asked)
    {
        QTimer::singleShot(0, [asked] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            *asked = box->text();
            QTest::mouseClick(box->findChild<QPushButton*>("ButtonFirst"), Qt::LeftButton);
        });
    }

    cashbook::ui::TFEntrate* dialog = nullptr;
    platform::RecordingShell shell;
};

} // namespace

TEST_F(PaymentDialog, ConfirmRecordsThePaymentItsReceiptAndTheBalances)
{
    app::currentSettings().stamparicevuteText = "True";
    openWithDraft();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Entrate");
    EXPECT_EQ(label("LabelCondominio"), kAlfa);
    EXPECT_EQ(label("LabelRicevuta"), "10");
    EXPECT_EQ(label("LabelPersona"), kPayer);
    EXPECT_EQ(child<QDateEdit>("Data")->date(), QDate::currentDate());
    EXPECT_EQ(child<QComboBox>("Combopagamento")->currentText(), "Cassa");
    EXPECT_TRUE(child<QCheckBox>("CheckBoxRicevute")->isChecked());
    ASSERT_EQ(grid()->rowCount(), 2) << "the quota that cannot be paid is left out";
    EXPECT_EQ(grid()->item(0, 0)->text(), "Rata 2");
    EXPECT_EQ(grid()->item(0, 1)->text(), "50.00");
    EXPECT_EQ(grid()->item(1, 0)->text(), "Rata 1");
    EXPECT_EQ(label("LabelImporto"), "150.00");
    EXPECT_FALSE(grid()->item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(grid()->item(0, 1)->flags() & Qt::ItemIsEditable);
    test::keepScreenshot(*dialog, "TFEntrate");

    // A partial payment of Rata 1, paid into the bank account.
    grid()->item(1, 1)->setText("80");
    EXPECT_EQ(grid()->item(1, 1)->text(), "80.00");
    EXPECT_EQ(label("LabelImporto"), "130.00");
    grid()->item(1, 3)->setText("acconto");
    child<QComboBox>("Combopagamento")->setCurrentText("Conto Corrente");
    child<QDateEdit>("Data")->setDate(QDate(2024, 5, 20));
    confirm();
    EXPECT_FALSE(dialog->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    EXPECT_EQ(db().scalar("SELECT GROUP_CONCAT(Nome || ':' || Importo || ':' || Ricevuta || ':' || MetodoPagamento "
                          "|| ':' || COALESCE(Nota, ''), '|') FROM (SELECT * FROM Entrate WHERE Ricevuta = 10 ORDER BY id)")
                  .toString(),
              "Rata 2:50.0:10:Conto Corrente:|Rata 1:80.0:10:Conto Corrente:acconto");
    EXPECT_EQ(number("SELECT ImportoPagato FROM Quote WHERE NomeQuote = 'Rata 1'"), 80);
    EXPECT_EQ(number("SELECT ImportoPagato FROM Quote WHERE NomeQuote = 'Rata 2'"), 50);
    EXPECT_EQ(number("SELECT COUNT(*) FROM Quote AS q INNER JOIN Entrate AS e ON e.id = q.idEntrata "
                     "WHERE e.Nome = q.NomeQuote"),
              2);
    EXPECT_EQ(db().scalar("SELECT GROUP_CONCAT(NomeQuote || ':' || ImportoPagato || ':' || Data, '|') FROM "
                          "(SELECT * FROM web.Quote ORDER BY NomeQuote)")
                  .toString(),
              "Rata 1:80.0:2024-05-20|Rata 2:50.0:2024-05-20");

    const QString text = receiptText(10);
    EXPECT_TRUE(text.contains(QString::fromUtf8("ricevuto da D'Angelo Nicolò la somma di € 130,00 (euro centotrenta/00)")))
        << text.toStdString();
    EXPECT_TRUE(text.contains("RICEVUTA N. 10 del 20/05/2024")) << text.toStdString();
    EXPECT_TRUE(text.contains("Rata 1 80,00 acconto")) << text.toStdString();
    ASSERT_EQ(shell.calls().size(), 1);
    EXPECT_EQ(shell.calls()[0].verb, "print");

    // The window was refreshed: the register and the balances count the payment.
    EXPECT_EQ(figure("EditEntrateC"), "20.00");
    EXPECT_EQ(figure("EditEntrateCC"), "130.00");
    EXPECT_EQ(figure("EditEntrateTOT"), "150.00");

    // The PDF copy is made beside the receipt when LibreOffice is there.
    if (!platform::PdfConverter::officeProgram().isEmpty()) {
        // A first LibreOffice start on a loaded machine can take long: the bound is generous.
        ASSERT_TRUE(dialog->pdfConverter().waitForIdle(240000));
        EXPECT_TRUE(QFileInfo::exists(
            platform::PdfConverter::pdfPath(cashbook::receiptPath(form->workspace(), kAlfa, 10, "2024"))))
            << app::takeMessages().join('|').toStdString();
    }

    // The next payment takes the next number; the notes are not carried over.
    openWithDraft();
    EXPECT_EQ(label("LabelRicevuta"), "11");
    EXPECT_TRUE(grid()->item(1, 3)->text().isEmpty());
    EXPECT_EQ(grid()->item(1, 1)->text(), "100.00");
    QTest::mouseClick(child<QPushButton>("BtnAnnulla"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(number("SELECT COUNT(*) FROM Entrate"), 3);
}

TEST_F(PaymentDialog, NothingPayableOrABadAmountIsRefusedAndNothingIsWritten)
{
    app::DialogRequest rq;
    rq.payment.ownerPays = true;
    rq.payment.payerId = 1;
    rq.payment.payerName = kPayer;
    rq.payment.lines = {{"Rata 3", 70, "Spese ordinarie", false}};
    form->dialogContext().open(app::DialogId::TFEntrate, rq);
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(grid()->rowCount(), 0);
    EXPECT_EQ(label("LabelImporto"), "0.00");
    confirm();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(app::takeMessages(), QStringList{cashbook::emptyPaymentText()});
    QTest::mouseClick(child<QPushButton>("BtnAnnulla"), Qt::LeftButton);

    openWithDraft();
    grid()->item(0, 1)->setText("12,50");
    const QStringList told = app::takeMessages();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("\"12,50\"")) << told[0].toStdString();
    EXPECT_EQ(label("LabelImporto"), "100.00") << "the total of the valid amounts";
    confirm();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(app::takeMessages().size(), 1);
    grid()->item(0, 1)->setText("-5");
    confirm();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(app::takeMessages().join('|').contains("negativo"));
    EXPECT_EQ(number("SELECT COUNT(*) FROM Entrate"), 1);
    EXPECT_EQ(number("SELECT COUNT(*) FROM Quote WHERE ImportoPagato <> 0"), 0);
    EXPECT_FALSE(QFileInfo::exists(cashbook::receiptPath(form->workspace(), kAlfa, 10, "2024")));
}

TEST_F(PaymentDialog, TheIncomeRegisterOpensOrWritesAgainAReceipt)
{
    openWithDraft();
    child<QDateEdit>("Data")->setDate(QDate(2024, 5, 20));
    confirm();
    ASSERT_FALSE(dialog->isVisible()) << app::takeMessages().join('|').toStdString();
    // The folder is removed below: the PDF copy must be finished first.
    ASSERT_TRUE(dialog->pdfConverter().waitForIdle(240000));
    shell = platform::RecordingShell{};
    const QString path = cashbook::receiptPath(form->workspace(), kAlfa, 10, "2024");

    form->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(int(app::Tab::Entrate));
    auto* register_ = form->findChild<QTableView*>("DBGridEntrate");
    ASSERT_NE(register_, nullptr);
    store::Dataset& entrate = form->workspace().ds("ADOQueryEntrate");
    int row = -1;
    for (int r = 0; r < entrate.rowCount(); ++r)
        if (entrate.valueAt(r, "Ricevuta").toInt() == 10)
            row = r;
    ASSERT_GE(row, 0);
    const QRect cell = register_->visualRect(register_->model()->index(row, 1));

    QString asked;
    answerYes(&asked);
    doubleClick(register_, cell.center());
    EXPECT_EQ(asked, QString::fromUtf8("Vuoi aprire la ricevuta N.10 per il pagamento di D'Angelo Nicolò in data "
                                       "20/05/2024?"));
    ASSERT_EQ(shell.calls().size(), 1);
    EXPECT_EQ(shell.calls()[0].verb, "open");
    EXPECT_EQ(shell.calls()[0].path, path);

    // Deleted by hand, folder and all: the register offers to write it again.
    ASSERT_TRUE(QDir(QFileInfo(path).absolutePath()).removeRecursively());
    answerYes(&asked);
    doubleClick(register_, cell.center());
    EXPECT_TRUE(asked.startsWith("Vuoi creare la ricevuta N.10 per il pagamento di ")) << asked.toStdString();
    EXPECT_TRUE(QFileInfo::exists(path)) << app::takeMessages().join('|').toStdString();
    EXPECT_TRUE(receiptText(10).contains(QString::fromUtf8("la somma di € 150,00, versata "))) << receiptText(10).toStdString();
    ASSERT_EQ(shell.calls().size(), 2);
    EXPECT_EQ(shell.calls()[1].verb, "open");
}

TEST_F(PaymentDialog, AReceiptThatCannotBeMadeLeavesThePaymentRecordedAndSaysSo)
{
    // The window installed the shipped template at start-up; the user broke it since.
    const QString templateFile = form->workspace().paths().outputFolder() + "Ricevuta.rtf";
    ASSERT_TRUE(QFileInfo::exists(templateFile));
    QFile broken(templateFile);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("{\\rtf1\\ansi \\\\if(1)\\\\ senza fine\\par}");
    broken.close();

    openWithDraft();
    confirm();
    EXPECT_FALSE(dialog->isVisible()) << "the payment is recorded: the dialog closes";
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const QStringList told = app::takeMessages();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("Il pagamento è registrato, ma la ricevuta n.10 non è stata creata")) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains("Ricevuta.rtf"));
    EXPECT_EQ(number("SELECT COUNT(*) FROM Entrate WHERE Ricevuta = 10"), 2);
    EXPECT_EQ(number("SELECT SUM(ImportoPagato) FROM web.Quote"), 150);
    EXPECT_FALSE(QFileInfo::exists(cashbook::receiptPath(form->workspace(), kAlfa, 10, "2024")));
    EXPECT_TRUE(shell.calls().isEmpty());
}
