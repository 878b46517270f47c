#include "allocation/ui/DueDatePicker.h"

#include "dialogkit/DateField.h"
#include "foundation/TypedDate.h"

#include <QTableWidget>

namespace velcaris::allocation::ui {

QDate dueDateOf(const QString& text)
{
    return app::dateFromTyped(text).value_or(QDate());
}

DueDatePicker::DueDatePicker(QTableWidget* grid, int column) : QStyledItemDelegate(grid), grid_(grid), column_(column)
{
    grid->setItemDelegateForColumn(column, this);
    connect(grid, &QTableWidget::currentCellChanged, this, [this](int row, int col) { cover(row, col); });
}

void DueDatePicker::cover(int row, int column)
{
    if (column != column_ || row < 0)
        return;
    QTableWidgetItem* cell = grid_->item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        grid_->setItem(row, column, cell);
    }
    // Only an empty cell is given a date: a text typed earlier stays as it is.
    if (cell->text().trimmed().isEmpty())
        cell->setText(QDate::currentDate().toString(app::kDateFormat));
    grid_->editItem(cell);
}

QWidget* DueDatePicker::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* field = new app::DateField(parent);
    field->setObjectName(QStringLiteral("DataScadenzaPicker"));
    field->setAccessibleName(QStringLiteral("Data scadenza"));
    // The cell follows the box at once, not only when the box closes.
    const QPersistentModelIndex cell(index);
    connect(field, &QLineEdit::textChanged, this, [cell](const QString& text) {
        if (cell.isValid() && cell.data().toString() != text)
            const_cast<QAbstractItemModel*>(cell.model())->setData(cell, text);
    });
    return field;
}

void DueDatePicker::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* field = static_cast<app::DateField*>(editor);
    const QString text = index.data().toString();
    // The cell changes as the box is typed in: writing the same text back would move the cursor.
    if (field->text() != text)
        field->setText(text);
}

void DueDatePicker::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    const QString typed = static_cast<app::DateField*>(editor)->text();
    const std::optional<QDate> date = app::dateFromTyped(typed);
    model->setData(index, date ? date->toString(app::kDateFormat) : typed);
}

} // namespace velcaris::allocation::ui
