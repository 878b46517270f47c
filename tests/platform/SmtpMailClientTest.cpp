#include "platform/SmtpMailClient.h"
#include "SmtpTestServer.h"
#include "support/TempDir.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace velcaris::platform;
using velcaris::test::SmtpTestServer;
using velcaris::test::TempDir;

namespace {

SmtpSettings localServer(int port, const QString& user = {}, const QString& password = {})
{
    SmtpSettings s;
    s.server = QStringLiteral("127.0.0.1");
    s.port = port;
    s.user = user;
    s.password = password;
    s.sender = QStringLiteral("studio@amministrazioni.example");
    s.security = SmtpSecurity::None;
    s.timeoutSeconds = 20;
    s.connectTimeoutSeconds = 5;
    return s;
}

MailMessage circular()
{
    MailMessage m;
    m.to << QStringLiteral("studio@amministrazioni.example");
    m.cc << QStringLiteral("studio@amministrazioni.example");
    m.bcc << QStringLiteral("rossi@example.org") << QStringLiteral("bianchi@example.org")
          << QStringLiteral("verdi@example.net");
    m.subject = QStringLiteral("Convocazione assemblea - Alfa - Via Roma 1");
    m.body = QStringLiteral("Gentili condòmini,\nl'assemblea è convocata.\n.\nFine");
    return m;
}

QByteArray headersOf(const QByteArray& data)
{
    return data.left(data.indexOf("\r\n\r\n"));
}

// The decoded content of the attachment part named `name`.
QByteArray attachmentNamed(const QByteArray& data, const QByteArray& name)
{
    const qsizetype disposition = data.indexOf("filename*=UTF-8''" + name);
    if (disposition < 0)
        return {};
    const qsizetype start = data.indexOf("\r\n\r\n", disposition) + 4;
    const qsizetype end = data.indexOf("\r\n--", start);
    return QByteArray::fromBase64(data.mid(start, end - start));
}

QString decodedSubject(const QByteArray& headers)
{
    const QRegularExpression header(QStringLiteral("Subject: ((?:\\r\\n |[^\\r\\n])*)"));
    const QString value = header.match(QString::fromLatin1(headers)).captured(1);
    QString out;
    const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([^?]*)\\?="));
    for (auto it = word.globalMatch(value); it.hasNext();)
        out += QString::fromUtf8(QByteArray::fromBase64(it.next().captured(1).toLatin1()));
    return out.isEmpty() ? value : out;
}

} // namespace

