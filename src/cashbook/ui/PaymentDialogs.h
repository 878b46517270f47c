#pragma once
// The payment dialog, created once with the main window and opened by the owner statement.
#include "dialogkit/DialogContext.h"

namespace velcaris::cashbook::ui {

// Creates TFEntrate (a child of the context's window) and registers it under DialogId::TFEntrate.
void installPaymentDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog);

} // namespace velcaris::cashbook::ui
