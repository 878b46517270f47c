#include "dialogkit/Messages.h"
#include "cashbook/ui/MovementDialogs.h"
#include "cashbook/ui/TFPercentualeRipartizione.h"
#include "support/Screenshot.h"
#include "support/ui/MainWindowFixture.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = "Sant'Anna - Via dell'Olmo 1";
const QString kBeta = "Beta - Via Po 2";

// Alfa: a current year, its own person record, a supplier with an apostrophe associated with it,
// two budget items. Beta: a year and nothing else.
void fillOffice(app::Workspace& ws)
{
    auto& db = ws.mainDb();
    test::addCondominiumsWithYear(db, {kAlfa, kBeta}, "2014");
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome) VALUES (?, ?)", {kAlfa, kAlfa});
    db.exec("INSERT INTO Fornitori (Cognome, Nome) VALUES ('D''Angelo', 'Pia'), ('Zeta', '')");
    db.exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (1, ?), (2, ?)", {kAlfa, kAlfa});
    db.exec("INSERT INTO Tabelle (Id_Condominio, Nome, Descrizione) VALUES (?, 'A', 'Generale'), (?, 'S', 'Scale')",
            {kAlfa, kAlfa});
    db.exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) VALUES "
            "(?, '2014', 'S', 'Pulizia dell''androne', 300), (?, '2014', 'A', 'Assicurazione', 700)",
            {kAlfa, kAlfa});
}

class MovementDialogs : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        writeOffice(fillOffice);
        openWindow({cashbook::ui::installMovementDialogs});
        showWindow(kAlfa);
    }

    QDialog* open(app::Tab tab, const char* button, const char* dialog)
    {
        showTab(tab);
        click(form.get(), button);
        return form->findChild<QDialog*>(dialog);
    }
    QLineEdit* edit(QWidget* d, const char* name) { return d->findChild<QLineEdit*>(name); }
    QComboBox* combo(QWidget* d, const char* name) { return d->findChild<QComboBox*>(name); }
    void type(QWidget* d, const char* name, const QString& text)
    {
        QLineEdit* e = edit(d, name);
        ASSERT_NE(e, nullptr) << name;
        e->clear();
        QTest::keyClicks(e, text);
    }
    QString balances() { return figure("EditTOTC") + " " + figure("EditTOTCC") + " " + figure("EditTOT"); }
    void pick(QTableView* view, int row) { view->setCurrentIndex(view->model()->index(row, 0)); }
};

} // namespace

// ---- TFormUscite ----

