// The rendiconto window opened from the Stampe tab on a small office: its grids show the year's
// figures, "Stampa" writes the document with the totals (and its PDF where LibreOffice is
// installed), "Esporta" the workbook, the year is closed into the next one, each owner's
// "Estratto conguaglio" says what is due by the closing's date, and the year is reopened.
#include "accounts/ui/AccountsDialogs.h"
#include "dialogkit/Messages.h"
#include "documents/RtfReader.h"
#include "foundation/Tab.h"
#include "platform/PdfConverter.h"
#include "support/KeptDocument.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kVilla = "Villa Rosa - Via Roma 1";

// Villa Rosa, years 2014 (current) and 2015; the table Generale, where A1 (Rossi) has 600
// thousandths and A2 (Bianchi) 400; a budget of 1000.00 for cleaning; one quota each of 600.00
// and 400.00, Rossi's paid in cash; an expense of 1234.56 paid from the bank.
void fillOffice(app::Workspace& ws)
{
    auto& db = ws.mainDb();
    db.exec("INSERT INTO Condomini (Nome, Comune) VALUES (?, 'Milano')", {kVilla});
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, data_inizio, data_fine, corrente) VALUES "
            "(?, '2014', '2014-01-01', '2014-12-31', 1), (?, '2015', '2015-01-01', '2015-12-31', 0)",
            {kVilla, kVilla});
    db.exec("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, 'Generale')", {kVilla});
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, 'Rossi', 'Mario'), (?, 'Bianchi', 'Anna')",
            {kVilla, kVilla});
    db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino) VALUES (?, 'A1', 1, 0), "
            "(?, 'A2', 2, 0)",
            {kVilla, kVilla});
    db.exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, 1, 1, 600), (?, 2, 1, 400)",
            {kVilla, kVilla});
    db.exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) "
            "VALUES (?, '2014', 'Generale', 'Pulizie', 1000)",
            {kVilla});
    db.exec("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo, ImportoPagato, DataScadenza, Tipologia) "
            "VALUES (?, 1, '2014', 'Rata 1', 600, 600, '2014-03-31', 'Spese ordinarie'), "
            "(?, 2, '2014', 'Rata 1', 400, 0, '2014-03-31', 'Spese ordinarie')",
            {kVilla, kVilla});
    db.exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, IdPersona, Importo, MetodoPagamento, Tipologia) "
            "VALUES (?, '2014', '2014-03-20', 'Entrata', 1, 600, 'Cassa', 'Spese ordinarie')",
            {kVilla});
    db.exec("INSERT INTO Uscite (Condominio, AA, TipoMovimento, Tabella, TipoSpesa, Tipologia, Causale, NumFattura, "
            "DataFattura, DataPagamento, Pagamento, pagato, ImportoLordo, Commissione, RitenuteOperate, Interessi) "
            "VALUES (?, '2014', 'Uscita', 'Generale', 'Pulizie', 'Spese ordinarie', 'Pulizia scale', 'F1', "
            "'2014-06-01', '2014-06-10', 'Conto Corrente', 1, 1234.56, 0, 0, 0)",
            {kVilla});
}

class RendicontoWindow : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        writeOffice(fillOffice);
        openWindow({accounts::ui::installDialogs});
        showWindow(QString(), app::Tab::Stampe);
    }
    template <class W>
    W* find(const char* name)
    {
        W* w = window->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // The text of the cell of `grid` in the row whose first cell reads `row` and the column titled `column`.
    QString cell(const char* gridName, const QString& row, const QString& column)
    {
        auto* grid = find<QTableWidget>(gridName);
        int c = -1;
        for (int i = 0; i < grid->columnCount(); ++i)
            if (grid->horizontalHeaderItem(i)->text() == column)
                c = i;
        for (int r = 0; r < grid->rowCount(); ++r)
            if (grid->item(r, 0) && grid->item(r, 0)->text() == row)
                return grid->item(r, c) ? grid->item(r, c)->text() : QString();
        ADD_FAILURE() << gridName << ": no row " << row.toStdString();
        return {};
    }
    QString conguaglio(int unit)
    {
        return text("SELECT Importo FROM Quote WHERE AA = '2015' AND NomeQuote = 'Conguaglio 2014' AND IdLocale = ?",
                    {unit});
    }

    QDialog* window = nullptr;
};

} // namespace

