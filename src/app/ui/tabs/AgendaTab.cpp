// The Agenda tab: the deadlines, open ones only unless "Mostra esito positivo" is down.
#include "agenda/AgendaColours.h"
#include "app/ui/tabs/TabParts.h"

#include <QDate>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildAgendaTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* bar = new QHBoxLayout;
    QPushButton* positivo = parts.toggle(QStringLiteral("ButtonPositivo"), QStringLiteral("Mostra esito positivo"), page);
    QObject::connect(positivo, &QPushButton::clicked, page, [&parts] { parts.reload(); });
    bar->addWidget(positivo);
    bar->addStretch();
    layout->addLayout(bar);
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
