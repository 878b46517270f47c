#pragma once
// The import window, created once with the main window and opened from the Condomini tab.
#include "dialogkit/DialogContext.h"

namespace velcaris::sheetimport::ui {

// Creates TFImportaFoglio (a child of the context's window) and registers it.
void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog);

} // namespace velcaris::sheetimport::ui
