#include "foundation/FolderReconcile.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace velcaris::app;
using velcaris::test::TempDir;

namespace {

struct Output {
    Output()
    {
        EXPECT_TRUE(paths.ensureFolders());
    }
    // A condominium folder with one receipt in it.
    void folderWithReceipt(const QString& name)
    {
        ASSERT_TRUE(QDir().mkpath(paths.outputFolder() + name + "/Ricevute"));
        QFile f(paths.outputFolder() + name + "/Ricevute/Ricevuta 1.rtf");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1}");
    }
    bool hasReceipt(const QString& name) const
    {
        return QFileInfo(paths.outputFolder() + name + "/Ricevute/Ricevuta 1.rtf").isFile();
    }
    bool exists(const QString& name) const { return QFileInfo::exists(paths.outputFolder() + name); }

    TempDir dir;
    AppPaths paths{dir.path()};
};

const QString alfa = "Alfa - Via Roma 1";
const QString nuovo = "Alfa Nuovo - Via Roma 3";

} // namespace

TEST(FolderReconcile, ARenameThatCommittedGetsItsFolder)
{
    Output out;
    out.folderWithReceipt(alfa);
    ASSERT_TRUE(recordPendingFolderRename(out.paths, alfa, nuovo));
    EXPECT_EQ(reconcileFolders(out.paths, {nuovo, "Beta - Via Po 2"}), QStringList());
    EXPECT_TRUE(out.hasReceipt(nuovo));
    EXPECT_FALSE(out.exists(alfa));
    EXPECT_FALSE(QFileInfo::exists(pendingFolderRenameFile(out.paths)));
}

TEST(FolderReconcile, ARenameThatNeverCommittedIsDropped)
{
    Output out;
    out.folderWithReceipt(alfa);
    ASSERT_TRUE(recordPendingFolderRename(out.paths, alfa, nuovo));
    EXPECT_EQ(reconcileFolders(out.paths, {alfa}), QStringList());
    EXPECT_TRUE(out.hasReceipt(alfa));
    EXPECT_FALSE(out.exists(nuovo));
    EXPECT_FALSE(QFileInfo::exists(pendingFolderRenameFile(out.paths)));
}

TEST(FolderReconcile, AFolderAlreadyMovedOnlyClearsTheRecord)
{
    Output out;
    out.folderWithReceipt(nuovo);
    ASSERT_TRUE(recordPendingFolderRename(out.paths, alfa, nuovo));
    EXPECT_EQ(reconcileFolders(out.paths, {nuovo}), QStringList());
    EXPECT_TRUE(out.hasReceipt(nuovo));
    EXPECT_FALSE(QFileInfo::exists(pendingFolderRenameFile(out.paths)));
}

TEST(FolderReconcile, FoldersThatDoNotMatchAreNamedAndNothingIsGuessed)
{
    Output out;
    out.folderWithReceipt(alfa);
    out.folderWithReceipt("Vecchio - Via Po 9");
    // Beta has no folder while a folder of no condominium is there: without a record of a
    // rename the two are not joined, the user is told.
    const QStringList warnings = reconcileFolders(out.paths, {alfa, "Beta - Via Po 2"});
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains("\"Beta - Via Po 2\"")) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].contains("\"Vecchio - Via Po 9\"")) << warnings[0].toStdString();
    EXPECT_FALSE(warnings[0].contains(alfa)) << warnings[0].toStdString();
    EXPECT_TRUE(out.hasReceipt("Vecchio - Via Po 9"));
    EXPECT_FALSE(out.exists("Beta - Via Po 2"));

    // A condominium without folder and no stray folder, or stray folders alone: nothing to say.
    EXPECT_EQ(reconcileFolders(out.paths, {alfa, "Vecchio - Via Po 9", "Gamma - Via Po 3"}), QStringList());
    EXPECT_EQ(reconcileFolders(out.paths, {alfa}), QStringList());
}

TEST(FolderReconcile, AFolderThatCannotMoveIsToldAndTriedAgainNextTime)
{
    Output out;
    out.folderWithReceipt(alfa);
    const QString tooLong = QString(150, QChar(0x00E8)) + " - Via Roma 3";
    ASSERT_TRUE(recordPendingFolderRename(out.paths, alfa, tooLong));
    const QStringList warnings = reconcileFolders(out.paths, {tooLong});
    ASSERT_FALSE(warnings.isEmpty());
    EXPECT_TRUE(warnings[0].contains("rinominarla a mano")) << warnings[0].toStdString();
    EXPECT_TRUE(out.hasReceipt(alfa));
    EXPECT_TRUE(QFileInfo::exists(pendingFolderRenameFile(out.paths)));
}
