#pragma once
// The exceptions dialog (caption "Eccezioni"): every unit of the allocation, checked; the units
// left unchecked when "Conferma" is pressed are excluded from the next allocation.
#include "allocation/Allocation.h"

#include <QDialog>
#include <QVector>

class QTreeWidget;

namespace velcaris::allocation::ui {

class TFEccezioni : public QDialog {
    Q_OBJECT
public:
    explicit TFEccezioni(QWidget* parent);

    // Rebuilds the list, all checked, from the units in their order.
    void fill(const AllocationUnits& units);
    // The units unchecked in the list.
    QVector<qint64> unchecked() const;

Q_SIGNALS:
    void confirmed(); // "Conferma"

private:
    QTreeWidget* list_ = nullptr; // ListaLocali
};

} // namespace velcaris::allocation::ui
