#include "store/Crosstab.h"

namespace velcaris::store {

CrosstabQuery buildCrosstab(Database& db, const CrosstabSpec& layout)
{
    const QString where = layout.where.trimmed().isEmpty() ? QString() : QStringLiteral(" WHERE ") + layout.where;

    CrosstabQuery query;
    QVector<QVariant> rawValues;
    {
        // Sorted outside the DISTINCT: a server sorts a distinct list only by what it selects.
        const QString distinct = QStringLiteral("SELECT pv FROM (SELECT DISTINCT %1 AS pv FROM %2%3) AS pivot_values "
                                                "ORDER BY pv COLLATE NOCASE, pv")
                                     .arg(layout.pivot, layout.from, where);
        Statement st(db, distinct);
        st.bindAll(layout.params);
        while (st.step()) {
            const QVariant v = st.value(0);
            if (v.isValid() && !v.isNull()) {
                // The value names a column: a NUL in it would end the SQL text there, so the
                // column's name shows it as the symbol for NUL. The value itself stays bound.
                QString column = v.toString();
                column.replace(QChar(u'\0'), QChar(0x2400));
                query.pivotValues << column;
                rawValues << v;
            }
        }
    }

    QStringList columns = layout.fixedColumns;
    QVector<QVariant> pivotParams;
    for (int i = 0; i < query.pivotValues.size(); ++i) {
        const QString& value = query.pivotValues[i];
        QString cell = QStringLiteral("%1(CASE WHEN %2 = ? THEN %3 END)").arg(layout.aggregate, layout.pivot, layout.value);
        if (layout.emptyAsZero)
            cell = QStringLiteral("COALESCE(%1, 0)").arg(cell);
        columns << cell + QStringLiteral(" AS ") + quoteIdentifier(value);
        pivotParams << rawValues[i];
    }

    query.sql = QStringLiteral("SELECT %1 FROM %2%3").arg(columns.join(QStringLiteral(", ")), layout.from, where);
    if (!layout.groupBy.isEmpty())
        query.sql += QStringLiteral(" GROUP BY ") + layout.groupBy.join(QStringLiteral(", "));
    if (!layout.orderBy.trimmed().isEmpty())
        query.sql += QStringLiteral(" ORDER BY ") + layout.orderBy;
    // Placeholders of the select list come before those of the WHERE clause.
    query.params = pivotParams + layout.params;
    return query;
}

} // namespace velcaris::store
