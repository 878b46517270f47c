#include "store/Crosstab.h"

namespace velcaris::store {

CrosstabQuery buildCrosstab(Database& db, const CrosstabSpec& spec)
{
    const QString where = spec.where.trimmed().isEmpty() ? QString() : QStringLiteral(" WHERE ") + spec.where;

    CrosstabQuery query;
    QVector<QVariant> rawValues;
    {
        const QString distinct = QStringLiteral("SELECT DISTINCT %1 AS pv FROM %2%3 ORDER BY pv COLLATE NOCASE, pv")
                                     .arg(spec.pivot, spec.from, where);
        Statement st(db, distinct);
        st.bindAll(spec.params);
        while (st.step()) {
            const QVariant v = st.value(0);
            if (v.isValid() && !v.isNull()) {
                query.pivotValues << v.toString();
                rawValues << v;
            }
        }
    }

    QStringList columns = spec.fixedColumns;
    QVector<QVariant> pivotParams;
    for (int i = 0; i < query.pivotValues.size(); ++i) {
        const QString& value = query.pivotValues[i];
        QString cell = QStringLiteral("%1(CASE WHEN %2 = ? THEN %3 END)").arg(spec.aggregate, spec.pivot, spec.value);
        if (spec.emptyAsZero)
            cell = QStringLiteral("COALESCE(%1, 0)").arg(cell);
        columns << cell + QStringLiteral(" AS ") + quoteIdentifier(value);
        pivotParams << rawValues[i];
    }

    query.sql = QStringLiteral("SELECT %1 FROM %2%3").arg(columns.join(QStringLiteral(", ")), spec.from, where);
    if (!spec.groupBy.isEmpty())
        query.sql += QStringLiteral(" GROUP BY ") + spec.groupBy.join(QStringLiteral(", "));
    if (!spec.orderBy.trimmed().isEmpty())
        query.sql += QStringLiteral(" ORDER BY ") + spec.orderBy;
    // Placeholders of the select list come before those of the WHERE clause.
    query.params = pivotParams + spec.params;
    return query;
}

} // namespace velcaris::store
