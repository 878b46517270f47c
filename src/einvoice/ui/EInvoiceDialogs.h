#pragma once
// The e-invoice import window, created once and registered with the main window.
#include "dialogkit/DialogContext.h"

namespace velcaris::einvoice::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog);

} // namespace velcaris::einvoice::ui
