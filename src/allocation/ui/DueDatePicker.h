#pragma once
// The date picker over the due-date cells of the instalment grid: when such a cell gets the
// focus a picker covers it, opening on the cell's date (today when empty, which the cell shows at
// once); the cell takes the picked date as the picker changes and when it loses the focus.
#include <QStyledItemDelegate>

class QTableWidget;

namespace velcaris::allocation::ui {

inline const QString kDueDateFormat = QStringLiteral("dd/MM/yyyy");

class DueDatePicker : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Installs itself on `column` of `grid` and opens over the cell that becomes current there.
    DueDatePicker(QTableWidget* grid, int column);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    void cover(int row, int column);

    QTableWidget* grid_;
    int column_;
};

// A cell's due date, or a null date when the cell is empty.
QDate dueDateOf(const QString& text);

} // namespace velcaris::allocation::ui
