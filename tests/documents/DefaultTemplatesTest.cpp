// The shipped templates: installed when missing, never over the user's, and each one merged
// through the real engine with the values its kind provides, leaving no marker behind.
#include "accounts/ConguaglioStatement.h"
#include "accounts/RendicontoDocument.h"
#include "allocation/QuotaExplanation.h"
#include "cashbook/Receipt.h"
#include "LetterFixture.h"
#include "documents/DefaultTemplates.h"
#include "documents/LateInterest.h"
#include "documents/LetterRecipients.h"
#include "documents/LetterVariables.h"
#include "documents/Letters.h"
#include "documents/Notices.h"
#include "meeting/MeetingDocuments.h"
#include "meeting/MeetingNotice.h"
#include "meeting/Resolutions.h"
#include "platform/PdfConverter.h"
#include "reports/Certificates.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
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
            EXPECT_TRUE(owner.contains(kind == kSollecito ? "180,00" : "270,00")) << owner.toStdString();
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
    EXPECT_TRUE(text.contains("Quote addebitate\n300,00")) << text.toStdString();
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
    for (const char* expected : {"Rossi Mario", "Via Roma 1", "10100 Torino", "A1", "300,00",
                                 "€ 300,00, a credito."})
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

namespace {

// A number written the program's way ("1094.16", "1000.000") rather than the Italian way.
const QRegularExpression kProgramNumber(QStringLiteral("(?<![\\d,./])\\d+\\.\\d{2,3}(?![\\d.,])"));

} // namespace

