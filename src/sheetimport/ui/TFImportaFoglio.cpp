#include "sheetimport/ui/TFImportaFoglio.h"

#include "dialogkit/EditDialog.h"
#include "dialogkit/Messages.h"
#include "registry/Condominiums.h"
#include "sheetimport/TemplateExport.h"
#include "store/Money.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velcaris::sheetimport::ui {

namespace {

QTableWidget* grid(const char* name, const QStringList& titles, QWidget* parent)
{
    auto* g = new QTableWidget(0, int(titles.size()), parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setHorizontalHeaderLabels(titles);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->verticalHeader()->hide();
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}

void setRow(QTableWidget* g, int row, const QStringList& texts)
{
    for (int c = 0; c < texts.size(); ++c)
        g->setItem(row, c, new QTableWidgetItem(texts[c]));
}

} // namespace

TFImportaFoglio::TFImportaFoglio(const app::DialogContext& context) : QDialog(context.window), context_(context)
{
    setObjectName(QStringLiteral("FormImportaFoglio"));
    setWindowTitle(QStringLiteral("Importa da foglio di calcolo"));
    setModal(true);
    resize(760, 560);
    auto* layout = new QVBoxLayout(this);

    auto* intro = new QLabel(QStringLiteral("Locali, millesimi, persone e fornitori da un foglio di calcolo (.xlsx, "
                                            ".ods o .csv). \"Esporta modello\" scrive il file da compilare, già "
                                            "riempito con i dati del condominio."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* fileRow = new QHBoxLayout;
    auto* exportButton = new QPushButton(QStringLiteral("Esporta modello"), this);
    exportButton->setObjectName(QStringLiteral("BEsportaModello"));
    auto* chooseButton = new QPushButton(QStringLiteral("Scegli file..."), this);
    chooseButton->setObjectName(QStringLiteral("BScegliFile"));
    file_ = new QLabel(this);
    file_->setObjectName(QStringLiteral("LabelFile"));
    fileRow->addWidget(exportButton);
    fileRow->addWidget(chooseButton);
    fileRow->addWidget(file_, 1);
    layout->addLayout(fileRow);

    auto* preview = new QGroupBox(QStringLiteral("Anteprima"), this);
    auto* previewLayout = new QVBoxLayout(preview);
    summary_ = new QLabel(preview);
    summary_->setObjectName(QStringLiteral("LabelRiepilogo"));
    // One short line per kind of row: the label keeps the height of all of them.
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    previewLayout->addWidget(summary_);
    tables_ = grid("GridTotaliTabelle", {QStringLiteral("Tabella"), QStringLiteral("Totale millesimi"),
                                         QStringLiteral("Stato")},
                   preview);
    tables_->setAccessibleName(QStringLiteral("Totali delle tabelle millesimali"));
    previewLayout->addWidget(tables_, 1);
    notes_ = grid("GridRigheScartate", {QStringLiteral("Foglio"), QStringLiteral("Riga"), QStringLiteral("Esito"),
                                        QStringLiteral("Motivo")},
                  preview);
    notes_->setAccessibleName(QStringLiteral("Righe scartate e avvisi"));
    previewLayout->addWidget(notes_, 2);
    layout->addWidget(preview, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    confirm_ = new QPushButton(QStringLiteral("Conferma"), this);
    confirm_->setObjectName(QStringLiteral("BConferma"));
    auto* cancel = new QPushButton(QStringLiteral("Annulla"), this);
    cancel->setObjectName(QStringLiteral("BAnnulla"));
    buttons->addWidget(confirm_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(exportButton, &QPushButton::clicked, this, &TFImportaFoglio::exportModel);
    connect(chooseButton, &QPushButton::clicked, this, &TFImportaFoglio::chooseFile);
    connect(confirm_, &QPushButton::clicked, this, &TFImportaFoglio::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFImportaFoglio::start()
{
    if (context_.workspace->selection.condominium.isEmpty()) {
        app::showInformation(context_.window, registry::kChooseCondominiumFirst);
        return;
    }
    plan_ = ImportPlan{};
    plan_.error = QStringLiteral("Scegliere il file da importare");
    file_->clear();
    showPlan();
    setWindowTitle(QStringLiteral("Importa da foglio di calcolo - %1").arg(context_.workspace->selection.condominium));
    if (app::EditDialog::blocking())
        exec();
    else
        show();
}

void TFImportaFoglio::exportModel()
{
    app::Workspace& ws = *context_.workspace;
    QString folder = ws.paths().outputFolder() + ws.selection.condominium;
    if (!QDir(folder).exists())
        folder = ws.paths().appFolder();
    QFileDialog chooser(this, QStringLiteral("Esporta modello"), folder);
    chooser.setObjectName(QStringLiteral("SaveDialogModello"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setDefaultSuffix(QStringLiteral("xlsx"));
    chooser.setNameFilters({QStringLiteral("Cartella di lavoro Excel (*.xlsx)")});
    chooser.selectFile(QStringLiteral("Modello importazione.xlsx"));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    const QString path = chooser.selectedFiles().first();
    if (app::runAndShow(this, [&] { return exportTemplate(ws, path); }))
        file_->setText(QStringLiteral("Modello scritto: %1").arg(QDir::toNativeSeparators(path)));
}

void TFImportaFoglio::chooseFile()
{
    QFileDialog chooser(this, QStringLiteral("Foglio di calcolo da importare"), context_.workspace->paths().appFolder());
    chooser.setObjectName(QStringLiteral("OpenDialogFoglio"));
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setNameFilters({QStringLiteral("Fogli di calcolo (*.xlsx *.ods *.csv)"), QStringLiteral("Tutti i file (*)")});
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    const QString path = chooser.selectedFiles().first();
    file_->setText(QDir::toNativeSeparators(path));
    try {
        plan_ = previewImport(*context_.workspace, path);
    } catch (const store::StoreError& e) {
        plan_ = ImportPlan{};
        plan_.error = e.message();
    }
    showPlan();
}

void TFImportaFoglio::showPlan()
{
    summary_->setText(plan_.error.isEmpty() ? plan_.summary() : plan_.error);
    tables_->setRowCount(0);
    if (plan_.error.isEmpty()) {
        int row = 0;
        for (const PlannedTable& t : std::as_const(plan_.tables)) {
            if (!t.inSheet)
                continue;
            tables_->setRowCount(row + 1);
            const bool whole = store::roundScaled(t.total, 3) == 1000000;
            setRow(tables_, row++,
                   {t.name + (t.id ? QString() : QStringLiteral(" (nuova)")), store::formatThousandths(t.total),
                    whole ? QStringLiteral("Corretto") : QStringLiteral("Attenzione: non 1000.000")});
        }
    }
    notes_->setRowCount(int(plan_.notes.size()));
    for (int i = 0; i < plan_.notes.size(); ++i) {
        const RowNote& n = plan_.notes[i];
        setRow(notes_, i,
               {n.sheet, n.row > 0 ? QString::number(n.row) : QString(),
                n.refused ? QStringLiteral("Scartata") : QStringLiteral("Avviso"), n.text});
    }
    confirm_->setEnabled(plan_.writesSomething());
}

void TFImportaFoglio::confirm()
{
    if (!app::runAndShow(this, [&] { return applyImport(*context_.workspace, plan_); }))
        return;
    if (context_.changed)
        context_.changed(app::Change{});
    accept();
}

} // namespace velcaris::sheetimport::ui
