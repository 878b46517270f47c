#include "registry/ui/DialogParts.h"

#include "app/ui/Messages.h"
#include "app/ui/RefusingLineEdit.h"
#include "app/ui/TForm1.h"
#include "registry/NameRules.h"

#include <QDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

namespace velcaris::registry::ui {

namespace {
const char* const kLimit = "typedLimit";

int limitOf(QLineEdit* edit)
{
    const QVariant limit = edit->property(kLimit);
    return limit.isValid() ? limit.toInt() : 32767;
}
} // namespace

void limitTyping(QLineEdit* edit, int limit)
{
    edit->setProperty(kLimit, limit);
    edit->setMaxLength(std::max(limit, int(edit->text().size())));
    // After an edit the allowance shrinks back towards the limit, never below the text.
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit] {
        edit->setMaxLength(std::max(limitOf(edit), int(edit->text().size())));
    });
}

void putText(QLineEdit* edit, const QString& text)
{
    edit->setMaxLength(std::max(limitOf(edit), int(text.size())));
    edit->setText(text);
    edit->setCursorPosition(0);
}

QLineEdit* addLabelledEdit(QGridLayout* grid, int row, const QString& name, const QString& label, int limit,
                           bool refusing, QWidget* parent)
{
    QLineEdit* edit = refusing ? new app::RefusingLineEdit(fileNameRefusedCharacters(), parent) : new QLineEdit(parent);
    edit->setObjectName(name);
    limitTyping(edit, limit);
    auto* caption = new QLabel(label, parent);
    caption->setObjectName(QStringLiteral("Label") + name.mid(4)); // EditCognome -> LabelCognome
    caption->setBuddy(edit);
    edit->setAccessibleName(label);
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

void makeFixedDialog(QDialog* dialog, const QString& caption, int width, int height)
{
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    dialog->setFixedSize(width, height);
    dialog->setModal(true);
}

void centreOnScreen(QDialog* dialog)
{
    QScreen* screen = dialog->parentWidget() ? dialog->parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    dialog->move(area.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
}

void showPrepared(QDialog* dialog, QWidget* owner, const std::function<bool()>& prepare)
{
    bool ready = false;
    try {
        ready = prepare();
    } catch (const store::StoreError& e) {
        app::showFailure(owner, e.message());
    }
    if (!ready)
        return;
    centreOnScreen(dialog);
    dialog->exec();
}

bool runEdit(QWidget* dialog, const std::function<EditOutcome()>& edit)
{
    EditOutcome outcome;
    try {
        outcome = edit();
    } catch (const store::StoreError& e) {
        app::showFailure(dialog, e.message());
        return false;
    }
    for (const QString& message : outcome.messages)
        app::showInformation(dialog, message);
    return outcome.done;
}

void showRefusal(QWidget* dialog, const QStringList& messages)
{
    for (const QString& text : messages) {
        if (text == kRefusedCharacterMessage)
            app::showInformation(dialog, text);
        else
            app::showFailure(dialog, text);
    }
}

void refreshAfterSave(app::TForm1& form, const QString& dataset, const app::ViewMemory& memory, QWidget* dialog)
{
    form.loadActiveTab();
    try {
        app::restoreView(form.workspace().ds(dataset), memory);
    } catch (const store::StoreError& e) {
        app::showFailure(dialog, e.message());
    }
}

} // namespace velcaris::registry::ui
