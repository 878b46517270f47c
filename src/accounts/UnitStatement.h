#pragma once
// The situation of each unit at the end of the year: its share of the riparto consuntivo, the
// quotas of the year charged to it (by type) and what was paid on them, its conguaglio (share -
// quotas charged: positive, the unit owes it; negative, it gets it back) and its arrears (quotas
// charged - paid). The conguaglio of the previous year, carried into this one as the quota
// "Conguaglio <previous year>", is a line of its own: it is owed with the arrears but was no
// advance on this year's expenses, so it stays out of the quotas charged and of the conguaglio.
// Quotas of a unit the condominium no longer has are not counted.
#include "accounts/AccountingYear.h"
#include "accounts/Riparto.h"
#include "store/Money.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace velcaris::accounts {

struct QuotaCharge {
    QString type; // Tipologia
    store::Money charged;
    store::Money paid;
};

struct UnitStatementLine {
    qint64 unitId = 0;
    QString unit;
    qint64 ownerId = 0;
    QString owner;
    QString tenant;
    store::Money share;          // of the riparto
    QVector<QuotaCharge> byType; // the year's own quotas, by type in UnitStatement::types order
    store::Money charged;        // their sum
    store::Money carried;        // the previous year's conguaglio quota
    store::Money paid;           // paid on all of them, the carried one too
    store::Money conguaglio() const { return share - charged; }
    store::Money arrears() const { return charged + carried - paid; }
};

struct UnitStatement {
    QString carriedQuotaName;  // "Conguaglio <previous year>"; empty without a previous year
    QStringList types;         // the types of the year's own quotas, ascending
    QVector<UnitStatementLine> lines; // every unit of the condominium, ascending Id
    store::Money share;
    store::Money charged;
    store::Money carried;
    store::Money paid;
    store::Money conguaglio;
    store::Money arrears;
};

UnitStatement computeUnitStatement(store::Database& db, const AccountingYear& year, const Riparto& riparto);
UnitStatement computeUnitStatement(store::Database& db, const AccountingYear& year);

} // namespace velcaris::accounts
