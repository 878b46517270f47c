#pragma once
// The years a condominium's rendiconto can be made for, in the order they follow each other, and
// the one the window opens on.
#include "accounts/AccountingYear.h"
#include "foundation/Workspace.h"

#include <QVector>

namespace velcaris::accounts {

// Every year of the condominium by start date (the years without one last), then by key.
QVector<AccountingYear> condominiumYears(store::Database& db, const QString& condominium);

// The index in `years` of the current condominium's current year; the latest year when none is
// current; -1 when there are no years.
int preferredYear(app::Workspace& ws, const QVector<AccountingYear>& years);

} // namespace velcaris::accounts
