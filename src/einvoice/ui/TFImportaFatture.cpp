#include "einvoice/ui/TFImportaFatture.h"

#include "cashbook/PaymentPlace.h"
#include "dialogkit/Messages.h"
#include "foundation/ViewMemory.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velcaris::einvoice::ui {

namespace {

const QString kExpenses = QStringLiteral("ADOQueryUscite");

enum Column { Importa, File, Fornitore, Abbinamento, Numero, Data, Lordo, Ritenuta, Netto, Tributo, Voce, Conferma, Note, Columns };

QString matchText(SupplierMatch m)
{
    switch (m) {
    case SupplierMatch::PartitaIva: return QStringLiteral("Partita IVA");
    case SupplierMatch::CodiceFiscale: return QStringLiteral("Codice fiscale");
    case SupplierMatch::New: return QStringLiteral("Nuovo fornitore");
    }
    return QString();
}

QTableWidgetItem* cell(const QString& text, bool number = false)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QPushButton* button(const char* name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace

TFImportaFatture::TFImportaFatture(const app::DialogContext& context)
    : QDialog(context.window), context_(context)
{
    setObjectName(QStringLiteral("FormImportaFatture"));
    setWindowTitle(QStringLiteral("Importa fatture elettroniche"));
    resize(1100, 600);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    condominio_ = new QLabel(this);
    condominio_->setObjectName(QStringLiteral("LabelCondominio"));
    QFont bold = condominio_->font();
    bold.setBold(true);
    condominio_->setFont(bold);
    top->addWidget(condominio_);
    top->addStretch();
    QPushButton* files = button("BScegliFile", QStringLiteral("Scegli file..."), this);
    QPushButton* folder = button("BScegliCartella", QStringLiteral("Scegli cartella..."), this);
    top->addWidget(files);
    top->addWidget(folder);
    layout->addLayout(top);

    grid_ = new QTableWidget(0, Columns, this);
    grid_->setObjectName(QStringLiteral("GridFatture"));
    grid_->setAccessibleName(QStringLiteral("Fatture lette"));
    grid_->setHorizontalHeaderLabels({QStringLiteral("Importa"), QStringLiteral("File"), QStringLiteral("Fornitore"),
                                      QStringLiteral("Abbinamento"), QStringLiteral("Numero"), QStringLiteral("Data"),
                                      QStringLiteral("Lordo"), QStringLiteral("Ritenuta"), QStringLiteral("Netto"),
                                      QStringLiteral("Cod. tributo"), QStringLiteral("Voce di preventivo"),
                                      QStringLiteral("Intestata ad altri"), QStringLiteral("Avvisi")});
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(grid_, 1);

    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(QStringLiteral("Voce di preventivo per tutte"), this));
    allItems_ = new QComboBox(this);
    allItems_->setObjectName(QStringLiteral("ComboVoce"));
    allItems_->setAccessibleName(QStringLiteral("Voce di preventivo per tutte"));
    choices->addWidget(allItems_);
    QPushButton* apply = button("BApplicaVoce", QStringLiteral("Applica a tutte"), this);
    choices->addWidget(apply);
    choices->addSpacing(24);
    choices->addWidget(new QLabel(QStringLiteral("Data di pagamento"), this));
    payDate_ = new QDateEdit(this);
    payDate_->setObjectName(QStringLiteral("DataPagamento"));
    payDate_->setAccessibleName(QStringLiteral("Data di pagamento"));
    payDate_->setCalendarPopup(true);
    payDate_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    choices->addWidget(payDate_);
    choices->addWidget(new QLabel(QStringLiteral("Pagamento"), this));
    payPlace_ = new QComboBox(this);
    payPlace_->setObjectName(QStringLiteral("ComboPagamento"));
    payPlace_->setAccessibleName(QStringLiteral("Pagamento"));
    payPlace_->addItems({cashbook::kPlaceCassa, cashbook::kPlaceContoCorrente});
    choices->addWidget(payPlace_);
    choices->addStretch();
    layout->addLayout(choices);

    layout->addWidget(new QLabel(QStringLiteral("File scartati"), this));
    refused_ = new QListWidget(this);
    refused_->setObjectName(QStringLiteral("ListaScartati"));
    refused_->setAccessibleName(QStringLiteral("File scartati"));
    refused_->setMaximumHeight(110);
    layout->addWidget(refused_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    confirm_ = button("BConferma", QStringLiteral("Conferma"), this);
    QPushButton* close = button("BChiudi", QStringLiteral("Chiudi"), this);
    buttons->addWidget(confirm_);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(files, &QPushButton::clicked, this, &TFImportaFatture::chooseFiles);
    connect(folder, &QPushButton::clicked, this, &TFImportaFatture::chooseFolder);
    connect(apply, &QPushButton::clicked, this, &TFImportaFatture::applyItemToAll);
    connect(confirm_, &QPushButton::clicked, this, &TFImportaFatture::confirm);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void TFImportaFatture::start()
{
    app::Workspace& ws = *context_.workspace;
    const QString condominium = ws.selection.condominium;
    try {
        if (const QString problem = importPrecondition(ws, condominium); !problem.isEmpty()) {
            app::showInformation(context_.window, problem);
            return;
        }
        items_ = cashbook::expenseBudgetItems(ws, condominium);
    } catch (const store::StoreError& e) {
        app::showFailure(context_.window, e.message());
        return;
    }
    condominio_->setText(condominium);
    allItems_->clear();
    for (const cashbook::BudgetChoice& item : items_)
        allItems_->addItem(item.tabella + QStringLiteral(" - ") + item.voce);
    payDate_->setDate(QDate::currentDate());
    proposal_ = ImportProposal();
    proposal_.condominium = condominium;
    showProposal();
    show();
    raise();
}

void TFImportaFatture::chooseFiles()
{
    const QStringList paths = QFileDialog::getOpenFileNames(
        this, QStringLiteral("Scegli le fatture elettroniche"), QString(),
        QStringLiteral("Fatture elettroniche (*.xml *.p7m *.zip *.XML *.P7M *.ZIP);;Tutti i file (*)"));
    if (!paths.isEmpty())
        load(paths);
}

void TFImportaFatture::chooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Scegli la cartella delle fatture"));
    if (!folder.isEmpty())
        load({folder});
}

void TFImportaFatture::load(const QStringList& paths)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        const ReadBatch batch = readInvoicePaths(paths);
        proposal_ = proposeImport(*context_.workspace, proposal_.condominium, batch);
    } catch (const store::StoreError& e) {
        QApplication::restoreOverrideCursor();
        app::showFailure(this, e.message());
        return;
    }
    QApplication::restoreOverrideCursor();
    showProposal();
}

