#pragma once
// The program's message boxes (title "Velcaris"). Tests switch them to quiet: the texts are then
// recorded instead of shown.
#include "foundation/Outcome.h"

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace velcaris::app {

void showInformation(QWidget* parent, const QString& text);
void showWarning(QWidget* parent, const QString& text);
void showFailure(QWidget* parent, const QString& text);
// A message of the core in the box of its kind. A question that reaches here unanswered is shown
// as information: dialogs ask their questions with ConfirmWithCaptions before they act.
void showMessage(QWidget* parent, const Message& message);

// Runs a core action and shows each of its messages; a failure of the data store is shown too.
// True when the action was done.
bool runAndShow(QWidget* parent, const std::function<Outcome()>& action);
// The same for a modification of a row read earlier: when the action was refused because another
// desk changed the row since (Outcome::stale, or refuseIfChanged's refusal escaping), `showRowAsNow`
// fills the controls from the row as it is now, and stamps it again, before the message is shown.
bool runEditAndShow(QWidget* parent, const std::function<Outcome()>& action,
                    const std::function<void()>& showRowAsNow);

void setQuietMessages(bool quiet);
bool quietMessages();
// The texts shown (or recorded) since the last call, oldest first.
QStringList takeMessages();

} // namespace velcaris::app
