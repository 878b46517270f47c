// "Importa fatture elettroniche" driven from the Uscite tab: a folder with a signed invoice of a
// new supplier, a zip with an invoice of a known one and a stray file; the grid shows both
// invoices and the list names the stray file; one item for all, "Conferma", and the expenses,
// the new supplier and its association are in the database and the expense grid.
#include "dialogkit/Messages.h"
#include "einvoice/InvoiceImport.h"
#include "einvoice/InvoiceSamples.h"
#include "einvoice/ui/EInvoiceDialogs.h"
#include "einvoice/ui/TFImportaFatture.h"
#include "support/ui/MainWindowFixture.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include "support/Screenshot.h"

#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kVilla = "Villa Rosa - Via Roma 1";

void fillOffice(app::Workspace& ws)
{
    auto& db = ws.mainDb();
    db.exec("INSERT INTO Condomini (Nome, Comune, Codice_fiscale) VALUES (?, 'Torino', '90012345678')", {kVilla});
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, data_inizio, data_fine, corrente) VALUES "
            "(?, '2024', '2024-01-01', '2024-12-31', 1)",
            {kVilla});
    db.exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) "
            "VALUES (?, '2024', 'Generale', 'Manutenzione', 5000)",
            {kVilla});
    db.exec("INSERT INTO Fornitori (Cognome, PartitaIVA) VALUES ('Rossi idraulica', '01234567890')");
    db.exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (1, ?)", {kVilla});
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class ImportWindow : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        writeOffice(fillOffice);
        openWindow({einvoice::ui::installDialogs});
        showWindow(kVilla, app::Tab::Uscite);
    }
};

} // namespace

TEST_F(ImportWindow, ReadsAFolderAndWritesTheChosenInvoices)
{
    const QString folder = dir.file("arrivate");
    ASSERT_TRUE(QDir().mkpath(folder));
    test::SampleBody parcel{"P-5"};
    parcel.ritenuta = "200.00";
    write(folder + "/IT09876543210_p5.xml.p7m",
          test::envelope(test::invoiceXml({parcel}, "p", {"Studio Verdi", "09876543210", "VRDLGU70A01L219X"}), false));
    write(folder + "/lotto.zip",
          test::zipOf({{"IT01234567890_r9.xml", test::invoiceXml({test::SampleBody{"R-9"}}, "x")},
                       {"note.pdf", "%PDF-1.4"}}));

    form->findChild<QPushButton*>("BImportaFatture")->click();
    auto* window = form->findChild<einvoice::ui::TFImportaFatture*>("FormImportaFatture");
    ASSERT_TRUE(window && window->isVisible());
    window->load({folder});

    auto* grid = window->findChild<QTableWidget*>("GridFatture");
    ASSERT_EQ(grid->rowCount(), 2);
    QStringList suppliers;
    for (int r = 0; r < grid->rowCount(); ++r)
        suppliers << grid->item(r, 2)->text() + " / " + grid->item(r, 3)->text();
    suppliers.sort();
    EXPECT_EQ(suppliers, (QStringList{"Rossi idraulica / Partita IVA", "Studio Verdi / Nuovo fornitore"}));
    auto* refused = window->findChild<QListWidget*>("ListaScartati");
    ASSERT_EQ(refused->count(), 1);
    EXPECT_TRUE(refused->item(0)->text().startsWith("lotto.zip: note.pdf: "));
    test::keepScreenshot(*window, "importa-fatture");

    // Without an item the confirmation says so and writes nothing.
    click(window, "BConferma");
    EXPECT_TRUE(app::takeMessages().join('\n').contains("voce di preventivo"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Uscite"), 0);

    window->findChild<QComboBox*>("ComboVoce")->setCurrentIndex(0);
    click(window, "BApplicaVoce");
    window->findChild<QComboBox*>("ComboPagamento")->setCurrentText("Cassa");
    click(window, "BConferma");
    EXPECT_EQ(app::takeMessages(), QStringList{"Fatture importate: 2. Nuovi fornitori: 1."});
    EXPECT_EQ(grid->rowCount(), 0);

    const qint64 verdi = count("SELECT id FROM Fornitori WHERE Cognome = 'Studio Verdi' AND PartitaIVA = '09876543210'");
    ASSERT_GT(verdi, 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM fornitori_associazione WHERE IdFornitore = ? AND IdCondominio = ?",
                    {verdi, kVilla}),
              1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Uscite WHERE Condominio = ? AND AA = '2024' AND Pagamento = 'Cassa' AND "
                    "Tabella = 'Generale' AND TipoSpesa = 'Manutenzione'",
                    {kVilla}),
              2);
    EXPECT_EQ(text("SELECT CodTributo FROM Uscite WHERE IdFornitore = ?", {verdi}), "1040");
    EXPECT_DOUBLE_EQ(number("SELECT ImportoLordo FROM Uscite WHERE NumFattura = 'R-9'"), 1220.0);
    EXPECT_TRUE(QFile::exists(einvoice::invoicesFolder(form->workspace(), kVilla) + "/IT09876543210_p5.xml.p7m"));
    // The expense grid shows them once the window has refreshed.
    EXPECT_EQ(form->findChild<QTableView*>("DBGridUscite")->model()->rowCount(), 2);
}
