#pragma once
// The main window over a fresh folder for a widget test: messages recorded instead of shown,
// dialogs driven without a modal loop, and `install` (a subsystem's installDialogs) given the
// window's context.
#include "app/ui/DialogContext.h"
#include "app/ui/EditDialog.h"
#include "app/ui/Messages.h"
#include "app/ui/TForm1.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <memory>

namespace velcaris::test {

class WindowTest : public ::testing::Test {
protected:
    void openWindow(void (*install)(const app::DialogContext&, const app::RegisterDialog&))
    {
        app::TForm1::setShowErrors(false);
        app::setQuietMessages(true);
        app::EditDialog::setBlocking(false);
        form = std::make_unique<app::TForm1>(app::AppPaths(dir.path()));
        install(form->dialogContext(), form->dialogRegistrar());
    }
    // A condominium written behind the window, then shown in its list.
    void addCondominium(const QString& name)
    {
        form->workspace().mainDb().exec("INSERT INTO Condomini (Nome) VALUES (?)", {name});
        form->workspace().ds("ADOTableCondomini").requery();
        form->fillCondominiumList();
    }
    void TearDown() override
    {
        form.reset();
        app::EditDialog::setBlocking(true);
    }

    TempDir dir;
    std::unique_ptr<app::TForm1> form;
};

} // namespace velcaris::test
