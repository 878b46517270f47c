#pragma once
// Crosstab queries: fixed columns, then one column per distinct value of a pivot expression in
// ascending order, each the aggregate of the rows holding that value. The engine has no
// TRANSFORM/PIVOT, so the builder reads the pivot values first and writes one CASE per value.
// Every piece of SQL text here comes from the program; values travel as bound parameters.
#include "store/Database.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace velcaris::store {

struct CrosstabSpec {
    QStringList fixedColumns;   // select expressions, "expr AS Name" or a column
    QStringList groupBy;        // grouping expressions (usually the fixed columns' expressions)
    QString from;               // FROM body, joins included
    QString where;              // condition with ? placeholders, or empty
    QVector<QVariant> params;   // values of the placeholders in where
    QString pivot;              // expression whose distinct values become columns
    QString value;              // expression aggregated in each pivot column
    QString aggregate = QStringLiteral("SUM");
    QString orderBy;            // ORDER BY body, or empty
    bool emptyAsZero = false;   // a cell with no rows reads 0 instead of NULL
};

struct CrosstabQuery {
    QString sql;
    QVector<QVariant> params;
    QStringList pivotValues;    // the pivot columns' names, in order (a NUL shows as U+2400)
};

CrosstabQuery buildCrosstab(Database& db, const CrosstabSpec& layout);

} // namespace velcaris::store
