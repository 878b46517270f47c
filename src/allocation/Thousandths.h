#pragma once
// The rows of Millesimi: one per unit and millesimal table of a condominium. These writers keep
// that so when a table or a unit is created, and when a unit's thousandths change. They run
// inside the caller's transaction.
#include "store/Database.h"

#include <QString>
#include <optional>

namespace velcaris::allocation {

// A zero row for every unit of `condominium` (ascending Id) in the new table `tableId`.
void addTableThousandths(store::Database& db, const QString& condominium, qint64 tableId);

// Sets the unit's thousandths in one table: the existing row is changed, a missing one is added.
void setThousandths(store::Database& db, const QString& condominium, qint64 unitId, qint64 tableId, double value);

// A thousandths cell: empty is 0; otherwise a number with "." as the decimal separator, not
// negative, rounded to three decimals. nullopt when the text is not such a number.
std::optional<double> thousandthsFromText(const QString& text);

} // namespace velcaris::allocation
