#include "foundation/Selection.h"
#include "cashbook/Balances.h"
#include "cashbook/AmountText.h"
#include "cashbook/Expenses.h"
#include "cashbook/Payments.h"
#include "support/Office.h"

#include <gtest/gtest.h>

using namespace velcaris;
using cashbook::ExpenseInput;

namespace {

const QString kAlfa = "D'Amico - Via dell'Orto 3";

class ExpensesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addYear(kAlfa, "2014", true);
        db().exec("INSERT INTO Fornitori (Cognome, Nome) VALUES ('Dell''Acqua', 'Luca')");
        supplier = db().lastInsertId();
        db().exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) VALUES "
                  "(?, '2014', 'A', 'Manutenzione ascensore', 500), (?, '2014', 'B', 'Pulizia scala B', 300), "
                  "(?, '2014', 'C', 'Luce dell''androne', 100)",
                  {kAlfa, kAlfa, kAlfa});
    }
    store::Database& db() { return office.db(); }
    QVariant value(const QString& sql, const QVector<QVariant>& params = {}) { return db().scalar(sql, params); }
    ExpenseInput expense(const QString& gross, const QString& commission = "0.00")
    {
        ExpenseInput in;
        in.condominio = kAlfa;
        in.aa = "2014";
        in.fornitore = supplier;
        in.tipoSpesa = "Manutenzione ascensore";
        in.tabella = "A";
        in.causale = "Fattura d'aprile";
        in.numFattura = "12/A";
        in.dataFattura = QDate(2014, 4, 2);
        in.importoLordo = gross;
        in.imponibileIVA = "0.00";
        in.commissione = commission;
        in.dataPagamento = QDate(2014, 4, 10);
        in.pagamento = "Conto Corrente";
        in.tipologia = "Spese ordinarie";
        in.metodoRitenuta = "Cassa";
        in.importoNetto = in.ritenuteOperate = in.interessi = "0.00";
        in.periodoRiferimento = in.dataRitenuta = QDate(2014, 5, 16);
        return in;
    }
    static void withhold(ExpenseInput& in, const QString& net, const QString& withholding)
    {
        in.ritenuta = true;
        in.importoNetto = net;
        in.ritenuteOperate = withholding;
        in.codTributo = "1040";
    }
    cashbook::Balances balances()
    {
        app::chooseCondominium(office.ws(), kAlfa);
        return cashbook::RicalcolaSaldi(office.ws());
    }
    test::Office office;
    qint64 supplier = 0;
};

} // namespace

TEST_F(ExpensesTest, ListsAndPreconditionsOfACondominiumWithApostrophes)
{
    EXPECT_EQ(cashbook::expensePrecondition(office.ws(), kAlfa), cashbook::kNoSupplierMessage);
    db().exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (?, ?)", {supplier, kAlfa});
    EXPECT_EQ(cashbook::expensePrecondition(office.ws(), kAlfa), QString());
    const auto suppliers = cashbook::expenseSuppliers(office.ws(), kAlfa);
    ASSERT_EQ(suppliers.size(), 1);
    EXPECT_EQ(suppliers[0].fornitore, "Dell'Acqua Luca");
    const auto items = cashbook::expenseBudgetItems(office.ws(), kAlfa);
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[2].voce, "Luce dell'androne");
    EXPECT_EQ(items[2].tabella, "C");

    db().exec("DELETE FROM Preventivi");
    EXPECT_EQ(cashbook::expensePrecondition(office.ws(), kAlfa), cashbook::kNoBudgetItemMessage);
}

TEST_F(ExpensesTest, EveryFailedCheckIsListedAndNothingIsWritten)
{
    ExpenseInput in;
    in.ritenuta = true;
    const QStringList expected = {"Selezionare un fornitore",
                                  "Inserire la causale",
                                  "Inserire un importo lordo valido",
                                  "Inserire un importo imponibile IVA valido",
                                  "Inserire un importo per la commissione",
                                  "Selezionare la tipologia",
                                  "Inserire un importo netto valido",
                                  "Inserire le ritenute operate",
                                  "Inserire un importo per gli interessi",
                                  "Inserire un codice tributo"};
    EXPECT_EQ(cashbook::expenseProblems(in), expected);
    const app::Outcome out = cashbook::addExpense(office.ws(), in);
    EXPECT_FALSE(out.done);
    EXPECT_EQ(out.texts(), QStringList{expected.join('\n')});

    // A text that is not a number is refused before anything is written.
    ExpenseInput comma = expense("1000,50");
    const app::Outcome refused = cashbook::addExpense(office.ws(), comma);
    EXPECT_FALSE(refused.done);
    ASSERT_EQ(refused.texts().size(), 1);
    EXPECT_TRUE(refused.texts()[0].startsWith("Importo lordo: \"1000,50\" non è un importo valido"));
    EXPECT_EQ(value("SELECT COUNT(*) FROM Uscite").toInt(), 0);
}

