#include "window/ui/tabs/DocumentRuns.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace velcaris::app {

WaitCursor::WaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor()
{
    QApplication::restoreOverrideCursor();
}

PdfCopies::PdfCopies(QObject* parent, std::function<void(const QString&)> status, QString what)
    : QObject(parent), pdf_(this), status_(std::move(status)), what_(std::move(what))
{
    connect(&pdf_, &platform::PdfConverter::finished, this, [this](const QStringList& pdfs, const QString& error) {
        status_(error.isEmpty() ? QStringLiteral("Copie PDF create: %1").arg(pdfs.size()) : error);
    });
}

void PdfCopies::convert(const QStringList& written)
{
    if (written.isEmpty())
        return;
    if (pdf_.convert(written, QFileInfo(written.first()).absolutePath()))
        status_(QStringLiteral("Creazione delle copie PDF in corso (%1 documenti)...").arg(written.size()));
    else if (!toldNoOffice_) {
        toldNoOffice_ = true;
        status_(QStringLiteral("LibreOffice non è installato: %1 solo in formato RTF, senza la copia PDF.")
                    .arg(what_));
    }
}

PageActions::PageActions(TabParts& parts, QWidget* page, const QString& written)
    : QObject(page), parts_(parts), page_(page), pdf_(this, [this](const QString& text) { status(text); }, written)
{
}

void PageActions::on(const char* button, std::function<void()> handler)
{
    connect(find<QPushButton>(button), &QPushButton::clicked, this,
            [this, handler = std::move(handler)] { parts_.guarded(handler); });
}

void PageActions::status(const QString& text)
{
    find<QLabel>("LabelStatoStampe")->setText(text);
}

documents::DocumentBatch PageActions::runWithGauge(const char* gaugeName, const Produce& produce)
{
    auto* gauge = find<QProgressBar>(gaugeName);
    documents::DocumentBatch run;
    {
        const WaitCursor wait;
        gauge->setValue(0);
        gauge->show();
        struct HideGauge {
            QProgressBar* g;
            ~HideGauge() { g->hide(); }
        } hide{gauge};
        run = produce([gauge](int position) { gauge->setValue(position); });
    }
    pdf_.convert(run.written);
    return run;
}

} // namespace velcaris::app
