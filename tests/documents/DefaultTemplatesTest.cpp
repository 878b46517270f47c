// The shipped templates: installed when missing, never over the user's, and each one merged
// through the real engine with the values its kind provides, leaving no marker behind.
#include "accounts/ConguaglioStatement.h"
#include "accounts/RendicontoDocument.h"
#include "allocation/QuotaExplanation.h"
#include "cashbook/Receipt.h"
#include "LetterFixture.h"
#include "documents/DefaultTemplates.h"
#include "documents/LetterRecipients.h"
#include "documents/Letters.h"
#include "documents/Notices.h"
#include "meeting/MeetingDocuments.h"
#include "platform/PdfConverter.h"
#include "reports/Certificates.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

using namespace velcaris;
using namespace velcaris::documents;
using velcaris::test::kToday;

namespace {

class ShippedTemplates : public test::LetterFixture {
protected:
    void SetUp() override
    {
        LetterFixture::SetUp();
        installDefaultTemplates(office.ws().paths().outputFolder());
    }
    // No marker of the engine left in the document: every variable was replaced.
    static void expectComplete(const QString& kind, const QString& text)
    {
        // The one backslash a value brings is that of the odd name.
        EXPECT_FALSE(QString(text).remove(QStringLiteral("{Lu\\ca}")).contains(u'\\')) << kind.toStdString() << ":\n" << text.toStdString();
        EXPECT_TRUE(text.contains("Studio Neri")) << kind.toStdString();
        EXPECT_TRUE(text.contains("Alfa")) << kind.toStdString();
        EXPECT_TRUE(text.contains("15/06/2024")) << kind.toStdString();
    }
};

} // namespace

TEST(DefaultTemplates, InstalledWhenMissingAndNeverOverTheUsersOwn)
{
    test::TempDir dir;
    const QString out = dir.file("Output");
    const QStringList kinds = defaultTemplateKinds();
    QStringList expected = letterKinds() + noticeKinds() + QStringList{cashbook::kReceiptTemplate, reports::kCertificazione};
    expected << meeting::kFoglioPresenze << meeting::kVerbaleVotazioni << allocation::kExplanationTemplate
             << accounts::kRendicontoTemplate << accounts::kConguaglioTemplate;
    expected.sort();
    EXPECT_EQ(kinds, expected);

    QDir().mkpath(out);
    QFile mine(out + "/Sollecito.rtf");
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("{\\rtf1 il mio}");
    mine.close();

    const TemplateInstall first = installDefaultTemplates(out);
    EXPECT_TRUE(first.failures.isEmpty());
    EXPECT_EQ(first.installed.size(), kinds.size() - 1);
    EXPECT_FALSE(first.installed.contains("Sollecito"));
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), QByteArray("{\\rtf1 il mio}"));
    QFile avviso(out + "/Avviso assemblea.rtf");
    ASSERT_TRUE(avviso.open(QIODevice::ReadOnly));
    EXPECT_EQ(avviso.readAll(), defaultTemplate("Avviso assemblea"));

    EXPECT_TRUE(installDefaultTemplates(out).installed.isEmpty());
    EXPECT_TRUE(defaultTemplate("Nessuno").isEmpty());
}

TEST_F(ShippedTemplates, EveryLetterIsCompleteWithTheRecipientAndItsInstalments)
{
    const qint64 odd = office.addPerson(test::kAlfa, "D'Angelo", "{Lu\\ca} \"Il Sarto\"");
    office.addQuota(test::kAlfa, "2024", office.addUnit(test::kAlfa, "B2", odd), "Rata {1}", "Spese ordinarie", 80,
                    QDate(2024, 1, 31));
    const QString oddCaption = "D'Angelo {Lu\\ca} \"Il Sarto\"";
    for (const QString& kind : letterKinds()) {
        LetterRequest rq{kind, {{rossi, "Rossi Mario", true}, {bianchi, "Bianchi", true}, {odd, oddCaption, true}},
                         false, QDate(2024, 7, 1), QDate(2024, 7, 2), true, kToday};
        const LetterRun r = produceLetters(office.ws(), report, rq);
        ASSERT_TRUE(r.outcome.done) << kind.toStdString() << r.outcome.texts().join('\n').toStdString();
        ASSERT_EQ(r.written.size(), 3);
        for (const QString& path : r.written) {
            const QString text = textOf(path);
            expectComplete(kind, text);
            EXPECT_TRUE(text.contains("Via Roma 1")) << kind.toStdString();
        }
        EXPECT_TRUE(textOf(r.written[2]).contains(oddCaption)) << textOf(r.written[2]).toStdString();
        if (kind == kSollecito || kind == kSituazione) {
            const QString owner = textOf(r.written[0]);
            EXPECT_TRUE(owner.contains("IT60X0542811101000000123456")) << owner.toStdString();
            EXPECT_TRUE(owner.contains("Spese straordinarie")) << owner.toStdString();
            EXPECT_TRUE(owner.contains("10/06/2024")) << owner.toStdString();
            EXPECT_TRUE(textOf(r.written[2]).contains("Rata {1}"));
            // Three instalments of 100 with 10 paid each; the reminder lists the two due ones.
            EXPECT_TRUE(owner.contains(kind == kSollecito ? "180.00" : "270.00")) << owner.toStdString();
            EXPECT_EQ(owner.contains("costituisco formalmente in mora"), kind == kSollecito);
        }
        if (kind == kAccompagnamentoVerbale)
            EXPECT_TRUE(textOf(r.written[0]).contains("01/07/2024"));
    }
}

