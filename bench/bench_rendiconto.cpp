// The year's accounts in the large office: the whole rendiconto of one condominium's year (every
// section and the pending matters, as the window computes them) beside the bare statements that
// read the same rows once each; and "Chiudi esercizio" and "Riapri esercizio" of a 200-unit year.
//
// The closing works on a building of its own, added to the office when the run starts and removed
// when it ends (it has no Condomini row, so the other benchmarks' list does not change): the
// office's expenses name no table, and a year whose expenses cannot all be shared is not closed.
#include "accounts/PendingMatters.h"
#include "accounts/Rendiconto.h"
#include "accounts/YearClosing.h"
#include "foundation/Workspace.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "support/BareSql.h"
#include "support/BenchOffice.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

using namespace velcaris;

namespace {

// ---- the rendiconto of one of the office's condominiums ----

const QString kOfficeYear = QStringLiteral("2010"); // with five years before it and four after

accounts::AccountingYear officeYear()
{
    bench::Office& o = bench::office();
    const std::optional<accounts::AccountingYear> y = accounts::findYear(o.ws->mainDb(), o.names.value(0), kOfficeYear);
    if (!y)
        throw std::runtime_error("the office has no year 2010");
    return *y;
}

void BM_Rendiconto(benchmark::State& state)
{
    store::Database& db = bench::office().ws->mainDb();
    const accounts::AccountingYear year = officeYear();
    qint64 lines = 0;
    for (auto _ : state) {
        const accounts::Rendiconto r = accounts::computeRendiconto(db, year);
        const accounts::PendingMatters p = accounts::readPendingMatters(db, year);
        lines = r.movements.lines.size() + r.units.lines.size() + r.summary.credits.size();
        benchmark::DoNotOptimize(p.deadlines.size());
    }
    state.counters["register_unit_credit_lines"] = double(lines);
}
BENCHMARK(BM_Rendiconto)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The rows the rendiconto is made of, each read once by the engine's C API alone.
void BM_BareRendicontoRows(benchmark::State& state)
{
    store::Database& db = bench::office().ws->mainDb();
    const accounts::AccountingYear year = officeYear();
    sqlite3* h = db.handle();
    const QString person = store::personDisplayNameSql(QStringLiteral("p"));
    QVector<QVariant> condominiumAndEarlier{year.condominium};
    condominiumAndEarlier += accounts::yearOrEarlierValues(year);
    const QVector<QVariant> condominium{year.condominium};
    const QVector<QVariant> condominiumAndYear{year.condominium, year.name};
    const QString expenses =
        QStringLiteral("SELECT u.id, u.AA, u.Tabella, u.TipoSpesa, u.Tipologia, u.Causale, u.NumFattura, u.DataFattura, "
                       "u.DataPagamento, u.DataRitenuta, u.PeriodoRiferimento, u.IdFornitore, f.Cognome, f.Nome, u.pagato, "
                       "u.Pagamento, u.MetodoRitenuta, u.CodTributo, u.ImportoLordo, u.Commissione, u.RitenuteOperate, "
                       "u.Interessi FROM Uscite AS u LEFT JOIN Fornitori AS f ON f.id = u.IdFornitore "
                       "WHERE u.Condominio = ? AND %1");
    for (auto _ : state) {
        bench::runBare(h, expenses.arg(QStringLiteral("u.AA = ?")), condominiumAndYear);
        bench::runBare(h, expenses.arg(accounts::yearOrEarlierCondition(QStringLiteral("u.AA"))), condominiumAndEarlier);
        bench::runBare(h, QStringLiteral("SELECT Tabella, DescrizioneVoceSpesa, Spesa FROM Preventivi "
                                         "WHERE Condominio = ? AND AA = ?"),
                       condominiumAndYear);
        bench::runBare(h, QStringLiteral("SELECT Id, Nome, PartecipazioneORD, PartecipazioneSTR FROM Locali "
                                         "WHERE IdCondominio = ?"),
                       condominium);
        bench::runBare(h, QStringLiteral("SELECT Id, Nome FROM Tabelle WHERE Id_Condominio = ?"), condominium);
        bench::runBare(h, QStringLiteral("SELECT m.IdLocale, m.IdTabella, SUM(m.Millesimi) FROM Millesimi AS m "
                                         "INNER JOIN Locali AS l ON l.Id = m.IdLocale WHERE l.IdCondominio = ? "
                                         "GROUP BY m.IdLocale, m.IdTabella"),
                       condominium);
        bench::runBare(h, QStringLiteral("SELECT l.Id, l.Nome, l.idProprietario, p.Cognome, p.Nome, i.Cognome, i.Nome "
                                         "FROM Locali AS l LEFT JOIN Anagrafe AS p ON p.Id = l.idProprietario "
                                         "LEFT JOIN Anagrafe AS i ON i.Id = l.idInquilino WHERE l.IdCondominio = ?"),
                       condominium);
        bench::runBare(h, QStringLiteral("SELECT IdLocale, NomeQuote, Tipologia, Importo, ImportoPagato FROM Quote "
                                         "WHERE IdCondominio = ? AND AA = ?"),
                       condominiumAndYear);
        bench::runBare(h, QStringLiteral("SELECT e.id, e.Data, e.TipoMovimento, %1, e.Nome, e.Tipologia, e.Nota, e.Ricevuta, "
                                         "e.MetodoPagamento, e.Importo FROM Entrate AS e "
                                         "LEFT JOIN Anagrafe AS p ON p.Id = e.IdPersona WHERE e.Condominio = ? AND e.AA = ?")
                              .arg(person),
                       condominiumAndYear);
        bench::runBare(h, QStringLiteral("SELECT l.idProprietario, %1, q.AA, q.Importo, q.ImportoPagato FROM Quote AS q "
                                         "INNER JOIN Locali AS l ON l.Id = q.IdLocale "
                                         "LEFT JOIN Anagrafe AS p ON p.Id = l.idProprietario WHERE q.IdCondominio = ? AND %2")
                              .arg(person, accounts::yearOrEarlierCondition(QStringLiteral("q.AA"))),
                       condominiumAndEarlier);
        bench::runBare(h, QStringLiteral("SELECT Id, Data, Contatto, Descrizione, Concluso FROM Interventi "
                                         "WHERE Condominio = ?"),
                       condominium);
        bench::runBare(h, QStringLiteral("SELECT Id, DataScadenza, Soggetto, Descrizione, Importo, Esito FROM Scadenzario "
                                         "WHERE Condominio = ?"),
                       condominium);
    }
}
BENCHMARK(BM_BareRendicontoRows)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// ---- closing a 200-unit year ----

const QString kBuilding = QStringLiteral("Bench Rendiconto - Via dei Conti 200");
const QString kClosed = QStringLiteral("2024");
const QString kNext = QStringLiteral("2025");
constexpr int kUnits = 200;
constexpr int kTables = 4;
constexpr int kInstalments = 4;
constexpr int kExpenses = 240;

void removeBuilding(store::Database& db)
{
    store::Transaction tr(db);
    db.exec(QStringLiteral("DELETE FROM main.ChiusureRighe WHERE IdChiusura IN "
                           "(SELECT Id FROM main.ChiusureEsercizio WHERE Condominio = ?)"),
            {kBuilding});
    for (const char* sql :
         {"DELETE FROM main.ChiusureEsercizio WHERE Condominio = ?", "DELETE FROM main.Quote WHERE IdCondominio = ?",
          "DELETE FROM web.Quote WHERE Condominio = ?", "DELETE FROM main.Entrate WHERE Condominio = ?",
          "DELETE FROM main.Uscite WHERE Condominio = ?", "DELETE FROM main.Preventivi WHERE Condominio = ?",
          "DELETE FROM main.Millesimi WHERE IdCondominio = ?", "DELETE FROM main.Locali WHERE IdCondominio = ?",
          "DELETE FROM main.Tabelle WHERE Id_Condominio = ?", "DELETE FROM main.Anagrafe WHERE idCondominio = ?",
          "DELETE FROM main.AnnoAmministrativo WHERE idCondominio = ?", "DELETE FROM web.Accesso WHERE IdCondominio = ?"})
        db.exec(QString::fromLatin1(sql), {kBuilding});
    tr.commit();
}

// Two years; 200 units with their owners (every second one with web access) and thousandths in 4
// tables; a budget of 3 items per table; 4 quotas per unit, the first two paid; 240 expenses over
// the tables and items, one in ten extraordinary, paid from cash or bank.
void addBuilding(store::Database& db)
{
    store::Transaction tr(db);
    db.exec(QStringLiteral("INSERT INTO AnnoAmministrativo (idCondominio, nome, data_inizio, data_fine, corrente) "
                           "VALUES (?, ?, '2024-01-01', '2024-12-31', 0), (?, ?, '2025-01-01', '2025-12-31', 1)"),
            {kBuilding, kClosed, kBuilding, kNext});
    QVector<qint64> tables;
    for (int k = 0; k < kTables; ++k) {
        const QString table = QStringLiteral("Tabella %1").arg(k);
        db.exec(QStringLiteral("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, ?)"), {kBuilding, table});
        tables << db.lastInsertId();
        for (int item = 0; item < 3; ++item)
            db.exec(QStringLiteral("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) "
                                   "VALUES (?, ?, ?, ?, ?)"),
                    {kBuilding, kClosed, table, QStringLiteral("Voce %1").arg(item), 5000.0 + 250 * item});
    }
    store::Statement quota(db, QStringLiteral("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo, "
                                              "ImportoPagato, DataScadenza, Tipologia) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    store::Statement income(db, QStringLiteral("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, IdPersona, "
                                               "Importo, MetodoPagamento, Tipologia) VALUES (?, ?, ?, 'Quota', ?, ?, ?, ?)"));
    for (int u = 0; u < kUnits; ++u) {
        db.exec(QStringLiteral("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, ?, 'Anna')"),
                {kBuilding, QStringLiteral("Condomino %1").arg(u)});
        const qint64 person = db.lastInsertId();
        if (u % 2 == 0)
            db.exec(QStringLiteral("INSERT INTO web.Accesso (id, Persona, \"User\", Password, IdCondominio) "
                                   "VALUES (?, 'p', 'u', 'x', ?)"),
                    {person, kBuilding});
        db.exec(QStringLiteral("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino, IdTipologia, "
                               "PartecipazioneORD, PartecipazioneSTR) VALUES (?, ?, ?, ?, 'Appartamento', ?, 100)"),
                {kBuilding, QStringLiteral("Int. %1").arg(u + 1), person, person, u % 9 == 0 ? 50 : 100});
        const qint64 unit = db.lastInsertId();
        for (int k = 0; k < kTables; ++k)
            db.exec(QStringLiteral("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, ?, ?)"),
                    {kBuilding, unit, tables[k], double((u * 31 + k * 7) % 80 + 1) / 10.0});
        const double amount = 150.25 + u % 5;
        for (int i = 0; i < kInstalments; ++i) {
            const bool paid = i < 2;
            quota.reset();
            quota.bindAll({kBuilding, unit, kClosed, QStringLiteral("Rata %1").arg(i + 1), amount, paid ? amount : 0.0,
                           QDate(2024, 1 + 3 * i, 28), QStringLiteral("Spese ordinarie")});
            quota.step();
            if (!paid)
                continue;
            income.reset();
            income.bindAll({kBuilding, kClosed, QDate(2024, 1 + 3 * i, 20), person, amount,
                            u % 3 == 0 ? QStringLiteral("Cassa") : QStringLiteral("Conto Corrente"),
                            QStringLiteral("Spese ordinarie")});
            income.step();
        }
    }
    store::Statement expense(db, QStringLiteral("INSERT INTO Uscite (Condominio, AA, TipoMovimento, IdFornitore, Tabella, "
                                                "TipoSpesa, Tipologia, Causale, NumFattura, DataFattura, DataPagamento, "
                                                "Pagamento, pagato, ImportoLordo, Commissione, RitenuteOperate, Interessi) "
                                                "VALUES (?, ?, 'Uscita', 1, ?, ?, ?, 'Lavori', ?, ?, ?, ?, 1, ?, 0, 0, 0)"));
    for (int e = 0; e < kExpenses; ++e) {
        const QDate day(2024, 1 + e % 12, 1 + e % 28);
        expense.reset();
        expense.bindAll({kBuilding, kClosed, QStringLiteral("Tabella %1").arg(e % kTables),
                         QStringLiteral("Voce %1").arg(e % 3),
                         e % 10 == 0 ? QStringLiteral("Spese straordinarie") : QStringLiteral("Spese ordinarie"),
                         QStringLiteral("F%1").arg(e + 1), day, day,
                         e % 4 == 0 ? QStringLiteral("Cassa") : QStringLiteral("Conto Corrente"), 210.0 + (e * 37) % 500 + 0.13});
        expense.step();
    }
    tr.commit();
}

bench::TemporaryBuilding& building()
{
    static bench::TemporaryBuilding b(kBuilding, addBuilding, removeBuilding);
    return b;
}

void check(const app::Outcome& outcome)
{
    if (!outcome.done)
        throw std::runtime_error(outcome.texts().join(u'|').toStdString());
}

const accounts::ClosingInput kClosing{kBuilding, kClosed, QDate(2025, 3, 31)};
const accounts::YearChoice kReopening{kBuilding, kClosed};

void BM_CloseYear(benchmark::State& state)
{
    app::Workspace& ws = *building().office.ws;
    for (auto _ : state) {
        check(accounts::closeYear(ws, kClosing));
        state.PauseTiming();
        check(accounts::reopenYear(ws, kReopening));
        state.ResumeTiming();
    }
    state.counters["units"] = kUnits;
}
BENCHMARK(BM_CloseYear)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReopenYear(benchmark::State& state)
{
    app::Workspace& ws = *building().office.ws;
    for (auto _ : state) {
        state.PauseTiming();
        check(accounts::closeYear(ws, kClosing));
        state.ResumeTiming();
        check(accounts::reopenYear(ws, kReopening));
    }
    state.counters["units"] = kUnits;
}
BENCHMARK(BM_ReopenYear)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The rendiconto of the building's closed year too: 200 units, every section full.
void BM_RendicontoOf200Units(benchmark::State& state)
{
    store::Database& db = building().office.ws->mainDb();
    const std::optional<accounts::AccountingYear> year = accounts::findYear(db, kBuilding, kClosed);
    if (!year)
        throw std::runtime_error("the building has no year");
    for (auto _ : state) {
        const accounts::Rendiconto r = accounts::computeRendiconto(db, *year);
        benchmark::DoNotOptimize(r.summary.closing.cash);
    }
}
BENCHMARK(BM_RendicontoOf200Units)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
