// The receipt document through the shipped template and the real engine, read back as text: at
// payment time and written again from the income register, with its failures told.
#include "foundation/Selection.h"
#include "cashbook/Receipt.h"
#include "documents/DefaultTemplates.h"
#include "documents/RtfReader.h"
#include "platform/Shell.h"
#include "support/Office.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace velcaris;
using namespace velcaris::cashbook;

namespace {

const QString kCondo = QString::fromUtf8("Sant'Anna - Via Cavour 3");

class Receipts : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kCondo);
        office.db().exec("UPDATE Condomini SET Comune = 'Forlì', Codice_fiscale = '91000000001' WHERE Nome = ?",
                         {kCondo});
        office.addYear(kCondo, "2024", true);
        app::chooseCondominium(office.ws(), kCondo);
        ASSERT_TRUE(documents::installDefaultTemplates(office.ws().paths().outputFolder()).failures.isEmpty());
    }

    static QString textOf(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QStringLiteral("<missing %1>").arg(path);
        return documents::rtf::plainText(f.readAll()).simplified();
    }
    PaidReceipt receipt(int number, const QString& total, QVector<ReceiptLine> lines)
    {
        return {kCondo, number, "2024", QDate(2024, 5, 20), QString::fromUtf8("D'Angelo Nicolò"),
                *store::Money::parse(total), std::move(lines)};
    }
    QString path(int number) { return receiptPath(office.ws(), kCondo, number, "2024"); }

    test::Office office;
    documents::TRtfReport report;
    platform::RecordingShell shell;
};

} // namespace

