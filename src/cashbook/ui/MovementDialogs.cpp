#include "cashbook/ui/MovementDialogs.h"

#include "cashbook/ui/OpeningsAndTransfersDialog.h"
#include "cashbook/ui/TFormUscite.h"

namespace velcaris::cashbook::ui {

void installMovementDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog)
{
    const std::pair<app::DialogId, app::EditDialog*> dialogs[] = {
        {app::DialogId::TFormUscite, new TFormUscite(context)},
        {app::DialogId::TFEntrateSpeciali, new TFEntrateSpeciali(context)},
    };
    for (const auto& [id, dialog] : dialogs)
        registerDialog(id, [dialog = dialog](const app::DialogRequest& request) { dialog->run(request); });
}

} // namespace velcaris::cashbook::ui
