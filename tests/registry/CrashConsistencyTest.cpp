// A condominium rename killed with SIGKILL at any point: the next start finds both databases
// sound, every row under one name, the web records agreeing with the main ones and the output
// folder under that same name.
#include "foundation/FolderReconcile.h"
#include "foundation/Workspace.h"
#include "registry/Condominiums.h"
#include "store/Failpoint.h"
#include "support/TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace velcaris;
using velcaris::test::TempDir;

namespace {

const QString alfa = "Alfa - Via Roma 1";
const QString beta = "Beta - Via Po 2";

registry::CondominiumInput inputFor(const QString& fullName)
{
    registry::CondominiumInput in;
    const qsizetype dash = fullName.indexOf(" - ");
    in.nome = fullName.left(dash);
    in.indirizzo = fullName.mid(dash + 3);
    in.comune = "Torino";
    return in;
}

// Every column that names a condominium, main and web; one row each is seeded.
const char* const kNamingColumns[][2] = {
    {"AnnoAmministrativo", "idCondominio"}, {"Tabelle", "Id_Condominio"}, {"Locali", "IdCondominio"},
    {"Millesimi", "IdCondominio"}, {"Anagrafe", "idCondominio"}, {"main.Quote", "IdCondominio"},
    {"fornitori_associazione", "IdCondominio"}, {"Entrate", "Condominio"}, {"Uscite", "Condominio"},
    {"Preventivi", "Condominio"}, {"Scadenzario", "Condominio"}, {"Interventi", "Condominio"},
    {"web.CodiceCondominio", "Condominio"}, {"web.Accesso", "IdCondominio"}, {"web.Quote", "Condominio"},
    {"web.Files", "Condominio"}, {"Condomini", "Nome"}, {"Anagrafe", "Cognome"}};
constexpr int kNamingRows = 18;

// Alfa with a row in every register, its web record and a receipt in its folder. The workspace
// is gone when this returns: no connection may cross a fork.
void seed(const QString& folder)
{
    app::Workspace ws{app::AppPaths(folder)};
    ASSERT_EQ(ws.startUp(), QString());
    ASSERT_TRUE(registry::addCondominium(ws, inputFor(alfa)).done);
    store::Database& db = ws.mainDb();
    for (const auto& [table, column] : kNamingColumns) {
        const QString t = table, c = column;
        if ((t == "Condomini" && c == "Nome") || (t == "Anagrafe" && c == "Cognome"))
            continue; // made by addCondominium
        db.exec(QString("INSERT INTO %1 (%2) VALUES (?)").arg(t, c), {alfa});
    }
    QFile receipt(ws.paths().outputFolder() + alfa + "/Ricevute/Ricevuta 1.rtf");
    ASSERT_TRUE(receipt.open(QIODevice::WriteOnly));
    receipt.write("{\\rtf1}");
}

qint64 rowsNaming(store::Database& db, const QString& name)
{
    qint64 total = 0;
    for (const auto& [table, column] : kNamingColumns)
        total += db.scalar(QString("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(table, column), {name}).toLongLong();
    return total;
}

// What a start after the crash must find; `seen` gets the name found.
void expectConsistent(const QString& folder, QSet<QString>* seen = nullptr)
{
    app::Workspace ws{app::AppPaths(folder)};
    ASSERT_EQ(ws.startUp(), QString());
    EXPECT_TRUE(ws.startUpWarnings().isEmpty()) << ws.startUpWarnings().join("\n").toStdString();
    store::Database& db = ws.mainDb();
    EXPECT_EQ(db.scalar("PRAGMA main.integrity_check").toString(), "ok");
    EXPECT_EQ(db.scalar("PRAGMA web.integrity_check").toString(), "ok");
    const QStringList names = ws.condominiumNames();
    ASSERT_EQ(names.size(), 1);
    const QString now = names.first();
    ASSERT_TRUE(now == alfa || now == beta) << now.toStdString();
    const QString other = now == alfa ? beta : alfa;
    if (seen)
        seen->insert(now);
    // All or nothing, main and web together.
    EXPECT_EQ(rowsNaming(db, now), kNamingRows);
    EXPECT_EQ(rowsNaming(db, other), 0);
    EXPECT_EQ(db.scalar("SELECT Condominio FROM web.CodiceCondominio").toString(), now);
    // The folder follows the rows.
    const QString output = ws.paths().outputFolder();
    EXPECT_TRUE(QFileInfo(output + now + "/Ricevute/Ricevuta 1.rtf").isFile()) << now.toStdString();
    EXPECT_FALSE(QFileInfo::exists(output + other));
    EXPECT_FALSE(QFileInfo::exists(app::pendingFolderRenameFile(ws.paths())));
}

// In the child: a started workspace whose current condominium is whichever name is stored.
void startChild(app::Workspace& ws)
{
    if (!ws.startUp().isEmpty() || ws.condominiumNames().size() != 1)
        _exit(2);
    ws.selection.condominium = ws.condominiumNames().first();
}

// How long one rename takes on this machine, measured with a rename there and back; the
// workspace is gone when this returns.
qint64 renameMicroseconds(const QString& folder)
{
    app::Workspace ws{app::AppPaths(folder)};
    if (!ws.startUp().isEmpty() || ws.condominiumNames() != QStringList{alfa})
        return -1;
    ws.selection.condominium = alfa;
    QElapsedTimer clock;
    clock.start();
    if (!registry::modifyCondominium(ws, inputFor(beta)).done)
        return -1;
    if (!registry::modifyCondominium(ws, inputFor(alfa)).done)
        return -1;
    return clock.nsecsElapsed() / 2000;
}

} // namespace

TEST(CrashConsistency, KilledBetweenTheCommitAndTheFolderTheNextStartMovesTheFolder)
{
    TempDir dir;
    seed(dir.path());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        app::Workspace ws{app::AppPaths(dir.path())};
        startChild(ws);
        store::setFailpointHandler([](const char* name) {
            if (std::strcmp(name, "condominio.rinomina.dopo-il-commit") == 0)
                raise(SIGKILL);
        });
        try {
            registry::modifyCondominium(ws, inputFor(beta));
        } catch (...) {
        }
        _exit(3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

    // The crash window itself: rows under the new name, the folder still under the old one.
    const app::AppPaths paths(dir.path());
    EXPECT_TRUE(QFileInfo(paths.outputFolder() + alfa + "/Ricevute/Ricevuta 1.rtf").isFile());
    EXPECT_FALSE(QFileInfo::exists(paths.outputFolder() + beta));
    expectConsistent(dir.path());
    EXPECT_TRUE(QFileInfo(paths.outputFolder() + beta + "/Ricevute/Ricevuta 1.rtf").isFile());
}

TEST(CrashConsistency, RenamesKilledAtRandomPointsLeaveOneConsistentState)
{
    TempDir dir;
    seed(dir.path());
    // The kills spread over the first few renames however slow the disk is (a loaded machine or
    // a sanitizer build may need far more than the usual few milliseconds for one).
    const qint64 oneRename = renameMicroseconds(dir.path());
    ASSERT_GT(oneRename, 0);
    std::mt19937 random(20240307); // fixed: a failure can be reproduced
    std::uniform_int_distribution<qint64> delayMicroseconds(0, std::max<qint64>(30000, 3 * oneRename));
    QSet<QString> seen;
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(round);
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            app::Workspace ws{app::AppPaths(dir.path())};
            startChild(ws);
            if (write(ready[1], "r", 1) != 1)
                _exit(4);
            try {
                for (;;) {
                    const QString next = ws.selection.condominium == alfa ? beta : alfa;
                    if (!registry::modifyCondominium(ws, inputFor(next)).done)
                        _exit(5);
                }
            } catch (...) {
                _exit(6);
            }
        }
        close(ready[1]);
        char byte = 0;
        const bool started = read(ready[0], &byte, 1) == 1;
        close(ready[0]);
        if (started)
            usleep(useconds_t(delayMicroseconds(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(started);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "child ended by itself: " << status;
        expectConsistent(dir.path(), &seen);
        if (HasFatalFailure() || HasNonfatalFailure())
            break;
    }
    // The kills fell while renames were running, not only before the first.
    EXPECT_EQ(seen.size(), 2);
}
