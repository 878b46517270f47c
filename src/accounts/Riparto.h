#pragma once
// The riparto consuntivo: each table's actual expenses of the year shared among the condominium's
// units by thousandths weighted by the participation percentages, as the allocation shares a
// budget (a unit's weight is thousandths x participation / 100; the ordinary percentage for the
// ordinary expenses, the extraordinary one for the extraordinary expenses), exact to the cent
// (allocation/LargestRemainder.h): the shares of a table add up to its expenses.
//
// What cannot be shared is shown undivided with an Italian note, never divided by zero: expenses
// charged to no table or to a name no millesimal table of the condominium has, and expenses of a
// table where no unit has weight (no thousandths, or participation 0). Every unit of the
// condominium takes part, with or without owner, tenant or type (the allocation's own screen
// leaves those out, but they owe their share all the same); a missing percentage counts as 0 and
// is noted.
#include "accounts/AccountingYear.h"
#include "accounts/Consuntivo.h"
#include "store/Money.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace velcaris::accounts {

struct RipartoUnit {
    qint64 unitId = 0;
    QString unit;
    double thousandths = 0;           // the unit's in the table
    double weightedOrdinary = 0;      // thousandths x ordinary participation / 100
    double weightedExtraordinary = 0; // thousandths x extraordinary participation / 100
    store::Money ordinary;            // its share of the table's ordinary expenses
    store::Money extraordinary;
    store::Money total() const { return ordinary + extraordinary; }
};

struct RipartoTable {
    QString table;
    qint64 tableId = 0;          // the millesimal table of that name (the first by Id); 0 when none
    store::Money ordinary;       // the table's actual expenses by type
    store::Money extraordinary;
    QVector<RipartoUnit> units;  // every unit of the condominium, ascending Id; empty without a table
    store::Money undivided;      // the part shown undivided
    QStringList notes;           // why it is undivided
    store::Money total() const { return ordinary + extraordinary; }
    store::Money shared() const { return total() - undivided; }
};

// A unit's shares over every table.
struct UnitShare {
    qint64 unitId = 0;
    QString unit;
    store::Money ordinary;
    store::Money extraordinary;
    store::Money total() const { return ordinary + extraordinary; }
};

struct Riparto {
    QVector<RipartoTable> tables; // the consuntivo's tables with expenses, in its order
    QVector<UnitShare> units;     // every unit of the condominium, ascending Id
    store::Money shared;
    store::Money undivided;
    QStringList notes;            // every table's notes, then the missing percentages
};

Riparto computeRiparto(store::Database& db, const AccountingYear& year, const Consuntivo& consuntivo);
Riparto computeRiparto(store::Database& db, const AccountingYear& year);

} // namespace velcaris::accounts
