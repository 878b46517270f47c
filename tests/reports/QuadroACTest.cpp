// The Quadro AC: the threshold, the suppliers with withholding left out, the grid's layout, a
// condominium name with a double quote, the year typed, and the workbook read back.
#include "TaxFixture.h"
#include "XlsxRead.h"
#include "reports/QuadroAC.h"

#include <QFileInfo>

using namespace velcaris;
using velcaris::test::Expense;
using velcaris::test::kCondominio;
using velcaris::test::XlsxBook;

namespace {

class QuadroAC : public test::TaxFixture {};

QStringList supplierNames(const reports::QuadroAC& r)
{
    QStringList out;
    for (int row = 8; row < r.grid.size(); row += 7)
        out << r.grid[row][1];
    return out;
}

} // namespace

TEST_F(QuadroAC, TheThresholdAndTheWithholdingDecideWhoIsReported)
{
    const qint64 exact = addSupplier("Idraulica \"La Goccia\"");
    const qint64 below = addSupplier("Sotto");
    const qint64 professional = addSupplier("D'Amico", "Luca");
    const qint64 otherYear = addSupplier("Anno prima");
    // 256.18 in two invoices of the year: reported. 256.17: not.
    addExpense({exact, 100.09, QDate(2024, 2, 1)});
    addExpense({exact, 156.09, QDate(2024, 11, 30)});
    addExpense({below, 256.17, QDate(2024, 5, 1)});
    // One payment of the year with a tax code keeps the supplier out, whatever its total.
    addExpense({professional, 5000, QDate(2024, 3, 1)});
    addExpense({professional, 100, QDate(2024, 4, 1), 20, "1040"});
    // Paid in 2023 (another administrative year): not in 2024's report, in 2023's.
    addExpense({otherYear, 900, QDate(2023, 12, 31), 0, {}, "2023"});

    const reports::QuadroAC r2024 = reports::buildQuadroAC(office.ws(), "2024");
    ASSERT_TRUE(r2024.outcome.done);
    EXPECT_EQ(supplierNames(r2024), QStringList{"Idraulica \"La Goccia\""});
    EXPECT_EQ(r2024.grid[8][3], "256.18");

    const reports::QuadroAC r2023 = reports::buildQuadroAC(office.ws(), "2023");
    EXPECT_EQ(supplierNames(r2023), QStringList{"Anno prima"});
}

TEST_F(QuadroAC, TwoSuppliersFillTwentyTwoRowsUnderTheCondominium)
{
    const qint64 a = addSupplier("Verdi", "Anna");
    const qint64 b = addSupplier("Bianchi");
    addExpense({a, 300, QDate(2024, 1, 10)});
    addExpense({b, 1250, QDate(2024, 6, 10)});
    const reports::QuadroAC r = reports::buildQuadroAC(office.ws(), "2024");
    ASSERT_EQ(r.grid.size(), 22);
    EXPECT_EQ(r.suppliers, 2);
    for (const QStringList& row : r.grid)
        ASSERT_EQ(row.size(), 4);
    EXPECT_EQ(r.grid[0], (QStringList{kCondominio, "", "92012345678", ""}));
    EXPECT_EQ(r.grid[1], (QStringList{"Nome:", "Il \"Gelso\" d'Oro", "Sezione Urbana:", "A"}));
    EXPECT_EQ(r.grid[2], (QStringList{"Indirizzo:", QStringLiteral("Via Libertà 3"), "Foglio:", "12"}));
    EXPECT_EQ(r.grid[3], (QStringList{"Comune:", QStringLiteral("Forlì"), "Particella:", "345"}));
    EXPECT_EQ(r.grid[4], (QStringList{"Codice Fiscale:", "92012345678", "Subalterno:", "6"}));
    EXPECT_EQ(r.grid[5], (QStringList{"", "", "Zona censuaria:", "1"}));
    EXPECT_EQ(r.grid[6], (QStringList{"", "", "Microzona:", "2"}));
    EXPECT_EQ(r.grid[7], QStringList(4));
    EXPECT_EQ(r.grid[8], (QStringList{"Fornitore:", "Verdi Anna", "Importo lordo corrisposto:", "300.00"}));
    EXPECT_EQ(r.grid[9], (QStringList{"Codice Fiscale:", "CFVERD", "", ""}));
    EXPECT_EQ(r.grid[10][0], "Partita IVA:");
    EXPECT_EQ(r.grid[11], (QStringList{"Comune:", QStringLiteral("Forlì"), "", ""}));
    EXPECT_EQ(r.grid[12], (QStringList{"C.A.P.:", "47121", "", ""}));
    EXPECT_EQ(r.grid[13], (QStringList{"Indirizzo:", "Via Verdi 2", "", ""}));
    EXPECT_EQ(r.grid[14], QStringList(4));
    // The second block starts at row 15.
    EXPECT_EQ(r.grid[15], (QStringList{"Fornitore:", "Bianchi", "Importo lordo corrisposto:", "1250.00"}));
    EXPECT_EQ(r.grid[21], QStringList(4));
}

