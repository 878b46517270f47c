#include "app/ui/ConfirmWithCaptions.h"

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
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    QPushButton* buttons[] = {ok, cancel};
    for (int i = 0; i < 2 && i < captions.size(); ++i)
        buttons[i]->setText(captions[i]);
    ok->setObjectName(QStringLiteral("ButtonFirst"));
    cancel->setObjectName(QStringLiteral("ButtonSecond"));
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == ok ? 1 : 2;
}

} // namespace velcaris::app
