#include "cashbook/AmountText.h"

#include <QRegularExpression>

namespace velcaris::cashbook {

std::optional<store::Money> readAmount(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("^\\s*[+-]?(\\d+(\\.\\d{0,2})?|\\.\\d{1,2})\\s*$"));
    if (!shape.match(text).hasMatch())
        return std::nullopt;
    return store::Money::parse(text);
}

QString notAnAmountMessage(const QString& label, const QString& typed)
{
    return QStringLiteral("%1: \"%2\" non è un importo valido: scrivere un numero con il punto per i decimali "
                          "e al massimo due decimali, per esempio 12.50")
        .arg(label, typed);
}

} // namespace velcaris::cashbook
