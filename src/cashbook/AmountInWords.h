#pragma once
// Amounts spelled in Italian words, as printed on receipts and certificates
// ("milleduecentotrentacinque/45").
#include <QString>
#include <QtGlobal>

namespace velcaris::cashbook {

// The whole part of an amount given in ten-thousandths (1235.45 -> 12354500), spelled in lower
// case without blanks. Empty for a negative whole part, for zero, and from 2100000000 upwards.
QString ImportoInLettere(qint64 tenThousandths);

// The receipt's `lettere`: the words of a total text ("1235.45", "." as decimal separator),
// "/" and its last two characters, or "/00" when the text has no decimal point.
// Raises std::invalid_argument (Italian text) when the total is not a number.
QString receiptTotalInWords(const QString& totalText);

} // namespace velcaris::cashbook
