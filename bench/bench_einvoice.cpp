// Electronic invoices in the large office: reading and proposing 1,000 invoices generated in
// memory (100 suppliers, a tenth of them in the register, every third invoice with a
// withholding), and confirming 100 of them (new suppliers, associations, expenses in one
// transaction, the files kept under Output/). The written rows and files are removed outside the
// timing, so the office stays as generated.
#include "einvoice/InvoiceFiles.h"
#include "einvoice/InvoiceImport.h"
#include "foundation/Workspace.h"
#include "store/Database.h"
#include "support/BenchOffice.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <stdexcept>

using namespace velcaris;

namespace {

const QString kBuilding = QStringLiteral("Bench Fatture - Via Corta 3");
constexpr int kInvoices = 1000;
constexpr int kSuppliers = 100;
constexpr int kConfirmed = 100;
const char* const kMark = "Fornitore di prova per le fatture";

void removeBuilding(store::Database& db)
{
    store::Transaction tr(db);
    db.exec(QStringLiteral("DELETE FROM Uscite WHERE Condominio = ?"), {kBuilding});
    db.exec(QStringLiteral("DELETE FROM fornitori_associazione WHERE IdCondominio = ?"), {kBuilding});
    db.exec(QStringLiteral("DELETE FROM Fornitori WHERE Note LIKE ?"), {QStringLiteral("Creato dalla fattura elettronica%")});
    db.exec(QStringLiteral("DELETE FROM Fornitori WHERE Note = ?"), {QString::fromLatin1(kMark)});
    for (const char* sql : {"DELETE FROM Preventivi WHERE Condominio = ?", "DELETE FROM AnnoAmministrativo WHERE idCondominio = ?",
                            "DELETE FROM Condomini WHERE Nome = ?"})
        db.exec(QString::fromLatin1(sql), {kBuilding});
    tr.commit();
}

void addBuilding(store::Database& db)
{
    store::Transaction tr(db);
    db.exec(QStringLiteral("INSERT INTO Condomini (Nome, Comune, Codice_fiscale) VALUES (?, 'Torino', '90000000003')"), {kBuilding});
    db.exec(QStringLiteral("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente, data_inizio, data_fine) "
                           "VALUES (?, '2026', 1, '2026-01-01', '2026-12-31')"),
            {kBuilding});
    db.exec(QStringLiteral("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) "
                           "VALUES (?, '2026', 'Generale', 'Manutenzione', 100000)"),
            {kBuilding});
    for (int s = 0; s < kSuppliers / 10; ++s)
        db.exec(QStringLiteral("INSERT INTO Fornitori (Cognome, PartitaIVA, Note) VALUES (?, ?, ?)"),
                {QStringLiteral("Ditta %1").arg(s), QStringLiteral("7%1").arg(s, 10, 10, QLatin1Char('0')),
                 QString::fromLatin1(kMark)});
    tr.commit();
}

bench::TemporaryBuilding& building()
{
    static bench::TemporaryBuilding b(kBuilding, addBuilding, removeBuilding);
    return b;
}

QByteArray invoice(int n)
{
    const int s = n % kSuppliers;
    const QString vat = QStringLiteral("7%1").arg(s, 10, 10, QLatin1Char('0'));
    const QString withholding =
        n % 3 == 0 ? QStringLiteral("<DatiRitenuta><TipoRitenuta>RT01</TipoRitenuta><ImportoRitenuta>20.00</ImportoRitenuta>"
                                    "<AliquotaRitenuta>20.00</AliquotaRitenuta><CausalePagamento>A</CausalePagamento>"
                                    "</DatiRitenuta>")
                   : QString();
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?><p:FatturaElettronica versione=\"FPR12\" "
               "xmlns:p=\"http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2\"><FatturaElettronicaHeader>"
               "<CedentePrestatore><DatiAnagrafici><IdFiscaleIVA><IdPaese>IT</IdPaese><IdCodice>%1</IdCodice>"
               "</IdFiscaleIVA><Anagrafica><Denominazione>Ditta %2</Denominazione></Anagrafica></DatiAnagrafici>"
               "<Sede><Indirizzo>Via Po</Indirizzo><CAP>10100</CAP><Comune>Torino</Comune></Sede></CedentePrestatore>"
               "<CessionarioCommittente><DatiAnagrafici><CodiceFiscale>90000000003</CodiceFiscale></DatiAnagrafici>"
               "</CessionarioCommittente></FatturaElettronicaHeader><FatturaElettronicaBody><DatiGenerali>"
               "<DatiGeneraliDocumento><TipoDocumento>TD01</TipoDocumento><Divisa>EUR</Divisa><Data>2026-03-%3</Data>"
               "<Numero>%4</Numero>%5<ImportoTotaleDocumento>122.00</ImportoTotaleDocumento></DatiGeneraliDocumento>"
               "</DatiGenerali><DatiBeniServizi><DettaglioLinee><NumeroLinea>1</NumeroLinea><Descrizione>Intervento %4"
               "</Descrizione><PrezzoTotale>100.00</PrezzoTotale><AliquotaIVA>22.00</AliquotaIVA></DettaglioLinee>"
               "<DatiRiepilogo><AliquotaIVA>22.00</AliquotaIVA><ImponibileImporto>100.00</ImponibileImporto>"
               "<Imposta>22.00</Imposta></DatiRiepilogo></DatiBeniServizi></FatturaElettronicaBody>"
               "</p:FatturaElettronica>")
        .arg(vat)
        .arg(s)
        .arg(n % 28 + 1, 2, 10, QLatin1Char('0'))
        .arg(QStringLiteral("B-%1").arg(n))
        .arg(withholding)
        .toUtf8();
}

