#include "sheetimport/ui/SheetImportDialogs.h"

#include "sheetimport/ui/TFImportaFoglio.h"

namespace velcaris::sheetimport::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog)
{
    auto* window = new TFImportaFoglio(context);
    registerDialog(app::DialogId::TFImportaFoglio, [window](const app::DialogRequest&) { window->start(); });
}

} // namespace velcaris::sheetimport::ui
