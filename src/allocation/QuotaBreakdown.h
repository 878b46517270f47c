#pragma once
// The reasons behind every quota the allocation writes: for each unit, table by table, the amount
// shared, the unit's thousandths and participation, its weighted thousandths against the table's
// weighted total and its share; then the instalments and the rounding. Written with the quotas in
// the same transaction, read back to explain a quota as it was computed (never recomputed from
// today's thousandths, which may have changed since).
#include "allocation/AllocationPlan.h"
#include "store/Database.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <optional>

namespace velcaris::allocation {

inline const QString kNoBreakdown = QStringLiteral(
    "Questa quota è stata registrata prima che il programma conservasse il dettaglio del calcolo: "
    "il dettaglio non è disponibile.");

// What one confirmation of the allocation decided, beside the plan itself.
struct AllocationRecord {
    QString condominium;
    QString year;
    QString type;             // Tipologia of the quotas
    QDate day;                // when it was confirmed
    QStringList tableNames;   // in the order of PlanInput::amounts
    const PlanInput* input = nullptr;
    const AllocationPlan* plan = nullptr;
    QVector<qint64> quotaIds; // the IdQuota written for each plan row, in the order of plan->rows
};

// Writes the breakdown of every unit of the plan and links each written quota to its unit's
// breakdown. Runs inside the caller's transaction.
void recordAllocation(store::Database& db, const AllocationRecord& record);

// Marks a quota as personal: charged to its unit directly, without a computation.
void recordPersonalQuota(store::Database& db, qint64 quotaId, const QString& condominium, const QString& year,
                         const QDate& day);

// One table's part of a unit's instalment, as stored.
struct TablePart {
    QString table;
    double amount = 0;        // shared on the table
    double thousandths = 0;   // the unit's
    double participation = 0; // percent
    double weighted = 0;      // the unit's weighted thousandths
    double weightedTotal = 0; // the table's
    double share = 0;         // the unit's share of the amount
};

// The stored breakdown behind one quota.
struct QuotaBreakdown {
    bool known = false;    // false: the quota predates the breakdowns
    bool personal = false;
    QString unit;          // the unit's name
    QString quotaName;
    double importo = 0;    // the quota's stored amount
    QDate day;
    QString type;
    int instalments = 0;
    bool excluded = false;
    QStringList staircases; // the restriction, when there was one
    std::optional<double> equalPart;
    bool halfUnitRounding = false;
    double participation = 0;
    QVector<TablePart> tables;
    double total = 0;
    double instalmentExact = 0;
    double instalmentCents = 0;
    double instalment = 0;
};

QuotaBreakdown breakdownOfQuota(store::Database& db, qint64 quotaId);

// How the numbers of an explanation are written: as the program writes them ("1094.16 €") or
// as a letter to an owner shows them ("€ 1.094,16", thousandths "1.000,000").
enum class NumberStyle { Program, Letter };

// The breakdown in plain Italian, one sentence per line, down to the cent of the stored amount.
QStringList explanationLines(const QuotaBreakdown& b, NumberStyle style = NumberStyle::Program);

// The quotas behind a row of the owner statement: the person's units' quotas of that name in the
// condominium's year (the person as owner, or as tenant), in unit order.
// When given, `type` and `dueDate` narrow them to the row's own (a statement row is one name, type
// and due date).
QVector<qint64> statementRowQuotas(store::Database& db, const QString& condominium, const QString& year,
                                   bool owner, qint64 personId, const QString& quotaName,
                                   const std::optional<QVariant>& type = std::nullopt,
                                   const std::optional<QVariant>& dueDate = std::nullopt);

// The explanation of a statement row: every quota behind it, one paragraph each, in plain Italian.
QString statementRowExplanation(store::Database& db, const QString& condominium, const QString& year, bool owner,
                                qint64 personId, const QString& quotaName,
                                const std::optional<QVariant>& type = std::nullopt,
                                const std::optional<QVariant>& dueDate = std::nullopt);

} // namespace velcaris::allocation
