#include "foundation/Selection.h"
#include "cashbook/Balances.h"
#include "cashbook/OpeningsAndTransfers.h"
#include "support/Office.h"
#include "support/RefusedWrites.h"

#include <gtest/gtest.h>

using namespace velcaris;
using cashbook::MovementInput;

namespace {

const QString kAlfa = "Sant'Anna - Via Po 2";

class OpeningsAndTransfersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addYear(kAlfa, "2013", false);
        office.addYear(kAlfa, "2014", true);
        office.addPerson(kAlfa, "Rossi");
        self = office.addPerson(kAlfa, kAlfa);
    }
    MovementInput movement(const QString& type, const QString& amount, const QString& method = "Cassa")
    {
        return {type, amount, QDate(2014, 2, 3), method, "Spese ordinarie", "Nota dell'amministratore"};
    }
    cashbook::Balances balances()
    {
        app::chooseCondominium(office.ws(), kAlfa);
        return cashbook::RicalcolaSaldi(office.ws());
    }
    // "id:method:amount" of every income row, by key.
    QString rows()
    {
        return test::joinedRows(office.db(), "SELECT id, MetodoPagamento, Importo FROM Entrate ORDER BY id");
    }
    QVariant value(const QString& sql, const QVector<QVariant>& params = {}) { return office.db().scalar(sql, params); }
    test::Office office;
    qint64 self = 0;
};

} // namespace

TEST_F(OpeningsAndTransfersTest, OpeningAmountBelongsToTheCondominiumAndItsYear)
{
    const app::Outcome out = cashbook::addOpeningOrTransfer(office.ws(), kAlfa, movement("Importo iniziale", "1500.01"));
    ASSERT_TRUE(out.done) << out.texts().join('|').toStdString();
    EXPECT_EQ(test::joinedRows(office.db(), "SELECT Condominio, AA, TipoMovimento, Importo, Tipologia, IdPersona, Nota, Data, "
                                            "Ricevuta FROM Entrate",
                               {}, "|", " ", "vuota"),
              kAlfa + "|2014|Importo iniziale|1500.01|Spese ordinarie|" + QString::number(self) +
                  "|Nota dell'amministratore|2014-02-03|vuota");
    EXPECT_EQ(balances().textTOTC(), "1500.01");
    EXPECT_FALSE(cashbook::openingTypes(office.ws()).contains("Spese personali"));
    EXPECT_EQ(cashbook::openingTypes(office.ws()).value(0), "Spese ordinarie");
}

TEST_F(OpeningsAndTransfersTest, EmptyOrNonNumericAmountWritesNothing)
{
    EXPECT_EQ(cashbook::addOpeningOrTransfer(office.ws(), kAlfa, movement("Importo iniziale", " ")).texts(),
              QStringList{cashbook::kEnterValidAmount});
    const app::Outcome comma = cashbook::addOpeningOrTransfer(office.ws(), kAlfa, movement("Passaggio su C.C.", "5,00"));
    EXPECT_FALSE(comma.done);
    EXPECT_TRUE(comma.texts().value(0).startsWith("Importo: \"5,00\" non è un importo valido"));
    EXPECT_EQ(rows(), "");
}

TEST_F(OpeningsAndTransfersTest, TransferToBankIsAPairThatKeepsTheTotal)
{
    cashbook::addOpeningOrTransfer(office.ws(), kAlfa, movement("Importo iniziale", "1000.00"));
    const cashbook::Balances before = balances();
    const app::Outcome out =
        cashbook::addOpeningOrTransfer(office.ws(), kAlfa, movement("Passaggio su C.C.", "500", "Conto Corrente"));
    ASSERT_TRUE(out.done);
    const qint64 cash = *out.newKey;
    EXPECT_EQ(rows(), QString("1:Cassa:1000.0 %1:Cassa:-500.0 %2:Conto Corrente:500.0").arg(cash).arg(cash + 1));
    EXPECT_EQ(value("SELECT COUNT(*) FROM Entrate WHERE Tipologia IS NULL AND TipoMovimento = 'Passaggio su C.C.'")
                  .toInt(),
              2);
    const cashbook::Balances after = balances();
    EXPECT_EQ(after.textTOTC(), "500.00");
    EXPECT_EQ(after.textTOTCC(), "500.00");
    EXPECT_EQ(after.textTOT(), before.textTOT());
    EXPECT_EQ(cashbook::bankSummary(office.ws(), {kAlfa}, false), QStringList{kAlfa + "\t500.00"});
}

