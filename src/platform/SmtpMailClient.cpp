#include "platform/SmtpMailClient.h"

#include "platform/MimeMessage.h"

#include <QDateTime>
#include <QUuid>
#include <curl/curl.h>
#include <mutex>

namespace velcaris::platform {

namespace {

struct Upload {
    QByteArray data;
    qsizetype sent = 0;
};

size_t readUpload(char* buffer, size_t size, size_t count, void* userData)
{
    auto* upload = static_cast<Upload*>(userData);
    const qsizetype room = qsizetype(size * count);
    const qsizetype n = qMin(room, upload->data.size() - upload->sent);
    memcpy(buffer, upload->data.constData() + upload->sent, size_t(n));
    upload->sent += n;
    return size_t(n);
}

// What the server last complained about, and which command the program had just sent: the
// server's own words are what the user is shown. Credentials are never kept.
struct Conversation {
    QString lastComplaint;   // the last reply of class 4 or 5
    QByteArray complaintTo;  // the command it answered: "RCPT", "AUTH", ...
    QByteArray lastVerb;
};

int watchConversation(CURL*, curl_infotype type, char* data, size_t size, void* userData)
{
    auto* talk = static_cast<Conversation*>(userData);
    const QByteArray text(data, qsizetype(size));
    if (type == CURLINFO_HEADER_IN) {
        for (const QByteArray& line : text.split('\n')) {
            const QByteArray l = line.trimmed();
            if (l.size() >= 3 && (l[0] == '4' || l[0] == '5')) {
                talk->lastComplaint = QString::fromUtf8(l);
                talk->complaintTo = talk->lastVerb;
            }
        }
    } else if (type == CURLINFO_HEADER_OUT) {
        // Only the command's name: the lines that follow AUTH carry credentials.
        static const QList<QByteArray> verbs{"EHLO", "HELO", "STARTTLS", "AUTH", "MAIL", "RCPT", "DATA", "QUIT", "RSET"};
        const qsizetype blank = text.indexOf(' ');
        const QByteArray verb = (blank < 0 ? text : text.left(blank)).trimmed().toUpper();
        if (verbs.contains(verb))
            talk->lastVerb = verb;
    }
    return 0;
}

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

int codeFor(CURLcode code, const Conversation& talk)
{
    if (code == CURLE_LOGIN_DENIED || talk.complaintTo == "AUTH")
        return kMailLoginFailure;
    if (talk.complaintTo == "RCPT")
        return kMailUnknownRecipient;
    switch (code) {
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_OPERATION_TIMEDOUT: return kMailNoClient;
    default: return kMailFailure;
    }
}

} // namespace

int SmtpSettings::effectivePort() const
{
    if (port > 0)
        return port;
    switch (security) {
    case SmtpSecurity::Implicit: return 465;
    case SmtpSecurity::StartTls: return 587;
    case SmtpSecurity::None: return 25;
    }
    return 25;
}

namespace {

bool hasControlCharacter(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    return false;
}

} // namespace

MailResult SmtpMailClient::send(const MailMessage& message)
{
    if (settings_.server.trimmed().isEmpty())
        return MailResult::failure(kMailNoClient, QStringLiteral("Server SMTP non indicato nelle impostazioni"));
    if (settings_.sender.trimmed().isEmpty())
        return MailResult::failure(kMailFailure, QStringLiteral("Mittente SMTP non indicato nelle impostazioni"));
    // A line break in a value of the settings would start a header or an SMTP command of its own.
    for (const auto& [value, key] : {std::pair{&settings_.sender, "sender"}, std::pair{&settings_.server, "server"},
                                     std::pair{&settings_.user, "user"}})
        if (hasControlCharacter(*value))
            return MailResult::failure(kMailFailure,
                                       QStringLiteral("Il valore \"%1\" della sezione [smtp] delle impostazioni contiene un "
                                                      "a capo o un altro carattere di controllo: correggerlo. Il "
                                                      "messaggio non è stato inviato.")
                                           .arg(QString::fromLatin1(key)));

    // Each recipient once in the envelope, whichever list it came from.
    QStringList envelope;
    for (const QStringList* list : {&message.to, &message.cc, &message.bcc})
        for (const QString& a : *list)
            if (!a.trimmed().isEmpty() && !envelope.contains(a.trimmed(), Qt::CaseInsensitive))
                envelope << a.trimmed();
    if (envelope.isEmpty())
        return MailResult::failure(kMailUnknownRecipient, QStringLiteral("Nessun destinatario a cui inviare il messaggio"));

    const MimeText mime = buildMimeMessage(message, settings_.sender.trimmed(), QDateTime::currentDateTime(),
                                           QUuid::createUuid().toString());
    if (mime.code != kMailSuccess)
        return MailResult::failure(mime.code, mime.error);

    initialiseCurlOnce();
    CURL* curl = curl_easy_init();
    if (!curl)
        return MailResult::failure(kMailFailure, QStringLiteral("Impossibile preparare l'invio (libcurl)"));

    const QByteArray scheme = settings_.security == SmtpSecurity::Implicit ? "smtps" : "smtp";
    const QByteArray url = scheme + "://" + settings_.server.trimmed().toUtf8() + ':' +
                           QByteArray::number(settings_.effectivePort());
    const QByteArray from = '<' + settings_.sender.trimmed().toUtf8() + '>';
    const QByteArray user = settings_.user.toUtf8();
    const QByteArray password = settings_.password.toUtf8();
    curl_slist* recipients = nullptr;
    for (const QString& a : envelope)
        recipients = curl_slist_append(recipients, ('<' + a.toUtf8() + '>').constData());
    Upload upload{mime.bytes, 0};
    Conversation talk;
    char errorBuffer[CURL_ERROR_SIZE] = {0};

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, watchConversation);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &talk);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L); // feeds the debug function, which prints nothing
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(settings_.connectTimeoutSeconds));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, long(settings_.timeoutSeconds));
    if (settings_.security == SmtpSecurity::StartTls)
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }

    const CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(recipients);
    curl_easy_cleanup(curl);
    if (code == CURLE_OK)
        return MailResult::success(MailDelivery::Sent);

    // The server's own words when it refused something; libcurl's otherwise.
    QString detail = talk.lastComplaint;
    if (detail.isEmpty())
        detail = QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(code));
    return MailResult::failure(codeFor(code, talk), QStringLiteral("Server %1: %2").arg(settings_.server.trimmed(), detail));
}

} // namespace velcaris::platform
