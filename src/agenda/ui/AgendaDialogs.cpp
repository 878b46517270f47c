#include "agenda/ui/AgendaDialogs.h"

#include "agenda/ui/TFInterventi.h"
#include "agenda/ui/TFScadenzario.h"

namespace velcaris::agenda::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog)
{
    const std::pair<app::DialogId, app::EditDialog*> dialogs[] = {
        {app::DialogId::TFScadenzario, new TFScadenzario(context)},
        {app::DialogId::TFInterventi, new TFInterventi(context)},
    };
    for (const auto& [id, dialog] : dialogs)
        registerDialog(id, [dialog = dialog](const app::DialogRequest& request) { dialog->run(request); });
}

} // namespace velcaris::agenda::ui
