#include "store/RowStamp.h"

#include "store/Dataset.h"

namespace velcaris::store {

namespace {

// The stamped rows as stored now: their values row after row, in the order of the stamp's columns.
QVector<QVariant> readStamped(Database& db, const RowStamp& stamp)
{
    QStringList names;
    for (const QString& column : stamp.columns)
        names << quoteIdentifier(column);
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                      .arg(names.join(QStringLiteral(", ")), quoteIdentifier(stamp.table),
                           quoteIdentifier(stamp.keyColumn));
    if (stamp.several)
        sql += QStringLiteral(" ORDER BY ") + names.join(QStringLiteral(", "));
    Statement st(db, sql);
    st.bind(1, stamp.key);
    QVector<QVariant> values;
    while (st.step()) {
        for (int i = 0; i < st.columnCount(); ++i)
            values << st.value(i);
        if (!stamp.several)
            break;
    }
    return values;
}

RowStamp stamp(Database& db, const QString& table, const QString& keyColumn, const QVariant& key, bool several)
{
    RowStamp s;
    s.table = table;
    s.keyColumn = keyColumn;
    s.key = key;
    s.several = several;
    s.columns = db.columnNames(table);
    s.values = readStamped(db, s);
    return s;
}

} // namespace

RowStamp stampRow(Database& db, const QString& table, const QString& keyColumn, const QVariant& key)
{
    return stamp(db, table, keyColumn, key, false);
}

RowStamp stampRows(Database& db, const QString& table, const QString& keyColumn, const QVariant& key)
{
    return stamp(db, table, keyColumn, key, true);
}

QString rowChangedText()
{
    return QStringLiteral("Il record è stato modificato da un'altra postazione dopo che lo ha aperto: ora è mostrato "
                          "com'è adesso. Ripeta la modifica se serve.");
}

QString rowDeletedText()
{
    return QStringLiteral("Il record è stato eliminato da un'altra postazione.");
}

void refuseIfChanged(Database& db, const RowStamp& stamp)
{
    if (!stamp.isSet())
        return;
    const QVector<QVariant> now = readStamped(db, stamp);
    if (now.isEmpty() && !stamp.several)
        throw StoreError(rowDeletedText(), StoreFault::Conflict);
    bool same = now.size() == stamp.values.size();
    for (qsizetype i = 0; i < now.size() && same; ++i)
        same = sameStoredValue(now[i], stamp.values[i]);
    if (!same)
        throw StoreError(rowChangedText(), StoreFault::Conflict);
}

bool isStaleRow(const StoreError& failure)
{
    return failure.fault() == StoreFault::Conflict &&
           (failure.message() == rowChangedText() || failure.message() == rowDeletedText());
}

QString staleRowText(Database& db, const RowStamp& stamp, const StoreError& failure)
{
    if (isStaleRow(failure))
        return failure.message();
    // Inside another transaction the row cannot be read afresh (a server refuses every statement
    // after a failed one until the owner rolls back): the conflict is the outer owner's to tell.
    if (!stamp.isSet() || failure.fault() != StoreFault::Conflict || db.transactionDepth() > 0)
        return QString();
    try {
        refuseIfChanged(db, stamp);
    } catch (const StoreError& e) {
        if (isStaleRow(e))
            return e.message();
    }
    return QString();
}

} // namespace velcaris::store
