#include "platform/MailClient.h"
#include "platform/MimeMessage.h"
#include "support/TempDir.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace velcaris::platform;
using velcaris::test::TempDir;

namespace {

// A fake xdg-email first on PATH: it writes each argument it gets, NUL-terminated, into
// $FAKE_XDG_LOG, says $FAKE_XDG_SAYS on its error stream and exits with $FAKE_XDG_EXIT.
class FakeXdgEmail {
public:
    FakeXdgEmail() : oldPath_(qgetenv("PATH"))
    {
        QFile script(dir_.file("xdg-email"));
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\n"
                     ": > \"$FAKE_XDG_LOG\"\n"
                     "for a in \"$@\"; do printf '%s\\0' \"$a\" >> \"$FAKE_XDG_LOG\"; done\n"
                     "[ -n \"$FAKE_XDG_SAYS\" ] && echo \"$FAKE_XDG_SAYS\" >&2\n"
                     "exit ${FAKE_XDG_EXIT:-0}\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", dir_.path().toLocal8Bit() + ':' + oldPath_);
        qputenv("FAKE_XDG_LOG", dir_.file("args").toLocal8Bit());
        exitWith(0, {});
    }
    ~FakeXdgEmail()
    {
        qputenv("PATH", oldPath_);
        qunsetenv("FAKE_XDG_LOG");
        qunsetenv("FAKE_XDG_EXIT");
        qunsetenv("FAKE_XDG_SAYS");
    }
    void exitWith(int code, const QByteArray& says)
    {
        qputenv("FAKE_XDG_EXIT", QByteArray::number(code));
        qputenv("FAKE_XDG_SAYS", says);
    }
    QStringList arguments() const
    {
        QFile f(dir_.file("args"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList out;
        for (const QByteArray& a : f.readAll().split('\0'))
            out << QString::fromUtf8(a);
        out.removeLast(); // after the last terminator
        return out;
    }

private:
    TempDir dir_;
    QByteArray oldPath_;
};

} // namespace

TEST(MailErrorText, CodesOfTheTableInDoubleQuotesOthersEmpty)
{
    EXPECT_EQ(mailErrorText(1), "\"ERRORE GENERICO\"");
    EXPECT_EQ(mailErrorText(2), "\"ERRORE GENERICO\"");
    EXPECT_EQ(mailErrorText(3), "\"MAPI_E_LOGIN_FAILURE\"");
    EXPECT_EQ(mailErrorText(11), "\"MAPI_E_ATTACHMENT_NOT_FOUND\"");
    EXPECT_EQ(mailErrorText(14), "\"MAPI_E_UNKNOWN_RECIPIENT\"");
    EXPECT_EQ(mailErrorText(21), "\"MAPI_E_AMBIGUOUS_RECIPIENT\"");
    for (int code : {-1, 0, 4, 6, 13, 16, 22})
        EXPECT_EQ(mailErrorText(code), QString()) << code;
    // A failure without words of its own explains itself by its code's text.
    EXPECT_EQ(MailResult::failure(3, {}).explanation(), "\"MAPI_E_LOGIN_FAILURE\"");
    EXPECT_EQ(MailResult::failure(-1, {}).explanation(), "Errore di invio (codice -1)");
}

TEST(DesktopMailClient, HandsEveryPartOfTheMessageToXdgEmail)
{
    TempDir files;
    QFile(files.file("a.pdf")).open(QIODevice::WriteOnly);
    FakeXdgEmail fake;
    MailMessage m;
    m.to << "studio@example.it";
    m.cc << "studio@example.it";
    m.bcc << "rossi@example.org" << "bianchi@example.org";
    m.attachments << files.file("a.pdf");
    m.subject = "Riunione di condominio: è confermata";
    m.body = "Riga uno\nRiga due";
    DesktopMailClient client(20000);
    const MailResult r = client.send(m);
    EXPECT_EQ(r.delivery, MailDelivery::HandedToClient);
    EXPECT_EQ(fake.arguments(),
              QStringList({"--utf8", "--cc", "studio@example.it", "--bcc", "rossi@example.org", "--bcc",
                           "bianchi@example.org", "--subject", "Riunione di condominio: è confermata", "--body",
                           "Riga uno\nRiga due", "--attach", files.file("a.pdf"), "--to", "studio@example.it"}));

    // An empty subject and body are left out (xdg-email would refuse them), as is an empty "A:".
    const MailResult bare = client.send(MailMessage{});
    EXPECT_TRUE(bare.ok());
    EXPECT_EQ(fake.arguments(), QStringList({"--utf8"}));
}

TEST(DesktopMailClient, ItsFailuresAreFailuresWithItsWords)
{
    FakeXdgEmail fake;
    DesktopMailClient client(20000);
    fake.exitWith(3, "no method available for opening 'mailto:'");
    const MailResult none = client.send(MailMessage{});
    EXPECT_EQ(none.delivery, MailDelivery::Failed);
    EXPECT_EQ(none.code, kMailNoClient);
    EXPECT_EQ(none.detail, "Il programma di posta non ha accettato il messaggio: no method available for opening 'mailto:'");

    fake.exitWith(2, "file '/x' does not exist");
    const MailResult missing = client.send(MailMessage{});
    EXPECT_EQ(missing.code, kMailAttachmentNotFound);
    EXPECT_EQ(missing.errorText, "\"MAPI_E_ATTACHMENT_NOT_FOUND\"");

    fake.exitWith(4, {});
    const MailResult failed = client.send(MailMessage{});
    EXPECT_EQ(failed.code, kMailFailure);
    EXPECT_EQ(failed.detail, "Il programma di posta non ha accettato il messaggio");
}

TEST(DesktopMailClient, WithoutXdgEmailSaysWhatToInstall)
{
    TempDir empty;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", empty.path().toLocal8Bit());
    const MailResult r = DesktopMailClient().send(MailMessage{});
    qputenv("PATH", path);
    EXPECT_EQ(r.delivery, MailDelivery::Failed);
    EXPECT_EQ(r.code, kMailNoClient);
    EXPECT_EQ(r.detail, "Programma xdg-email non trovato: installare xdg-utils e un programma di posta");
}

TEST(RecordingMailClient, RecordsAndAnswersAsTold)
{
    RecordingMailClient client;
    MailMessage m;
    m.subject = "uno";
    EXPECT_EQ(client.send(m).delivery, MailDelivery::HandedToClient);
    client.answerWith(MailResult::failure(3, "no"));
    EXPECT_EQ(client.send(m).code, 3);
    ASSERT_EQ(client.messages().size(), 2);
    EXPECT_EQ(client.messages()[1].subject, "uno");
}

TEST(MimeHeader, PlainAsciiStaysLongAccentedTextIsFoldedIntoWholeWords)
{
    EXPECT_EQ(encodeHeaderText("Rata di giugno - Alfa"), QByteArray("Rata di giugno - Alfa"));
    // A line break in a subject must not start a header of its own.
    EXPECT_EQ(encodeHeaderText("Oggetto\r\nBcc: spia@example.org"), QByteArray("Oggetto Bcc: spia@example.org"));

    const QString subject = QString("Perché è già così: ") + QString(40, QChar(0x00E8)) + QString::fromUtf8("€ fine");
    const QByteArray encoded = encodeHeaderText(subject);
    QString decoded;
    for (const QByteArray& line : encoded.split('\n')) {
        const QByteArray word = line.trimmed();
        ASSERT_TRUE(word.startsWith("=?UTF-8?B?") && word.endsWith("?=")) << word.constData();
        EXPECT_LE(word.size(), 75);
        // Each word decodes on its own: no character is cut in two.
        const QByteArray bytes = QByteArray::fromBase64(word.mid(10, word.size() - 12));
        const QString part = QString::fromUtf8(bytes);
        EXPECT_EQ(part.toUtf8(), bytes);
        decoded += part;
    }
    EXPECT_EQ(decoded, subject);
}

TEST(MimeMessage, NoHiddenRecipientAndAnUnreadableAttachmentStops)
{
    MailMessage m;
    m.to << "a@example.it";
    m.bcc << "nascosto@example.org";
    m.subject = "x";
    m.body = "y";
    const QDateTime date(QDate(2024, 3, 5), QTime(9, 7, 3), Qt::OffsetFromUTC, 3600);
    const MimeText text = buildMimeMessage(m, "studio@example.it", date, "seme");
    EXPECT_EQ(text.code, kMailSuccess);
    EXPECT_FALSE(text.bytes.contains("nascosto"));
    EXPECT_TRUE(text.bytes.startsWith("Date: Tue, 05 Mar 2024 09:07:03 +0100\r\nFrom: studio@example.it\r\nTo: a@example.it\r\n"))
        << text.bytes.left(120).constData();
    EXPECT_FALSE(text.bytes.contains("\nCc:"));
    // A sender with a line break in it stays one header.
    for (const char* sender : {"studio@example.it\r\nBcc: spia@example.org", "studio@example.it\rBcc: spia@example.org"}) {
        const QByteArray bytes = buildMimeMessage(m, QString::fromLatin1(sender), date, "seme").bytes;
        EXPECT_FALSE(bytes.contains("\nBcc") || bytes.contains("\rBcc")) << bytes.left(200).constData();
        EXPECT_TRUE(bytes.contains("\r\nFrom: studio@example.itBcc: spia@example.org\r\nTo:"));
    }

    TempDir dir;
    m.attachments << dir.file("manca.pdf");
    const MimeText missing = buildMimeMessage(m, "studio@example.it", date, "seme");
    EXPECT_EQ(missing.code, kMailAttachmentNotFound);
    EXPECT_TRUE(missing.bytes.isEmpty());
}
