#include "app/AppPaths.h"
#include "app/Backup.h"
#include "support/TempDir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris::app;
using velcaris::test::TempDir;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll();
}

// Dates the file's last write at noon, local time, `days` days before today.
void age(const QString& path, int days)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QDateTime when(QDate::currentDate().addDays(-days), QTime(12, 0));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileAccessTime));
}

struct Folder {
    TempDir dir;
    QString db = dir.file("Condomini.db");
    QString bak = dir.file("Condomini.bak");
};

// Nothing but the database and its backup: no temporary copy is left behind.
void expectNoStrayFiles(const QString& folder, int expected)
{
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), expected)
        << QDir(folder).entryList(QDir::Files | QDir::Hidden).join(", ").toStdString();
}

} // namespace

TEST(Backup, MissingBackupIsCreatedAndDatabaseUnchanged)
{
    Folder f;
    writeFile(f.db, "database v1");
    age(f.db, 3);
    const QDateTime dbWritten = QFileInfo(f.db).lastModified();

    BackupFile(f.db, f.bak);

    EXPECT_EQ(readFile(f.bak), "database v1");
    EXPECT_EQ(readFile(f.db), "database v1");
    EXPECT_EQ(QFileInfo(f.db).lastModified(), dbWritten);
    expectNoStrayFiles(f.dir.path(), 2);
}

TEST(Backup, OutdatedBackupIsReplacedOnceADay)
{
    Folder f;
    writeFile(f.db, "database v2");
    writeFile(f.bak, "backup of yesterday");
    age(f.bak, 1);

    BackupFile(f.db, f.bak);
    EXPECT_EQ(readFile(f.bak), "database v2");
    expectNoStrayFiles(f.dir.path(), 2);

    // Later the same day the database changes; the backup keeps the first start's copy.
    writeFile(f.db, "database v3");
    BackupFile(f.db, f.bak);
    EXPECT_EQ(readFile(f.bak), "database v2");
}

TEST(Backup, BackupsOlderThanYesterdayAreReplacedToo)
{
    Folder f;
    writeFile(f.db, "fresh");
    writeFile(f.bak, "last month");
    age(f.bak, 30);
    BackupFile(f.db, f.bak);
    EXPECT_EQ(readFile(f.bak), "fresh");
}

TEST(Backup, BackupWrittenTodayIsLeftAlone)
{
    Folder f;
    writeFile(f.db, "database now");
    writeFile(f.bak, "made this morning");
    age(f.bak, 0);
    BackupFile(f.db, f.bak);
    EXPECT_EQ(readFile(f.bak), "made this morning");
}

TEST(Backup, ReadingTheBackupDoesNotMakeItCurrent)
{
    Folder f;
    writeFile(f.db, "new");
    writeFile(f.bak, "old");
    age(f.bak, 2);
    EXPECT_EQ(readFile(f.bak), "old"); // a reader may move the access time, not the write time
    BackupFile(f.db, f.bak);
    EXPECT_EQ(readFile(f.bak), "new");
}

TEST(Backup, TheDateComparedIsTheGivenToday)
{
    Folder f;
    writeFile(f.db, "db");
    writeFile(f.bak, "bak");
    age(f.bak, 0);
    BackupFile(f.db, f.bak, QDate::currentDate().addDays(-1)); // a clock set back: nothing
    EXPECT_EQ(readFile(f.bak), "bak");
    BackupFile(f.db, f.bak, QDate::currentDate().addDays(1));
    EXPECT_EQ(readFile(f.bak), "db");
}

TEST(Backup, MainAndWebDatabasesAreIndependent)
{
    TempDir dir;
    const AppPaths paths(dir.path());
    ASSERT_TRUE(paths.ensureFolders());
    writeFile(paths.mainDatabase(), "main");
    writeFile(paths.webDatabase(), "web");
    writeFile(paths.mainBackup(), "main old");
    age(paths.mainBackup(), 1);
    writeFile(paths.webBackup(), "web today");
    age(paths.webBackup(), 0);

    BackupFile(paths.mainDatabase(), paths.mainBackup());
    BackupFile(paths.webDatabase(), paths.webBackup());

    EXPECT_EQ(readFile(paths.mainBackup()), "main");
    EXPECT_EQ(readFile(paths.webBackup()), "web today");
}

TEST(Backup, PreviousBackupSurvivesAFailedCopy)
{
    Folder f;
    writeFile(f.bak, "precious");
    age(f.bak, 5);

    BackupFile(f.db, f.bak); // no database at all
    EXPECT_EQ(readFile(f.bak), "precious");

    ASSERT_TRUE(QDir(f.dir.path()).mkdir("Condomini.db")); // a path that can't be read as a file
    BackupFile(f.db, f.bak);
    EXPECT_EQ(readFile(f.bak), "precious");
    expectNoStrayFiles(f.dir.path(), 1);
}

TEST(Backup, NoBackupAndNoDatabaseCreatesNothing)
{
    Folder f;
    BackupFile(f.db, f.bak);
    EXPECT_FALSE(QFileInfo::exists(f.bak));
    expectNoStrayFiles(f.dir.path(), 0);
}

TEST(Backup, EmptyDatabaseGivesEmptyBackup)
{
    Folder f;
    writeFile(f.db, "");
    BackupFile(f.db, f.bak);
    ASSERT_TRUE(QFileInfo::exists(f.bak));
    EXPECT_EQ(QFileInfo(f.bak).size(), 0);
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
