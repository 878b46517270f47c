// Start-up against files a crash or a mishap left behind: the daily backup is taken only from a
// consistent, readable database, and a database that can't be used is explained and left alone.
#include "foundation/BackupCatalogue.h"
#include "foundation/DatabaseHealth.h"
#include "foundation/Restore.h"
#include "foundation/Workspace.h"
#include "DatabaseFiles.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velcaris;
using store::DatabaseKind;
using velcaris::test::age;
using velcaris::test::integrityOf;
using velcaris::test::makeDatabase;
using velcaris::test::marksIn;
using velcaris::test::readFile;
using velcaris::test::TempDir;
using velcaris::test::writeFile;

namespace {

// Both databases made by a first start, with a few hundred persons in the main one.
void firstStart(const TempDir& dir)
{
    app::Workspace ws{app::AppPaths(dir.path())};
    ASSERT_EQ(ws.startUp(), QString());
    store::Transaction tr(ws.mainDb());
    ws.mainDb().exec("INSERT INTO Condomini (Nome) VALUES ('Alfa - Via Roma 1')");
    for (int i = 0; i < 3000; ++i)
        ws.mainDb().exec("INSERT INTO Anagrafe (Cognome, idCondominio) VALUES (?, 'Alfa - Via Roma 1')",
                         {QString("Persona %1 ").arg(i, 5, 10, QChar('0')).repeated(6)});
    ws.mainDb().exec("INSERT INTO web.CodiceCondominio (Condominio) VALUES ('Alfa - Via Roma 1')");
    tr.commit();
}

// Leaves the main database as a crash in the middle of a large change does: some changed pages
// already written into the file, the originals in a hot journal beside it.
void crashInTheMiddleOfAChange(const QString& file)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The connection stays open until the kill: closing it would roll the change back.
        store::Database db;
        try {
            db.open(file, store::mainDatabaseKey());
            db.exec("PRAGMA cache_size=8"); // a small cache spills changed pages before the commit
            db.exec("BEGIN");
            db.exec("UPDATE Anagrafe SET Cognome = 'Z' || Cognome WHERE rowid % 3 = 0");
            db.exec("UPDATE Anagrafe SET Cognome = 'Y' || Cognome WHERE rowid % 5 = 0");
        } catch (...) {
            _exit(2);
        }
        raise(SIGKILL);
        _exit(3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
}

} // namespace

TEST(StartUpBackup, IsTakenFromTheRolledBackDatabaseNotFromATornFile)
{
    TempDir dir;
    firstStart(dir);
    const app::AppPaths paths(dir.path());
    const QString db = paths.mainDatabase();
    ASSERT_TRUE(QFile::copy(db, paths.mainBackup()));
    age(paths.mainBackup(), 1);

    crashInTheMiddleOfAChange(db);
    ASSERT_TRUE(QFileInfo::exists(db + "-journal"));
    // The file alone is torn: this is what a byte copy of it would hold.
    const QString bare = dir.file("bare.db");
    ASSERT_TRUE(QFile::copy(db, bare));
    ASSERT_NE(integrityOf(bare, DatabaseKind::Main), "ok");

    app::Workspace ws{app::AppPaths(dir.path())};
    ASSERT_EQ(ws.startUp(), QString());
    EXPECT_TRUE(ws.startUpWarnings().isEmpty()) << ws.startUpWarnings().join("\n").toStdString();
    EXPECT_FALSE(QFileInfo::exists(db + "-journal"));
    EXPECT_EQ(integrityOf(paths.mainBackup(), DatabaseKind::Main), "ok");
    EXPECT_EQ(QFileInfo(paths.mainBackup()).lastModified().date(), QDate::currentDate());
    // The backup holds the database as it was before the interrupted change.
    store::Database backup;
    backup.open(paths.mainBackup(), store::mainDatabaseKey(), store::OpenMode::ReadOnly);
    EXPECT_EQ(backup.scalar("SELECT COUNT(*) FROM Anagrafe WHERE Cognome LIKE 'Z%' OR Cognome LIKE 'Y%'").toInt(), 0);
    EXPECT_EQ(backup.scalar("SELECT COUNT(*) FROM Anagrafe WHERE idCondominio = 'Alfa - Via Roma 1'").toInt(), 3000);
}

