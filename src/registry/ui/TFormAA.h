#pragma once
// The administrative year dialog (caption "Anno amministrativo"): adds a year, which becomes the
// current one, or changes the current year. The work is in registry/AdministrativeYears.
#include "app/ViewMemory.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;

namespace velcaris::app {
class TForm1;
class RefusingLineEdit;
} // namespace velcaris::app

namespace velcaris::registry {

class TFormAA : public QDialog {
    Q_OBJECT
public:
    explicit TFormAA(app::TForm1& form);

    // Fills the controls for the workspace's edit mode; false (after saying why) when there is
    // no condominium, or no year to modify.
    bool prepare();

private:
    void confirm();

    app::TForm1& form_;
    app::RefusingLineEdit* name_ = nullptr;
    QDateEdit* start_ = nullptr;
    QDateEdit* end_ = nullptr;
    QCheckBox* approved_ = nullptr;
    QCheckBox* import_ = nullptr;
    app::ViewMemory budget_; // DBGridPreventivi as it was when the dialog opened
};

} // namespace velcaris::registry
