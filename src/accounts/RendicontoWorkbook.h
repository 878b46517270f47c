#pragma once
// "Esporta" of the rendiconto: one workbook with a sheet per section (rendicontoSections), numbers
// as numbers and dates as dates, each sheet's notes at its foot; written into the condominium's
// folder.
#include "accounts/PendingMatters.h"
#include "accounts/Rendiconto.h"
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "reports/Workbook.h"

#include <QDate>
#include <QString>
#include <QVector>

namespace velcaris::accounts {

// A file of the rendiconto, when one was written.
struct RendicontoFile {
    app::Outcome outcome;
    QString written;
};

// The sheets, in the order of the sections.
QVector<reports::Sheet> rendicontoSheets(const Rendiconto& r, const PendingMatters& pending);

// "<Output>/<condominium>/Rendiconto <year> - <dd.MM.yyyy>.xlsx" for the current condominium.
QString rendicontoWorkbookPath(const app::Workspace& ws, const QString& yearName, const QDate& today);

// Writes the workbook (an earlier one of the same day is replaced). Refused without a current
// condominium; a file that cannot be written is said in Italian and nothing is left half-written.
RendicontoFile exportRendiconto(app::Workspace& ws, const Rendiconto& r, const PendingMatters& pending,
                                const QDate& today);

} // namespace velcaris::accounts
