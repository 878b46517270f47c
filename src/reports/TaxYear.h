#pragma once
// The reference year of the tax reports, as typed: four digits, or nothing to work with.
#include <QString>

namespace velcaris::reports {

inline const QString kRequireReferenceYear = QStringLiteral("Inserire l'anno di riferimento");

// The year typed, when it is one (1..4 digits, from 1900 to 9999); 0 otherwise.
int referenceYear(const QString& typed);

} // namespace velcaris::reports
