#pragma once
// The main window over a fresh folder for a widget test: the suite's rows written first, messages
// recorded instead of shown, dialogs driven without a modal loop, the subsystems' dialogs
// installed; and the small look-ups and clicks the suites share.
#include "foundation/Tab.h"
#include "foundation/Workspace.h"
#include "dialogkit/DialogContext.h"
#include "window/ui/TForm1.h"
#include "support/TempDir.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <optional>

class QWidget;

namespace velcaris::test {

// A subsystem's installDialogs (or a lambda binding its extra arguments).
using DialogInstaller = std::function<void(const app::DialogContext&, const app::RegisterDialog&)>;

// Writes the condominiums and then, for each, `year` as its current administrative year.
void addCondominiumsWithYear(store::Database& db, const QStringList& names, const QString& year);

class MainWindowFixture : public ::testing::Test {
protected:
    enum class Dialogs { NonBlocking, Blocking };

    // A started workspace over `dir` handed to `write`, closed again before the window opens it.
    void writeOffice(const std::function<void(app::Workspace&)>& write);
    // The quiet switches and the window over `dir` with these dialogs installed; not shown yet.
    void openWindow(std::initializer_list<DialogInstaller> installers, Dialogs dialogs = Dialogs::NonBlocking);
    // The window at its test size and shown, `condominium` chosen (none: left as the window chose),
    // then `tab` brought forward, and the messages said so far dropped.
    void showWindow(const QString& condominium = QString(), std::optional<app::Tab> tab = std::nullopt);
    void TearDown() override;

    // A condominium written behind the window, then shown in its list.
    void addCondominium(const QString& name);

    store::Database& db() { return form->workspace().mainDb(); }
    QVariant value(const QString& sql, const QVector<QVariant>& params = {});
    qint64 count(const QString& sql, const QVector<QVariant>& params = {}) { return value(sql, params).toLongLong(); }
    double number(const QString& sql, const QVector<QVariant>& params = {}) { return value(sql, params).toDouble(); }
    QString text(const QString& sql, const QVector<QVariant>& params = {}) { return value(sql, params).toString(); }
    void showTab(app::Tab tab);
    // The text of the window's line edit `name` (a balance, a total).
    QString figure(const char* name);
    // Clicks the push button `name` inside `parent`; a missing one fails the test.
    void click(QWidget* parent, const char* name);
    // Presses a button of the question box as soon as it opens.
    static void answerQuestion(const char* button);

    TempDir dir;
    std::unique_ptr<app::TForm1> form;
};

} // namespace velcaris::test
