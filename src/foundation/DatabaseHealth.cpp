#include "foundation/DatabaseHealth.h"

#include "store/OnlineCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velcaris::app {

using store::DatabaseKind;
using store::StoreFault;

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString subject(DatabaseKind kind, const QString& file)
{
    const QString what = kind == DatabaseKind::Main ? QStringLiteral("Il database principale")
                         : kind == DatabaseKind::Web ? QStringLiteral("Il database del sito web")
                                                     : QStringLiteral("Il database delle FAQ");
    return QStringLiteral("%1 \"%2\"").arg(what, native(file));
}

QString plainWords(StoreFault fault)
{
    switch (fault) {
    case StoreFault::NotADatabase:
        return QStringLiteral("il file non è un database leggibile dal programma: è danneggiato, troncato, "
                              "oppure è un altro tipo di file o un database protetto da un'altra password");
    case StoreFault::Corrupt:
        return QStringLiteral("il file è danneggiato: il suo contenuto non è coerente (per esempio dopo "
                              "un'interruzione di corrente o un disco difettoso)");
    case StoreFault::MissingTable:
        return QStringLiteral("il file non contiene le tabelle del programma: è vuoto, troncato o appartiene "
                              "a un altro programma");
    case StoreFault::Busy:
        return QStringLiteral("il file è bloccato da un altro programma");
    case StoreFault::CannotOpen:
        return QStringLiteral("il file non si può aprire: mancano i permessi di lettura o scrittura, oppure la "
                              "cartella non è raggiungibile");
    case StoreFault::ReadOnly:
        return QStringLiteral("il file è in sola lettura");
    case StoreFault::DiskFull:
        return QStringLiteral("il disco è pieno");
    case StoreFault::Conflict:
    case StoreFault::Other:
        break;
    }
    return QStringLiteral("il file non si può leggere come database del programma");
}

// Where the last good backup is, checked now; or why there is none to rely on.
QString backupSentence(DatabaseKind kind, const QString& backupFile)
{
    if (!QFileInfo::exists(backupFile))
        return QStringLiteral("Non esiste una copia di sicurezza (\"%1\").").arg(native(backupFile));
    const QString date = FileDateText(backupFile, QDate());
    const store::FileCheck check = store::checkDatabaseFile(backupFile, kind);
    if (!check.ok)
        return QStringLiteral("Anche la copia di sicurezza \"%1\" del %2 non è utilizzabile (%3).")
            .arg(native(backupFile), date, check.detail);
    return QStringLiteral("L'ultima copia di sicurezza buona è \"%1\", del %2.").arg(native(backupFile), date);
}

} // namespace

QString setAsideName(const QString& file, const QString& tag, const QDateTime& now)
{
    const QFileInfo info(file);
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = QStringLiteral("%1/%2.%3-%4.%5").arg(info.absolutePath(), info.completeBaseName(), tag, stamp, info.suffix());
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = QStringLiteral("%1/%2.%3-%4-%5.%6")
                   .arg(info.absolutePath(), info.completeBaseName(), tag, stamp)
                   .arg(n)
                   .arg(info.suffix());
    return name;
}

QString unusableDatabaseMessage(DatabaseKind kind, const QString& databaseFile, const QString& backupFile,
                                const store::StoreError& error)
{
    return QStringLiteral("%1 non si può usare: %2.\n"
                          "Il file è stato lasciato com'è, senza alcuna modifica.\n"
                          "%3\n"
                          "Per tornare a lavorare: il pulsante \"Ripristina\" della finestra principale mette la "
                          "copia di sicurezza al posto del file e conserva il file danneggiato accanto.\n\n"
                          "Dettaglio tecnico: %4")
        .arg(subject(kind, databaseFile), plainWords(error.fault()), backupSentence(kind, backupFile),
             error.message());
}

