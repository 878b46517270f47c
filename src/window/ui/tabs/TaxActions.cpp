#include "window/ui/tabs/TaxActions.h"

#include "dialogkit/Messages.h"
#include "window/ui/tabs/TabParts.h"
#include "documents/RtfReport.h"
#include "window/ui/tabs/DocumentRuns.h"
#include "reports/Certificates.h"
#include "reports/F24Summary.h"
#include "reports/QuadroAC.h"
#include "reports/Workbook.h"
#include "reports/ui/TFStampe.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

namespace velcaris::app {

namespace {

class TaxActions : public PageActions {
public:
    TaxActions(TabParts& parts, QWidget* page) : PageActions(parts, page, QStringLiteral("le certificazioni sono scritte"))
    {
        on("BStampa2", [this] { printTaxReport(); });
        on("BtnStampaFornitori", [this] { printCertificates(); });
        on("Button1", [this] { checkAll(true); });
        on("Button3", [this] { checkAll(false); });
        on("SelezioneRitenute", [this] { checkWithholding(); });
        on("BtnF24", [this] { showF24(); });
        on("BtnEsportaF24", [this] { exportF24(); });
    }

private:
    void show(const Outcome& outcome)
    {
        for (const Message& m : outcome.messages)
            showMessage(parts_.window, m);
    }
    QListWidget* list() const { return find<QListWidget>("ListaFornitori"); }

    void printTaxReport()
    {
        const QString kind = find<QComboBox>("TipoModello2")->currentText();
        const QString year = find<QLineEdit>("EditAnno")->text();
        // The reports are of the current condominium: without one there is nothing to report.
        if (parts_.ws.selection.condominium.isEmpty())
            return;
        if (kind == QLatin1String("Modello 770")) {
            const Outcome outcome = reports::selectModello770(parts_.ws, year);
            if (outcome.done)
                status(outcome.texts().join(u'\n'));
            else
                show(outcome);
            return;
        }
        if (kind != QLatin1String("Quadro AC"))
            return;
        reports::QuadroAC report;
        {
            const WaitCursor wait;
            report = reports::buildQuadroAC(parts_.ws, year);
        }
        if (!report.outcome.done) {
            show(report.outcome);
            return;
        }
        if (!stampe_)
            stampe_ = new reports::ui::TFStampe(parts_.ws, parts_.window);
        stampe_->showReport(report.grid);
    }

    void checkAll(bool checked)
    {
        for (int i = 0; i < list()->count(); ++i)
            list()->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }

    void checkWithholding()
    {
        const reports::WithholdingSuppliers found =
            reports::suppliersWithWithholding(parts_.ws, find<QLineEdit>("EditAnnoCert")->text());
        if (!found.outcome.done) {
            show(found.outcome);
            return;
        }
        for (int i = 0; i < list()->count(); ++i) {
            QListWidgetItem* item = list()->item(i);
            item->setCheckState(found.ids.contains(item->data(Qt::UserRole).toLongLong()) ? Qt::Checked : Qt::Unchecked);
        }
    }

    void printCertificates()
    {
        reports::CertificateRequest rq;
        rq.year = find<QLineEdit>("EditAnnoCert")->text();
        rq.today = QDate::currentDate();
        rq.entries = checkListEntries<reports::CertificateEntry>("ListaFornitori");
        const reports::CertificateRun run = runWithGauge("Gauge2", [&](const std::function<void(int)>& gauge) {
            return reports::produceCertificates(parts_.ws, engine(), rq, gauge);
        });
        show(run.outcome);
    }

    bool showF24()
    {
        if (parts_.ws.selection.condominium.isEmpty())
            return false;
        const reports::F24Summary summary = reports::f24Summary(parts_.ws, find<QLineEdit>("EditAnnoF24")->text());
        if (!summary.outcome.done) {
            show(summary.outcome);
            return false;
        }
        f24_ = reports::f24Sheet(summary.lines);
        f24Year_ = find<QLineEdit>("EditAnnoF24")->text();
        auto* grid = find<QTableWidget>("GridF24");
        grid->clear();
        grid->setColumnCount(int(f24_.header.size()));
        grid->setHorizontalHeaderLabels(f24_.header);
        grid->setRowCount(int(f24_.rows.size()));
        for (int r = 0; r < f24_.rows.size(); ++r)
            for (int c = 0; c < f24_.rows[r].size(); ++c) {
                const reports::Cell& cell = f24_.rows[r][c];
                auto* item = new QTableWidgetItem(cell.text);
                if (cell.kind == reports::Cell::Kind::Amount)
                    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                grid->setItem(r, c, item);
            }
        grid->resizeColumnsToContents();
        return true;
    }

    void exportF24()
    {
        // Read again: the grid on screen may be of another condominium or year.
        if (!showF24())
            return;
        const QString path = reports::f24Path(parts_.ws, f24Year_);
        const QString error = reports::writeOfficeWorkbook(parts_.ws.paths(), path, f24_);
        if (!error.isEmpty())
            showFailure(parts_.window, error);
        else
            showInformation(parts_.window, QStringLiteral("Il file è stato creato: %1").arg(QDir::toNativeSeparators(path)));
    }


    reports::ui::TFStampe* stampe_ = nullptr;
    reports::Sheet f24_;
    QString f24Year_;
};

} // namespace

void connectTaxActions(TabParts& parts, QWidget* page)
{
    new TaxActions(parts, page);
}

} // namespace velcaris::app
