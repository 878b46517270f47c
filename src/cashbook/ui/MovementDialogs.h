#pragma once
// The cash book's movement dialogs: expenses (with their split by percentages) and the special
// income movements.
#include "dialogkit/DialogContext.h"

namespace velcaris::cashbook::ui {

void installMovementDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog);

} // namespace velcaris::cashbook::ui
