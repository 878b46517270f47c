#pragma once
// Which way messages leave the program: directly through the SMTP server of the settings' [smtp]
// section when there is one, otherwise through the desktop's mail client.
#include "platform/MailClient.h"
#include "platform/SmtpMailClient.h"

#include <QString>
#include <memory>
#include <optional>

namespace velcaris::publishing {

// The [smtp] section (server, port, user, password, sender, tls); nothing when it names no server.
// tls: "off" (or no, false, 0) plain text; "ssl" (or implicit, smtps) TLS from the start;
// anything else STARTTLS, or TLS from the start when the port is 465.
std::optional<platform::SmtpSettings> readSmtpSettings(const QString& iniFile);

// The transport the settings file asks for, read anew each time.
std::shared_ptr<platform::MailClient> mailClientFor(const QString& iniFile);

} // namespace velcaris::publishing
