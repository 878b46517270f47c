// The Anagrafe tab: the condominium's persons (every condominium's when none is chosen); several
// can be selected, and a right click clears the selection. The e-mail buttons over the grid write
// to all of them, to those who receive communications by e-mail, or to the selected ones.
#include "app/ui/tabs/TabParts.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace velcaris::app {

QWidget* buildAnagrafeTab(TabParts& parts)
{
    QWidget* page = multiSelectPage(parts, QStringLiteral("DBGridAnagrafe"), QStringLiteral("ADOTableAnagrafe"));
    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("E-Mail:"), page));
    bar->addWidget(parts.button(QStringLiteral("Btutti2"), QStringLiteral("Tutti"), page));
    bar->addWidget(parts.button(QStringLiteral("BComunicazioni"), QStringLiteral("E-mail"), page));
    bar->addWidget(parts.button(QStringLiteral("Bselezionati2"), QStringLiteral("Selezionati"), page));
    bar->addStretch();
    static_cast<QBoxLayout*>(page->layout())->insertLayout(0, bar);
    return page;
}

} // namespace velcaris::app
