#include "foundation/AppPaths.h"
#include "foundation/Backup.h"
#include "DatabaseFiles.h"
#include "support/TempDir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris;
using namespace velcaris::app;
using store::DatabaseKind;
using velcaris::test::age;
using velcaris::test::integrityOf;
using velcaris::test::makeDatabase;
using velcaris::test::marksIn;
using velcaris::test::readFile;
using velcaris::test::TempDir;
using velcaris::test::writeFile;
using Status = BackupResult::Status;

namespace {

// A database opened as start-up opens it, and the name of its backup.
struct Folder {
    explicit Folder(DatabaseKind k = DatabaseKind::Main) : kind(k)
    {
        makeDatabase(db, kind, "Alfa - Via Roma 1");
        store::openDatabase(open, db, kind);
    }
    TempDir dir;
    DatabaseKind kind;
    QString db = dir.file("Condomini.db");
    QString bak = dir.file("Condomini.bak");
    store::Database open;
};

// Nothing but the database and its backup: no temporary copy is left behind.
void expectNoStrayFiles(const QString& folder, int expected)
{
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), expected)
        << QDir(folder).entryList(QDir::Files | QDir::Hidden).join(", ").toStdString();
}

} // namespace

TEST(Backup, MissingBackupIsCopiedFromTheOpenDatabaseAndChecked)
{
    for (DatabaseKind kind : {DatabaseKind::Main, DatabaseKind::Web}) {
        Folder f(kind);
        age(f.db, 3);
        const QByteArray before = readFile(f.db);
        EXPECT_EQ(BackupFile(f.open, kind, f.bak).status, Status::Made);
        EXPECT_EQ(marksIn(f.bak, kind), QStringList{"Alfa - Via Roma 1"});
        EXPECT_EQ(integrityOf(f.bak, kind), "ok");
        EXPECT_EQ(readFile(f.db), before);
        expectNoStrayFiles(f.dir.path(), 2);
    }
}

TEST(Backup, AnOutdatedBackupIsReplacedOnceADay)
{
    Folder f;
    makeDatabase(f.bak, DatabaseKind::Main, "backup of last month");
    age(f.bak, 30);

    EXPECT_EQ(BackupFile(f.open, DatabaseKind::Main, f.bak).status, Status::Made);
    EXPECT_EQ(marksIn(f.bak, DatabaseKind::Main), QStringList{"Alfa - Via Roma 1"});
    expectNoStrayFiles(f.dir.path(), 2);

    // Later the same day the database changes; the backup keeps the first start's copy.
    f.open.exec("INSERT INTO Condomini (Nome) VALUES ('Beta - Via Po 2')");
    EXPECT_EQ(BackupFile(f.open, DatabaseKind::Main, f.bak).status, Status::NotDue);
    EXPECT_EQ(marksIn(f.bak, DatabaseKind::Main), QStringList{"Alfa - Via Roma 1"});
}

TEST(Backup, TheDateComparedIsTheGivenToday)
{
    Folder f;
    makeDatabase(f.bak, DatabaseKind::Main, "made this morning");
    age(f.bak, 0);
    const QByteArray morning = readFile(f.bak);
    EXPECT_EQ(BackupFile(f.open, DatabaseKind::Main, f.bak).status, Status::NotDue);
    // A clock set back: nothing.
    EXPECT_EQ(BackupFile(f.open, DatabaseKind::Main, f.bak, QDate::currentDate().addDays(-1)).status, Status::NotDue);
    EXPECT_EQ(readFile(f.bak), morning);
    EXPECT_EQ(BackupFile(f.open, DatabaseKind::Main, f.bak, QDate::currentDate().addDays(1)).status, Status::Made);
    EXPECT_EQ(marksIn(f.bak, DatabaseKind::Main), QStringList{"Alfa - Via Roma 1"});
}

TEST(Backup, ReadingTheBackupDoesNotMakeItCurrent)
{
    Folder f;
    makeDatabase(f.bak, DatabaseKind::Main, "old");
    age(f.bak, 2);
    EXPECT_EQ(marksIn(f.bak, DatabaseKind::Main), QStringList{"old"}); // a reader may move the access time only
    EXPECT_EQ(BackupFile(f.open, DatabaseKind::Main, f.bak).status, Status::Made);
    EXPECT_EQ(marksIn(f.bak, DatabaseKind::Main), QStringList{"Alfa - Via Roma 1"});
}

TEST(Backup, ADamagedDatabaseNeverReplacesTheBackup)
{
    Folder f;
    for (int i = 0; i < 2000; ++i)
        f.open.exec("INSERT INTO Anagrafe (Cognome, idCondominio) VALUES (?, 'Alfa - Via Roma 1')",
                    {QString("Persona %1 ").arg(i).repeated(8)});
    f.open.close();
    makeDatabase(f.bak, DatabaseKind::Main, "good backup");
    age(f.bak, 1);
    const QByteArray good = readFile(f.bak);
    // Pages near the end of the file overwritten, as a failing disk would; the catalogue at its
    // start still reads, so the file opens.
    {
        QFile file(f.db);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_GT(file.size(), 40 * 4096);
        file.seek(file.size() - 12 * 4096);
        file.write(QByteArray(6 * 4096, '\x5a'));
    }
    store::openDatabase(f.open, f.db, DatabaseKind::Main);
    const BackupResult result = BackupFile(f.open, DatabaseKind::Main, f.bak);
    EXPECT_NE(result.status, Status::Made);
    EXPECT_NE(result.status, Status::NotDue);
    EXPECT_FALSE(result.detail.isEmpty());
    EXPECT_EQ(readFile(f.bak), good);
    expectNoStrayFiles(f.dir.path(), 2);
}

