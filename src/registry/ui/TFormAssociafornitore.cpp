#include "registry/ui/TFormAssociafornitore.h"

#include "app/ui/Messages.h"
#include "app/ui/TForm1.h"
#include "registry/Suppliers.h"
#include "registry/ui/DialogParts.h"
#include "store/StoreError.h"

#include <QComboBox>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace velcaris::registry::ui {

namespace {
const QString kSuppliers = QStringLiteral("ADOQueryFornitori");
}

TFormAssociafornitore::TFormAssociafornitore(app::TForm1& form)
    : QDialog(&form), form_(form), condominiums_(QStringLiteral("ADOTableCondominiAssocia"), this)
{
    setObjectName(QStringLiteral("TFormAssociafornitore"));
    makeFixedDialog(this, QStringLiteral("Associa fornitore"), 400, 165);

    auto* grid = new QGridLayout(this);
    auto* prompt = new QLabel(QStringLiteral("Selezionare il condominio da associare al fornitore:"), this);
    prompt->setObjectName(QStringLiteral("Label1"));
    supplier_ = new QLabel(this);
    supplier_->setObjectName(QStringLiteral("LabelFornitore"));
    QFont bold = supplier_->font();
    bold.setBold(true);
    supplier_->setFont(bold);
    combo_ = new QComboBox(this);
    combo_->setObjectName(QStringLiteral("ComboCondomini"));
    combo_->setMaxVisibleItems(15);
    combo_->setAccessibleName(QStringLiteral("Condominio:"));
    auto* comboLabel = new QLabel(QStringLiteral("Condominio:"), this);
    comboLabel->setObjectName(QStringLiteral("Label2"));
    comboLabel->setBuddy(combo_);
    auto* confirm = new QPushButton(QStringLiteral("Conferma"), this);
    confirm->setObjectName(QStringLiteral("BtnConferma"));
    confirm->setDefault(true);

    grid->addWidget(prompt, 0, 0, 1, 3);
    grid->addWidget(supplier_, 1, 0, 1, 3);
    grid->addWidget(comboLabel, 2, 0);
    grid->addWidget(combo_, 2, 1, 1, 2);
    grid->addWidget(confirm, 3, 2);
    grid->setColumnStretch(1, 1);
    setTabOrder(combo_, confirm);
    connect(confirm, &QPushButton::clicked, this, &TFormAssociafornitore::confirm);

    // The dialog's own list of condominiums, opened with it.
    condominiums_.setConnection(&form_.workspace().mainDb());
    condominiums_.setTableName(QStringLiteral("Condomini"));
    try {
        condominiums_.open();
    } catch (const store::StoreError&) {
        // The data store failed at start-up; the main window has shown why.
    }
}

QTableView* TFormAssociafornitore::grid() const
{
    return form_.findChild<QTableView*>(QStringLiteral("DBGridFornitori"));
}

void TFormAssociafornitore::prepare()
{
    combo_->clear();
    if (condominiums_.isActive()) {
        condominiums_.setSort(QStringLiteral("Nome ASC"));
        condominiums_.requery();
        for (int row = 0; row < condominiums_.rowCount(); ++row)
            combo_->addItem(condominiums_.valueAt(row, QStringLiteral("Nome")).toString());
    }
    combo_->setCurrentIndex(combo_->count() > 0 ? 0 : -1);
    store::Dataset& suppliers = form_.workspace().ds(kSuppliers);
    // Only the supplier current in the grid is named, however many are selected.
    supplier_->setText(suppliers.isActive() && suppliers.recNo() >= 0
                           ? suppliers.value(QStringLiteral("Fornitore")).toString()
                           : QString());
    memory_ = app::rememberView(suppliers);
    combo_->setFocus();
}

void TFormAssociafornitore::run()
{
    showPrepared(this, &form_, [this] {
        prepare();
        return true;
    });
}

QVector<qint64> TFormAssociafornitore::selectedSuppliers() const
{
    QVector<qint64> ids;
    QTableView* view = grid();
    store::Dataset& suppliers = form_.workspace().ds(kSuppliers);
    if (!view || !suppliers.isActive())
        return ids;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        if (index.row() < suppliers.rowCount())
            ids << suppliers.valueAt(index.row(), QStringLiteral("id")).toLongLong();
    return ids;
}

void TFormAssociafornitore::reselect(const QVector<qint64>& ids)
{
    QTableView* view = grid();
    store::Dataset& suppliers = form_.workspace().ds(kSuppliers);
    if (!view || !suppliers.isActive())
        return;
    QItemSelection selection;
    for (int row = 0; row < suppliers.rowCount(); ++row)
        if (ids.contains(suppliers.valueAt(row, QStringLiteral("id")).toLongLong()))
            selection.select(view->model()->index(row, 0),
                             view->model()->index(row, view->model()->columnCount() - 1));
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TFormAssociafornitore::confirm()
{
    const QVector<qint64> ids = selectedSuppliers();
    AssociationOutcome outcome;
    try {
        outcome = associateSuppliers(form_.workspace(), ids, combo_->currentText());
    } catch (const store::StoreError& e) {
        outcome.messages << e.message();
    }
    if (!outcome.done && !outcome.messages.isEmpty()) {
        for (const QString& text : outcome.messages)
            app::showFailure(this, text);
        return;
    }
    for (const QString& text : outcome.messages)
        app::showInformation(this, text);
    form_.loadActiveTab();
    try {
        app::restoreView(form_.workspace().ds(kSuppliers), memory_);
    } catch (const store::StoreError& e) {
        app::showFailure(this, e.message());
    }
    // The grid keeps its selection: only a right click over it clears it.
    reselect(ids);
    accept();
}

} // namespace velcaris::registry::ui
