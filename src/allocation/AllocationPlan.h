#pragma once
// The allocation of amounts into quotas as a pure computation: no database, no widgets.
//
// Input: the units in the order their rows are written (ascending Id), each with its
// participation percentages and its thousandths in every table (same order as the amounts), the
// amount to share on each table, the instalments (name and due date), and the options: the
// extraordinary type (the STR participation applies instead of the ORD one), equal parts, the
// half-unit rounding, the staircases the allocation is restricted to, the excluded units.
//
// Output: for every unit that takes part, its breakdown (participation used, weighted thousandths
// and share per table, total of the shares, one instalment before and after rounding), the
// weighted total of every table, and the rows to write, instalment-major: every unit of
// instalment 1, then every unit of instalment 2, and so on.
//
// The rules: a unit's participation p is its ORD percentage (STR for the extraordinary type), 0
// when it is excluded. Its weighted thousandths in table k are w = thousandths x p / 100; the
// table's weighted total W is the sum of w over the units that take part; its share is
// w x A / W (nothing when W is 0). Its instalment is the sum of its shares / N, rounded half away
// from zero to cents and, with half-unit rounding, to the nearest half unit (see halfUnitRound).
// With equal parts the instalment is E / N x p / 100 and the rounding to half units does not
// apply. No residue is carried: a unit's N equal instalments may differ from its total by a few
// cents, and the units' rows from the table amounts. Every intermediate value is kept as its
// 15-significant-digit decimal form, as the written figures have always been computed.
//
// "Al centesimo" (toTheCent, off by default; not with equal parts): each table's amount is split
// into the N instalments to the cent (the extra cents to the earlier instalments), and each
// instalment's part is shared among the units by their weighted thousandths with the largest
// remainder (LargestRemainder.h); a row is the sum of its unit's parts, so every instalment adds
// up to the tables' parts and the rows to the amounts, exactly. A unit's rows may then differ by
// a few cents; its shares and total are the cents it was given, and the half-unit rounding does
// not apply.
#include "store/Money.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::allocation {

struct PlanUnit {
    qint64 id = -1;
    QString nome;
    QString scala;
    double partecipazioneORD = 100;
    double partecipazioneSTR = 100;
    QVector<double> thousandths; // one per table, in the order of PlanInput::amounts
    bool excluded = false;       // unchecked among the exceptions: takes part with participation 0
};

struct PlanInstalment {
    QString name;
    QDate due; // null: no due date
};

struct PlanInput {
    QVector<PlanUnit> units;
    QVector<double> amounts;              // A(k), one per table
    QVector<PlanInstalment> instalments;  // N = instalments.size(), at least 1
    bool extraordinary = false;           // the STR participation applies
    std::optional<double> equalPart;      // E: equal parts, the amount owed by each unit
    bool halfUnitRounding = false;
    bool toTheCent = false;               // "al centesimo", see above
    QStringList staircases;               // empty: every unit takes part
};

// One unit's figures, kept for whoever must explain a quota.
struct UnitBreakdown {
    qint64 id = -1;
    QString nome;
    bool excluded = false;
    double participation = 0;      // p, after the exclusion
    QVector<double> weighted;      // w(k)
    QVector<double> shares;        // s(k); 0 where W(k) is 0
    double total = 0;              // sum of the shares (equal parts: E x p / 100)
    double instalmentExact = 0;    // total / N before any rounding
    store::Money instalmentCents;  // rounded half away from zero to cents
    store::Money instalment;       // what every row of the unit holds (after half-unit rounding);
                                   // al centesimo, what its first row holds
};

struct PlanRow {
    int instalment = 0; // index into PlanInput::instalments
    int unit = 0;       // index into AllocationPlan::units
    qint64 unitId = -1;
    QString name;
    QDate due;
    store::Money amount;
};

struct AllocationPlan {
    bool equalParts = false;          // the instalments came from E, not from the tables
    QStringList staircases;           // the restriction applied (empty: none)
    QVector<double> tableTotals;      // W(k), over the units taking part
    QVector<UnitBreakdown> units;     // the units taking part, in input order
    QVector<PlanRow> rows;            // instalment-major

    // Sum over the units of their unrounded shares of table k.
    double sharesOf(int table) const;
    // Sum of the rows of instalment i.
    store::Money instalmentTotal(int instalment) const;
    store::Money rowsTotal() const;
};

// Whether a unit takes part under the staircase restriction (exact, case-sensitive match).
bool takesPart(const PlanUnit& unit, const QStringList& staircases);

// The computation above. instalments must not be empty; thousandths missing for a table count as 0.
AllocationPlan computeAllocation(const PlanInput& input);

// Half-unit rounding of an amount in cents: 0-25 cents go down to the whole unit, 26-75 become
// .50, 76-99 go up to the next whole unit; the sign is kept (-0.30 -> -0.50).
store::Money halfUnitRound(store::Money amount);

// A value as its 15-significant-digit decimal form reads back.
double keep15(double value);

} // namespace velcaris::allocation