TEST_F(QuadroAC, AYearWithoutSuppliersKeepsTheLabelsAndAMissingYearIsAsked)
{
    const reports::QuadroAC r = reports::buildQuadroAC(office.ws(), "2030");
    ASSERT_TRUE(r.outcome.done);
    ASSERT_EQ(r.grid.size(), 8);
    EXPECT_EQ(r.grid[1], (QStringList{"Nome:", "Il \"Gelso\" d'Oro", "Sezione Urbana:", ""}));
    EXPECT_EQ(r.grid[3], (QStringList{"Comune:", "", "Particella:", ""}));

    for (const char* typed : {"", "  ", "20x4", "12345"}) {
        const reports::QuadroAC missing = reports::buildQuadroAC(office.ws(), typed);
        EXPECT_FALSE(missing.outcome.done) << typed;
        EXPECT_EQ(missing.outcome.texts(), QStringList{"Inserire l'anno di riferimento"});
        EXPECT_TRUE(missing.grid.isEmpty());
    }
}

TEST_F(QuadroAC, TheGridIsSavedAsAWorkbookInTheCondominiumsFolder)
{
    addExpense({addSupplier("Verdi", "Anna"), 300, QDate(2024, 1, 10)});
    addExpense({addSupplier("Bianchi"), 1250, QDate(2024, 6, 10)});
    const reports::QuadroAC r = reports::buildQuadroAC(office.ws(), "2024");
    const app::Outcome saved = reports::saveQuadroAC(office.ws(), r.grid);
    ASSERT_TRUE(saved.done) << saved.texts().join('\n').toStdString();
    EXPECT_EQ(saved.texts(),
              QStringList{QStringLiteral("Il file è stato creato con successo nella sottocartella \"Output\" del condominio")});
    const QString path = reports::quadroACPath(office.ws());
    EXPECT_EQ(path, office.ws().paths().outputFolder() + kCondominio + "/" + kCondominio + " - Quadro AC.xlsx");
    const XlsxBook book(path);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.sheetNames, QStringList{"Quadro AC"});
    // No header row: the grid from A1; the last filled cell is in row 21 (the blank rows are empty).
    EXPECT_EQ(book.text("A1"), kCondominio);
    EXPECT_EQ(book.text("C1"), "92012345678");
    EXPECT_EQ(book.at("C1").type, test::XlsxCell::Type::Text); // a fiscal code of digits stays text
    EXPECT_EQ(book.text("A16"), "Fornitore:");
    EXPECT_EQ(book.text("B16"), "Bianchi");
    EXPECT_EQ(book.at("D16").type, test::XlsxCell::Type::Number);
    EXPECT_DOUBLE_EQ(book.at("D16").number, 1250);
    EXPECT_EQ(book.at("D16").format, "0.00");
    EXPECT_EQ(book.columns, 4);
    EXPECT_EQ(book.rows, 21);

    // Saved again over the first: replaced.
    ASSERT_TRUE(reports::saveQuadroAC(office.ws(), {{"solo"}}).done);
    EXPECT_EQ(XlsxBook(path).rows, 1);
}
