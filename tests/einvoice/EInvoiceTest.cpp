// Electronic invoices: every shape a supplier sends (plain, signed in DER or base64, zipped,
// several bodies, a foreign prefix, a credit note) read to the cent; bad files refused by name
// while the rest is read; truncated and mutated files never crash the reader; and the whole
// import into an office: suppliers matched or created, expenses written, files kept, a duplicate
// refused, and nothing written when the batch is refused.
#include "einvoice/InvoiceFiles.h"
#include "einvoice/InvoiceImport.h"
#include "einvoice/InvoiceXml.h"
#include "einvoice/WithholdingCode.h"
#include "support/Office.h"
#include "einvoice/InvoiceSamples.h"

#include <QDir>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace velcaris;
using namespace velcaris::einvoice;
using store::Money;
using test::SampleBody;

namespace {

SampleBody withWithholding(const QString& numero, const QString& causale = "A")
{
    SampleBody b;
    b.numero = numero;
    b.ritenuta = "200.00";
    b.causale = causale;
    return b;
}

SampleBody creditNote(const QString& numero)
{
    SampleBody b;
    b.numero = numero;
    b.tipo = "TD04";
    b.imponibile = "100.00";
    b.imposta = "22.00";
    b.totale = QString(); // computed from the summary
    return b;
}

const Invoice* byNumber(const ReadBatch& batch, const QString& numero)
{
    for (const ReadInvoice& r : batch.invoices)
        if (r.invoice.numero == numero)
            return &r.invoice;
    return nullptr;
}

} // namespace

TEST(EInvoiceRead, EveryShapeIsReadToTheCentAndBadFilesAreRefusedByName)
{
    const QByteArray single = test::invoiceXml({withWithholding("A-1")}, "ns3");
    const QByteArray multi = test::invoiceXml({SampleBody{"M-1"}, creditNote("M-2")}, QString());
    const QByteArray malformed = single.left(single.size() / 2) + "<rotto>";
    const QByteArray zip = test::zipOf({{"lotto/IT01_M.xml", multi},
                                        {"IT01_D.xml.p7m", test::envelope(test::invoiceXml({SampleBody{"D-1"}}), false)},
                                        {"leggimi.txt", "non una fattura"}});
    ReadBatch batch;
    readInvoiceFile("/tmp/IT01_A.xml", single, batch);
    readInvoiceFile("IT01_B.xml.p7m", test::envelope(test::invoiceXml({SampleBody{"B-1"}}), true), batch);
    readInvoiceFile("lotto.zip", zip, batch);
    readInvoiceFile("IT01_X.xml", malformed, batch);
    readInvoiceFile("IT01_Y.xml.p7m", test::envelope("solo testo", false), batch);
    readInvoiceFile("IT01_Z.xml.p7m", "questo non è una busta firmata", batch);

    ASSERT_EQ(batch.invoices.size(), 5);
    const Invoice* a = byNumber(batch, "A-1");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->formato, "FPR12");
    EXPECT_EQ(a->supplier.name(), "Idraulica Rossi S.r.l.");
    EXPECT_EQ(a->supplier.partitaIva, "01234567890");
    EXPECT_EQ(a->supplier.indirizzo, "Via Po 4");
    EXPECT_EQ(a->customer.codiceFiscale, "90012345678");
    EXPECT_EQ(a->data, QDate(2024, 5, 10));
    EXPECT_EQ(a->totale, Money::fromCents(122000));
    EXPECT_EQ(a->imponibile(), Money::fromCents(100000));
    EXPECT_EQ(a->imposta(), Money::fromCents(22000));
    EXPECT_EQ(a->ritenuta(), Money::fromCents(20000));
    EXPECT_EQ(a->withholdings.value(0).causale, "A");
    EXPECT_EQ(a->lines.value(0).descrizione, "Riparazione pompa autoclave");
    EXPECT_EQ(a->payments.value(0).iban, "IT60X0542811101000000123456");
    EXPECT_EQ(batch.invoices.front().file, "IT01_A.xml");

    const Invoice* note = byNumber(batch, "M-2");
    ASSERT_TRUE(note);
    EXPECT_TRUE(note->isCreditNote());
    EXPECT_FALSE(note->totaleDichiarato);
    EXPECT_EQ(note->totale, Money::fromCents(12200)) << "computed from taxable + VAT";
    ASSERT_TRUE(byNumber(batch, "B-1") && byNumber(batch, "D-1") && byNumber(batch, "M-1"));
    for (const ReadInvoice& r : batch.invoices)
        if (r.invoice.numero.startsWith("M"))
            EXPECT_EQ(r.file, "lotto.zip: lotto/IT01_M.xml");

    QStringList refusedFiles;
    for (const RefusedFile& f : batch.refused) {
        refusedFiles << f.file;
        EXPECT_FALSE(f.reason.isEmpty()) << f.file.toStdString();
    }
    EXPECT_EQ(refusedFiles, (QStringList{"lotto.zip: leggimi.txt", "IT01_X.xml", "IT01_Y.xml.p7m", "IT01_Z.xml.p7m"}));

    // The withholding's tax code follows the reason of payment and the kind of withholding.
    EXPECT_EQ(withholdingTaxCode({"RT01", "20.00", {}, "A"}), "1040");
    EXPECT_EQ(withholdingTaxCode({"RT01", "4.00", {}, "W"}), "1019");
    EXPECT_EQ(withholdingTaxCode({"RT02", "4.00", {}, "W"}), "1020");
    EXPECT_EQ(withholdingTaxCode({"RT01", "23.00", {}, "R"}), "1038");
    EXPECT_EQ(withholdingTaxCode({"RT01", "20.00", {}, "M"}), "1040");

    // Amounts and dates out of the format are refused with the field named.
    SampleBody comma;
    comma.imponibile = "1000,00";
    const ParsedXml badAmount = parseInvoiceXml(test::invoiceXml({comma}));
    EXPECT_FALSE(badAmount.ok());
    EXPECT_TRUE(badAmount.refusal.contains("1000,00")) << badAmount.refusal.toStdString();
    SampleBody old;
    old.data = "1899-12-31";
    EXPECT_TRUE(parseInvoiceXml(test::invoiceXml({old})).refusal.contains("1899-12-31"));
}

