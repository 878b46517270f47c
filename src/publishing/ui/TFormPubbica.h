#pragma once
// The publishing dialog (caption "Pubblica - " and the condominium): records a document for the
// owners' web site, tied to an administrative year or not; "-" opens the withdrawal dialog.
#include "dialogkit/EditDialog.h"
#include "publishing/Documents.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;

namespace velcaris::publishing::ui {

class TFormCancellaFiles;

class TFormPubbica : public app::EditDialog {
    Q_OBJECT
public:
    TFormPubbica(const app::DialogContext& context, TFormCancellaFiles* withdraw);

protected:
    // False (after saying so) when no condominium is chosen.
    bool prepare(const app::DialogRequest& request) override;
    void confirm() override;

private:
    // "+": a file chooser; its name (without the folder) becomes the document.
    void chooseDocument();

    TFormCancellaFiles* withdraw_;
    QString lastChosen_; // the name chosen last while the program runs
    QLineEdit* document_ = nullptr;
    QCheckBox* withYear_ = nullptr;
    QComboBox* years_ = nullptr;
    QDateEdit* date_ = nullptr;
};

} // namespace velcaris::publishing::ui
