#include "allocation/ui/AllocationDialogs.h"

#include "allocation/ui/TFLocali.h"
#include "allocation/ui/TFSituazioneCondomino.h"
#include "allocation/ui/TFormModificaQuote.h"
#include "allocation/ui/TFormPreventivo.h"
#include "allocation/ui/TFRipartizione.h"
#include "allocation/ui/TFormTabelle.h"

namespace velcaris::allocation::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog)
{
    const std::pair<app::DialogId, app::EditDialog*> dialogs[] = {
        {app::DialogId::TFormTabelle, new TFormTabelle(context)},
        {app::DialogId::TFLocali, new TFLocali(context)},
        {app::DialogId::TFormPreventivo, new TFormPreventivo(context)},
        {app::DialogId::TFRipartizione, new TFRipartizione(context)},
        {app::DialogId::TFormModificaQuote, new TFormModificaQuote(context)},
        {app::DialogId::TFSituazioneCondomino, new TFSituazioneCondomino(context)},
    };
    for (const auto& [id, dialog] : dialogs)
        registerDialog(id, [dialog = dialog](const app::DialogRequest& request) { dialog->run(request); });
}

} // namespace velcaris::allocation::ui
