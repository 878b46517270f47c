#include "accounts/ui/AccountsDialogs.h"

#include "accounts/ui/TFRendiconto.h"

namespace velcaris::accounts::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog)
{
    auto* window = new TFRendiconto(context);
    registerDialog(app::DialogId::TFRendiconto, [window](const app::DialogRequest&) { window->start(); });
}

} // namespace velcaris::accounts::ui
