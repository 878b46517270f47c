#include "allocation/ui/AllocationDialogs.h"
#include "foundation/TypedDate.h"
#include "dialogkit/DatasetModel.h"
#include "dialogkit/DateField.h"
#include "dialogkit/Messages.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";

// Alfa, year 2014: Rossi (with web access) owns Int. 1 (Scala A, 600 in Generale), Bianchi owns
// Int. 2 (Scala B, 400); a second table Pulizie with 500 each.
void fillOffice(app::Workspace& ws)
{
    auto& db = ws.mainDb();
    test::addCondominiumsWithYear(db, {kAlfa}, "2014");
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, 'Rossi', 'Mario'), (?, 'Bianchi', '')",
            {kAlfa, kAlfa});
    db.exec("INSERT INTO Tabelle (Id_Condominio, Nome, Colore) VALUES (?, 'Generale', 'clAqua'), (?, 'Pulizie', 'clRed')",
            {kAlfa, kAlfa});
    db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino, IdTipologia, Scala) VALUES "
            "(?, 'Int. 1', 1, 1, 'Appartamento', 'A'), (?, 'Int. 2', 2, 2, 'Appartamento', 'B')",
            {kAlfa, kAlfa});
    db.exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, 1, 1, 600), (?, 1, 2, 500), "
            "(?, 2, 1, 400), (?, 2, 2, 500)",
            {kAlfa, kAlfa, kAlfa, kAlfa});
    db.exec("INSERT INTO web.Accesso (id, Persona, \"User\", Password, IdCondominio) VALUES (1, 'Rossi Mario', 'Rossi', 'x', ?)",
            {kAlfa});
}

class TFRipartizioneTest : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        writeOffice(fillOffice);
        openWindow({allocation::ui::installDialogs});
        showWindow(kAlfa, app::Tab::Quote);
    }
    QDialog* open()
    {
        QTest::mouseClick(form->findChild<QPushButton*>("Baggiungi"), Qt::LeftButton);
        auto* d = form->findChild<QDialog*>("TFRipartizione");
        return d && d->isVisible() ? d : nullptr;
    }
    template <typename T>
    T* get(QWidget* d, const char* name)
    {
        T* w = d->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void setInstalments(QDialog* d, const QString& n)
    {
        auto* number = get<QLineEdit>(d, "NumeroQuote");
        number->setFocus();
        number->setText(n);
        Q_EMIT number->editingFinished();
    }
};

} // namespace

TEST_F(TFRipartizioneTest, OpensResetAndWritesAfterThePreview)
{
    QDialog* d = open();
    ASSERT_NE(d, nullptr) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(d->windowTitle(), "Ripartizione");
    auto* tabs = get<QTabWidget>(d, "PageControl");
    EXPECT_EQ(tabs->tabText(0), "Ripartizione Quote");
    EXPECT_EQ(tabs->tabText(1), "Quote Personali");
    auto* type = get<QComboBox>(d, "ComboTipologia");
    EXPECT_EQ(type->currentText(), "Spese ordinarie");
    auto* tables = get<QTableWidget>(d, "GridTabelle");
    ASSERT_EQ(tables->rowCount(), 2);
    EXPECT_EQ(tables->item(0, 0)->text(), "Generale");
    EXPECT_EQ(tables->item(1, 1)->text(), "0.00");
    EXPECT_FALSE(tables->item(0, 0)->flags() & Qt::ItemIsEditable);
    auto* quotas = get<QTableWidget>(d, "GridQuote");
    EXPECT_EQ(quotas->rowCount(), 1);
    EXPECT_FALSE(get<QLineEdit>(d, "EditPU")->isVisible());
    EXPECT_FALSE(get<QListWidget>(d, "RipScale")->isVisible());

    test::keepScreenshot(*d, "TFRipartizione");
    // No number of instalments: refused, nothing written.
    click(d, "Conferma");
    EXPECT_EQ(app::takeMessages(), QStringList{"Il numero delle quote deve essere un numero intero maggiore di zero"});

    tables->item(0, 1)->setText("1000");
    setInstalments(d, "2");
    ASSERT_EQ(quotas->rowCount(), 2);
    EXPECT_EQ(quotas->item(1, 0)->text(), "2");
    quotas->item(0, 1)->setText("Rata 1");
    // The date cell shows today as soon as it has the focus; the picker covers it.
    quotas->setCurrentCell(0, 2);
    EXPECT_EQ(quotas->item(0, 2)->text(), QDate::currentDate().toString("dd/MM/yyyy"));
    auto* picker = d->findChild<app::DateField*>("DataScadenzaPicker");
    ASSERT_NE(picker, nullptr);
    picker->setDate(QDate(2014, 6, 30));
    EXPECT_EQ(quotas->item(0, 2)->text(), "30/06/2014");

    // An empty second name is refused; then the preview, back, and the preview again.
    click(d, "Conferma");
    EXPECT_EQ(app::takeMessages(), QStringList{"Il nome della quota non può essere nullo"});
    quotas->item(1, 1)->setText("Rata 2");
    click(d, "Conferma");
    auto* preview = get<QPlainTextEdit>(d, "MemoAnteprima");
    ASSERT_TRUE(preview->isVisible());
    EXPECT_TRUE(preview->toPlainText().contains("Generale: 1000.00 / 1000.00")) << preview->toPlainText().toStdString();
    EXPECT_TRUE(preview->toPlainText().contains("rata 2: 500.00"));
    test::keepScreenshot(*d, "TFRipartizioneAnteprima");
    click(d, "BtnIndietro");
    EXPECT_FALSE(preview->isVisible());
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote"), 0);
    click(d, "Conferma");
    click(d, "BtnScrivi");
    EXPECT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE NomeQuote = 'Rata 1' AND DataScadenza = '2014-06-30'"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE IdLocale = 1 AND Importo = 300"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote WHERE idLocale = 1"), 2);

    // Opening again resets everything; the preview now says the names exist.
    d = open();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(get<QTableWidget>(d, "GridQuote")->rowCount(), 1);
    EXPECT_TRUE(get<QLineEdit>(d, "NumeroQuote")->text().isEmpty());
    get<QTableWidget>(d, "GridTabelle")->item(1, 1)->setText("50");
    setInstalments(d, "1");
    get<QTableWidget>(d, "GridQuote")->item(0, 1)->setText("Rata 1");
    click(d, "Conferma");
    EXPECT_TRUE(get<QPlainTextEdit>(d, "MemoAnteprima")->toPlainText().contains("esistono già quote con il nome Rata 1"));
}

