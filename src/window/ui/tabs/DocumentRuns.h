#pragma once
// What the Stampe tab's document runs share: the hourglass while documents are written, and one
// background PDF conversion per run, told in the tab's status line (LibreOffice's absence once).
#include "window/ui/tabs/TabParts.h"
#include "documents/DocumentBatch.h"
#include "documents/RtfReport.h"
#include "platform/PdfConverter.h"

#include <QListWidget>
#include <QObject>
#include <QVector>
#include <QWidget>
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

// What a set of button handlers of a tab page shares: the page's controls found by name, buttons
// connected to guarded handlers, the status line, the PDF copies of its runs and the merge engine.
class PageActions : public QObject {
protected:
    // `written` says what the runs write, for the message when LibreOffice is missing.
    PageActions(TabParts& parts, QWidget* page, const QString& written);

    template <class W>
    W* find(const char* name) const
    {
        return page_->findChild<W*>(QString::fromLatin1(name));
    }
    void on(const char* button, std::function<void()> handler);
    void status(const QString& text);
    // The entries of the named check list: each item's id (kept under Qt::UserRole), caption and
    // check, in the list's order.
    template <class Entry>
    QVector<Entry> checkListEntries(const char* name) const
    {
        const QListWidget* list = find<QListWidget>(name);
        QVector<Entry> entries;
        for (int i = 0; i < list->count(); ++i) {
            const QListWidgetItem* item = list->item(i);
            entries.push_back({item->data(Qt::UserRole).toLongLong(), item->text(), item->checkState() == Qt::Checked});
        }
        return entries;
    }
    // Runs `produce` under the hourglass with the named gauge shown and following it; the gauge
    // hides again whatever happens, and the documents written go on to their PDF copies.
    using Produce = std::function<documents::DocumentBatch(const std::function<void(int)>& gauge)>;
    documents::DocumentBatch runWithGauge(const char* gauge, const Produce& produce);
    // The window's engine; one of the page's own when the window gives none.
    documents::TRtfReport& engine() { return parts_.modello ? *parts_.modello : own_; }

    TabParts& parts_;
    QWidget* page_;
    PdfCopies pdf_;

private:
    documents::TRtfReport own_;
};

} // namespace velcaris::app
