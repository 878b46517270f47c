#pragma once
// The program's SQL as the server engine reads it. The statements above the store are written
// once, in the dialect the embedded files understand; the few places where the server reads them
// otherwise are rewritten here, token by token, never inside quoted text:
//   ?                         -> $1, $2, ... (in order)
//   "Name"                    -> "name" (names are told apart without regard to case, as in the files)
//   x COLLATE NOCASE          -> vnocase(x) (ASCII letters folded, as the files compare them)
//   ASC / DESC                -> ASC NULLS FIRST / DESC NULLS LAST (empty values first, as in the files)
//   a IS b, a IS NOT b        -> a IS NOT DISTINCT FROM b, a IS DISTINCT FROM b
//   REAL, DOUBLE              -> DOUBLE PRECISION (the files' floating values have 8 bytes)
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace velcaris::store {

// An INSERT of the text: the table it writes, spelled as the server reads it ("quote",
// web."quote"), and the columns it names, folded. A key given explicitly does not advance the
// server's identity sequence; the connection moves it on after such an insert.
struct InsertTarget {
    QString table;
    QStringList columns;
    bool allColumns = false; // no column list: the values fill the table's columns in order
};

struct ServerSql {
    QString text;
    int parameters = 0;
    // Every name the statement spells (folded -> as written), so that a result column comes back
    // with the spelling the program used.
    QHash<QString, QString> spellings;
    QVector<InsertTarget> inserts;
};

ServerSql toServerSql(const QString& sql);

// ASCII letters in lower case, the way the server folds a name that is not quoted.
QString foldName(const QString& name);

// The spelling the program gives a name the server reports folded: the statement's own, else
// the schema's, else the name as reported.
QString spelledName(const QString& folded, const QHash<QString, QString>& statement);

// Remembers the spellings of the names in the text (the schema's definitions).
void learnSpellings(const QString& sql);

} // namespace velcaris::store
