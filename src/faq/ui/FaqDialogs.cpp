#include "faq/ui/FaqDialogs.h"

#include "faq/ui/TFormFAQ.h"

namespace velcaris::faq::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog)
{
    auto* window = new TFormFAQ(context);
    registerDialog(app::DialogId::TFormFAQ, [window](const app::DialogRequest&) { window->start(); });
}

} // namespace velcaris::faq::ui