void TFImportaFatture::showProposal()
{
    grid_->setRowCount(0);
    grid_->setRowCount(int(proposal_.rows.size()));
    for (int r = 0; r < proposal_.rows.size(); ++r) {
        const ImportRow& row = proposal_.rows[r];
        const Invoice& inv = row.source.invoice;
        auto* chosen = new QCheckBox(grid_);
        chosen->setObjectName(QStringLiteral("Importa%1").arg(r));
        chosen->setAccessibleName(QStringLiteral("Importa la fattura %1").arg(inv.numero));
        chosen->setChecked(row.chosen);
        grid_->setCellWidget(r, Importa, chosen);
        grid_->setItem(r, File, cell(row.source.file));
        grid_->setItem(r, Fornitore, cell(row.supplierName));
        grid_->setItem(r, Abbinamento, cell(matchText(row.match)));
        grid_->setItem(r, Numero, cell(inv.kindName() + QStringLiteral(" ") + inv.numero));
        grid_->setItem(r, Data, cell(inv.data.toString(QStringLiteral("dd/MM/yyyy"))));
        grid_->setItem(r, Lordo, cell(row.expense.importoLordo, true));
        grid_->setItem(r, Ritenuta, cell(row.expense.ritenuta ? row.expense.ritenuteOperate : QString(), true));
        grid_->setItem(r, Netto, cell(row.expense.ritenuta ? row.expense.importoNetto : row.expense.importoLordo, true));
        grid_->setItem(r, Tributo, cell(row.expense.codTributo));
        auto* item = new QComboBox(grid_);
        item->setObjectName(QStringLiteral("Voce%1").arg(r));
        item->setAccessibleName(QStringLiteral("Voce di preventivo della fattura %1").arg(inv.numero));
        item->addItem(QStringLiteral("(scegliere)"));
        for (const cashbook::BudgetChoice& choice : items_) {
            item->addItem(choice.tabella + QStringLiteral(" - ") + choice.voce);
            if (choice.tabella == row.expense.tabella && choice.voce == row.expense.tipoSpesa)
                item->setCurrentIndex(item->count() - 1);
        }
        grid_->setCellWidget(r, Voce, item);
        if (!row.otherAddressee.isEmpty()) {
            auto* accept = new QCheckBox(QStringLiteral("Confermo"), grid_);
            accept->setObjectName(QStringLiteral("Conferma%1").arg(r));
            accept->setAccessibleName(QStringLiteral("Confermo che la fattura %1 riguarda il condominio").arg(inv.numero));
            accept->setChecked(row.acceptOtherAddressee);
            grid_->setCellWidget(r, Conferma, accept);
        }
        QStringList notes;
        if (!row.duplicate.isEmpty())
            notes << row.duplicate;
        if (!row.otherAddressee.isEmpty())
            notes << row.otherAddressee;
        notes += inv.remarks;
        auto* noteItem = cell(notes.join(u' '));
        noteItem->setToolTip(notes.join(u'\n'));
        if (!row.duplicate.isEmpty() || !row.otherAddressee.isEmpty())
            noteItem->setForeground(QColor(160, 0, 0));
        grid_->setItem(r, Note, noteItem);
    }
    grid_->resizeColumnsToContents();
    refused_->clear();
    for (const RefusedFile& f : proposal_.refused)
        refused_->addItem(f.file + QStringLiteral(": ") + f.reason);
    confirm_->setEnabled(!proposal_.rows.isEmpty());
}