TEST_F(ExpensesTest, CommissionIsAddedAndTakenBackWhenReopened)
{
    const app::Outcome out = cashbook::addExpense(office.ws(), expense("1000.00", "2.00"));
    ASSERT_TRUE(out.done) << out.texts().join('|').toStdString();
    const qint64 id = *out.newKey;
    EXPECT_DOUBLE_EQ(value("SELECT ImportoLordo FROM Uscite WHERE id = ?", {id}).toDouble(), 1002.0);
    EXPECT_DOUBLE_EQ(value("SELECT Commissione FROM Uscite WHERE id = ?", {id}).toDouble(), 2.0);
    EXPECT_EQ(value("SELECT Condominio || '|' || AA || '|' || TipoMovimento || '|' || Tabella FROM Uscite").toString(),
              kAlfa + "|2014|Uscita|A");
    EXPECT_DOUBLE_EQ(value("SELECT ImportoFattura FROM QueryUsciteAC WHERE id = ?", {id}).toDouble(), 1000.0);
    const auto shown = cashbook::readExpense(office.ws(), id);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->importoLordo, "1000.00");
    EXPECT_FALSE(shown->ritenuta);
}

TEST_F(ExpensesTest, WithholdingIsTakenFromTheOutflowAndShownAgain)
{
    ExpenseInput in = expense("1000.00");
    withhold(in, "800.00", "200.00");
    EXPECT_FALSE(cashbook::netAndWithholdingDiffer(in));
    const app::Outcome out = cashbook::addExpense(office.ws(), in);
    ASSERT_TRUE(out.done);
    EXPECT_DOUBLE_EQ(value("SELECT ImportoLordo FROM Uscite").toDouble(), 800.0);
    EXPECT_DOUBLE_EQ(value("SELECT ImportoNetto FROM Uscite").toDouble(), 800.0);
    EXPECT_DOUBLE_EQ(value("SELECT RitenuteOperate FROM Uscite").toDouble(), 200.0);
    const auto shown = cashbook::readExpense(office.ws(), *out.newKey);
    EXPECT_EQ(shown->importoLordo, "1000.00");
    EXPECT_TRUE(shown->ritenuta);
    EXPECT_EQ(shown->codTributo, "1040");

    withhold(in, "790.00", "200.00");
    EXPECT_TRUE(cashbook::netAndWithholdingDiffer(in));
}

TEST_F(ExpensesTest, AnUntickedWithholdingWritesNoneOfItsFigures)
{
    ExpenseInput in = expense("1000.00");
    withhold(in, "800.00", "200.00");
    in.ritenuta = false; // the group was filled, then hidden again
    ASSERT_TRUE(cashbook::addExpense(office.ws(), in).done);
    EXPECT_DOUBLE_EQ(value("SELECT ImportoLordo FROM Uscite").toDouble(), 1000.0);
    EXPECT_DOUBLE_EQ(value("SELECT RitenuteOperate FROM Uscite").toDouble(), 0.0);
    EXPECT_EQ(value("SELECT CodTributo FROM Uscite").toString(), "");
    EXPECT_EQ(balances().textUsciteTOT(), "1000.00");
}

TEST_F(ExpensesTest, BankExpenseWithWithholdingPaidInCash)
{
    ExpenseInput in = expense("1000.00", "2.00");
    withhold(in, "800.00", "200.00");
    ASSERT_TRUE(cashbook::addExpense(office.ws(), in).done);
    const cashbook::Balances b = balances();
    EXPECT_EQ(b.textUsciteCC(), "802.00");
    EXPECT_EQ(b.textUsciteC(), "200.00");
    EXPECT_EQ(b.textUsciteTOT(), "1002.00");
    EXPECT_EQ(b.textTOT(), "-1002.00");
    EXPECT_EQ(cashbook::bankSummary(office.ws(), {kAlfa}, false), QStringList{kAlfa + "\t-802.00"});

    // Unpaid, it counts nowhere.
    in.pagato = false;
    const qint64 id = value("SELECT id FROM Uscite").toLongLong();
    ASSERT_TRUE(cashbook::modifyExpense(office.ws(), id, in).done);
    EXPECT_EQ(balances().textUsciteTOT(), "0.00");
    EXPECT_EQ(cashbook::bankSummary(office.ws(), {kAlfa}, false), QStringList{kAlfa + "\t0.00"});
}