TEST(SmtpMailClient, HiddenRecipientsAreInTheEnvelopeOnlyAndAttachmentsArriveIntact)
{
    TempDir dir;
    QByteArray binary;
    for (int i = 0; i < 20000; ++i)
        binary.append(char((i * 7919) % 256));
    QFile pdf(dir.file("Verbale è.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.write(binary);
    pdf.close();
    QFile text(dir.file("note.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("riga 1\r\n.\r\nriga 3\n");
    text.close();

    SmtpTestServer server;
    MailMessage m = circular();
    m.attachments << dir.file("Verbale è.pdf") << dir.file("note.txt");
    m.subject = QStringLiteral("Perché l'unità è già più cara: avviso sull'aumento delle quote condominiali");
    SmtpMailClient client(localServer(server.port()));
    const MailResult r = client.send(m);
    server.finish();

    EXPECT_EQ(r.delivery, MailDelivery::Sent) << r.detail.toStdString();
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(server.mailFrom, "studio@amministrazioni.example");
    // The "A:" address once, though it is both To and Cc; every hidden recipient.
    EXPECT_EQ(server.recipients, QStringList({"studio@amministrazioni.example", "rossi@example.org",
                                              "bianchi@example.org", "verdi@example.net"}));
    ASSERT_TRUE(server.dataReceived);
    for (const char* hidden : {"rossi@", "bianchi@", "verdi@"})
        EXPECT_FALSE(server.data.contains(hidden)) << hidden;
    const QByteArray headers = headersOf(server.data);
    // No hidden-recipient header line. The boundary and Message-ID are hex hashes, so a bare
    // "bcc" may legitimately appear inside them; only a header name counts.
    EXPECT_FALSE(("\r\n" + headers.toLower()).contains("\r\nbcc:"));
    EXPECT_TRUE(headers.contains("\r\nTo: studio@amministrazioni.example\r\n"));
    EXPECT_TRUE(headers.contains("\r\nCc: studio@amministrazioni.example\r\n"));
    // The accented subject travels as encoded words and reads back whole.
    for (char c : headers)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
    EXPECT_EQ(decodedSubject(headers), m.subject);
    EXPECT_EQ(attachmentNamed(server.data, QByteArray("Verbale è.pdf").toPercentEncoding()), binary);
    EXPECT_EQ(attachmentNamed(server.data, "note.txt"), QByteArray("riga 1\r\n.\r\nriga 3\n"));
}

TEST(SmtpMailClient, BodyWithALoneDotLineArrivesWhole)
{
    SmtpTestServer server;
    SmtpMailClient client(localServer(server.port()));
    const MailResult r = client.send(circular());
    server.finish();
    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    const qsizetype start = server.data.indexOf("\r\n\r\n") + 4;
    EXPECT_EQ(QString::fromUtf8(QByteArray::fromBase64(server.data.mid(start))),
              QStringLiteral("Gentili condòmini,\r\nl'assemblea è convocata.\r\n.\r\nFine"));
}

TEST(SmtpMailClient, ARefusedRecipientSendsNothingAndSaysWhom)
{
    SmtpTestServer server({{QStringLiteral("bianchi@example.org")}, {}});
    SmtpMailClient client(localServer(server.port()));
    const MailResult r = client.send(circular());
    server.finish();
    EXPECT_EQ(r.delivery, MailDelivery::Failed);
    EXPECT_EQ(r.code, kMailUnknownRecipient);
    EXPECT_EQ(r.errorText, "\"MAPI_E_UNKNOWN_RECIPIENT\"");
    EXPECT_TRUE(r.detail.contains("550 5.1.1 <bianchi@example.org>: Recipient address rejected")) << r.detail.toStdString();
    EXPECT_FALSE(server.dataReceived);
}

TEST(SmtpMailClient, AWrongPasswordShowsTheServersWords)
{
    SmtpTestServer server({{}, QStringLiteral("giusta")});
    SmtpMailClient client(localServer(server.port(), QStringLiteral("studio"), QStringLiteral("sbagliata")));
    const MailResult r = client.send(circular());
    server.finish();
    EXPECT_EQ(r.delivery, MailDelivery::Failed);
    EXPECT_EQ(r.code, kMailLoginFailure);
    EXPECT_EQ(r.errorText, "\"MAPI_E_LOGIN_FAILURE\"");
    EXPECT_TRUE(r.detail.contains("535 5.7.8 Error: authentication failed: credenziali errate")) << r.detail.toStdString();
    EXPECT_EQ(server.authUser, "studio");
    EXPECT_FALSE(server.dataReceived);
}

TEST(SmtpMailClient, TheRightPasswordSends)
{
    SmtpTestServer server({{}, QStringLiteral("giusta")});
    SmtpMailClient client(localServer(server.port(), QStringLiteral("studio"), QStringLiteral("giusta")));
    const MailResult r = client.send(circular());
    server.finish();
    EXPECT_TRUE(r.ok()) << r.detail.toStdString();
    EXPECT_TRUE(server.authenticated);
    EXPECT_TRUE(server.dataReceived);
}

TEST(SmtpMailClient, AClosedPortFailsWithTheConnectionError)
{
    SmtpMailClient client(localServer(SmtpTestServer::closedPort()));
    const MailResult r = client.send(circular());
    EXPECT_EQ(r.delivery, MailDelivery::Failed);
    EXPECT_EQ(r.code, kMailNoClient);
    EXPECT_TRUE(r.detail.startsWith("Server 127.0.0.1: ")) << r.detail.toStdString();
    EXPECT_TRUE(r.detail.contains("onnect")) << r.detail.toStdString();
}

TEST(SmtpMailClient, StartTlsRequiredIsNeverDowngradedToPlainText)
{
    SmtpTestServer server({{}, QStringLiteral("giusta")});
    SmtpSettings settings = localServer(server.port(), QStringLiteral("studio"), QStringLiteral("giusta"));
    settings.security = SmtpSecurity::StartTls;
    SmtpMailClient client(settings);
    const MailResult r = client.send(circular());
    server.finish();
    EXPECT_EQ(r.delivery, MailDelivery::Failed);
    EXPECT_FALSE(r.detail.isEmpty());
    EXPECT_TRUE(server.authUser.isEmpty()); // the password never crossed in clear
    EXPECT_FALSE(server.dataReceived);
}

TEST(SmtpMailClient, AMissingAttachmentOrNoRecipientStopsBeforeConnecting)
{
    TempDir dir;
    SmtpMailClient client(localServer(SmtpTestServer::closedPort()));
    MailMessage m = circular();
    m.attachments << dir.file("sparito.pdf");
    const MailResult missing = client.send(m);
    EXPECT_EQ(missing.code, kMailAttachmentNotFound);
    EXPECT_EQ(missing.detail, "Allegato non trovato: " + dir.file("sparito.pdf"));

    const MailResult nobody = client.send(MailMessage{});
    EXPECT_EQ(nobody.code, kMailUnknownRecipient);
    EXPECT_EQ(nobody.detail, "Nessun destinatario a cui inviare il messaggio");

    // A line break in a value of the settings would be a header, or an SMTP command, of its own.
    for (const char* sender : {"studio@example.it\r\nBcc: spia@example.org", "studio@example.it\rBcc: spia@example.org"}) {
        SmtpSettings injected = localServer(SmtpTestServer::closedPort());
        injected.sender = QString::fromLatin1(sender);
        const MailResult refused = SmtpMailClient(injected).send(circular());
        EXPECT_EQ(refused.code, kMailFailure);
        EXPECT_TRUE(refused.detail.contains("\"sender\" della sezione [smtp]")) << refused.detail.toStdString();
    }
}
