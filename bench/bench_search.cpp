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
        benchmark::DoNotOptimize(cashbook::RicalcolaSaldi(ws).entrateC);
}

void typing(benchmark::State& state, search::SearchKind kind, app::Tab tab, const char* text, bool withCondominium)
{
    bench::Office& o = bench::office();
    app::Workspace& ws = *o.ws;
    choose(ws, withCondominium ? o.names.value(17) : QString(), tab);
    const search::SearchTarget target = *search::searchTarget(kind, tab);
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
void BM_KeyStroke_AnagrafePersonsAllCondominiums(benchmark::State& s) { typing(s, search::SearchKind::Persona, app::Tab::Anagrafe, kPersonTyped, false); }
void BM_KeyStroke_EntrateNotesAllCondominiums(benchmark::State& s) { typing(s, search::SearchKind::Nota, app::Tab::Entrate, kNoteTyped, false); }
BENCHMARK(BM_KeyStroke_AnagrafePersons)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_KeyStroke_EntratePersons)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_KeyStroke_EntrateNotes)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_KeyStroke_AnagrafePersonsAllCondominiums)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_KeyStroke_EntrateNotesAllCondominiums)->Unit(benchmark::kMillisecond)->MinTime(1.0);

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

// The same work as bare statements: the filtered register (the engine's LIKE, '%' wildcards), and
// the income and expense rows the totals walk.
void bare(benchmark::State& state, const char* registerSql, const char* typedText, bool incomeIsTheRegister,
          bool withCondominium)
{
    bench::Office& o = bench::office();
    sqlite3* h = o.ws->mainDb().handle();
    const QStringList place = withCondominium ? QStringList{o.names.value(17)} : QStringList();
    const QString typed = QString::fromUtf8(typedText);
    qsizetype length = 1;
    for (auto _ : state) {
        const QString pattern = u'%' + typed.left(length) + u'%';
        readAll(h, registerSql, place + QStringList{pattern});
        if (incomeIsTheRegister) {
            // The totals: the income as filtered, and the expenses.
            readAll(h, registerSql, place + QStringList{pattern});
            readAll(h, withCondominium ? "SELECT * FROM QueryUsciteAC WHERE Condominio = ? ORDER BY DataPagamento COLLATE NOCASE DESC"
                                       : "SELECT * FROM QueryUsciteAC ORDER BY DataPagamento COLLATE NOCASE DESC",
                    place);
        }
        length = length % typed.size() + 1;
    }
}

void BM_BareSql_AnagrafePersons(benchmark::State& s)
{
    bare(s, "SELECT rowid, * FROM Anagrafe WHERE IdCondominio = ? AND IdCondominio <> '' AND Cognome LIKE ?", kPersonTyped,
         false, true);
}
void BM_BareSql_EntratePersons(benchmark::State& s)
{
    bare(s, "SELECT * FROM QueryEntrateAC WHERE Condominio = ? AND Persona LIKE ? ORDER BY Data COLLATE NOCASE DESC",
         kPersonTyped, true, true);
}
void BM_BareSql_EntrateNotes(benchmark::State& s)
{
    bare(s, "SELECT * FROM QueryEntrateAC WHERE Condominio = ? AND Nota LIKE ? ORDER BY Data COLLATE NOCASE DESC", kNoteTyped,
         true, true);
}
void BM_BareSql_AnagrafePersonsAllCondominiums(benchmark::State& s)
{
    bare(s, "SELECT rowid, * FROM Anagrafe WHERE IdCondominio <> '' AND Cognome LIKE ?", kPersonTyped, false, false);
}
void BM_BareSql_EntrateNotesAllCondominiums(benchmark::State& s)
{
    bare(s, "SELECT * FROM QueryEntrateAC WHERE Nota LIKE ? ORDER BY Data COLLATE NOCASE DESC", kNoteTyped, true, false);
}
BENCHMARK(BM_BareSql_AnagrafePersons)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_BareSql_EntratePersons)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_BareSql_EntrateNotes)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_BareSql_AnagrafePersonsAllCondominiums)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_BareSql_EntrateNotesAllCondominiums)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace
