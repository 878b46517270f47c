// A key stroke in the search window on the large office: the register's filter set from the
// typed text, its rows read, and the totals recomputed as the window does after every key; and,
// for comparison, the same rows read by bare statements of the engine (its own LIKE).
#include "window/WindowView.h"
#include "cashbook/Balances.h"
#include "search/Search.h"
#include "support/BenchOffice.h"

#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>

#include <stdexcept>

using namespace velcaris;

namespace {

// The texts typed one key at a time: each prefix is one key stroke.
const char* const kPersonTyped = "cognome12";
const char* const kNoteTyped = "rata 1";

void choose(app::Workspace& ws, const QString& name, app::Tab tab)
{
    app::WindowRequest request;
    request.change = name.isEmpty() ? app::SelectionChange::Clear : app::SelectionChange::Choose;
    request.condominium = name;
    request.tab = tab;
    app::refreshWindow(ws, request);
}

// One key stroke: the filter, the rows the grid shows, the totals.
void keyStroke(app::Workspace& ws, const search::SearchTarget& target, const QString& typed)
{
    search::applySearch(ws, target, typed);
    benchmark::DoNotOptimize(ws.ds(target.dataset).rowCount());
    if (search::searchMovesTotals(target))
        benchmark::DoNotOptimize(cashbook::totalsOfShownRows(ws).entrateC);
}

void typing(benchmark::State& state, search::SearchKind kind, app::Tab tab, const char* text, bool withCondominium)
{
    bench::Office& o = bench::office();
    app::Workspace& ws = *o.ws;
    choose(ws, withCondominium ? o.names.value(17) : QString(), tab);
    const search::SearchTarget target = *search::searchTarget(kind, tab);
    // The tab's grid has shown the register before the search window opens: its rows are read.
    ws.ds(target.dataset).rowCount();
    const QString typed = QString::fromUtf8(text);
    qsizetype length = 1;
    for (auto _ : state) {
        keyStroke(ws, target, typed.left(length));
        length = length % typed.size() + 1;
    }
    state.counters["rows"] = ws.ds(target.dataset).rowCount();
}

void BM_KeyStroke_AnagrafePersons(benchmark::State& s) { typing(s, search::SearchKind::Persona, app::Tab::Anagrafe, kPersonTyped, true); }
void BM_KeyStroke_EntratePersons(benchmark::State& s) { typing(s, search::SearchKind::Persona, app::Tab::Entrate, kPersonTyped, true); }
void BM_KeyStroke_EntrateNotes(benchmark::State& s) { typing(s, search::SearchKind::Nota, app::Tab::Entrate, kNoteTyped, true); }
BENCHMARK(BM_KeyStroke_AnagrafePersons)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_KeyStroke_EntratePersons)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_KeyStroke_EntrateNotes)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Every search mode with no condominium chosen: the registers show every condominium's current
// year, and each key narrows them. Beside each, the old statement a key stroke used to run.
struct Mode {
    search::SearchKind kind;
    app::Tab tab;
    const char* typed;
    const char* oldStatement; // the register's statement with the typed text as the LIKE term
    const char* otherRegister; // the register the totals re-read besides (income or expenses)
};
const char* const kIncomeAll = "SELECT * FROM QueryEntrateAC ORDER BY Data COLLATE NOCASE DESC";
const char* const kExpensesAll = "SELECT * FROM QueryUsciteAC ORDER BY DataPagamento COLLATE NOCASE DESC";
const Mode kModes[] = {
    {search::SearchKind::Persona, app::Tab::Entrate, kPersonTyped,
     "SELECT * FROM QueryEntrateAC WHERE Persona LIKE ? ORDER BY Data COLLATE NOCASE DESC", kExpensesAll},
    {search::SearchKind::Persona, app::Tab::Uscite, "fornitore",
     "SELECT * FROM QueryUsciteAC WHERE Fornitore LIKE ? ORDER BY DataPagamento COLLATE NOCASE DESC", kIncomeAll},
    {search::SearchKind::Persona, app::Tab::Fornitori, "fornitore", "SELECT * FROM QueryFornitori WHERE Fornitore LIKE ?", nullptr},
    {search::SearchKind::Persona, app::Tab::Anagrafe, kPersonTyped,
     "SELECT rowid, * FROM Anagrafe WHERE IdCondominio <> '' AND Cognome LIKE ?", nullptr},
    {search::SearchKind::Quota, app::Tab::Entrate, kNoteTyped,
     "SELECT * FROM QueryEntrateAC WHERE Nome LIKE ? ORDER BY Data COLLATE NOCASE DESC", kExpensesAll},
    {search::SearchKind::Quota, app::Tab::Uscite, "spese",
     "SELECT * FROM QueryUsciteAC WHERE Causale LIKE ? ORDER BY DataPagamento COLLATE NOCASE DESC", kIncomeAll},
    {search::SearchKind::Nota, app::Tab::Entrate, kNoteTyped,
     "SELECT * FROM QueryEntrateAC WHERE Nota LIKE ? ORDER BY Data COLLATE NOCASE DESC", kExpensesAll},
    {search::SearchKind::Nota, app::Tab::Uscite, "nota",
     "SELECT * FROM QueryUsciteAC WHERE Nota LIKE ? ORDER BY DataPagamento COLLATE NOCASE DESC", kIncomeAll},
    {search::SearchKind::Nota, app::Tab::Fornitori, "nota", "SELECT * FROM QueryFornitori WHERE Note LIKE ?", nullptr},
    {search::SearchKind::Nota, app::Tab::Anagrafe, "telefonare",
     "SELECT rowid, * FROM Anagrafe WHERE IdCondominio <> '' AND Note LIKE ?", nullptr},
};

