#include "faq/ui/FaqDialogBase.h"

#include "dialogkit/EditDialog.h"
#include "dialogkit/Messages.h"
#include "store/StoreError.h"

namespace velcaris::faq::ui {

FaqDialogBase::FaqDialogBase(QWidget* parent, const QString& objectName, const QString& caption) : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setModal(true);
}

void FaqDialogBase::showOver()
{
    if (app::EditDialog::blocking())
        exec();
    else
        open();
}

void FaqDialogBase::say(const QString& text)
{
    app::showInformation(this, text);
}

app::Outcome FaqDialogBase::attempt(const std::function<app::Outcome()>& action)
{
    app::Outcome outcome;
    try {
        outcome = action();
    } catch (const store::StoreError& e) {
        outcome = app::Outcome::failed(e.message());
    }
    for (const app::Message& message : outcome.messages)
        app::showMessage(this, message);
    return outcome;
}

} // namespace velcaris::faq::ui
