#pragma once
// The consuntivo: for each millesimal table and budget item of a year, the budget (Preventivi)
// against the actual expenses of the year charged to it (Uscite of the year, by their gross cost
// to the condominium: ExpenseRow::grossCost, what the expense takes out of cash and bank in all,
// so that the consuntivo and the balances speak of the same money), with subtotals per table and
// per expense type and the grand total. Every recorded expense of the year counts, paid or not:
// the consuntivo is of the year's expenses, the unpaid ones are also the debts to suppliers.
//
// A budget item has no type of its own, so a line is a table, an item and a type: the item's
// expenses of each type make a line of that type, and its budget goes to its ordinary line (to the
// extraordinary one when every expense of the item is extraordinary). Expenses on an item or a
// table without a budget row make lines with budget 0.00.
#include "accounts/AccountingYear.h"
#include "store/Money.h"

#include <QString>
#include <QVector>
#include <optional>

namespace velcaris::accounts {

// A budget against its actual expenses.
struct BudgetFigures {
    store::Money budget;
    store::Money actual;
    store::Money difference() const { return actual - budget; }
    // difference / budget x 100; none when the budget is zero.
    std::optional<double> percentage() const;
    BudgetFigures& operator+=(const BudgetFigures& o)
    {
        budget += o.budget;
        actual += o.actual;
        return *this;
    }
};

struct ConsuntivoLine {
    QString table;       // as the rows name it; empty for expenses charged to no table
    QString item;        // the budget item's description
    bool extraordinary = false;
    BudgetFigures figures;
};

struct ConsuntivoTable {
    QString table;
    BudgetFigures figures;
    store::Money ordinary;      // the actual expenses by type, what the riparto shares
    store::Money extraordinary;
};

struct Consuntivo {
    QVector<ConsuntivoLine> lines;   // by table, item (without regard to case), ordinary first
    QVector<ConsuntivoTable> tables; // one per table the lines name, in their order
    BudgetFigures ordinary;
    BudgetFigures extraordinary;
    BudgetFigures total;
};

Consuntivo computeConsuntivo(store::Database& db, const AccountingYear& year);

} // namespace velcaris::accounts