// Every column of every row of one statement, as a dataset reads them.
void readAll(sqlite3* h, const char* sql, const QStringList& params)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h, sql, -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(h));
    for (int i = 0; i < params.size(); ++i) {
        const QByteArray v = params[i].toUtf8();
        sqlite3_bind_text(st, i + 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
    }
    qint64 bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            bytes += sqlite3_column_bytes(st, c);
    sqlite3_finalize(st);
    benchmark::DoNotOptimize(bytes);
}

// The old statements of a key stroke: the register narrowed by the engine's LIKE ('%' wildcards),
// and the other register the totals read again.
void bareOld(benchmark::State& state, const Mode& mode)
{
    sqlite3* h = bench::office().ws->mainDb().handle();
    const QString typed = QString::fromUtf8(mode.typed);
    qsizetype length = 1;
    for (auto _ : state) {
        readAll(h, mode.oldStatement, {u'%' + typed.left(length) + u'%'});
        if (mode.otherRegister)
            readAll(h, mode.otherRegister, {});
        length = length % typed.size() + 1;
    }
}

// The balances with no condominium chosen: after a search narrowed the registers (the rows in
// memory), and after a write (the two registers read again).
void BM_Balances_AllCondominiums_ShownRows(benchmark::State& state)
{
    app::Workspace& ws = *bench::office().ws;
    choose(ws, QString(), app::Tab::Entrate);
    for (auto _ : state)
        benchmark::DoNotOptimize(cashbook::totalsOfShownRows(ws).entrateC);
}
void BM_Balances_AllCondominiums_ReadAgain(benchmark::State& state)
{
    app::Workspace& ws = *bench::office().ws;
    choose(ws, QString(), app::Tab::Entrate);
    for (auto _ : state)
        benchmark::DoNotOptimize(cashbook::RicalcolaSaldi(ws).entrateC);
}
BENCHMARK(BM_Balances_AllCondominiums_ShownRows)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Balances_AllCondominiums_ReadAgain)->Unit(benchmark::kMillisecond)->MinTime(1.0);

const bool kRegistered = [] {
    for (const Mode& mode : kModes) {
        const QString name = search::searchTarget(mode.kind, mode.tab)->mode;
        benchmark::RegisterBenchmark(("BM_KeyStrokeAllCondominiums/" + name).toStdString().c_str(),
                                     [&mode](benchmark::State& s) { typing(s, mode.kind, mode.tab, mode.typed, false); })
            ->Unit(benchmark::kMillisecond)->MinTime(1.0);
        benchmark::RegisterBenchmark(("BM_BareOldSqlAllCondominiums/" + name).toStdString().c_str(),
                                     [&mode](benchmark::State& s) { bareOld(s, mode); })
            ->Unit(benchmark::kMillisecond)->MinTime(1.0);
    }
    return true;
}();

} // namespace
