#pragma once
// The monthly withholding payments (model F24): for a year, the tax withheld from the current
// condominium's suppliers per month of reference and per tax code, with the date it falls due
// (the 16th of the following month), when it was paid, and the interest already recorded for
// the payments made late.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "reports/Workbook.h"

#include <QDate>
#include <QString>
#include <QVector>

namespace velcaris::reports {

struct F24Line {
    QDate month;      // first day of the month of reference
    QString code;     // CodTributo
    double withheld = 0;
    QDate due;        // the 16th of the following month
    QDate paidOn;     // the latest DataRitenuta of the line; null when not paid yet
    double interest = 0;
    bool late = false; // paid after the due date, or recorded as a late payment
};

struct F24Summary {
    app::Outcome outcome;
    QVector<F24Line> lines; // by month, then code
};

// The 16th of the month after `month`.
QDate f24DueDate(const QDate& month);

// The paid expenses with a withholding code whose month of reference (PeriodoRiferimento, or the
// payment date when it is missing) falls in the year typed.
F24Summary f24Summary(app::Workspace& ws, const QString& year);

// The summary as a sheet (and as the grid on screen): one row per line and a row of totals.
Sheet f24Sheet(const QVector<F24Line>& lines);

// "<Output>/<condominium>/<condominium> - F24 <year>.xlsx"
QString f24Path(const app::Workspace& ws, const QString& year);

} // namespace velcaris::reports
