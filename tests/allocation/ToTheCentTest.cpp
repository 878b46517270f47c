// The allocation "al centesimo" over random buildings: every instalment adds up to the tables'
// parts of it, the rows to the amounts (the preview's difference is 0.00), and no unit's row is
// further from its exact share than a cent per table.
#include "allocation/AllocationPlan.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace velcaris;
using allocation::AllocationPlan;
using allocation::PlanInput;
using allocation::PlanUnit;
using store::Money;

namespace {

// Part i of n of an amount, to the cent, the extra cents to the earlier parts.
Money part(Money amount, int i, int n)
{
    const std::int64_t magnitude = std::llabs(amount.cents());
    const std::int64_t cents = magnitude / n + (i < magnitude % n ? 1 : 0);
    return Money::fromCents(amount.cents() < 0 ? -cents : cents);
}

} // namespace

TEST(AllocationToTheCent, PropertyEveryInstalmentAddsUpExactly)
{
    QRandomGenerator rng(27270);
    for (int trial = 0; trial < 300; ++trial) {
        PlanInput in;
        in.toTheCent = true;
        in.halfUnitRounding = rng.bounded(2) == 0; // does not apply
        const int units = 1 + int(rng.bounded(120));
        const int tables = 1 + int(rng.bounded(6));
        for (int u = 0; u < units; ++u) {
            PlanUnit pu;
            pu.id = u + 1;
            pu.nome = QStringLiteral("Int. %1").arg(u + 1);
            pu.partecipazioneORD = rng.bounded(4) == 0 ? 0.0 : double(rng.bounded(101));
            pu.partecipazioneSTR = double(rng.bounded(101));
            for (int k = 0; k < tables; ++k)
                pu.thousandths << (rng.bounded(4) == 0 ? 0.0 : std::round(rng.generateDouble() * 100000) / 1000);
            pu.excluded = rng.bounded(10) == 0;
            in.units << pu;
        }
        for (int k = 0; k < tables; ++k)
            in.amounts << std::round((rng.generateDouble() * 30000 - 3000) * 100) / 100;
        const int n = 1 + int(rng.bounded(12));
        for (int i = 0; i < n; ++i)
            in.instalments.push_back({QStringLiteral("Rata %1").arg(i + 1), {}});
        in.extraordinary = rng.bounded(2) == 0;

        const AllocationPlan plan = computeAllocation(in);
        const int taking = int(plan.units.size());
        ASSERT_EQ(plan.rows.size(), n * taking);

        // What the preview expects: the amounts of the tables that have weight.
        Money expected;
        QVector<Money> instalments(n);
        for (int k = 0; k < tables; ++k) {
            if (plan.tableTotals[k] == 0)
                continue;
            const Money amount = Money::fromDouble(in.amounts[k]);
            expected += amount;
            for (int i = 0; i < n; ++i)
                instalments[i] += part(amount, i, n);
            Money shares;
            for (const auto& b : plan.units)
                shares += Money::fromDouble(b.shares[k]);
            ASSERT_EQ(shares, amount) << "trial " << trial << " table " << k;
        }
        ASSERT_EQ(plan.rowsTotal(), expected) << "trial " << trial << ": the difference is 0.00";
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(plan.instalmentTotal(i), instalments[i]) << "trial " << trial << " instalment " << i;

        QVector<Money> unitRows(taking);
        for (const auto& row : plan.rows) {
            const auto& b = plan.units[row.unit];
            unitRows[row.unit] += row.amount;
            if (b.excluded)
                ASSERT_EQ(row.amount, Money());
            // Each table's part of the instalment is within a cent of the exact share.
            double exact = 0;
            for (int k = 0; k < tables; ++k)
                if (plan.tableTotals[k] != 0)
                    exact += b.weighted[k] * part(Money::fromDouble(in.amounts[k]), row.instalment, n).toDouble() /
                             plan.tableTotals[k];
            ASSERT_LT(std::fabs(row.amount.toDouble() - exact), 0.01 * tables + 1e-9) << "trial " << trial;
        }
        for (int u = 0; u < taking; ++u)
            ASSERT_EQ(unitRows[u], Money::fromDouble(plan.units[u].total)) << "trial " << trial << " unit " << u;
    }
}
