#pragma once
// The rendiconto as tables, one per section: what the window shows in its grids and the workbook
// holds in its sheets, so that both say the same. Amounts are cells of two decimals, thousandths
// of three, dates are dates; each section's totals are rows of their own, marked.
#include "accounts/PendingMatters.h"
#include "accounts/Rendiconto.h"
#include "reports/Workbook.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

namespace velcaris::accounts {

struct RendicontoSection {
    QString key;         // "Consuntivo", "Riparto", ...: the window names its grid "Grid<key>"
    reports::Sheet sheet; // its name is the section's title
    QSet<int> totals;    // the rows of sheet.rows that are totals
    QStringList notes;   // said under the grid and at the sheet's foot
};

// In this order: Consuntivo, Riparto, Situazione, Registro, Riepilogo, Nota. An empty rendiconto
// gives the same sections, with their totals at zero and a note that says why they are empty.
QVector<RendicontoSection> rendicontoSections(const Rendiconto& r, const PendingMatters& pending);

// "Ordinaria" or "Straordinaria".
QString expenseKindText(bool extraordinary);
// "(senza tabella)" for the expenses charged to no table, the table's name otherwise.
QString tableText(const QString& table);
// The difference as a percentage of the budget, two decimals; empty without a budget.
QString percentageText(const BudgetFigures& f);
// What the year's result is called: "Avanzo di gestione", "Disavanzo di gestione" or "Pareggio".
QString resultText(store::Money result);

} // namespace velcaris::accounts
