#pragma once
// "Cassa" and "Visualizza solo movimenti in C.C.": the income and expense registers show only the
// movements of one payment place (of the chosen condominium, or of every one when none is chosen).
#include "foundation/Workspace.h"

#include <QString>

namespace velcaris::cashbook {

inline const QString kPlaceCassa = QStringLiteral("Cassa");
inline const QString kPlaceContoCorrente = QStringLiteral("Conto Corrente");

// The filters for `place`: expenses by their payment method, income by theirs.
QString expensesAtPlaceFilter(const QString& condominium, const QString& place);
QString incomeAtPlaceFilter(const QString& condominium, const QString& place);

// Sets both filters on ADOQueryUscite and ADOQueryEntrate.
void showOnlyPlace(app::Workspace& ws, const QString& place);

} // namespace velcaris::cashbook
