#include "app/ui/Messages.h"

#include <QMessageBox>

namespace velcaris::app {

namespace {
bool quiet = false;
QStringList recorded;
} // namespace

void showInformation(QWidget* parent, const QString& text)
{
    recorded << text;
    if (!quiet)
        QMessageBox::information(parent, QStringLiteral("Velcaris"), text);
}

void showFailure(QWidget* parent, const QString& text)
{
    recorded << text;
    if (!quiet)
        QMessageBox::critical(parent, QStringLiteral("Velcaris"), text);
}

void setQuietMessages(bool on)
{
    quiet = on;
}

bool quietMessages()
{
    return quiet;
}

QStringList takeMessages()
{
    QStringList out;
    out.swap(recorded);
    return out;
}

} // namespace velcaris::app
