#include "allocation/BudgetItems.h"
#include "AllocationFixture.h"
#include "store/StoreError.h"

using namespace velcaris;
using allocation::BudgetInput;
using test::kAlfa;
using test::kBeta;

namespace {

class BudgetItems : public test::AllocationOffice {
protected:
    void SetUp() override
    {
        AllocationOffice::SetUp();
        office.addYear(kAlfa, "2013", false);
        office.addYear(kAlfa, "2014", true);
        office.addYear(kBeta, "2014", true);
        scale = addTable(kAlfa, "Scale");
        generale = addTable(kAlfa, "Generale");
        betaScale = addTable(kBeta, "Scale");
    }
    BudgetInput item(qint64 table, const QString& description, const QString& amount)
    {
        BudgetInput in;
        in.tableId = table;
        in.descrizione = description;
        in.spesa = amount;
        return in;
    }
    QString row(qint64 id)
    {
        const QVariant spesa = db().scalar("SELECT Spesa FROM Preventivi WHERE Id = ?", {id});
        return text("SELECT Condominio || '|' || AA || '|' || Tabella || '|' || DescrizioneVoceSpesa || '|' "
                    "FROM Preventivi WHERE Id = ?",
                    {id}) +
               (spesa.isNull() ? QStringLiteral("NULL") : QString::number(spesa.toDouble(), 'f', 2));
    }

    qint64 scale = -1, generale = -1, betaScale = -1;
};

} // namespace

TEST_F(BudgetItems, AnItemIsAddedToTheCurrentYearOnItsTableAndChangesNoExpense)
{
    const qint64 expense = addExpense(kAlfa, "2014", "Scale", "Pulizia");
    const auto outcome = allocation::addBudgetItem(office.ws(), item(scale, "Pulizia", "12.50"));
    ASSERT_TRUE(outcome.done) << outcome.texts().join('|').toStdString();
    EXPECT_EQ(row(*outcome.newKey), kAlfa + "|2014|Scale|Pulizia|12.50");
    EXPECT_EQ(allocation::readBudgetItem(office.ws(), *outcome.newKey)->spesa, "12.50");
    EXPECT_EQ(text("SELECT TipoSpesa FROM Uscite WHERE Id = ?", {expense}), "Pulizia");

    // An empty amount is no amount; an amount is rounded to cents.
    const auto empty = allocation::addBudgetItem(office.ws(), item(generale, "", ""));
    EXPECT_EQ(row(*empty.newKey), kAlfa + "|2014|Generale||NULL");
    EXPECT_EQ(allocation::readBudgetItem(office.ws(), *empty.newKey)->spesa, "");
    const auto rounded = allocation::addBudgetItem(office.ws(), item(generale, "Luce", "-2.675"));
    EXPECT_EQ(row(*rounded.newKey), kAlfa + "|2014|Generale|Luce|-2.68");
}

