#include "window/ui/TForm1.h"

// "Elimina" on every tab and "-" of the millesimal tables: the window gathers what is selected,
// asks the core's question, and after "Si" lets the core delete and refreshes.
#include "dialogkit/ConfirmWithCaptions.h"
#include "dialogkit/DatasetModel.h"
#include "dialogkit/Messages.h"
#include "window/ui/tabs/TabParts.h"
#include "cashbook/IncomeDeletion.h"
#include "registry/Deletion.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableView>

namespace velcaris::app {

namespace {

struct GridKey {
    const char* grid;
    const char* key;
};

// The grid whose selection a tab deletes, and its key field.
GridKey deletedGrid(Tab tab)
{
    switch (tab) {
    case Tab::Uscite: return {"DBGridUscite", "id"};
    case Tab::Interventi: return {"DBGridInterventi", "Id"};
    case Tab::Entrate: return {"DBGridEntrate", "id"};
    case Tab::Preventivo: return {"DBGridPreventivi", "Id"};
    case Tab::Anagrafe: return {"DBGridAnagrafe", "Id"};
    case Tab::Fornitori: return {"DBGridFornitori", "id"};
    case Tab::Locali: return {"DBGridLocali", "Id"};
    case Tab::Agenda: return {"DBGridScadenzario", "Id"};
    default: return {nullptr, nullptr};
    }
}

// Grids of one row at a time: while the question is asked the current row is shown selected.
bool permanentMultiSelection(Tab tab)
{
    return tab == Tab::Anagrafe || tab == Tab::Fornitori;
}

qint64 currentKey(QTableView* grid, const QString& field)
{
    auto* model = grid ? qobject_cast<DatasetModel*>(grid->model()) : nullptr;
    const QModelIndex current = grid ? grid->currentIndex() : QModelIndex();
    if (!model || !model->dataset()->isActive() || !current.isValid() || current.row() >= model->dataset()->rowCount())
        return 0;
    return model->dataset()->valueAt(current.row(), field).toLongLong();
}

} // namespace

void TForm1::deleteCommand(bool millesimalTable)
{
    registry::DeletionRequest request;
    request.tab = activeTab();
    request.millesimalTable = millesimalTable;
    QTableView* grid = nullptr;
    QString keyField;
    if (millesimalTable) {
        request.tableId = currentKey(own<QTableView*>(QStringLiteral("DBGridTabelle")), QStringLiteral("Id"));
    } else if (request.tab == Tab::Quote) {
        // The quota name is the title of the selected column of the grouped grid.
        auto* grouped = own<QTableView*>(QStringLiteral("DBGridQuoteAccorpate"));
        const QModelIndex current = grouped->currentIndex();
        if (current.isValid())
            request.quotaName = grouped->model()->headerData(current.column(), Qt::Horizontal).toString();
    } else if (const GridKey g = deletedGrid(request.tab); g.grid) {
        grid = own<QTableView*>(QString::fromLatin1(g.grid));
        keyField = QString::fromLatin1(g.key);
        if (!permanentMultiSelection(request.tab) && grid->currentIndex().isValid())
            grid->selectRow(grid->currentIndex().row());
        const qint64 current = currentKey(grid, keyField);
        request.keys = permanentMultiSelection(request.tab) ? selectedRowKeys(grid, keyField) : QVector<qint64>{};
        if (request.keys.isEmpty() && current != 0)
            request.keys << current;
        else if (current != 0 && request.keys.contains(current))
            request.keys.move(request.keys.indexOf(current), 0);
    }

    const registry::DeletionQuestion question = registry::deletionQuestion(*workspace_, request);
    if (question.refused()) {
        for (const Message& m : question.refusal.messages)
            showMessage(m.text);
        return;
    }
    if (question.question.isEmpty())
        return;
    if (ConfirmWithCaptions(question.question, DialogKind::Confirmation, {QStringLiteral("Si"), QStringLiteral("No")}, this) != 1)
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    Outcome outcome;
    bool failed = true;
    runGuarded([&] {
        // An income row may be a payment, whose reversal the cash book owns; the other tabs'
        // deletions are the registry's.
        outcome = request.tab == Tab::Entrate && !request.millesimalTable
            ? cashbook::deleteIncome(*workspace_, request.keys.isEmpty() ? 0 : request.keys.first())
            : registry::deleteSelected(*workspace_, request);
        failed = false;
    });
    QApplication::restoreOverrideCursor();
    if (failed)
        return;
    for (const Message& m : outcome.messages) {
        lastMessage_ = m.text;
        app::showMessage(this, m);
    }
    if (!outcome.done)
        return;
    if (request.tab == Tab::Condomini && !millesimalTable) {
        fillCondominiumList();
        refresh(SelectionChange::Clear);
    } else {
        refresh(SelectionChange::Refresh);
    }
}

} // namespace velcaris::app
