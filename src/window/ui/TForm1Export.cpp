// "Esporta" of the main window: which register each tab hands to the spreadsheet, and how.
#include "dialogkit/ConfirmWithCaptions.h"
#include "dialogkit/DatasetModel.h"
#include "dialogkit/Messages.h"
#include "window/ui/TForm1.h"
#include "reports/RegisterExport.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>

namespace velcaris::app {

namespace {

const QString kQuoteQuestion = QStringLiteral("Esportare le \"Quote singole\" o le \"Quote accorpate\"?");

// The grid each tab exports; empty for the tabs that export nothing (or not by a grid).
QString exportedGrid(Tab tab)
{
    switch (tab) {
    case Tab::Agenda: return QStringLiteral("DBGridScadenzario");
    case Tab::Interventi: return QStringLiteral("DBGridInterventi");
    case Tab::Preventivo: return QStringLiteral("DBGridPreventivi");
    case Tab::Entrate: return QStringLiteral("DBGridEntrate");
    case Tab::Uscite: return QStringLiteral("DBGridUscite");
    case Tab::Fornitori: return QStringLiteral("DBGridFornitori");
    case Tab::Anagrafe: return QStringLiteral("DBGridAnagrafe");
    case Tab::Locali: return QStringLiteral("DBGridLocali");
    default: return {};
    }
}

// The grid's visible columns, in the order the user sees them (columns can be moved).
QStringList visibleFields(QTableView* grid, store::Dataset& ds)
{
    const QStringList names = ds.fieldNames();
    const QHeaderView* header = grid->horizontalHeader();
    QStringList fields;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical >= 0 && logical < names.size() && !grid->isColumnHidden(logical))
            fields << names[logical];
    }
    return fields;
}

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

void TForm1::exportActiveTab()
{
    lastExport_.clear();
    const Tab tab = activeTab();
    const bool chosen = !workspace_->selection.condominium.isEmpty();
    reports::RegisterExport rq;
    rq.caption = pageControl_->tabText(pageControl_->currentIndex());
    rq.when = QDateTime::currentDateTime();
    if (tab == Tab::Condomini) {
        rq.dataset = QStringLiteral("ADOTableCondomini");
    } else {
        QString gridName = exportedGrid(tab);
        if (tab == Tab::Preventivo && !chosen)
            return;
        if (tab == Tab::Quote) {
            if (!chosen)
                return;
            gridName = ConfirmWithCaptions(kQuoteQuestion, DialogKind::Custom, {QStringLiteral("Singole"),
                                                                                QStringLiteral("Accorpate")}, this) == 1
                           ? QStringLiteral("DBGridQuoteSingole")
                           : QStringLiteral("DBGridQuoteAccorpate");
        }
        if (gridName.isEmpty())
            return;
        auto* grid = own<QTableView*>(gridName);
        auto* model = grid ? qobject_cast<DatasetModel*>(grid->model()) : nullptr;
        if (!model || !model->dataset())
            return;
        rq.dataset = model->dataset()->name();
        runGuarded([&] { rq.fields = visibleFields(grid, *model->dataset()); });
        if (rq.fields.isEmpty())
            return;
    }
    runGuarded([&] {
        reports::ExportResult result;
        {
            const WaitCursor wait;
            result = reports::exportRegister(*workspace_, rq);
        }
        QApplication::clipboard()->setText(result.clipboard);
        for (const Message& m : result.outcome.messages) {
            lastMessage_ = m.text;
            app::showMessage(this, m);
        }
        if (!result.outcome.done)
            return;
        lastExport_ = result.file;
        if (!shell_) {
            systemShell_ = std::make_unique<platform::SystemShell>();
            shell_ = systemShell_.get();
        }
        // Without a spreadsheet program the file is still there: the user is told where.
        if (!shell_->open(result.file))
            showMessage(QStringLiteral("Il file è stato salvato in %1\nNon è stato possibile aprirlo: %2")
                            .arg(QDir::toNativeSeparators(result.file), shell_->lastError()));
    });
}

} // namespace velcaris::app
