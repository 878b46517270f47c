#include "allocation/AllocationPlan.h"

#include "allocation/LargestRemainder.h"

#include <cstdlib>

namespace velcaris::allocation {

using store::Money;

double keep15(double value)
{
    return QString::number(value, 'g', 15).toDouble();
}

Money halfUnitRound(Money amount)
{
    const std::int64_t cents = amount.cents();
    const std::int64_t magnitude = std::llabs(cents);
    const std::int64_t whole = magnitude / 100;
    const std::int64_t c = magnitude % 100;
    std::int64_t rounded = whole * 100;
    if (c >= 76)
        rounded += 100;
    else if (c >= 26)
        rounded += 50;
    return Money::fromCents(cents < 0 ? -rounded : rounded);
}

bool takesPart(const PlanUnit& unit, const QStringList& staircases)
{
    return staircases.isEmpty() || staircases.contains(unit.scala, Qt::CaseSensitive);
}

double AllocationPlan::sharesOf(int table) const
{
    double sum = 0;
    for (const UnitBreakdown& u : units)
        sum += u.shares.value(table);
    return sum;
}

Money AllocationPlan::instalmentTotal(int instalment) const
{
    Money sum;
    for (const PlanRow& row : rows)
        if (row.instalment == instalment)
            sum += row.amount;
    return sum;
}

Money AllocationPlan::rowsTotal() const
{
    Money sum;
    for (const PlanRow& row : rows)
        sum += row.amount;
    return sum;
}

namespace {

// "Al centesimo": each table's amount split into the instalments, each part shared among the units
// to the cent. Gives the row amounts [instalment][unit] and sets each unit's shares and total to
// the cents it was given.
QVector<QVector<Money>> allocateToTheCent(AllocationPlan& plan, const PlanInput& input)
{
    const int tables = int(input.amounts.size());
    const int n = int(input.instalments.size());
    const int units = int(plan.units.size());
    QVector<QVector<Money>> rows(n, QVector<Money>(units));
    QVector<QVector<Money>> unitShares(units, QVector<Money>(tables));
    const QVector<double> equal(n, 1.0);
    for (int k = 0; k < tables; ++k) {
        if (plan.tableTotals[k] == 0)
            continue; // nothing to share by: the table is left out, as without the option
        QVector<double> weights;
        weights.reserve(units);
        for (const UnitBreakdown& b : plan.units)
            weights << b.weighted[k];
        const std::optional<QVector<Money>> parts = shareToTheCent(equal, Money::fromDouble(input.amounts[k]));
        if (!parts)
            continue;
        for (int i = 0; i < n; ++i) {
            const std::optional<QVector<Money>> shares = shareToTheCent(weights, (*parts)[i]);
            if (!shares)
                continue;
            for (int u = 0; u < units; ++u) {
                rows[i][u] += (*shares)[u];
                unitShares[u][k] += (*shares)[u];
            }
        }
    }
    for (int u = 0; u < units; ++u) {
        UnitBreakdown& b = plan.units[u];
        Money total;
        for (int k = 0; k < tables; ++k) {
            b.shares[k] = unitShares[u][k].toDouble();
            total += unitShares[u][k];
        }
        b.total = total.toDouble();
        b.instalmentExact = keep15(b.total / n);
        b.instalmentCents = Money::fromDouble(b.instalmentExact);
        b.instalment = rows[0][u];
    }
    return rows;
}

} // namespace

AllocationPlan computeAllocation(const PlanInput& input)
{
    AllocationPlan plan;
    plan.equalParts = input.equalPart.has_value();
    plan.staircases = input.staircases;
    const int tables = int(input.amounts.size());
    const int n = int(input.instalments.size());
    if (n <= 0)
        return plan;

    for (const PlanUnit& unit : input.units) {
        if (!takesPart(unit, input.staircases))
            continue;
        UnitBreakdown b;
        b.id = unit.id;
        b.nome = unit.nome;
        b.excluded = unit.excluded;
        b.participation = unit.excluded ? 0.0 : (input.extraordinary ? unit.partecipazioneSTR : unit.partecipazioneORD);
        b.weighted.resize(tables);
        b.shares.resize(tables);
        for (int k = 0; k < tables; ++k)
            b.weighted[k] = keep15(unit.thousandths.value(k) * b.participation / 100.0);
        plan.units.push_back(b);
    }

    plan.tableTotals.fill(0.0, tables);
    for (int k = 0; k < tables; ++k) {
        double w = 0;
        for (const UnitBreakdown& b : plan.units)
            w = keep15(w + b.weighted[k]);
        plan.tableTotals[k] = w;
    }

    for (UnitBreakdown& b : plan.units) {
        if (input.equalPart) {
            b.total = keep15(*input.equalPart * b.participation / 100.0);
            b.instalmentExact = keep15(*input.equalPart / n * b.participation / 100.0);
            b.instalmentCents = Money::fromDouble(b.instalmentExact);
            b.instalment = b.instalmentCents;
            continue;
        }
        double running = 0;
        for (int k = 0; k < tables; ++k) {
            if (plan.tableTotals[k] == 0)
                continue;
            b.shares[k] = keep15(b.weighted[k] * input.amounts[k] / plan.tableTotals[k]);
            running = keep15(running + b.shares[k]);
        }
        b.total = running;
        b.instalmentExact = keep15(running / n);
        b.instalmentCents = Money::fromDouble(b.instalmentExact);
        b.instalment = input.halfUnitRounding ? halfUnitRound(b.instalmentCents) : b.instalmentCents;
    }

    const bool exact = input.toTheCent && !input.equalPart;
    const QVector<QVector<Money>> exactRows = exact ? allocateToTheCent(plan, input) : QVector<QVector<Money>>();

    plan.rows.reserve(n * plan.units.size());
    for (int i = 0; i < n; ++i)
        for (int u = 0; u < plan.units.size(); ++u)
            plan.rows.push_back({i, u, plan.units[u].id, input.instalments[i].name, input.instalments[i].due,
                                 exact ? exactRows[i][u] : plan.units[u].instalment});
    return plan;
}

} // namespace velcaris::allocation
