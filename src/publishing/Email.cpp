#include "publishing/Email.h"

#include "foundation/Settings.h"

#include <QFileInfo>

namespace velcaris::publishing {

EmailDraft prepareEmail(app::Workspace& ws, RecipientMode mode, const QVector<qint64>& selectedPersons,
                        const QVector<qint64>& selectedSuppliers, const app::Settings& settings)
{
    const Recipients found = gatherRecipients(ws, mode, selectedPersons, selectedSuppliers);
    EmailDraft draft;
    draft.skipped = found.skipped;
    draft.subject = settings.oggetto;
    if (!ws.selection.condominium.isEmpty())
        draft.subject += QStringLiteral(" - ") + ws.selection.condominium;
    if (found.addresses.size() == 1) {
        draft.to = found.addresses.first();
    } else {
        draft.to = settings.destinatario;
        draft.hidden = found.addresses;
    }
    return draft;
}

app::Outcome sendEmail(platform::MailClient& client, const EmailInput& input, const QString& logFile,
                       const QDateTime& now)
{
    for (const QString& path : input.attachments)
        if (!QFileInfo(path).isFile())
            return app::Outcome::refused(
                QStringLiteral("L'allegato %1 non esiste più: toglierlo o sceglierlo di nuovo prima di inviare").arg(path));

    MailLogEntry entry;
    entry.suppliers = isSupplierMode(input.mode);
    entry.when = now;
    entry.to = input.to;
    entry.hiddenText = joinedWithSemicolons(input.hidden);
    entry.subject = input.subject;
    entry.body = input.body;
    entry.attachmentsText = joinedWithSemicolons(input.attachments);
    entry.skipped = input.skipped;

    platform::MailMessage message;
    const QString to = input.to.trimmed();
    if (isUsableAddress(to)) {
        message.to << to;
        message.cc << to;
    } else if (!to.isEmpty()) {
        entry.skipped.prepend(to);
    }
    for (const QString& a : input.hidden) {
        if (isUsableAddress(a.trimmed()))
            message.bcc << a.trimmed();
        else if (!entry.skipped.contains(a))
            entry.skipped << a;
    }
    message.attachments = input.attachments;
    message.subject = input.subject;
    message.body = input.body;
    // The name shown beside the sender's address: the studio, else the administrator
    // ([amministratore] of the settings); none when neither is set.
    const app::StudioIdentity& studio = app::currentSettings().studio;
    message.fromName = (studio.studio.trimmed().isEmpty() ? app::currentSettings().amministratore : studio.studio)
                           .simplified();

    entry.result = client.send(message);
    const QString logError = appendToMailLog(logFile, entry);

    app::Outcome outcome;
    if (entry.result.ok()) {
        outcome = app::Outcome::accepted();
        // The desktop's mail client shows the message itself; a message sent directly is confirmed here.
        if (entry.result.delivery == platform::MailDelivery::Sent)
            outcome.add(app::MessageKind::Information, kMessageSent);
    } else {
        outcome = app::Outcome::refused(QStringLiteral("Messaggio non inviato: %1").arg(entry.result.explanation()),
                                        app::MessageKind::Error);
    }
    if (!logError.isEmpty())
        outcome.add(app::MessageKind::Warning, logError);
    return outcome;
}

} // namespace velcaris::publishing
