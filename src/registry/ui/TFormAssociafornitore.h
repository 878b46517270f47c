#pragma once
// "Associa fornitore": associates every supplier selected in the Fornitori grid with one
// condominium.
#include "dialogkit/EditDialog.h"

#include <QVector>

class QComboBox;
class QLabel;

namespace velcaris::registry::ui {

class TFormAssociafornitore : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFormAssociafornitore(const app::DialogContext& context);

    // The suppliers the dialog was opened for, in the order of the grid's selection.
    const QVector<qint64>& selectedSuppliers() const { return suppliers_; }

protected:
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;

private:
    QComboBox* combo_ = nullptr;
    QLabel* supplier_ = nullptr;
    QVector<qint64> suppliers_;
    app::ViewMemory memory_;
};

} // namespace velcaris::registry::ui
