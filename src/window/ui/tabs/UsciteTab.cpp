// The Uscite tab: the expense register with its cash, bank and total figures in maroon.
#include "window/RowColours.h"
#include "window/ui/tabs/TabParts.h"

#include <QColor>
#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildUsciteTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    const QColor maroon(128, 0, 0);
    addFigureBar(parts, layout, page, QStringLiteral("ToolBarUscite"),
                 {{"EditUsciteC", "Uscite cassa"}, {"EditUsciteCC", "Uscite conto corrente"},
                  {"EditUsciteTOT", "Uscite totali"}},
                 &maroon);
    QTableView* grid = parts.grid(QStringLiteral("DBGridUscite"), QStringLiteral("ADOQueryUscite"), page);
    grid->setProperty("enterMoves", true);
    parts.paintRows(grid, [](int) { return std::optional<Rgb>(expenseRowColour()); });
    layout->addWidget(grid);
    return page;
}

} // namespace velcaris::app
