// The withholding certificates: total in figures and in words, the supplier's rows of the year,
// the shipped template, a failing run, the choice of the suppliers with withholding and the 770
// selection.
#include "TaxFixture.h"
#include "documents/DefaultTemplates.h"
#include "documents/RtfReader.h"
#include "platform/Shell.h"
#include "reports/Certificates.h"

#include <QDir>
#include <QFile>

using namespace velcaris;
using velcaris::test::Expense;
using velcaris::test::kCondominio;

namespace {

class Certificates : public test::TaxFixture {
protected:
    void SetUp() override
    {
        TaxFixture::SetUp();
        report.SetShell(&shell);
        architect = addSupplier("Neri \"Studio\"", "Carlo");
        plumber = addSupplier("D'Amico");
    }
    void writeTemplate(const QByteArray& body)
    {
        QDir().mkpath(office.ws().paths().outputFolder());
        QFile f(office.ws().paths().outputFolder() + "Certificazione.rtf");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard " + body + "\\par}");
    }
    static QString textOf(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QStringLiteral("<missing %1>").arg(path);
        return documents::rtf::plainText(f.readAll()).trimmed();
    }
    reports::CertificateRun run(const QString& year, QVector<reports::CertificateEntry> entries)
    {
        return reports::produceCertificates(office.ws(), report, {year, entries, QDate(2025, 2, 20)});
    }
    // Two withholdings of the year (100 and 50.5), one of another year, one of another condominium.
    void addWithholdings()
    {
        addExpense({architect, 650, QDate(2024, 5, 10), 50.5, "1040", "2024", QDate(2024, 5, 1), QDate(2024, 6, 14), 0,
                    false, 252.5, "F/2", QDate(2024, 5, 2)});
        addExpense({architect, 1220, QDate(2024, 2, 10), 100, "1040", "2024", QDate(2024, 2, 1), QDate(2024, 3, 15), 0,
                    false, 500, "F/1", QDate(2024, 2, 1)});
        addExpense({architect, 500, QDate(2023, 12, 10), 70, "1040", "2023", QDate(2023, 12, 1)});
        office.addCondominium("Altro - Via Po 1");
        office.db().exec("INSERT INTO Uscite (Condominio, IdFornitore, RitenuteOperate, CodTributo, PeriodoRiferimento) "
                         "VALUES ('Altro - Via Po 1', ?, 999, '1040', '2024-03-01')",
                         {architect});
    }

    documents::TRtfReport report;
    platform::RecordingShell shell;
    qint64 architect = 0, plumber = 0;
};

} // namespace

TEST(CertificateTotal, FiguresAlwaysWithCentsAndWordsEndingInThem)
{
    EXPECT_EQ(reports::certificateTotal(150.5), "150.50");
    EXPECT_EQ(reports::certificateTotal(150), "150.00");
    EXPECT_EQ(reports::certificateTotal(0.1 + 0.2), "0.30");
    EXPECT_EQ(reports::certificateTotal(0), "0.00");
    EXPECT_EQ(reports::certificateTotalInWords("150.50"), "centocinquanta/50");
    EXPECT_EQ(reports::certificateTotalInWords("150.00"), "centocinquanta/00");
    EXPECT_EQ(reports::certificateTotalInWords("0.00"), "zero/00");
    EXPECT_EQ(reports::certificateTotalInWords("1001.07"), "milleuno/07");
}

TEST_F(Certificates, TheSuppliersWithholdingsOfTheYearWithTheirTotal)
{
    addWithholdings();
    writeTemplate("\\\\fornitore\\\\|\\\\cod_fisc_f\\\\|\\\\pi\\\\|\\\\citta_f\\\\|\\\\condominio\\\\|\\\\indirizzo\\\\|"
                  "\\\\comune\\\\|\\\\cod_fisc\\\\|\\\\amministratore\\\\|\\\\anno\\\\|\\\\data\\\\|"
                  "\\\\scan(A)\\\\[\\\\A:NumFattura\\\\ \\\\A:RitenuteOperate\\\\]\\\\endscan\\\\|\\\\importo\\\\|\\\\lettere\\\\");
    const reports::CertificateRun r =
        run("2024", {{architect, "Neri \"Studio\" Carlo", true}, {plumber, "D'Amico", true}});
    ASSERT_TRUE(r.outcome.done) << r.outcome.texts().join('\n').toStdString();
    const QString folder = office.ws().paths().outputFolder() + kCondominio + "/";
    ASSERT_EQ(r.written, (QStringList{folder + "2024 - Neri \"Studio\" Carlo.rtf", folder + "2024 - D'Amico.rtf"}));

    // By invoice date; the other year and the other condominium left out.
    EXPECT_EQ(textOf(r.written[0]),
              QStringLiteral("Neri \"Studio\" Carlo|CFNERI|01234567891|Forlì|Il \"Gelso\" d'Oro|Via Libertà 3|Forlì|"
                             "92012345678|Studio Neri|2024|20/02/2025|[F/1 100][F/2 50.5]|150.50|centocinquanta/50"));
    // A supplier without withholding still gets its certificate: nothing listed, 0.00.
    EXPECT_EQ(textOf(r.written[1]), QStringLiteral("D'Amico|CFD'AM|01234567892|Forlì|Il \"Gelso\" d'Oro|Via Libertà 3|"
                                                   "Forlì|92012345678|Studio Neri|2024|20/02/2025||0.00|zero/00"));
    // No variable of a certificate is left for the next document.
    EXPECT_EQ(report.Variables().count(), 0) << report.Variables().text().join(" ").toStdString();
}

