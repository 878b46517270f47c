// The Quote tab: the quotas grouped per unit, as due, still to pay or paid. A double click opens
// the detail panel under the grouped view with the row's tenant's single quotas; another closes it.
#include "app/ui/GridFooter.h"
#include "app/ui/tabs/TabParts.h"

#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildQuoteTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    const QVector<QPushButton*> modes =
        addToggleRow(parts, layout, page, {{"Bpagare", "Da pagare"}, {"Bpagato", "Pagato"}}, true);
    modes.first()->setChecked(true); // "Da pagare" down at start
    QTableView* grouped =
        parts.grid(QStringLiteral("DBGridQuoteAccorpate"), QStringLiteral("ADOQueryQuoteAccorpate"), page, true);
    QTableView* single = parts.grid(QStringLiteral("DBGridQuoteSingole"), QStringLiteral("ADOQueryQuoteSingole"), page);
    for (QTableView* grid : {grouped, single})
        grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    // The detail panel under the grouped view: 800 by 200, closed at start.
    single->setFixedHeight(200);
    single->setMaximumWidth(800);
    single->hide();
    layout->addWidget(grouped);
    layout->addWidget(parts.footer(grouped->objectName()));
    layout->addWidget(single);

    QObject::connect(grouped, &QTableView::doubleClicked, page, [&parts, single](const QModelIndex& index) {
        if (single->isVisible()) {
            single->hide();
            return;
        }
        parts.guarded([&] { showGroupedRowQuotas(parts.ws, index.row()); });
        single->show();
    });
    return page;
}

} // namespace velcaris::app
