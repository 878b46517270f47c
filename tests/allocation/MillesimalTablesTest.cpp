#include "allocation/MillesimalTables.h"
#include "AllocationFixture.h"
#include "store/StoreError.h"

using namespace velcaris;
using allocation::TableInput;
using test::kAlfa;
using test::kBeta;

namespace {

TableInput table(const QString& name, const QString& colour = allocation::kNewTableColour)
{
    TableInput in;
    in.nome = name;
    in.descrizione = "Spese di " + name;
    in.colore = colour;
    return in;
}

class MillesimalTables : public test::AllocationOffice {};

} // namespace

// ---- creating ----

TEST_F(MillesimalTables, AnEmptyOrBlankNameIsRefusedAndNothingIsWritten)
{
    for (const QString& name : {QString(), QString("   ")}) {
        const auto outcome = allocation::addTable(office.ws(), table(name));
        EXPECT_FALSE(outcome.done);
        EXPECT_EQ(outcome.texts(), QStringList{"Inserire il nome della tabella"});
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Tabelle"), 0);
}

TEST_F(MillesimalTables, ANameTakenInTheCondominiumIsRefusedOnCreationOnly)
{
    ASSERT_TRUE(allocation::addTable(office.ws(), table("Generale")).done);
    ASSERT_TRUE(allocation::addTable(office.ws(), table("Scale")).done);
    store::Dataset& grid = office.ws().ds("ADOTableTabelle");
    grid.last();
    ASSERT_EQ(grid.recNo(), 1);

    const auto again = allocation::addTable(office.ws(), table("Generale"));
    EXPECT_FALSE(again.done);
    EXPECT_EQ(again.texts(),
              QStringList{"La tebella Generale gia' esiste. Inserire un nome differente per la tabella."});
    EXPECT_EQ(grid.recNo(), 0) << "the tables grid goes back to its first row";
    EXPECT_EQ(count("SELECT COUNT(*) FROM Tabelle WHERE Nome = 'Generale'"), 1);

    // Another case or another condominium is another name.
    EXPECT_TRUE(allocation::addTable(office.ws(), table("generale")).done);
    choose(kBeta);
    EXPECT_TRUE(allocation::addTable(office.ws(), table("Generale")).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Tabelle WHERE Nome = 'Generale'"), 2);

    // Changing a table may give it a name another table has.
    choose(kAlfa);
    const qint64 scale = count("SELECT Id FROM Tabelle WHERE Nome = 'Scale'");
    EXPECT_TRUE(allocation::modifyTable(office.ws(), scale, table("Generale")).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Tabelle WHERE Id_Condominio = ? AND Nome = 'Generale'", {kAlfa}), 2);
}

TEST_F(MillesimalTables, ANewTableGivesEveryUnitOfItsCondominiumAZeroRowInUnitOrder)
{
    const qint64 person = office.addPerson(kAlfa, "Rossi");
    QVector<qint64> units;
    for (const char* name : {"Int. 3", "Int. 1", "Int. 2"})
        units << addUnit(kAlfa, name, person);
    addUnit(kBeta, "Negozio", office.addPerson(kBeta, "Bianchi"));
    ASSERT_TRUE(thousandthsInvariant());

    const auto outcome = allocation::addTable(office.ws(), table("Generale"));
    ASSERT_TRUE(outcome.done);
    ASSERT_TRUE(outcome.newKey);
    // In the order they were written (the table has no key of its own).
    store::Statement rows(db(), QStringLiteral("SELECT IdLocale, Millesimi, IdCondominio FROM Millesimi WHERE IdTabella = ? "
                                               "ORDER BY %1")
                                    .arg(db().rowKeyColumn(QStringLiteral("Millesimi"))));
    rows.bind(1, *outcome.newKey);
    QVector<qint64> seen;
    while (rows.step()) {
        seen << rows.value(0).toLongLong();
        EXPECT_EQ(rows.value(1).toDouble(), 0.0);
        EXPECT_EQ(rows.value(2).toString(), kAlfa);
    }
    EXPECT_EQ(seen, units);
    EXPECT_TRUE(thousandthsInvariant());

    // A condominium without units gets the table alone.
    office.addCondominium("Gamma - Via Po 9");
    choose("Gamma - Via Po 9");
    const auto lonely = allocation::addTable(office.ws(), table("Generale"));
    ASSERT_TRUE(lonely.done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Millesimi WHERE IdTabella = ?", {*lonely.newKey}), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Tabelle WHERE Id = ?", {*lonely.newKey}), 1);
}

TEST_F(MillesimalTables, CreatingATableWithItsRowsHappensWholeOrNotAtAll)
{
    addUnit(kAlfa, "Int. 1", office.addPerson(kAlfa, "Rossi"));
    failWritesTo("Millesimi");
    EXPECT_THROW(allocation::addTable(office.ws(), table("Generale")), store::StoreError);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Tabelle"), 0);
}

// ---- colours ----

TEST_F(MillesimalTables, ColoursAreStoredAsNamesOrDollarHexAndReadBack)
{
    const auto aqua = allocation::addTable(office.ws(), table("Generale"));
    EXPECT_EQ(text("SELECT Colore FROM Tabelle WHERE Id = ?", {*aqua.newKey}), "clAqua");
    const auto chosen = allocation::addTable(office.ws(), table("Scale", "$00FF8040"));
    EXPECT_EQ(text("SELECT Colore FROM Tabelle WHERE Id = ?", {*chosen.newKey}), "$00FF8040");
    EXPECT_EQ(allocation::readTable(office.ws(), *chosen.newKey)->data.colore, "$00FF8040");
    // A value that has a name is stored by its name; text that is no colour becomes the default.
    const auto blue = allocation::addTable(office.ws(), table("Ascensore", "$00FF0000"));
    EXPECT_EQ(text("SELECT Colore FROM Tabelle WHERE Id = ?", {*blue.newKey}), "clBlue");
    ASSERT_TRUE(allocation::modifyTable(office.ws(), *blue.newKey, table("Ascensore", "verde")).done);
    EXPECT_EQ(text("SELECT Colore FROM Tabelle WHERE Id = ?", {*blue.newKey}), "clAqua");
}

// ---- renaming ----

TEST_F(MillesimalTables, ARenameCarriesToTheExpensesAndBudgetItemsOfItsCondominiumOnly)
{
    const qint64 scale = allocation::addTable(office.ws(), table("Scale")).newKey.value();
    const qint64 alfa2014 = addExpense(kAlfa, "2014", "Scale", "Pulizia");
    const qint64 alfa2013 = addExpense(kAlfa, "2013", "Scale", "Luce");
    const qint64 alfaOther = addExpense(kAlfa, "2014", "Generale", "Pulizia");
    const qint64 betaScale = addExpense(kBeta, "2014", "Scale", "Pulizia");
    const qint64 budgetAlfa = addBudgetItem(kAlfa, "2014", "Scale", "Pulizia");
    const qint64 budgetBeta = addBudgetItem(kBeta, "2014", "Scale", "Pulizia");

    // Creating a table renames nothing.
    ASSERT_TRUE(allocation::addTable(office.ws(), table("Scala A")).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Uscite WHERE Tabella = 'Scala A'"), 0);

    TableInput renamed = table("Scala A", "$00FF8040");
    renamed.descrizione = "Scala di sinistra";
    const auto outcome = allocation::modifyTable(office.ws(), scale, renamed);
    ASSERT_TRUE(outcome.done) << outcome.texts().join('|').toStdString();
    const auto stored = allocation::readTable(office.ws(), scale);
    EXPECT_EQ(stored->data.nome, "Scala A");
    EXPECT_EQ(stored->data.descrizione, "Scala di sinistra");
    EXPECT_EQ(stored->data.colore, "$00FF8040");
    auto tabellaOf = [&](const char* register_, qint64 id) {
        return text(QStringLiteral("SELECT Tabella FROM %1 WHERE Id = ?").arg(QString::fromLatin1(register_)), {id});
    };
    EXPECT_EQ(tabellaOf("Uscite", alfa2014), "Scala A");
    EXPECT_EQ(tabellaOf("Uscite", alfa2013), "Scala A");
    EXPECT_EQ(tabellaOf("Uscite", alfaOther), "Generale");
    EXPECT_EQ(tabellaOf("Uscite", betaScale), "Scale");
    EXPECT_EQ(tabellaOf("Preventivi", budgetAlfa), "Scala A");
    EXPECT_EQ(tabellaOf("Preventivi", budgetBeta), "Scale");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Millesimi"), 0);
}

TEST_F(MillesimalTables, ARenameThatFailsLeavesTableExpensesAndBudgetAsTheyWere)
{
    const qint64 scale = allocation::addTable(office.ws(), table("Scale")).newKey.value();
    const qint64 expense = addExpense(kAlfa, "2014", "Scale", "Pulizia");
    addBudgetItem(kAlfa, "2014", "Scale", "Pulizia");
    failWritesTo("Preventivi", "UPDATE");
    EXPECT_THROW(allocation::modifyTable(office.ws(), scale, table("Scala A")), store::StoreError);
    EXPECT_EQ(text("SELECT Nome FROM Tabelle WHERE Id = ?", {scale}), "Scale");
    EXPECT_EQ(text("SELECT Tabella FROM Uscite WHERE Id = ?", {expense}), "Scale");
}

TEST_F(MillesimalTables, NamesWithQuotesAndLongNamesWorkEverywhere)
{
    const QString odd = "Scala D'Angelo \"nord\"; DROP TABLE Uscite; --";
    const QString longName = QString(200, u'x') + "'";
    const qint64 id = allocation::addTable(office.ws(), table(odd)).newKey.value();
    EXPECT_EQ(allocation::addTable(office.ws(), table(odd)).texts(), QStringList{allocation::duplicateTableMessage(odd)});
    const qint64 expense = addExpense(kAlfa, "2014", odd, "Pulizia");
    ASSERT_TRUE(allocation::modifyTable(office.ws(), id, table(longName)).done);
    EXPECT_EQ(text("SELECT Nome FROM Tabelle WHERE Id = ?", {id}), longName);
    EXPECT_EQ(text("SELECT Tabella FROM Uscite WHERE Id = ?", {expense}), longName);
}

TEST_F(MillesimalTables, TheTablesOfACondominiumAreListedByNameWithoutRegardToCase)
{
    for (const char* name : {"Scale", "ascensore", "A", "Generale"})
        addTable(kAlfa, name);
    addTable(kBeta, "B");
    QStringList names;
    for (const auto& t : allocation::condominiumTables(office.ws(), kAlfa))
        names << t.data.nome;
    EXPECT_EQ(names, (QStringList{"A", "ascensore", "Generale", "Scale"}));
}
