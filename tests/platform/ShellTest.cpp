#include "platform/Shell.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris::platform;

TEST(SystemShell, PrintingWithoutLibreOfficeFailsWithAClearMessage)
{
    velcaris::test::TempDir dir;
    QFile f(dir.file("ricevuta.rtf"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\\rtf1 x}");
    f.close();
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit()); // a folder with no programs in it
    SystemShell shell;
    const bool printed = shell.print(dir.file("ricevuta.rtf"));
    const bool opened = shell.open(dir.file("ricevuta.rtf"));
    const QString openError = shell.lastError();
    qputenv("PATH", path);
    EXPECT_FALSE(printed);
    EXPECT_FALSE(opened);
    EXPECT_EQ(openError, shellResultText(31));
    SystemShell other;
    EXPECT_FALSE(other.open(dir.file("manca.rtf")));
    EXPECT_EQ(other.lastError(), QStringLiteral("The specified file was not found."));
    EXPECT_FALSE(other.print(dir.file("manca.rtf")));
    EXPECT_EQ(other.lastError(), QStringLiteral("File da stampare non trovato: ") + dir.file("manca.rtf"));
}

TEST(SystemShell, PrintFailureNamesLibreOffice)
{
    velcaris::test::TempDir dir;
    QFile f(dir.file("a.rtf"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    SystemShell shell;
    EXPECT_FALSE(shell.print(dir.file("a.rtf")));
    qputenv("PATH", path);
    EXPECT_EQ(shell.lastError(), QStringLiteral("Nessun programma di stampa trovato: installare LibreOffice"));
}
