#pragma once
// The comparison side of a benchmark: a statement run through the engine's C API alone, its
// values bound by type, every column of every row read.
#include <QString>
#include <QVariant>
#include <QVector>
#include <sqlcipher/sqlite3.h>

namespace velcaris::bench {

// Prepares, binds (whole numbers as integers, doubles as reals, the rest as text), steps to the
// end summing every column, finalizes; the sum is kept from the optimizer. Throws on a bad statement.
void runBare(sqlite3* h, const QString& sql, const QVector<QVariant>& params);

} // namespace velcaris::bench
