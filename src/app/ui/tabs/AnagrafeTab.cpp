// The Anagrafe tab: the condominium's persons (every condominium's when none is chosen); several
// can be selected, and a right click clears the selection.
#include "app/ui/tabs/TabParts.h"

namespace velcaris::app {

QWidget* buildAnagrafeTab(TabParts& parts)
{
    return multiSelectPage(parts, QStringLiteral("DBGridAnagrafe"), QStringLiteral("ADOTableAnagrafe"));
}

} // namespace velcaris::app
