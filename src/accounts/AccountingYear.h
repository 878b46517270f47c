#pragma once
// The administrative year the year's accounts are made for, and its neighbours. Other tables name
// a year by its text (AA); the year's own dates order the years of a condominium.
#include "store/Database.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>

namespace velcaris::accounts {

// The expense and quota type whose expenses are shared by the extraordinary participation (the
// allocation's fourth type); every other type is shared by the ordinary one.
inline const QString kExtraordinaryType = QStringLiteral("Spese straordinarie");
inline const QString kOrdinaryType = QStringLiteral("Spese ordinarie");

bool isExtraordinary(const QString& type);

struct AccountingYear {
    qint64 id = 0; // AnnoAmministrativo.id
    QString condominium;
    QString name;  // what the rows of the year hold in AA
    QDate start;   // data_inizio
    QDate end;     // data_fine
};

// The year of that name of the condominium, when there is one.
std::optional<AccountingYear> findYear(store::Database& db, const QString& condominium, const QString& name);

// The year that starts next after `year` (the earliest later data_inizio), and the one that
// starts last before it. None when `year` has no start date.
std::optional<AccountingYear> nextYear(store::Database& db, const AccountingYear& year);
std::optional<AccountingYear> previousYear(store::Database& db, const AccountingYear& year);

// SQL condition on a year-name column: the row's year is `year` or one of the condominium's
// years that started before it. Its values, in order, are yearOrEarlierValues(year).
QString yearOrEarlierCondition(const QString& column);
QVector<QVariant> yearOrEarlierValues(const AccountingYear& year);

// "Conguaglio <year>": the quota that carries a year's conguaglio into the next year.
QString conguaglioQuotaName(const QString& yearName);

} // namespace velcaris::accounts
