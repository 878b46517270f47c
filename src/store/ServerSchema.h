#pragma once
// What the server needs beside the tables to read the program's statements as the files do:
// the schemas, the column kinds, the functions the embedded engine has built in (or the program
// adds to it), and the tables' definitions turned into the server's.
#include <QString>
#include <QStringList>

namespace velcaris::store {

// The schemas main and web, the domains that keep the declared kind of a column (vdate and vtime
// are ISO text, vbool is 0/1), and the functions: vlike(pattern, value) of the filters, vnocase()
// of the sorts, round(double precision, integer), group_concat(), ifnull(), vlastval().
QString serverPreambleSql();

// The files' CREATE TABLE / CREATE INDEX text as the server's: an integer key becomes an identity
// column; a table without one gets the hidden identity column hiddenKeyColumn(); DATE, TIME and
// BOOLEAN columns take the domains.
QString serverTableSql(const QString& fileSql);

// A view written through: its INSERT, UPDATE and DELETE passed to the table (the files do it with
// INSTEAD OF triggers). Fields: the columns both share, ", "-separated.
QStringList serverWritableViewSql(const QString& view, const QString& table, const QString& viewKey,
                                  const QString& tableKey, const QString& fields);

} // namespace velcaris::store
