#pragma once
// The deadline dialog (caption "Scadenzario"): adds a deadline to the current condominium's
// agenda or changes the agenda's current row.
#include "agenda/Deadlines.h"
#include "dialogkit/BoxTable.h"
#include "dialogkit/EditDialog.h"

class QCheckBox;
class QDateEdit;
class QLabel;

namespace velcaris::agenda::ui {

class TFScadenzario : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFScadenzario(const app::DialogContext& context);

protected:
    // False, silently, when there is no row to modify.
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;

private:
    app::BoxTable<DeadlineInput> boxes_;
    QLabel* condominio_ = nullptr;
    QDateEdit* data_ = nullptr;
    QCheckBox* esito_ = nullptr;
    app::ViewMemory agenda_;
};

} // namespace velcaris::agenda::ui