TEST(Backup, MainAndWebDatabasesAreIndependent)
{
    TempDir dir;
    const AppPaths paths(dir.path());
    ASSERT_TRUE(paths.ensureFolders());
    makeDatabase(paths.mainDatabase(), DatabaseKind::Main, "main");
    makeDatabase(paths.webDatabase(), DatabaseKind::Web, "web");
    makeDatabase(paths.mainBackup(), DatabaseKind::Main, "main old");
    age(paths.mainBackup(), 1);
    makeDatabase(paths.webBackup(), DatabaseKind::Web, "web today");
    age(paths.webBackup(), 0);

    store::Database mainDb, webDb;
    store::openDatabase(mainDb, paths.mainDatabase(), DatabaseKind::Main);
    store::openDatabase(webDb, paths.webDatabase(), DatabaseKind::Web);
    EXPECT_EQ(BackupFile(mainDb, DatabaseKind::Main, paths.mainBackup()).status, Status::Made);
    EXPECT_EQ(BackupFile(webDb, DatabaseKind::Web, paths.webBackup()).status, Status::NotDue);

    EXPECT_EQ(marksIn(paths.mainBackup(), DatabaseKind::Main), QStringList{"main"});
    EXPECT_EQ(marksIn(paths.webBackup(), DatabaseKind::Web), QStringList{"web today"});
}

TEST(FileDateText, LocalDateOfLastWriteAsDayMonthYear)
{
    TempDir dir;
    const QString file = dir.file("x.bak");
    writeFile(file, "x");
    QFile handle(file);
    ASSERT_TRUE(handle.open(QIODevice::ReadWrite));
    // Late evening local time: a conversion that forgot the time zone would often change the day.
    ASSERT_TRUE(handle.setFileTime(QDateTime(QDate(2014, 3, 7), QTime(23, 30)),
                                   QFileDevice::FileModificationTime));
    handle.close();
    EXPECT_EQ(FileDateText(file, QDate(2000, 1, 1)), "07/03/2014");
}

TEST(FileDateText, MissingFileIsReportedAsNotFound)
{
    TempDir dir;
    EXPECT_EQ(FileDateText(dir.file("none.bak"), QDate(2014, 1, 2)), "Data di creazione non trovata");
}

TEST(AppPaths, FilesLiveBesideTheExecutable)
{
    const AppPaths paths("/opt/velcaris", "velcaris");
    EXPECT_EQ(paths.mainDatabase(), "/opt/velcaris/Database/Condomini.db");
    EXPECT_EQ(paths.mainBackup(), "/opt/velcaris/Database/Condomini.bak");
    EXPECT_EQ(paths.webDatabase(), "/opt/velcaris/Database/WebDB.db");
    EXPECT_EQ(paths.webBackup(), "/opt/velcaris/Database/WebDB.bak");
    EXPECT_EQ(paths.faqDatabase(), "/opt/velcaris/Database/FAQ.db");
    EXPECT_EQ(paths.outputFolder(), "/opt/velcaris/Output/");
    EXPECT_EQ(paths.mailLog(), "/opt/velcaris/mail.log");
    EXPECT_EQ(paths.settingsFile(), "/opt/velcaris/velcaris.ini");
}

TEST(AppPaths, SettingsFileReplacesOnlyTheExtension)
{
    EXPECT_EQ(settingsFileFor("/opt/velcaris/velcaris"), "/opt/velcaris/velcaris.ini");
    EXPECT_EQ(settingsFileFor("C:\\Programmi\\Velcaris.exe"), "C:\\Programmi\\Velcaris.ini");
    EXPECT_EQ(settingsFileFor("/home/a.b/velcaris"), "/home/a.b/velcaris.ini");
    EXPECT_EQ(settingsFileFor("/opt/v/velcaris.bin.old"), "/opt/v/velcaris.bin.ini");
}

TEST(AppPaths, EnsureFoldersCreatesWhatIsMissing)
{
    TempDir dir;
    const AppPaths paths(dir.path());
    ASSERT_TRUE(QDir(dir.path()).mkdir("Output"));
    writeFile(dir.file("Output/Ricevuta.rtf"), "{\\rtf1}");
    EXPECT_TRUE(paths.ensureFolders());
    EXPECT_TRUE(QFileInfo(paths.databaseFolder()).isDir());
    EXPECT_EQ(readFile(dir.file("Output/Ricevuta.rtf")), "{\\rtf1}");
    EXPECT_TRUE(paths.ensureFolders()); // a second call is harmless
}
