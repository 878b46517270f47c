#include "allocation/AllocationPlan.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <cmath>

using namespace velcaris;
using allocation::AllocationPlan;
using allocation::PlanInput;
using allocation::PlanUnit;
using store::Money;

namespace {

PlanUnit unit(qint64 id, QVector<double> thousandths, double ord = 100, double str = 100, QString scala = QString())
{
    PlanUnit u;
    u.id = id;
    u.nome = QStringLiteral("Int. %1").arg(id);
    u.scala = scala;
    u.partecipazioneORD = ord;
    u.partecipazioneSTR = str;
    u.thousandths = thousandths;
    return u;
}

PlanInput twoUnits(double firstOrd = 100)
{
    PlanInput in;
    in.units = {unit(1, {600}, firstOrd), unit(2, {400})};
    in.amounts = {1000};
    in.instalments = {{"Rata 1", QDate(2014, 3, 1)}, {"Rata 2", QDate(2014, 9, 1)}};
    return in;
}

QVector<qint64> rowCents(const AllocationPlan& plan)
{
    QVector<qint64> out;
    for (const auto& r : plan.rows)
        out << r.amount.cents();
    return out;
}

} // namespace

TEST(AllocationPlan, SharesByThousandthsInEqualInstalmentsWrittenInstalmentMajor)
{
    const AllocationPlan plan = computeAllocation(twoUnits());
    EXPECT_EQ(rowCents(plan), (QVector<qint64>{30000, 20000, 30000, 20000}));
    ASSERT_EQ(plan.rows.size(), 4);
    EXPECT_EQ(plan.rows[0].name, "Rata 1");
    EXPECT_EQ(plan.rows[1].unitId, 2);
    EXPECT_EQ(plan.rows[2].name, "Rata 2");
    EXPECT_EQ(plan.rows[2].due, QDate(2014, 9, 1));
    EXPECT_DOUBLE_EQ(plan.tableTotals[0], 1000);
    EXPECT_EQ(plan.instalmentTotal(1), Money::fromCents(50000));
}

TEST(AllocationPlan, ParticipationWeighsTheThousandthsAndTheOthersAbsorbTheRest)
{
    const AllocationPlan plan = computeAllocation(twoUnits(50));
    EXPECT_DOUBLE_EQ(plan.units[0].weighted[0], 300);
    EXPECT_DOUBLE_EQ(plan.units[1].weighted[0], 400);
    EXPECT_NEAR(plan.units[0].shares[0], 428.5714285714, 1e-9);
    EXPECT_NEAR(plan.units[1].shares[0], 571.4285714286, 1e-9);
    EXPECT_EQ(rowCents(plan), (QVector<qint64>{21429, 28571, 21429, 28571}));
    EXPECT_EQ(plan.units[0].instalmentCents, Money::fromCents(21429));

    // The extraordinary type weighs by the STR percentage instead.
    PlanInput str = twoUnits();
    str.units[1].partecipazioneSTR = 0;
    str.extraordinary = true;
    EXPECT_EQ(rowCents(computeAllocation(str)), (QVector<qint64>{50000, 0, 50000, 0}));
}

