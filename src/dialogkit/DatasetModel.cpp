#include "dialogkit/DatasetModel.h"

namespace velcaris::app {

DatasetModel::DatasetModel(store::Dataset* dataset, QObject* parent) : QAbstractTableModel(parent), dataset_(dataset)
{
    auto resetModel = [this] {
        beginResetModel();
        endResetModel();
    };
    connect(dataset, &store::Dataset::reset, this, resetModel);
    connect(dataset, &store::Dataset::rowInserted, this, resetModel);
    connect(dataset, &store::Dataset::rowRemoved, this, resetModel);
    connect(dataset, &store::Dataset::rowChanged, this, [this](int row) {
        if (usable())
            Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void DatasetModel::setLive(bool live)
{
    if (live_ == live)
        return;
    beginResetModel();
    live_ = live;
    endResetModel();
}

void DatasetModel::setColumnTitle(const QString& field, const QString& title)
{
    titles_.insert(field.toCaseFolded(), title);
    if (usable())
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void DatasetModel::clearColumnTitles()
{
    titles_.clear();
}

void DatasetModel::setCellBackground(CellColour colour)
{
    background_ = std::move(colour);
}

bool DatasetModel::usable() const
{
    return live_ && dataset_ && dataset_->isActive();
}

int DatasetModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !usable())
        return 0;
    try {
        return dataset_->rowCount();
    } catch (const store::StoreError&) {
        return 0;
    }
}

int DatasetModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !usable())
        return 0;
    try {
        return int(dataset_->fieldNames().size());
    } catch (const store::StoreError&) {
        return 0;
    }
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    if (!usable() || !index.isValid())
        return {};
    // Painting must not throw: a register that cannot be read (or a colour rule over a field the
    // source lacks) shows empty cells instead of ending the program.
    try {
        return cellData(index, role);
    } catch (const store::StoreError&) {
        return {};
    }
}

QVariant DatasetModel::cellData(const QModelIndex& index, int role) const
{
    const bool isBool = dataset_->isBoolField(index.column());
    if (role == Qt::DisplayRole)
        return isBool ? QVariant() : QVariant(dataset_->displayText(index.row(), index.column()));
    if (role == Qt::CheckStateRole && isBool)
        return dataset_->valueAt(index.row(), index.column()).toBool() ? Qt::Checked : Qt::Unchecked;
    if (background_ && (role == Qt::BackgroundRole || role == Qt::ForegroundRole)) {
        const std::optional<QColor> colour = background_(index.row(), index.column());
        if (colour)
            return role == Qt::BackgroundRole ? QVariant(*colour) : QVariant(QColor(Qt::black));
    }
    if (role == Qt::TextAlignmentRole) {
        const QVariant v = dataset_->valueAt(index.row(), index.column());
        if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong)
            return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (!usable())
        return {};
    QStringList names;
    try {
        names = dataset_->fieldNames();
    } catch (const store::StoreError&) {
        return {};
    }
    if (section < 0 || section >= names.size())
        return {};
    return titles_.value(names[section].toCaseFolded(), names[section]);
}

} // namespace velcaris::app
