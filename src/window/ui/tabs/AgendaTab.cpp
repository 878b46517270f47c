// The Agenda tab: the deadlines, open ones only unless "Mostra esito positivo" is down.
#include "agenda/AgendaColours.h"
#include "window/ui/tabs/TabParts.h"

#include <QDate>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildAgendaTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    addToggleRow(parts, layout, page, {{"ButtonPositivo", "Mostra esito positivo"}});
    QTableView* grid = parts.grid(QStringLiteral("DBGridScadenzario"), QStringLiteral("ADOTableScadenzario"), page);
    grid->verticalHeader()->hide();
    grid->setProperty("enterMoves", true);
    // Today is read at each painting, so that a window left open past midnight stays right.
    store::Dataset* scadenzario = &parts.ws.ds(QStringLiteral("ADOTableScadenzario"));
    parts.paintRows(grid, [scadenzario](int row) {
        return agenda::deadlineRowColourAt(*scadenzario, row, QDate::currentDate());
    });
    layout->addWidget(grid);
    return page;
}

} // namespace velcaris::app