TEST_F(OpeningsAndTransfersTest, TransferToCashAndItsChangeFromEitherRow)
{
    const qint64 cash = *cashbook::addOpeningOrTransfer(office.ws(), kAlfa, movement("Passaggio su Cassa", "200")).newKey;
    EXPECT_EQ(rows(), QString("%1:Cassa:200.0 %2:Conto Corrente:-200.0").arg(cash).arg(cash + 1));

    // From the bank row: both rows change, each keeps its place and sign.
    MovementInput change = movement("Passaggio su Cassa", "300.00", "Cassa");
    change.nota = "corretto";
    ASSERT_TRUE(cashbook::modifyIncomeRow(office.ws(), cash + 1, change).done);
    EXPECT_EQ(rows(), QString("%1:Cassa:300.0 %2:Conto Corrente:-300.0").arg(cash).arg(cash + 1));
    EXPECT_EQ(value("SELECT COUNT(*) FROM Entrate WHERE Nota = 'corretto'").toInt(), 2);
    // Both rows show the amount without its sign.
    EXPECT_EQ(cashbook::readIncomeRow(office.ws(), cash)->input.importo, "300.00");
    EXPECT_EQ(cashbook::readIncomeRow(office.ws(), cash + 1)->input.importo, "300.00");

    // From the cash row.
    ASSERT_TRUE(cashbook::modifyIncomeRow(office.ws(), cash, movement("", "75.50")).done);
    EXPECT_EQ(rows(), QString("%1:Cassa:75.5 %2:Conto Corrente:-75.5").arg(cash).arg(cash + 1));
    EXPECT_EQ(balances().textTOT(), "0.00");
}

TEST_F(OpeningsAndTransfersTest, ATransferWithoutItsOtherHalfIsNotChanged)
{
    const qint64 cash = *cashbook::addOpeningOrTransfer(office.ws(), kAlfa, movement("Passaggio su C.C.", "100")).newKey;
    const qint64 other = *cashbook::addOpeningOrTransfer(office.ws(), kAlfa, movement("Passaggio su C.C.", "40")).newKey;
    office.db().exec("DELETE FROM Entrate WHERE id = ?", {cash + 1});
    // The cash row's neighbour is now the cash row of another transfer.
    const QString before = rows();
    EXPECT_EQ(cashbook::modifyIncomeRow(office.ws(), cash, movement("", "90")).texts(),
              QStringList{cashbook::kBrokenTransferMessage});
    EXPECT_EQ(rows(), before);
    EXPECT_TRUE(cashbook::modifyIncomeRow(office.ws(), other, movement("", "45")).done);
}

TEST_F(OpeningsAndTransfersTest, ATransferIsWrittenWholeOrNotAtAll)
{
    test::refuseWrites(office.db(), "Entrate", "INSERT", "disco pieno", "NEW.MetodoPagamento = 'Conto Corrente'");
    const app::Outcome out = cashbook::addOpeningOrTransfer(office.ws(), kAlfa, movement("Passaggio su C.C.", "100"));
    EXPECT_FALSE(out.done);
    EXPECT_EQ(rows(), "");
}

TEST_F(OpeningsAndTransfersTest, APaymentChangesOnlyItsDatePlaceAndNote)
{
    office.db().exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, Importo, MetodoPagamento, Tipologia, "
                     "Ricevuta, Nota) VALUES (?, '2014', '2014-01-10', 'Entrata', 120, 'Cassa', 'Spese ordinarie', 7, '')",
                     {kAlfa});
    const qint64 id = office.db().lastInsertId();
    office.db().exec("INSERT INTO Quote (IdCondominio, AA, IdLocale, NomeQuote, Importo, ImportoPagato, idEntrata) "
                     "VALUES (?, '2014', 1, 'Rata 1', 120, 120, ?)",
                     {kAlfa, id});
    EXPECT_EQ(balances().textTOTC(), "120.00");
    MovementInput change{"", "9999", QDate(2014, 1, 12), "Conto Corrente", "Spese straordinarie", "bonifico"};
    ASSERT_TRUE(cashbook::modifyIncomeRow(office.ws(), id, change).done);
    EXPECT_EQ(test::joinedRows(office.db(), "SELECT Data, MetodoPagamento, Nota, Importo, Tipologia, Ricevuta, TipoMovimento "
                                            "FROM Entrate",
                               {}, "|"),
              "2014-01-12|Conto Corrente|bonifico|120.0|Spese ordinarie|7|Entrata");
    EXPECT_DOUBLE_EQ(value("SELECT ImportoPagato FROM Quote").toDouble(), 120.0);
    const cashbook::Balances b = balances();
    EXPECT_EQ(b.textTOTC(), "0.00");
    EXPECT_EQ(b.textTOTCC(), "120.00");
}