// ---- unusable databases ----

struct Damage {
    const char* name;
    DatabaseKind kind;
    void (*apply)(const QString& file);
};

void truncateToHalf(const QString& file)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() / 2));
}

const Damage kDamages[] = {
    {"main: zero length", DatabaseKind::Main, [](const QString& f) { writeFile(f, ""); }},
    {"main: truncated", DatabaseKind::Main, truncateToHalf},
    {"main: plain SQLite", DatabaseKind::Main,
     [](const QString& f) {
         QFile::remove(f);
         store::Database db;
         db.open(f);
         db.exec("CREATE TABLE Condomini (Nome TEXT); INSERT INTO Condomini VALUES ('x')");
     }},
    {"main: text", DatabaseKind::Main, [](const QString& f) { writeFile(f, QByteArray("Nome;Indirizzo\n").repeated(500)); }},
    {"main: wrong key", DatabaseKind::Main,
     [](const QString& f) {
         QFile::remove(f);
         store::Database db;
         db.open(f, "un'altra chiave");
         store::createSchema(db, DatabaseKind::Main);
     }},
    {"web: zero length", DatabaseKind::Web, [](const QString& f) { writeFile(f, ""); }},
    {"web: truncated", DatabaseKind::Web, truncateToHalf},
    {"web: text", DatabaseKind::Web, [](const QString& f) { writeFile(f, QByteArray("<html></html>\n").repeated(500)); }},
    {"web: encrypted", DatabaseKind::Web,
     [](const QString& f) {
         QFile::remove(f);
         store::Database db;
         db.open(f, "chiave");
         store::createSchema(db, DatabaseKind::Web);
     }},
};

TEST(StartUpDamage, AnUnusableDatabaseNeverReplacesYesterdaysGoodBackupAndIsExplained)
{
    for (const Damage& damage : kDamages) {
        SCOPED_TRACE(damage.name);
        TempDir dir;
        firstStart(dir);
        const app::AppPaths paths(dir.path());
        const bool main = damage.kind == DatabaseKind::Main;
        const QString file = main ? paths.mainDatabase() : paths.webDatabase();
        const QString backup = main ? paths.mainBackup() : paths.webBackup();
        ASSERT_TRUE(QFile::copy(file, backup));
        age(backup, 1);
        // The day the backup was aged to, read back: a run across midnight still agrees.
        const QString backupDay = QFileInfo(backup).lastModified().date().toString("dd/MM/yyyy");
        const QByteArray goodBackup = readFile(backup);
        damage.apply(file);
        const QByteArray damaged = readFile(file);

        app::Workspace ws{app::AppPaths(dir.path())};
        const QString error = ws.startUp();
        const QString told = error + ws.startUpWarnings().join("\n");

        EXPECT_EQ(readFile(backup), goodBackup);
        EXPECT_EQ(readFile(file), damaged); // left for the user, never repaired
        EXPECT_EQ(QDir(paths.databaseFolder()).entryList({"*.nuovo*"}, QDir::Files), QStringList());
        ASSERT_FALSE(told.isEmpty());
        EXPECT_TRUE(told.contains(QDir::toNativeSeparators(file))) << told.toStdString();
        EXPECT_TRUE(told.contains(QDir::toNativeSeparators(backup))) << told.toStdString();
        EXPECT_TRUE(told.contains(backupDay)) << told.toStdString();
        EXPECT_TRUE(told.contains("Dettaglio tecnico: ")) << told.toStdString();
        if (!error.isEmpty()) {
            EXPECT_TRUE(error.startsWith(main ? "Il database principale" : "Il database del sito web"))
                << error.toStdString();
            EXPECT_TRUE(error.contains("L'ultima copia di sicurezza buona")) << error.toStdString();
        }
    }
}

