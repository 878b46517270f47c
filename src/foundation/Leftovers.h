#pragma once
// What interrupted work leaves beside the databases, and its removal at start-up.
#include "foundation/AppPaths.h"

#include <QStringList>

namespace velcaris::app {

// Removes, from Database/, the super-journals of commits that spanned both files
// ("Condomini.db-mj…") once neither file has a journal of its own left (a journal still there
// may need its super-journal to be rolled back right, so then nothing is removed), and the trial
// folder of a condominium rename. Call it after both databases have been read. Returns the names
// removed.
QStringList removeLeftovers(const AppPaths& paths);

} // namespace velcaris::app