TEST_F(ShippedTemplates, EveryNoticeIsComplete)
{
    office.ws().ds("ADOTableproprietari").requery();
    for (const QString& kind : noticeKinds()) {
        NoticeRequest rq{kind, false, QDate(2024, 7, 1), QDate(2024, 7, 2), "18:30", "19:00", "Approvazione del bilancio",
                         kToday};
        const NoticeResult r = produceNotice(office.ws(), report, rq);
        ASSERT_TRUE(r.outcome.done) << kind.toStdString() << r.outcome.texts().join('\n').toStdString();
        const QString text = textOf(r.written);
        expectComplete(kind, text);
        if (kind == kAvvisoAssemblea)
            EXPECT_TRUE(text.contains("ASSEMBLEA ORDINARIA")) << text.toStdString();
        if (kind == kNotificaConvocazione || kind == kNotificaVerbale)
            EXPECT_TRUE(text.contains("Rossi Mario")) << text.toStdString();
        if (kind == kAvvisoGenerico || kind == kConvocazioneAssemblea)
            EXPECT_TRUE(text.contains("Approvazione del bilancio"));
    }
}

// A year with quotas and no expenses: every section is there, empty or at zero, and no marker is left.
TEST_F(ShippedTemplates, TheRendicontoIsComplete)
{
    const std::optional<accounts::AccountingYear> year = accounts::findYear(office.db(), test::kAlfa, "2024");
    ASSERT_TRUE(year.has_value());
    const accounts::RendicontoFile r =
        accounts::produceRendiconto(office.ws(), report, accounts::computeRendiconto(office.db(), *year), {}, kToday);
    ASSERT_TRUE(r.outcome.done) << r.outcome.texts().join('\n').toStdString();
    EXPECT_EQ(r.written, folder() + "Rendiconto 2024 - 15.06.2024.rtf");
    const QString text = textOf(r.written);
    expectComplete(accounts::kRendicontoTemplate, text);
    EXPECT_TRUE(text.contains("Quote addebitate\n300.00")) << text.toStdString();
    EXPECT_TRUE(text.contains("Nota sintetica esplicativa"));
}

// No expenses: the owner's quotas come back to them; the tenant gets no letter.
TEST_F(ShippedTemplates, TheConguaglioStatementIsComplete)
{
    const std::optional<accounts::AccountingYear> year = accounts::findYear(office.db(), test::kAlfa, "2024");
    ASSERT_TRUE(year.has_value());
    const documents::DocumentBatch run = accounts::produceConguagli(
        office.ws(), report, *year, accounts::computeUnitStatement(office.db(), *year), {}, kToday);
    ASSERT_TRUE(run.outcome.done) << run.outcome.texts().join('\n').toStdString();
    ASSERT_EQ(run.written, QStringList{folder() + "Estratto conguaglio 2024 - Rossi Mario.rtf"});
    const QString text = textOf(run.written.first());
    expectComplete(accounts::kConguaglioTemplate, text);
    for (const char* expected : {"Rossi Mario", "Via Roma 1", "10100 Torino", "A1", "300.00",
                                 "euro 300.00, a credito."})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains("Bianchi"));

    // A second owner of the same name: each keeps a document of its own.
    const qint64 other = office.addPerson(test::kAlfa, "Rossi", "Mario");
    office.addUnit(test::kAlfa, "A9", other);
    const documents::DocumentBatch both = accounts::produceConguagli(
        office.ws(), report, *year, accounts::computeUnitStatement(office.db(), *year), {}, kToday);
    ASSERT_TRUE(both.outcome.done) << both.outcome.texts().join('\n').toStdString();
    ASSERT_EQ(both.written.size(), 2);
    EXPECT_NE(both.written[0], both.written[1]);
    EXPECT_TRUE(both.written.contains(folder() + QString("Estratto conguaglio 2024 - Rossi Mario (%1).rtf").arg(other)))
        << both.written.join('\n').toStdString();
}

TEST_F(ShippedTemplates, ALetterConvertedByLibreOfficeReadsAsWritten)
{
    if (platform::PdfConverter::officeProgram().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) non installato: la conversione in PDF non si può provare";
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext non installato";
    LetterRequest rq{kSollecito, {{rossi, "Rossi Mario", true}}, false, {}, {}, false, kToday};
    const LetterRun r = produceLetters(office.ws(), report, rq);
    ASSERT_TRUE(r.outcome.done);
    platform::PdfConverter pdf;
    QSignalSpy spy(&pdf, &platform::PdfConverter::finished);
    ASSERT_TRUE(pdf.convert(r.written, folder()));
    ASSERT_TRUE(pdf.waitForIdle(120000));
    ASSERT_EQ(spy.size(), 1);
    EXPECT_TRUE(spy[0][1].toString().isEmpty()) << spy[0][1].toString().toStdString();
    QProcess text;
    text.start("pdftotext", {platform::PdfConverter::pdfPath(r.written[0]), "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(out.contains("Rossi Mario")) << out.toStdString();
    EXPECT_TRUE(out.contains("Spese straordinarie")) << out.toStdString();
    // For a look by eye: the PDF goes to the folder VELCARIS_SCREENSHOTS names, if any.
    if (const QString keep = qEnvironmentVariable("VELCARIS_SCREENSHOTS"); !keep.isEmpty()) {
        QDir().mkpath(keep);
        QFile::copy(platform::PdfConverter::pdfPath(r.written[0]), keep + "/Sollecito.pdf");
    }
}