TEST_F(MovementDialogs, AnExpenseWithWithholdingMovesTheThreeBalances)
{
    EXPECT_EQ(balances(), "0.00 0.00 0.00");
    QDialog* d = open(app::Tab::Uscite, "Baggiungi", "TFormUscite");
    ASSERT_TRUE(d && d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(d->windowTitle(), "Uscite");
    EXPECT_EQ(d->findChild<QLabel*>("LabelCondominio")->text(), kAlfa);
    EXPECT_EQ(d->findChild<QLabel*>("LabelAnnoAmministrativo")->text(), "2014");
    QComboBox* suppliers = combo(d, "ComboFornitori");
    EXPECT_EQ(suppliers->currentText(), "D'Angelo Pia");
    QComboBox* items = combo(d, "ComboTipoSpesa");
    ASSERT_EQ(items->count(), 2);
    EXPECT_EQ(items->model()->columnCount(), 3);
    EXPECT_EQ(items->currentText(), "Assicurazione") << "items by table: A before S";
    EXPECT_EQ(items->model()->index(1, 1).data().toString(), "Scale");
    EXPECT_EQ(combo(d, "ComboTipologia")->currentText(), "Spese ordinarie");
    EXPECT_TRUE(d->findChild<QCheckBox*>("CheckPagato")->isChecked());
    QGroupBox* group = d->findChild<QGroupBox*>("GroupBox1");
    EXPECT_FALSE(group->isVisible());
    QCheckBox* withholding = d->findChild<QCheckBox*>("CheckRitenuta");
    EXPECT_FALSE(withholding->isEnabled()) << "no invoice number yet";
    EXPECT_TRUE(d->findChild<QPushButton*>("SpeedButton1")->isEnabled());

    type(d, "EditCausale", "Parcella dell'ingegnere");
    type(d, "EditNumFattura", "7/2014");
    ASSERT_TRUE(withholding->isEnabled());
    type(d, "EditImportoLordo", "1a0,00");
    EXPECT_EQ(edit(d, "EditImportoLordo")->text(), "1000") << "keys other than digits, '-' and '.' are discarded";
    type(d, "EditImponibileIVA", "820");
    EXPECT_EQ(edit(d, "EditIVA")->text(), "180.00");
    // A gross below its taxable base shows no VAT rather than a negative one.
    type(d, "EditImponibileIVA", "1200");
    EXPECT_EQ(edit(d, "EditIVA")->text(), "0.00");
    type(d, "EditImponibileIVA", "820");
    type(d, "EditCommissione", "2");
    combo(d, "ComboPagamento")->setCurrentText("Conto Corrente");
    QTest::mouseClick(withholding, Qt::LeftButton);
    EXPECT_TRUE(group->isVisible());
    type(d, "EditImportoNetto", "800");
    type(d, "EditRitenuteOperate", "200");
    type(d, "EditCodTributo", "1040");
    combo(d, "ComboMetodoRitenuta")->setCurrentText("Cassa");
    test::keepScreenshot(*d, "TFormUscite");
    click(d, "BtnConferma");
    EXPECT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();

    EXPECT_EQ(balances(), "-200.00 -802.00 -1002.00");
    EXPECT_EQ(figure("EditUsciteCC"), "802.00");
    EXPECT_EQ(value("SELECT ImportoLordo || '|' || IVA || '|' || Condominio FROM Uscite").toString(),
              "802.0|180.0|" + kAlfa);

    // Reopened in modify mode: the gross as typed, the withholding group shown, no split.
    auto* grid = form->findChild<QTableView*>("DBGridUscite");
    pick(grid, 0);
    d = open(app::Tab::Uscite, "BModifica", "TFormUscite");
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(edit(d, "EditImportoLordo")->text(), "1000.00");
    EXPECT_TRUE(group->isVisible());
    EXPECT_EQ(combo(d, "ComboMetodoRitenuta")->currentText(), "Cassa");
    EXPECT_FALSE(d->findChild<QPushButton*>("SpeedButton1")->isEnabled());
    // Paid from the cash box instead: the whole expense leaves the cash.
    combo(d, "ComboPagamento")->setCurrentText("Cassa");
    click(d, "BtnConferma");
    EXPECT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(balances(), "-1002.00 0.00 -1002.00");
    EXPECT_EQ(value("SELECT COUNT(*) FROM Uscite").toInt(), 1);

    // The supplier no longer serves the condominium: the expense still opens on it.
    db().exec("DELETE FROM fornitori_associazione WHERE IdFornitore = 1");
    pick(grid, 0);
    d = open(app::Tab::Uscite, "BModifica", "TFormUscite");
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(combo(d, "ComboFornitori")->currentText(), "D'Angelo Pia");
    EXPECT_EQ(combo(d, "ComboFornitori")->count(), 2);
    click(d, "BtnAnnulla");
}

TEST_F(MovementDialogs, RequiredFieldsAndTheQuestionOnNetAndWithholding)
{
    QDialog* d = open(app::Tab::Uscite, "Baggiungi", "TFormUscite");
    ASSERT_TRUE(d->isVisible());
    edit(d, "EditCommissione")->clear();
    click(d, "BtnConferma");
    EXPECT_EQ(app::takeMessages(), QStringList{"Inserire la causale\nInserire un importo lordo valido\n"
                                               "Inserire un importo per la commissione"});
    EXPECT_TRUE(d->isVisible());

    type(d, "EditCausale", "Onorario");
    type(d, "EditNumFattura", "3");
    type(d, "EditImportoLordo", "1000");
    type(d, "EditCommissione", "0");
    QTest::mouseClick(d->findChild<QCheckBox*>("CheckRitenuta"), Qt::LeftButton);
    type(d, "EditImportoNetto", "790");
    type(d, "EditRitenuteOperate", "200");
    type(d, "EditCodTributo", "1040");
    answerQuestion("ButtonSecond");
    click(d, "BtnConferma");
    EXPECT_TRUE(d->isVisible()) << "\"No\" keeps the dialog open without saving";
    EXPECT_EQ(value("SELECT COUNT(*) FROM Uscite").toInt(), 0);
    answerQuestion("ButtonFirst");
    click(d, "BtnConferma");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(value("SELECT ImportoNetto || '|' || ImportoLordo FROM Uscite").toString(), "790.0|800.0");
}

TEST_F(MovementDialogs, MissingSupplierOrBudgetItemKeepsTheDialogClosed)
{
    form->selectCondominium(kBeta);
    app::takeMessages();
    QDialog* d = open(app::Tab::Uscite, "Baggiungi", "TFormUscite");
    EXPECT_FALSE(d && d->isVisible());
    EXPECT_EQ(app::takeMessages(), QStringList{"E' necessario associare preventivamente un fornitore al condominio "
                                               "nella linguetta \"Fornitori\""});
    db().exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (2, ?)", {kBeta});
    d = open(app::Tab::Uscite, "Baggiungi", "TFormUscite");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(app::takeMessages(), QStringList{"E' necessario creare preventivamente una voce di preventivo nella "
                                               "linguetta \"Preventivo\""});
}

TEST_F(MovementDialogs, ASplitBySixtyAndFortyWritesTwoRows)
{
    QDialog* d = open(app::Tab::Uscite, "Baggiungi", "TFormUscite");
    ASSERT_TRUE(d->isVisible());
    type(d, "EditCausale", "Manutenzione");
    type(d, "EditImportoLordo", "1000");
    type(d, "EditCommissione", "5");
    click(d, "SpeedButton1");
    auto* split = d->findChild<cashbook::ui::TFPercentualeRipartizione*>("TFPercentualeRipartizione");
    ASSERT_TRUE(split && split->isVisible());
    auto* grid = split->findChild<QTableWidget*>("StringGridPercRip");
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->horizontalHeaderItem(3)->text(), "Punti percentuali di ripartizione");
    EXPECT_EQ(grid->item(0, 1)->text(), "Assicurazione");
    EXPECT_EQ(grid->item(1, 2)->text(), "S");
    EXPECT_FALSE(grid->item(0, 1)->flags() & Qt::ItemIsEditable);

    grid->item(0, 3)->setText("50");
    grid->item(1, 3)->setText("49.99");
    click(split, "BtnConferma");
    EXPECT_EQ(app::takeMessages(), QStringList{"La somma delle percentuali deve essere pari a 100"});
    EXPECT_TRUE(split->isVisible());
    grid->item(0, 3)->setText("60");
    grid->item(1, 3)->setText("40");
    test::keepScreenshot(*split, "TFPercentualeRipartizione");
    click(split, "BtnConferma");
    EXPECT_FALSE(split->isVisible());
    EXPECT_FALSE(combo(d, "ComboTipoSpesa")->isEnabled());
    // Opened again, the confirmed split is shown as it was.
    click(d, "SpeedButton1");
    EXPECT_EQ(grid->item(1, 3)->text(), "40");
    click(split, "BtnConferma");

    click(d, "BtnConferma");
    EXPECT_FALSE(d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(value("SELECT group_concat(TipoSpesa || ':' || Tabella || ':' || ImportoLordo || ':' || Commissione, "
                    "' ') FROM (SELECT * FROM Uscite ORDER BY id)")
                  .toString(),
              "Assicurazione:A:603.0:3.0 Pulizia dell'androne:S:402.0:2.0");
    EXPECT_EQ(figure("EditUsciteTOT"), "1005.00");

    // The next expense starts without the split.
    d = open(app::Tab::Uscite, "Baggiungi", "TFormUscite");
    EXPECT_TRUE(combo(d, "ComboTipoSpesa")->isEnabled());
    EXPECT_FALSE(split->splitActive());
}

// ---- TFEntrateSpeciali ----

TEST_F(MovementDialogs, ATransferKeepsTheTotalAndIsChangedFromEitherRow)
{
    QDialog* d = open(app::Tab::Entrate, "Baggiungi", "TFEntrateSpeciali");
    ASSERT_TRUE(d && d->isVisible()) << app::takeMessages().join('|').toStdString();
    EXPECT_EQ(d->windowTitle(), "Entrate");
    EXPECT_EQ(edit(d, "EditImporto")->text(), "0.00");
    EXPECT_FALSE(combo(d, "ComboTipologia")->findText("Spese personali") >= 0);
    type(d, "EditImporto", "1000");
    click(d, "Conferma");
    EXPECT_EQ(balances(), "1000.00 0.00 1000.00");

    d = open(app::Tab::Entrate, "Baggiungi", "TFEntrateSpeciali");
    combo(d, "ComboTipoMovimento")->setCurrentText("Passaggio su C.C.");
    EXPECT_FALSE(combo(d, "ComboMetodoPagamento")->isEnabled());
    EXPECT_FALSE(combo(d, "ComboTipologia")->isEnabled());
    type(d, "EditImporto", "500");
    click(d, "Conferma");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(balances(), "500.00 500.00 1000.00");

    // The bank row, opened: its amount without sign; 300.00 changes both rows.
    auto* grid = form->findChild<QTableView*>("DBGridEntrate");
    const qint64 bank = value("SELECT id FROM Entrate WHERE MetodoPagamento = 'Conto Corrente'").toLongLong();
    int row = -1;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        if (form->workspace().ds("ADOQueryEntrate").valueAt(r, "Id").toLongLong() == bank)
            row = r;
    ASSERT_GE(row, 0);
    pick(grid, row);
    d = open(app::Tab::Entrate, "BModifica", "TFEntrateSpeciali");
    ASSERT_TRUE(d->isVisible());
    EXPECT_FALSE(combo(d, "ComboTipoMovimento")->isEnabled());
    EXPECT_EQ(combo(d, "ComboTipoMovimento")->currentText(), "Passaggio su C.C.");
    EXPECT_EQ(edit(d, "EditImporto")->text(), "500.00");
    type(d, "EditImporto", "300");
    test::keepScreenshot(*d, "TFEntrateSpeciali");
    click(d, "Conferma");
    EXPECT_EQ(balances(), "700.00 300.00 1000.00");
    test::keepScreenshot(*form, "EntrateTab");
    EXPECT_EQ(value("SELECT group_concat(Importo, ' ') FROM (SELECT * FROM Entrate ORDER BY id)").toString(),
              "1000.0 -300.0 300.0");
}

TEST_F(MovementDialogs, APaymentRowChangesOnlyItsDatePlaceAndNote)
{
    db().exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, Importo, MetodoPagamento, Tipologia, "
              "Ricevuta) VALUES (?, '2014', '2014-01-10', 'Entrata', 120, 'Cassa', 'Spese ordinarie', 4)",
              {kAlfa});
    form->selectCondominium(kAlfa);
    EXPECT_EQ(balances(), "120.00 0.00 120.00");
    showTab(app::Tab::Entrate);
    pick(form->findChild<QTableView*>("DBGridEntrate"), 0);
    QDialog* d = open(app::Tab::Entrate, "BModifica", "TFEntrateSpeciali");
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(combo(d, "ComboTipoMovimento")->currentIndex(), -1);
    EXPECT_FALSE(edit(d, "EditImporto")->isEnabled());
    EXPECT_FALSE(combo(d, "ComboTipologia")->isEnabled());
    EXPECT_TRUE(combo(d, "ComboMetodoPagamento")->isEnabled());
    EXPECT_EQ(d->findChild<QDateEdit*>("ComboData")->date(), QDate(2014, 1, 10));
    combo(d, "ComboMetodoPagamento")->setCurrentText("Conto Corrente");
    type(d, "EditNota", "bonifico dell'inquilino");
    click(d, "Conferma");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(balances(), "0.00 120.00 120.00");
    EXPECT_EQ(value("SELECT Importo || '|' || Ricevuta || '|' || Nota FROM Entrate").toString(),
              "120.0|4|bonifico dell'inquilino");
}