TEST_F(Receipts, APaymentsReceiptStatesEverythingAndIsPrintedOnlyWhenAsked)
{
    const ReceiptRun run = writePaymentReceipt(
        office.ws(), report,
        receipt(3, "1235.45", {{"Rata \"straordinaria\"", "1200.00", "saldo {tetto}"}, {"Rata 2", "35.45", ""}}),
        false, shell);
    EXPECT_TRUE(run.problems.isEmpty()) << run.problems.join('\n').toStdString();
    ASSERT_TRUE(run.written);
    EXPECT_EQ(run.path, office.ws().paths().outputFolder() + kCondo + "/Ricevute/Ricevuta n.3 - A.A.2024.rtf");
    const QString text = textOf(run.path);
    for (const QString& expected :
         {QString("Condominio Sant'Anna"), QString("Via Cavour 3 - Forlì"), QString("Codice fiscale 91000000001"),
          QString("RICEVUTA N. 3"), QString("del 20/05/2024 - anno amministrativo 2024"),
          QString::fromUtf8("ricevuto da D'Angelo Nicolò la somma di € 1.235,45 (euro milleduecentotrentacinque/45)"),
          QString("Rata \"straordinaria\" 1.200,00 saldo {tetto}"), QString("Rata 2 35,45"), QString("Totale 1.235,45")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains('\\')) << "no marker is left: " << text.toStdString();
    EXPECT_TRUE(shell.calls().isEmpty()) << "unticked: written, not printed";

    // Cents only: no words for the whole part; the folder deleted by hand is made again.
    ASSERT_TRUE(QDir(QFileInfo(run.path).absolutePath()).removeRecursively());
    const ReceiptRun small = writePaymentReceipt(office.ws(), report, receipt(4, "0.99", {{"Rata 1", "0.99", ""}}),
                                                 true, shell);
    ASSERT_TRUE(small.written) << small.problems.join('\n').toStdString();
    EXPECT_TRUE(textOf(small.path).contains("(euro /99)")) << textOf(small.path).toStdString();
    ASSERT_EQ(shell.calls().size(), 1);
    EXPECT_EQ(shell.calls()[0].verb, "print");
    EXPECT_EQ(shell.calls()[0].path, small.path);
}

TEST_F(Receipts, FailuresAreToldAndNameTheirCause)
{
    // No print program: the file stays and the user is told why it was not printed.
    shell.failWith("Nessun programma di stampa trovato: installare LibreOffice");
    const ReceiptRun unprinted = writePaymentReceipt(office.ws(), report, receipt(1, "10.00", {{"Rata 1", "10.00", ""}}),
                                                     true, shell);
    EXPECT_TRUE(unprinted.written);
    EXPECT_TRUE(QFileInfo::exists(unprinted.path));
    ASSERT_EQ(unprinted.problems.size(), 1);
    EXPECT_TRUE(unprinted.problems[0].contains("non è stata stampata")) << unprinted.problems[0].toStdString();
    EXPECT_TRUE(unprinted.problems[0].contains("Nessun programma di stampa"));

    // A template with a syntax error: nothing is written, the template and the fault are named.
    const QString templateFile = office.ws().paths().outputFolder() + "Ricevuta.rtf";
    QFile broken(templateFile);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("{\\rtf1\\ansi \\\\scan(while(grid1))\\\\ \\\\col1(1)\\\\ \\par}");
    broken.close();
    const ReceiptRun bad = writePaymentReceipt(office.ws(), report, receipt(2, "10.00", {{"Rata 1", "10.00", ""}}),
                                               false, shell);
    EXPECT_FALSE(bad.written);
    EXPECT_FALSE(QFileInfo::exists(bad.path));
    ASSERT_EQ(bad.problems.size(), 1);
    EXPECT_TRUE(bad.problems[0].contains("Il pagamento è registrato")) << bad.problems[0].toStdString();
    EXPECT_TRUE(bad.problems[0].contains(QDir::toNativeSeparators(templateFile)));
    EXPECT_TRUE(bad.problems[0].contains("endscan")) << bad.problems[0].toStdString();

    // A year stored by another tool with ".." in it: no folder is made outside the documents.
    PaidReceipt escaping = receipt(3, "10.00", {{"Rata 1", "10.00", ""}});
    escaping.year = "/../../../../../velcaris-fuori/x";
    const ReceiptRun outside = writePaymentReceipt(office.ws(), report, escaping, false, shell);
    EXPECT_FALSE(outside.written);
    ASSERT_EQ(outside.problems.size(), 1);
    EXPECT_TRUE(outside.problems[0].contains("uscirebbe dalla cartella dei documenti")) << outside.problems[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(office.ws().paths().appFolder() + "/../velcaris-fuori"));
    EXPECT_FALSE(QFileInfo::exists(office.ws().paths().outputFolder() + kCondo + "/Ricevute/Ricevuta n.3 - A.A."));

    // No template at all.
    ASSERT_TRUE(QFile::remove(templateFile));
    const ReceiptRun missing = writePaymentReceipt(office.ws(), report, receipt(2, "10.00", {{"Rata 1", "10.00", ""}}),
                                                   false, shell);
    EXPECT_FALSE(missing.written);
    ASSERT_EQ(missing.problems.size(), 1);
    EXPECT_TRUE(missing.problems[0].contains("manca il modello")) << missing.problems[0].toStdString();
    // The engine is given back as it was: no receipt functions, no variables.
    EXPECT_EQ(report.UDFList1.find("grid1"), nullptr);
    EXPECT_EQ(report.Variables().count(), 0);
}

TEST_F(Receipts, ARecreatedReceiptListsItsRowsByDateWithTheirSum)
{
    const qint64 payer = office.addPerson(kCondo, "D'Angelo", QString::fromUtf8("Nicolò"));
    auto income = [&](const QString& name, double amount, const QDate& day, int number, const QString& note) {
        office.db().exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, IdPersona, Nome, Importo, "
                         "MetodoPagamento, Ricevuta, Nota) VALUES (?, '2024', ?, 'Entrata', ?, ?, ?, 'Cassa', ?, ?)",
                         {kCondo, day, payer, name, amount, number, note});
    };
    income("Rata 3", 30.1, QDate(2024, 3, 5), 7, "");
    income("Rata 1", 100, QDate(2024, 3, 1), 7, "prima");
    income("Rata 2", 45.5, QDate(2024, 3, 2), 7, "");
    income("Altra", 999, QDate(2024, 3, 1), 8, "");

    const ReceiptRun run = recreateReceipt(office.ws(), report, kCondo, 7, "2024", false, shell);
    ASSERT_TRUE(run.written) << run.problems.join('\n').toStdString();
    EXPECT_TRUE(run.problems.isEmpty());
    const QString text = textOf(run.path);
    const qsizetype r1 = text.indexOf("Rata 1 100,00 prima"), r2 = text.indexOf("Rata 2 45,50"),
                    r3 = text.indexOf("Rata 3 30,10");
    EXPECT_TRUE(r1 > 0 && r1 < r2 && r2 < r3) << text.toStdString();
    EXPECT_FALSE(text.contains("Altra"));
    EXPECT_TRUE(text.contains("RICEVUTA N. 7"));
    EXPECT_TRUE(text.contains("del 01/03/2024")) << "the first row by date";
    EXPECT_TRUE(text.contains(QString::fromUtf8("ricevuto da D'Angelo Nicolò la somma di € 175,60, versata in contanti, quale")))
        << "no words and no year on a recreated receipt: " << text.toStdString();
    EXPECT_FALSE(text.contains("anno amministrativo"));
    EXPECT_FALSE(text.contains('\\')) << text.toStdString();
    ASSERT_EQ(shell.calls().size(), 1);
    EXPECT_EQ(shell.calls()[0].verb, "open");

    const ReceiptRun none = recreateReceipt(office.ws(), report, kCondo, 9, "2024", false, shell);
    EXPECT_FALSE(none.written);
    EXPECT_EQ(none.problems.size(), 1);

    EXPECT_EQ(receiptQuestion(true, "7", "Rossi Mario", "01/03/2024"),
              "Vuoi aprire la ricevuta N.7 per il pagamento di Rossi Mario in data 01/03/2024?");
    EXPECT_EQ(receiptQuestion(false, "7", "Rossi Mario", "01/03/2024"),
              "Vuoi creare la ricevuta N.7 per il pagamento di Rossi Mario in data 01/03/2024?");
}
