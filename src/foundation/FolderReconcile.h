#pragma once
// A condominium's output folder carries its full name, but a folder is not part of a database
// transaction. A rename or a deletion therefore records its intent before the rows commit and
// moves or removes the folder after; the next start completes or drops an intent that a crash
// left behind, and tells the user about folders that still do not match.
#include "foundation/AppPaths.h"

#include <QString>
#include <QStringList>

namespace velcaris::app {

// Database/CartellaDaRinominare.json
QString pendingFolderRenameFile(const AppPaths& paths);

// Records that Output/<fromName> is to become Output/<toName> once the rename commits; false when
// the record could not be written.
bool recordPendingFolderRename(const AppPaths& paths, const QString& fromName, const QString& toName);
// Records that Output/<name> is to go once the condominium's deletion commits.
bool recordPendingFolderRemoval(const AppPaths& paths, const QString& name);
void clearPendingFolderRename(const AppPaths& paths);

// Start-up, with the full names the Condomini table holds. A recorded rename whose new name is
// committed moves the folder that still has the old name; one whose old name is still there was
// never committed and is dropped. A recorded deletion whose name is gone removes the folder; one
// whose name is still there was never committed and is dropped. Then, if some condominium has no folder while folders of no
// condominium's name are there, the returned Italian warnings name both. Nothing is guessed:
// folders are moved only as recorded.
QStringList reconcileFolders(const AppPaths& paths, const QStringList& condominiumNames);

} // namespace velcaris::app
