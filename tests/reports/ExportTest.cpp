// Registers handed to the spreadsheet: the workbook read back cell by cell (header, values,
// types, formats, sheet name), the clipboard text, the table export, an empty register and a
// folder that cannot be written.
#include "XlsxRead.h"
#include "window/GridLayout.h"
#include "foundation/Selection.h"
#include "reports/RegisterExport.h"
#include "support/Office.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace velcaris;
using velcaris::test::XlsxBook;
using velcaris::test::XlsxCell;

namespace {

// Quotes, an apostrophe and accents: the name reaches the folder and the file intact.
const QString kCond = QStringLiteral("L'Àncora \"Blu\" - Via Città 1");
const QDateTime kWhen(QDate(2024, 6, 15), QTime(10, 30, 5));

class Export : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kCond);
        office.addYear(kCond, QStringLiteral("2024"), true);
        person = office.addPerson(kCond, QStringLiteral("D'Angelo"), QStringLiteral("Niccolò"));
        app::chooseCondominium(office.ws(), kCond);
    }
    void addIncome(const QDate& day, double amount, const QString& note, int receipt)
    {
        office.db().exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, IdPersona, Nome, Importo, "
                         "MetodoPagamento, Tipologia, Ricevuta, Nota) VALUES (?, '2024', ?, 'Entrata', ?, 'Rata 1', ?, "
                         "'Cassa', 'Spese ordinarie', ?, ?)",
                         {kCond, day, person, amount, receipt, note});
    }
    // The Entrate grid's visible fields, as the window would pass them.
    QStringList entrateFields()
    {
        store::Dataset& ds = office.ws().ds("ADOQueryEntrate");
        ds.requery();
        return app::exportedFields(app::gridLayouts(app::Tab::Entrate, {}, false).first(), ds.fieldNames());
    }
    reports::ExportResult exportEntrate()
    {
        return reports::exportRegister(office.ws(), {QStringLiteral("Entrate"), QStringLiteral("ADOQueryEntrate"),
                                                     entrateFields(), kWhen});
    }

    test::Office office;
    qint64 person = 0;
};

} // namespace

TEST_F(Export, TheIncomeRegisterBecomesATypedSheetNamedAfterTheTab)
{
    addIncome(QDate(2024, 3, 5), 150.5, QStringLiteral("pagato \"in contanti\""), 7);
    addIncome(QDate(2024, 1, 31), 1234.567, QString(), 8);
    const reports::ExportResult r = exportEntrate();
    ASSERT_TRUE(r.outcome.done) << r.outcome.texts().join('\n').toStdString();

    // In the condominium's folder, named by what and when.
    EXPECT_EQ(r.file, office.ws().paths().outputFolder() + kCond + "/Entrate - 15.06.2024 10.30.05.xlsx");
    ASSERT_TRUE(QFileInfo::exists(r.file));
    const XlsxBook book(r.file);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.sheetNames, QStringList{"Entrate"});

    // The fields' own names, hidden columns (Id, IdPersona, AA) left out.
    const QStringList header = book.rowTexts(1);
    EXPECT_EQ(header, (QStringList{"Condominio", "Data", "TipoMovimento", "Persona", "Nome", "Importo",
                                   "MetodoPagamento", "Tipologia", "Ricevuta", "Nota"}));
    EXPECT_EQ(book.rows, 3);

    // Sorted as the register: the latest payment first.
    EXPECT_EQ(book.text("A2"), kCond);
    const XlsxCell date = book.at("B2");
    EXPECT_EQ(date.type, XlsxCell::Type::Number);
    EXPECT_EQ(date.number, XlsxBook::serial(QDate(2024, 3, 5)));
    EXPECT_EQ(date.format, "dd/mm/yyyy");
    EXPECT_EQ(book.text("C2"), "Entrata");
    EXPECT_EQ(book.text("D2"), QStringLiteral("D'Angelo Niccolò"));
    const XlsxCell amount = book.at("F2");
    EXPECT_EQ(amount.type, XlsxCell::Type::Number);
    EXPECT_DOUBLE_EQ(amount.number, 150.5);
    EXPECT_EQ(amount.format, "0.00");
    EXPECT_DOUBLE_EQ(book.at("F3").number, 1234.567); // the value kept whole, shown with two decimals
    const XlsxCell receipt = book.at("I2");
    EXPECT_EQ(receipt.type, XlsxCell::Type::Number);
    EXPECT_EQ(receipt.number, 7);
    EXPECT_EQ(receipt.format, "");
    EXPECT_EQ(book.at("J2").text, "pagato \"in contanti\"");
    EXPECT_EQ(book.at("J3").type, XlsxCell::Type::Missing); // no note: an empty cell

    // The same rows on the clipboard: each value followed by a TAB, one line per row.
    const QStringList lines = r.clipboard.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], header.join('\t') + '\t');
    EXPECT_TRUE(lines[1].startsWith(kCond + "\t05/03/2024\tEntrata\t")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains("\t150.50\t")) << lines[1].toStdString();
}

