#pragma once
// The dialogs of the millesimal tables, the units and the budget, created once with the main
// window and opened by its add and modify commands.
#include "dialogkit/DialogContext.h"

namespace velcaris::allocation::ui {

// Creates TFormTabelle, TFLocali and TFormPreventivo (children of the context's window) and
// registers each under its DialogId.
void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog);

} // namespace velcaris::allocation::ui
