#pragma once
// A new unit's share of the quota schedule: the quotas of the current year that the
// condominium's first allocated unit has (personal quotas aside), copied with zero amounts.
#include "store/Database.h"

#include <QString>

namespace velcaris::allocation {

inline const QString kPersonalQuotaType = QStringLiteral("Spese personali");

// The name of the condominium's current administrative year, or an empty text when it has none.
QString currentYearOf(store::Database& db, const QString& condominium);

// Copies the schedule of `condominium`'s current year to `unitId`: the template is the unit of
// the year's lowest IdQuota that is not a personal quota; each of its non-personal quotas of
// that year, in IdQuota order, is added for the new unit with Importo and ImportoPagato 0 and
// the same name, type and due date. Nothing when the year has no such quota. Returns the number
// of rows added. Runs inside the caller's transaction.
int copyQuotaSchedule(store::Database& db, const QString& condominium, qint64 unitId);

} // namespace velcaris::allocation
