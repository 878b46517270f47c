#include "support/ServerOffice.h"

#include "store/ServerTransfer.h"
#include "support/BenchOffice.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace velcaris::bench {

namespace {

// "velcaris_bench_v3_300": a name the server keeps as written, without quotes.
QString databaseName()
{
    QString name = QStringLiteral("velcaris_bench_%1_%2").arg(officeVersion()).arg(condominiumCount()).toLower();
    for (QChar& c : name)
        if (!(c.isDigit() || (c >= u'a' && c <= u'z') || c == u'_'))
            c = u'_';
    return name;
}

enum class Copy { Missing, Unfinished, Complete };

// A copy is one transaction: one that was stopped leaves the database without condominiums (or,
// stopped before its schemas were made, without the table itself).
Copy copyState(store::Database& admin, const store::ServerParams& office)
{
    if (admin.scalar(QStringLiteral("SELECT COUNT(*) FROM pg_database WHERE datname = ?"), {office.database}).toLongLong() == 0)
        return Copy::Missing;
    try {
        store::Database db;
        db.openServer(office);
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM main.Condomini")).toLongLong() > 0 ? Copy::Complete
                                                                                                 : Copy::Unfinished;
    } catch (const store::StoreError&) {
        return Copy::Unfinished;
    }
}

// The files copied into a database made anew (one row at a time: minutes for the large office,
// once), then the server's statistics gathered as the files' were after their generation.
void copyOffice(Office& files, store::Database& admin, const store::ServerParams& office)
{
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(office.database));
    admin.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' LOCALE 'C.UTF-8'").arg(office.database));
    std::fprintf(stderr, "copia dell'ufficio nel database %s del server (una volta sola, richiede alcuni minuti) ...\n",
                 qPrintable(office.database));
    QElapsedTimer timer;
    timer.start();
    const store::ServerTransferResult copied =
        store::transferToServer(files.ws->paths().mainDatabase(), files.ws->paths().webDatabase(), office);
    if (!copied.done)
        throw std::runtime_error(copied.message.toStdString());
    std::fprintf(stderr, "copiate %lld righe in %.1f s\n", static_cast<long long>(copied.rowsCopied()), timer.elapsed() / 1000.0);
    store::Database db;
    db.openServer(office);
    db.exec(QStringLiteral("ANALYZE"));
}

// The folder of the office's settings (and of its documents and FAQ file), its [server] section
// pointing at the database.
QString settingsFolder(const store::ServerParams& office)
{
    const QString folder = QDir::tempPath() + QStringLiteral("/velcaris-bench-server-%1-%2").arg(officeVersion()).arg(condominiumCount());
    if (!QDir().mkpath(folder))
        throw std::runtime_error(QStringLiteral("impossibile creare la cartella %1").arg(folder).toStdString());
    QFile ini(app::AppPaths(folder).settingsFile());
    if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        ini.write(QStringLiteral("[server]\nconninfo=%1\ndatabase=%2\n").arg(office.conninfo, office.database).toUtf8()) < 0)
        throw std::runtime_error(QStringLiteral("impossibile scrivere %1").arg(ini.fileName()).toStdString());
    return folder;
}

// The office on the server, or why there is none.
struct Made {
    Made()
    {
        // office() is started (and its static made) inside this constructor: it ends after this.
        try {
            made = std::make_unique<ServerOffice>();
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
    std::unique_ptr<ServerOffice> made;
    std::string failure;
};

} // namespace

ServerOffice::ServerOffice()
{
    const QString conninfo = qEnvironmentVariable("VELCARIS_BENCH_PG").trimmed();
    if (conninfo.isEmpty())
        throw std::runtime_error("VELCARIS_BENCH_PG non impostata: indicare la conninfo di un server PostgreSQL locale su cui "
                                 "l'utente può creare database (scripts/pg-test-cluster start <cartella> ne avvia uno e la stampa)");
    Office& files = office();
    store::ServerParams admin;
    admin.conninfo = conninfo;
    store::ServerParams params = admin;
    params.database = database = databaseName();
    try {
        store::Database adminDb;
        adminDb.openServer(admin);
        if (copyState(adminDb, params) != Copy::Complete)
            copyOffice(files, adminDb, params);
    } catch (const store::StoreError& e) {
        throw std::runtime_error(QStringLiteral("server di VELCARIS_BENCH_PG (%1), database %2: %3")
                                     .arg(conninfo, database, e.message())
                                     .toStdString());
    }
    ws = std::make_unique<app::Workspace>(app::AppPaths(settingsFolder(params)));
    if (!ws->isServer())
        throw std::runtime_error(QStringLiteral("le impostazioni di %1 non portano l'ufficio sul server")
                                     .arg(ws->paths().settingsFile())
                                     .toStdString());
    const QString error = ws->startUp();
    if (!error.isEmpty())
        throw std::runtime_error(error.toStdString());
}

ServerOffice& serverOffice()
{
    static Made once;
    if (!once.made)
        throw std::runtime_error(once.failure);
    return *once.made;
}

} // namespace velcaris::bench
