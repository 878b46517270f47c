#pragma once
// The Quadro AC: the suppliers of the current condominium paid in a year whose invoices of the
// year total at least 256.18 and from whom no tax was withheld that year, under the condominium's
// cadastral data, as a grid of four columns of text.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace velcaris::reports {

inline const double kQuadroACThreshold = 256.18;
inline const QString kQuadroACSheet = QStringLiteral("Quadro AC");
inline const QString kQuadroACSaved =
    QStringLiteral("Il file è stato creato con successo nella sottocartella \"Output\" del condominio");

struct QuadroAC {
    app::Outcome outcome;       // refused when the year is missing
    QVector<QStringList> grid;  // rows of 4 cells: 8 + 7 per supplier
    int suppliers = 0;
};

// The report of `yearText` for the current condominium.
QuadroAC buildQuadroAC(app::Workspace& ws, const QString& yearText);

// "<Output>/<condominium>/<condominium> - Quadro AC.xlsx"
QString quadroACPath(const app::Workspace& ws);

// Writes the grid as the workbook of quadroACPath; the outcome says where, or why not.
app::Outcome saveQuadroAC(const app::Workspace& ws, const QVector<QStringList>& grid);

} // namespace velcaris::reports
