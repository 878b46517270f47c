// The quick filter of a dataset: the rows already read, narrowed in memory with the filters' own
// matcher. Reading the rows is in Dataset.cpp.
#include "store/Dataset.h"
#include "store/LikePattern.h"

namespace velcaris::store {

void Dataset::setQuickFilter(const QString& field, const QString& pattern)
{
    if (!isActive())
        throw StoreError(QStringLiteral("%1: dataset chiuso").arg(name_));
    int column = -1;
    if (!pattern.isEmpty()) {
        column = fieldIndex(field);
        if (column < 0)
            throw StoreError(QStringLiteral("%1: campo sconosciuto %2").arg(name_, field));
        column += hiddenRowid_ ? 1 : 0;
    }
    if (column == quickColumn_ && pattern == quickPattern_ && loaded_)
        return;
    autoPost();
    quickColumn_ = column;
    quickPattern_ = pattern;
    if (!loaded_ || !readValid_) {
        load();
    } else {
        applyQuickFilter();
    }
    setCurrent(rows_.isEmpty() ? -1 : 0);
    Q_EMIT reset();
}

void Dataset::applyQuickFilter()
{
    if (quickColumn_ < 0) {
        rows_ = read_;
    } else {
        const LikePattern pattern = parseLikePattern(quickPattern_);
        QVector<QVector<QVariant>> kept;
        for (const QVector<QVariant>& row : std::as_const(read_))
            if (likeMatches(pattern, row[quickColumn_]))
                kept.push_back(row);
        rows_ = std::move(kept);
    }
    bof_ = true;
    eof_ = rows_.isEmpty();
}

} // namespace velcaris::store
