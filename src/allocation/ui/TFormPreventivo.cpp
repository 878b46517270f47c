#include "allocation/ui/TFormPreventivo.h"

#include "allocation/MillesimalTables.h"
#include "allocation/QuotaSchedule.h"
#include "foundation/Selection.h"
#include "dialogkit/Messages.h"
#include "store/RowStamp.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::allocation::ui {

namespace {

using Box = app::Box<BudgetInput>;
const QString kBudget = QStringLiteral("ADOQueryPreventivi");

const Box kDescription = {"EditVoceSpesa", "Voce spesa", 100, &BudgetInput::descrizione};
const Box kAmount = {"EditSPesa", "Spesa", 10, &BudgetInput::spesa};

store::RowStamp stampItem(app::Workspace& ws, qint64 id)
{
    return store::stampRow(ws.mainDb(), QStringLiteral("Preventivi"), QStringLiteral("Id"), id);
}

} // namespace

TFormPreventivo::TFormPreventivo(const app::DialogContext& context)
    : EditDialog(context, QStringLiteral("TFormPreventivo"), QStringLiteral("Preventivo"), 420, 165)
{
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 80);
    grid->setColumnStretch(1, 1);
    outer->addLayout(grid);

    // The list shows each table's name and description; the box shows the name.
    tables_ = new QComboBox(this);
    tables_->setObjectName(QStringLiteral("DBLookupTabelle"));
    tables_->setAccessibleName(QStringLiteral("Tabella"));
    auto* model = new QStandardItemModel(0, 2, tables_);
    tables_->setModel(model);
    auto* list = new QTableView(tables_);
    list->horizontalHeader()->hide();
    list->verticalHeader()->hide();
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setShowGrid(false);
    list->setMinimumWidth(600);
    tables_->setView(list);
    list->setColumnWidth(0, 200);
    list->horizontalHeader()->setStretchLastSection(true);
    auto* tableLabel = new QLabel(QStringLiteral("Tabella"), this);
    tableLabel->setObjectName(QStringLiteral("LabelTabelle"));
    tableLabel->setBuddy(tables_);
    grid->addWidget(tableLabel, 0, 0);
    grid->addWidget(tables_, 0, 1);

    auto* description = new QLineEdit(this);
    grid->addWidget(boxes_.add(kDescription, description, this), 1, 0);
    grid->addWidget(description, 1, 1);
    auto* amount = new QLineEdit(this);
    grid->addWidget(boxes_.add(kAmount, amount, this), 2, 0);
    grid->addWidget(amount, 2, 1);
    // Digits, comma, minus and full stop only: any other key (and pasted text with one) is ignored.
    amount->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,.\\-]*")), amount));
    amount->setAlignment(Qt::AlignRight);
    outer->addStretch(1);

    QPushButton* conferma = addButtons(outer, QStringLiteral("BtnConferma"), QStringLiteral("BtnAnnulla"));
    conferma->setDefault(true);
    app::chainTabOrder({tables_, description, amount, conferma, findChild<QPushButton*>(QStringLiteral("BtnAnnulla"))});
}

void TFormPreventivo::fillTables()
{
    auto* model = static_cast<QStandardItemModel*>(tables_->model());
    model->removeRows(0, model->rowCount());
    for (const TableRecord& table : condominiumTables(ws(), ws().selection.condominium)) {
        auto* name = new QStandardItem(table.data.nome);
        name->setData(table.id, Qt::UserRole);
        model->appendRow({name, new QStandardItem(table.data.descrizione)});
    }
}

bool TFormPreventivo::prepare(const app::DialogRequest&)
{
    app::Workspace& ws = this->ws();
    if (currentYearOf(ws.mainDb(), ws.selection.condominium).isEmpty()) {
        app::showInformation(window(), app::kRequireYearMessage);
        return false;
    }
    store::Dataset& budget = ws.ds(kBudget);
    fillTables();
    if (ws.editMode == app::EditMode::Add) {
        itemId_.reset();
        asRead_ = {};
        tables_->setCurrentIndex(tables_->count() > 0 ? 0 : -1);
        tables_->setEnabled(true);
        boxes_.fill(BudgetInput{});
    } else {
        if (!budget.isActive() || budget.recNo() < 0)
            return false;
        const qint64 id = budget.value(QStringLiteral("Id")).toLongLong();
        // Stamped before it is read: a change in between is refused later, never overwritten.
        asRead_ = stampItem(ws, id);
        const std::optional<BudgetItemRecord> item = readBudgetItem(ws, id);
        if (!item)
            return false;
        itemId_ = item->id;
        // An item cannot move to another table.
        tables_->setEnabled(false);
        fill(*item);
    }
    memory_ = app::rememberView(budget);
    (tables_->isEnabled() ? static_cast<QWidget*>(tables_) : boxes_.edits().first())->setFocus();
    return true;
}

void TFormPreventivo::fill(const BudgetItemRecord& item)
{
    tables_->setCurrentIndex(tables_->findText(item.tabella, Qt::MatchExactly));
    BudgetInput shown;
    shown.descrizione = item.descrizione;
    shown.spesa = item.spesa;
    boxes_.fill(shown);
}

void TFormPreventivo::showRowAsNow()
{
    if (!itemId_)
        return;
    asRead_ = stampItem(ws(), *itemId_);
    // An item deleted meanwhile leaves the input shown; "Annulla" closes the dialog.
    if (const std::optional<BudgetItemRecord> item = readBudgetItem(ws(), *itemId_)) {
        // Its table may have been renamed meanwhile.
        fillTables();
        fill(*item);
    }
}

void TFormPreventivo::confirm()
{
    app::Workspace& ws = this->ws();
    BudgetInput input;
    boxes_.read(input);
    if (tables_->currentIndex() >= 0)
        input.tableId = tables_->currentData(Qt::UserRole).toLongLong();
    input.asRead = asRead_;
    if (!runEdit([&] { return itemId_ ? modifyBudgetItem(ws, *itemId_, input) : addBudgetItem(ws, input); }))
        return;
    finish({false, kBudget, memory_});
}

} // namespace velcaris::allocation::ui
