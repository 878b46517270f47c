#include "publishing/MailTransport.h"

#include "foundation/Settings.h"

namespace velcaris::publishing {

std::optional<platform::SmtpSettings> readSmtpSettings(const QString& iniFile)
{
    const app::IniFile ini = app::IniFile::load(iniFile);
    const QString section = QStringLiteral("smtp");
    platform::SmtpSettings s;
    s.server = ini.value(section, QStringLiteral("server")).trimmed();
    if (s.server.isEmpty())
        return std::nullopt;
    s.port = ini.value(section, QStringLiteral("port")).trimmed().toInt();
    s.user = ini.value(section, QStringLiteral("user"));
    s.password = ini.value(section, QStringLiteral("password"));
    s.sender = ini.value(section, QStringLiteral("sender")).trimmed();
    const QString tls = ini.value(section, QStringLiteral("tls")).trimmed().toLower();
    if (tls == u"off" || tls == u"no" || tls == u"false" || tls == u"0")
        s.security = platform::SmtpSecurity::None;
    else if (tls == u"ssl" || tls == u"implicit" || tls == u"smtps" || s.port == 465)
        s.security = platform::SmtpSecurity::Implicit;
    else
        s.security = platform::SmtpSecurity::StartTls;
    return s;
}

std::shared_ptr<platform::MailClient> mailClientFor(const QString& iniFile)
{
    if (const std::optional<platform::SmtpSettings> smtp = readSmtpSettings(iniFile))
        return std::make_shared<platform::SmtpMailClient>(*smtp);
    return std::make_shared<platform::DesktopMailClient>();
}

} // namespace velcaris::publishing
