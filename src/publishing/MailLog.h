#pragma once
// The mail log, mail.log in the application folder: one entry per message the program tried to
// send, with what became of it. The only log the program keeps.
#include "platform/MailClient.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace velcaris::publishing {

struct MailLogEntry {
    bool suppliers = false;  // written from the Fornitori tab
    QDateTime when;
    QString to;              // the "A:" address as typed
    QString hiddenText;      // the hidden recipients as shown ("a;b;")
    QString subject;
    QString body;
    QString attachmentsText; // as shown ("/x/a.pdf;")
    QStringList skipped;     // addresses not used because they could reach nobody
    platform::MailResult result;
};

// "a;b;": each item followed by ";", as the dialog shows addresses and attachments.
QString joinedWithSemicolons(const QStringList& items);

// The entry's lines: the banner, date and time, recipient, hidden recipients, subject, text (its
// own line breaks kept), attachments, what became of the message, and the skipped addresses when
// there are any.
QStringList mailLogLines(const MailLogEntry& entry);

// Appends the entry to `file`, created when missing. Empty when it was written; otherwise the
// reason, in Italian.
QString appendToMailLog(const QString& file, const MailLogEntry& entry);

} // namespace velcaris::publishing
