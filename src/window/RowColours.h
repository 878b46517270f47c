#pragma once
// The background colours of register rows: decided here from the row's values, painted by the
// grids.
#include "foundation/ColourText.h"
#include "store/Dataset.h"

#include <QString>
#include <optional>

namespace velcaris::app {

// Income rows: the special movements (transfers between cash and bank, opening amounts) light
// yellow, payments money green.
Rgb incomeRowColour(const QString& movementKind);
// Expense rows: always light red.
Rgb expenseRowColour();
// A millesimal table's rows take the table's own colour once the table has a name; no colour
// (the grid's own) otherwise or when the stored colour cannot be read.
std::optional<Rgb> tableRowColour(const QString& tableName, const QString& storedColour);

// The same rules over one row of a register (ADOQueryEntrate, ADOTableTabelle).
std::optional<Rgb> incomeRowColourAt(store::Dataset& entrate, int row);
std::optional<Rgb> tableRowColourAt(store::Dataset& tabelle, int row);

} // namespace velcaris::app
