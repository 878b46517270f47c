#include "foundation/BackupCatalogue.h"

#include "foundation/Backup.h"
#include "foundation/DatabaseHealth.h"
#include "store/OnlineCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>

namespace velcaris::app {

using store::DatabaseKind;

namespace {

const DatabaseKind kKinds[] = {DatabaseKind::Main, DatabaseKind::Web, DatabaseKind::Faq};

struct KindFiles {
    DatabaseKind kind;
    QString (AppPaths::*database)() const;
    QString (AppPaths::*backup)() const;
    const char* title;
};

const KindFiles kFiles[] = {
    {DatabaseKind::Main, &AppPaths::mainDatabase, &AppPaths::mainBackup, "Database principale"},
    {DatabaseKind::Web, &AppPaths::webDatabase, &AppPaths::webBackup, "Database del sito web"},
    {DatabaseKind::Faq, &AppPaths::faqDatabase, &AppPaths::faqBackup, "Database delle FAQ"},
};

const KindFiles& filesOf(DatabaseKind kind)
{
    for (const KindFiles& f : kFiles)
        if (f.kind == kind)
            return f;
    return kFiles[0];
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// "1 condominio", "3 condomini": the rows of a table, counted in words.
QString count(store::Database& db, const char* table, const char* one, const char* many)
{
    const qint64 n = db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QString::fromLatin1(table))).toLongLong();
    return QLocale(QLocale::Italian, QLocale::Italy).toString(n) + u' ' + QString::fromUtf8(n == 1 ? one : many);
}

QString contents(DatabaseKind kind, const QString& file)
{
    store::Database db;
    db.open(file, store::databaseKey(kind), store::OpenMode::ReadOnly);
    switch (kind) {
    case DatabaseKind::Main:
        return QStringLiteral("%1, %2, %3")
            .arg(count(db, "Condomini", "condominio", "condomini"),
                 count(db, "AnnoAmministrativo", "anno amministrativo", "anni amministrativi"),
                 count(db, "Quote", "quota", "quote"));
    case DatabaseKind::Web:
        return QStringLiteral("%1, %2")
            .arg(count(db, "CodiceCondominio", "condominio pubblicato", "condomini pubblicati"),
                 count(db, "Quote", "quota pubblicata", "quote pubblicate"));
    case DatabaseKind::Faq:
        return count(db, "FAQ", "domanda", "domande");
    }
    return QString();
}

} // namespace

QString databaseFileOf(const AppPaths& paths, DatabaseKind kind)
{
    return (paths.*filesOf(kind).database)();
}

QString backupFileOf(const AppPaths& paths, DatabaseKind kind)
{
    return (paths.*filesOf(kind).backup)();
}

QString databaseTitle(DatabaseKind kind)
{
    return QString::fromUtf8(filesOf(kind).title);
}

BackupEntry describeBackup(DatabaseKind kind, const QString& backupFile, const QString& databaseFile)
{
    BackupEntry entry;
    entry.kind = kind;
    entry.file = backupFile;
    entry.database = databaseFile;
    entry.date = FileDateText(backupFile, QDate());
    const store::FileCheck check = store::checkDatabaseFile(backupFile, kind);
    if (!check.ok) {
        entry.summary = QStringLiteral("non utilizzabile: %1").arg(check.detail);
        return entry;
    }
    try {
        entry.summary = contents(kind, backupFile);
        entry.usable = true;
    } catch (const store::StoreError& e) {
        entry.summary = QStringLiteral("non utilizzabile: %1").arg(e.message());
    }
    return entry;
}

QVector<BackupEntry> listBackups(const AppPaths& paths)
{
    QVector<BackupEntry> out;
    for (DatabaseKind kind : kKinds) {
        const QString daily = backupFileOf(paths, kind);
        const QString database = databaseFileOf(paths, kind);
        if (QFileInfo(daily).isFile())
            out << describeBackup(kind, daily, database);
        // Those kept aside by a start without the database: "<base>.<tag>-<stamp>.bak".
        const QFileInfo info(daily);
        QFileInfoList kept = QDir(info.absolutePath())
                                 .entryInfoList({info.completeBaseName() + QStringLiteral(".*.") + info.suffix()},
                                                QDir::Files, QDir::Name);
        std::sort(kept.begin(), kept.end(),
                  [](const QFileInfo& a, const QFileInfo& b) { return a.fileName() > b.fileName(); });
        for (const QFileInfo& k : kept)
            out << describeBackup(kind, k.absoluteFilePath(), database);
    }
    return out;
}

QVector<BackupEntry> missingDatabases(const AppPaths& paths)
{
    QVector<BackupEntry> out;
    for (DatabaseKind kind : kKinds) {
        const QString database = databaseFileOf(paths, kind);
        const QString backup = backupFileOf(paths, kind);
        if (!QFileInfo::exists(database) && QFileInfo(backup).isFile())
            out << describeBackup(kind, backup, database);
    }
    return out;
}

QString missingDatabaseQuestion(const BackupEntry& entry)
{
    const QString what = entry.usable ? QStringLiteral("contiene %1").arg(entry.summary) : entry.summary;
    return QStringLiteral("Il file \"%1\" (%2) non c'è più, ma c'è la sua copia di sicurezza \"%3\" del %4, che %5.\n\n"
                          "\"Ripristina\" rimette la copia al suo posto.\n"
                          "\"Inizia vuoto\" crea un database vuoto; la copia di sicurezza viene conservata con un "
                          "nome datato, così non va persa.")
        .arg(native(entry.database), databaseTitle(entry.kind).toLower(), native(entry.file), entry.date,
             entry.usable ? what : QStringLiteral("però risulta %1").arg(what));
}

QString keepBackupAside(const BackupEntry& entry, const QDateTime& now)
{
    const QString aside = setAsideName(entry.file, QStringLiteral("conservata"), now);
    if (!QFile::rename(entry.file, aside))
        return QStringLiteral("Il file \"%1\" mancava ed è stato creato vuoto. La sua copia di sicurezza \"%2\" non si è "
                              "potuta spostare: copiarla subito altrove, perché domani sarà sostituita dalla copia del "
                              "database vuoto.")
            .arg(native(entry.database), native(entry.file));
    return QStringLiteral("Il file \"%1\" mancava ed è stato creato vuoto. La sua copia di sicurezza del %2 (%3) è "
                          "conservata come \"%4\": si può rimettere con \"Ripristina\".")
        .arg(native(entry.database), entry.date, entry.summary, native(aside));
}

} // namespace velcaris::app
