#pragma once
// What the Stampe tab's document runs share: the hourglass while documents are written, and one
// background PDF conversion per run, told in the tab's status line (LibreOffice's absence once).
#include "platform/PdfConverter.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace velcaris::app {

// The hourglass while documents are written; it comes back whatever happens.
struct WaitCursor {
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

class PdfCopies : public QObject {
public:
    // `status` shows a line in the tab; `what` says what is written ("i documenti sono scritti").
    PdfCopies(QObject* parent, std::function<void(const QString&)> status, QString what);
    void convert(const QStringList& written);

private:
    platform::PdfConverter pdf_;
    std::function<void(const QString&)> status_;
    QString what_;
    bool toldNoOffice_ = false;
};

} // namespace velcaris::app
