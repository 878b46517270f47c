// Program entry: the command line, where the office lives, splash, main window (which opens the
// data store), settings, event loop.
#include "accounts/ui/AccountsDialogs.h"
#include "allocation/ui/AllocationDialogs.h"
#include "cashbook/ui/PaymentDialogs.h"
#include "dialogkit/Messages.h"
#include "foundation/OfficeLocation.h"
#include "foundation/Settings.h"
#include "window/CommandLine.h"
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
#include <QDir>
#include <QFileInfo>

#include <cstdio>

#ifndef VELCARIS_VERSION
#define VELCARIS_VERSION "0"
#endif

namespace {

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    if (!text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', stream);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace velcaris::app;

    // Help and version are answered before a window system is looked for: they work in a terminal
    // without a display. Qt's own options are still in this list; only the two requests count.
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const CommandLine early = parseCommandLine(raw);
    if (early.help) {
        print(stdout, commandLineHelp(QFileInfo(raw.value(0, QStringLiteral("velcaris"))).fileName()));
        return 0;
    }
    if (early.version) {
        print(stdout, QStringLiteral("Velcaris " VELCARIS_VERSION));
        return 0;
    }

    QApplication app(argc, argv);
    velcaris::store::useDotDecimalSeparator();
    // The title the desktop shows for the program, and the name of the user's folders
    // (~/.local/share/Velcaris, ~/.config/Velcaris). No organisation name: it would be a folder
    // level more. No display name is set: the platform would append it to every window's caption
    // ("Condominio — Velcaris").
    QApplication::setApplicationName(QStringLiteral("Velcaris"));
    QApplication::setApplicationVersion(QStringLiteral(VELCARIS_VERSION));
    // Wayland finds the menu entry (and its icon) of the windows by this name.
    QApplication::setDesktopFileName(QStringLiteral("velcaris"));

    const CommandLine line = parseCommandLine(QCoreApplication::arguments());
    if (!line.error.isEmpty()) {
        print(stderr, line.error);
        return 2;
    }
    // A check of the installation shows no window and no box: what it would say goes to stderr.
    if (line.verify)
        setQuietMessages(true);

    const OfficeLocation office = locateOffice(gatherOfficeFacts(line.dataFolder));
    const AppPaths paths = officePaths(office, QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    if (!paths.ensureFolders()) {
        showFailure(nullptr, QStringLiteral("Non è possibile creare la cartella dei dati \"%1\" con le sue cartelle Database "
                                            "e Output: controllare che il percorso sia giusto e scrivibile, oppure "
                                            "indicarne un altro con --dati.")
                                 .arg(QDir::toNativeSeparators(paths.appFolder())));
        for (const QString& message : takeMessages())
            print(stderr, message);
        return 1;
    }

    Tsplash* splash = nullptr;
    if (!line.verify) {
        splash = new Tsplash;
        splash->show();
        splash->repaint();
        QApplication::processEvents();
    }
    auto advance = [&splash] {
        if (splash) {
            splash->advance();
            QApplication::processEvents();
        }
    };

    TForm1 mainWindow(paths, advance);

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
        advance();

    currentSettings() = ReadSettings(paths.settingsFile());
    delete splash;
    splash = nullptr;

    if (line.verify) {
        for (const QString& message : takeMessages())
            print(stderr, message);
        print(stdout, QStringLiteral("Cartella dei dati: ") + QDir::toNativeSeparators(paths.appFolder()));
        return mainWindow.startUpError().isEmpty() ? 0 : 1;
    }

    mainWindow.showMaximized();
    return app.exec();
}