TEST(EInvoiceRead, TruncatedAndMutatedFilesAreRefusedWithAReasonNeverACrash)
{
    const QByteArray valid = test::invoiceXml({withWithholding("R-1"), creditNote("R-2")}, "b");
    ASSERT_TRUE(parseInvoiceXml(valid).ok());
    const qsizetype closed = valid.lastIndexOf('>') + 1;
    auto check = [](const ParsedXml& parsed, const char* what, qsizetype at) {
        if (parsed.ok()) {
            EXPECT_FALSE(parsed.invoices.isEmpty()) << what << at;
            for (const Invoice& inv : parsed.invoices)
                EXPECT_TRUE(inv.data.isValid() && !inv.numero.isEmpty() && !inv.summary.isEmpty()) << what << at;
        } else {
            EXPECT_TRUE(parsed.invoices.isEmpty()) << what << at;
            EXPECT_GT(parsed.refusal.size(), 10) << what << at;
        }
    };
    for (qsizetype length = 0; length < valid.size(); ++length) {
        const ParsedXml parsed = parseInvoiceXml(valid.left(length));
        check(parsed, "prefix", length);
        if (length < closed)
            EXPECT_FALSE(parsed.ok()) << "a file cut before its end is refused, length " << length;
    }
    QRandomGenerator random(20240510);
    for (int round = 0; round < 600; ++round) {
        QByteArray mutated = valid;
        const int changes = 1 + random.bounded(4);
        for (int c = 0; c < changes; ++c) {
            const int at = random.bounded(int(mutated.size()));
            switch (random.bounded(3)) {
            case 0: mutated[at] = char(random.bounded(256)); break;
            case 1: mutated.remove(at, 1 + random.bounded(8)); break;
            default: mutated.insert(at, mutated.mid(random.bounded(int(mutated.size())), 1 + random.bounded(16))); break;
            }
        }
        check(parseInvoiceXml(mutated), "mutation", round);
        // The same bytes in a signed envelope and in an archive go the same road.
        ReadBatch batch;
        readInvoiceFile("m.xml.p7m", round % 2 ? test::envelope(mutated, round % 4 == 1) : mutated, batch);
        for (const RefusedFile& f : batch.refused)
            EXPECT_FALSE(f.reason.isEmpty());
    }
}

class EInvoiceImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kVilla);
        office.addYear(kVilla, "2024", true);
        db().exec("UPDATE Condomini SET Codice_fiscale = '90012345678' WHERE Nome = ?", {kVilla});
        db().exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) "
                  "VALUES (?, '2024', 'Generale', 'Manutenzione', 5000)",
                  {kVilla});
        // Rossi is in the register (with the country in its partita IVA) but serves another building.
        db().exec("INSERT INTO Fornitori (Cognome, PartitaIVA) VALUES ('Rossi idraulica', 'IT01234567890')");
        rossi = db().lastInsertId();
    }
    store::Database& db() { return office.db(); }
    qint64 count(const QString& sql) { return db().scalar(sql).toLongLong(); }
    // Rossi's invoice and credit note in one file; Bianchi (new, a professional with withholding)
    // twice in a zip; an invoice addressed to another condominium.
    ReadBatch batch()
    {
        test::SampleParty bianchi{"Studio Bianchi", "09876543210", "BNCLGU70A01L219X"};
        ReadBatch b;
        readInvoiceFile("IT01234567890_aa1.xml", test::invoiceXml({SampleBody{"7"}, creditNote("8")}), b);
        readInvoiceFile("bianchi.zip",
                        test::zipOf({{"IT09876543210_b1.xml.p7m",
                                      test::envelope(test::invoiceXml({withWithholding("2024/1")}, "p", bianchi), true)},
                                     {"IT09876543210_b2.xml",
                                      test::invoiceXml({withWithholding("2024/2", "W")}, "q", bianchi)}}),
                        b);
        readInvoiceFile("altro.xml", test::invoiceXml({SampleBody{"99"}}, "p", {}, "80000000000"), b);
        return b;
    }
    ImportInput chooseAll(ImportProposal& proposal)
    {
        ImportInput in{kVilla, proposal.rows};
        for (ImportRow& row : in.rows) {
            row.expense.tabella = "Generale";
            row.expense.tipoSpesa = "Manutenzione";
            setPayment(row, QDate(2024, 6, 3), "Conto Corrente");
        }
        return in;
    }

    const QString kVilla = "Villa Rosa - Via Roma 1";
    test::Office office;
    qint64 rossi = 0;
};

