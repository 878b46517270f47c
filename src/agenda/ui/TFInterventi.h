#pragma once
// The interventions dialog (caption "Interventi e contatti"): logs a contact or an intervention
// for the current condominium and year, or changes the register's current row.
#include "agenda/Interventions.h"
#include "dialogkit/BoxTable.h"
#include "dialogkit/EditDialog.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QTimeEdit;

namespace velcaris::agenda::ui {

class TFInterventi : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFInterventi(const app::DialogContext& context);

protected:
    // False, silently, when there is no row to modify.
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;

private:
    app::BoxTable<InterventionInput> boxes_;
    QLabel* condominio_ = nullptr;
    QLabel* anno_ = nullptr;
    QComboBox* tipo_ = nullptr;
    QDateEdit* data_ = nullptr;
    QTimeEdit* ora_ = nullptr;
    QCheckBox* concluso_ = nullptr;
    app::ViewMemory interventi_;
};

} // namespace velcaris::agenda::ui
