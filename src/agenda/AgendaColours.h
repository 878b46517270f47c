#pragma once
// The colours of the agenda's and the interventions' rows: a deadline by its outcome and its
// date, an intervention by whether it is concluded.
#include "foundation/ColourText.h"
#include "store/Dataset.h"

#include <QDate>
#include <optional>

namespace velcaris::agenda {

// Dealt with: light green; open and due today or earlier: light red; open and still to come:
// light yellow. A deadline without a date counts as due.
app::Rgb deadlineRowColour(bool esito, const QDate& due, const QDate& today);
// Concluded: light green; open: light red.
app::Rgb interventionRowColour(bool concluso);

// The same rules over one row of ADOTableScadenzario and of ADOQueryInterventi.
std::optional<app::Rgb> deadlineRowColourAt(store::Dataset& scadenzario, int row, const QDate& today);
std::optional<app::Rgb> interventionRowColourAt(store::Dataset& interventi, int row);

} // namespace velcaris::agenda
