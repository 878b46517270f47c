// The Interventi tab: contacts and interventions of the current year, open ones only unless
// "Mostra conclusi" is down.
#include "app/ui/tabs/TabParts.h"

#include <QTableView>
#include <QVBoxLayout>

namespace velcaris::app {

QWidget* buildInterventiTab(TabParts& parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    addToggleRow(parts, layout, page, {{"ButtonConclusi", "Mostra conclusi"}});
    layout->addWidget(parts.grid(QStringLiteral("DBGridInterventi"), QStringLiteral("ADOQueryInterventi"), page));
    return page;
}

} // namespace velcaris::app
