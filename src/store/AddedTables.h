#pragma once
// Tables the main database gained after its first layout (the meeting register, its attendance,
// resolutions and votes; the reasons kept for each allocated quota; what each payment put on each
// quota; the highest receipt number given; the closings of the years). A fresh file is created
// with them; an older file gets the missing ones when it is opened, in one transaction, without
// touching the tables it already has. The web database's published quotas gained a key of their
// own the same way.
#include "store/Database.h"

#include <QStringList>

namespace velcaris::store {

// The names of the added tables, in creation order.
QStringList addedMainTables();

// The definitions of every added table, as the files have them.
QString addedTablesSql();

// Creates every added table (with its indexes) that `db` lacks; returns the names created.
QStringList addMissingTables(Database& db);

// The web database's published quotas, with their key "Id" (last, so that the columns the owners'
// site reads keep their places) and indexes.
QString webQuoteTableSql();

// Gives the published quotas of an older web database (`db` opened on that file) their key, in
// one transaction: every row keeps its values and takes as key its place in the table, so "the
// first row" of a quota stays the same row. True when the key was added.
bool addWebQuoteKey(Database& db);

} // namespace velcaris::store
