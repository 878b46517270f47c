#include "documents/RecordSource.h"

#include <QSet>

namespace velcaris::documents {

MemoryRecordSource::MemoryRecordSource(const QStringList& columns, const QVector<QVariantList>& rows)
{
    setColumns(columns);
    for (const QVariantList& r : rows)
        appendRow(r);
    first();
}

MemoryRecordSource::MemoryRecordSource(const QVector<QVariantMap>& rows)
{
    // Columns in first-seen order across all rows.
    QStringList columns;
    QSet<QString> seen;
    for (const QVariantMap& r : rows)
        for (auto it = r.begin(); it != r.end(); ++it)
            if (!seen.contains(it.key().toCaseFolded())) {
                seen.insert(it.key().toCaseFolded());
                columns.append(it.key());
            }
    setColumns(columns);
    for (const QVariantMap& r : rows) {
        QVariantList row(columns.size());
        for (auto it = r.begin(); it != r.end(); ++it)
            row[index_.value(it.key().toCaseFolded())] = it.value();
        appendRow(row);
    }
    first();
}

void MemoryRecordSource::setColumns(const QStringList& columns)
{
    columns_ = columns;
    index_.clear();
    for (int i = 0; i < columns.size(); ++i)
        index_.insert(columns[i].trimmed().toCaseFolded(), i);
}

void MemoryRecordSource::appendRow(const QVariantList& row)
{
    QVariantList r = row;
    while (r.size() < columns_.size())
        r.append(QVariant());
    rows_.append(r);
    if (rows_.size() == 1)
        first();
}

void MemoryRecordSource::clear()
{
    rows_.clear();
    first();
}

void MemoryRecordSource::first()
{
    pos_ = 0;
    eof_ = bof_ = rows_.isEmpty();
}

void MemoryRecordSource::next()
{
    bof_ = false;
    if (pos_ + 1 < rows_.size())
        ++pos_;
    else {
        pos_ = int(rows_.size());
        eof_ = true;
    }
}

void MemoryRecordSource::prior()
{
    eof_ = false;
    if (pos_ > 0 && !rows_.isEmpty())
        pos_ = std::min(pos_ - 1, int(rows_.size()) - 1);
    else {
        pos_ = 0;
        bof_ = true;
    }
    if (rows_.isEmpty())
        eof_ = true;
}

void MemoryRecordSource::last()
{
    pos_ = std::max(0, int(rows_.size()) - 1);
    eof_ = bof_ = rows_.isEmpty();
}

void MemoryRecordSource::moveTo(int row)
{
    if (row < 0 || row >= rows_.size()) {
        pos_ = int(rows_.size());
        eof_ = true;
        bof_ = rows_.isEmpty();
        return;
    }
    pos_ = row;
    eof_ = bof_ = false;
}

bool MemoryRecordSource::hasField(const QString& name) const
{
    return index_.contains(name.trimmed().toCaseFolded());
}

QVariant MemoryRecordSource::valueAt(int row, const QString& name) const
{
    const auto it = index_.constFind(name.trimmed().toCaseFolded());
    if (it == index_.constEnd() || row < 0 || row >= rows_.size())
        return QVariant();
    return rows_[row].value(it.value());
}

QVariant MemoryRecordSource::value(const QString& name) const
{
    if (rows_.isEmpty() || pos_ >= rows_.size())
        return QVariant();
    return valueAt(pos_, name);
}

} // namespace velcaris::documents
