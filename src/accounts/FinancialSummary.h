#pragma once
// The riepilogo finanziario of a year: where the money was and went (opening amounts, income,
// transfers, expenses and closing balances, cash and bank apart), what is owed to the condominium
// and by it at the end of the year, and the year's economic result.
#include "accounts/AccountingYear.h"
#include "accounts/Consuntivo.h"
#include "accounts/UnitStatement.h"
#include "store/Money.h"

#include <QDate>
#include <QString>
#include <QVector>

namespace velcaris::accounts {

struct PlaceFigures {
    store::Money cash;
    store::Money bank;
    store::Money total() const { return cash + bank; }
};

// Quotas not yet paid (amount - paid, a credit quota counting against them) of the owner's units.
struct OwnerCredit {
    qint64 ownerId = 0;
    QString owner;
    store::Money thisYear;
    store::Money earlier; // the condominium's years that started before this one
    store::Money total() const { return thisYear + earlier; }
};

// Expenses recorded and not paid yet, this year's and earlier, at their gross cost.
struct SupplierDebt {
    qint64 supplierId = 0;
    QString supplier;
    int expenses = 0;
    store::Money amount;
};

// Tax withheld from suppliers on paid expenses and not yet paid to the treasury (no date of
// payment recorded, as the F24 summary reads it), by month of reference and tax code.
struct PendingWithholding {
    QDate month; // first day of the month of reference (or of the payment)
    QString code;
    store::Money amount;
};

struct FinancialSummary {
    PlaceFigures opening;    // the year's opening amounts
    PlaceFigures income;     // every other income but the transfers
    PlaceFigures transfers;  // between cash and bank: the two places' sum is zero
    PlaceFigures expenses;   // what the paid expenses took out
    PlaceFigures closing;    // opening + income + transfers - expenses: the register's closing balances

    QVector<OwnerCredit> credits;      // owners with something due, by name
    store::Money creditsTotal;
    QVector<SupplierDebt> debts;       // by supplier name
    store::Money debtsTotal;
    QVector<PendingWithholding> withholdings; // by month, then code
    store::Money withholdingsTotal;

    store::Money quotasCharged;  // the year's own quotas (the unit statement's)
    store::Money actualExpenses; // the consuntivo's total
    store::Money result() const { return quotasCharged - actualExpenses; } // positive: surplus
};

FinancialSummary computeFinancialSummary(store::Database& db, const AccountingYear& year, const Consuntivo& consuntivo,
                                         const UnitStatement& statement);
FinancialSummary computeFinancialSummary(store::Database& db, const AccountingYear& year);

} // namespace velcaris::accounts
