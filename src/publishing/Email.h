#pragma once
// The e-mail to persons or suppliers: what the dialog shows when it opens, and the sending of
// what the user wrote, with its entry in the mail log.
#include "foundation/Outcome.h"
#include "foundation/Settings.h"
#include "foundation/Workspace.h"
#include "platform/MailClient.h"
#include "publishing/MailLog.h"
#include "publishing/Recipients.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace velcaris::publishing {

inline const QString kMessageSent = QStringLiteral("Messaggio inviato");

// The dialog's controls when it opens.
struct EmailDraft {
    QString to;          // "A:"
    QStringList hidden;  // the hidden recipients
    QStringList skipped; // addresses found but not usable
    QString subject;
};

// The recipients of `mode`; a single one becomes the "A:" address, several go hidden behind the
// settings' default recipient. The subject is the settings' prefix, followed by " - " and the
// condominium when one is chosen.
EmailDraft prepareEmail(app::Workspace& ws, RecipientMode mode, const QVector<qint64>& selectedPersons,
                        const QVector<qint64>& selectedSuppliers, const app::Settings& settings);

struct EmailInput {
    RecipientMode mode = RecipientMode::Tutti;
    QString to;
    QStringList hidden;
    QStringList skipped;
    QStringList attachments;
    QString subject;
    QString body;
};

// Sends the message (To and Cc the "A:" address, the hidden recipients as Bcc) through `client`
// and writes its entry to `logFile`. Refused before anything is sent when an attachment no longer
// exists. An unusable "A:" address is left out and noted in the log. Done when the message was
// sent or handed to the mail client; a failure is refused with the reason, after it is logged.
app::Outcome sendEmail(platform::MailClient& client, const EmailInput& input, const QString& logFile,
                       const QDateTime& now);

} // namespace velcaris::publishing
