// Letters to the checked persons: the variables of each kind, the reminder rules, the run's
// gauge, file names and failures.
#include "LetterFixture.h"
#include "documents/LetterRecipients.h"
#include "documents/Letters.h"

using namespace velcaris;
using namespace velcaris::documents;
using velcaris::test::kToday;

namespace {

const QByteArray kListing = "P=\\\\persona\\\\|M=\\\\mora\\\\|\\\\indirizzo\\\\ \\\\cap\\\\ \\\\citt\\'e0\\\\|"
                            "\\\\contocorrente\\\\|\\\\intestatario\\\\|\\\\citta_cond\\\\|"
                            "\\\\scan(A)\\\\[\\\\A:Nome\\\\/\\\\A:Tipologia\\\\]\\\\endscan\\\\";

class Letters : public test::LetterFixture {
protected:
    LetterRun run(const QString& kind, QVector<LetterEntry> entries, bool mora = false, QVector<int>* gauge = nullptr)
    {
        LetterRequest rq;
        rq.kind = kind;
        rq.entries = std::move(entries);
        rq.mora = mora;
        rq.today = kToday;
        rq.data1 = QDate(2024, 7, 1);
        rq.data2 = QDate(2024, 7, 2);
        return produceLetters(office.ws(), report, rq, [gauge](int g) {
            if (gauge)
                *gauge << g;
        });
    }
    QString letter(const QString& kind, const QString& caption)
    {
        return textOf(folder() + kind + " - " + caption + " - 15.06.2024.rtf");
    }
};

} // namespace

TEST_F(Letters, RemindersListTheDueInstalmentsOfTheRole)
{
    writeTemplate(kSollecito, kListing);
    writeTemplate(kSituazione, kListing);
    const LetterRun r = run(kSollecito, {{rossi, "Rossi Mario", true}, {bianchi, "Bianchi", true}});
    ASSERT_TRUE(r.outcome.done) << r.outcome.texts().join('\n').toStdString();
    EXPECT_EQ(r.written.size(), 2);
    // The owner: every type, due today or earlier.
    EXPECT_EQ(letter(kSollecito, "Rossi Mario"),
              "P=Rossi Mario|M=|Via Roma 1 10100 Torino|IT60X0542811101000000123456|Condominio Alfa|Torino|"
              "[Rata 1/Spese ordinarie][Rata 1/Spese straordinarie]");
    // The tenant (surname only): ordinary expenses only, and the name without a trailing blank.
    EXPECT_EQ(letter(kSollecito, "Bianchi"), "P=Bianchi|M=|Via Roma 1 10100 Torino|IT60X0542811101000000123456|"
                                             "Condominio Alfa|Torino|[Rata 1/Spese ordinarie]");

    // The account situation: also what is not due yet, and no mora variable at all.
    ASSERT_TRUE(run(kSituazione, {{rossi, "Rossi Mario", true}, {bianchi, "Bianchi", true}}, true).outcome.done);
    EXPECT_EQ(letter(kSituazione, "Rossi Mario"),
              "P=Rossi Mario|M=\\mora\\|Via Roma 1 10100 Torino|IT60X0542811101000000123456|Condominio Alfa|Torino|"
              "[Rata 1/Spese ordinarie][Rata 1/Spese straordinarie][Rata 2/Spese ordinarie]");
    EXPECT_EQ(letter(kSituazione, "Bianchi"), "P=Bianchi|M=\\mora\\|Via Roma 1 10100 Torino|"
                                              "IT60X0542811101000000123456|Condominio Alfa|Torino|"
                                              "[Rata 1/Spese ordinarie][Rata 2/Spese ordinarie]");
}

TEST_F(Letters, FormalNoticeAndPersonsWithoutInstalments)
{
    writeTemplate(kSollecito, kListing);
    ASSERT_TRUE(run(kSollecito, {{rossi, "Rossi Mario", true}, {verdi, "Verdi Anna", true}}, true).outcome.done);
    EXPECT_EQ(letter(kSollecito, "Rossi Mario").section('|', 1, 1),
              "M=Con la presente la costituisco formalmente in mora.");
    // No instalment: still a document, with an empty list and an empty person.
    EXPECT_EQ(letter(kSollecito, "Verdi Anna"),
              "P=|M=Con la presente la costituisco formalmente in mora.|Via Roma 1 10100 Torino|"
              "IT60X0542811101000000123456|Condominio Alfa|Torino|");
}

