// The monthly withholding payments: per month of reference and per tax code, the due date on the
// 16th of the next month, the interest of a late payment, and the sheet read back.
#include "TaxFixture.h"
#include "XlsxRead.h"
#include "reports/F24Summary.h"

using namespace velcaris;
using velcaris::test::Expense;
using velcaris::test::XlsxBook;
using velcaris::test::XlsxCell;

namespace {

class F24 : public test::TaxFixture {
protected:
    void SetUp() override
    {
        TaxFixture::SetUp();
        const qint64 architect = addSupplier("Neri", "Carlo");
        const qint64 builder = addSupplier("Edil \"Sud\"");
        // January: two professionals' withholdings under 1040 and a contractor's under 1019.
        addExpense({architect, 1220, QDate(2024, 1, 10), 200, "1040", "2024", QDate(2024, 1, 1), QDate(2024, 2, 16)});
        addExpense({architect, 610, QDate(2024, 1, 25), 100.1, "1040", "2024", QDate(2024, 1, 1), QDate(2024, 2, 16)});
        addExpense({builder, 5000, QDate(2024, 1, 30), 160, "1019", "2024", QDate(2024, 1, 1), QDate(2024, 2, 15)});
        // March: paid late, with interest already recorded.
        addExpense({architect, 610, QDate(2024, 3, 5), 100, "1040", "2024", QDate(2024, 3, 1), QDate(2024, 5, 20), 1.37,
                    true});
        // December: due in January of the next year, not paid yet.
        addExpense({builder, 2500, QDate(2024, 12, 20), 80, "1019", "2024", QDate(2024, 12, 1)});
        // Not counted: another year, and an expense without withholding.
        addExpense({architect, 610, QDate(2023, 12, 5), 100, "1040", "2023", QDate(2023, 12, 1), QDate(2024, 1, 16)});
        addExpense({builder, 900, QDate(2024, 6, 5)});
    }
};

} // namespace

TEST_F(F24, PaymentsPerMonthAndCodeWithTheirDueDatesAndTheLateOne)
{
    const reports::F24Summary s = reports::f24Summary(office.ws(), "2024");
    ASSERT_TRUE(s.outcome.done);
    ASSERT_EQ(s.lines.size(), 4);
    const reports::F24Line& jan1019 = s.lines[0];
    EXPECT_EQ(jan1019.month, QDate(2024, 1, 1));
    EXPECT_EQ(jan1019.code, "1019");
    EXPECT_DOUBLE_EQ(jan1019.withheld, 160);
    EXPECT_EQ(jan1019.due, QDate(2024, 2, 16));
    EXPECT_FALSE(jan1019.late);
    const reports::F24Line& jan1040 = s.lines[1];
    EXPECT_EQ(jan1040.code, "1040");
    EXPECT_DOUBLE_EQ(jan1040.withheld, 300.1);
    EXPECT_EQ(jan1040.paidOn, QDate(2024, 2, 16)); // on the due date: in time
    EXPECT_FALSE(jan1040.late);
    const reports::F24Line& mar = s.lines[2];
    EXPECT_EQ(mar.month, QDate(2024, 3, 1));
    EXPECT_EQ(mar.due, QDate(2024, 4, 16));
    EXPECT_TRUE(mar.late);
    EXPECT_DOUBLE_EQ(mar.interest, 1.37);
    const reports::F24Line& dec = s.lines[3];
    EXPECT_EQ(dec.due, QDate(2025, 1, 16));
    EXPECT_FALSE(dec.paidOn.isValid());

    EXPECT_EQ(reports::f24DueDate(QDate(2024, 1, 31)), QDate(2024, 2, 16));
    EXPECT_TRUE(reports::f24Summary(office.ws(), "2022").lines.isEmpty());
    EXPECT_EQ(reports::f24Summary(office.ws(), "").outcome.texts(), QStringList{"Inserire l'anno di riferimento"});
}

TEST_F(F24, TheSummaryIsExportedWithTotals)
{
    const reports::F24Summary s = reports::f24Summary(office.ws(), "2024");
    const QString path = reports::f24Path(office.ws(), "2024");
    EXPECT_TRUE(path.endsWith(test::kCondominio + "/" + test::kCondominio + " - F24 2024.xlsx")) << path.toStdString();
    ASSERT_EQ(reports::writeWorkbook(path, reports::f24Sheet(s.lines)), "");
    const XlsxBook book(path);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.sheetNames, QStringList{"F24"});
    EXPECT_EQ(book.rowTexts(1), (QStringList{"Mese", "Codice tributo", "Ritenute", "Scadenza", "Versato il",
                                             "Interessi", "Totale", "In ritardo"}));
    EXPECT_EQ(book.rows, 6);
    EXPECT_EQ(book.text("A4"), "03/2024");
    EXPECT_EQ(book.text("B4"), "1040");
    EXPECT_EQ(book.at("B4").type, XlsxCell::Type::Text); // a tax code stays text
    EXPECT_EQ(book.at("D4").number, XlsxBook::serial(QDate(2024, 4, 16)));
    EXPECT_EQ(book.at("D4").format, "dd/mm/yyyy");
    EXPECT_DOUBLE_EQ(book.at("G4").number, 101.37);
    EXPECT_EQ(book.at("G4").format, "0.00");
    EXPECT_EQ(book.text("H4"), QStringLiteral("Sì"));
    EXPECT_EQ(book.at("E5").type, XlsxCell::Type::Missing); // December not paid yet
    EXPECT_EQ(book.text("A6"), "Totale");
    EXPECT_DOUBLE_EQ(book.at("C6").number, 640.1);
    EXPECT_DOUBLE_EQ(book.at("F6").number, 1.37);
    EXPECT_DOUBLE_EQ(book.at("G6").number, 641.47);
}