TEST_F(Certificates, WholeTotalsGetTheirCentsAndARunOverwritesTheSameYearsFile)
{
    addExpense({plumber, 600, QDate(2024, 2, 10), 100, "1019", "2024", QDate(2024, 2, 1)});
    addExpense({plumber, 300, QDate(2024, 3, 10), 50, "1019", "2024", QDate(2024, 3, 1)});
    writeTemplate("\\\\importo\\\\ \\\\lettere\\\\");
    const QString path = run("2024", {{plumber, "D'Amico", true}}).written.value(0);
    EXPECT_EQ(textOf(path), "150.00 centocinquanta/00");
    writeTemplate("di nuovo \\\\importo\\\\");
    ASSERT_EQ(run("2024", {{plumber, "D'Amico", true}}).written, QStringList{path});
    EXPECT_EQ(textOf(path), "di nuovo 150.00");
}

// Only the withholdings paid to the tax office are certified, with the fee without VAT; one not
// yet paid is listed apart, "da versare", and left out of the certified total.
TEST_F(Certificates, TheShippedTemplateCertifiesOnlyWhatWasPaidToTheTaxOffice)
{
    addWithholdings();
    addExpense({architect, 976, QDate(2024, 9, 10), 80, "1040", "2024", QDate(2024, 9, 1), {}, 0, false, 400, "F/3",
                QDate(2024, 9, 2)});
    documents::installDefaultTemplates(office.ws().paths().outputFolder());
    const reports::CertificateRun r = run("2024", {{architect, "Neri \"Studio\" Carlo", true}});
    ASSERT_TRUE(r.outcome.done) << r.outcome.texts().join('\n').toStdString();
    const QString text = textOf(r.written.value(0));
    EXPECT_FALSE(text.contains('\\')) << text.toStdString();
    for (const QString& expected :
         {QStringLiteral("CERTIFICAZIONE"), QStringLiteral("Neri \"Studio\" Carlo"), QStringLiteral("92012345678"),
          QStringLiteral("CFNERI"), QStringLiteral("F/1"), QStringLiteral("01/02/2024"), QStringLiteral("500,00"),
          QStringLiteral("100,00"), QStringLiteral("15/03/2024"), QStringLiteral("€ 150,50"),
          QStringLiteral("centocinquanta/50"), QStringLiteral("Studio Neri"), QStringLiteral("20/02/2025"),
          QStringLiteral("da versare"), QStringLiteral("F/3"), QStringLiteral("€ 80,00")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
    // The gross with VAT is not the fee; the unpaid withholding is not in the certified total.
    EXPECT_FALSE(text.contains("1.220,00")) << text.toStdString();
    EXPECT_FALSE(text.contains("230,50")) << text.toStdString();
    const qsizetype certifiedEnd = text.indexOf("Ritenute operate e non ancora versate");
    ASSERT_GT(certifiedEnd, 0) << text.toStdString();
    EXPECT_FALSE(text.left(certifiedEnd).contains("F/3")) << text.toStdString();
}

TEST_F(Certificates, AFailureEndsTheRunAndKeepsWhatWasWritten)
{
    writeTemplate("\\\\fornitore\\\\");
    const qint64 third = addSupplier("Terzo");
    int lastGauge = -1;
    // The unchecked entry is passed over; the gauge still reaches its end.
    const reports::CertificateRun r = reports::produceCertificates(
        office.ws(), report,
        {"2024", {{architect, "Neri", true}, {plumber, "manca/D'Amico", false}, {third, "Terzo", true}}, QDate(2025, 1, 1)},
        [&](int g) { lastGauge = g; });
    ASSERT_TRUE(r.outcome.done);
    EXPECT_EQ(r.written.size(), 2);
    EXPECT_EQ(lastGauge, 100);

    QFile::remove(office.ws().paths().outputFolder() + "Certificazione.rtf");
    const reports::CertificateRun failed = run("2024", {{architect, "Neri", true}, {third, "Terzo", true}});
    EXPECT_FALSE(failed.outcome.done);
    EXPECT_TRUE(failed.written.isEmpty());
    ASSERT_EQ(failed.outcome.messages.size(), 1);
    EXPECT_TRUE(failed.outcome.messages[0].text.contains("Neri")) << failed.outcome.messages[0].text.toStdString();
    EXPECT_TRUE(QFile::exists(r.written[0])); // the earlier certificate stays

    EXPECT_EQ(run("", {{architect, "Neri", true}}).outcome.texts(), QStringList{"Inserire l'anno di riferimento"});
}

TEST_F(Certificates, SuppliersWithWithholdingAndThe770Selection)
{
    addWithholdings();
    addExpense({plumber, 400, QDate(2024, 7, 1)}); // no withholding
    const reports::WithholdingSuppliers found = reports::suppliersWithWithholding(office.ws(), "2024");
    ASSERT_TRUE(found.outcome.done);
    EXPECT_EQ(found.ids, QSet<qint64>{architect});
    EXPECT_TRUE(reports::suppliersWithWithholding(office.ws(), "2022").ids.isEmpty());
    EXPECT_EQ(reports::suppliersWithWithholding(office.ws(), "").outcome.texts(),
              QStringList{"Inserire l'anno di riferimento"});

    const app::Outcome selected = reports::selectModello770(office.ws(), "2024");
    ASSERT_TRUE(selected.done);
    store::Dataset& rows = office.ws().ds("ADOTable770");
    EXPECT_EQ(rows.rowCount(), 2);
    for (int r = 0; r < rows.rowCount(); ++r)
        EXPECT_EQ(rows.valueAt(r, "Condominio").toString(), kCondominio);
    EXPECT_FALSE(reports::selectModello770(office.ws(), "").done);
}
