#pragma once
// "Associa fornitore": associates every supplier selected in the Fornitori grid with one
// condominium.
#include "app/ViewMemory.h"
#include "store/Dataset.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace velcaris::app {
class TForm1;
}

namespace velcaris::registry::ui {

class TFormAssociafornitore : public QDialog {
    Q_OBJECT
public:
    explicit TFormAssociafornitore(app::TForm1& form);

    void prepare();
    void run();
    // The ids of the suppliers selected in the grid, in the order of the selection.
    QVector<qint64> selectedSuppliers() const;

private:
    void confirm();
    void reselect(const QVector<qint64>& ids);
    QTableView* grid() const;

    app::TForm1& form_;
    store::Dataset condominiums_;
    QComboBox* combo_ = nullptr;
    QLabel* supplier_ = nullptr;
    app::ViewMemory memory_;
};

} // namespace velcaris::registry::ui
