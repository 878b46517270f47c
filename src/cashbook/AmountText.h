#pragma once
// Amounts typed in the cash book's boxes and in the payment grid: a number of cents, read as
// typed, or refused with a message that names the box, before anything is written.
#include "store/Money.h"

#include <QString>
#include <optional>

namespace velcaris::cashbook {

// nullopt when the text is not a number with "." for the decimals and at most two of them (a
// third decimal would be rounded away unseen); an empty text is not a number.
std::optional<store::Money> readAmount(const QString& text);

// Importo lordo: "12,50" non è un importo valido: ...
QString notAnAmountMessage(const QString& label, const QString& typed);

} // namespace velcaris::cashbook
