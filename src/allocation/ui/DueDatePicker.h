#pragma once
// The date box over the due-date cells of the instalment grid: when such a cell gets the focus a
// date box (app::DateField) covers it, holding the cell's text (today when the cell is empty,
// which the cell shows at once); the cell follows what is typed or picked. A date is written back
// as dd/MM/yyyy; a text that is no date stays as typed, for "Conferma" to refuse.
#include <QDate>
#include <QStyledItemDelegate>

class QTableWidget;

namespace velcaris::allocation::ui {

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

// A cell's due date; a null date when the cell is empty or holds no date.
QDate dueDateOf(const QString& text);

} // namespace velcaris::allocation::ui
