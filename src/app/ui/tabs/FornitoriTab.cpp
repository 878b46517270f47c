// The Fornitori tab: the condominium's suppliers (every supplier when none is chosen); several
// can be selected for an association, and a right click clears the selection.
#include "app/ui/tabs/TabParts.h"

namespace velcaris::app {

QWidget* buildFornitoriTab(TabParts& parts)
{
    return multiSelectPage(parts, QStringLiteral("DBGridFornitori"), QStringLiteral("ADOQueryFornitori"));
}

} // namespace velcaris::app
