// The same work on the two engines: the large office in its files (support/BenchOffice) and the
// same office copied into a database of a local PostgreSQL server (support/ServerOffice, named by
// VELCARIS_BENCH_PG; without it every benchmark here is skipped). Each pair runs one function,
// first on the files, then on the server; the server's line carries rapporto_su_file, its mean time
// per iteration over the files' (3 means three times as long).
//   - choosing a condominium: the window's trip for a click in the list with the Quote tab active,
//     alternating between two condominiums so that every choice reads its rows anew;
//   - a payment of 12 quotas with its receipt document, inside an outer transaction that is rolled
//     back (the figures leave out the final commit);
//   - the allocation of a 200-unit condominium into 12 instalments, on a building added to each
//     office for the run and removed at its end.
#include "allocation/Allocation.h"
#include "cashbook/Payments.h"
#include "cashbook/Receipt.h"
#include "cashbook/ReceiptNumbers.h"
#include "documents/DefaultTemplates.h"
#include "foundation/Selection.h"
#include "foundation/Workspace.h"
#include "platform/Shell.h"
#include "store/Database.h"
#include "support/BenchOffice.h"
#include "support/ServerOffice.h"
#include "support/Workloads.h"
#include "window/WindowView.h"

#include <QDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <stdexcept>

using namespace velcaris;

