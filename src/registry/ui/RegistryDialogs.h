#pragma once
// The registry's dialogs, created once with the main window and opened by its add and modify
// commands.
#include "dialogkit/DialogContext.h"

namespace velcaris::registry::ui {

// Creates TFormCondomini, TFormAA, TFormAnagrafe, TFormFornitore and TFormAssociafornitore
// (children of the context's window) and registers each under its DialogId.
void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog);

} // namespace velcaris::registry::ui
