#include "dialogkit/ValueLabel.h"

#include <QLabel>
#include <QString>

namespace velcaris::app {

void setValue(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setAccessibleDescription(text);
}

} // namespace velcaris::app
