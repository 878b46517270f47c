#pragma once
// The administrative year dialog (caption "Anno amministrativo"): adds a year, which becomes the
// current one, or changes the current year.
#include "dialogkit/EditDialog.h"
#include "registry/AdministrativeYears.h"

class QCheckBox;
class QDateEdit;
class QLineEdit;

namespace velcaris::registry::ui {

class TFormAA : public app::EditDialog {
    Q_OBJECT
public:
    explicit TFormAA(const app::DialogContext& context);

protected:
    // False (after saying why) when there is no condominium, or no year to modify.
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;
    void showRowAsNow() override;

private:
    YearInput input() const;
    // The current year, stamped before it is read (asRead_); nullopt when there is none.
    std::optional<YearRecord> readStamped();
    void fill(const YearInput& year);

    QLineEdit* name_ = nullptr;
    QDateEdit* start_ = nullptr;
    QDateEdit* end_ = nullptr;
    QCheckBox* approved_ = nullptr;
    QCheckBox* import_ = nullptr;
    app::ViewMemory budget_; // DBGridPreventivi as it was when the dialog opened
    store::RowStamp asRead_; // the current year's row as shown (modify mode)
};

} // namespace velcaris::registry::ui
