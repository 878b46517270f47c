// Starting a building from a spreadsheet: a workbook of 500 units with their thousandths in 6
// tables and 500 owners, read and previewed, and read, previewed and written into an empty
// condominium of the generated office.
//
// The condominium is added inside a transaction that is never committed, and each import runs
// in one of its own that is rolled back: the office is left as it was.
#include "foundation/Selection.h"
#include "reports/Workbook.h"
#include "sheetimport/ImportPlan.h"
#include "store/Database.h"
#include "support/BenchOffice.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <memory>

using namespace velcaris;

namespace {

const QString kName = QStringLiteral("Import bench - Via dei Cinquecento 1");
constexpr int kUnits = 500;
constexpr int kTables = 6;

struct Setup {
    std::unique_ptr<store::Transaction> scratch;
    std::unique_ptr<QTemporaryDir> folder;
    QString workbook;
};

// The workbook of the building: sheets Locali and Persone, every unit its own owner.
Setup& building()
{
    static Setup s = [] {
        Setup made;
        app::Workspace& ws = *bench::office().ws;
        store::Database& db = ws.mainDb();
        made.scratch = std::make_unique<store::Transaction>(db);
        db.exec(QStringLiteral("INSERT INTO Condomini (Nome) VALUES (?)"), {kName});
        // Chosen as the window chooses it: the registers read again after the import are the
        // condominium's, not the whole office's.
        app::chooseCondominium(ws, kName);

        reports::Sheet persons{QStringLiteral("Persone"),
                               {QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Codice fiscale"),
                                QStringLiteral("E-mail")},
                               {}};
        reports::Sheet units{QStringLiteral("Locali"),
                             {QStringLiteral("Locale"), QStringLiteral("Scala"), QStringLiteral("Piano"),
                              QStringLiteral("Tipologia"), QStringLiteral("Proprietario")},
                             {}};
        for (int t = 0; t < kTables; ++t)
            units.header << QStringLiteral("Tabella %1").arg(t + 1);
        for (int u = 0; u < kUnits; ++u) {
            const QString surname = QStringLiteral("Condomino%1").arg(u, 3, 10, QLatin1Char('0'));
            persons.rows << QVector<reports::Cell>{reports::Cell::ofText(surname), reports::Cell::ofText(QStringLiteral("Bench")),
                                                   reports::Cell{}, reports::Cell::ofText(surname + QStringLiteral("@example.it"))};
            QVector<reports::Cell> row{reports::Cell::ofText(QStringLiteral("U%1").arg(u)),
                                       reports::Cell::ofText(QString(QChar(u'A' + u % 4))),
                                       reports::Cell::ofText(QString::number(u % 8)),
                                       reports::Cell::ofText(QStringLiteral("Appartamento")),
                                       reports::Cell::ofText(surname + QStringLiteral(" Bench"))};
            for (int t = 0; t < kTables; ++t)
                row << reports::Cell::ofAmount(2.0, 3);
            units.rows << row;
        }
        made.folder = std::make_unique<QTemporaryDir>();
        made.workbook = made.folder->filePath(QStringLiteral("condominio.xlsx"));
        const QString problem = reports::writeWorkbook(made.workbook, QVector<reports::Sheet>{units, persons});
        if (!problem.isEmpty())
            qFatal("%s", qPrintable(problem));
        return made;
    }();
    return s;
}

// "Scegli file...": the workbook read and the plan made (500 units, 500 persons, 6 new tables).
void BM_PreviewImport(benchmark::State& state)
{
    Setup& s = building();
    app::Workspace& ws = *bench::office().ws;
    for (auto _ : state) {
        const sheetimport::ImportPlan plan = sheetimport::previewImport(ws, s.workbook);
        if (plan.unitsAdded != kUnits)
            state.SkipWithError("the plan does not add every unit");
        benchmark::DoNotOptimize(plan.tables.size());
    }
}
BENCHMARK(BM_PreviewImport)->Unit(benchmark::kMillisecond);

// "Scegli file..." then "Conferma": the plan written (3,000 thousandths rows), then rolled back.
void BM_PreviewAndImport(benchmark::State& state)
{
    Setup& s = building();
    app::Workspace& ws = *bench::office().ws;
    for (auto _ : state) {
        store::Transaction undo(ws.mainDb());
        const sheetimport::ImportPlan plan = sheetimport::previewImport(ws, s.workbook);
        const app::Outcome done = sheetimport::applyImport(ws, plan);
        if (!done.done)
            state.SkipWithError("the import was refused");
        benchmark::DoNotOptimize(done.done);
    } // rolled back
}
BENCHMARK(BM_PreviewAndImport)->Unit(benchmark::kMillisecond);

} // namespace
