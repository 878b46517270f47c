#pragma once
// The agenda's two dialogs, created once and registered with the main window.
#include "dialogkit/DialogContext.h"

namespace velcaris::agenda::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog);

} // namespace velcaris::agenda::ui
