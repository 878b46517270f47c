// Recording a payment of 12 quotas with its receipt document (no print, no PDF) on the large
// office, against the bare statements of the same rows. Each payment runs inside an outer
// transaction that is rolled back, so the shared office is left as it was: the figures leave out
// the final commit to the disk.
#include "foundation/Selection.h"
#include "cashbook/Payments.h"
#include "cashbook/Receipt.h"
#include "cashbook/ReceiptNumbers.h"
#include "documents/DefaultTemplates.h"
#include "platform/Shell.h"
#include "store/Database.h"
#include "support/BenchOffice.h"
#include "support/Workloads.h"

#include <QDir>
#include <QFileInfo>
#include <benchmark/benchmark.h>

using namespace velcaris;

namespace {

void BM_PaymentOf12QuotasWithReceipt(benchmark::State& state)
{
    bench::Office& o = bench::office();
    app::Workspace& ws = *o.ws;
    const bench::Payer p = bench::firstUnitOwner(ws, o.names.value(o.names.size() / 2));
    app::chooseCondominium(ws, p.condominium);
    documents::installDefaultTemplates(ws.paths().outputFolder());
    documents::TRtfReport report;
    platform::RecordingShell shell;
    const QVector<cashbook::PaymentRow> rows = bench::twelveQuotas();
    for (auto _ : state) {
        store::Transaction undo(ws.mainDb()); // never committed
        cashbook::PaymentInput in;
        in.condominium = p.condominium;
        in.receiptNumber = cashbook::nextReceiptNumber(ws, p.condominium);
        in.date = QDate(2014, 6, 1);
        in.method = QStringLiteral("Cassa");
        in.ownerPays = true;
        in.payerId = p.person;
        in.rows = rows;
        const app::Outcome done = cashbook::recordPayment(ws, in);
        if (!done.done) {
            state.SkipWithError(done.texts().join(' ').toStdString().c_str());
            return;
        }
        cashbook::PaidReceipt receipt{p.condominium, in.receiptNumber, p.year, in.date, QStringLiteral("Cognome Nome"),
                                      cashbook::paymentTotal(rows).total, {}};
        for (const cashbook::PaymentRow& row : rows)
            receipt.lines.push_back({row.quotaName, row.amount, row.note});
        const cashbook::ReceiptRun run = cashbook::writePaymentReceipt(ws, report, receipt, false, shell);
        if (!run.written) {
            state.SkipWithError(run.problems.join(' ').toStdString().c_str());
            return;
        }
    }
    QDir(ws.paths().outputFolder() + p.condominium).removeRecursively();
}
BENCHMARK(BM_PaymentOf12QuotasWithReceipt)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same rows written by bare statements: the income rows, the quotas and their web twins,
// located by the same keys, without the receipt.
void BM_BareSqlOfTheSamePayment(benchmark::State& state)
{
    bench::Office& o = bench::office();
    app::Workspace& ws = *o.ws;
    store::Database& db = ws.mainDb();
    const bench::Payer p = bench::firstUnitOwner(ws, o.names.value(o.names.size() / 2));
    for (auto _ : state) {
        store::Transaction undo(db);
        const int number = db.scalar(QStringLiteral("SELECT COALESCE(MAX(Ricevuta), 0) + 1 FROM Entrate "
                                                    "WHERE Condominio = ? AND AA = ?"),
                                     {p.condominium, p.year})
                               .toInt();
        store::Statement income(db, QStringLiteral("INSERT INTO Entrate (Condominio, TipoMovimento, Importo, Data, "
                                                   "MetodoPagamento, IdPersona, Nome, Ricevuta, AA) "
                                                   "VALUES (?, 'Entrata', 100, '2014-06-01', 'Cassa', ?, ?, ?, ?)"));
        store::Statement quota(db, QStringLiteral("UPDATE Quote SET ImportoPagato = Importo, idEntrata = ? "
                                                  "WHERE IdLocale = ? AND NomeQuote = ? AND AA = ?"));
        store::Statement web(db, QStringLiteral("UPDATE web.Quote SET ImportoPagato = Importo, Data = '2014-06-01' "
                                                "WHERE idLocale = ? AND NomeQuote = ? AND AA = ?"));
        for (int r = 1; r <= 12; ++r) {
            const QString name = QStringLiteral("Rata %1").arg(r, 2, 10, QLatin1Char('0'));
            income.reset();
            income.bindAll({p.condominium, p.person, name, number, p.year});
            income.step();
            const qint64 id = db.lastInsertId();
            quota.reset();
            quota.bindAll({id, p.unit, name, p.year});
            quota.step();
            web.reset();
            web.bindAll({p.unit, name, p.year});
            web.step();
        }
    }
}
BENCHMARK(BM_BareSqlOfTheSamePayment)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
