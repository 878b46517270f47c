// The Anagrafe tab: the condominium's persons (every condominium's when none is chosen); several
// can be selected, and a right click clears the selection.
#include "app/ui/tabs/TabParts.h"

#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildAnagrafeTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    QTableView* grid = parts.grid(QStringLiteral("DBGridAnagrafe"), QStringLiteral("ADOTableAnagrafe"), page);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    clearSelectionOnRightRelease(grid);
    layout->addWidget(grid);
    return page;
}

} // namespace velcaris::app
