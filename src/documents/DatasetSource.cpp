#include "documents/DatasetSource.h"

#include <QDate>

namespace velcaris::documents {

QVariant DatasetSource::value(const QString& name) const
{
    const int column = ds_->fieldIndex(name);
    if (column < 0 || ds_->eof() || ds_->recNo() < 0)
        return QVariant();
    const QVariant v = ds_->valueAt(ds_->recNo(), column);
    if (v.isNull())
        return v;
    if (ds_->isDateField(column)) {
        const QDate date = QDate::fromString(v.toString().left(10), Qt::ISODate);
        return date.isValid() ? QVariant(date) : v;
    }
    if (ds_->isBoolField(column))
        return v.toBool();
    return v;
}

} // namespace velcaris::documents
