#include "accounts/Register.h"

#include "accounts/YearRows.h"
#include "cashbook/Balances.h"

#include <algorithm>

namespace velcaris::accounts {

using store::Money;

namespace {

Place placeOf(const QString& method)
{
    return cashbook::countsAsCash(method) ? Place::Cash : Place::Bank;
}

QString joined(const QStringList& parts)
{
    QStringList kept;
    for (const QString& p : parts)
        if (!p.trimmed().isEmpty())
            kept << p.trimmed();
    return kept.join(QStringLiteral(" - "));
}

} // namespace

Register computeRegister(store::Database& db, const AccountingYear& year)
{
    Register r;
    for (const IncomeRow& e : readIncome(db, year)) {
        RegisterLine line;
        line.source = RegisterLine::Source::Income;
        line.rowId = e.id;
        line.date = e.date;
        line.number = e.receipt;
        line.counterpart = e.counterpart;
        line.description = joined({e.kind, e.type, e.note});
        line.place = placeOf(e.method);
        (e.amount < Money() ? line.out : line.in) = e.amount < Money() ? -e.amount : e.amount;
        r.lines.push_back(line);
    }
    for (const ExpenseRow& u : readExpenses(db, year)) {
        if (!u.paid)
            continue;
        RegisterLine line;
        line.source = RegisterLine::Source::ExpensePayment;
        line.rowId = u.id;
        line.date = u.paymentDate;
        line.number = u.number;
        line.counterpart = u.supplier;
        line.description = joined({u.causale, u.item});
        line.place = placeOf(u.paymentMethod);
        (u.payment < Money() ? line.in : line.out) = u.payment < Money() ? -u.payment : u.payment;
        if (!u.payment.isZero())
            r.lines.push_back(line);
        if (!u.withholdingOut.isZero()) {
            RegisterLine tax = line;
            tax.source = RegisterLine::Source::Withholding;
            tax.date = u.withholdingDate.isValid() ? u.withholdingDate : u.paymentDate;
            tax.counterpart = QStringLiteral("Erario");
            tax.description = joined({QStringLiteral("Versamento ritenuta d'acconto"), u.taxCode, u.causale});
            tax.place = placeOf(u.withholdingMethod);
            tax.in = Money();
            tax.out = Money();
            (u.withholdingOut < Money() ? tax.in : tax.out) =
                u.withholdingOut < Money() ? -u.withholdingOut : u.withholdingOut;
            r.lines.push_back(tax);
        }
    }
    // Date order (rows without a date first); on one day the income first, then by row.
    std::stable_sort(r.lines.begin(), r.lines.end(), [](const RegisterLine& a, const RegisterLine& b) {
        if (a.date != b.date)
            return !a.date.isValid() || (b.date.isValid() && a.date < b.date);
        const bool aIncome = a.source == RegisterLine::Source::Income;
        const bool bIncome = b.source == RegisterLine::Source::Income;
        if (aIncome != bIncome)
            return aIncome;
        return a.rowId < b.rowId;
    });
    Money cash, bank;
    for (RegisterLine& line : r.lines) {
        if (line.place == Place::Cash) {
            r.cashIn += line.in;
            r.cashOut += line.out;
            cash += line.in - line.out;
        } else {
            r.bankIn += line.in;
            r.bankOut += line.out;
            bank += line.in - line.out;
        }
        line.cashBalance = cash;
        line.bankBalance = bank;
    }
    return r;
}

} // namespace velcaris::accounts
