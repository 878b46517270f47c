// The Entrate tab: the income register with its cash, bank and total figures; special movements
// and payments in their colours; a double click opens the receipt of a payment.
#include "window/RowColours.h"
#include "window/ui/tabs/EntrateActions.h"
#include "window/ui/tabs/TabParts.h"

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
    QTableView* grid = parts.grid(QStringLiteral("DBGridEntrate"), QStringLiteral("ADOQueryEntrate"), page);
    grid->setProperty("enterMoves", true);
    store::Dataset* entrate = &parts.ws.ds(QStringLiteral("ADOQueryEntrate"));
    parts.paintRows(grid, [entrate](int row) { return incomeRowColourAt(*entrate, row); });
    layout->addWidget(grid);
    connectEntrateActions(parts, grid);
    return page;
}

} // namespace velcaris::app
