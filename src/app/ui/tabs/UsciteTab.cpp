// The Uscite tab: the expense register with its cash, bank and total figures in maroon.
#include "app/RowColours.h"
#include "app/ui/tabs/TabParts.h"

#include <QColor>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildUsciteTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* bar = new QToolBar(page);
    bar->setObjectName(QStringLiteral("ToolBarUscite"));
    const QColor maroon(128, 0, 0);
    parts.figure(QStringLiteral("EditUsciteC"), QStringLiteral("Uscite cassa"), page, bar, false, &maroon);
    parts.figure(QStringLiteral("EditUsciteCC"), QStringLiteral("Uscite conto corrente"), page, bar, false, &maroon);
    parts.figure(QStringLiteral("EditUsciteTOT"), QStringLiteral("Uscite totali"), page, bar, false, &maroon);
    layout->addWidget(bar);
    QTableView* grid = parts.grid(QStringLiteral("DBGridUscite"), QStringLiteral("ADOQueryUscite"), page);
    grid->setProperty("enterMoves", true);
    parts.paintRows(grid, [](int) { return std::optional<Rgb>(expenseRowColour()); });
    layout->addWidget(grid);
    return page;
}

} // namespace velcaris::app