TEST_F(ExpensesTest, ModifyKeepsCondominiumAndYear)
{
    const app::Outcome out = cashbook::addExpense(office.ws(), expense("100.00"));
    ASSERT_TRUE(out.done);
    ExpenseInput in = expense("250.00", "1.50");
    in.condominio = "Altro - Via X";
    in.aa = "2099";
    in.tipoSpesa = "Luce dell'androne";
    in.tabella = "C";
    ASSERT_TRUE(cashbook::modifyExpense(office.ws(), *out.newKey, in).done);
    EXPECT_EQ(value("SELECT Condominio || '|' || AA || '|' || TipoSpesa || '|' || ImportoLordo FROM Uscite").toString(),
              kAlfa + "|2014|Luce dell'androne|251.5");
    EXPECT_EQ(value("SELECT COUNT(*) FROM Uscite").toInt(), 1);
    EXPECT_FALSE(cashbook::modifyExpense(office.ws(), 999, in).done);
}

TEST_F(ExpensesTest, VatFromGrossAndTaxableBase)
{
    EXPECT_EQ(cashbook::vatText("1220.00", "1000.00"), "220.00");
    EXPECT_EQ(cashbook::vatText("1000", "1000"), "0.00");
    // A gross smaller than its taxable base has no VAT, not a negative one.
    EXPECT_EQ(cashbook::vatText("800.00", "1000.00"), "0.00");
    EXPECT_EQ(cashbook::vatText("", "1000.00"), "");
    EXPECT_EQ(cashbook::vatText("12a", "1.00"), "");

    ExpenseInput in = expense("800.00");
    in.imponibileIVA = "1000.00";
    ASSERT_TRUE(cashbook::addExpense(office.ws(), in).done);
    EXPECT_DOUBLE_EQ(value("SELECT IVA FROM Uscite").toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(value("SELECT ImponibileIVA FROM Uscite").toDouble(), 1000.0);
}

TEST_F(ExpensesTest, AThirdDecimalIsRefusedAsThePaymentGridRefusesIt)
{
    // "0.001" would be stored as 0.00 unseen: every amount box refuses it, naming the box, and
    // nothing is written; the payment grid refuses the same texts.
    const struct {
        const char* box;
        void (*type)(ExpenseInput&, const QString&);
    } boxes[] = {
        {"Importo lordo", [](ExpenseInput& in, const QString& t) { in.importoLordo = t; }},
        {"Imponibile IVA", [](ExpenseInput& in, const QString& t) { in.imponibileIVA = t; }},
        {"Commissione", [](ExpenseInput& in, const QString& t) { in.commissione = t; }},
        {"Ritenute operate", [](ExpenseInput& in, const QString& t) {
             withhold(in, "100.00", "0.00");
             in.ritenuteOperate = t;
         }},
    };
    for (const QString& typed : {QStringLiteral("0.001"), QStringLiteral("10.005"), QStringLiteral("-2.675")}) {
        EXPECT_FALSE(cashbook::paymentAmount(typed)) << typed.toStdString();
        for (const auto& b : boxes) {
            ExpenseInput in = expense("100.00");
            b.type(in, typed);
            const app::Outcome out = cashbook::addExpense(office.ws(), in);
            EXPECT_FALSE(out.done) << b.box;
            EXPECT_EQ(out.texts(), QStringList{cashbook::notAnAmountMessage(b.box, typed)}) << b.box;
        }
    }
    EXPECT_EQ(value("SELECT COUNT(*) FROM Uscite").toInt(), 0);

    // Two decimals, or none, are taken as typed.
    ASSERT_TRUE(cashbook::addExpense(office.ws(), expense("0.01", "0.5")).done);
    EXPECT_DOUBLE_EQ(value("SELECT ImportoLordo FROM Uscite").toDouble(), 0.51);
}
