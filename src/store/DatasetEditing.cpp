// The write side of a dataset: append, edit, set values, post (written through at once) and
// delete. Reading, navigation and locating are in Dataset.cpp.
#include "store/Dataset.h"

#include "store/Failpoint.h"
#include "store/Money.h"
#include "store/RowStamp.h"

#include <algorithm>

namespace velcaris::store {

QString Dataset::rowKeySql() const
{
    return db_->isServer() ? quoteIdentifier(rowKey_) : QStringLiteral("rowid");
}

void Dataset::checkWritable() const
{
    if (kind_ != SourceKind::Table)
        throw StoreError(QStringLiteral("%1: dataset di sola lettura").arg(name_));
}

void Dataset::autoPost()
{
    if (state_ == State::Edit || state_ == State::Insert)
        post();
}

void Dataset::append()
{
    ensureLoaded();
    checkWritable();
    autoPost();
    buffer_ = QVector<QVariant>(columns_.size() + (hiddenRowid_ ? 1 : 0));
    touched_ = QVector<bool>(buffer_.size(), false);
    state_ = State::Insert;
}

void Dataset::edit()
{
    ensureLoaded();
    checkWritable();
    if (state_ == State::Edit || state_ == State::Insert)
        return;
    if (current_ < 0)
        throw StoreError(QStringLiteral("%1: nessuna riga da modificare").arg(name_));
    buffer_ = std::as_const(rows_)[current_];
    original_ = buffer_;
    touched_ = QVector<bool>(buffer_.size(), false);
    state_ = State::Edit;
}

void Dataset::setValue(const QString& field, const QVariant& value)
{
    if (state_ == State::Browse)
        edit();
    if (state_ != State::Edit && state_ != State::Insert)
        throw StoreError(QStringLiteral("%1: dataset chiuso").arg(name_));
    const int column = fieldIndex(field);
    if (column < 0)
        throw StoreError(QStringLiteral("%1: campo sconosciuto: %2").arg(name_, field));
    const int index = column + (hiddenRowid_ ? 1 : 0);
    buffer_[index] = toStoredValue(value);
    touched_[index] = true;
}

QVector<QVariant> Dataset::readRowByKey(const QVariant& key)
{
    QString query;
    if (keyColumn_ == -2)
        query = baseSelect() + QStringLiteral(" WHERE %1 = ?").arg(rowKeySql());
    else if (keyColumn_ >= 0)
        query = baseSelect() + QStringLiteral(" WHERE %1 = ?").arg(quoteIdentifier(columns_[keyColumn_]));
    else
        return {};
    Statement st(*db_, query);
    st.bind(1, key);
    if (!st.step())
        return {};
    QVector<QVariant> row(st.columnCount());
    for (int i = 0; i < row.size(); ++i)
        row[i] = st.value(i);
    return row;
}

void Dataset::post()
{
    if (state_ != State::Edit && state_ != State::Insert)
        return;
    const int offset = hiddenRowid_ ? 1 : 0;
    QStringList names;
    QVector<QVariant> params;
    for (int i = offset; i < buffer_.size(); ++i) {
        if (touched_[i]) {
            names << quoteIdentifier(columns_[i - offset]);
            params << buffer_[i];
        }
    }
    const QString target = quoteIdentifier(table_);
    if (state_ == State::Insert) {
        QString insert = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(target);
        if (!names.isEmpty()) {
            QStringList marks;
            for (int i = 0; i < names.size(); ++i)
                marks << QStringLiteral("?");
            insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(target, names.join(u','), marks.join(u','));
        }
        QVariant key;
        if (keyColumn_ == -2 && db_->isServer()) {
            // The server names the key it gave (or the one the row was given) in its answer.
            key = db_->scalar(insert + QStringLiteral(" RETURNING ") + rowKeySql(), params);
        } else {
            db_->exec(insert, params);
        }
        if (keyColumn_ == -2 && !db_->isServer()) {
            key = db_->lastInsertId();
        } else if (keyColumn_ >= 0) {
            // A view's trigger hides the new rowid: the newest key of the source is the row just written.
            key = db_->scalar(QStringLiteral("SELECT max(%1) FROM %2").arg(quoteIdentifier(columns_[keyColumn_]), target));
        }
        QVector<QVariant> row = key.isValid() ? readRowByKey(key) : QVector<QVariant>();
        if (row.isEmpty())
            row = buffer_;
        leaveEdit();
        forgetRead();
        rows_.push_back(row);
        eof_ = bof_ = false;
        Q_EMIT rowInserted(int(rows_.size()) - 1);
        setCurrent(int(rows_.size()) - 1);
        return;
    }
    // Edit: write the changed fields of the row, found by its key.
    const QVariant key = keyValue();
    if (names.isEmpty()) {
        const QVector<QVariant> row = readRowByKey(key);
        forgetRead();
        rows_[current_] = row.isEmpty() ? buffer_ : row;
        leaveEdit();
        Q_EMIT rowChanged(current_);
        return;
    }
    if (!key.isValid() || key.isNull())
        throw StoreError(QStringLiteral("%1: riga senza chiave, impossibile salvare").arg(name_));
    QStringList sets;
    for (const QString& n : names)
        sets << n + QStringLiteral(" = ?");
    const QString keyName = keyColumn_ == -2 ? rowKeySql() : quoteIdentifier(columns_[keyColumn_]);
    params << key;
    const QString update =
        QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?").arg(target, sets.join(QStringLiteral(", ")), keyName);
    const bool checked = hiddenRowid_; // a table's own row (see post() in Dataset.h)
    QVector<QVariant> row;
    try {
        Transaction tr(*db_);
        if (checked)
            refuseStaleEdit(readRowByKey(key));
        failpoint("dataset.modifica.prima-di-scrivere");
        db_->exec(update, params);
        row = readRowByKey(key);
        tr.commit();
    } catch (const StoreError& e) {
        // On a server a row another desk changed after the check, and before the write, fails the
        // write (repeatable read). Outside any other transaction it can be read again and shown.
        if (e.fault() != StoreFault::Conflict || !checked || state_ != State::Edit || db_->transactionDepth() > 0)
            throw;
        refuseStaleEdit(readRowByKey(key));
        throw; // a conflict of another kind (a unique value taken): the edit stays open to correct
    }
    forgetRead();
    rows_[current_] = row.isEmpty() ? buffer_ : row;
    leaveEdit();
    Q_EMIT rowChanged(current_);
}

void Dataset::refuseStaleEdit(const QVector<QVariant>& stored)
{
    if (!stored.isEmpty() && stored.size() == original_.size()) {
        bool same = true;
        for (qsizetype i = 0; i < stored.size() && same; ++i)
            same = sameStoredValue(stored[i], original_[i]);
        if (same)
            return;
    }
    const int row = current_;
    leaveEdit();
    forgetRead();
    if (stored.isEmpty()) {
        rows_.removeAt(row);
        Q_EMIT rowRemoved(row);
        if (rows_.isEmpty()) {
            eof_ = bof_ = true;
            setCurrent(-1);
        } else {
            setCurrent(std::min(row, int(rows_.size()) - 1));
        }
        throw StoreError(rowDeletedText(), StoreFault::Conflict);
    }
    rows_[row] = stored;
    Q_EMIT rowChanged(row);
    throw StoreError(rowChangedText(), StoreFault::Conflict);
}

void Dataset::leaveEdit()
{
    state_ = State::Browse;
    buffer_.clear();
    original_.clear();
}

void Dataset::cancel()
{
    if (state_ == State::Edit || state_ == State::Insert)
        leaveEdit();
}

void Dataset::remove()
{
    ensureLoaded();
    checkWritable();
    cancel();
    if (current_ < 0)
        throw StoreError(QStringLiteral("%1: nessuna riga da eliminare").arg(name_));
    const QVariant key = keyValue();
    if (!key.isValid() || key.isNull())
        throw StoreError(QStringLiteral("%1: riga senza chiave, impossibile eliminare").arg(name_));
    const QString keyName = keyColumn_ == -2 ? rowKeySql() : quoteIdentifier(columns_[keyColumn_]);
    db_->exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(quoteIdentifier(table_), keyName), {key});
    const int removed = current_;
    forgetRead();
    rows_.removeAt(removed);
    Q_EMIT rowRemoved(removed);
    if (rows_.isEmpty()) {
        eof_ = bof_ = true;
        setCurrent(-1);
    } else {
        setCurrent(std::min(removed, int(rows_.size()) - 1));
    }
}
} // namespace velcaris::store
