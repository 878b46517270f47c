#pragma once
// The dialogs of communication and publishing, created once with the main window: the e-mail
// dialog (opened by the e-mail buttons of the Anagrafe and Fornitori tabs) and the publishing
// dialog (opened by "Pubblica"), with the withdrawal dialog it opens.
#include "dialogkit/DialogContext.h"
#include "platform/MailClient.h"

#include <functional>
#include <memory>

namespace velcaris::publishing::ui {

// The transport of each message, asked for at every sending (the settings file may change).
using MailClientSource = std::function<std::shared_ptr<platform::MailClient>()>;

// Creates TFormEmail, TFormPubbica and TFormCancellaFiles and registers the first two under their
// DialogIds. Without a source, messages go the way the settings file says (MailTransport.h).
void installDialogs(const app::DialogContext& context, const app::RegisterDialog& registerDialog,
                    MailClientSource mailClients = {});

} // namespace velcaris::publishing::ui
