// The Anagrafe tab: the condominium's persons (every condominium's when none is chosen); several
// can be selected, and a right click clears the selection. The e-mail buttons over the grid write
// to all of them, to those who receive communications by e-mail, or to the selected ones.
#include "window/ui/tabs/TabParts.h"

namespace velcaris::app {

QWidget* buildAnagrafeTab(TabParts& parts)
{
    return multiSelectPage(parts, QStringLiteral("DBGridAnagrafe"), QStringLiteral("ADOTableAnagrafe"), {{"Btutti2", "Tutti"}, {"BComunicazioni", "E-mail"}, {"Bselezionati2", "Selezionati"}});
}

} // namespace velcaris::app
