// "Esporta" of the income register of one condominium with 10,000 rows: the typed sheet built
// from the rows the grid shows, the clipboard text, and the workbook written to disk; also with
// the rows read afresh, and, for comparison, the same rows read by a bare statement of the engine.
#include "window/GridLayout.h"
#include "window/WindowView.h"
#include "reports/RegisterExport.h"
#include "store/Database.h"
#include "support/BenchOffice.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>

#include <stdexcept>

using namespace velcaris;

namespace {

constexpr int kRows = 10000;

// The office's condominium 17 grown to 10,000 income rows in its current year, for the time of
// one benchmark: the rows are added in a transaction that is rolled back afterwards.
struct LargeRegister {
    bench::Office& o = bench::office();
    app::Workspace& ws = *o.ws;
    QString name = o.names.value(17);
    store::Transaction grow{ws.mainDb()};
    QStringList fields;

    LargeRegister()
    {
        const int present = ws.mainDb()
                                .scalar("SELECT COUNT(*) FROM QueryEntrateAC WHERE Condominio = ?", {name})
                                .toInt();
        store::Statement add(ws.mainDb(), "INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, IdPersona, Nome, "
                                          "Importo, MetodoPagamento, Tipologia, Ricevuta, Nota) VALUES (?, '2014', ?, "
                                          "'Quota', 1, ?, ?, 'Cassa', 'Spese ordinarie', ?, ?)");
        for (int i = present; i < kRows; ++i) {
            add.bindAll({name, QStringLiteral("2014-%1-%2").arg(i % 12 + 1, 2, 10, QLatin1Char('0')).arg(i % 28 + 1, 2, 10, QLatin1Char('0')),
                         QStringLiteral("Rata %1").arg(i % 12 + 1), 100 + (i % 97) * 1.25, i,
                         QStringLiteral("Versamento n. %1 allo sportello").arg(i)});
            add.step();
            add.reset();
        }
        app::WindowRequest request;
        request.change = app::SelectionChange::Choose;
        request.condominium = name;
        request.tab = app::Tab::Entrate;
        app::refreshWindow(ws, request);
        store::Dataset& ds = ws.ds("ADOQueryEntrate");
        ds.requery();
        if (ds.rowCount() != kRows)
            throw std::runtime_error("the register does not have 10,000 rows");
        fields = app::exportedFields(app::gridLayouts(app::Tab::Entrate, {}, false).first(), ds.fieldNames());
    }
};

void exportOnce(LargeRegister& r, const QString& path)
{
    const reports::Sheet sheet = reports::registerSheet(r.ws.ds("ADOQueryEntrate"), "Entrate", r.fields);
    benchmark::DoNotOptimize(reports::tabSeparated(sheet).size());
    if (!reports::writeWorkbook(path, sheet).isEmpty())
        throw std::runtime_error("workbook not written");
}

void BM_ExportIncomeRegister10k(benchmark::State& state)
{
    LargeRegister r;
    QTemporaryDir dir;
    for (auto _ : state)
        exportOnce(r, dir.filePath("Entrate.xlsx"));
    state.counters["rows"] = kRows;
}

void BM_ExportIncomeRegister10kReadAfresh(benchmark::State& state)
{
    LargeRegister r;
    QTemporaryDir dir;
    for (auto _ : state) {
        r.ws.ds("ADOQueryEntrate").requery();
        exportOnce(r, dir.filePath("Entrate.xlsx"));
    }
    state.counters["rows"] = kRows;
}

// The same rows and columns read by the engine alone, every value fetched as text.
void BM_BareSqlIncomeRegister10k(benchmark::State& state)
{
    LargeRegister r;
    sqlite3* h = r.ws.mainDb().handle();
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = "SELECT " + r.fields.join(", ").toUtf8() + " FROM QueryEntrateAC WHERE Condominio = ? ORDER BY Data DESC";
    if (sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(h));
    const QByteArray name = r.name.toUtf8();
    for (auto _ : state) {
        sqlite3_bind_text(st, 1, name.constData(), int(name.size()), SQLITE_STATIC);
        qint64 bytes = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int c = 0; c < r.fields.size(); ++c)
                bytes += sqlite3_column_bytes(st, c) + (sqlite3_column_text(st, c) ? 1 : 0);
        sqlite3_reset(st);
        benchmark::DoNotOptimize(bytes);
    }
    sqlite3_finalize(st);
}

} // namespace

BENCHMARK(BM_ExportIncomeRegister10k)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ExportIncomeRegister10kReadAfresh)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BareSqlIncomeRegister10k)->Unit(benchmark::kMillisecond)->MinTime(1.0);