TEST_F(BudgetItems, AnAmountThatIsNotANumberNeverReachesTheDatabase)
{
    const qint64 kept = allocation::addBudgetItem(office.ws(), item(scale, "Pulizia", "10")).newKey.value();
    const QString message = "Il campo \"Spesa\" deve contenere un importo, con il punto come separatore decimale";
    for (const QString& amount : {QString("12,50"), QString("1.2.3"), QString("--1"), QString("1-"), QString(",")}) {
        EXPECT_EQ(allocation::addBudgetItem(office.ws(), item(scale, "Luce", amount)).texts(), QStringList{message})
            << amount.toStdString();
        EXPECT_EQ(allocation::modifyBudgetItem(office.ws(), kept, item(scale, "Luce", amount)).texts(),
                  QStringList{message});
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Preventivi"), 1);
    EXPECT_EQ(row(kept), kAlfa + "|2014|Scale|Pulizia|10.00");
}

TEST_F(BudgetItems, AnItemNeedsACurrentYearAndATableOfItsCondominium)
{
    EXPECT_FALSE(allocation::addBudgetItem(office.ws(), item(betaScale, "Pulizia", "1")).done);
    EXPECT_EQ(allocation::addBudgetItem(office.ws(), item(-1, "Pulizia", "1")).texts(),
              QStringList{"Scegliere la tabella millesimale della voce di spesa"});
    BudgetInput noTable = item(scale, "Pulizia", "1");
    noTable.tableId.reset();
    EXPECT_FALSE(allocation::addBudgetItem(office.ws(), noTable).done);

    office.addCondominium("Gamma - Via Po 9");
    choose("Gamma - Via Po 9");
    const qint64 gamma = addTable("Gamma - Via Po 9", "Generale");
    EXPECT_EQ(allocation::addBudgetItem(office.ws(), item(gamma, "Pulizia", "1")).texts(),
              QStringList{"E' necessario inserire prima un anno amministrativo nella linguetta \"Condomini\""});
    EXPECT_EQ(count("SELECT COUNT(*) FROM Preventivi"), 0);
}

TEST_F(BudgetItems, ANewDescriptionIsCarriedToTheExpensesOfTheSameTableAndYearOnly)
{
    const qint64 id = addBudgetItem(kAlfa, "2014", "Scale", "Pulizia");
    const qint64 same = addExpense(kAlfa, "2014", "Scale", "Pulizia");
    const qint64 same2 = addExpense(kAlfa, "2014", "Scale", "Pulizia");
    const qint64 otherItem = addExpense(kAlfa, "2014", "Scale", "Luce");
    const qint64 otherTable = addExpense(kAlfa, "2014", "Generale", "Pulizia");
    const qint64 otherYear = addExpense(kAlfa, "2013", "Scale", "Pulizia");
    const qint64 otherCondominium = addExpense(kBeta, "2014", "Scale", "Pulizia");

    // The table cannot change: a different table in the input is ignored.
    const auto outcome = allocation::modifyBudgetItem(office.ws(), id, item(generale, "Pulizia scale", "80"));
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(row(id), kAlfa + "|2014|Scale|Pulizia scale|80.00");
    auto tipoSpesa = [&](qint64 expense) { return text("SELECT TipoSpesa FROM Uscite WHERE Id = ?", {expense}); };
    EXPECT_EQ(tipoSpesa(same), "Pulizia scale");
    EXPECT_EQ(tipoSpesa(same2), "Pulizia scale");
    EXPECT_EQ(tipoSpesa(otherItem), "Luce");
    EXPECT_EQ(tipoSpesa(otherTable), "Pulizia");
    EXPECT_EQ(tipoSpesa(otherYear), "Pulizia");
    EXPECT_EQ(tipoSpesa(otherCondominium), "Pulizia");
}

TEST_F(BudgetItems, ADescriptionChangeThatFailsLeavesItemAndExpensesAsTheyWere)
{
    const qint64 id = addBudgetItem(kAlfa, "2014", "Scale", "Pulizia");
    addExpense(kAlfa, "2014", "Scale", "Pulizia");
    failWritesTo("Uscite", "UPDATE");
    EXPECT_THROW(allocation::modifyBudgetItem(office.ws(), id, item(scale, "Pulizia scale", "1")), store::StoreError);
    EXPECT_EQ(row(id), kAlfa + "|2014|Scale|Pulizia|100.00");
}

TEST_F(BudgetItems, DescriptionsWithQuotesAreCarriedWhole)
{
    const QString odd = "Manutenzione dell'ascensore \"A\"";
    const qint64 id = allocation::addBudgetItem(office.ws(), item(scale, odd, "1")).newKey.value();
    const qint64 expense = addExpense(kAlfa, "2014", "Scale", odd);
    const QString longer = QString(100, u'm') + "'";
    ASSERT_TRUE(allocation::modifyBudgetItem(office.ws(), id, item(scale, longer, "1")).done);
    EXPECT_EQ(text("SELECT TipoSpesa FROM Uscite WHERE Id = ?", {expense}), longer);
}
