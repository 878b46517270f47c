#pragma once
// A date as the user types it: day, month and year with slashes ("15/06/2027", "1/6/2027") or
// the eight digits alone ("15062027"). Anything else, a two-figure year or a day the calendar
// lacks included, is no date: it is refused, never read as some other date.
#include <QDate>
#include <QString>
#include <optional>

namespace velcaris::app {

// How the program writes a date for the user.
inline const QString kDateFormat = QStringLiteral("dd/MM/yyyy");

// The date `text` holds (blanks around allowed); nullopt when it holds none.
std::optional<QDate> dateFromTyped(const QString& text);

// La data "31/02/2027" non è valida: ...
QString notADateMessage(const QString& typed);

} // namespace velcaris::app
