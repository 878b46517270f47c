#include "registry/ui/CondominiumDialogs.h"

#include "app/ui/TForm1.h"
#include "registry/ui/TFormAA.h"
#include "registry/ui/TFormCondomini.h"

namespace velcaris::registry {

namespace {
bool blocking = true;

void show(QDialog* dialog)
{
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
    form.registerDialog(app::DialogId::TFormCondomini, [condomini] {
        if (condomini->prepare())
            show(condomini);
    });
    form.registerDialog(app::DialogId::TFormAA, [years] {
        if (years->prepare())
            show(years);
    });
}

} // namespace velcaris::registry