QString backupNotReplacedMessage(DatabaseKind kind, const QString& databaseFile, const QString& backupFile,
                                 const BackupResult& result)
{
    using Status = BackupResult::Status;
    if (result.status == Status::NotDue || result.status == Status::Made)
        return QString();
    const QString what = result.status == Status::Refused
        ? QStringLiteral("la copia appena fatta non ha superato il controllo, quindi il database stesso potrebbe "
                         "essere danneggiato")
        : QStringLiteral("non è stato possibile farne la copia");
    QString previous = QStringLiteral("Non esiste una copia di sicurezza precedente.");
    if (QFileInfo::exists(backupFile))
        previous = QStringLiteral("La copia di sicurezza precedente \"%1\", del %2, è stata lasciata intatta.")
                       .arg(native(backupFile), FileDateText(backupFile, QDate()));
    return QStringLiteral("Copia di sicurezza giornaliera non aggiornata. %1: %2.\n%3\n\nDettaglio tecnico: %4")
        .arg(subject(kind, databaseFile), what, previous, result.detail);
}

RestoreResult restoreFromBackup(DatabaseKind kind, const QString& databaseFile, const QString& backupFile,
                                const QDateTime& now, const QString& asideTag)
{
    RestoreResult result;
    const store::FileCheck check = store::checkDatabaseFile(backupFile, kind);
    if (!check.ok) {
        result.message = QStringLiteral("La copia di sicurezza \"%1\" non è utilizzabile (%2): il database non è "
                                        "stato toccato.")
                             .arg(native(backupFile), check.detail);
        return result;
    }
    // The copy is made first under a temporary name, so that a failure leaves everything in place.
    const QString incoming = databaseFile + QStringLiteral(".ripristino");
    QFile::remove(incoming);
    if (!QFile::copy(backupFile, incoming)) {
        result.message = QStringLiteral("Impossibile copiare \"%1\": il database non è stato toccato.").arg(native(backupFile));
        return result;
    }
    const bool present = QFileInfo::exists(databaseFile);
    const QString aside = setAsideName(databaseFile, asideTag, now);
    const QString journal = databaseFile + QStringLiteral("-journal");
    const QString asideJournal = aside + QStringLiteral("-journal");
    if (present && !QFile::rename(databaseFile, aside)) {
        QFile::remove(incoming);
        result.message = QStringLiteral("Impossibile spostare \"%1\": il database non è stato toccato.").arg(native(databaseFile));
        return result;
    }
    // A journal left by a crash belongs to the file it came with: it goes aside with it, or the
    // restore does not happen (the next opening would roll it into the copy and damage it).
    if (QFileInfo::exists(journal) && !QFile::rename(journal, asideJournal)) {
        if (present)
            QFile::rename(aside, databaseFile);
        QFile::remove(incoming);
        result.message = QStringLiteral("Il ripristino non è stato fatto: il giornale \"%1\" accanto al database non si "
                                        "può spostare, e aprendo la copia il programma lo applicherebbe alla copia "
                                        "danneggiandola. Il database non è stato toccato. Controllare i permessi della "
                                        "cartella \"%2\" e riprovare.")
                             .arg(native(journal), native(QFileInfo(databaseFile).absolutePath()));
        return result;
    }
    const bool journalMoved = QFileInfo::exists(asideJournal);
    if (!QFile::rename(incoming, databaseFile)) {
        if (present)
            QFile::rename(aside, databaseFile);
        if (journalMoved)
            QFile::rename(asideJournal, journal);
        QFile::remove(incoming);
        result.message = QStringLiteral("Impossibile mettere la copia di sicurezza al posto di \"%1\": il database "
                                        "non è stato toccato.")
                             .arg(native(databaseFile));
        return result;
    }
    result.done = true;
    if (!present) {
        result.message = QStringLiteral("La copia di sicurezza del %1 è ora il database \"%2\".")
                             .arg(FileDateText(backupFile, QDate()), native(databaseFile));
        return result;
    }
    result.setAside = aside;
    result.message = QStringLiteral("La copia di sicurezza del %1 è ora il database \"%2\". Il file che c'era prima è "
                                    "stato conservato come \"%3\".")
                         .arg(FileDateText(backupFile, QDate()), native(databaseFile), native(aside));
    return result;
}

} // namespace velcaris::app
