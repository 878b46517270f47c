// The Fornitori tab: the condominium's suppliers (every supplier when none is chosen); several
// can be selected for an association, and a right click clears the selection. The e-mail buttons
// over the grid write to all of them or to the selected ones.
#include "window/ui/tabs/TabParts.h"

namespace velcaris::app {

QWidget* buildFornitoriTab(TabParts& parts)
{
    return multiSelectPage(parts, QStringLiteral("DBGridFornitori"), QStringLiteral("ADOQueryFornitori"), {{"BTutti", "Tutti"}, {"BSelezionati", "Selezionati"}});
}

} // namespace velcaris::app
