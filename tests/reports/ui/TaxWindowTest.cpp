// The window's side of exports and tax reports: "Esporta" of a register tab (visible columns in
// the order shown, the clipboard, the shell, a missing spreadsheet program), the Quadro AC window,
// the supplier selection, the certificates and the F24 summary of the Stampe tab.
#include "../TaxFixture.h"
#include "../XlsxRead.h"
#include "foundation/Tab.h"
#include "dialogkit/Messages.h"
#include "window/ui/TForm1.h"
#include "platform/Shell.h"
#include "support/Screenshot.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace velcaris;
using velcaris::test::Expense;
using velcaris::test::kCondominio;
using velcaris::test::XlsxBook;

namespace {

class TaxWindow : public test::TaxFixture {
protected:
    void SetUp() override
    {
        TaxFixture::SetUp();
        architect = addSupplier("Neri \"Studio\"", "Carlo");
        builder = addSupplier("Edil Sud");
        addExpense({architect, 1220, QDate(2024, 2, 10), 200, "1040", "2024", QDate(2024, 2, 1), QDate(2024, 3, 15)});
        addExpense({builder, 400, QDate(2024, 3, 10)});
        office.db().exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, Nome, Importo, MetodoPagamento, "
                         "Tipologia, Ricevuta) VALUES (?, '2024', '2024-03-05', 'Entrata', 'Rata 1', 150.5, 'Cassa', "
                         "'Spese ordinarie', 1)",
                         {kCondominio});
        app::TForm1::setShowErrors(false);
        form = std::make_unique<app::TForm1>(app::AppPaths(office.folder()));
        form->setShell(&shell);
        form->show();
        form->selectCondominium(kCondominio);
        app::takeMessages();
    }
    void TearDown() override
    {
        form.reset();
        TaxFixture::TearDown();
    }
    void showTab(app::Tab tab) { get<QTabWidget>("PageControl1")->setCurrentIndex(int(tab)); }
    template <class W>
    W* get(const char* name) const
    {
        W* w = form->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString folder() { return office.ws().paths().outputFolder() + kCondominio + "/"; }

    platform::RecordingShell shell;
    std::unique_ptr<app::TForm1> form;
    qint64 architect = 0, builder = 0;
};

} // namespace

TEST_F(TaxWindow, EsportaWritesTheColumnsAsShownOpensTheFileAndFillsTheClipboard)
{
    showTab(app::Tab::Entrate);
    auto* grid = get<QTableView>("DBGridEntrate");
    store::Dataset& ds = office.ws().ds("ADOQueryEntrate");
    // The user hides the note and drags the amount to the front.
    grid->setColumnHidden(ds.fieldIndex("Nota"), true);
    grid->horizontalHeader()->moveSection(grid->horizontalHeader()->visualIndex(ds.fieldIndex("Importo")), 0);

    get<QPushButton>("BExport")->click();
    EXPECT_TRUE(app::takeMessages().isEmpty());
    const QString file = form->lastExport();
    ASSERT_TRUE(file.startsWith(folder() + "Entrate - ")) << file.toStdString();
    ASSERT_EQ(shell.calls().size(), 1);
    EXPECT_EQ(shell.calls()[0].path, file);
    const XlsxBook book(file);
    ASSERT_TRUE(book.ok);
    const QStringList header = book.rowTexts(1);
    EXPECT_EQ(header.first(), "Importo");
    EXPECT_FALSE(header.contains("Nota"));
    EXPECT_FALSE(header.contains("Id"));
    EXPECT_DOUBLE_EQ(book.at("A2").number, 150.5);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("Importo\tCondominio\t"))
        << QApplication::clipboard()->text().toStdString();

    // Without a program for the file it is still written, and the user is told where.
    shell.failWith("nessun programma associato");
    get<QPushButton>("BExport")->click();
    const QStringList said = app::takeMessages();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains(QDir::toNativeSeparators(form->lastExport()))) << said[0].toStdString();
    EXPECT_TRUE(said[0].contains("nessun programma associato"));
    EXPECT_TRUE(QFile::exists(form->lastExport()));

    // The Stampe and Memo tabs export nothing.
    for (app::Tab tab : {app::Tab::Stampe, app::Tab::Memo}) {
        showTab(tab);
        get<QPushButton>("BExport")->click();
        EXPECT_TRUE(form->lastExport().isEmpty());
    }
}

