#include "publishing/Email.h"
#include "publishing/MailLog.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris;
using namespace velcaris::publishing;
using velcaris::platform::MailDelivery;
using velcaris::platform::MailResult;
using velcaris::platform::RecordingMailClient;
using velcaris::test::TempDir;

namespace {

const QDateTime kWhen(QDate(2024, 5, 7), QTime(9, 5, 3));
const QString kCondominiBanner =
    "********************************** C O N D O M I N I ********************************************";
const QString kFornitoriBanner =
    "********************************** F O R N I T O R I ********************************************";

QStringList logLines(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

EmailInput circular()
{
    EmailInput in;
    in.mode = RecipientMode::Tutti;
    in.to = "studio@example.it";
    in.hidden = {"rossi@example.org", "verdi@example.net"};
    in.subject = "Assemblea - Alfa - Via Roma 1";
    in.body = "Gentili condòmini,\nl'assemblea è convocata.";
    return in;
}

} // namespace

TEST(MailLog, BannersAreThirtyFourAndFortyFourAsterisks)
{
    EXPECT_EQ(kCondominiBanner.size(), 34 + 1 + 17 + 1 + 44);
    MailLogEntry e;
    e.when = kWhen;
    EXPECT_EQ(mailLogLines(e).first(), kCondominiBanner);
    e.suppliers = true;
    EXPECT_EQ(mailLogLines(e).first(), kFornitoriBanner);
}

TEST(SendEmail, HandsTheMessageOverAndLogsItLineByLine)
{
    TempDir dir;
    QFile pdf(dir.file("verbale.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.close();
    RecordingMailClient client;
    EmailInput in = circular();
    in.attachments = {dir.file("verbale.pdf")};
    const QString log = dir.file("mail.log");
    ASSERT_FALSE(QFile::exists(log));

    const app::Outcome out = sendEmail(client, in, log, kWhen);
    EXPECT_TRUE(out.done);
    EXPECT_TRUE(out.messages.isEmpty()); // the mail program shows the message itself
    ASSERT_EQ(client.messages().size(), 1);
    const platform::MailMessage& m = client.messages().first();
    EXPECT_EQ(m.to, QStringList({"studio@example.it"}));
    EXPECT_EQ(m.cc, QStringList({"studio@example.it"}));
    EXPECT_EQ(m.bcc, in.hidden);
    EXPECT_EQ(m.attachments, in.attachments);
    EXPECT_EQ(m.subject, in.subject);
    EXPECT_EQ(m.body, in.body);

    EXPECT_EQ(logLines(log), QStringList({kCondominiBanner, "Data: 07/05/2024   Ora: 09:05:03",
                                          "Destinatario: studio@example.it",
                                          "Destinatari nascosti: rossi@example.org;verdi@example.net;",
                                          "Oggetto: Assemblea - Alfa - Via Roma 1", "Testo: Gentili condòmini,",
                                          "l'assemblea è convocata.", "Allegati: " + dir.file("verbale.pdf") + ";",
                                          "Esito: consegnato al programma di posta"}));

    // A second message from the suppliers' tab is appended after the first.
    in.mode = RecipientMode::SelezionatiFornitori;
    in.attachments.clear();
    client.answerWith(MailResult::success(MailDelivery::Sent));
    const app::Outcome sent = sendEmail(client, in, log, kWhen.addSecs(60));
    EXPECT_EQ(sent.texts(), QStringList({kMessageSent}));
    const QStringList lines = logLines(log);
    ASSERT_EQ(lines.size(), 18);
    EXPECT_EQ(lines[9], kFornitoriBanner);
    EXPECT_EQ(lines[10], "Data: 07/05/2024   Ora: 09:06:03");
    EXPECT_EQ(lines[16], "Allegati: ");
    EXPECT_EQ(lines[17], "Esito: inviato");
}

TEST(SendEmail, AFailureIsRefusedWithItsReasonAndLoggedAsNotSent)
{
    TempDir dir;
    RecordingMailClient client;
    client.answerWith(MailResult::failure(3, "Server mail.example.it: 535 5.7.8 credenziali errate"));
    const app::Outcome out = sendEmail(client, circular(), dir.file("mail.log"), kWhen);
    EXPECT_FALSE(out.done);
    ASSERT_EQ(out.messages.size(), 1);
    EXPECT_EQ(out.messages[0].kind, app::MessageKind::Error);
    EXPECT_EQ(out.messages[0].text, "Messaggio non inviato: Server mail.example.it: 535 5.7.8 credenziali errate");
    EXPECT_EQ(logLines(dir.file("mail.log")).last(),
              "Esito: NON INVIATO, codice 3 \"MAPI_E_LOGIN_FAILURE\": Server mail.example.it: 535 5.7.8 credenziali errate");
}

TEST(SendEmail, AVanishedAttachmentStopsBeforeSendingAndLogsNothing)
{
    TempDir dir;
    RecordingMailClient client;
    EmailInput in = circular();
    in.attachments = {dir.file("sparito.pdf")};
    const app::Outcome out = sendEmail(client, in, dir.file("mail.log"), kWhen);
    EXPECT_FALSE(out.done);
    EXPECT_EQ(out.texts(), QStringList({"L'allegato " + dir.file("sparito.pdf") +
                                        " non esiste più: toglierlo o sceglierlo di nuovo prima di inviare"}));
    EXPECT_TRUE(client.messages().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.file("mail.log")));
}

TEST(SendEmail, UnusableAddressesAreLeftOutAndNotedInTheLog)
{
    TempDir dir;
    RecordingMailClient client;
    EmailInput in = circular();
    in.to = "studio at example.it";
    in.skipped = {"mario storto@example.org"};
    ASSERT_TRUE(sendEmail(client, in, dir.file("mail.log"), kWhen).done);
    const platform::MailMessage& m = client.messages().first();
    EXPECT_TRUE(m.to.isEmpty());
    EXPECT_TRUE(m.cc.isEmpty());
    EXPECT_EQ(m.bcc, in.hidden);
    const QStringList lines = logLines(dir.file("mail.log"));
    EXPECT_EQ(lines[2], "Destinatario: studio at example.it");
    EXPECT_EQ(lines.last(), "Indirizzi scartati (non validi): studio at example.it;mario storto@example.org;");

    // An empty "A:" goes to the mail program empty, for the user to fill in, and is no skipped address.
    in.to.clear();
    in.skipped.clear();
    ASSERT_TRUE(sendEmail(client, in, dir.file("mail.log"), kWhen).done);
    EXPECT_TRUE(client.messages().last().to.isEmpty());
    EXPECT_TRUE(logLines(dir.file("mail.log")).last().startsWith("Esito: "));
}

TEST(SendEmail, ALogThatCannotBeWrittenIsSaidAfterTheMessageLeft)
{
    TempDir dir;
    RecordingMailClient client;
    const QString log = dir.file("manca/mail.log"); // its folder does not exist
    const app::Outcome out = sendEmail(client, circular(), log, kWhen);
    EXPECT_TRUE(out.done);
    EXPECT_EQ(client.messages().size(), 1);
    ASSERT_EQ(out.messages.size(), 1);
    EXPECT_EQ(out.messages[0].kind, app::MessageKind::Warning);
    EXPECT_TRUE(out.messages[0].text.startsWith("Impossibile scrivere il registro della posta " + log + ": "));
}
