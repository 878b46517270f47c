#include "platform/MailClient.h"

#include <QProcess>
#include <QStandardPaths>
#include <memory>

namespace velcaris::platform {

QString mailErrorText(int code)
{
    const char* text = nullptr;
    switch (code) {
    case 1:
    case 2: text = "ERRORE GENERICO"; break;
    case 3: text = "MAPI_E_LOGIN_FAILURE"; break;
    case 5: text = "MAPI_E_INSUFFICIENT_MEMORY"; break;
    case 9: text = "MAPI_E_TOO_MANY_FILES"; break;
    case 10: text = "MAPI_E_TOO_MANY_RECIPIENTS"; break;
    case 11: text = "MAPI_E_ATTACHMENT_NOT_FOUND"; break;
    case 12: text = "MAPI_E_ATTACHMENT_OPEN_FAILURE"; break;
    case 14: text = "MAPI_E_UNKNOWN_RECIPIENT"; break;
    case 15: text = "MAPI_E_BAD_RECIPTYPE"; break;
    case 18: text = "MAPI_E_TEXT_TOO_LARGE"; break;
    case 21: text = "MAPI_E_AMBIGUOUS_RECIPIENT"; break;
    default: return QString();
    }
    return u'"' + QString::fromLatin1(text) + u'"';
}

QString MailResult::explanation() const
{
    if (!detail.isEmpty())
        return detail;
    if (!errorText.isEmpty())
        return errorText;
    return QStringLiteral("Errore di invio (codice %1)").arg(code);
}

MailResult MailResult::success(MailDelivery how)
{
    MailResult r;
    r.delivery = how;
    r.code = kMailSuccess;
    return r;
}

MailResult MailResult::failure(int code, const QString& detail)
{
    MailResult r;
    r.delivery = MailDelivery::Failed;
    r.code = code;
    r.errorText = mailErrorText(code);
    r.detail = detail;
    return r;
}

QStringList DesktopMailClient::arguments(const MailMessage& m)
{
    QStringList args{QStringLiteral("--utf8")};
    for (const QString& a : m.cc)
        args << QStringLiteral("--cc") << a;
    for (const QString& a : m.bcc)
        args << QStringLiteral("--bcc") << a;
    // xdg-email refuses an empty subject or body: an empty one is simply left out.
    if (!m.subject.isEmpty())
        args << QStringLiteral("--subject") << m.subject;
    if (!m.body.isEmpty())
        args << QStringLiteral("--body") << m.body;
    for (const QString& path : m.attachments)
        args << QStringLiteral("--attach") << path;
    for (const QString& a : m.to)
        args << QStringLiteral("--to") << a;
    return args;
}

MailResult DesktopMailClient::send(const MailMessage& message)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty())
        return MailResult::failure(kMailNoClient,
                                   QStringLiteral("Programma xdg-email non trovato: installare xdg-utils e un programma di posta"));
    // On the heap: a mail program still open when the wait ends must not be killed with it.
    auto* running = new QProcess;
    running->setProgram(program);
    running->setArguments(arguments(message));
    running->start();
    if (!running->waitForStarted(10000)) {
        const QString why = running->errorString();
        delete running;
        return MailResult::failure(kMailNoClient, QStringLiteral("Impossibile avviare xdg-email: %1").arg(why));
    }
    if (!running->waitForFinished(timeoutMs_)) {
        // Still busy with the message: it is in the user's hands. The process object goes when it ends.
        QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
        return MailResult::success(MailDelivery::HandedToClient);
    }
    std::unique_ptr<QProcess> owned(running);
    QProcess& process = *owned;
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return MailResult::success(MailDelivery::HandedToClient);

    const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    const QString detail = QStringLiteral("Il programma di posta non ha accettato il messaggio") +
                           (said.isEmpty() ? QString() : QStringLiteral(": ") + said);
    // xdg-email's exit codes: 2 a file is missing, 3 no mail program is configured.
    switch (process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1) {
    case 2: return MailResult::failure(kMailAttachmentNotFound, detail);
    case 3: return MailResult::failure(kMailNoClient, detail);
    default: return MailResult::failure(kMailFailure, detail);
    }
}

MailResult RecordingMailClient::send(const MailMessage& message)
{
    messages_.append(message);
    return answer_;
}

} // namespace velcaris::platform
