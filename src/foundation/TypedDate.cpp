#include "foundation/TypedDate.h"

#include <QRegularExpression>

namespace velcaris::app {

std::optional<QDate> dateFromTyped(const QString& text)
{
    static const QRegularExpression withSlashes(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    static const QRegularExpression digitsOnly(QStringLiteral("^(\\d{2})(\\d{2})(\\d{4})$"));
    const QString trimmed = text.trimmed();
    QRegularExpressionMatch m = withSlashes.match(trimmed);
    if (!m.hasMatch())
        m = digitsOnly.match(trimmed);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString notADateMessage(const QString& typed)
{
    return QStringLiteral("La data \"%1\" non è valida: scrivere giorno, mese e anno come 15/06/2027 oppure 15062027")
        .arg(typed.trimmed());
}

} // namespace velcaris::app
