// Reminders to every owner of a 200-unit condominium, each listing the owner's unpaid quotas,
// through the shipped "Sollecito" template and the whole letter run (RTF only).
#include "foundation/Selection.h"
#include "foundation/Workspace.h"
#include "documents/DefaultTemplates.h"
#include "documents/LetterRecipients.h"
#include "documents/Letters.h"
#include "store/Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace velcaris;

namespace {

const QString kCond = QStringLiteral("Grande - Via Lunga 200");

struct Office {
    QTemporaryDir dir;
    std::unique_ptr<app::Workspace> ws;
    documents::LetterRequest request;

    Office()
    {
        ws = std::make_unique<app::Workspace>(app::AppPaths(dir.path()));
        if (!ws->startUp().isEmpty())
            throw std::runtime_error("start-up failed");
        store::Database& db = ws->mainDb();
        store::Transaction t(db);
        db.exec("INSERT INTO Condomini (Nome, Comune, Conto_corrente, Intestatario) VALUES (?, 'Torino', 'IT00', 'Cond')",
                {kCond});
        db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente, data_inizio, data_fine) "
                "VALUES (?, '2024', 1, '2024-01-01', '2024-12-31')",
                {kCond});
        for (int u = 1; u <= 200; ++u) {
            db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome, Indirizzo, CAP, \"Città\") "
                    "VALUES (?, ?, 'Anna', 'Via Lunga 200', '10100', 'Torino')",
                    {kCond, QStringLiteral("Condomino%1").arg(u, 3, 10, QLatin1Char('0'))});
            const qint64 person = db.lastInsertId();
            db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino) VALUES (?, ?, ?, 0)",
                    {kCond, QStringLiteral("U%1").arg(u), person});
            const qint64 unit = db.lastInsertId();
            for (int q = 1; q <= 6; ++q)
                db.exec("INSERT INTO Quote (IdCondominio, AA, IdLocale, NomeQuote, Tipologia, Importo, ImportoPagato, "
                        "DataScadenza) VALUES (?, '2024', ?, ?, 'Spese ordinarie', 150, 0, ?)",
                        {kCond, unit, QStringLiteral("Rata %1").arg(q), QDate(2024, q, 28)});
            request.entries.push_back({person, QStringLiteral("Condomino%1 Anna").arg(u, 3, 10, QLatin1Char('0')), true});
        }
        t.commit();
        ws->ds(QStringLiteral("ADOTableSolleciti")).requery();
        app::chooseCondominium(*ws, kCond);
        documents::installDefaultTemplates(ws->paths().outputFolder());
        request.kind = documents::kSollecito;
        request.mora = true;
        request.today = QDate(2024, 9, 30);
    }
};

void BM_RemindersToEveryOwner(benchmark::State& state)
{
    Office office;
    documents::TRtfReport report;
    int documentsWritten = 0;
    for (auto _ : state) {
        const documents::LetterRun run = documents::produceLetters(*office.ws, report, office.request);
        if (!run.outcome.done) {
            state.SkipWithError(run.outcome.texts().join(' ').toStdString().c_str());
            return;
        }
        documentsWritten += int(run.written.size());
    }
    state.counters["documents/s"] = benchmark::Counter(documentsWritten, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RemindersToEveryOwner)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
