#pragma once
// The meeting window, created once and registered with the main window.
#include "dialogkit/DialogContext.h"

namespace velcaris::meeting::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog);

} // namespace velcaris::meeting::ui