TEST_F(TaxWindow, TheQuadroACWindowShowsTheGridAndSavesIt)
{
    showTab(app::Tab::Stampe);
    get<QComboBox>("TipoModello2")->setCurrentText("Quadro AC");
    get<QPushButton>("BStampa2")->click();
    EXPECT_EQ(app::takeMessages(), QStringList{"Inserire l'anno di riferimento"});
    EXPECT_EQ(form->findChild<QWidget*>("TFStampe"), nullptr);

    QTest::keyClicks(get<QLineEdit>("EditAnno"), "2024");
    get<QPushButton>("BStampa2")->click();
    auto* window = get<QWidget>("TFStampe");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Stampe");
    auto* sg = window->findChild<QTableWidget*>("SG");
    ASSERT_EQ(sg->rowCount(), 15); // the builder only: the architect had tax withheld
    EXPECT_EQ(sg->columnCount(), 4);
    EXPECT_EQ(sg->item(8, 1)->text(), "Edil Sud");
    EXPECT_EQ(sg->item(8, 3)->text(), "400.00");
    EXPECT_TRUE(sg->item(0, 0)->font().bold());
    test::keepScreenshot(*window, "quadro-ac");

    window->findChild<QPushButton*>("BitBtn1")->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(app::takeMessages(),
              QStringList{QStringLiteral("Il file è stato creato con successo nella sottocartella \"Output\" del condominio")});
    const XlsxBook book(folder() + kCondominio + " - Quadro AC.xlsx");
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.text("B9"), "Edil Sud");

    // Modello 770: the year's rows selected, nothing written.
    get<QComboBox>("TipoModello2")->setCurrentText("Modello 770");
    get<QPushButton>("BStampa2")->click();
    EXPECT_TRUE(app::takeMessages().isEmpty());
    EXPECT_EQ(office.ws().ds("ADOTable770").rowCount(), 1);
}

TEST_F(TaxWindow, SuppliersWithWithholdingAreCheckedAndTheirCertificatesWritten)
{
    showTab(app::Tab::Stampe);
    auto* list = get<QListWidget>("ListaFornitori");
    ASSERT_EQ(list->count(), 2);
    auto checked = [&] {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked)
                out << list->item(i)->text();
        return out;
    };
    get<QPushButton>("SelezioneRitenute")->click();
    EXPECT_EQ(app::takeMessages(), QStringList{"Inserire l'anno di riferimento"});
    get<QPushButton>("Button1")->click();
    EXPECT_EQ(checked().size(), 2);
    QTest::keyClicks(get<QLineEdit>("EditAnnoCert"), "2024");
    get<QPushButton>("SelezioneRitenute")->click();
    EXPECT_EQ(checked(), QStringList{"Neri \"Studio\" Carlo"});

    get<QPushButton>("BtnStampaFornitori")->click();
    EXPECT_TRUE(app::takeMessages().isEmpty());
    EXPECT_TRUE(QFile::exists(folder() + "2024 - Neri \"Studio\" Carlo.rtf"));
    EXPECT_FALSE(get<QProgressBar>("Gauge2")->isVisible());
    get<QPushButton>("Button3")->click();
    EXPECT_TRUE(checked().isEmpty());
}

TEST_F(TaxWindow, TheF24SummaryIsShownAndExported)
{
    showTab(app::Tab::Stampe);
    QTest::keyClicks(get<QLineEdit>("EditAnnoF24"), "2024");
    get<QPushButton>("BtnF24")->click();
    auto* grid = get<QTableWidget>("GridF24");
    ASSERT_EQ(grid->rowCount(), 2); // February's 1040 and the totals
    EXPECT_EQ(grid->item(0, 0)->text(), "02/2024");
    EXPECT_EQ(grid->item(0, 2)->text(), "200.00");
    EXPECT_EQ(grid->item(0, 3)->text(), "16/03/2024");
    form->resize(1400, 800);
    test::keepScreenshot(*form, "stampe-f24");
    get<QPushButton>("BtnEsportaF24")->click();
    const QStringList said = app::takeMessages();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains("F24 2024.xlsx")) << said[0].toStdString();
    EXPECT_EQ(XlsxBook(folder() + kCondominio + " - F24 2024.xlsx").text("B2"), "1040");
}

TEST_F(TaxWindow, TheQuoteTabAsksWhichQuotasAndNeedsACondominium)
{
    showTab(app::Tab::Quote);
    // The box answered as the user would: the first button, then Esc.
    auto answer = [](const char* button) {
        QTimer::singleShot(0, [button] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "ConfirmWithCaptions" && w->isVisible()) {
                    if (QString(button) == "Esc")
                        QTest::keyClick(w, Qt::Key_Escape);
                    else
                        w->findChild<QPushButton*>(button)->click();
                }
        });
    };
    answer("ButtonFirst");
    get<QPushButton>("BExport")->click();
    ASSERT_FALSE(form->lastExport().isEmpty());
    const XlsxBook single(form->lastExport());
    EXPECT_EQ(single.sheetNames, QStringList{"Quote"});
    const QString singleHeader = single.rowTexts(1).join(',');

    answer("Esc");
    get<QPushButton>("BExport")->click();
    ASSERT_FALSE(form->lastExport().isEmpty());
    // The merged quotas have columns of their own.
    EXPECT_NE(XlsxBook(form->lastExport()).rowTexts(1).join(','), singleHeader);

    // No condominium: neither the quotas nor the budget are exported, and nothing is asked.
    form->selectCondominium(QString());
    for (app::Tab tab : {app::Tab::Quote, app::Tab::Preventivo}) {
        showTab(tab);
        get<QPushButton>("BExport")->click();
        EXPECT_TRUE(form->lastExport().isEmpty());
    }
}
