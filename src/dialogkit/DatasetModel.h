#pragma once
// A read-only table model over a Dataset: what every register grid shows. A model stays empty
// until it is made live, so that the grids of hidden tabs don't read their registers.
#include "store/Dataset.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QPointer>
#include <functional>
#include <optional>

namespace velcaris::app {

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(store::Dataset* dataset, QObject* parent = nullptr);

    store::Dataset* dataset() const { return dataset_; }
    void setLive(bool live);
    bool isLive() const { return live_; }
    void setColumnTitle(const QString& field, const QString& title);
    void clearColumnTitles();
    // Painting of the cells: a background per cell (row, column), black text where one is given.
    using CellColour = std::function<std::optional<QColor>(int row, int column)>;
    void setCellBackground(CellColour colour);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool usable() const;
    QVariant cellData(const QModelIndex& index, int role) const;

    QPointer<store::Dataset> dataset_;
    bool live_ = false;
    QHash<QString, QString> titles_; // case-folded field -> title
    CellColour background_;
};

} // namespace velcaris::app
