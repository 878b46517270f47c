// The Entrate tab: the income register with its cash, bank and total figures; special movements
// and payments in their colours; a double click opens the receipt of a payment; "Incassa quote"
// starts a payment from the statement of a person chosen by name.
#include "window/RowColours.h"
#include "window/ui/tabs/EntrateActions.h"
#include "window/ui/tabs/TabParts.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildEntrateTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    addFigureBar(parts, layout, page, QStringLiteral("ToolBarEntrate"),
                 {{"EditEntrateC", "Entrate cassa"}, {"EditEntrateCC", "Entrate conto corrente"},
                  {"EditEntrateTOT", "Entrate totali"}});
    auto* actions = new QHBoxLayout;
    QPushButton* collect = parts.button(QStringLiteral("BIncassaQuote"), QStringLiteral("Incassa quote"), page);
    collect->setToolTip(QStringLiteral("Registra un pagamento: scegliere chi paga e le sue quote"));
    QObject::connect(collect, &QPushButton::clicked, page, [&parts] { collectQuotas(parts); });
    actions->addWidget(collect);
    actions->addStretch();
    layout->addLayout(actions);
    QTableView* grid = parts.grid(QStringLiteral("DBGridEntrate"), QStringLiteral("ADOQueryEntrate"), page);
    grid->setProperty("enterMoves", true);
    store::Dataset* entrate = &parts.ws.ds(QStringLiteral("ADOQueryEntrate"));
    parts.paintRows(grid, [entrate](int row) { return incomeRowColourAt(*entrate, row); });
    layout->addWidget(grid);
    connectEntrateActions(parts, grid);
    return page;
}

} // namespace velcaris::app
