#pragma once
// Every document goes under Output/. Folder names come from stored names (a condominium, a year),
// which an older version or another tool may have stored with "..", so a folder is made only once
// its path is known to stay inside Output/.
#include "foundation/AppPaths.h"

#include <QString>

namespace velcaris::app {

// Whether `path` stays inside Output/ once its "." and ".." parts are resolved and the links of
// the part that exists are followed.
bool insideOutput(const AppPaths& paths, const QString& path);

// Makes `folder` and its parents when it stays inside Output/; the Italian reason it was not made,
// or an empty text.
QString makeOutputFolder(const AppPaths& paths, const QString& folder);

} // namespace velcaris::app
