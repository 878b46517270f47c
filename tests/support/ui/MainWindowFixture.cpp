#include "support/ui/MainWindowFixture.h"

#include "dialogkit/EditDialog.h"
#include "dialogkit/Messages.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace velcaris::test {

void addCondominiumsWithYear(store::Database& db, const QStringList& names, const QString& year)
{
    // One statement per table, as many rows as names.
    QStringList condominiumRows, yearRows;
    QVector<QVariant> condominiumValues, yearValues;
    for (const QString& name : names) {
        condominiumRows << QStringLiteral("(?)");
        condominiumValues << name;
        yearRows << QStringLiteral("(?, ?, 1)");
        yearValues << name << year;
    }
    db.exec("INSERT INTO Condomini (Nome) VALUES " + condominiumRows.join(", "), condominiumValues);
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES " + yearRows.join(", "), yearValues);
}

void MainWindowFixture::writeOffice(const std::function<void(app::Workspace&)>& write)
{
    app::Workspace ws{app::AppPaths(dir.path())};
    ASSERT_EQ(ws.startUp(), QString());
    write(ws);
}

void MainWindowFixture::openWindow(std::initializer_list<DialogInstaller> installers, Dialogs dialogs)
{
    app::TForm1::setShowErrors(false);
    app::setQuietMessages(true);
    if (dialogs == Dialogs::NonBlocking)
        app::EditDialog::setBlocking(false);
    form = std::make_unique<app::TForm1>(app::AppPaths(dir.path()));
    for (const DialogInstaller& install : installers)
        install(form->dialogContext(), form->dialogRegistrar());
}

void MainWindowFixture::showWindow(const QString& condominium, std::optional<app::Tab> tab)
{
    form->resize(1280, 800);
    form->show();
    if (!condominium.isEmpty())
        form->selectCondominium(condominium);
    if (tab)
        showTab(*tab);
    app::takeMessages();
}

void MainWindowFixture::TearDown()
{
    form.reset();
    app::EditDialog::setBlocking(true);
    app::setQuietMessages(false);
}

void MainWindowFixture::addCondominium(const QString& name)
{
    form->workspace().mainDb().exec("INSERT INTO Condomini (Nome) VALUES (?)", {name});
    form->workspace().ds("ADOTableCondomini").requery();
    form->fillCondominiumList();
}

QVariant MainWindowFixture::value(const QString& sql, const QVector<QVariant>& params)
{
    return db().scalar(sql, params);
}

void MainWindowFixture::showTab(app::Tab tab)
{
    form->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(int(tab));
}

QString MainWindowFixture::figure(const char* name)
{
    return form->findChild<QLineEdit*>(name)->text();
}

void MainWindowFixture::click(QWidget* parent, const char* name)
{
    auto* b = parent->findChild<QPushButton*>(name);
    ASSERT_NE(b, nullptr) << name;
    QTest::mouseClick(b, Qt::LeftButton);
}

void MainWindowFixture::answerQuestion(const char* button)
{
    QTimer::singleShot(0, [button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QTest::mouseClick(box->findChild<QPushButton*>(button), Qt::LeftButton);
    });
}

} // namespace velcaris::test
