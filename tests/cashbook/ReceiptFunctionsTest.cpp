#include "cashbook/AmountInWords.h"
#include "cashbook/ReceiptFunctions.h"
#include "../documents/TemplateHelpers.h"
#include "platform/Shell.h"
#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace velcaris::cashbook;
using namespace velcaris::documents;
using namespace velcaris::test;

namespace {

// The payment grid's data rows (its title row is not a row of the source).
MemoryRecordSource paymentGrid()
{
    return MemoryRecordSource({"Quota", "Importo", "Tipologia", "Nota"},
                              {{QStringLiteral("Rata 1"), QStringLiteral("100.00"), QStringLiteral("Ordinaria"), QString()},
                               {QStringLiteral("Rata 2"), QStringLiteral("12.50"), QStringLiteral("Ordinaria"), QString::fromUtf8("acconto {parziale}")},
                               {QStringLiteral("Pulizie"), QStringLiteral("7.05"), QStringLiteral("Straordinaria"), QStringLiteral("saldo")}});
}

// Income rows of one receipt, in date order.
MemoryRecordSource incomeRows()
{
    return MemoryRecordSource({"Nome", "Importo", "Nota", "Data"},
                              {{QStringLiteral("Rata 1"), 100.0, QVariant(), QDate(2024, 3, 1)},
                               {QStringLiteral("Rata 2"), 12.5, QString::fromUtf8("acconto {parziale}"), QDate(2024, 3, 2)},
                               {QStringLiteral("Pulizie"), QStringLiteral("7.05"), QStringLiteral("saldo"), QDate(2024, 3, 3)}});
}

// The receipt's line block as a word processor saves it: \par inside, markers split by runs.
const QByteArray kReceiptLines =
    "{\\rtlch\\fcs1 \\\\scan(}{\\rtlch\\fcs1 while(grid1))\\\\}\\par\r\n"
    "\\\\col1(1)\\\\\\tab \\\\col2(1)\\\\\\tab {\\i \\\\col3(1)\\\\}\\\\incrow1\\\\\\par\r\n"
    "{\\b \\\\}{\\b0 endscan\\\\}\\par\r\n"
    "Totale \\\\totale\\\\ (\\\\lettere\\\\)";

} // namespace

TEST(ReceiptFunctions, Grid1CountsTheLinesOfEitherSource)
{
    MemoryRecordSource grid = paymentGrid();
    MemoryRecordSource income = incomeRows();
    struct Case {
        ReceiptSource::Kind kind;
        RecordSource* rows;
    } sources[] = {{ReceiptSource::Kind::PaymentGrid, &grid}, {ReceiptSource::Kind::IncomeRegister, &income}};
    for (const Case& s : sources) {
        TUDFList list;
        addReceiptFunctions(list, [&] { return ReceiptSource{s.kind, s.rows}; });
        ASSERT_EQ(list.count(), 5);
        const TUDF* grid1 = list.find(QStringLiteral("GRID1"));
        ASSERT_NE(grid1, nullptr);
        EXPECT_EQ(grid1->ArgMaxCount, 0);
        EXPECT_EQ(list.find(QStringLiteral("col2"))->ArgMinCount, 1);
        // A grid with a title row and three lines: true for 1, 2, 3, false for 4.
        const bool expected[] = {false, true, true, true, false};
        for (int n = 0; n <= 4; ++n) {
            setReceiptLine(n);
            TReportVariable res;
            grid1->OnCalculate({}, res);
            EXPECT_EQ(res.type(), TReportVariable::Type::Bool);
            EXPECT_EQ(res.toBool(), expected[n]) << n;
        }
    }
}

TEST(ReceiptFunctions, ReceiptLinesFromThePaymentGridAndFromTheRegister)
{
    MemoryRecordSource grid = paymentGrid();
    MemoryRecordSource income = incomeRows();
    struct Case {
        ReceiptSource::Kind kind;
        RecordSource* rows;
    } sources[] = {{ReceiptSource::Kind::PaymentGrid, &grid}, {ReceiptSource::Kind::IncomeRegister, &income}};
    for (const Case& s : sources) {
        TRtfReport r;
        addReceiptFunctions(r.UDFList1, [&] { return ReceiptSource{s.kind, s.rows}; });
        r.AddVariable(QStringLiteral("totale"), QStringLiteral("119.55"));
        r.AddVariable(QStringLiteral("lettere"), QStringLiteral("centodiciannove/55"));
        s.rows->first();
        setReceiptLine(1);
        EXPECT_EQ(mergeText(r, kReceiptLines),
                  QString::fromUtf8("Rata 1\t100.00\t\nRata 2\t12.50\tacconto {parziale}\nPulizie\t7.05\tsaldo\n"
                                    "Totale 119.55 (centodiciannove/55)"));
        EXPECT_EQ(receiptLine(), 4);
    }
}

