#pragma once
// The rendiconto window, created once and registered with the main window.
#include "dialogkit/DialogContext.h"

namespace velcaris::accounts::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog);

} // namespace velcaris::accounts::ui
