#include "cashbook/ReceiptFunctions.h"
#include "../documents/TemplateHelpers.h"

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
