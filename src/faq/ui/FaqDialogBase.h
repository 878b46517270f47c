#pragma once
// What the FAQ window and its three dialogs share: opening over their parent (modally in the
// program, without a modal loop in widget tests) and their messages.
#include "foundation/Outcome.h"

#include <QDialog>
#include <functional>

namespace velcaris::faq::ui {

class FaqDialogBase : public QDialog {
    Q_OBJECT
public:
    FaqDialogBase(QWidget* parent, const QString& objectName, const QString& caption);

protected:
    // Shows the dialog over its parent, which stays disabled until it closes.
    void showOver();
    void say(const QString& text);
    // Runs an action of the knowledge base and shows its messages; a failure of the data store
    // is shown as an error and comes back as a refusal.
    app::Outcome attempt(const std::function<app::Outcome()>& action);
};

} // namespace velcaris::faq::ui