TEST_F(RendicontoWindow, ShowsTheYearPrintsExportsAndClosesIt)
{
    // Without a condominium the button says why.
    form->findChild<QPushButton*>("BRendiconto")->click();
    EXPECT_EQ(app::takeMessages(), QStringList{"Selezionare prima un condominio"});

    form->selectCondominium(kVilla);
    app::takeMessages();
    form->findChild<QPushButton*>("BRendiconto")->click();
    window = form->findChild<QDialog*>("FormRendiconto");
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_EQ(find<QComboBox>("ComboEsercizio")->currentText(), "2014") << "the current year first";

    // 1234.56 against a budget of 1000.00; shared 740.74 + 493.82; conguagli against 600 + 400.
    EXPECT_EQ(cell("GridConsuntivo", "Totale generale", "Preventivo"), "1000.00");
    EXPECT_EQ(cell("GridConsuntivo", "Totale generale", "Consuntivo"), "1234.56");
    EXPECT_EQ(cell("GridConsuntivo", "Totale generale", "Differenza %"), "23.46");
    auto* consuntivo = find<QTableWidget>("GridConsuntivo");
    const auto alignment = qvariant_cast<Qt::Alignment>(consuntivo->item(0, 4)->data(Qt::TextAlignmentRole));
    EXPECT_TRUE(alignment.testFlag(Qt::AlignRight)) << "amounts stand on the right";
    EXPECT_EQ(cell("GridRiparto", "Generale", "Totale"), "740.74") << "A1 first";
    EXPECT_EQ(cell("GridRiparto", "Totale ripartito", "Totale"), "1234.56");
    EXPECT_EQ(cell("GridSituazione", "A2", "Conguaglio"), "93.82");
    EXPECT_EQ(cell("GridSituazione", "A2", "Morosità"), "400.00");
    EXPECT_EQ(cell("GridSituazione", "Totale", "Conguaglio"), "234.56");
    EXPECT_EQ(cell("GridRegistro", "Totale", "Saldo cassa"), "600.00");
    EXPECT_EQ(cell("GridRegistro", "Totale", "Saldo banca"), "-1234.56");
    EXPECT_EQ(cell("GridRiepilogo", "Disavanzo di gestione", "Totale"), "-234.56");
    EXPECT_EQ(cell("GridNota", "Condomino moroso", "Importo"), "400.00");
    EXPECT_EQ(find<QLabel>("LabelChiusura")->text(), "Esercizio 2014 non ancora chiuso");

    // "Stampa": one document whose text holds the totals and no marker left.
    const QString folder = dir.path() + "/Output/" + kVilla + "/";
    const QString stamp = QDate::currentDate().toString("dd.MM.yyyy");
    const bool office = !platform::PdfConverter::officeProgram().isEmpty();
    find<QPushButton>("BStampa")->click();
    EXPECT_EQ(app::takeMessages(), QStringList());
    const QString rtf = folder + "Rendiconto 2014 - " + stamp + ".rtf";
    QFile document(rtf);
    ASSERT_TRUE(document.open(QIODevice::ReadOnly)) << rtf.toStdString();
    const QString plain = documents::rtf::plainText(document.readAll());
    EXPECT_FALSE(plain.contains(u'\\')) << plain.toStdString();
    for (const char* expected : {"RENDICONTO CONDOMINIALE", "Esercizio 2014 (dal 01/01/2014 al 31/12/2014)", "1.234,56",
                                 "740,74", "93,82", "Disavanzo di gestione", "Nota sintetica esplicativa",
                                 "Bianchi Anna: € 400,00"})
        EXPECT_TRUE(plain.contains(QString::fromUtf8(expected))) << expected << "\n" << plain.toStdString();
    if (office) {
        auto* pdf = window->findChild<platform::PdfConverter*>();
        ASSERT_NE(pdf, nullptr);
        ASSERT_TRUE(pdf->waitForIdle(180000));
        const QString pdfPath = platform::PdfConverter::pdfPath(rtf);
        ASSERT_TRUE(QFile::exists(pdfPath)) << find<QLabel>("LabelStatoRendiconto")->text().toStdString();
        test::keepDocument(pdfPath);
        if (!QStandardPaths::findExecutable("pdftotext").isEmpty()) {
            QProcess pdfText;
            pdfText.start("pdftotext", {pdfPath, "-"});
            ASSERT_TRUE(pdfText.waitForFinished(30000));
            EXPECT_TRUE(QString::fromUtf8(pdfText.readAllStandardOutput()).contains("1.234,56"));
        }
    } else {
        EXPECT_TRUE(find<QLabel>("LabelStatoRendiconto")->text().contains("nessuna copia PDF"));
    }

    // "Esporta": the workbook beside it.
    find<QPushButton>("BEsporta")->click();
    EXPECT_EQ(app::takeMessages(), QStringList());
    EXPECT_GT(QFile(folder + "Rendiconto 2014 - " + stamp + ".xlsx").size(), 0);

    // "Chiudi esercizio": a due date that is no date changes nothing; then each conguaglio goes to 2015.
    find<QLineEdit>("EditScadenzaConguagli")->setText("31/02/2015");
    find<QPushButton>("BChiudiEsercizio")->click();
    EXPECT_EQ(app::takeMessages().size(), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ChiusureEsercizio"), 0);
    find<QLineEdit>("EditScadenzaConguagli")->setText("31/03/2015");
    answerQuestion("ButtonFirst");
    find<QPushButton>("BChiudiEsercizio")->click();
    const QStringList closed = app::takeMessages();
    ASSERT_EQ(closed.size(), 1);
    EXPECT_TRUE(closed[0].startsWith("Esercizio 2014 chiuso.")) << closed[0].toStdString();
    EXPECT_EQ(conguaglio(1), "140.74");
    EXPECT_EQ(conguaglio(2), "93.82");
    EXPECT_EQ(text("SELECT DataScadenza FROM Quote WHERE NomeQuote = 'Conguaglio 2014' AND IdLocale = 2"), "2015-03-31");
    EXPECT_TRUE(find<QLabel>("LabelChiusura")->text().startsWith("Esercizio 2014 chiuso il "));
    EXPECT_FALSE(find<QPushButton>("BChiudiEsercizio")->isEnabled());
    test::keepScreenshot(*window, "rendiconto-window");

    // "Estratto conguaglio" for the owner chosen in the per-unit grid, then, with nobody chosen
    // and the question answered, for every owner.
    auto* situazione = find<QTableWidget>("GridSituazione");
    situazione->selectRow(1);
    find<QPushButton>("BEstrattoConguaglio")->click();
    EXPECT_EQ(app::takeMessages(), QStringList());
    const QString bianchi = folder + "Estratto conguaglio 2014 - Bianchi Anna.rtf";
    QFile statement(bianchi);
    ASSERT_TRUE(statement.open(QIODevice::ReadOnly)) << bianchi.toStdString();
    const QString letter = documents::rtf::plainText(statement.readAll());
    EXPECT_FALSE(letter.contains(u'\\')) << letter.toStdString();
    for (const char* expected : {"Bianchi Anna", "A2", "493,82", "93,82", "€ 93,82, da versare entro il 31/03/2015."})
        EXPECT_TRUE(letter.contains(QString::fromUtf8(expected))) << expected << "\n" << letter.toStdString();
    EXPECT_FALSE(letter.contains("Rossi"));
    EXPECT_FALSE(QFile::exists(folder + "Estratto conguaglio 2014 - Rossi Mario.rtf"));
    situazione->clearSelection();
    answerQuestion("ButtonFirst");
    find<QPushButton>("BEstrattoConguaglio")->click();
    EXPECT_EQ(app::takeMessages(), QStringList());
    QFile rossi(folder + "Estratto conguaglio 2014 - Rossi Mario.rtf");
    ASSERT_TRUE(rossi.open(QIODevice::ReadOnly));
    EXPECT_TRUE(documents::rtf::plainText(rossi.readAll()).contains("€ 140,74, da versare entro il 31/03/2015."));
    EXPECT_TRUE(find<QLabel>("LabelStatoRendiconto")->text().startsWith("Estratti conguaglio scritti: 2"))
        << find<QLabel>("LabelStatoRendiconto")->text().toStdString();
    if (office) {
        ASSERT_TRUE(window->findChild<platform::PdfConverter*>()->waitForIdle(180000));
        test::keepDocument(platform::PdfConverter::pdfPath(rossi.fileName()));
    }

    // "Riapri esercizio" takes back what the closing wrote.
    answerQuestion("ButtonFirst");
    find<QPushButton>("BRiapriEsercizio")->click();
    EXPECT_EQ(app::takeMessages().size(), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE AA = '2015'"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Entrate WHERE AA = '2015'"), 0);
    EXPECT_EQ(find<QLabel>("LabelChiusura")->text(), "Esercizio 2014 non ancora chiuso");
}