TEST_F(TFRipartizioneTest, ExceptionsStaircasesAndEqualParts)
{
    QDialog* d = open();
    ASSERT_NE(d, nullptr);
    // Exceptions: every unit checked; Int. 1 unchecked and confirmed.
    click(d, "BEccezioni");
    auto* exceptions = form->findChild<QDialog*>("TFEccezioni");
    ASSERT_TRUE(exceptions && exceptions->isVisible());
    auto* list = get<QTreeWidget>(exceptions, "ListaLocali");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "Rossi Mario");
    EXPECT_EQ(list->topLevelItem(0)->checkState(0), Qt::Checked);
    list->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    click(exceptions, "BtnConferma");
    EXPECT_FALSE(exceptions->isVisible());

    get<QTableWidget>(d, "GridTabelle")->item(0, 1)->setText("1000");
    setInstalments(d, "1");
    get<QTableWidget>(d, "GridQuote")->item(0, 1)->setText("Unica");
    click(d, "Conferma");
    click(d, "BtnScrivi");
    ASSERT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE IdLocale = 1 AND Importo = 0"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE IdLocale = 2 AND Importo = 1000"), 1);

    // Reopened: the exclusions are forgotten. Staircase A only, equal parts of 120 in 4.
    d = open();
    auto* byStaircase = get<QCheckBox>(d, "CheckRipScale");
    QTest::mouseClick(byStaircase, Qt::LeftButton);
    auto* scale = get<QListWidget>(d, "RipScale");
    ASSERT_TRUE(scale->isVisible());
    ASSERT_EQ(scale->count(), 2);
    EXPECT_EQ(scale->item(0)->text(), "A");
    scale->item(0)->setCheckState(Qt::Checked);
    auto* pu = get<QCheckBox>(d, "CheckPU");
    QTest::mouseClick(pu, Qt::LeftButton);
    auto* part = get<QLineEdit>(d, "EditPU");
    ASSERT_TRUE(part->isVisible());
    part->setText("120");
    setInstalments(d, "4");
    auto* quotas = get<QTableWidget>(d, "GridQuote");
    for (int i = 0; i < 4; ++i)
        quotas->item(i, 1)->setText(QStringLiteral("Parte %1").arg(i + 1));
    click(d, "Conferma");
    click(d, "BtnScrivi");
    ASSERT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE NomeQuote LIKE 'Parte %' AND IdLocale = 1 AND Importo = 30"), 4);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE NomeQuote LIKE 'Parte %' AND IdLocale = 2"), 0);
}

TEST_F(TFRipartizioneTest, PersonalQuotaGoesToTheUnitOfTheSingleQuotaView)
{
    db().exec("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo, Tipologia) "
              "VALUES (?, 2, '2014', 'Rata 1', 10, 'Spese ordinarie')",
              {kAlfa});
    form->selectCondominium(kAlfa);
    QDialog* d = open();
    ASSERT_NE(d, nullptr);
    get<QTabWidget>(d, "PageControl")->setCurrentIndex(1);
    EXPECT_EQ(get<QLabel>(d, "LabelCondominio")->text(), kAlfa);
    EXPECT_EQ(get<QLabel>(d, "LabelLocale")->text(), "Int. 2");
    EXPECT_EQ(get<QLabel>(d, "LabelTipologia")->text(), "Spese personali");
    EXPECT_EQ(get<app::DateField>(d, "EditData")->date(), QDate::currentDate());
    click(d, "Conferma");
    EXPECT_EQ(app::takeMessages(), QStringList{"Il nome della quota non può essere nullo"});
    QTest::keyClicks(get<QLineEdit>(d, "EditQuota"), "Duplicato. chiavi");
    EXPECT_EQ(get<QLineEdit>(d, "EditQuota")->text(), "Duplicato chiavi") << "the full stop is not typed";
    QTest::keyClicks(get<QLineEdit>(d, "EditImporto"), "25.5");
    click(d, "Conferma");
    ASSERT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE IdLocale = 2 AND NomeQuote = 'Duplicato chiavi' AND Importo = 25.5 "
                    "AND PagabiliSiNo = 1 AND Tipologia = 'Spese personali'"),
              1);
}