void TFImportaFatture::applyItemToAll()
{
    const int chosen = allItems_->currentIndex();
    if (chosen < 0)
        return;
    for (int r = 0; r < grid_->rowCount(); ++r)
        if (auto* combo = qobject_cast<QComboBox*>(grid_->cellWidget(r, Voce)))
            combo->setCurrentIndex(chosen + 1);
}

ImportInput TFImportaFatture::input() const
{
    ImportInput in;
    in.condominium = proposal_.condominium;
    in.rows = proposal_.rows;
    for (int r = 0; r < in.rows.size() && r < grid_->rowCount(); ++r) {
        ImportRow& row = in.rows[r];
        if (auto* chosen = qobject_cast<QCheckBox*>(grid_->cellWidget(r, Importa)))
            row.chosen = chosen->isChecked();
        if (auto* accept = qobject_cast<QCheckBox*>(grid_->cellWidget(r, Conferma)))
            row.acceptOtherAddressee = accept->isChecked();
        if (auto* combo = qobject_cast<QComboBox*>(grid_->cellWidget(r, Voce))) {
            const int index = combo->currentIndex() - 1;
            row.expense.tabella = index >= 0 ? items_.at(index).tabella : QString();
            row.expense.tipoSpesa = index >= 0 ? items_.at(index).voce : QString();
        }
        setPayment(row, payDate_->date(), payPlace_->currentText());
    }
    return in;
}

void TFImportaFatture::confirm()
{
    app::Workspace& ws = *context_.workspace;
    const ImportInput in = input();
    const app::ViewMemory memory =
        ws.hasDataset(kExpenses) ? app::rememberView(ws.ds(kExpenses)) : app::ViewMemory();
    ImportResult result;
    const bool done = app::runAndShow(this, [&] { return importInvoices(ws, in, &result); });
    if (!done)
        return;
    if (context_.changed) {
        app::Change change;
        change.dataset = kExpenses;
        change.memory = memory;
        context_.changed(change);
    }
    // What was imported leaves the grid; what was left unchosen stays for another time.
    QVector<ImportRow> left;
    for (const ImportRow& row : in.rows)
        if (!row.chosen)
            left << row;
    proposal_.rows = left;
    showProposal();
}

} // namespace velcaris::einvoice::ui