TEST_F(EInvoiceImport, ImportsOnceKeepsTheFilesAndWritesNothingWhenRefused)
{
    ImportProposal proposal = proposeImport(office.ws(), kVilla, batch());
    ASSERT_EQ(proposal.rows.size(), 5);
    EXPECT_TRUE(proposal.refused.isEmpty());
    const ImportRow& seven = proposal.rows[0];
    EXPECT_EQ(seven.match, SupplierMatch::PartitaIva);
    EXPECT_EQ(seven.supplierId, rossi);
    EXPECT_EQ(seven.expense.importoLordo, "1220.00");
    EXPECT_EQ(proposal.rows[1].expense.importoLordo, "-122.00") << "a credit note is a negative expense";
    const ImportRow& professional = proposal.rows[2];
    EXPECT_EQ(professional.match, SupplierMatch::New);
    EXPECT_EQ(professional.newSupplier.cognome, "Studio Bianchi");
    EXPECT_EQ(professional.expense.ritenuteOperate, "200.00");
    EXPECT_EQ(professional.expense.importoNetto, "1020.00");
    EXPECT_EQ(professional.expense.codTributo, "1040");
    EXPECT_EQ(proposal.rows[3].expense.codTributo, "1019");
    EXPECT_TRUE(proposal.rows[4].otherAddressee.contains("80000000000"));

    // Refused as a whole: another condominium's invoice not confirmed, one row without an item.
    ImportInput in = chooseAll(proposal);
    in.rows[0].expense.tipoSpesa.clear();
    const app::Outcome refused = importInvoices(office.ws(), in);
    EXPECT_FALSE(refused.done);
    const QString why = refused.texts().join('\n');
    EXPECT_TRUE(why.contains("80000000000") && why.contains("voce di preventivo")) << why.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Uscite"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Fornitori"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM fornitori_associazione"), 0);

    in = chooseAll(proposal);
    in.rows[4].acceptOtherAddressee = true;
    ImportResult result;
    const app::Outcome done = importInvoices(office.ws(), in, &result);
    ASSERT_TRUE(done.done) << done.texts().join('\n').toStdString();
    EXPECT_EQ(result.expenses, 5);
    EXPECT_EQ(result.newSuppliers, 1) << "Bianchi's two invoices make one supplier";
    const qint64 bianchi =
        db().scalar("SELECT id FROM Fornitori WHERE PartitaIVA = '09876543210' AND Cognome = 'Studio Bianchi'").toLongLong();
    ASSERT_GT(bianchi, 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM fornitori_associazione WHERE IdCondominio = 'Villa Rosa - Via Roma 1' "
                    "AND IdFornitore IN (" + QString::number(rossi) + ", " + QString::number(bianchi) + ")"),
              2);
    // The stored outflow is the gross less the withholding, as the expense dialog writes it.
    EXPECT_DOUBLE_EQ(db().scalar("SELECT ImportoLordo FROM Uscite WHERE NumFattura = '2024/1'").toDouble(), 1020.0);
    EXPECT_EQ(db().scalar("SELECT CodTributo FROM Uscite WHERE NumFattura = '2024/1'").toString(), "1040");
    EXPECT_EQ(db().scalar("SELECT IdFornitore FROM Uscite WHERE NumFattura = '2024/1'").toLongLong(), bianchi);
    EXPECT_DOUBLE_EQ(db().scalar("SELECT ImportoLordo FROM Uscite WHERE NumFattura = '8'").toDouble(), -122.0);
    EXPECT_EQ(db().scalar("SELECT Pagamento FROM Uscite WHERE NumFattura = '7'").toString(), "Conto Corrente");
    EXPECT_EQ(db().scalar("SELECT DataFattura FROM Uscite WHERE NumFattura = '7'").toDate(), QDate(2024, 5, 10));

    const QDir kept(invoicesFolder(office.ws(), kVilla));
    EXPECT_TRUE(kept.exists("IT01234567890_aa1.xml") && kept.exists("IT09876543210_b1.xml.p7m"));
    EXPECT_TRUE(kept.exists("IT01234567890_aa1.html") && kept.exists("IT01234567890_aa1_2.html"));
    QFile html(kept.filePath("IT09876543210_b1.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(html.readAll());
    EXPECT_TRUE(page.contains("Studio Bianchi") && page.contains("1220.00") && page.contains("1020.00"));

    // The same files again: every invoice is recognised, named, and left unchosen; forced, refused.
    ImportProposal again = proposeImport(office.ws(), kVilla, batch());
    ASSERT_EQ(again.rows.size(), 5);
    for (const ImportRow& row : again.rows) {
        EXPECT_FALSE(row.chosen);
        EXPECT_TRUE(row.duplicate.contains(row.source.invoice.numero)) << row.duplicate.toStdString();
    }
    ImportInput forced = chooseAll(again);
    forced.rows[4].acceptOtherAddressee = true;
    for (ImportRow& row : forced.rows)
        row.chosen = true;
    EXPECT_FALSE(importInvoices(office.ws(), forced).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Uscite"), 5);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Fornitori"), 2);
}
