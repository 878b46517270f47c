#include "dialogkit/BoxTable.h"

#include <QWidget>

namespace velcaris::app {

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

QLabel* captionFor(QLineEdit* edit, const QString& text, QWidget* parent)
{
    auto* caption = new QLabel(text, parent);
    caption->setObjectName(QStringLiteral("Label") + edit->objectName().mid(4)); // EditCognome -> LabelCognome
    caption->setBuddy(edit);
    edit->setAccessibleName(text);
    return caption;
}

void chainTabOrder(const QVector<QWidget*>& widgets)
{
    for (int i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

} // namespace velcaris::app
