// The Fornitori tab: the condominium's suppliers (every supplier when none is chosen); several
// can be selected for an association, and a right click clears the selection.
#include "app/ui/tabs/TabParts.h"

#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildFornitoriTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    QTableView* grid = parts.grid(QStringLiteral("DBGridFornitori"), QStringLiteral("ADOQueryFornitori"), page);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    clearSelectionOnRightRelease(grid);
    layout->addWidget(grid);
    return page;
}

} // namespace velcaris::app
