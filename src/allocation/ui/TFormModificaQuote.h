#pragma once
// "Modifica Quota": the due date and type of every quota of one name in the current year, the
// name being the quota column selected in the grouped quota view.
#include "dialogkit/EditDialog.h"

class QComboBox;
class QLabel;

namespace velcaris::app {
class DateField;
}

namespace velcaris::allocation::ui {

class TFormModificaQuote : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFormModificaQuote(const app::DialogContext& context);

protected:
    // False, after saying why, when no quota column is selected or the year has no such quota.
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;

private:
    QLabel* name_ = nullptr;        // LabelNomeQuota
    app::DateField* dueDate_ = nullptr; // DataScadenzaQuota
    QComboBox* types_ = nullptr;    // ComboTipologia
    app::ViewMemory memory_;        // the grouped view as it was at opening
};

} // namespace velcaris::allocation::ui
