// Notices to the whole condominium: their variables, the owners' list, the opening and failures.
#include "LetterFixture.h"
#include "documents/Notices.h"

using namespace velcaris;
using namespace velcaris::documents;
using velcaris::test::kToday;

namespace {

class Notices : public test::LetterFixture {
protected:
    NoticeResult produce(const QString& kind, bool straordinaria = false)
    {
        NoticeRequest rq{kind, straordinaria, QDate(2024, 7, 1), QDate(2024, 7, 2), "18:30", " 9:00", "Bilancio\nVarie",
                         kToday};
        return produceNotice(office.ws(), report, rq);
    }
    QString notice(const QString& kind) { return textOf(folder() + kind + " - 15.06.2024.rtf"); }
};

const QByteArray kAll = "\\\\assemblea\\\\|\\\\data1\\\\|\\\\data2\\\\|\\\\ora1\\\\|\\\\ora2\\\\|\\\\memo\\\\|"
                        "\\\\condominio\\\\|\\\\citta_cond\\\\";

} // namespace

TEST_F(Notices, EachNoticeHasItsOwnVariablesAndOnlyTheAvvisoShoutsTheMeetingType)
{
    for (const QString& kind : noticeKinds())
        writeTemplate(kind, kAll);
    for (const QString& kind : noticeKinds()) {
        const NoticeResult r = produce(kind);
        ASSERT_TRUE(r.outcome.done) << kind.toStdString() << r.outcome.texts().join('\n').toStdString();
        EXPECT_EQ(r.written, folder() + kind + " - 15.06.2024.rtf");
    }
    EXPECT_EQ(notice(kAvvisoAssemblea), "ORDINARIA|01/07/2024|02/07/2024|18:30| 9:00|\\memo\\|Alfa|Torino");
    EXPECT_EQ(notice(kAvvisoGenerico), "\\assemblea\\|\\data1\\|\\data2\\|\\ora1\\|\\ora2\\|Bilancio\nVarie|Alfa|Torino");
    EXPECT_EQ(notice(kConvocazioneAssemblea), "Ordinaria|01/07/2024|02/07/2024|18:30| 9:00|Bilancio\nVarie|Alfa|Torino");
    EXPECT_EQ(notice(kNotificaConvocazione), "Ordinaria|01/07/2024|02/07/2024|\\ora1\\|\\ora2\\|\\memo\\|Alfa|Torino");
    EXPECT_EQ(notice(kNotificaVerbale), notice(kNotificaConvocazione));
    // Every notice is opened once written, and leaves no variable behind.
    ASSERT_EQ(shell.calls().size(), 5);
    EXPECT_EQ(shell.calls()[0].path, folder() + "Avviso assemblea - 15.06.2024.rtf");
    EXPECT_EQ(report.Variables().count(), 0);

    ASSERT_TRUE(produce(kAvvisoAssemblea, true).outcome.done);
    EXPECT_TRUE(notice(kAvvisoAssemblea).startsWith("STRAORDINARIA|"));
    ASSERT_TRUE(produce(kConvocazioneAssemblea, true).outcome.done);
    EXPECT_TRUE(notice(kConvocazioneAssemblea).startsWith("Straordinaria|"));
}

TEST_F(Notices, NotificationsListTheCondominiumsOwnersInOrder)
{
    office.addCondominium("Beta - Via Po 2");
    const qint64 other = office.addPerson("Beta - Via Po 2", "Zeta");
    office.addUnit("Beta - Via Po 2", "B1", other);
    office.addUnit(test::kAlfa, "A2", verdi);
    office.ws().ds("ADOTableproprietari").requery();
    writeTemplate(kNotificaVerbale, "\\\\scan(A)\\\\[\\\\A:Proprietario\\\\]\\\\endscan\\\\");
    ASSERT_TRUE(produce(kNotificaVerbale).outcome.done);
    EXPECT_EQ(notice(kNotificaVerbale), "[Rossi Mario][Verdi Anna]");
    EXPECT_TRUE(office.ws().ds("ADOTableproprietari").filter().isEmpty());
}

TEST_F(Notices, FailuresAndNothingToDo)
{
    // Not a notice, or no condominium: nothing happens.
    EXPECT_TRUE(produce("Quadro AC").written.isEmpty());
    writeTemplate(kAvvisoGenerico, kAll);
    office.ws().selection.condominium.clear();
    EXPECT_TRUE(produce(kAvvisoGenerico).written.isEmpty());
    EXPECT_TRUE(shell.calls().isEmpty());
    app::chooseCondominium(office.ws(), test::kAlfa);

    // A faulty template: the message names the notice and its template; variables are removed.
    writeTemplate(kAvvisoAssemblea, "\\\\endscan\\\\");
    NoticeResult r = produce(kAvvisoAssemblea);
    ASSERT_FALSE(r.outcome.done);
    EXPECT_TRUE(r.outcome.texts()[0].contains("Avviso assemblea.rtf")) << r.outcome.texts()[0].toStdString();
    EXPECT_TRUE(r.outcome.texts()[0].contains("Endscan is not expected")) << r.outcome.texts()[0].toStdString();
    EXPECT_TRUE(r.written.isEmpty());
    EXPECT_EQ(report.Variables().count(), 0);

    // Written, but the desktop could not open it: the document is there and said so.
    shell.failWith("nessun programma");
    r = produce(kAvvisoGenerico);
    ASSERT_FALSE(r.outcome.done);
    EXPECT_EQ(r.written, folder() + "Avviso generico - 15.06.2024.rtf");
    EXPECT_TRUE(QFile::exists(r.written));
}
