#pragma once
// Deleting a condominium: every row that carries its name in both databases (its published
// quotas and its owners' web credentials too), in one transaction; then its output folder.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"

namespace velcaris::registry {

// "La cartella "<folder>" non è stata eliminata: ..." (the rows are gone, the folder stayed).
QString folderNotRemovedMessage(const QString& folder);

// Deletes the current condominium, which then becomes none. The folder is removed only after the
// rows are committed; a folder that stays is reported as a warning of a done outcome.
app::Outcome deleteCondominium(app::Workspace& ws);

} // namespace velcaris::registry