const QVector<QByteArray>& invoices()
{
    static const QVector<QByteArray> all = [] {
        QVector<QByteArray> out;
        for (int n = 0; n < kInvoices; ++n)
            out << invoice(n);
        return out;
    }();
    return all;
}

einvoice::ReadBatch readAll(int count)
{
    einvoice::ReadBatch batch;
    for (int n = 0; n < count; ++n)
        einvoice::readInvoiceFile(QStringLiteral("IT%1.xml").arg(n), invoices()[n], batch);
    return batch;
}

void BM_ReadAndPropose1000(benchmark::State& state)
{
    bench::TemporaryBuilding& b = building();
    app::Workspace& ws = *b.office.ws;
    invoices();
    int rows = 0;
    for (auto _ : state) {
        const einvoice::ImportProposal proposal = einvoice::proposeImport(ws, kBuilding, readAll(kInvoices));
        rows = int(proposal.rows.size());
        benchmark::DoNotOptimize(rows);
    }
    if (rows != kInvoices) {
        const einvoice::ReadBatch batch = readAll(kInvoices);
        const QString why = batch.refused.isEmpty() ? QStringLiteral("%1 read, %2 proposed").arg(batch.invoices.size()).arg(rows)
                                                    : batch.refused.first().file + u' ' + batch.refused.first().reason;
        throw std::runtime_error("not every invoice was read: " + why.toStdString());
    }
    state.counters["invoices"] = rows;
}
BENCHMARK(BM_ReadAndPropose1000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Confirm100(benchmark::State& state)
{
    bench::TemporaryBuilding& b = building();
    app::Workspace& ws = *b.office.ws;
    einvoice::ImportProposal proposal = einvoice::proposeImport(ws, kBuilding, readAll(kConfirmed));
    einvoice::ImportInput in{kBuilding, proposal.rows};
    for (einvoice::ImportRow& row : in.rows) {
        row.expense.tabella = QStringLiteral("Generale");
        row.expense.tipoSpesa = QStringLiteral("Manutenzione");
        einvoice::setPayment(row, QDate(2026, 4, 1), QStringLiteral("Conto Corrente"));
    }
    const QString folder = einvoice::invoicesFolder(ws, kBuilding);
    for (auto _ : state) {
        einvoice::ImportResult result;
        const app::Outcome done = einvoice::importInvoices(ws, in, &result);
        state.PauseTiming();
        if (!done.done || result.expenses != kConfirmed)
            throw std::runtime_error(done.texts().join(u'|').toStdString());
        store::Database& db = ws.mainDb();
        db.exec(QStringLiteral("DELETE FROM Uscite WHERE Condominio = ?"), {kBuilding});
        db.exec(QStringLiteral("DELETE FROM fornitori_associazione WHERE IdCondominio = ?"), {kBuilding});
        db.exec(QStringLiteral("DELETE FROM Fornitori WHERE Note LIKE ?"), {QStringLiteral("Creato dalla fattura elettronica%")});
        QDir(folder).removeRecursively();
        state.ResumeTiming();
    }
    state.counters["expenses"] = kConfirmed;
}
BENCHMARK(BM_Confirm100)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
