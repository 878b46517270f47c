#pragma once
// The three databases of the program: the main one (registers and their saved queries, encrypted),
// the web one read by the owners' site, and the FAQ knowledge base. Files are created complete on
// first use and otherwise opened as they are.
#include "store/Database.h"

#include <QString>

namespace velcaris::store {

enum class DatabaseKind { Main, Web, Faq };

// A person's or supplier's display name over a table alias, as SQL: the surname alone when the
// first name is empty or missing, otherwise surname, a blank and the first name. Every view and
// statement that shows a person uses it.
QString personDisplayNameSql(const QString& alias);

// The key of the main database.
QString mainDatabaseKey();
// The key the file of that kind is opened with (empty: not encrypted).
QString databaseKey(DatabaseKind kind);
// A table every database of the kind has: its absence tells a file of another program.
QString signatureTable(DatabaseKind kind);

// Tables, indexes, views, triggers and seed rows of the kind, in one transaction.
void createSchema(Database& db, DatabaseKind kind);

// Opens the file of the kind. A missing file is built under a temporary name in the same folder
// and renamed into place once complete, so a failure never leaves a half-made database behind.
// An existing file is opened as it is and never altered; a damaged or foreign file raises
// StoreError with the engine's text and is left untouched; one without the program's tables
// raises with the fault MissingTable.
void openDatabase(Database& db, const QString& path, DatabaseKind kind);

// Connects to the server's database for the kind (main or web: two schemas of one database; the
// FAQ stays a file). On an empty database the schemas are made first, both at once; the tables
// added since are added the same way as to a file.
void openServerDatabase(Database& db, const ServerParams& params, DatabaseKind kind);

} // namespace velcaris::store
