#pragma once
// Receipt numbers: one sequence per condominium and administrative year, starting at 1.
#include "foundation/Workspace.h"

#include <QString>

namespace velcaris::cashbook {

// Nome of the condominium's current administrative year; empty when it has none.
QString currentYearName(app::Workspace& ws, const QString& condominium);

// The highest receipt number among the income rows of the condominium's current year, plus one
// (numbers compared as numbers, rows without a number ignored); 1 when the year has none.
int nextReceiptNumber(app::Workspace& ws, const QString& condominium);

} // namespace velcaris::cashbook
