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

void setQuietMessages(bool quiet);
bool quietMessages();
// The texts shown (or recorded) since the last call, oldest first.
QStringList takeMessages();

} // namespace velcaris::app