TEST(StartUpDamage, TheMessageSaysWhatHappenedInPlainWords)
{
    TempDir dir;
    firstStart(dir);
    const app::AppPaths paths(dir.path());
    writeFile(paths.mainDatabase(), QByteArray("testo qualsiasi\n").repeated(400));

    // Without a backup the message says so.
    app::Workspace ws{app::AppPaths(dir.path())};
    const QString error = ws.startUp();
    EXPECT_TRUE(error.contains("non è un database leggibile")) << error.toStdString();
    EXPECT_TRUE(error.contains("Non esiste una copia di sicurezza")) << error.toStdString();
    EXPECT_TRUE(error.contains("is not a database")) << error.toStdString();

    // A backup that is itself unusable is not called good.
    writeFile(paths.mainBackup(), "rotto");
    app::Workspace again{app::AppPaths(dir.path())};
    const QString second = again.startUp();
    EXPECT_TRUE(second.contains("Anche la copia di sicurezza")) << second.toStdString();
    EXPECT_FALSE(second.contains("L'ultima copia di sicurezza buona")) << second.toStdString();

    // A database without the program's tables.
    QFile::remove(paths.mainDatabase());
    {
        store::Database other;
        other.open(paths.mainDatabase(), store::mainDatabaseKey());
        other.exec("CREATE TABLE Fatture (Numero INTEGER)");
    }
    app::Workspace third{app::AppPaths(dir.path())};
    const QString missing = third.startUp();
    EXPECT_TRUE(missing.contains("non contiene le tabelle del programma")) << missing.toStdString();
    EXPECT_TRUE(missing.contains("no such table: Condomini")) << missing.toStdString();
}

TEST(StartUpDamage, RestoringPutsTheBackupInPlaceAndKeepsTheDamagedFileAside)
{
    TempDir dir;
    firstStart(dir);
    const app::AppPaths paths(dir.path());
    ASSERT_TRUE(QFile::copy(paths.mainDatabase(), paths.mainBackup()));
    writeFile(paths.mainDatabase(), "danneggiato");
    writeFile(paths.mainDatabase() + "-journal", "giornale");

    // An unusable backup is not restored: nothing moves.
    const QString goodBackup = dir.file("good.bak");
    ASSERT_TRUE(QFile::rename(paths.mainBackup(), goodBackup));
    writeFile(paths.mainBackup(), "anche questo rotto");
    const app::RestoreResult refused = app::restoreFromBackup(DatabaseKind::Main, paths.mainDatabase(), paths.mainBackup());
    EXPECT_FALSE(refused.done);
    EXPECT_EQ(readFile(paths.mainDatabase()), "danneggiato");
    ASSERT_TRUE(QFile::remove(paths.mainBackup()));
    ASSERT_TRUE(QFile::rename(goodBackup, paths.mainBackup()));

    const QDateTime when(QDate(2024, 3, 7), QTime(10, 15, 30));
    // A journal that cannot go aside with its file: the next opening would roll it into the
    // copy, so the restore refuses and leaves file and journal as they were.
    const QString blocked = paths.databaseFolder() + "/Condomini.danneggiato-20240307-101530.db-journal";
    ASSERT_TRUE(QDir().mkpath(blocked + "/occupato"));
    const app::RestoreResult stuck = app::restoreFromBackup(DatabaseKind::Main, paths.mainDatabase(), paths.mainBackup(), when);
    EXPECT_FALSE(stuck.done);
    EXPECT_TRUE(stuck.message.contains("giornale")) << stuck.message.toStdString();
    EXPECT_EQ(readFile(paths.mainDatabase()), "danneggiato");
    EXPECT_EQ(readFile(paths.mainDatabase() + "-journal"), "giornale");
    ASSERT_TRUE(QDir(blocked).removeRecursively());

    const app::RestoreResult restored = app::restoreFromBackup(DatabaseKind::Main, paths.mainDatabase(), paths.mainBackup(), when);
    ASSERT_TRUE(restored.done) << restored.message.toStdString();
    EXPECT_EQ(restored.setAside, paths.databaseFolder() + "/Condomini.danneggiato-20240307-101530.db");
    EXPECT_EQ(readFile(restored.setAside), "danneggiato");
    EXPECT_EQ(readFile(restored.setAside + "-journal"), "giornale");
    EXPECT_FALSE(QFileInfo::exists(paths.mainDatabase() + "-journal"));
    EXPECT_TRUE(restored.message.contains(QDir::toNativeSeparators(restored.setAside)));

    app::Workspace ws{app::AppPaths(dir.path())};
    ASSERT_EQ(ws.startUp(), QString());
    EXPECT_EQ(ws.condominiumNames(), QStringList{"Alfa - Via Roma 1"});
}

