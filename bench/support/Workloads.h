#pragma once
// The work several benchmarks measure the same way (on the files, on a server, against bare
// statements): the payer of a payment of twelve quotas, and the 200-unit building an allocation
// is confirmed on.
#include "allocation/Allocation.h"
#include "cashbook/Payments.h"
#include "foundation/Workspace.h"
#include "store/Database.h"

#include <QString>
#include <QVector>

namespace velcaris::bench {

struct Payer {
    QString condominium;
    qint64 person = 0;
    qint64 unit = 0;
    QString year;
};

// The owner of the first unit of `condominium`; raises when it has none.
Payer firstUnitOwner(app::Workspace& ws, const QString& condominium);
// "Rata 01" .. "Rata 12", 100.00 each.
QVector<cashbook::PaymentRow> twelveQuotas();

// The allocation building: 200 units, each with its own owner (every second one with web
// access), thousandths spread over 6 tables, staircases A to D, the current year 2026; no
// Condomini row, so the office's list of condominiums does not change.
constexpr int kAllocationUnits = 200;
constexpr int kAllocationTables = 6;
constexpr int kAllocationInstalments = 12;
QString allocationYear();
void addAllocationBuilding(store::Database& db, const QString& name);
void removeAllocationBuilding(store::Database& db, const QString& name);
// The quotas an allocation wrote, in both databases.
void removeAllocationQuotas(store::Database& db, const QString& name);
// 6 table amounts into 12 instalments, half-unit rounding.
allocation::AllocationInput allocationInput();

} // namespace velcaris::bench