namespace {

enum class Engine { Files, Server };

// The mean time of the timed part of the iterations, kept here because the library does not hand
// its own figure to the benchmark.
class IterationClock {
public:
    void start() { started_ = Clock::now(); }
    void stop()
    {
        total_ += Clock::now() - started_;
        ++count_;
    }
    double meanSeconds() const { return count_ > 0 ? std::chrono::duration<double>(total_).count() / double(count_) : 0.0; }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point started_;
    Clock::duration total_{};
    qint64 count_ = 0;
};

// The files' mean of one pair, which the server's run compares with.
struct Pair {
    double filesMean = 0;
};
Pair choosing, paying, allocating;

void reportRatio(benchmark::State& state, Engine engine, Pair& pair, const IterationClock& clock)
{
    if (engine == Engine::Files) {
        pair.filesMean = clock.meanSeconds();
        return;
    }
    if (pair.filesMean > 0)
        state.counters["rapporto_su_file"] = clock.meanSeconds() / pair.filesMean;
    else
        state.SetLabel("nessun rapporto: la variante su file non è stata eseguita");
}

// The engine's workspace, or null after skipping the benchmark with the reason. The office on the
// server is made first whichever engine runs, so that its copy never takes in what a benchmark
// adds to the files, and so that without a server the whole file is skipped.
app::Workspace* workspace(benchmark::State& state, Engine engine)
{
    try {
        bench::ServerOffice& server = bench::serverOffice();
        return engine == Engine::Files ? bench::office().ws.get() : server.ws.get();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return nullptr;
    }
}

// Runs a benchmark's body; a failure of the data store (or any other) skips it with its text.
template <typename Body>
void guarded(benchmark::State& state, Body&& body)
{
    try {
        body();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

// --- choosing a condominium ---

void BM_ChooseCondominium(benchmark::State& state, Engine engine)
{
    app::Workspace* ws = workspace(state, engine);
    if (!ws)
        return;
    const QStringList& names = bench::office().names;
    if (names.size() < 2) {
        state.SkipWithError("servono almeno due condomini (VELCARIS_BENCH_CONDOMINIUMS)");
        return;
    }
    const QString chosen[2] = {names.value(0), names.value(names.size() / 2)};
    guarded(state, [&] {
        IterationClock clock;
        int i = 0;
        for (auto _ : state) {
            clock.start();
            app::WindowRequest request;
            request.change = app::SelectionChange::Choose;
            request.condominium = chosen[i++ % 2];
            request.tab = app::Tab::Quote;
            const app::WindowView view = app::refreshWindow(*ws, request);
            benchmark::DoNotOptimize(view.balances.entrateC);
            clock.stop();
        }
        state.counters["quota_rows"] = ws->ds(QStringLiteral("ADOQueryQuoteSingole")).rowCount();
        reportRatio(state, engine, choosing, clock);
    });
}
BENCHMARK_CAPTURE(BM_ChooseCondominium, files, Engine::Files)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK_CAPTURE(BM_ChooseCondominium, server, Engine::Server)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// --- a payment of 12 quotas with its receipt ---

void BM_PaymentOf12QuotasWithReceipt(benchmark::State& state, Engine engine)
{
    app::Workspace* ws = workspace(state, engine);
    if (!ws)
        return;
    const QStringList& names = bench::office().names;
    guarded(state, [&] {
        const bench::Payer p = bench::firstUnitOwner(*ws, names.value(names.size() / 2));
        app::chooseCondominium(*ws, p.condominium);
        documents::installDefaultTemplates(ws->paths().outputFolder());
        documents::TRtfReport report;
        platform::RecordingShell shell;
        const QVector<cashbook::PaymentRow> rows = bench::twelveQuotas();
        IterationClock clock;
        for (auto _ : state) {
            clock.start();
            {
                store::Transaction undo(ws->mainDb()); // never committed
                cashbook::PaymentInput in;
                in.condominium = p.condominium;
                in.receiptNumber = cashbook::nextReceiptNumber(*ws, p.condominium);
                in.date = QDate(2014, 6, 1);
                in.method = QStringLiteral("Cassa");
                in.ownerPays = true;
                in.payerId = p.person;
                in.rows = rows;
                const app::Outcome done = cashbook::recordPayment(*ws, in);
                if (!done.done) {
                    state.SkipWithError(done.texts().join(u' ').toStdString().c_str());
                    return;
                }
                cashbook::PaidReceipt receipt{p.condominium, in.receiptNumber, p.year, in.date, QStringLiteral("Cognome Nome"),
                                              cashbook::paymentTotal(rows).total, {}};
                for (const cashbook::PaymentRow& row : rows)
                    receipt.lines.push_back({row.quotaName, row.amount, row.note});
                const cashbook::ReceiptRun run = cashbook::writePaymentReceipt(*ws, report, receipt, false, shell);
                if (!run.written) {
                    state.SkipWithError(run.problems.join(u' ').toStdString().c_str());
                    return;
                }
            }
            clock.stop();
        }
        QDir(ws->paths().outputFolder() + p.condominium).removeRecursively();
        reportRatio(state, engine, paying, clock);
    });
}
BENCHMARK_CAPTURE(BM_PaymentOf12QuotasWithReceipt, files, Engine::Files)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_PaymentOf12QuotasWithReceipt, server, Engine::Server)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);

// --- the allocation of a 200-unit condominium ---

// Not the name bench_allocation uses: a building either leaves behind is the other's to remove.
const QString kBuilding = QStringLiteral("Bench Confronto Motori - Via Lunga 200");
void removeBuilding(store::Database& db)
{
    bench::removeAllocationBuilding(db, kBuilding);
}

// The building in one office for the run: one a stopped run left behind is removed first, and it
// goes when the run ends (before the office, which was started before it).
class Building {
public:
    explicit Building(app::Workspace& ws) : ws_(ws)
    {
        removeBuilding(ws_.mainDb());
        bench::addAllocationBuilding(ws_.mainDb(), kBuilding);
    }
    ~Building()
    {
        try {
            removeBuilding(ws_.mainDb());
        } catch (const std::exception&) {
            // Left behind: the next run removes it first.
        }
    }
    Building(const Building&) = delete;
    Building& operator=(const Building&) = delete;

private:
    app::Workspace& ws_;
};

void ensureBuilding(Engine engine, app::Workspace& ws)
{
    if (engine == Engine::Files) {
        static const Building files(ws);
    } else {
        static const Building server(ws);
    }
}

void BM_AllocationConfirm(benchmark::State& state, Engine engine)
{
    app::Workspace* ws = workspace(state, engine);
    if (!ws)
        return;
    guarded(state, [&] {
        ensureBuilding(engine, *ws);
        ws->selection.condominium = kBuilding; // the other benchmarks choose elsewhere
        const allocation::AllocationInput in = bench::allocationInput();
        IterationClock clock;
        qint64 rows = 0;
        for (auto _ : state) {
            clock.start();
            const app::Outcome done = allocation::confirmAllocation(*ws, in);
            clock.stop();
            if (!done.done) {
                state.SkipWithError(done.texts().join(u'|').toStdString().c_str());
                return;
            }
            rows = done.newKey.value_or(0);
            state.PauseTiming();
            bench::removeAllocationQuotas(ws->mainDb(), kBuilding);
            state.ResumeTiming();
        }
        state.counters["quota_rows"] = double(rows);
        reportRatio(state, engine, allocating, clock);
    });
}
BENCHMARK_CAPTURE(BM_AllocationConfirm, files, Engine::Files)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK_CAPTURE(BM_AllocationConfirm, server, Engine::Server)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
