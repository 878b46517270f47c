// The Fornitori tab: the condominium's suppliers (every supplier when none is chosen); several
// can be selected for an association, and a right click clears the selection. The e-mail buttons
// over the grid write to all of them or to the selected ones.
#include "app/ui/tabs/TabParts.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace velcaris::app {

QWidget* buildFornitoriTab(TabParts& parts)
{
    QWidget* page = multiSelectPage(parts, QStringLiteral("DBGridFornitori"), QStringLiteral("ADOQueryFornitori"));
    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("E-Mail:"), page));
    bar->addWidget(parts.button(QStringLiteral("BTutti"), QStringLiteral("Tutti"), page));
    bar->addWidget(parts.button(QStringLiteral("BSelezionati"), QStringLiteral("Selezionati"), page));
    bar->addStretch();
    static_cast<QBoxLayout*>(page->layout())->insertLayout(0, bar);
    return page;
}

} // namespace velcaris::app
