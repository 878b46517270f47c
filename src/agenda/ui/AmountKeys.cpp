#include "agenda/ui/AmountKeys.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace velcaris::agenda::ui {

namespace {

class AmountKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false; // shortcuts: copy, paste, undo
        const QString text = key->text();
        if (text.isEmpty() || !text.at(0).isPrint())
            return false;
        for (const QChar c : text)
            if (!c.isDigit() && c != u'-' && c != u'.')
                return true; // discarded
        return false;
    }
};

} // namespace

void acceptAmountKeysOnly(QLineEdit* edit)
{
    edit->installEventFilter(new AmountKeyFilter(edit));
}

} // namespace velcaris::agenda::ui
