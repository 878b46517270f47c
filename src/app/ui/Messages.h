#pragma once
// The program's message boxes (title "Velcaris"). Tests switch them to quiet: the texts are then
// recorded instead of shown.
#include <QString>
#include <QStringList>

class QWidget;

namespace velcaris::app {

void showInformation(QWidget* parent, const QString& text);
void showFailure(QWidget* parent, const QString& text);

void setQuietMessages(bool quiet);
bool quietMessages();
// The texts shown (or recorded) since the last call, oldest first.
QStringList takeMessages();

} // namespace velcaris::app
