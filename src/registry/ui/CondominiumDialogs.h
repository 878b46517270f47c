#pragma once
// Creates the condominium and year dialogs once, beside the main window, and registers them with
// its add and modify commands.
namespace velcaris::app {
class TForm1;
}

namespace velcaris::registry {

void installCondominiumDialogs(app::TForm1& form);

// Whether the dialogs block until closed (the program) or return at once (widget tests).
void setDialogsBlocking(bool blocking);
bool dialogsBlocking();

} // namespace velcaris::registry
