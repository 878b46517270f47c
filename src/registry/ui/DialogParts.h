#pragma once
// Pieces shared by the registry dialogs: labelled boxes whose maximum length limits typing only
// (texts put in by the program are not cut), and the fixed, centred dialog frame.
#include "app/ViewMemory.h"
#include "registry/EditOutcome.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace velcaris::app {
class TForm1;
}

class QDialog;
class QGridLayout;
class QLineEdit;
class QWidget;

namespace velcaris::registry::ui {

// The user cannot type `limit` characters past what the box holds; a longer text put in by the
// program stays whole (and may be shortened, never lengthened, by typing).
void limitTyping(QLineEdit* edit, int limit);
// Puts `text` in the box without cutting it to the typing limit.
void putText(QLineEdit* edit, const QString& text);

// A label and its box in `row` of `grid`; the label is the box's buddy, and the box is named
// `name`. Name boxes (`refusing`) drop the characters that cannot be part of a file name.
QLineEdit* addLabelledEdit(QGridLayout* grid, int row, const QString& name, const QString& label, int limit,
                           bool refusing, QWidget* parent);

// Fixed border, `width` by `height` inside, title `caption`.
void makeFixedDialog(QDialog* dialog, const QString& caption, int width, int height);
// Centres the dialog on the screen it will appear on.
void centreOnScreen(QDialog* dialog);

// Prepares the dialog and shows it modally, centred. A failure of the data store while preparing
// is shown over `owner` and nothing opens; so does a prepare that returns false.
void showPrepared(QDialog* dialog, QWidget* owner, const std::function<bool()>& prepare);

// Runs a registry action for a dialog: a failure of the data store (nothing written, the
// transaction rolled back) is shown as a failure, the outcome's messages as information.
// True when the action was done and the dialog may close.
bool runEdit(QWidget* dialog, const std::function<EditOutcome()>& edit);

// The messages of a refused save: a refused character as information, the rest as failures.
void showRefusal(QWidget* dialog, const QStringList& messages);
// After a save: the active tab reloads and `dataset` gets back the sort and row it had.
void refreshAfterSave(app::TForm1& form, const QString& dataset, const app::ViewMemory& memory, QWidget* dialog);

} // namespace velcaris::registry::ui