// Every shipped template merged on an office whose settings name the administrator and the studio:
// no marker left, the studio and the administrator named, every amount in the Italian form; the
// reminder lists only what is still due, by due date, with its late interest; the notice made for a
// meeting of the register takes its place and agenda. Where LibreOffice is installed the PDFs say
// the same, and the one-page letters fit one page.
TEST_F(ShippedTemplates, EveryShippedDocumentCanBeSentAsItIs)
{
    app::Settings& settings = app::currentSettings();
    settings.amministratore = settings.studio.nome = "Rag. Anna Neri";
    settings.studio.studio = "Studio Neri";
    settings.studio.indirizzo = "Via Po 3";
    settings.studio.cap = "10123";
    settings.studio.citta = "Torino";
    settings.studio.telefono = "011 555 1234";
    settings.studio.pec = "studio.neri@pec.example.it";
    office.db().exec("UPDATE Condomini SET Codice_fiscale = '97123450017' WHERE Nome = ?", {test::kAlfa});
    // Overdue and partly paid, falling due before the others; overdue and paid in full.
    office.addQuota(test::kAlfa, "2024", a1, "Rata 3", "Spese ordinarie", 100, QDate(2024, 6, 1), 40);
    office.addQuota(test::kAlfa, "2024", a1, "Rata 0", "Spese ordinarie", 50, QDate(2024, 5, 1), 50);

    QMap<QString, QString> written; // kind -> document
    const auto one = [&](const QString& kind, const QStringList& paths) {
        ASSERT_EQ(paths.size(), 1) << kind.toStdString();
        written[kind] = paths.first();
    };
    for (const QString& kind : letterKinds()) {
        const LetterRun r = produceLetters(office.ws(), report,
                                           {kind, {{rossi, "Rossi Mario", true}}, false, QDate(2024, 7, 1),
                                            QDate(2024, 7, 2), false, kToday});
        ASSERT_TRUE(r.outcome.done) << kind.toStdString() << r.outcome.texts().join('\n').toStdString();
        one(kind, r.written);
    }
    office.ws().ds("ADOTableproprietari").requery();
    for (const QString& kind : noticeKinds()) {
        NoticeRequest rq{kind, false, QDate(2024, 7, 1), QDate(2024, 7, 2), "18:30", "19:00",
                         "1. Approvazione del bilancio\n2) Nomina dell'amministratore", kToday};
        rq.luogo = "Sala riunioni di Via Roma 1";
        const NoticeResult r = produceNotice(office.ws(), report, rq);
        ASSERT_TRUE(r.outcome.done) << kind.toStdString() << r.outcome.texts().join('\n').toStdString();
        one(kind, {r.written});
    }
    EXPECT_EQ(agendaItems({kAvvisoAssemblea, false, {}, {}, {}, {}, " 1. Bilancio \n\n- Lavori\n3) Varie"}),
              (QStringList{"Bilancio", "Lavori", "Varie"}));

    // The receipt of a bank payment of unit A1's first instalment.
    office.db().exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, IdPersona, Nome, Importo, MetodoPagamento, "
                     "Ricevuta) VALUES (?, '2024', '2024-06-14', 'Entrata', ?, 'Rata 1', 1094.16, 'Conto Corrente', 5)",
                     {test::kAlfa, rossi});
    office.db().exec("UPDATE Quote SET idEntrata = (SELECT MAX(id) FROM Entrate) WHERE IdLocale = ? AND NomeQuote = 'Rata 1'",
                     {a1});
    const cashbook::ReceiptRun receipt = cashbook::recreateReceipt(office.ws(), report, test::kAlfa, 5, "2024", false, shell);
    ASSERT_TRUE(receipt.written) << receipt.problems.join('\n').toStdString();
    written[cashbook::kReceiptTemplate] = receipt.path;

    // A company's certificate: one withholding paid to the tax office.
    office.db().exec("INSERT INTO Fornitori (Cognome, Nome, PartitaIVA, CodiceFiscale) VALUES ('Edil Alfa S.r.l.', '', "
                     "'01234567890', '01234567890')");
    const qint64 company = office.db().scalar("SELECT MAX(id) FROM Fornitori").toLongLong();
    office.db().exec("INSERT INTO Uscite (Condominio, AA, IdFornitore, ImportoLordo, ImponibileIVA, RitenuteOperate, "
                     "CodTributo, PeriodoRiferimento, DataRitenuta, DataFattura, NumFattura, DataPagamento) VALUES "
                     "(?, '2024', ?, 1464, 1200, 240, '1040', '2024-03-01', '2024-04-16', '2024-03-01', '7', '2024-03-10')",
                     {test::kAlfa, company});
    const reports::CertificateRun certificate =
        reports::produceCertificates(office.ws(), report, {"2024", {{company, "Edil Alfa S.r.l.", true}}, kToday});
    ASSERT_TRUE(certificate.outcome.done) << certificate.outcome.texts().join('\n').toStdString();
    one(reports::kCertificazione, certificate.written);

    // A meeting of the register with its agenda: its documents, and its notice.
    office.db().exec("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, 'Generale')", {test::kAlfa});
    const qint64 table = office.db().scalar("SELECT MAX(Id) FROM Tabelle").toLongLong();
    office.db().exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, ?, 1000)",
                     {test::kAlfa, a1, table});
    meeting::MeetingInput held;
    held.data = QDate(2024, 11, 20);
    held.ora = "18:00";
    held.luogo = "Sala condominiale";
    held.call = meeting::Call::Second;
    held.tableId = table;
    const app::Outcome added = meeting::addMeeting(office.ws(), held);
    ASSERT_TRUE(added.done) << added.texts().join('\n').toStdString();
    const qint64 meetingId = added.newKey.value();
    for (const char* item : {"Bilancio consuntivo", "Rifacimento del tetto"})
        ASSERT_TRUE(meeting::addResolution(office.ws(), meetingId, {item, meeting::Majority::Ordinary}).done);
    const meeting::MeetingState state = meeting::loadMeeting(office.ws(), meetingId);
    for (const meeting::MeetingDocument& d : {meeting::produceAttendanceSheet(office.ws(), report, state, kToday),
                                              meeting::produceVotingRecord(office.ws(), report, state, kToday)}) {
        ASSERT_TRUE(d.outcome.done) << d.outcome.texts().join('\n').toStdString();
        written[QFileInfo(d.written).completeBaseName().section(" - ", 0, 0)] = d.written;
    }
    const NoticeRequest typed{kConvocazioneAssemblea, false, QDate(2024, 11, 19), QDate(2024, 11, 20), "23:00", "",
                              "Approvazione del bilancio", QDate(2024, 11, 1)};
    const NoticeResult fromRegister =
        produceNotice(office.ws(), report, meeting::noticeFromMeeting(office.ws(), meetingId, typed));
    ASSERT_TRUE(fromRegister.outcome.done) << fromRegister.outcome.texts().join('\n').toStdString();
    const QString convened = textOf(fromRegister.written);
    for (const char* expected : {"Sala condominiale", "20/11/2024", "18:00", "Bilancio consuntivo", "Rifacimento del tetto"})
        EXPECT_TRUE(convened.contains(expected)) << expected << "\n" << convened.toStdString();
    EXPECT_FALSE(convened.contains("Approvazione del bilancio")) << "the register's agenda, not the typed one";

    const std::optional<accounts::AccountingYear> year = accounts::findYear(office.db(), test::kAlfa, "2024");
    ASSERT_TRUE(year.has_value());
    const accounts::RendicontoFile rendiconto =
        accounts::produceRendiconto(office.ws(), report, accounts::computeRendiconto(office.db(), *year), {}, kToday);
    ASSERT_TRUE(rendiconto.outcome.done) << rendiconto.outcome.texts().join('\n').toStdString();
    written[accounts::kRendicontoTemplate] = rendiconto.written;
    const documents::DocumentBatch conguagli = accounts::produceConguagli(
        office.ws(), report, *year, accounts::computeUnitStatement(office.db(), *year), {}, kToday);
    ASSERT_TRUE(conguagli.outcome.done) << conguagli.outcome.texts().join('\n').toStdString();
    one(accounts::kConguaglioTemplate, conguagli.written);
    const allocation::ExplanationRun explanation = allocation::produceExplanations(office.ws(), report, {rossi}, kToday);
    ASSERT_TRUE(explanation.outcome.done) << explanation.outcome.texts().join('\n').toStdString();
    one(allocation::kExplanationTemplate, explanation.written);

    ASSERT_EQ(written.keys(), defaultTemplateKinds()) << "every shipped template is merged";
    // The meeting documents are signed by the meeting's chairman and secretary: the letterhead names the studio.
    const QStringList unsigned_{meeting::kFoglioPresenze, meeting::kVerbaleVotazioni};
    const auto checkText = [&](const QString& kind, const QString& text, const char* where) {
        const std::string what = kind.toStdString() + " (" + where + "):\n" + text.toStdString();
        EXPECT_FALSE(text.contains(u'\\')) << what;
        EXPECT_TRUE(text.contains("Studio Neri") || kind == reports::kCertificazione) << what;
        EXPECT_TRUE(text.contains("Rag. Anna Neri") || unsigned_.contains(kind)) << what;
        EXPECT_FALSE(kProgramNumber.match(text).hasMatch()) << kProgramNumber.match(text).captured().toStdString() << " in " << what;
    };
    for (auto it = written.cbegin(); it != written.cend(); ++it)
        checkText(it.key(), textOf(it.value()), "RTF");

    const QString reminder = textOf(written[kSollecito]);
    for (const char* expected : {"Gentile Mario Rossi", "Via Po 3 - 10123 Torino", "PEC studio.neri@pec.example.it",
                                 "97123450017", "IT60X0542811101000000123456", "tasso legale", "€ 0,09", "€ 240,09"})
        EXPECT_TRUE(reminder.contains(QString::fromUtf8(expected))) << expected << "\n" << reminder.toStdString();
    EXPECT_FALSE(reminder.contains("Rata 0")) << "paid in full";
    EXPECT_FALSE(reminder.contains("20/06/2024")) << "not yet due";
    EXPECT_LT(reminder.indexOf("Rata 3"), reminder.indexOf("Rata 1")) << "by due date";
    // 60 due for 14 days and 90 due for 5 days at the legal 2,5% of 2024.
    EXPECT_DOUBLE_EQ(lateInterest(60, QDate(2024, 6, 1), kToday, {true, true, 0}), 0.06);
    EXPECT_DOUBLE_EQ(lateInterest(90, QDate(2024, 6, 10), kToday, {true, true, 0}), 0.03);
    EXPECT_DOUBLE_EQ(lateInterest(1000, QDate(2025, 12, 31), QDate(2026, 12, 31), {true, true, 0}), 16.0);
    EXPECT_DOUBLE_EQ(lateInterest(1000, QDate(2024, 12, 31), QDate(2026, 12, 31), {true, false, 10}), 200.0);
    EXPECT_DOUBLE_EQ(lateInterest(1000, QDate(2024, 1, 1), QDate(2026, 1, 1), {false, false, 0}), 0.0);
    // Without a rate the reminder has no interest column.
    settings.interessiText = "nessuno";
    const LetterRun plain = produceLetters(office.ws(), report, {kSollecito, {{rossi, "Rossi Mario", true}}, false, {}, {}, false, kToday});
    ASSERT_TRUE(plain.outcome.done);
    const QString noInterest = textOf(plain.written.value(0));
    EXPECT_TRUE(noInterest.contains("€ 240,00")) << noInterest.toStdString();
    EXPECT_FALSE(noInterest.contains("Interessi")) << noInterest.toStdString();
    settings.interessiText.clear();

    const QString paid = textOf(written[cashbook::kReceiptTemplate]);
    for (const char* expected : {"€ 1.094,16", "sul conto corrente del condominio", "A1", "97123450017"})
        EXPECT_TRUE(paid.contains(QString::fromUtf8(expected))) << expected << "\n" << paid.toStdString();
    const QString certified = textOf(written[reports::kCertificazione]);
    EXPECT_TRUE(certified.contains("1.200,00") && certified.contains("€ 240,00")) << certified.toStdString();
    EXPECT_FALSE(certified.contains("1.464,00")) << "the fee is without VAT";
    EXPECT_TRUE(textOf(written[allocation::kExplanationTemplate]).contains(QString::fromUtf8("Gentile Mario Rossi")));
    EXPECT_TRUE(textOf(written[allocation::kExplanationTemplate]).contains(QString::fromUtf8("€ 450,00")));
    EXPECT_TRUE(textOf(written[kConvocazioneAssemblea]).contains("Sala riunioni di Via Roma 1"));
    EXPECT_TRUE(textOf(written[kAvvisoAssemblea]).contains("Nomina dell'amministratore"));

    // The opening of a letter: the first name first, "Spett.le" for a company.
    EXPECT_EQ(salutation("D'Angelo", QString::fromUtf8("Nicolò")), QString::fromUtf8("Gentile Nicolò D'Angelo"));
    EXPECT_EQ(salutation("Bianchi", ""), "Gentile Bianchi");
    for (const auto& [surname, vat] : {std::pair{"Edil Alfa S.r.l.", ""}, std::pair{"Idraulica Beta snc", ""},
                                       std::pair{"Gamma S.p.A.", ""}, std::pair{"Delta s.a.s. di Neri", ""},
                                       std::pair{"Impianti Sud", "01234567890"}})
        EXPECT_EQ(salutation(surname, "", vat), QString("Spett.le ") + surname);
    EXPECT_EQ(salutation("Sassi", "Marco", "01234567890"), "Gentile Marco Sassi") << "a professional with a first name";

    if (platform::PdfConverter::officeProgram().isEmpty() || QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "LibreOffice o pdftotext non installati: i PDF non si possono provare";
    const QString pdfFolder = office.ws().paths().outputFolder() + "pdf/";
    QDir().mkpath(pdfFolder);
    QStringList copies;
    for (auto it = written.cbegin(); it != written.cend(); ++it) {
        copies << pdfFolder + it.key() + ".rtf";
        ASSERT_TRUE(QFile::copy(it.value(), copies.last())) << copies.last().toStdString();
    }
    platform::PdfConverter pdf;
    ASSERT_TRUE(pdf.convert(copies, pdfFolder));
    ASSERT_TRUE(pdf.waitForIdle(600000));
    const QStringList onePage{kAccompagnamentoAssemblea, kAccompagnamentoVerbale, kSollecito, kSituazione,
                              kAvvisoAssemblea, kAvvisoGenerico, cashbook::kReceiptTemplate,
                              allocation::kExplanationTemplate, accounts::kConguaglioTemplate};
    for (auto it = written.cbegin(); it != written.cend(); ++it) {
        const QString path = platform::PdfConverter::pdfPath(pdfFolder + it.key() + ".rtf");
        ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
        QProcess text;
        text.start("pdftotext", {path, "-"});
        ASSERT_TRUE(text.waitForFinished(60000));
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        checkText(it.key(), out, "PDF");
        // pdftotext ends each page with a form feed.
        if (onePage.contains(it.key()))
            EXPECT_EQ(out.count(u'\f'), 1) << it.key().toStdString() << ":\n" << out.toStdString();
        if (const QString keep = qEnvironmentVariable("VELCARIS_SCREENSHOTS"); !keep.isEmpty()) {
            QDir().mkpath(keep);
            QFile::copy(path, keep + "/" + it.key() + ".pdf");
        }
    }
}
