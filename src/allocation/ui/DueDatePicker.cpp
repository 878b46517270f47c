#include "allocation/ui/DueDatePicker.h"

#include <QDateEdit>
#include <QTableWidget>

namespace velcaris::allocation::ui {

QDate dueDateOf(const QString& text)
{
    return QDate::fromString(text.trimmed(), kDueDateFormat);
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
    if (!dueDateOf(cell->text()).isValid())
        cell->setText(QDate::currentDate().toString(kDueDateFormat));
    grid_->editItem(cell);
}

QWidget* DueDatePicker::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(QStringLiteral("DataScadenzaPicker"));
    picker->setDisplayFormat(kDueDateFormat);
    picker->setCalendarPopup(true);
    // The cell follows the picker at once, not only when the picker closes.
    const QPersistentModelIndex cell(index);
    connect(picker, &QDateEdit::dateChanged, this, [cell](const QDate& date) {
        if (cell.isValid())
            const_cast<QAbstractItemModel*>(cell.model())->setData(cell, date.toString(kDueDateFormat));
    });
    return picker;
}

void DueDatePicker::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QDate date = dueDateOf(index.data().toString());
    static_cast<QDateEdit*>(editor)->setDate(date.isValid() ? date : QDate::currentDate());
}

void DueDatePicker::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    model->setData(index, static_cast<QDateEdit*>(editor)->date().toString(kDueDateFormat));
}

} // namespace velcaris::allocation::ui