TEST(ReceiptFunctions, AmountsFromTheRegisterHaveTwoDecimals)
{
    MemoryRecordSource income({"Nome", "Importo", "Nota"},
                              {{QStringLiteral("a"), 12.5, QVariant()}, {QStringLiteral("b"), QStringLiteral("3"), QVariant()},
                               {QStringLiteral("c"), 2.675, QVariant()}, {QStringLiteral("d"), -0.001, QVariant()}});
    TUDFList list;
    addReceiptFunctions(list, [&] { return ReceiptSource{ReceiptSource::Kind::IncomeRegister, &income}; });
    const TUDF* col2 = list.find(QStringLiteral("col2"));
    const char* expected[] = {"12.50", "3.00", "2.68", "0.00"};
    income.first();
    for (const char* e : expected) {
        TReportVariable res;
        col2->OnCalculate({TReportVariable::fromNumber(1)}, res);
        EXPECT_EQ(res.toText(), QString::fromLatin1(e));
        income.next();
    }
    // Past the last row: empty text, not a failure.
    TReportVariable res;
    list.find(QStringLiteral("col1"))->OnCalculate({TReportVariable::fromNumber(1)}, res);
    EXPECT_EQ(res.toText(), QString());
}

TEST(ReceiptFunctions, NoSourceMeansNoLines)
{
    TRtfReport r;
    addReceiptFunctions(r.UDFList1, [] { return ReceiptSource{}; });
    setReceiptLine(1);
    EXPECT_EQ(mergeText(r, "x\\\\scan(while(grid1))\\\\\\\\col1(0)\\\\\\\\incrow1\\\\\\\\endscan\\\\y"), QStringLiteral("xy"));
}

namespace {

const QByteArray kReceiptTemplate = wordDocument(
    "{\\b \\\\condominio\\\\}\\par\r\n"
    "\\\\ind_condominio\\\\ - \\\\citta_cond\\\\ - C.F. \\\\cod_fisc\\\\\\par\r\n"
    "Ricevuta n. {\\rtlch \\\\numero_}{\\rtlch ricevuta\\\\} del \\\\data\\\\ - A.A. \\\\anno\\\\\\par\r\n"
    "Ricevo da {\\b \\\\persona\\\\} la somma di \\'80 \\\\totale\\\\ (\\\\lettere\\\\)\\par\r\n"
    "quale pagamento delle seguenti quote:\\par\r\n"
    "\\\\scan(while(grid1))\\\\\\par\r\n"
    "\\\\col1(0)\\\\\\tab \\\\col2(0)\\\\\\tab \\\\col3(0)\\\\\\\\incrow1\\\\\\par\r\n"
    "\\\\endscan\\\\\\par\r\n"
    "Firma");

QString fileText(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return visible(f.readAll());
}

} // namespace

TEST(Receipt, AtPaymentTimeFromThePaymentGrid)
{
    TempDir dir;
    QFile t(dir.file("Ricevuta.rtf"));
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write(kReceiptTemplate);
    t.close();
    MemoryRecordSource grid = paymentGrid();
    TRtfReport r;
    addReceiptFunctions(r.UDFList1, [&] { return ReceiptSource{ReceiptSource::Kind::PaymentGrid, &grid}; });

    setReceiptLine(1);
    r.ClearVariables();
    r.SetInFile(dir.file("Ricevuta.rtf"));
    r.SetOutFile(dir.file("Ricevuta n.7 - A.A.2024.rtf"));
    const QStringList names = {"anno", "condominio", "ind_condominio", "citta_cond", "cod_fisc",
                               "numero_ricevuta", "data", "persona", "totale", "lettere"};
    const QStringList values = {"2024", "Aurora", "Via Roma 1", QString::fromUtf8("Forlì"), "80012345678",
                                "7", "07/03/2024", "Rossi Mario", "119.55", receiptTotalInWords("119.55")};
    for (int i = 0; i < names.size(); ++i)
        r.AddVariable(names[i], values[i]);
    r.Merge();
    for (const QString& n : names)
        r.RemoveVariable(n);
    EXPECT_EQ(r.Variables().count(), 0);
    EXPECT_EQ(fileText(dir.file("Ricevuta n.7 - A.A.2024.rtf")),
              QString::fromUtf8("Aurora\nVia Roma 1 - Forlì - C.F. 80012345678\n"
                                "Ricevuta n. 7 del 07/03/2024 - A.A. 2024\n"
                                "Ricevo da Rossi Mario la somma di € 119.55 (centodiciannove/55)\n"
                                "quale pagamento delle seguenti quote:\n"
                                "Rata 1\t100.00\t\nRata 2\t12.50\tacconto {parziale}\nPulizie\t7.05\tsaldo\n"
                                "Firma"));
}

