#include "support/BareSql.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace velcaris::bench {

void runBare(sqlite3* h, const QString& sql, const QVector<QVariant>& params)
{
    sqlite3_stmt* st = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(h, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(h));
    for (int i = 0; i < params.size(); ++i) {
        const int type = params[i].typeId();
        if (type == QMetaType::LongLong || type == QMetaType::Int) {
            sqlite3_bind_int64(st, i + 1, params[i].toLongLong());
        } else if (type == QMetaType::Double) {
            sqlite3_bind_double(st, i + 1, params[i].toDouble());
        } else {
            const QByteArray v = params[i].toString().toUtf8();
            sqlite3_bind_text(st, i + 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        }
    }
    double sum = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            sum += sqlite3_column_double(st, c);
    sqlite3_finalize(st);
    benchmark::DoNotOptimize(sum);
}

} // namespace velcaris::bench
