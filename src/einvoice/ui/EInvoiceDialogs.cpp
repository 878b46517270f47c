#include "einvoice/ui/EInvoiceDialogs.h"

#include "einvoice/ui/TFImportaFatture.h"

namespace velcaris::einvoice::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog)
{
    auto* window = new TFImportaFatture(context);
    registerDialog(app::DialogId::TFImportaFatture, [window](const app::DialogRequest&) { window->start(); });
}

} // namespace velcaris::einvoice::ui
