#pragma once
// "Esporta modello": the workbook the import reads, filled with what the current condominium
// already has, so that exporting, editing and importing again changes only what was edited.
// Sheets "Locali" (one column per millesimal table after the unit's own), "Persone",
// "Fornitori" and a short "Istruzioni".
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "reports/Workbook.h"

#include <QString>
#include <QVector>

namespace velcaris::sheetimport {

// The sheets of the model for the current condominium.
QVector<reports::Sheet> templateSheets(app::Workspace& ws);

// Writes them into `path` (an .xlsx, replaced when it exists).
app::Outcome exportTemplate(app::Workspace& ws, const QString& path);

} // namespace velcaris::sheetimport
