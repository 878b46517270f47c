// Program entry: splash, main window (which opens the data store), settings, event loop.
#include "accounts/ui/AccountsDialogs.h"
#include "allocation/ui/AllocationDialogs.h"
#include "cashbook/ui/PaymentDialogs.h"
#include "foundation/AppPaths.h"
#include "foundation/Settings.h"
#include "window/ui/TForm1.h"
#include "window/ui/Tsplash.h"
#include "cashbook/ui/MovementDialogs.h"
#include "einvoice/ui/EInvoiceDialogs.h"
#include "publishing/ui/PublishingDialogs.h"
#include "agenda/ui/AgendaDialogs.h"
#include "faq/ui/FaqDialogs.h"
#include "meeting/ui/MeetingDialogs.h"
#include "registry/ui/RegistryDialogs.h"
#include "search/ui/SearchDialogs.h"
#include "sheetimport/ui/SheetImportDialogs.h"
#include "store/Money.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    velcaris::store::useDotDecimalSeparator();
    // The title the desktop shows for the program. No display name is set: the platform would
    // append it to every window's caption ("Condominio — Velcaris").
    QApplication::setApplicationName(QStringLiteral("Velcaris"));

    auto* splash = new velcaris::app::Tsplash;
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    velcaris::app::AppPaths paths;
    velcaris::app::TForm1 mainWindow(paths, [splash] {
        splash->advance();
        QApplication::processEvents();
    });

    // The dialogs, created once and reused; each one moves the splash bar.
    velcaris::registry::ui::installDialogs(mainWindow.dialogContext(), mainWindow.dialogRegistrar());
    velcaris::publishing::ui::installDialogs(mainWindow.dialogContext(), mainWindow.dialogRegistrar());
    velcaris::allocation::ui::installDialogs(mainWindow.dialogContext(), mainWindow.dialogRegistrar());
    velcaris::agenda::ui::installDialogs(mainWindow.dialogContext(), mainWindow.dialogRegistrar());
    velcaris::search::ui::installDialogs(mainWindow.dialogContext(), mainWindow.dialogRegistrar());
    velcaris::faq::ui::installDialogs(mainWindow.dialogContext(), mainWindow.dialogRegistrar());
    velcaris::cashbook::ui::installPaymentDialogs(mainWindow.dialogContext(), mainWindow.dialogRegistrar());
    velcaris::cashbook::ui::installMovementDialogs(mainWindow.dialogContext(), mainWindow.dialogRegistrar());
    velcaris::meeting::ui::installDialogs(mainWindow.dialogContext(), mainWindow.dialogRegistrar());
    velcaris::accounts::ui::installDialogs(mainWindow.dialogContext(), mainWindow.dialogRegistrar());
    velcaris::einvoice::ui::installDialogs(mainWindow.dialogContext(), mainWindow.dialogRegistrar());
    velcaris::sheetimport::ui::installDialogs(mainWindow.dialogContext(), mainWindow.dialogRegistrar());
    for (int created = 0; created < 5; ++created)
        splash->advance();

    velcaris::app::ReadSettings();
    splash->hide();
    delete splash;

    mainWindow.showMaximized();
    return app.exec();
}