TEST_F(Letters, AnOwnerWhoAlsoRentsIsTreatedAsOwner)
{
    const qint64 a2 = office.addUnit(test::kAlfa, "A2", verdi, rossi);
    office.addQuota(test::kAlfa, "2024", a2, "Rata 9", "Spese ordinarie", 50, QDate(2024, 6, 1));
    EXPECT_EQ(personRole(office.ws(), rossi), PersonRole::Proprietario);
    EXPECT_EQ(personRole(office.ws(), bianchi), PersonRole::Inquilino);
    EXPECT_EQ(personRole(office.ws(), office.addPerson(test::kAlfa, "Nessuno")), PersonRole::Proprietario);

    writeTemplate(kSollecito, kListing);
    ASSERT_TRUE(run(kSollecito, {{rossi, "Rossi Mario", true}}).outcome.done);
    // As owner of A1 only: Rata 9 of A2, where he is the tenant, is not his.
    EXPECT_EQ(letter(kSollecito, "Rossi Mario").section('|', 6),
              "[Rata 1/Spese ordinarie][Rata 1/Spese straordinarie]");
}

TEST_F(Letters, CoveringLettersCarryThePersonAndTheMeeting)
{
    const QByteArray body = "\\\\persona\\\\|\\\\indirizzo\\\\|\\\\assemblea\\\\|\\\\data1\\\\|\\\\data2\\\\|"
                            "\\\\condominio\\\\|\\\\ind_condominio\\\\|\\\\data\\\\|\\\\amministratore\\\\";
    writeTemplate(kAccompagnamentoAssemblea, body);
    writeTemplate(kAccompagnamentoVerbale, body);
    ASSERT_TRUE(run(kAccompagnamentoAssemblea, {{bianchi, "Bianchi", true}}).outcome.done);
    EXPECT_EQ(letter(kAccompagnamentoAssemblea, "Bianchi"),
              "Bianchi|Via Roma 1|Ordinaria|\\data1\\|\\data2\\|Alfa|Via Roma 1|15/06/2024|Studio Neri");
    LetterRequest rq{kAccompagnamentoVerbale, {{rossi, "Rossi Mario", true}}, true, QDate(2024, 7, 1),
                     QDate(2024, 7, 2), false, kToday};
    ASSERT_TRUE(produceLetters(office.ws(), report, rq).outcome.done);
    EXPECT_EQ(letter(kAccompagnamentoVerbale, "Rossi Mario"),
              "Rossi Mario|Via Roma 1|Straordinaria|01/07/2024|02/07/2024|Alfa|Via Roma 1|15/06/2024|Studio Neri");
    // Nothing is left behind for the next merge.
    EXPECT_EQ(report.Variables().count(), 0);
}

TEST_F(Letters, TheGaugeMovesOverEveryEntryAndOnlyCheckedOnesGetALetter)
{
    writeTemplate(kAccompagnamentoAssemblea, "\\\\persona\\\\");
    QVector<int> gauge;
    const LetterRun r = run(kAccompagnamentoAssemblea,
                            {{bianchi, "Bianchi", true}, {rossi, "Rossi Mario", false}, {verdi, "Verdi Anna", true}},
                            false, &gauge);
    EXPECT_EQ(gauge, (QVector<int>{0, 50, 100}));
    EXPECT_EQ(r.written, (QStringList{folder() + "Accompagnamento assemblea - Bianchi - 15.06.2024.rtf",
                                      folder() + "Accompagnamento assemblea - Verdi Anna - 15.06.2024.rtf"}));
    EXPECT_FALSE(QFile::exists(folder() + "Accompagnamento assemblea - Rossi Mario - 15.06.2024.rtf"));

    gauge.clear();
    run(kAccompagnamentoAssemblea, {{bianchi, "Bianchi", true}}, false, &gauge);
    EXPECT_EQ(gauge, QVector<int>{100});
    EXPECT_EQ(gaugePosition(1, 9), 12); // 12.5: halves go to the even neighbour
    EXPECT_EQ(gaugePosition(3, 9), 38); // 37.5
    EXPECT_EQ(gaugePosition(1, 4), 33);

    // The same letter to the same person on the same day replaces the earlier one.
    writeTemplate(kAccompagnamentoAssemblea, "seconda \\\\persona\\\\");
    run(kAccompagnamentoAssemblea, {{bianchi, "Bianchi", true}});
    EXPECT_EQ(letter(kAccompagnamentoAssemblea, "Bianchi"), "seconda Bianchi");
    EXPECT_EQ(QDir(folder()).entryList({"Accompagnamento assemblea - Bianchi*"}, QDir::Files).size(), 1);

    // No kind chosen: nothing is written, and that is no failure.
    const LetterRun none = run(QString(), {{bianchi, "Bianchi", true}});
    EXPECT_TRUE(none.outcome.done);
    EXPECT_TRUE(none.written.isEmpty());
}

