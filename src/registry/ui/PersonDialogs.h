#pragma once
// The dialogs of persons and suppliers, created once with the main window and opened by its
// add and modify commands.
namespace velcaris::app {
class TForm1;
}

namespace velcaris::registry::ui {

// Creates TFormAnagrafe, TFormFornitore and TFormAssociafornitore (children of the form) and
// registers them with it.
void installPersonDialogs(app::TForm1& form);

} // namespace velcaris::registry::ui
