#include "meeting/ui/MeetingDialogs.h"

#include "meeting/ui/TFormAssemblea.h"

namespace velcaris::meeting::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog)
{
    auto* window = new TFormAssemblea(context);
    registerDialog(app::DialogId::TFormAssemblea, [window](const app::DialogRequest&) { window->start(); });
}

} // namespace velcaris::meeting::ui