TEST_F(Letters, AFailureStopsTheRunNamingThePersonAndTheTemplateAndKeepsWhatWasWritten)
{
    writeTemplate(kAccompagnamentoAssemblea, "\\\\persona\\\\");
    // A caption that cannot be part of a file name in this folder.
    const LetterRun r = run(kAccompagnamentoAssemblea, {{bianchi, "Bianchi", true},
                                                       {rossi, "Rossi/Mario", true},
                                                       {verdi, "Verdi Anna", true}});
    EXPECT_FALSE(r.outcome.done);
    ASSERT_EQ(r.outcome.messages.size(), 1);
    EXPECT_EQ(r.outcome.messages[0].kind, app::MessageKind::Error);
    const QString text = r.outcome.messages[0].text;
    EXPECT_TRUE(text.contains("Rossi/Mario")) << text.toStdString();
    EXPECT_TRUE(text.contains("Accompagnamento assemblea.rtf")) << text.toStdString();
    EXPECT_EQ(r.written, QStringList{folder() + "Accompagnamento assemblea - Bianchi - 15.06.2024.rtf"});
    EXPECT_TRUE(QFile::exists(r.written[0]));
    EXPECT_FALSE(QFile::exists(folder() + "Accompagnamento assemblea - Verdi Anna - 15.06.2024.rtf"));
    EXPECT_EQ(report.Variables().count(), 0);
    EXPECT_TRUE(report.SyncEachDocument); // the run gives the engine back as it found it

    // A faulty template fails on the first checked person.
    writeTemplate(kSollecito, "\\\\scan(Z)\\\\x\\\\endscan\\\\");
    const LetterRun bad = run(kSollecito, {{verdi, "Verdi Anna", false}, {rossi, "Rossi Mario", true}});
    ASSERT_FALSE(bad.outcome.done);
    EXPECT_TRUE(bad.outcome.texts()[0].contains("Rossi Mario"));
    EXPECT_TRUE(bad.outcome.texts()[0].contains("Scan Alias not found: Z")) << bad.outcome.texts()[0].toStdString();

    // A missing template too.
    QFile::remove(office.ws().paths().outputFolder() + "Situazione condomini.rtf");
    EXPECT_FALSE(run(kSituazione, {{rossi, "Rossi Mario", true}}).outcome.done);
}

TEST_F(Letters, OddNamesReachTheDocumentIntact)
{
    const qint64 odd = office.addPerson(test::kAlfa, "D'Angelo", "{Lu\\ca} \"Il Sarto\"");
    const qint64 unit = office.addUnit(test::kAlfa, "B'2", odd);
    office.addQuota(test::kAlfa, "2024", unit, "Rata {straordinaria} \\1\\", "Spese ordinarie", 10, QDate(2024, 1, 1));
    writeTemplate(kSollecito, kListing);
    const QString caption = "D'Angelo {Lu\\ca} \"Il Sarto\"";
    const LetterRun r = run(kSollecito, {{odd, caption, true}});
    ASSERT_TRUE(r.outcome.done) << r.outcome.texts().join('\n').toStdString();
    const QString text = letter(kSollecito, caption);
    EXPECT_TRUE(text.startsWith("P=D'Angelo {Lu\\ca} \"Il Sarto\"|")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("[Rata {straordinaria} \\1\\/Spese ordinarie]")) << text.toStdString();
}
