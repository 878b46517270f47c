#include "registry/ui/RegistryDialogs.h"

#include "registry/ui/TFormAA.h"
#include "registry/ui/TFormAnagrafe.h"
#include "registry/ui/TFormAssociafornitore.h"
#include "registry/ui/TFormCondomini.h"
#include "registry/ui/TFormFornitore.h"

namespace velcaris::registry::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog)
{
    const std::pair<app::DialogId, app::EditDialog*> dialogs[] = {
        {app::DialogId::TFormCondomini, new TFormCondomini(context)},
        {app::DialogId::TFormAA, new TFormAA(context)},
        {app::DialogId::TFormAnagrafe, new TFormAnagrafe(context)},
        {app::DialogId::TFormFornitore, new TFormFornitore(context)},
        {app::DialogId::TFormAssociafornitore, new TFormAssociafornitore(context)},
    };
    for (const auto& [id, dialog] : dialogs)
        registerDialog(id, [dialog = dialog](const app::DialogRequest& request) { dialog->run(request); });
}

} // namespace velcaris::registry::ui
