// Choosing a condominium in a large office: the window's trip (the filters the selection sets, the
// Quote tab's two crosstabs, the balances over the income and expense registers); and, for
// comparison, the same quota crosstabs as bare statements of the engine.
//
// The office (300 condominiums, 15,000 units, 30,000 persons, 1.8 million quotas) is support/BenchOffice's.
#include "foundation/Selection.h"
#include "window/TabLoading.h"
#include "window/WindowView.h"
#include "foundation/Workspace.h"
#include "store/FilterText.h"
#include "store/Schema.h"
#include "support/BareSql.h"
#include "support/BenchOffice.h"

#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

using namespace velcaris;

namespace {

using bench::Office;
using bench::office;
using bench::runBare;

// With VELCARIS_BENCH_PLAN set, the engine's plan of each statement of a choice is printed once.
void printPlan(store::Database& db, const QString& title, const QString& sql, const QVector<QVariant>& params)
{
    std::fprintf(stderr, "-- %s\n", qPrintable(title));
    store::Statement st(db, QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    st.bindAll(params);
    while (st.step())
        std::fprintf(stderr, "   %s\n", qPrintable(st.value(3).toString()));
}

void printPlans(app::Workspace& ws, const QString& name)
{
    store::Database& db = ws.mainDb();
    const app::CrosstabSql single = app::singleQuotaViewSql(db, name, app::QuotaValue::ToPay);
    const app::CrosstabSql grouped = app::groupedQuotaViewSql(db, name, app::QuotaValue::ToPay);
    printPlan(db, "single quota view", single.sql, single.params);
    printPlan(db, "grouped quota view", grouped.sql, grouped.params);
    printPlan(db, "income", "SELECT * FROM QueryEntrateAC WHERE Condominio = ? ORDER BY Data COLLATE NOCASE DESC", {name});
    printPlan(db, "expenses", "SELECT * FROM QueryUsciteAC WHERE Condominio = ? ORDER BY DataPagamento COLLATE NOCASE DESC", {name});
}

// The window's whole trip for a click in the list with the Quote tab active: filters, caption,
// the tab's two crosstabs and the balances.
void chooseInWindow(app::Workspace& ws, const QString& name)
{
    app::WindowRequest request;
    request.change = app::SelectionChange::Choose;
    request.condominium = name;
    request.tab = app::Tab::Quote;
    const app::WindowView view = app::refreshWindow(ws, request);
    benchmark::DoNotOptimize(view.balances.entrateC);
}

// The same click without the caption and with a plain walk of the two registers instead of the
// balances: what the window did before the trip was one call.
void filtersAndTab(app::Workspace& ws, const QString& name)
{
    app::chooseCondominium(ws, name);
    app::LoadActiveTab(ws, app::Tab::Quote, app::TabToggles{});
    double total = 0;
    for (const char* ds : {"ADOQueryEntrate", "ADOQueryUscite"}) {
        store::Dataset& d = ws.ds(QString::fromLatin1(ds));
        const int column = d.fieldIndex(ds[8] == 'E' ? QStringLiteral("Importo") : QStringLiteral("TotaleUscito"));
        for (int row = 0; row < d.rowCount(); ++row)
            total += d.valueAt(row, column).toDouble();
    }
    benchmark::DoNotOptimize(total);
}

void BM_FiltersAndTabOnly(benchmark::State& state)
{
    Office& o = office();
    int i = 0;
    for (auto _ : state)
        filtersAndTab(*o.ws, o.names[(i++ * 37) % o.names.size()]);
}
BENCHMARK(BM_FiltersAndTabOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ChooseCondominium(benchmark::State& state)
{
    Office& o = office();
    static const bool planned = qEnvironmentVariableIsSet("VELCARIS_BENCH_PLAN") && (printPlans(*o.ws, o.names.value(0)), true);
    benchmark::DoNotOptimize(planned);
    int i = 0;
    for (auto _ : state) {
        chooseInWindow(*o.ws, o.names[(i++ * 37) % o.names.size()]);
    }
    app::Workspace& ws = *o.ws;
    state.counters["quota_rows"] = ws.ds(QStringLiteral("ADOQueryQuoteSingole")).rowCount();
    state.counters["income_rows"] = ws.ds(QStringLiteral("ADOQueryEntrate")).rowCount();
}
BENCHMARK(BM_ChooseCondominium)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_BareQuotaCrosstabSql(benchmark::State& state)
{
    Office& o = office();
    store::Database& db = o.ws->mainDb();
    const QString pivot = QStringLiteral(
        "SELECT DISTINCT Quote.NomeQuote AS pv FROM Quote INNER JOIN Locali AS locali ON Quote.IdLocale = locali.Id "
        "INNER JOIN Anagrafe ON locali.idProprietario = Anagrafe.Id INNER JOIN Anagrafe AS Anagrafe_1 ON locali.idInquilino = Anagrafe_1.Id "
        "INNER JOIN QueryAC ON locali.IdCondominio = QueryAC.idCondominio AND Quote.AA = QueryAC.nome "
        "WHERE locali.IdCondominio = ? ORDER BY pv COLLATE NOCASE, pv");
    int i = 0;
    for (auto _ : state) {
        const QString name = o.names[(i++ * 37) % o.names.size()];
        // The statement texts are made once per condominium, outside the timing of the engine's work.
        state.PauseTiming();
        const app::CrosstabSql single = app::singleQuotaViewSql(db, name, app::QuotaValue::ToPay);
        const app::CrosstabSql grouped = app::groupedQuotaViewSql(db, name, app::QuotaValue::ToPay);
        state.ResumeTiming();
        for (int k = 0; k < 2; ++k)
            runBare(db.handle(), pivot, {name});
        runBare(db.handle(), single.sql, single.params);
        runBare(db.handle(), grouped.sql, grouped.params);
    }
}
BENCHMARK(BM_BareQuotaCrosstabSql)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
