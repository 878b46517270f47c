#pragma once
// "Anagrafe fornitore": adds a supplier or changes the one current in the Fornitori grid.
#include "app/ViewMemory.h"
#include "registry/Suppliers.h"

#include <QDialog>
#include <optional>

class QLineEdit;
class QPushButton;

namespace velcaris::app {
class TForm1;
}

namespace velcaris::registry::ui {

class TFormFornitore : public QDialog {
    Q_OBJECT
public:
    explicit TFormFornitore(app::TForm1& form);

    // Fills the boxes for the window's edit mode and remembers the grid's sort and row. False in
    // modify mode when no supplier is current.
    bool prepare();
    void run();

    SupplierInput input() const;
    void fill(const SupplierInput& supplier);
    std::optional<qint64> supplierId() const { return supplierId_; }

private:
    void confirm();

    app::TForm1& form_;
    QVector<QLineEdit*> edits_; // in the order of SupplierInput
    std::optional<qint64> supplierId_;
    app::ViewMemory memory_;
};

} // namespace velcaris::registry::ui
