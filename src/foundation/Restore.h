#pragma once
// "Ripristina": a chosen backup put in place of its database while the office is open.
#include "foundation/BackupCatalogue.h"
#include "foundation/DatabaseHealth.h"
#include "foundation/Workspace.h"

#include <QDateTime>

namespace velcaris::app {

struct RestoreRun {
    RestoreResult result;  // done, the Italian outcome, where the replaced file went
    QString startUpError;  // the reopening's failure, when the office could not be opened again
};

// Checks the backup first (key, quick check, tables) and refuses a bad one without touching
// anything. Otherwise closes the workspace, keeps the current file and its journal aside under
// a dated name ("Condomini.sostituito-20261209-101500.db"), puts the backup in place and opens
// the office again (also when the restore was refused on the way, so that work goes on).
RestoreRun restoreBackup(Workspace& ws, const BackupEntry& backup, const QDateTime& now = QDateTime::currentDateTime());

// The question asked before a restore: which database, the backup's date and contents, where the
// current file will be kept.
QString restoreQuestion(const BackupEntry& backup);

} // namespace velcaris::app
