#pragma once
// The budget item dialog (caption "Preventivo"): adds an item to the current year of the current
// condominium or changes the one selected in the budget grid.
#include "allocation/BudgetItems.h"
#include "dialogkit/BoxTable.h"
#include "dialogkit/EditDialog.h"

#include <optional>

class QComboBox;

namespace velcaris::allocation::ui {

class TFormPreventivo : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFormPreventivo(const app::DialogContext& context);

protected:
    // False (after saying why) without a current year; silently when there is no item to modify.
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;
    void showRowAsNow() override;

private:
    void fillTables();
    void fill(const BudgetItemRecord& item);

    app::BoxTable<BudgetInput> boxes_;
    QComboBox* tables_ = nullptr;    // DBLookupTabelle
    std::optional<qint64> itemId_;   // modify mode
    store::RowStamp asRead_;         // the item's row as shown (modify mode)
    app::ViewMemory memory_;         // DBGridPreventivi as it was when the dialog opened
};

} // namespace velcaris::allocation::ui
