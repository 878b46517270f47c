#pragma once
// Typing in an amount box: the digits, "-" and "." go in, other printable keys are discarded.
// Keys that type nothing (Backspace, Delete, arrows, Tab, Enter) keep their usual work, so Enter
// still confirms the dialog.
class QLineEdit;

namespace velcaris::agenda::ui {

void acceptAmountKeysOnly(QLineEdit* edit);

} // namespace velcaris::agenda::ui
