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

struct Payer {
    QString condominium;
    qint64 person = 0;
    qint64 unit = 0;
    QString year;
};

// The owner of the first unit of the condominium.
Payer payer(app::Workspace& ws, const QString& condominium)
{
    Payer p;
    p.condominium = condominium;
    store::Statement st(ws.mainDb(),
                        QStringLiteral("SELECT Id, idProprietario FROM Locali WHERE IdCondominio = ? ORDER BY Id LIMIT 1"));
    st.bind(1, p.condominium);
    if (!st.step())
        throw std::runtime_error("nessun locale nel condominio del pagamento");
    p.unit = st.value(0).toLongLong();
    p.person = st.value(1).toLongLong();
    p.year = cashbook::currentYearName(ws, p.condominium);
    return p;
}

QVector<cashbook::PaymentRow> twelveQuotas()
{
    QVector<cashbook::PaymentRow> rows;
    for (int r = 1; r <= 12; ++r)
        rows.push_back({QStringLiteral("Rata %1").arg(r, 2, 10, QLatin1Char('0')), QStringLiteral("100.00"),
                        QStringLiteral("Spese ordinarie"), QString()});
    return rows;
}

void BM_PaymentOf12QuotasWithReceipt(benchmark::State& state, Engine engine)
{
    app::Workspace* ws = workspace(state, engine);
    if (!ws)
        return;
    const QStringList& names = bench::office().names;
    guarded(state, [&] {
        const Payer p = payer(*ws, names.value(names.size() / 2));
        app::chooseCondominium(*ws, p.condominium);
        documents::installDefaultTemplates(ws->paths().outputFolder());
        documents::TRtfReport report;
        platform::RecordingShell shell;
        const QVector<cashbook::PaymentRow> rows = twelveQuotas();
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
const QString kYear = QStringLiteral("2026");
constexpr int kUnits = 200;
constexpr int kTables = 6;
constexpr int kInstalments = 12;

void removeQuotas(store::Database& db)
{
    store::Transaction tr(db);
    db.exec(QStringLiteral("DELETE FROM main.Quote WHERE IdCondominio = ?"), {kBuilding});
    db.exec(QStringLiteral("DELETE FROM web.Quote WHERE Condominio = ?"), {kBuilding});
    tr.commit();
}

void removeBuilding(store::Database& db)
{
    store::Transaction tr(db);
    removeQuotas(db);
    for (const char* sql : {"DELETE FROM main.Millesimi WHERE IdCondominio = ?", "DELETE FROM main.Locali WHERE IdCondominio = ?",
                            "DELETE FROM main.Tabelle WHERE Id_Condominio = ?", "DELETE FROM main.Anagrafe WHERE idCondominio = ?",
                            "DELETE FROM main.AnnoAmministrativo WHERE idCondominio = ?",
                            "DELETE FROM web.Accesso WHERE IdCondominio = ?"})
        db.exec(QString::fromLatin1(sql), {kBuilding});
    tr.commit();
}

// 200 units, each with its own owner (every second one with web access), thousandths spread over
// 6 tables, staircases A to D; no Condomini row, so the list of condominiums does not change.
void addBuilding(store::Database& db)
{
    store::Transaction tr(db);
    db.exec(QStringLiteral("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES (?, ?, 1)"), {kBuilding, kYear});
    QVector<qint64> tables;
    for (int k = 0; k < kTables; ++k) {
        db.exec(QStringLiteral("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, ?)"), {kBuilding, QStringLiteral("Tabella %1").arg(k)});
        tables << db.lastInsertId();
    }
    for (int u = 0; u < kUnits; ++u) {
        db.exec(QStringLiteral("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, ?, 'Mario')"),
                {kBuilding, QStringLiteral("Condomino %1").arg(u)});
        const qint64 person = db.lastInsertId();
        if (u % 2 == 0)
            db.exec(QStringLiteral("INSERT INTO web.Accesso (id, Persona, \"User\", Password, IdCondominio) VALUES (?, 'p', 'u', 'x', ?)"),
                    {person, kBuilding});
        db.exec(QStringLiteral("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino, IdTipologia, Scala, "
                               "PartecipazioneORD, PartecipazioneSTR) VALUES (?, ?, ?, ?, 'Appartamento', ?, ?, 100)"),
                {kBuilding, QStringLiteral("Int. %1").arg(u + 1), person, person, QString(QChar(u'A' + u % 4)), u % 7 == 0 ? 50 : 100});
        const qint64 unit = db.lastInsertId();
        for (int k = 0; k < kTables; ++k)
            db.exec(QStringLiteral("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, ?, ?)"),
                    {kBuilding, unit, tables[k], double((u * 37 + k * 11) % 90 + 1) / 10.0});
    }
    tr.commit();
}

// The building in one office for the run: one a stopped run left behind is removed first, and it
// goes when the run ends (before the office, which was started before it).
class Building {
public:
    explicit Building(app::Workspace& ws) : ws_(ws)
    {
        removeBuilding(ws_.mainDb());
        addBuilding(ws_.mainDb());
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

allocation::AllocationInput allocationInput()
{
    allocation::AllocationInput in;
    in.typeIndex = 1;
    for (int k = 0; k < kTables; ++k)
        in.amounts << QString::number(12000 + 1000 * k) + QStringLiteral(".37");
    in.instalments = QString::number(kInstalments);
    for (int i = 0; i < kInstalments; ++i)
        in.rows.push_back({QStringLiteral("Rata %1").arg(i + 1), QDate(2026, i + 1, 1)});
    in.halfUnitRounding = true;
    return in;
}

void BM_AllocationConfirm(benchmark::State& state, Engine engine)
{
    app::Workspace* ws = workspace(state, engine);
    if (!ws)
        return;
    guarded(state, [&] {
        ensureBuilding(engine, *ws);
        ws->selection.condominium = kBuilding; // the other benchmarks choose elsewhere
        const allocation::AllocationInput in = allocationInput();
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
            removeQuotas(ws->mainDb());
            state.ResumeTiming();
        }
        state.counters["quota_rows"] = double(rows);
        reportRatio(state, engine, allocating, clock);
    });
}
BENCHMARK_CAPTURE(BM_AllocationConfirm, files, Engine::Files)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK_CAPTURE(BM_AllocationConfirm, server, Engine::Server)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
