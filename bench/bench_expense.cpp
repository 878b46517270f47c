// Saving an expense with withholding in a large office and recomputing the balances: the core
// action and the two register walks; the window's whole trip after the dialog closes (the
// Uscite tab read again, then the balances); and, for comparison, the same insert and sums as
// bare statements of the engine. Each saved row is removed again outside the timing, so the
// office stays as generated.
//
// The office (300 condominiums, 300,000 income and 150,000 expense rows) is support/BenchOffice's.
#include "foundation/Selection.h"
#include "window/WindowView.h"
#include "foundation/Workspace.h"
#include "cashbook/Balances.h"
#include "cashbook/Expenses.h"
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

cashbook::ExpenseInput expenseOf(app::Workspace& ws, const QString& name)
{
    cashbook::ExpenseInput in;
    in.condominio = name;
    in.aa = ws.mainDb()
                .scalar(QStringLiteral("SELECT nome FROM AnnoAmministrativo WHERE idCondominio = ? AND corrente = 1"), {name})
                .toString();
    in.fornitore = 1;
    in.tipoSpesa = QStringLiteral("Manutenzione");
    in.tabella = QStringLiteral("A");
    in.causale = QStringLiteral("Parcella");
    in.numFattura = QStringLiteral("12");
    in.dataFattura = in.dataPagamento = in.periodoRiferimento = in.dataRitenuta = QDate(2024, 5, 10);
    in.importoLordo = QStringLiteral("1000.00");
    in.imponibileIVA = QStringLiteral("820.00");
    in.commissione = QStringLiteral("2.00");
    in.pagamento = QStringLiteral("Conto Corrente");
    in.tipologia = QStringLiteral("Spese ordinarie");
    in.ritenuta = true;
    in.importoNetto = QStringLiteral("800.00");
    in.ritenuteOperate = QStringLiteral("200.00");
    in.interessi = QStringLiteral("0.00");
    in.codTributo = QStringLiteral("1040");
    in.metodoRitenuta = QStringLiteral("Cassa");
    return in;
}

void removeExpense(app::Workspace& ws, qint64 id)
{
    ws.mainDb().exec(QStringLiteral("DELETE FROM Uscite WHERE id = ?"), {id});
}

void BM_SaveExpenseAndBalances(benchmark::State& state)
{
    Office& o = office();
    app::Workspace& ws = *o.ws;
    const QString name = o.names.value(151);
    app::chooseCondominium(ws, name);
    const cashbook::ExpenseInput in = expenseOf(ws, name);
    for (auto _ : state) {
        const app::Outcome out = cashbook::addExpense(ws, in);
        const cashbook::Balances b = cashbook::RicalcolaSaldi(ws);
        benchmark::DoNotOptimize(b.usciteCC);
        state.PauseTiming();
        if (!out.done)
            throw std::runtime_error(out.texts().join(u'|').toStdString());
        removeExpense(ws, *out.newKey);
        state.ResumeTiming();
    }
    state.counters["income_rows"] = ws.ds(QStringLiteral("ADOQueryEntrate")).rowCount();
    state.counters["expense_rows"] = ws.ds(QStringLiteral("ADOQueryUscite")).rowCount();
}
BENCHMARK(BM_SaveExpenseAndBalances)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// What the user waits for: the save, then the window's refresh with the Uscite tab active.
void BM_SaveExpenseAndWindowRefresh(benchmark::State& state)
{
    Office& o = office();
    app::Workspace& ws = *o.ws;
    const QString name = o.names.value(151);
    app::chooseCondominium(ws, name);
    const cashbook::ExpenseInput in = expenseOf(ws, name);
    app::WindowRequest request;
    request.change = app::SelectionChange::Refresh;
    request.tab = app::Tab::Uscite;
    for (auto _ : state) {
        const app::Outcome out = cashbook::addExpense(ws, in);
        const app::WindowView view = app::refreshWindow(ws, request);
        benchmark::DoNotOptimize(view.balances.usciteCC);
        state.PauseTiming();
        removeExpense(ws, *out.newKey);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SaveExpenseAndWindowRefresh)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same row written and the same sums taken by the engine alone.
void BM_BareSaveExpenseAndSums(benchmark::State& state)
{
    Office& o = office();
    app::Workspace& ws = *o.ws;
    sqlite3* h = ws.mainDb().handle();
    const QString name = o.names.value(151);
    const QString year = expenseOf(ws, name).aa;
    for (auto _ : state) {
        runBare(h,
             "INSERT INTO Uscite (Condominio, AA, TipoMovimento, TipoSpesa, Tabella, IdFornitore, Causale, NumFattura, "
             "DataFattura, ImportoLordo, ImponibileIVA, IVA, Commissione, DataPagamento, Pagamento, Tipologia, pagato, "
             "MetodoRitenuta, ImportoNetto, RitenuteOperate, Interessi, CodTributo) VALUES (?, ?, 'Uscita', "
             "'Manutenzione', 'A', 1, 'Parcella', '12', '2024-05-10', 802.0, 820.0, 180.0, 2.0, '2024-05-10', "
             "'Conto Corrente', 'Spese ordinarie', 1, 'Cassa', 800.0, 200.0, 0.0, '1040')",
             {name, year});
        const qint64 id = sqlite3_last_insert_rowid(h);
        runBare(h,
             "SELECT SUM(CASE WHEN MetodoPagamento = 'Cassa' THEN Importo ELSE 0 END), "
             "SUM(CASE WHEN MetodoPagamento = 'Cassa' THEN 0 ELSE Importo END) FROM QueryEntrateAC WHERE Condominio = ?",
             {name});
        runBare(h,
             "SELECT SUM(CASE WHEN Pagamento = 'Cassa' THEN ImportoFattura + COALESCE(Commissione, 0) "
             "- COALESCE(RitenuteOperate, 0) ELSE 0 END), SUM(CASE WHEN MetodoRitenuta = 'Cassa' "
             "THEN COALESCE(RitenuteOperate, 0) + COALESCE(Interessi, 0) ELSE 0 END) FROM QueryUsciteAC "
             "WHERE Condominio = ? AND pagato <> 0",
             {name});
        state.PauseTiming();
        removeExpense(ws, id);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BareSaveExpenseAndSums)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
