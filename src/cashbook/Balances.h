#pragma once
// Cash and bank balances of the rows the income and expense registers show at this moment.
#include "foundation/Workspace.h"

#include <QString>
#include <QStringList>

namespace velcaris::cashbook {

struct Balances {
    double entrateC = 0, entrateCC = 0; // income: cash, bank
    double usciteC = 0, usciteCC = 0;   // expenses: cash, bank
    // Figures as the main window shows them: two decimals with ".", the differences taken from
    // the rounded texts.
    QString textEntrateC() const;
    QString textEntrateCC() const;
    QString textEntrateTOT() const;
    QString textUsciteC() const;
    QString textUsciteCC() const;
    QString textUsciteTOT() const;
    QString textTOTC() const;
    QString textTOTCC() const;
    QString textTOT() const;
};

// Whether a payment method counts as cash: exactly "Cassa"; any other counts as bank.
bool countsAsCash(const QString& method);

// What a paid expense takes out: the supplier is paid the invoice and commission less the
// withholding (by its payment method); the withholding goes out later with its interest, which
// adds to what the expense cost (by its withholding method). An unpaid expense takes out nothing.
struct ExpenseOutflow {
    double payment = 0;
    double withholding = 0;
};
ExpenseOutflow expenseOutflow(double invoice, double commission, double withholding, double interest);

// Walks the rows of ADOQueryEntrate and ADOQueryUscite as filtered (each is re-read first and
// left on its first row). A method other than exactly "Cassa" counts as bank; unpaid expenses
// count nowhere. An expense goes out as invoice + commission - withholding by its payment
// method, and as withholding + interest by its withholding method.
Balances RicalcolaSaldi(app::Workspace& ws);
// The same walk over the rows as they are now, without reading them again: the totals after a
// search narrowed the registers, when nothing was written.
Balances totalsOfShownRows(app::Workspace& ws);

// The per-condominium bank balance from the summary queries, one "name\tbalance" line per
// condominium of `names` (only the negative ones when onlyNegative). Here a method counts as
// bank only when it is exactly "Conto Corrente".
QStringList bankSummary(app::Workspace& ws, const QStringList& names, bool onlyNegative);

} // namespace velcaris::cashbook
