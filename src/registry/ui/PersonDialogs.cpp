#include "registry/ui/PersonDialogs.h"

#include "app/ui/TForm1.h"
#include "registry/ui/TFormAnagrafe.h"
#include "registry/ui/TFormAssociafornitore.h"
#include "registry/ui/TFormFornitore.h"

namespace velcaris::registry::ui {

void installPersonDialogs(app::TForm1& form)
{
    auto* persons = new TFormAnagrafe(form);
    auto* suppliers = new TFormFornitore(form);
    auto* association = new TFormAssociafornitore(form);
    form.registerDialog(app::DialogId::TFormAnagrafe, [persons] { persons->run(); });
    form.registerDialog(app::DialogId::TFormFornitore, [suppliers] { suppliers->run(); });
    form.registerDialog(app::DialogId::TFormAssociafornitore, [association] { association->run(); });
}

} // namespace velcaris::registry::ui
