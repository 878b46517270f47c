#include "accounts/FinancialSummary.h"

#include "accounts/Riparto.h"
#include "accounts/YearRows.h"
#include "cashbook/Balances.h"
#include "cashbook/OpeningsAndTransfers.h"
#include "store/Schema.h"

#include <QHash>
#include <QMap>
#include <algorithm>

namespace velcaris::accounts {

using store::Money;

namespace {

Money& at(PlaceFigures& f, const QString& method)
{
    return cashbook::countsAsCash(method) ? f.cash : f.bank;
}

bool byName(const QString& a, qint64 aId, const QString& b, qint64 bId)
{
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    if (c != 0)
        return c < 0;
    if (a != b)
        return a < b;
    return aId < bId;
}

QVector<OwnerCredit> ownerCredits(store::Database& db, const AccountingYear& year)
{
    store::Statement st(db, QStringLiteral("SELECT l.idProprietario, %1, q.AA, q.Importo, q.ImportoPagato FROM Quote AS q "
                                           "INNER JOIN Locali AS l ON l.Id = q.IdLocale "
                                           "LEFT JOIN Anagrafe AS p ON p.Id = l.idProprietario "
                                           "WHERE q.IdCondominio = ? AND %2 ORDER BY q.IdQuota")
                                .arg(store::personDisplayNameSql(QStringLiteral("p")),
                                     yearOrEarlierCondition(QStringLiteral("q.AA"))));
    QVector<QVariant> values = {year.condominium};
    values += yearOrEarlierValues(year);
    st.bindAll(values);
    QHash<qint64, OwnerCredit> owners;
    while (st.step()) {
        const Money due = Money::fromDouble(st.value(3).isNull() ? 0.0 : st.value(3).toDouble()) -
                          Money::fromDouble(st.value(4).isNull() ? 0.0 : st.value(4).toDouble());
        OwnerCredit& c = owners[st.value(0).toLongLong()];
        c.ownerId = st.value(0).toLongLong();
        c.owner = st.value(1).toString();
        (st.value(2).toString() == year.name ? c.thisYear : c.earlier) += due;
    }
    QVector<OwnerCredit> out;
    for (const OwnerCredit& c : owners)
        if (!c.thisYear.isZero() || !c.earlier.isZero())
            out << c;
    std::sort(out.begin(), out.end(),
              [](const OwnerCredit& a, const OwnerCredit& b) { return byName(a.owner, a.ownerId, b.owner, b.ownerId); });
    return out;
}

} // namespace

FinancialSummary computeFinancialSummary(store::Database& db, const AccountingYear& year, const Consuntivo& consuntivo,
                                         const UnitStatement& statement)
{
    FinancialSummary s;
    for (const IncomeRow& e : readIncome(db, year)) {
        PlaceFigures& f = e.kind == cashbook::kOpeningAmount ? s.opening
                          : cashbook::isTransfer(e.kind)     ? s.transfers
                                                             : s.income;
        at(f, e.method) += e.amount;
    }
    for (const ExpenseRow& u : readExpenses(db, year)) {
        if (!u.paid)
            continue;
        at(s.expenses, u.paymentMethod) += u.payment;
        at(s.expenses, u.withholdingMethod) += u.withholdingOut;
    }
    s.closing.cash = s.opening.cash + s.income.cash + s.transfers.cash - s.expenses.cash;
    s.closing.bank = s.opening.bank + s.income.bank + s.transfers.bank - s.expenses.bank;

    s.credits = ownerCredits(db, year);
    for (const OwnerCredit& c : s.credits)
        s.creditsTotal += c.total();

    QHash<qint64, SupplierDebt> debts;
    QMap<std::pair<QDate, QString>, Money> pending;
    for (const ExpenseRow& u : readExpenses(db, year, YearSpan::YearAndEarlier)) {
        if (!u.paid) {
            SupplierDebt& d = debts[u.supplierId];
            d.supplierId = u.supplierId;
            d.supplier = u.supplier;
            ++d.expenses;
            d.amount += u.grossCost();
        } else if (!u.taxCode.isEmpty() && !u.withheld.isZero() && !u.withholdingDate.isValid()) {
            const QDate day = u.period.isValid() ? u.period : u.paymentDate;
            const QDate month = day.isValid() ? QDate(day.year(), day.month(), 1) : QDate();
            pending[{month, u.taxCode}] += u.withheld;
        }
    }
    for (const SupplierDebt& d : debts)
        if (!d.amount.isZero())
            s.debts << d;
    std::sort(s.debts.begin(), s.debts.end(), [](const SupplierDebt& a, const SupplierDebt& b) {
        return byName(a.supplier, a.supplierId, b.supplier, b.supplierId);
    });
    for (const SupplierDebt& d : s.debts)
        s.debtsTotal += d.amount;
    for (auto it = pending.cbegin(); it != pending.cend(); ++it) {
        s.withholdings.push_back({it.key().first, it.key().second, it.value()});
        s.withholdingsTotal += it.value();
    }

    s.quotasCharged = statement.charged;
    s.actualExpenses = consuntivo.total.actual;
    return s;
}

FinancialSummary computeFinancialSummary(store::Database& db, const AccountingYear& year)
{
    const Consuntivo consuntivo = computeConsuntivo(db, year);
    return computeFinancialSummary(db, year, consuntivo,
                                   computeUnitStatement(db, year, computeRiparto(db, year, consuntivo)));
}

} // namespace velcaris::accounts
