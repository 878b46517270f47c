#pragma once
// Tables the main database gained after its first layout (the meeting register, its attendance,
// resolutions and votes; the reasons kept for each allocated quota; what each payment put on each
// quota). A fresh file is created with them; an older file gets the missing ones
// when it is opened, in one transaction, without touching the tables it already has.
#include "store/Database.h"

#include <QStringList>

namespace velcaris::store {

// The names of the added tables, in creation order.
QStringList addedMainTables();

// Creates every added table (with its indexes) that `db` lacks; returns the names created.
QStringList addMissingTables(Database& db);

} // namespace velcaris::store
