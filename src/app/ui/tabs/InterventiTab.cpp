// The Interventi tab: contacts and interventions of the current year, open ones only unless
// "Mostra conclusi" is down.
#include "agenda/AgendaColours.h"
#include "app/ui/tabs/TabParts.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildInterventiTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* bar = new QHBoxLayout;
    QPushButton* conclusi = parts.toggle(QStringLiteral("ButtonConclusi"), QStringLiteral("Mostra conclusi"), page);
    QObject::connect(conclusi, &QPushButton::clicked, page, [&parts] { parts.reload(); });
    bar->addWidget(conclusi);
    bar->addStretch();
    layout->addLayout(bar);
    QTableView* grid = parts.grid(QStringLiteral("DBGridInterventi"), QStringLiteral("ADOQueryInterventi"), page);
    store::Dataset* interventi = &parts.ws.ds(QStringLiteral("ADOQueryInterventi"));
    parts.paintRows(grid, [interventi](int row) { return agenda::interventionRowColourAt(*interventi, row); });
    layout->addWidget(grid);
    return page;
}

} // namespace velcaris::app
