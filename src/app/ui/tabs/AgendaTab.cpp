// The Agenda tab: the deadlines, open ones only unless "Mostra esito positivo" is down.
#include "app/ui/tabs/TabParts.h"

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
    layout->addWidget(grid);
    return page;
}

} // namespace velcaris::app
