#pragma once
// The modal question with two relabelled buttons ("Si"/"No", "Singole"/"Accorpate").
#include <QString>
#include <QStringList>

class QWidget;

namespace velcaris::app {

enum class DialogKind { Confirmation, Custom };

// 1 when the first button is pressed; 2 for the second, for Esc and for the close button.
// Confirmation: question icon, title "Confirm"; custom: no icon, title "Velcaris".
int ConfirmWithCaptions(const QString& message, DialogKind kind, const QStringList& captions = {"Si", "No"},
                        QWidget* parent = nullptr);

} // namespace velcaris::app
