#include "dialogkit/ConfirmWithCaptions.h"

#include <QMessageBox>
#include <QPushButton>

namespace velcaris::app {

int ConfirmWithCaptions(const QString& message, DialogKind kind, const QStringList& captions, QWidget* parent)
{
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("ConfirmWithCaptions"));
    box.setWindowTitle(kind == DialogKind::Confirmation ? QStringLiteral("Confirm") : QStringLiteral("Velcaris"));
    box.setIcon(kind == DialogKind::Confirmation ? QMessageBox::Question : QMessageBox::NoIcon);
    box.setText(message);
    box.setTextFormat(Qt::PlainText);
    // OK then Cancel, in this order on every platform: with the accept and reject roles some
    // platforms would put Cancel first, and the captions go by position. Both buttons therefore
    // share one role, which every layout keeps in the order of insertion.
    auto* ok = new QPushButton(captions.value(0, QStringLiteral("OK")), &box);
    auto* cancel = new QPushButton(captions.value(1, QStringLiteral("Cancel")), &box);
    ok->setObjectName(QStringLiteral("ButtonFirst"));
    cancel->setObjectName(QStringLiteral("ButtonSecond"));
    box.addButton(ok, QMessageBox::ActionRole);
    box.addButton(cancel, QMessageBox::ActionRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == ok ? 1 : 2;
}

} // namespace velcaris::app
