// Opening the quota register (the Quote tab's two crosstabs, their footers and the column order
// of the selected unit) and the owner statement of one person, in the large office; and, for
// comparison, the same statements run bare through the engine's C API.
//
// The office (300 condominiums, 15,000 units, 1.8 million quotas) is support/BenchOffice's.
#include "allocation/OwnerStatement.h"
#include "allocation/QuotaRegister.h"
#include "allocation/QuotaSchedule.h"
#include "foundation/Selection.h"
#include "window/TabLoading.h"
#include "foundation/Workspace.h"
#include "store/Dataset.h"
#include "store/Money.h"
#include "support/BareSql.h"
#include "support/BenchOffice.h"

#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>

#include <stdexcept>

using namespace velcaris;

namespace {

using bench::Office;
using bench::office;
using bench::runBare;

QString condominiumAt(Office& o, int i)
{
    return o.names[(i * 37) % o.names.size()];
}

// The Quote tab loaded as the window does after a choice: both views, footers, column order.
void BM_OpenQuotaRegister(benchmark::State& state)
{
    Office& o = office();
    app::Workspace& ws = *o.ws;
    int i = 0;
    qint64 columns = 0;
    for (auto _ : state) {
        state.PauseTiming();
        app::chooseCondominium(ws, condominiumAt(o, i++));
        state.ResumeTiming();
        const app::TabView view = app::LoadActiveTab(ws, app::Tab::Quote, app::TabToggles{});
        columns = view.leadingQuotaColumns.size();
        benchmark::DoNotOptimize(view.footers.size());
    }
    state.counters["unit_rows"] = ws.ds(QStringLiteral("ADOQueryQuoteSingole")).rowCount();
    state.counters["leading_columns"] = double(columns);
}
BENCHMARK(BM_OpenQuotaRegister)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same statements bare: the pivot values of each view, the two crosstabs, the column order.
void BM_BareQuotaRegisterSql(benchmark::State& state)
{
    Office& o = office();
    store::Database& db = o.ws->mainDb();
    const QString pivot = QStringLiteral(
        "SELECT DISTINCT Quote.NomeQuote AS pv FROM Quote INNER JOIN Locali AS locali ON Quote.IdLocale = locali.Id "
        "INNER JOIN Anagrafe ON locali.idProprietario = Anagrafe.Id INNER JOIN Anagrafe AS Anagrafe_1 ON locali.idInquilino = Anagrafe_1.Id "
        "INNER JOIN QueryAC ON locali.IdCondominio = QueryAC.idCondominio AND Quote.AA = QueryAC.nome "
        "WHERE locali.IdCondominio = ? ORDER BY pv COLLATE NOCASE, pv");
    const QString order = QStringLiteral("SELECT NomeQuote FROM Quote WHERE IdCondominio = ? AND IdLocale = ? "
                                         "AND Tipologia IS NOT ? AND AA = ? ORDER BY Tipologia ASC, DataScadenza ASC, IdQuota ASC");
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString name = condominiumAt(o, i++);
        const app::CrosstabSql single = app::singleQuotaViewSql(db, name, app::QuotaValue::ToPay);
        const app::CrosstabSql grouped = app::groupedQuotaViewSql(db, name, app::QuotaValue::ToPay);
        const QString year = allocation::currentYearOf(db, name);
        const qint64 unit = db.scalar(QStringLiteral("SELECT MIN(IdLocale) FROM Quote WHERE IdCondominio = ?"), {name}).toLongLong();
        state.ResumeTiming();
        for (int k = 0; k < 2; ++k)
            runBare(db.handle(), pivot, {name});
        runBare(db.handle(), single.sql, single.params);
        runBare(db.handle(), grouped.sql, grouped.params);
        runBare(db.handle(), order, {name, unit, allocation::kPersonalQuotaType, year});
    }
}
BENCHMARK(BM_BareQuotaRegisterSql)->Unit(benchmark::kMillisecond)->MinTime(2.0);

struct Person {
    QString condominium;
    qint64 owner = 0;
};

Person personAt(Office& o, int i)
{
    Person p;
    p.condominium = condominiumAt(o, i);
    p.owner = o.ws->mainDb()
                  .scalar(QStringLiteral("SELECT idProprietario FROM Locali WHERE IdCondominio = ? ORDER BY Id LIMIT 1 OFFSET ?"),
                          {p.condominium, i % 20})
                  .toLongLong();
    return p;
}

// The statement as the dialog opens it: the dataset over the bound query, its rows read, the
// amount formats and the footer sums.
void BM_OpenOwnerStatement(benchmark::State& state)
{
    Office& o = office();
    store::Dataset statement(QStringLiteral("ADOQuerySituazione"));
    statement.setConnection(&o.ws->mainDb());
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const Person p = personAt(o, i++);
        state.ResumeTiming();
        const allocation::StatementQuery q = allocation::statementQuery(p.condominium, {true, p.owner});
        statement.close();
        statement.setSql(q.sql, q.params);
        statement.open();
        double total = 0;
        for (const char* field : {"Importo", "ImportoPagato", "ImportoDaPagare"}) {
            const QString name = QString::fromLatin1(field);
            statement.setDisplayFormat(name, QStringLiteral("0.00"));
            const int column = statement.fieldIndex(name);
            for (int row = 0; row < statement.rowCount(); ++row)
                total += statement.valueAt(row, column).toDouble();
            benchmark::DoNotOptimize(store::formatAmount(total));
        }
    }
    state.counters["rows"] = statement.rowCount();
}
BENCHMARK(BM_OpenOwnerStatement)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_BareOwnerStatementSql(benchmark::State& state)
{
    Office& o = office();
    store::Database& db = o.ws->mainDb();
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const Person p = personAt(o, i++);
        state.ResumeTiming();
        const allocation::StatementQuery q = allocation::statementQuery(p.condominium, {true, p.owner});
        runBare(db.handle(), q.sql, q.params);
    }
}
BENCHMARK(BM_BareOwnerStatementSql)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
