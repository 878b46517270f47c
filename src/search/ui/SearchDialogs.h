#pragma once
// The "Ricerca" button's menu of three searches and the search window, registered with the main
// window.
#include "dialogkit/DialogContext.h"

namespace velcaris::search::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog);

} // namespace velcaris::search::ui