TEST_F(TFRipartizioneTest, AfterAnAllocationTheRegisterShowsTheAmountsDue)
{
    // An earlier quota of Int. 1, partly paid: 100 due, 60 still to pay.
    db().exec("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo, ImportoPagato, Tipologia) "
              "VALUES (?, 1, '2014', 'Rata 0', 100, 40, 'Spese ordinarie')",
              {kAlfa});
    auto* toPay = form->findChild<QPushButton*>("Bpagare");
    ASSERT_TRUE(toPay->isChecked());
    QDialog* d = open();
    ASSERT_NE(d, nullptr);
    get<QTableWidget>(d, "GridTabelle")->item(0, 1)->setText("1000");
    setInstalments(d, "1");
    get<QTableWidget>(d, "GridQuote")->item(0, 1)->setText("Rata 1");
    click(d, "Conferma");
    click(d, "BtnScrivi");
    ASSERT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();

    EXPECT_FALSE(toPay->isChecked());
    EXPECT_FALSE(form->findChild<QPushButton*>("Bpagato")->isChecked());
    auto* grouped = form->findChild<QTableView*>("DBGridQuoteAccorpate");
    store::Dataset& ds = *qobject_cast<app::DatasetModel*>(grouped->model())->dataset();
    bool found = false;
    for (int row = 0; row < ds.rowCount(); ++row)
        if (ds.valueAt(row, "IdProprietario").toLongLong() == 1) {
            found = true;
            EXPECT_DOUBLE_EQ(ds.valueAt(row, "Rata 0").toDouble(), 100.0) << "the amount due, not the 60 to pay";
            EXPECT_DOUBLE_EQ(ds.valueAt(row, "Rata 1").toDouble(), 600.0);
        }
    EXPECT_TRUE(found);
}

TEST_F(TFRipartizioneTest, ADueDateIsTakenAsTypedOrRefused)
{
    QDialog* d = open();
    ASSERT_NE(d, nullptr);
    get<QTableWidget>(d, "GridTabelle")->item(0, 1)->setText("1000");
    setInstalments(d, "2");
    auto* quotas = get<QTableWidget>(d, "GridQuote");
    quotas->item(0, 1)->setText("Rata 1");
    quotas->item(1, 1)->setText("Rata 2");
    // Typed over what the date box of the cell shows, key by key.
    auto type = [&](int row, const char* text) {
        quotas->setCurrentCell(row, 2);
        app::DateField* box = nullptr;
        for (app::DateField* field : quotas->findChildren<app::DateField*>("DataScadenzaPicker"))
            if (field->isVisible())
                box = field;
        ASSERT_NE(box, nullptr);
        box->selectAll();
        QTest::keyClicks(box, text);
    };
    type(0, "15/06/2027");
    type(1, "31/02/2027");
    click(d, "Conferma");
    EXPECT_EQ(app::takeMessages(), QStringList{app::notADateMessage("31/02/2027")});
    EXPECT_EQ(quotas->item(1, 2)->text(), "31/02/2027") << "a text that is no date stays as typed";
    EXPECT_FALSE(get<QPlainTextEdit>(d, "MemoAnteprima")->isVisible());
    type(1, "01122027");
    click(d, "Conferma");
    click(d, "BtnScrivi");
    ASSERT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE NomeQuote = 'Rata 1' AND DataScadenza = '2027-06-15'"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE NomeQuote = 'Rata 2' AND DataScadenza = '2027-12-01'"), 2);

    // The personal quota's date box: a two-figure year is refused, not guessed.
    form->selectCondominium(kAlfa);
    d = open();
    ASSERT_NE(d, nullptr);
    get<QTabWidget>(d, "PageControl")->setCurrentIndex(1);
    QTest::keyClicks(get<QLineEdit>(d, "EditQuota"), "Chiavi");
    QTest::keyClicks(get<QLineEdit>(d, "EditImporto"), "10");
    auto* due = get<app::DateField>(d, "EditData");
    due->clear();
    QTest::keyClicks(due, "2/3/27");
    click(d, "Conferma");
    EXPECT_EQ(app::takeMessages(), QStringList{app::notADateMessage("2/3/27")});
    EXPECT_TRUE(d->isVisible());
    due->clear();
    QTest::keyClicks(due, "2/3/2027");
    click(d, "Conferma");
    ASSERT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE NomeQuote = 'Chiavi' AND DataScadenza = '2027-03-02'"), 1);
}