TEST(AllocationPlan, HalfUnitRounding)
{
    PlanInput in = twoUnits(50);
    in.halfUnitRounding = true;
    const AllocationPlan plan = computeAllocation(in);
    EXPECT_EQ(rowCents(plan), (QVector<qint64>{21450, 28550, 21450, 28550}));
    EXPECT_EQ(plan.units[0].instalmentCents, Money::fromCents(21429)) << "the value before the half-unit rounding is kept";

    using allocation::halfUnitRound;
    const std::pair<qint64, qint64> cases[] = {
        {21429, 21450}, {28571, 28550}, {10020, 10000}, {10080, 10100}, {10025, 10000}, {10026, 10050},
        {10075, 10050}, {10076, 10100}, {10099, 10100}, {10000, 10000}, {-30, -50},   {-10, 0},
        {-80, -100},    {-10020, -10000}, {-10050, -10050}, {0, 0}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(halfUnitRound(Money::fromCents(in)).cents(), out) << in;
}

TEST(AllocationPlan, StaircaseRestrictionTakesOnlyItsUnits)
{
    // Tables "A" and "Scala B"; staircase A's units have nothing in Scala B.
    PlanInput in;
    in.units = {unit(1, {300, 0}, 100, 100, "A"), unit(2, {200, 0}, 100, 100, "A"), unit(3, {500, 1000}, 100, 100, "B")};
    in.amounts = {1000, 600};
    in.instalments = {{"Unica", {}}};
    in.staircases = {"A"};
    const AllocationPlan plan = computeAllocation(in);
    ASSERT_EQ(plan.units.size(), 2);
    EXPECT_DOUBLE_EQ(plan.tableTotals[1], 0) << "Scala B has no weight among the units taking part";
    EXPECT_EQ(rowCents(plan), (QVector<qint64>{60000, 40000}));
    EXPECT_DOUBLE_EQ(plan.sharesOf(1), 0);
    in.staircases = {"a"};
    EXPECT_TRUE(computeAllocation(in).rows.isEmpty()) << "staircases match case-sensitively";
}

TEST(AllocationPlan, ExcludedUnitGetsZeroRowsAndTheOthersShareItsPart)
{
    PlanInput in = twoUnits();
    in.units.push_back(unit(3, {500}));
    in.units[0].excluded = true;
    const AllocationPlan plan = computeAllocation(in);
    // 400 and 500 weighted thousandths share 1000: 444.44... and 555.55..., halved.
    EXPECT_EQ(rowCents(plan), (QVector<qint64>{0, 22222, 27778, 0, 22222, 27778}));
    EXPECT_TRUE(plan.units[0].excluded);
    EXPECT_DOUBLE_EQ(plan.units[0].participation, 0);
}

TEST(AllocationPlan, EqualPartsScaledByParticipationIgnoreTheHalfUnitRounding)
{
    PlanInput in;
    in.units = {unit(1, {600}), unit(2, {400}, 50)};
    in.amounts = {1000};
    in.instalments = {{"Q1", {}}, {"Q2", {}}, {"Q3", {}}, {"Q4", {}}};
    in.equalPart = 120;
    in.halfUnitRounding = true;
    const AllocationPlan plan = computeAllocation(in);
    EXPECT_EQ(rowCents(plan), (QVector<qint64>{3000, 1500, 3000, 1500, 3000, 1500, 3000, 1500}));
    in.equalPart = 100; // 100 / 3 = 33.333...: no half units
    in.instalments.resize(3);
    EXPECT_EQ(computeAllocation(in).rows[0].amount.cents(), 3333);
}

TEST(AllocationPlan, DegenerateTables)
{
    // A table whose units all have 0 thousandths contributes nothing; a negative amount shares
    // negatively and keeps its sign through the half-unit rounding.
    PlanInput in;
    in.units = {unit(1, {0, 500}), unit(2, {0, 500})};
    in.amounts = {900, -1.2};
    in.instalments = {{"Unica", {}}};
    in.halfUnitRounding = true;
    AllocationPlan plan = computeAllocation(in);
    EXPECT_DOUBLE_EQ(plan.tableTotals[0], 0);
    EXPECT_EQ(rowCents(plan), (QVector<qint64>{-50, -50})) << "-0.60 each, to the half unit";
    in.amounts = {900, 0};
    EXPECT_EQ(rowCents(computeAllocation(in)), (QVector<qint64>{0, 0}));
    in.instalments.clear();
    EXPECT_TRUE(computeAllocation(in).rows.isEmpty());
}

TEST(AllocationPlan, ManyInstalmentsAndCentsDifference)
{
    PlanInput in;
    in.units = {unit(1, {1}), unit(2, {1}), unit(3, {1})};
    in.amounts = {100};
    for (int i = 1; i <= 99; ++i)
        in.instalments.push_back({QStringLiteral("R%1").arg(i), {}});
    const AllocationPlan plan = computeAllocation(in);
    EXPECT_EQ(plan.rows.size(), 297);
    // 33.333.../99 = 0.3367 -> 0.34 per row: 297 x 0.34 = 100.98.
    EXPECT_EQ(plan.rowsTotal(), Money::fromCents(10098));
}

// Random buildings: the unrounded shares add up to each table's amount whenever its weighted
// total is not 0, and the rows are the computed instalments, instalment-major.
TEST(AllocationPlan, PropertySharesAddUpAndRowsMatchInstalments)
{
    QRandomGenerator rng(20141);
    for (int trial = 0; trial < 300; ++trial) {
        PlanInput in;
        const int units = 1 + int(rng.bounded(200));
        const int tables = 1 + int(rng.bounded(8));
        const QStringList scale = {"A", "B", "C", ""};
        for (int u = 0; u < units; ++u) {
            QVector<double> th;
            for (int k = 0; k < tables; ++k)
                th << (rng.bounded(4) == 0 ? 0.0 : std::round(rng.generateDouble() * 100000) / 1000);
            PlanUnit pu = unit(u + 1, th, double(rng.bounded(101)), double(rng.bounded(101)), scale[int(rng.bounded(4))]);
            pu.excluded = rng.bounded(10) == 0;
            in.units << pu;
        }
        for (int k = 0; k < tables; ++k)
            in.amounts << std::round((rng.generateDouble() * 20000 - 2000) * 100) / 100;
        const int n = 1 + int(rng.bounded(12));
        for (int i = 0; i < n; ++i)
            in.instalments.push_back({QStringLiteral("Rata %1").arg(i + 1), {}});
        in.extraordinary = rng.bounded(2) == 0;
        in.halfUnitRounding = rng.bounded(2) == 0;
        if (rng.bounded(3) == 0)
            in.staircases = {scale[int(rng.bounded(3))]};

        const AllocationPlan plan = computeAllocation(in);
        int taking = 0;
        for (const PlanUnit& u : in.units)
            taking += allocation::takesPart(u, in.staircases) ? 1 : 0;
        ASSERT_EQ(plan.units.size(), taking);
        for (int k = 0; k < tables; ++k) {
            if (plan.tableTotals[k] == 0)
                EXPECT_EQ(plan.sharesOf(k), 0);
            else
                EXPECT_NEAR(plan.sharesOf(k), in.amounts[k], 1e-6) << "trial " << trial << " table " << k;
        }
        ASSERT_EQ(plan.rows.size(), n * taking);
        for (int r = 0; r < plan.rows.size(); ++r) {
            const auto& row = plan.rows[r];
            ASSERT_EQ(row.instalment, r / taking);
            ASSERT_EQ(row.unit, r % taking);
            const auto& b = plan.units[row.unit];
            const Money cents = Money::fromDouble(b.total / n);
            ASSERT_EQ(row.amount, in.halfUnitRounding ? allocation::halfUnitRound(cents) : cents);
            if (b.excluded)
                ASSERT_EQ(row.amount, Money());
        }
    }
}
