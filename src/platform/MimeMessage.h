#pragma once
// The text of an e-mail as it travels over SMTP: headers (non-ASCII words encoded), the body as
// UTF-8, and each attachment in base64. Hidden recipients never appear in it.
#include "platform/MailClient.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace velcaris::platform {

struct MimeText {
    QByteArray bytes;  // CRLF line ends; empty when an attachment could not be read
    int code = kMailSuccess;
    QString error;     // why an attachment could not be read
};

// The message from `sender` (address; the message's own fromName is shown beside it) dated
// `date`. The boundary between parts is derived from `boundarySeed` so that tests are repeatable.
MimeText buildMimeMessage(const MailMessage& message, const QString& sender, const QDateTime& date,
                          const QString& boundarySeed);

// One header value: left as it is when it is plain ASCII, otherwise as RFC 2047 encoded words of
// UTF-8 (several, folded, when it is long). Line breaks become blanks.
QByteArray encodeHeaderText(const QString& text);

} // namespace velcaris::platform
