#include "registry/ui/RefusingLineEdit.h"

#include "dialogkit/Messages.h"
#include "registry/NameRules.h"

namespace velcaris::registry::ui {

RefusingLineEdit::RefusingLineEdit(const QString& refused, QWidget* parent) : QLineEdit(parent), refused_(refused)
{
    connect(this, &QLineEdit::textEdited, this, &RefusingLineEdit::filter);
}

void RefusingLineEdit::filter(const QString& text)
{
    bool removed = false;
    const QString clean = registry::withoutRefused(text, refused_, &removed);
    if (!removed)
        return;
    // Keep the cursor where the user was typing, less what was dropped before it.
    const int before = int(registry::withoutRefused(text.left(cursorPosition()), refused_).size());
    setText(clean);
    setCursorPosition(before);
    app::showInformation(this, registry::kRefusedCharacterMessage);
}

} // namespace velcaris::registry::ui
