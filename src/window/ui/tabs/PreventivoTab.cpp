// The Preventivo tab: the budget items of the current year, with the year's name above and the
// total under the amounts.
#include "dialogkit/GridFooter.h"
#include "window/ui/tabs/TabParts.h"

#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildPreventivoTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    QLabel* label = parts.valueLabel(QStringLiteral("LabelAA"), QStringLiteral("Anno amministrativo"), page);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    layout->addWidget(label);
    QTableView* grid = parts.grid(QStringLiteral("DBGridPreventivi"), QStringLiteral("ADOQueryPreventivi"), page, true);
    layout->addWidget(grid);
    layout->addWidget(parts.footer(grid->objectName()));
    return page;
}

} // namespace velcaris::app
