#include "registry/ui/CondominiumDialogs.h"

#include "app/ui/Messages.h"
#include "app/ui/TForm1.h"
#include "registry/ui/DialogParts.h"
#include "registry/ui/TFormAA.h"
#include "registry/ui/TFormCondomini.h"
#include "store/StoreError.h"

namespace velcaris::registry {

namespace {
bool blocking = true;

// Prepares and shows `dialog`. A failure of the data store while preparing is shown and opens
// nothing: it must not reach the button's click handler.
template <typename Dialog>
void show(app::TForm1& form, Dialog* dialog)
{
    bool ready = false;
    try {
        ready = dialog->prepare();
    } catch (const store::StoreError& e) {
        app::showFailure(&form, e.message());
    }
    if (!ready)
        return;
    ui::centreOnScreen(dialog);
    if (blocking)
        dialog->exec();
    else
        dialog->open();
}
} // namespace

void setDialogsBlocking(bool on)
{
    blocking = on;
}

bool dialogsBlocking()
{
    return blocking;
}

void installCondominiumDialogs(app::TForm1& form)
{
    auto* condomini = new TFormCondomini(form);
    auto* years = new TFormAA(form);
    form.registerDialog(app::DialogId::TFormCondomini, [&form, condomini] { show(form, condomini); });
    form.registerDialog(app::DialogId::TFormAA, [&form, years] { show(form, years); });
}

} // namespace velcaris::registry