TEST_F(Export, AnEmptyRegisterGivesTheHeaderAlone)
{
    const reports::ExportResult r = exportEntrate();
    ASSERT_TRUE(r.outcome.done);
    const XlsxBook book(r.file);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.rows, 1);
    EXPECT_EQ(book.text("C1"), "TipoMovimento");
    EXPECT_EQ(r.clipboard.count('\n'), 0);
}

TEST_F(Export, TheCondominiumTableLeavesOutTheLongTexts)
{
    office.db().exec("UPDATE Condomini SET Comune = 'Forlì', Memo = 'riservato', Tabelle_millesimali = 'A;B'");
    office.addCondominium(QStringLiteral("Beta - Via Po 2"));
    // No condominium chosen: every one is listed, and the workbook goes into the Output folder.
    app::clearCondominium(office.ws(), QString());
    store::Dataset& condomini = office.ws().ds("ADOTableCondomini");
    condomini.requery();
    condomini.first();
    condomini.next();
    const int row = condomini.recNo();
    const reports::ExportResult r = reports::exportRegister(
        office.ws(), {QStringLiteral("Condomini"), QStringLiteral("ADOTableCondomini"), {}, kWhen});
    ASSERT_TRUE(r.outcome.done);
    EXPECT_EQ(condomini.recNo(), row); // the register stays where it was
    EXPECT_EQ(r.file, office.ws().paths().outputFolder() + "Condomini - 15.06.2024 10.30.05.xlsx");
    const XlsxBook book(r.file);
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.sheetNames, QStringList{"Condomini"});
    const QStringList header = book.rowTexts(1);
    EXPECT_EQ(header.first(), "Nome");
    EXPECT_TRUE(header.contains("Microzona"));
    EXPECT_FALSE(header.contains("Memo"));
    EXPECT_FALSE(header.contains("Tabelle_millesimali"));
    EXPECT_EQ(book.rows, 3);
    EXPECT_FALSE(r.clipboard.contains("riservato"));
    EXPECT_TRUE(r.clipboard.contains(QStringLiteral("Forlì")));
}

TEST_F(Export, AFolderThatCannotBeWrittenIsSaidAndTheRowsStayOnTheClipboard)
{
    addIncome(QDate(2024, 3, 5), 10, "riga\tcon tab\ne a capo", 1);
    // The condominium's folder is taken by a file: nothing can be written there.
    QDir().mkpath(office.ws().paths().outputFolder());
    QFile blocker(office.ws().paths().outputFolder() + kCond);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("non una cartella");
    blocker.close();

    const reports::ExportResult r = exportEntrate();
    EXPECT_FALSE(r.outcome.done);
    EXPECT_TRUE(r.file.isEmpty());
    ASSERT_EQ(r.outcome.messages.size(), 1);
    EXPECT_EQ(r.outcome.messages[0].kind, app::MessageKind::Error);
    EXPECT_TRUE(r.outcome.messages[0].text.contains(kCond)) << r.outcome.messages[0].text.toStdString();
    EXPECT_TRUE(r.outcome.messages[0].text.contains("appunti"));
    // A TAB or a line break inside a value does not split its row.
    const QStringList lines = r.clipboard.split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].contains("riga con tab e a capo\t"));
    ASSERT_TRUE(blocker.open(QIODevice::ReadOnly));
    EXPECT_EQ(blocker.readAll(), "non una cartella");
}

TEST(Workbook, AReplacedWorkbookIsWholeAndSheetNamesAreMadeAcceptable)
{
    test::TempDir dir;
    const QString path = dir.file("out.xlsx");
    reports::Sheet first{"Primo", {"A"}, {{reports::Cell::ofText("vecchio")}}};
    ASSERT_EQ(reports::writeWorkbook(path, first), "");
    reports::Sheet second{"Conti: 2024/2025 [bozza]", {"A"}, {{reports::Cell::ofText("nuovo")}}};
    ASSERT_EQ(reports::writeWorkbook(path, second), "");
    const XlsxBook book(path);
    EXPECT_EQ(book.sheetNames, QStringList{"Conti_ 2024_2025 _bozza_"});
    EXPECT_EQ(book.text("A2"), "nuovo");
    // No temporary file left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.xlsx"});
    EXPECT_EQ(reports::sheetName(QString(40, 'x')).size(), 31);
    EXPECT_EQ(reports::sheetName("''"), "Foglio1");
}
