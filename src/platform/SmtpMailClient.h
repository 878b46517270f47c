#pragma once
// Sending a message directly to an SMTP server through libcurl: STARTTLS, TLS from the first
// byte, or (only where the server is trusted, such as the office's own relay) plain text.
#include "platform/MailClient.h"

#include <QString>

namespace velcaris::platform {

enum class SmtpSecurity {
    None,     // plain text
    StartTls, // the connection is made secure with STARTTLS before anything else; refused if the server cannot
    Implicit, // TLS from the start (smtps, usually port 465)
};

struct SmtpSettings {
    QString server;
    int port = 0;              // 0: 587, 465 or 25 according to the security
    QString user;              // empty: no authentication
    QString password;
    QString sender;            // the envelope's and the From header's address
    SmtpSecurity security = SmtpSecurity::StartTls;
    int timeoutSeconds = 120;  // for the whole exchange
    int connectTimeoutSeconds = 20;

    int effectivePort() const;
};

class SmtpMailClient : public MailClient {
public:
    explicit SmtpMailClient(SmtpSettings settings) : settings_(std::move(settings)) {}
    // To, Cc and Bcc receive the message (each address once); only To and Cc are written in the
    // headers. Sent means the server accepted it for delivery.
    MailResult send(const MailMessage& message) override;

    const SmtpSettings& settings() const { return settings_; }

private:
    SmtpSettings settings_;
};

} // namespace velcaris::platform
