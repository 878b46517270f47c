#include "publishing/ui/PublishingDialogs.h"

#include "publishing/MailTransport.h"
#include "publishing/ui/TFormCancellaFiles.h"
#include "publishing/ui/TFormEmail.h"
#include "publishing/ui/TFormPubbica.h"

namespace velcaris::publishing::ui {

void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog,
                    MailClientSource mailClients)
{
    if (!mailClients) {
        const QString settingsFile = context.workspace->paths().settingsFile();
        mailClients = [settingsFile] { return mailClientFor(settingsFile); };
    }
    auto* email = new TFormEmail(context, std::move(mailClients));
    auto* withdraw = new TFormCancellaFiles(context);
    auto* publish = new TFormPubbica(context, withdraw);
    registerDialog(app::DialogId::TFormEmail, [email](const app::DialogRequest& request) { email->run(request); });
    registerDialog(app::DialogId::TFormPubbica, [publish](const app::DialogRequest& request) { publish->run(request); });
}

} // namespace velcaris::publishing::ui
