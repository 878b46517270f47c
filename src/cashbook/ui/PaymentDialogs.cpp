#include "cashbook/ui/PaymentDialogs.h"

#include "cashbook/ui/TFEntrate.h"

namespace velcaris::cashbook::ui {

void installPaymentDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog)
{
    auto* dialog = new TFEntrate(context);
    registerDialog(app::DialogId::TFEntrate, [dialog](const app::DialogRequest& request) { dialog->run(request); });
}

} // namespace velcaris::cashbook::ui
