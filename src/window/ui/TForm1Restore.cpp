#include "window/ui/TForm1.h"

// What the window does about where its data lives: the status bar's line naming the folder or the
// server, a missing database file found at start-up beside its backup, "Ripristina", which puts a
// chosen backup in place and opens the office again, and "Trasferisci su server", which copies the
// files into an empty server database.
#include "dialogkit/ConfirmWithCaptions.h"
#include "dialogkit/Messages.h"
#include "foundation/BackupCatalogue.h"
#include "foundation/DatabaseHealth.h"
#include "foundation/Restore.h"
#include "window/ui/BankPanel.h"
#include "window/ui/RestoreDialog.h"
#include "window/ui/TFTrasferisciServer.h"

#include <QDir>
#include <QLabel>
#include <QStatusBar>

namespace velcaris::app {

void TForm1::askAboutMissingDatabases()
{
    for (const BackupEntry& missing : missingDatabases(workspace_->paths())) {
        // An unusable backup is not offered: the start keeps it aside and says so.
        if (!missing.usable)
            continue;
        const int answer = ConfirmWithCaptions(missingDatabaseQuestion(missing), DialogKind::Custom,
                                               {QStringLiteral("Ripristina"), QStringLiteral("Inizia vuoto")}, this);
        if (answer != 1)
            continue;
        const RestoreResult restored = restoreFromBackup(missing.kind, missing.database, missing.file);
        if (restored.done)
            app::showInformation(this, restored.message);
        else
            app::showFailure(this, restored.message);
    }
}

void TForm1::restoreCommand()
{
    const QVector<BackupEntry> backups = listBackups(workspace_->paths());
    if (backups.isEmpty()) {
        app::showInformation(this, QStringLiteral("Non c'è ancora nessuna copia di sicurezza: la prima si fa al prossimo "
                                                  "avvio del programma."));
        return;
    }
    TFRipristino dialog(backups, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const BackupEntry chosen = dialog.chosen();
    if (chosen.usable && ConfirmWithCaptions(restoreQuestion(chosen), DialogKind::Confirmation, {"Si", "No"}, this) != 1)
        return;
    bankPanel_->hide();
    const RestoreRun run = restoreBackup(*workspace_, chosen);
    startUpError_ = run.startUpError;
    // The window shows the office as it is now, as after a start.
    fillCondominiumList();
    if (startUpError_.isEmpty()) {
        refresh(SelectionChange::Clear);
        applyGridLayouts();
        showBalances();
    }
    if (run.result.done)
        app::showInformation(this, run.result.message);
    else
        app::showFailure(this, run.result.message);
    if (!startUpError_.isEmpty())
        showError(startUpError_);
    for (const QString& warning : workspace_->startUpWarnings())
        app::showWarning(this, warning);
}

void TForm1::transferToServerCommand()
{
    TFTrasferisciServer dialog(workspace_->paths(), this);
    dialog.exec();
}

void TForm1::showOfficePlace()
{
    // Always in sight: an installed program keeps the office in the user's folders, a studio's
    // desks share one on a server.
    const QString where = workspace_->isServer()
                              ? QStringLiteral("Ufficio condiviso sul server: %1 · documenti in %2")
                                    .arg(workspace_->server().describe(),
                                         QDir::toNativeSeparators(workspace_->paths().outputFolder()))
                              : QStringLiteral("Cartella dei dati: ") +
                                    QDir::toNativeSeparators(workspace_->paths().appFolder());
    auto* office = new QLabel(where, this);
    office->setObjectName(QStringLiteral("LabelCartellaDati"));
    office->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(office);
}

void TForm1::offerServerTransfer()
{
    // An office already on a server has nothing to transfer, and no file backups to restore: its
    // copies are the server's own (pg_dump).
    serverTransferAction_->setVisible(!workspace_->isServer());
    restoreAction_->setVisible(!workspace_->isServer());
}

} // namespace velcaris::app
