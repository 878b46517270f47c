#pragma once
// Handing one e-mail message to whatever sends it: the desktop's mail client (the user confirms
// and sends it there), SMTP directly (SmtpMailClient.h), or a recorder for tests.
#include <QString>
#include <QStringList>
#include <QVector>

namespace velcaris::platform {

struct MailMessage {
    QStringList to;
    QStringList cc;
    QStringList bcc;         // hidden recipients: envelope only, never a header
    QStringList attachments; // file paths
    QString subject;
    QString body;
    QString fromAddress;     // empty: the transport's own sender
    QString fromName;
};

// How a message left the program.
enum class MailDelivery {
    Sent,           // accepted by the SMTP server
    HandedToClient, // shown in the desktop's mail client, which the user sends from
    Failed,
};

// Result codes of the mail interface (0 = success) and their error texts.
enum MailCode {
    kMailNoClient = -1,          // no mail program (or server) could be reached
    kMailSuccess = 0,
    kMailFailure = 2,            // "ERRORE GENERICO"
    kMailLoginFailure = 3,
    kMailAttachmentNotFound = 11,
    kMailUnknownRecipient = 14,
};

struct MailResult {
    MailDelivery delivery = MailDelivery::Failed;
    int code = kMailFailure;
    QString errorText; // the code's text in double quotes, or empty for codes without one
    QString detail;    // in the words of the server or of the program: what the user reads

    bool ok() const { return delivery != MailDelivery::Failed; }
    // What to tell the user about a failure: the detail, else the code's text.
    QString explanation() const;

    static MailResult success(MailDelivery how);
    static MailResult failure(int code, const QString& detail);
};

// The error text of a result code, already in double quotes ("\"MAPI_E_LOGIN_FAILURE\""); empty
// for 0 and for codes that have none.
QString mailErrorText(int code);

class MailClient {
public:
    virtual ~MailClient() = default;
    virtual MailResult send(const MailMessage& message) = 0;
};

// The desktop's mail client through xdg-email: the message opens there for the user to check and
// send. Waits for xdg-email to return, for at most `timeoutMs`.
class DesktopMailClient : public MailClient {
public:
    explicit DesktopMailClient(int timeoutMs = 60000) : timeoutMs_(timeoutMs) {}
    MailResult send(const MailMessage& message) override;

    // The arguments given to xdg-email for `message`.
    static QStringList arguments(const MailMessage& message);

private:
    int timeoutMs_;
};

// Records every message and answers with a result set beforehand (success by default).
class RecordingMailClient : public MailClient {
public:
    MailResult send(const MailMessage& message) override;

    void answerWith(const MailResult& result) { answer_ = result; }
    const QVector<MailMessage>& messages() const { return messages_; }

private:
    QVector<MailMessage> messages_;
    MailResult answer_ = MailResult::success(MailDelivery::HandedToClient);
};

} // namespace velcaris::platform