TEST(StartUpFolders, FoldersThatMatchNoCondominiumAreReportedAsWarnings)
{
    TempDir dir;
    firstStart(dir); // Alfa, without a folder of its own
    const app::AppPaths paths(dir.path());
    {
        app::Workspace ws{app::AppPaths(dir.path())};
        ASSERT_EQ(ws.startUp(), QString());
        EXPECT_EQ(ws.startUpWarnings(), QStringList()); // no stray folder: nothing to say
    }
    ASSERT_TRUE(QDir().mkpath(paths.outputFolder() + "Alfa - Via Roma 0/Ricevute"));
    app::Workspace ws{app::AppPaths(dir.path())};
    ASSERT_EQ(ws.startUp(), QString());
    ASSERT_EQ(ws.startUpWarnings().size(), 1);
    EXPECT_TRUE(ws.startUpWarnings()[0].contains("\"Alfa - Via Roma 1\"")) << ws.startUpWarnings()[0].toStdString();
    EXPECT_TRUE(ws.startUpWarnings()[0].contains("\"Alfa - Via Roma 0\"")) << ws.startUpWarnings()[0].toStdString();
    EXPECT_TRUE(QFileInfo(paths.outputFolder() + "Alfa - Via Roma 0").isDir());
    EXPECT_EQ(ws.condominiumNames(), QStringList{"Alfa - Via Roma 1"});
}

