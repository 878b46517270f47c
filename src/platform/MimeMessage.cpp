#include "platform/MimeMessage.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>

namespace velcaris::platform {

namespace {

const QByteArray kCrlf = QByteArrayLiteral("\r\n");

bool isPlainAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return true;
}

QString oneLine(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace(u'\r', u' ');
    s.replace(u'\n', u' ');
    return s;
}

// Base64 cut into lines of 76 characters.
QByteArray base64Lines(const QByteArray& data)
{
    const QByteArray b64 = data.toBase64();
    QByteArray out;
    for (qsizetype i = 0; i < b64.size(); i += 76)
        out += b64.mid(i, 76) + kCrlf;
    return out;
}

// Every line break of the text as CRLF.
QByteArray canonicalText(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(u'\r', u'\n');
    return s.toUtf8().replace('\n', kCrlf);
}

// RFC 2231 parameter value: filename*=UTF-8''%C3%A8...
QByteArray extendedParameter(const QString& value)
{
    return QByteArrayLiteral("UTF-8''") + value.toUtf8().toPercentEncoding();
}

// "Mon, 02 Jan 2006 15:04:05 +0100", in English whatever the locale.
QByteArray rfc5322Date(const QDateTime& date)
{
    const QLocale c = QLocale::c();
    const int offset = date.offsetFromUtc() / 60;
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(offset < 0 ? QStringLiteral("-") : QStringLiteral("+"))
                             .arg(qAbs(offset) / 60, 2, 10, QLatin1Char('0'))
                             .arg(qAbs(offset) % 60, 2, 10, QLatin1Char('0'));
    return (c.toString(date, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss ")) + zone).toLatin1();
}

QByteArray header(const char* name, const QByteArray& value)
{
    return QByteArray(name) + QByteArrayLiteral(": ") + value + kCrlf;
}

QByteArray addressList(const QStringList& addresses)
{
    QStringList clean;
    for (const QString& a : addresses)
        clean << oneLine(a).trimmed();
    return clean.join(QStringLiteral(", ")).toUtf8();
}

} // namespace

QByteArray encodeHeaderText(const QString& text)
{
    const QString line = oneLine(text);
    if (isPlainAscii(line))
        return line.toLatin1();
    // Encoded words of at most 75 characters: 45 bytes of UTF-8 give 60 of base64, plus the
    // 12 of "=?UTF-8?B?" and "?=". A character is never split between two words.
    QList<QByteArray> words;
    QByteArray chunk;
    const QList<uint> codePoints = line.toUcs4();
    for (uint cp : codePoints) {
        const QByteArray bytes = QString::fromUcs4(reinterpret_cast<const char32_t*>(&cp), 1).toUtf8();
        if (chunk.size() + bytes.size() > 45) {
            words << chunk;
            chunk.clear();
        }
        chunk += bytes;
    }
    if (!chunk.isEmpty())
        words << chunk;
    QByteArray out;
    for (const QByteArray& w : words) {
        if (!out.isEmpty())
            out += QByteArrayLiteral("\r\n ");
        out += QByteArrayLiteral("=?UTF-8?B?") + w.toBase64() + QByteArrayLiteral("?=");
    }
    return out;
}

MimeText buildMimeMessage(const MailMessage& message, const QString& sender, const QDateTime& date,
                          const QString& boundarySeed)
{
    MimeText result;
    QByteArray head;
    head += header("Date", rfc5322Date(date));
    // The sender comes from the settings: a line break in it never starts a header of its own.
    const QString senderLine = QString(sender).remove(u'\r').remove(u'\n');
    const QByteArray from = senderLine.toUtf8();
    head += header("From", message.fromName.isEmpty() ? from
                                                       : encodeHeaderText(message.fromName) + " <" + from + '>');
    head += header("To", message.to.isEmpty() ? QByteArrayLiteral("undisclosed-recipients:;") : addressList(message.to));
    if (!message.cc.isEmpty())
        head += header("Cc", addressList(message.cc));
    head += header("Subject", encodeHeaderText(message.subject));
    const QByteArray hash = QCryptographicHash::hash(boundarySeed.toUtf8(), QCryptographicHash::Sha1).toHex();
    const int at = senderLine.indexOf(u'@');
    head += header("Message-ID", '<' + hash + '.' + QByteArray::number(date.toMSecsSinceEpoch()) + '@' +
                                     (at >= 0 ? senderLine.mid(at + 1).toUtf8() : QByteArrayLiteral("velcaris")) + '>');
    head += header("MIME-Version", "1.0");

    const QByteArray textPart = header("Content-Type", "text/plain; charset=UTF-8") +
                                header("Content-Transfer-Encoding", "base64") + kCrlf +
                                base64Lines(canonicalText(message.body));
    if (message.attachments.isEmpty()) {
        result.bytes = head + textPart;
        return result;
    }

    const QByteArray boundary = QByteArrayLiteral("=_velcaris_") + hash;
    QByteArray body = QByteArrayLiteral("--") + boundary + kCrlf + textPart;
    for (const QString& path : message.attachments) {
        QFile file(path);
        if (!file.exists()) {
            result.code = kMailAttachmentNotFound;
            result.error = QStringLiteral("Allegato non trovato: %1").arg(path);
            return result;
        }
        if (!file.open(QIODevice::ReadOnly)) {
            result.code = 12;
            result.error = QStringLiteral("Impossibile leggere l'allegato %1: %2").arg(path, file.errorString());
            return result;
        }
        const QString name = QFileInfo(path).fileName();
        body += QByteArrayLiteral("--") + boundary + kCrlf;
        body += header("Content-Type", "application/octet-stream; name=\"" + encodeHeaderText(name).replace('"', "") + '"');
        body += header("Content-Transfer-Encoding", "base64");
        body += header("Content-Disposition", "attachment; filename*=" + extendedParameter(name));
        body += kCrlf + base64Lines(file.readAll());
    }
    body += QByteArrayLiteral("--") + boundary + QByteArrayLiteral("--") + kCrlf;
    result.bytes = head + header("Content-Type", "multipart/mixed; boundary=\"" + boundary + '"') + kCrlf + body;
    return result;
}

} // namespace velcaris::platform
