// The Interventi tab: contacts and interventions of the current year, open ones only unless
// "Mostra conclusi" is down.
#include "agenda/AgendaColours.h"
#include "window/ui/tabs/TabParts.h"

#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildInterventiTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    addToggleRow(parts, layout, page, {{"ButtonConclusi", "Mostra conclusi"}});
    QTableView* grid = parts.grid(QStringLiteral("DBGridInterventi"), QStringLiteral("ADOQueryInterventi"), page);
    store::Dataset* interventi = &parts.ws.ds(QStringLiteral("ADOQueryInterventi"));
    parts.paintRows(grid, [interventi](int row) { return agenda::interventionRowColourAt(*interventi, row); });
    layout->addWidget(grid);
    return page;
}

} // namespace velcaris::app
