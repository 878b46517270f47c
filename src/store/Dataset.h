#pragma once
// A named, navigable row set over a table, a view or SQL text of one connection: the registers
// of the program. Rows are read when first needed (so opening a large table costs nothing until
// it is shown), kept in memory, and every change is written through at once.
#include "store/Database.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace velcaris::store {

// Two stored values alike as the registers' engine compares them: both empty, numbers by value,
// text exactly (or ignoring case).
bool sameStoredValue(const QVariant& stored, const QVariant& wanted, bool caseInsensitive = false);

class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    enum class SourceKind { None, Table, Sql };
    struct Bookmark {
        QVariant key;  // the row's key, or its position when the source has no key
        int row = -1;
        bool isValid() const { return row >= 0; }
    };

    explicit Dataset(QString name = QString(), QObject* parent = nullptr);

    const QString& name() const { return name_; }
    void setConnection(Database* db);
    Database* connection() const { return db_; }

    // Source: a table or a view (rows writable through it), or SQL text (read only).
    void setTableName(const QString& tableOrView);
    void setSql(const QString& sql, const QVector<QVariant>& params = {});
    const QString& tableName() const { return table_; }
    const QString& sql() const { return sql_; }
    SourceKind sourceKind() const { return kind_; }

    void open();   // raises StoreError when the source does not exist
    void close();
    bool isActive() const { return state_ != State::Inactive; }
    State state() const { return state_; }

    // "Tabella ASC,Id DESC"; empty = stored order. A bad string raises StoreError naming it.
    void setSort(const QString& sort);
    const QString& sort() const { return sort_; }
    // A filter expression; empty = every row. A bad expression raises StoreError naming it.
    void setFilter(const QString& filter);
    const QString& filter() const { return filter_; }

    // A narrowing done in memory over the rows the statement read: the rows whose `field`
    // matches `pattern` (the filters' LIKE pattern: '*', '?', "[c]", letter case ignored), exactly
    // the rows the term `field LIKE 'pattern'` added to the filter would leave. A search box
    // changes only this at each key, so a key stroke costs one pass over rows already in memory
    // instead of a statement over the whole register. An empty pattern narrows nothing.
    // setFilter() and close() clear it; requery() keeps it. Raises StoreError on an unknown field.
    void setQuickFilter(const QString& field, const QString& pattern);
    const QString& quickFilterPattern() const { return quickPattern_; }

    // Re-reads the rows keeping sort, filter and (when it still exists) the current row. Rows
    // not read yet stay unread until first needed.
    void requery();

    int rowCount();
    int recNo(); // 0-based position of the current row, -1 when empty
    bool eof();
    bool bof();
    bool isEmpty() { return rowCount() == 0; }
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int row);

    QStringList fieldNames();
    int fieldIndex(const QString& field); // without regard to case; -1 when missing
    bool hasField(const QString& field) { return fieldIndex(field) >= 0; }
    QVariant value(const QString& field);           // current row; raises on an unknown field
    QVariant valueAt(int row, const QString& field);
    const QVariant& valueAt(int row, int column); // valid until the rows change
    QString text(const QString& field);             // current row, through the display format
    QString displayText(int row, int column);
    bool isDateField(int column);
    bool isBoolField(int column);

    void setDisplayFormat(const QString& field, const QString& format); // "0.00", "0.000", "HH.mm", "DD/MM/YYYY"
    QString displayFormat(const QString& field) const;

    Bookmark bookmark();
    bool gotoBookmark(const Bookmark& mark);
    // Fields separated by ';'; values compared as the engine would (numbers by value, text
    // exactly unless caseInsensitive). Moves to the first matching row.
    bool locate(const QString& fields, const QVariantList& values, bool caseInsensitive = false);

    // Editing, written through on post().
    void append();
    void edit();
    void setValue(const QString& field, const QVariant& value);
    // Writes the row being inserted or edited. An edited row of a table is written only if it is
    // still stored as it was read when the edit began (another connection, another desk, may have
    // changed or deleted it since): otherwise nothing is written, the row is shown as it is now
    // (or dropped, when deleted), the dataset is left browsing it, and StoreError is raised with
    // StoreFault::Conflict and words for the user. One keyed read more than the write. Rows of a
    // view are written without this check: a view's columns mix other tables' values and
    // computed ones, and its key may repeat (QueryLocali).
    void post();
    void cancel();
    void remove(); // deletes the current row at once
    QVariant keyValue(); // the current row's key (rowid of a table, Id of a view)

    // Rows kept in memory; a change of sort or filter re-reads them when next needed.
    const QVector<QVector<QVariant>>& rows();

Q_SIGNALS:
    void reset();          // rows re-read, or the source changed
    void rowChanged(int row);
    void rowInserted(int row);
    void rowRemoved(int row);
    void currentChanged(int row);

private:
    void ensureLoaded();
    void load();
    void applyQuickFilter();
    void forgetRead() { read_.clear(); readValid_ = false; }
    void readColumns();
    QString baseSelect() const;
    int keyColumn() const { return keyColumn_; }
    QString rowKeySql() const; // the key of a table's rows as SQL text
    void checkWritable() const;
    QVector<QVariant> readRowByKey(const QVariant& key);
    void refuseStaleEdit(const QVector<QVariant>& stored);
    void leaveEdit();
    void setCurrent(int row);
    void autoPost();

    QString name_;
    Database* db_ = nullptr;
    SourceKind kind_ = SourceKind::None;
    QString table_;
    QString sql_;
    QVector<QVariant> sqlParams_;
    QString sort_;
    QString filter_;
    QString orderBy_;
    QString where_;
    QVector<QVariant> whereParams_;

    State state_ = State::Inactive;
    bool loaded_ = false;
    bool columnsRead_ = false;
    bool hiddenRowid_ = false;  // column 0 is the table's rowid, not shown
    QString rowKey_;            // what keys a table's rows: "rowid", or the server's identity column
    QStringList tableColumns_;  // on a server: the table's columns after the key, quoted
    int keyColumn_ = -1;
    QStringList columns_;
    QStringList declTypes_;
    QHash<QString, int> columnIndex_;  // case-folded name -> column
    QHash<QString, QString> formats_;  // case-folded name -> display format
    QVector<QVector<QVariant>> rows_;
    // Every row the statement gave, before the quick filter (shared with rows_ when there is
    // none); dropped when a row is written, so the next narrowing reads the register again.
    QVector<QVector<QVariant>> read_;
    bool readValid_ = false;
    int quickColumn_ = -1;
    QString quickPattern_;
    int current_ = -1;
    bool eof_ = true;
    bool bof_ = true;

    QVector<QVariant> buffer_;   // the row being edited or inserted
    QVector<bool> touched_;
    QVector<QVariant> original_; // the row being edited, as read when the edit began
};

} // namespace velcaris::store
