// The window's ways back to a good office: "Ripristina" over a damaged main database, and the
// question asked at start-up when the main database is missing beside its backup.
#include "dialogkit/Messages.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";

class RestoreWindow : public test::MainWindowFixture {
protected:
    QStringList listed()
    {
        QStringList names;
        auto* list = form->findChild<QListWidget*>("ListBox1");
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }
};

} // namespace

TEST_F(RestoreWindow, TheOfficeComesBackFromItsBackupThroughTheWindow)
{
    writeOffice([](app::Workspace& ws) { ws.mainDb().exec("INSERT INTO Condomini (Nome) VALUES (?)", {kAlfa}); });
    writeOffice([](app::Workspace&) {}); // the second start takes the daily backups
    const app::AppPaths paths(dir.path());
    {
        QFile main(paths.mainDatabase());
        ASSERT_TRUE(main.open(QIODevice::WriteOnly | QIODevice::Truncate));
        main.write(QByteArray(8192, 'x'));
    }
    openWindow({});
    showWindow();
    EXPECT_TRUE(form->lastMessage().contains("Ripristina")) << form->lastMessage().toStdString();
    EXPECT_TRUE(listed().isEmpty());
    app::takeMessages();

    // The list names each database's backup with its date and contents; the main one comes first.
    QStringList rows;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), "TFRipristino");
        auto* grid = dialog->findChild<QTableWidget*>("GridCopie");
        for (int r = 0; r < grid->rowCount(); ++r)
            rows << grid->item(r, 0)->text() + " | " + grid->item(r, 1)->text() + " | " + grid->item(r, 3)->text();
        test::keepScreenshot(*dialog, "ripristina-elenco");
        test::keepScreenshot(*form, "ripristina-finestra");
        answerQuestion("ButtonFirst"); // "Si" to the question that follows
        QTest::mouseClick(dialog->findChild<QPushButton*>("BtnRipristina"), Qt::LeftButton);
    });
    click(form.get(), "BRipristina");
    ASSERT_EQ(rows.size(), 3) << rows.join("\n").toStdString();
    EXPECT_EQ(rows[0], "Database principale | Condomini.bak | 1 condominio, 0 anni amministrativi, 0 quote");
    EXPECT_EQ(listed(), QStringList{kAlfa});
    const QStringList said = app::takeMessages();
    EXPECT_TRUE(said.join('\n').contains("è ora il database")) << said.join('\n').toStdString();
    EXPECT_EQ(QDir(paths.databaseFolder()).entryList({"Condomini.sostituito-*.db"}, QDir::Files).size(), 1);

    // Gone altogether: the next start asks, and "Ripristina" puts the backup back before opening.
    form.reset();
    ASSERT_TRUE(QFile::remove(paths.mainDatabase()));
    answerQuestion("ButtonFirst");
    openWindow({});
    showWindow();
    EXPECT_EQ(listed(), QStringList{kAlfa});
}