TEST(Receipt, RecreatedFromTheRegisterKeepsTheMarkersItDoesNotSet)
{
    TempDir dir;
    QFile t(dir.file("Ricevuta.rtf"));
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write(kReceiptTemplate);
    t.close();
    MemoryRecordSource income = incomeRows();
    velcaris::platform::RecordingShell shell;
    TRtfReport r(&shell);
    addReceiptFunctions(r.UDFList1, [&] { return ReceiptSource{ReceiptSource::Kind::IncomeRegister, &income}; });
    setReceiptLine(1);
    income.first();
    r.SetInFile(dir.file("Ricevuta.rtf"));
    r.SetOutFile(dir.file("Ricevuta n.7 - A.A.2024.rtf"));
    r.AddVariable("condominio", "Aurora");
    r.AddVariable("ind_condominio", "Via Roma 1");
    r.AddVariable("citta_cond", "Cesena");
    r.AddVariable("cod_fisc", "80012345678");
    r.AddVariable("numero_ricevuta", "7");
    r.AddVariable("data", "01/03/2024");
    r.AddVariable("persona", "Rossi Mario");
    r.AddVariable("totale", "119.55");
    r.MergeAndOpen({}, 5);
    ASSERT_EQ(shell.calls().size(), 1);
    EXPECT_EQ(fileText(shell.calls()[0].path),
              QString::fromUtf8("Aurora\nVia Roma 1 - Cesena - C.F. 80012345678\n"
                                "Ricevuta n. 7 del 01/03/2024 - A.A. \\anno\\\n"
                                "Ricevo da Rossi Mario la somma di € 119.55 (\\lettere\\)\n"
                                "quale pagamento delle seguenti quote:\n"
                                "Rata 1\t100.00\t\nRata 2\t12.50\tacconto {parziale}\nPulizie\t7.05\tsaldo\n"
                                "Firma"));
}

TEST(Receipt, LinesAsRowsOfAWordTable)
{
    // The block markers stand in the paragraphs before and after the table; the row, with
    // the properties Word writes twice, is repeated once per line.
    const QByteArray row =
        "\\trowd \\irow0\\irowband0\\ltrrow\\ts11\\trgaph108\\trleft-108 \\cellx3000\\cellx6000\\cellx9000\r\n"
        "\\pard\\plain \\ltrpar\\ql \\li0\\ri0\\widctlpar\\intbl {\\rtlch\\fcs1 \\\\col1(0)\\\\}\\cell "
        "{\\rtlch\\fcs1 \\\\col2(0)\\\\}\\cell {\\rtlch\\fcs1 \\\\col3(0)\\\\\\\\incrow1\\\\}\\cell \r\n"
        "\\pard\\plain \\ltrpar\\ql \\widctlpar\\intbl {\\rtlch\\fcs1 \\trowd \\irow0\\irowband0\\ltrrow\\ts11"
        "\\trgaph108\\trleft-108 \\cellx3000\\cellx6000\\cellx9000\\row }\r\n";
    const QByteArray body = "{\\rtlch\\fcs1 \\\\scan(while(grid1))\\\\}\\par\r\n" + row
                          + "\\pard\\plain \\ltrpar\\ql {\\rtlch\\fcs1 \\\\endscan\\\\}\\par\r\nTotale";
    MemoryRecordSource grid = paymentGrid();
    TRtfReport r;
    addReceiptFunctions(r.UDFList1, [&] { return ReceiptSource{ReceiptSource::Kind::PaymentGrid, &grid}; });
    setReceiptLine(1);
    const QByteArray out = merge(r, wordDocument(body));
    EXPECT_EQ(out.count("\\row "), 3);
    EXPECT_EQ(out.count("\\trowd "), 6);
    EXPECT_EQ(visible(out), QString::fromUtf8("Rata 1\n100.00\n\n\nRata 2\n12.50\nacconto {parziale}\n\n"
                                              "Pulizie\n7.05\nsaldo\n\nTotale"));
}
