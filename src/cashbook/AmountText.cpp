#include "cashbook/AmountText.h"

namespace velcaris::cashbook {

std::optional<store::Money> readAmount(const QString& text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return store::Money::parse(text);
}

QString notAnAmountMessage(const QString& label, const QString& typed)
{
    return QStringLiteral("%1: \"%2\" non è un importo valido: scrivere un numero con il punto per i decimali, "
                          "per esempio 12.50")
        .arg(label, typed);
}

} // namespace velcaris::cashbook
