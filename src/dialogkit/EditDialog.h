#pragma once
// The one shape of a data-entry dialog: built once, prepare() fills it for the edit mode,
// confirm() gathers the controls into the input struct and runs the core action through
// runEdit(), which shows the outcome; when the action is done the dialog closes and reports what
// changed. See src/README.md.
#include "foundation/Outcome.h"
#include "dialogkit/DialogContext.h"

#include <QDialog>
#include <functional>

class QBoxLayout;
class QPushButton;

namespace velcaris::app {

class EditDialog : public QDialog {
    Q_OBJECT
public:
    // Fixed border, `width` by `height`, title `caption`, a child of the context's window.
    EditDialog(const DialogContext& context, const QString& objectName, const QString& caption, int width, int height);

    // Prepares and shows the dialog modally, centred on its screen. A failure of the data store
    // while preparing is shown over the window and nothing opens; so does a prepare that refuses.
    void run(const DialogRequest& request = {});

    // Whether run() blocks until the dialog closes (the program) or returns at once (widget tests).
    static void setBlocking(bool blocking);
    static bool blocking();

protected:
    // Fills the controls for the workspace's edit mode; false (after saying why, or silently when
    // there is nothing to show) when the dialog must not open.
    virtual bool prepare(const DialogRequest& request) = 0;
    // "Conferma".
    virtual void confirm() = 0;

    // Runs a core action: a failure of the data store (nothing written) is shown as an error, the
    // outcome's messages by their kind. True when the action was done. When the action was
    // refused because another desk changed the row since the dialog read it (Outcome::stale),
    // showRowAsNow() runs before the message is shown.
    bool runEdit(const std::function<Outcome()>& action);
    // A modification refused because its row changed since the dialog read it: fill the controls
    // again from the row as it is now and stamp it again (store/RowStamp.h), so that the user sees
    // it and can repeat the change. Nothing by default.
    virtual void showRowAsNow() {}
    // Closes the dialog and reports what changed.
    void finish(const Change& change);

    // "Conferma" and "Annulla" at the bottom right, wired to confirm() and reject().
    QPushButton* addButtons(QBoxLayout* layout, const QString& confirmName, const QString& cancelName);

    Workspace& ws() const { return *context_.workspace; }
    QWidget* window() const { return context_.window; }

private:
    DialogContext context_;
};

} // namespace velcaris::app