// A main database deleted by mistake while yesterday's backup holds the office: the start that
// finds it missing keeps that backup aside, so the next day's backup of the new empty file can
// never replace it; "Ripristina" then brings the office back from it, and brings back a damaged,
// truncated or missing main file and a damaged web file from their backups, but never a bad one.
TEST(StartUpMissing, AMissingDatabaseNeverCostsItsBackupAndEveryBackupComesBack)
{
    TempDir dir;
    firstStart(dir);
    const app::AppPaths paths(dir.path());
    {
        app::Workspace ws{paths};
        ASSERT_EQ(ws.startUp(), QString()); // the daily backups of all three
    }
    const QStringList office{"Alfa - Via Roma 1"};
    ASSERT_EQ(marksIn(paths.mainBackup(), DatabaseKind::Main), office);
    ASSERT_TRUE(QFile::remove(paths.mainDatabase()));
    // What interrupted work leaves: a super-journal of a two-file commit and a rename's trial folder.
    writeFile(paths.mainDatabase() + "-mj0A1B2C3D", "");
    ASSERT_TRUE(QDir().mkpath(paths.folderNameTrial() + "/Alfa - Via Roma 2"));

    QString kept;
    {
        app::Workspace ws{paths};
        ASSERT_EQ(ws.startUp(), QString());
        EXPECT_TRUE(ws.condominiumNames().isEmpty());
        ASSERT_EQ(ws.startUpWarnings().size(), 1);
        EXPECT_TRUE(ws.startUpWarnings()[0].contains("mancava ed è stato creato vuoto")) << ws.startUpWarnings()[0].toStdString();
        EXPECT_FALSE(QFileInfo::exists(paths.mainDatabase() + "-mj0A1B2C3D"));
        EXPECT_FALSE(QFileInfo::exists(paths.folderNameTrial()));
        const QStringList aside = QDir(paths.databaseFolder()).entryList({"Condomini.conservata-*.bak"}, QDir::Files);
        ASSERT_EQ(aside.size(), 1);
        kept = paths.databaseFolder() + "/" + aside[0];
        EXPECT_TRUE(ws.startUpWarnings()[0].contains(QDir::toNativeSeparators(kept)));
    }
    app::Workspace ws{paths};
    ws.setToday(QDate::currentDate().addDays(1));
    ASSERT_EQ(ws.startUp(), QString());
    EXPECT_TRUE(marksIn(paths.mainBackup(), DatabaseKind::Main).isEmpty()); // tomorrow's backup: the empty file
    EXPECT_EQ(marksIn(kept, DatabaseKind::Main), office);                   // and the office, kept

    const QVector<app::BackupEntry> backups = app::listBackups(paths);
    QStringList listed;
    for (const app::BackupEntry& b : backups)
        listed << QFileInfo(b.file).fileName() + ": " + b.summary;
    ASSERT_EQ(listed.size(), 4) << listed.join(" | ").toStdString();
    EXPECT_EQ(listed[0], "Condomini.bak: 0 condomini, 0 anni amministrativi, 0 quote");
    EXPECT_EQ(listed[1], QFileInfo(kept).fileName() + ": 1 condominio, 0 anni amministrativi, 0 quote");
    EXPECT_EQ(listed[2], "WebDB.bak: 1 condominio pubblicato, 0 quote pubblicate");
    EXPECT_TRUE(listed[3].startsWith("FAQ.bak: ")) << listed[3].toStdString();
    const app::BackupEntry mainBackup = backups[1];
    const app::BackupEntry webBackup = backups[2];

    const app::RestoreRun first = app::restoreBackup(ws, mainBackup);
    ASSERT_TRUE(first.result.done) << first.result.message.toStdString();
    EXPECT_EQ(first.startUpError, QString());
    EXPECT_EQ(ws.condominiumNames(), office);
    EXPECT_TRUE(first.result.setAside.contains("Condomini.sostituito-")) << first.result.setAside.toStdString();
    EXPECT_TRUE(marksIn(first.result.setAside, DatabaseKind::Main).isEmpty());

    struct Mishap {
        const char* what;
        DatabaseKind kind;
        std::function<void()> make;
    };
    const Mishap mishaps[] = {
        {"damaged main", DatabaseKind::Main, [&] { writeFile(paths.mainDatabase(), QByteArray(8192, 'x')); }},
        {"truncated main", DatabaseKind::Main, [&] { QFile(paths.mainDatabase()).resize(1000); }},
        {"missing main", DatabaseKind::Main, [&] { QFile::remove(paths.mainDatabase()); }},
        {"damaged web", DatabaseKind::Web, [&] { writeFile(paths.webDatabase(), QByteArray(4096, 'y')); }},
    };
    for (const Mishap& m : mishaps) {
        SCOPED_TRACE(m.what);
        ws.close();
        m.make();
        if (std::string(m.what) != "missing main")
            EXPECT_NE(ws.startUp(), QString()); // the window opens with the failure shown
        const app::RestoreRun run = app::restoreBackup(ws, m.kind == DatabaseKind::Main ? mainBackup : webBackup);
        ASSERT_TRUE(run.result.done) << run.result.message.toStdString();
        EXPECT_EQ(run.startUpError, QString());
        EXPECT_EQ(ws.condominiumNames(), office);
        EXPECT_EQ(ws.webDb().scalar("SELECT COUNT(*) FROM CodiceCondominio").toInt(), 1);
    }

    // A bad backup is refused before anything is closed or moved.
    writeFile(dir.file("rotta.bak"), "non è un database");
    const app::BackupEntry bad = app::describeBackup(DatabaseKind::Main, dir.file("rotta.bak"), paths.mainDatabase());
    EXPECT_FALSE(bad.usable);
    const QStringList before = QDir(paths.databaseFolder()).entryList(QDir::Files);
    const app::RestoreRun refused = app::restoreBackup(ws, bad);
    EXPECT_FALSE(refused.result.done);
    EXPECT_TRUE(refused.result.message.contains("non è utilizzabile")) << refused.result.message.toStdString();
    EXPECT_EQ(QDir(paths.databaseFolder()).entryList(QDir::Files), before);
    EXPECT_EQ(ws.condominiumNames(), office);
}
