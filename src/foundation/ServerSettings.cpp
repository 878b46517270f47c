#include "foundation/ServerSettings.h"

#include "foundation/Settings.h"

namespace velcaris::app {

OfficeServer readOfficeServer(const QString& iniFile)
{
    const IniFile ini = IniFile::load(iniFile);
    const QString section = QStringLiteral("server");
    auto text = [&](const char* key) { return ini.value(section, QString::fromLatin1(key)).trimmed(); };
    OfficeServer server;
    store::ServerParams& p = server.params;
    p.host = text("host");
    p.database = text("database");
    p.user = text("user");
    p.password = ini.value(section, QStringLiteral("password"));
    p.passfile = text("passfile");
    p.sslmode = text("sslmode");
    p.conninfo = text("conninfo");
    server.outputFolder = text("output");
    server.enabled = !p.host.isEmpty() || !p.database.isEmpty() || !p.conninfo.isEmpty();
    const QString port = text("port");
    if (!port.isEmpty()) {
        bool ok = false;
        const int number = port.toInt(&ok);
        if (ok && number > 0 && number < 65536)
            p.port = number;
        else
            server.problem = QStringLiteral("La porta del server indicata nelle impostazioni ([server] port=%1) non è "
                                            "un numero di porta valido.")
                                 .arg(port);
    }
    return server;
}

QString OfficeServer::describe() const
{
    QString where = params.host;
    if (where.isEmpty()) {
        for (const QString& part : params.conninfo.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            if (part.startsWith(QLatin1String("host=")))
                where = part.mid(5);
    }
    if (where.isEmpty())
        where = QStringLiteral("localhost");
    if (params.port > 0)
        where += QStringLiteral(":%1").arg(params.port);
    QString name = params.database;
    if (name.isEmpty()) {
        for (const QString& part : params.conninfo.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            if (part.startsWith(QLatin1String("dbname=")))
                name = part.mid(7);
    }
    return name.isEmpty() ? where : QStringLiteral("%1@%2").arg(name, where);
}

} // namespace velcaris::app
