#include "dialogkit/Messages.h"

#include "store/RowStamp.h"
#include "store/StoreError.h"

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

void showWarning(QWidget* parent, const QString& text)
{
    recorded << text;
    if (!quiet)
        QMessageBox::warning(parent, QStringLiteral("Velcaris"), text);
}

void showMessage(QWidget* parent, const Message& message)
{
    switch (message.kind) {
    case MessageKind::Warning: showWarning(parent, message.text); break;
    case MessageKind::Error: showFailure(parent, message.text); break;
    case MessageKind::Information:
    case MessageKind::Question: showInformation(parent, message.text); break;
    }
}

void showFailure(QWidget* parent, const QString& text)
{
    recorded << text;
    if (!quiet)
        QMessageBox::critical(parent, QStringLiteral("Velcaris"), text);
}

bool runAndShow(QWidget* parent, const std::function<Outcome()>& action)
{
    try {
        const Outcome outcome = action();
        for (const Message& m : outcome.messages)
            showMessage(parent, m);
        return outcome.done;
    } catch (const store::StoreError& e) {
        showFailure(parent, e.message());
        return false;
    }
}

bool runEditAndShow(QWidget* parent, const std::function<Outcome()>& action,
                    const std::function<void()>& showRowAsNow)
{
    Outcome outcome;
    try {
        outcome = action();
    } catch (const store::StoreError& e) {
        outcome = store::isStaleRow(e) ? Outcome::staleRow(e.message()) : Outcome::failed(e.message());
    }
    // The row as it is now is on show before the message that says so.
    if (outcome.stale && showRowAsNow) {
        try {
            showRowAsNow();
        } catch (const store::StoreError& e) {
            outcome.add(MessageKind::Error, e.message());
        }
    }
    for (const Message& message : outcome.messages)
        showMessage(parent, message);
    return outcome.done;
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
