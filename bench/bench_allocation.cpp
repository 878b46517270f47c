// Allocation of a 200-unit condominium with 6 tables into 12 instalments (2,400 quotas, half of
// them published to the web database) inside the large office: the confirmation as the dialog
// runs it (checks, computation, preview figures, writing in one transaction), and for
// comparison the same rows inserted by bare prepared statements in one transaction.
//
// The condominium is added to the office when the run starts and removed when it ends; it has no
// Condomini row, so the other benchmarks' list of condominiums does not change.
#include "allocation/Allocation.h"
#include "foundation/Workspace.h"
#include "store/Database.h"
#include "support/BenchOffice.h"
#include "support/Workloads.h"

#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>

#include <stdexcept>

using namespace velcaris;

namespace {

const QString kBuilding = QStringLiteral("Bench Ripartizione - Via Lunga 200");
const QString kYear = bench::allocationYear();

void removeQuotas(store::Database& db)
{
    bench::removeAllocationQuotas(db, kBuilding);
}

void removeBuilding(store::Database& db)
{
    bench::removeAllocationBuilding(db, kBuilding);
}

void addBuilding(store::Database& db)
{
    bench::addAllocationBuilding(db, kBuilding);
}

bench::TemporaryBuilding& building()
{
    static bench::TemporaryBuilding b(kBuilding, addBuilding, removeBuilding);
    return b;
}

void BM_AllocationConfirm(benchmark::State& state)
{
    bench::TemporaryBuilding& b = building();
    app::Workspace& ws = *b.office.ws;
    const allocation::AllocationInput in = bench::allocationInput();
    qint64 rows = 0;
    for (auto _ : state) {
        const app::Outcome done = allocation::confirmAllocation(ws, in);
        if (!done.done)
            throw std::runtime_error(done.texts().join(u'|').toStdString());
        rows = done.newKey.value_or(0);
        state.PauseTiming();
        removeQuotas(ws.mainDb());
        state.ResumeTiming();
    }
    state.counters["quota_rows"] = double(rows);
    state.counters["web_rows"] = double(allocation::checkAllocation(ws, in).preview.webRows);
}
BENCHMARK(BM_AllocationConfirm)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same rows, computed beforehand, through two prepared statements in one transaction.
void BM_BareInsertOfTheSameRows(benchmark::State& state)
{
    bench::TemporaryBuilding& b = building();
    app::Workspace& ws = *b.office.ws;
    store::Database& db = ws.mainDb();
    const allocation::AllocationCheck check = allocation::checkAllocation(ws, bench::allocationInput());
    struct Web {
        qint64 owner = 0;
        QByteArray name;
        bool published = false;
    };
    QHash<qint64, Web> units;
    {
        store::Statement st(db, QStringLiteral("SELECT l.Id, l.idProprietario, l.Nome, EXISTS (SELECT 1 FROM web.Accesso AS a "
                                               "WHERE a.id = l.idProprietario) FROM Locali AS l WHERE l.IdCondominio = ?"));
        st.bind(1, kBuilding);
        while (st.step())
            units.insert(st.value(0).toLongLong(), {st.value(1).toLongLong(), st.value(2).toString().toUtf8(), st.value(3).toBool()});
    }
    const QByteArray cond = kBuilding.toUtf8(), year = kYear.toUtf8(), type = check.preview.type.toUtf8();
    sqlite3* h = db.handle();
    auto prepare = [h](const char* sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(h, sql, -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(h));
        return st;
    };
    for (auto _ : state) {
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* main = prepare("INSERT INTO main.Quote (IdCondominio, IdLocale, NomeQuote, Importo, Tipologia, "
                                     "DataScadenza, AA) VALUES (?,?,?,?,?,?,?)");
        sqlite3_stmt* web = prepare("INSERT INTO web.Quote (Condominio, IdProprietario, IdInquilino, idLocale, Locale, "
                                    "NomeQuote, Importo, Tipologia, DataScadenza, AA, Nota) VALUES (?,?,?,?,?,?,?,?,?,?,NULL)");
        for (const allocation::PlanRow& row : check.result.rows) {
            const QByteArray name = row.name.toUtf8(), due = row.due.toString(Qt::ISODate).toUtf8();
            sqlite3_bind_text(main, 1, cond.constData(), int(cond.size()), SQLITE_STATIC);
            sqlite3_bind_int64(main, 2, row.unitId);
            sqlite3_bind_text(main, 3, name.constData(), int(name.size()), SQLITE_STATIC);
            sqlite3_bind_double(main, 4, row.amount.toDouble());
            sqlite3_bind_text(main, 5, type.constData(), int(type.size()), SQLITE_STATIC);
            sqlite3_bind_text(main, 6, due.constData(), int(due.size()), SQLITE_STATIC);
            sqlite3_bind_text(main, 7, year.constData(), int(year.size()), SQLITE_STATIC);
            sqlite3_step(main);
            sqlite3_reset(main);
            const Web& u = units[row.unitId];
            if (!u.published)
                continue;
            sqlite3_bind_text(web, 1, cond.constData(), int(cond.size()), SQLITE_STATIC);
            sqlite3_bind_int64(web, 2, u.owner);
            sqlite3_bind_int64(web, 3, u.owner);
            sqlite3_bind_int64(web, 4, row.unitId);
            sqlite3_bind_text(web, 5, u.name.constData(), int(u.name.size()), SQLITE_STATIC);
            sqlite3_bind_text(web, 6, name.constData(), int(name.size()), SQLITE_STATIC);
            sqlite3_bind_double(web, 7, row.amount.toDouble());
            sqlite3_bind_text(web, 8, type.constData(), int(type.size()), SQLITE_STATIC);
            sqlite3_bind_text(web, 9, due.constData(), int(due.size()), SQLITE_STATIC);
            sqlite3_bind_text(web, 10, year.constData(), int(year.size()), SQLITE_STATIC);
            sqlite3_step(web);
            sqlite3_reset(web);
        }
        sqlite3_finalize(main);
        sqlite3_finalize(web);
        if (sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(h));
        state.PauseTiming();
        removeQuotas(db);
        state.ResumeTiming();
    }
    state.counters["quota_rows"] = double(check.result.rows.size());
}
BENCHMARK(BM_BareInsertOfTheSameRows)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
