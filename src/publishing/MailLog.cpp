#include "publishing/MailLog.h"

#include <QFile>

namespace velcaris::publishing {

namespace {

QString banner(const char* spacedWord)
{
    return QString(34, u'*') + u' ' + QString::fromLatin1(spacedWord) + u' ' + QString(44, u'*');
}

QString outcomeLine(const platform::MailResult& r)
{
    switch (r.delivery) {
    case platform::MailDelivery::Sent: return QStringLiteral("Esito: inviato");
    case platform::MailDelivery::HandedToClient: return QStringLiteral("Esito: consegnato al programma di posta");
    case platform::MailDelivery::Failed: break;
    }
    QString line = QStringLiteral("Esito: NON INVIATO, codice %1").arg(r.code);
    if (!r.errorText.isEmpty())
        line += u' ' + r.errorText;
    if (!r.detail.isEmpty())
        line += QStringLiteral(": ") + r.detail;
    return line;
}

} // namespace

QString joinedWithSemicolons(const QStringList& items)
{
    QString out;
    for (const QString& s : items)
        out += s + u';';
    return out;
}

QStringList mailLogLines(const MailLogEntry& e)
{
    QStringList lines;
    lines << (e.suppliers ? banner("F O R N I T O R I") : banner("C O N D O M I N I"));
    lines << QStringLiteral("Data: ") + e.when.date().toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral("   Ora: ") +
                 e.when.time().toString(QStringLiteral("HH:mm:ss"));
    lines << QStringLiteral("Destinatario: ") + e.to;
    lines << QStringLiteral("Destinatari nascosti: ") + e.hiddenText;
    lines << QStringLiteral("Oggetto: ") + e.subject;
    QString body = e.body;
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines << (QStringLiteral("Testo: ") + body).split(u'\n');
    lines << QStringLiteral("Allegati: ") + e.attachmentsText;
    lines << outcomeLine(e.result);
    if (!e.skipped.isEmpty())
        lines << QStringLiteral("Indirizzi scartati (non validi): ") + joinedWithSemicolons(e.skipped);
    return lines;
}

QString appendToMailLog(const QString& fileName, const MailLogEntry& entry)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return QStringLiteral("Impossibile scrivere il registro della posta %1: %2").arg(fileName, file.errorString());
    QByteArray bytes;
    for (const QString& line : mailLogLines(entry))
        bytes += line.toUtf8() + '\n';
    if (file.write(bytes) != bytes.size() || !file.flush())
        return QStringLiteral("Impossibile scrivere il registro della posta %1: %2").arg(fileName, file.errorString());
    return QString();
}

} // namespace velcaris::publishing
