#pragma once
// Copies of a database taken through the engine, and the check that tells a usable file.
// A copy read from an open connection sees only committed pages (a crash in the middle of a
// commit was rolled back when the connection opened), which a copy of the bare file does not.
#include "store/Schema.h"
#include "store/StoreError.h"

#include <QString>

namespace velcaris::store {

// Writes the whole of `source` (its main schema) into a new file `destination` encrypted with
// `key`, page by page through the engine's online backup. Raises StoreError on failure, leaving
// no destination file behind. `destination` must not exist.
void copyOpenDatabase(Database& source, const QString& destination, const QString& key);

struct FileCheck {
    bool ok = false;
    QString detail;                      // the engine's text when not ok
    StoreFault fault = StoreFault::Other;
};

// Opens the file read-only with the key of its kind and runs the engine's quick check; ok when
// it opens, has the kind's tables and every page agrees. The file is never written.
FileCheck checkDatabaseFile(const QString& path, DatabaseKind kind);

} // namespace velcaris::store
