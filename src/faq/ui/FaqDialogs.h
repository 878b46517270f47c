#pragma once
// The FAQ window, created once and registered with the main window.
#include "dialogkit/DialogContext.h"

namespace velcaris::faq::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog);

} // namespace velcaris::faq::ui
