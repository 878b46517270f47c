// Two desks on one office: a dialog's modification of a row another desk changed since the dialog
// read it is refused in Italian, writes nothing and leaves the other desk's values; read again, the
// same modification goes through. With the office on a server (the server suites) the desks are two
// connections to its database, as in a studio.
#include "allocation/BudgetItems.h"
#include "allocation/MillesimalTables.h"
#include "allocation/Units.h"
#include "registry/AdministrativeYears.h"
#include "registry/Persons.h"
#include "registry/Suppliers.h"
#include "store/RowStamp.h"
#include "support/Office.h"

#include <gtest/gtest.h>

using namespace velcaris;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";
const QString kChanged = "Il record è stato modificato da un'altra postazione dopo che lo ha aperto: ora è mostrato "
                         "com'è adesso. Ripeta la modifica se serve.";
const QString kDeleted = "Il record è stato eliminato da un'altra postazione.";

// What a "Modifica" dialog holds once open: the row stamped, then read.
registry::PersonInput personAsRead(app::Workspace& ws, qint64 id)
{
    const store::RowStamp stamp = store::stampRow(ws.mainDb(), "Anagrafe", "Id", id);
    registry::PersonInput p = registry::readPerson(ws, id).value();
    p.asRead = stamp;
    return p;
}

registry::SupplierInput supplierAsRead(app::Workspace& ws, qint64 id)
{
    const store::RowStamp stamp = store::stampRow(ws.mainDb(), "Fornitori", "id", id);
    registry::SupplierInput s = registry::readSupplier(ws, id).value();
    s.asRead = stamp;
    return s;
}

allocation::UnitInput unitAsRead(app::Workspace& ws, qint64 id)
{
    allocation::UnitInput stamps;
    allocation::stampUnit(ws, id, stamps);
    allocation::UnitInput u = allocation::readUnit(ws, id).value();
    u.asRead = stamps.asRead;
    u.thousandthsAsRead = stamps.thousandthsAsRead;
    return u;
}

allocation::TableInput tableAsRead(app::Workspace& ws, qint64 id)
{
    const store::RowStamp stamp = store::stampRow(ws.mainDb(), "Tabelle", "Id", id);
    allocation::TableInput t = allocation::readTable(ws, id).value().data;
    t.asRead = stamp;
    return t;
}

allocation::BudgetInput itemAsRead(app::Workspace& ws, qint64 id)
{
    allocation::BudgetInput b;
    b.asRead = store::stampRow(ws.mainDb(), "Preventivi", "Id", id);
    const allocation::BudgetItemRecord item = allocation::readBudgetItem(ws, id).value();
    b.descrizione = item.descrizione;
    b.spesa = item.spesa;
    return b;
}

// The year dialog modifies the current year.
registry::YearInput yearAsRead(app::Workspace& ws, qint64 id)
{
    const store::RowStamp stamp = store::stampRow(ws.mainDb(), "AnnoAmministrativo", "id", id);
    registry::YearInput y = registry::currentYear(ws).value().data;
    y.asRead = stamp;
    return y;
}

void expectStale(const app::Outcome& outcome, const QString& text)
{
    EXPECT_FALSE(outcome.done);
    EXPECT_TRUE(outcome.stale);
    EXPECT_EQ(outcome.texts(), QStringList{text});
}

} // namespace

TEST(StaleEdit, AnotherDesksChangeIsNeverOverwrittenAndTheEditCanBeRepeatedOnTheRowAsItIsNow)
{
    test::Office office;
    office.addCondominium(kAlfa);
    app::Workspace& desk1 = office.ws();
    desk1.selection.condominium = kAlfa;
    store::Database& db = office.db();
    const qint64 rossi = office.addPerson(kAlfa, "Rossi", "Mario");
    const qint64 bianchi = office.addPerson(kAlfa, "Bianchi");
    const qint64 supplier = registry::saveSupplier(desk1, std::nullopt, registry::SupplierInput{"Idraulica"}).newKey.value();
    db.exec("INSERT INTO Tabelle (Id_Condominio, Nome, Colore) VALUES (?, 'Generale', 'clAqua')", {kAlfa});
    const qint64 table = db.lastInsertId();
    db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino, IdTipologia) "
            "VALUES (?, 'Int. 1', ?, ?, 'Appartamento')",
            {kAlfa, rossi, rossi});
    const qint64 unit = db.lastInsertId();
    db.exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, ?, 100)",
            {kAlfa, unit, table});

    // Desk 1 opens the four rows.
    registry::PersonInput person1 = personAsRead(desk1, rossi);
    registry::PersonInput gone1 = personAsRead(desk1, bianchi);
    registry::SupplierInput supplier1 = supplierAsRead(desk1, supplier);
    allocation::UnitInput unit1 = unitAsRead(desk1, unit);

    // Desk 2 opens them too and saves first: its own rows unchanged since, its saves go through.
    app::Workspace desk2{app::AppPaths(office.folder())};
    ASSERT_EQ(desk2.startUp(), QString());
    desk2.selection.condominium = kAlfa;
    registry::PersonInput person2 = personAsRead(desk2, rossi);
    person2.telefono = "011 123456";
    ASSERT_TRUE(registry::savePerson(desk2, rossi, person2).done);
    registry::SupplierInput supplier2 = supplierAsRead(desk2, supplier);
    supplier2.iban = "IT60X0542811101000000123456";
    ASSERT_TRUE(registry::saveSupplier(desk2, supplier, supplier2).done);
    // Of the unit only its thousandths change: they are part of what the dialog writes.
    allocation::UnitInput unit2 = unitAsRead(desk2, unit);
    ASSERT_EQ(unit2.millesimi.size(), 1);
    unit2.millesimi[0].text = "250";
    const app::Outcome unitSaved = allocation::saveUnit(desk2, unit, unit2);
    ASSERT_TRUE(unitSaved.done) << unitSaved.texts().join('|').toStdString();
    desk2.mainDb().exec("DELETE FROM Anagrafe WHERE Id = ?", {bianchi});

    // Desk 1 confirms what it typed over the rows as it read them: refused, nothing written.
    person1.email = "rossi@example.it";
    expectStale(registry::savePerson(desk1, rossi, person1), kChanged);
    supplier1.telefono = "02 998877";
    expectStale(registry::saveSupplier(desk1, supplier, supplier1), kChanged);
    unit1.piano = "3";
    expectStale(allocation::saveUnit(desk1, unit, unit1), kChanged);
    gone1.nome = "Anna";
    expectStale(registry::savePerson(desk1, bianchi, gone1), kDeleted);

    auto text = [&](const QString& sql, qint64 id) { return db.scalar(sql, {id}).toString(); };
    EXPECT_EQ(text("SELECT Telefono FROM Anagrafe WHERE Id = ?", rossi), "011 123456");
    EXPECT_EQ(text("SELECT Email FROM Anagrafe WHERE Id = ?", rossi), "");
    EXPECT_EQ(text("SELECT IBAN FROM Fornitori WHERE id = ?", supplier), "IT60X0542811101000000123456");
    EXPECT_EQ(text("SELECT Telefono FROM Fornitori WHERE id = ?", supplier), "");
    EXPECT_EQ(text("SELECT Piano FROM Locali WHERE Id = ?", unit), "");
    EXPECT_DOUBLE_EQ(db.scalar("SELECT Millesimi FROM Millesimi WHERE IdLocale = ?", {unit}).toDouble(), 250);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Anagrafe WHERE Id = ?", {bianchi}).toInt(), 0);

    // Read again, as the dialog shows them now, the same changes go through over desk 2's.
    person1 = personAsRead(desk1, rossi);
    person1.email = "rossi@example.it";
    ASSERT_TRUE(registry::savePerson(desk1, rossi, person1).done);
    supplier1 = supplierAsRead(desk1, supplier);
    supplier1.telefono = "02 998877";
    ASSERT_TRUE(registry::saveSupplier(desk1, supplier, supplier1).done);
    unit1 = unitAsRead(desk1, unit);
    unit1.piano = "3";
    ASSERT_TRUE(allocation::saveUnit(desk1, unit, unit1).done);

    EXPECT_EQ(text("SELECT Telefono FROM Anagrafe WHERE Id = ?", rossi), "011 123456");
    EXPECT_EQ(text("SELECT Email FROM Anagrafe WHERE Id = ?", rossi), "rossi@example.it");
    EXPECT_EQ(text("SELECT IBAN FROM Fornitori WHERE id = ?", supplier), "IT60X0542811101000000123456");
    EXPECT_EQ(text("SELECT Telefono FROM Fornitori WHERE id = ?", supplier), "02 998877");
    EXPECT_EQ(text("SELECT Piano FROM Locali WHERE Id = ?", unit), "3");
    EXPECT_DOUBLE_EQ(db.scalar("SELECT Millesimi FROM Millesimi WHERE IdLocale = ?", {unit}).toDouble(), 250);
    // Desk 2's stamps are stale now in their turn.
    person2.note = "da desk 2";
    expectStale(registry::savePerson(desk2, rossi, person2), kChanged);
}

TEST(StaleEdit, ATableRenameABudgetItemAndAYearOfAnotherDeskStayUntilReadAgain)
{
    test::Office office;
    office.addCondominium(kAlfa);
    app::Workspace& desk1 = office.ws();
    desk1.selection.condominium = kAlfa;
    store::Database& db = office.db();
    const qint64 year = office.addYear(kAlfa, "2024", true);
    allocation::TableInput generale;
    generale.nome = "Generale";
    const qint64 table = allocation::addTable(desk1, generale).newKey.value();
    allocation::BudgetInput cleaning;
    cleaning.tableId = table;
    cleaning.descrizione = "Pulizie";
    cleaning.spesa = "1000";
    const qint64 item = allocation::addBudgetItem(desk1, cleaning).newKey.value();
    // An expense names the table and the item: a rename and a new description reach it.
    db.exec("INSERT INTO Uscite (Condominio, AA, Tabella, TipoSpesa, ImportoLordo) VALUES (?, '2024', 'Generale', "
            "'Pulizie', 100)",
            {kAlfa});

    allocation::TableInput table1 = tableAsRead(desk1, table);
    allocation::BudgetInput item1 = itemAsRead(desk1, item);
    registry::YearInput year1 = yearAsRead(desk1, year);

    app::Workspace desk2{app::AppPaths(office.folder())};
    ASSERT_EQ(desk2.startUp(), QString());
    desk2.selection.condominium = kAlfa;
    allocation::TableInput table2 = tableAsRead(desk2, table);
    table2.nome = "Scala B";
    ASSERT_TRUE(allocation::modifyTable(desk2, table, table2).done);
    // The rename rewrote the item's row: desk 2 opens the item after it.
    allocation::BudgetInput item2 = itemAsRead(desk2, item);
    item2.spesa = "1200.50";
    ASSERT_TRUE(allocation::modifyBudgetItem(desk2, item, item2).done);
    registry::YearInput year2 = yearAsRead(desk2, year);
    year2.approved = true;
    ASSERT_TRUE(registry::modifyYear(desk2, year2).done);

    // Desk 1's changes over what it read are refused: neither the rows nor what they carry along.
    table1.nome = "Scala A";
    expectStale(allocation::modifyTable(desk1, table, table1), kChanged);
    item1.descrizione = "Pulizia scale";
    expectStale(allocation::modifyBudgetItem(desk1, item, item1), kChanged);
    year1.end = QDate(2025, 6, 30);
    expectStale(registry::modifyYear(desk1, year1), kChanged);
    auto rows = [&] {
        return test::joinedRows(db, "SELECT Nome FROM Tabelle") + " " +
               test::joinedRows(db, "SELECT Tabella, DescrizioneVoceSpesa, Spesa FROM Preventivi") + " " +
               test::joinedRows(db, "SELECT Tabella, TipoSpesa FROM Uscite");
    };
    EXPECT_EQ(rows(), "Scala B Scala B:Pulizie:1200.5 Scala B:Pulizie");
    EXPECT_TRUE(registry::currentYear(desk1)->data.approved);
    EXPECT_EQ(registry::currentYear(desk1)->data.end, QDate(2024, 12, 31));

    // Read again, the same changes go through over desk 2's.
    table1 = tableAsRead(desk1, table);
    table1.nome = "Scala A";
    ASSERT_TRUE(allocation::modifyTable(desk1, table, table1).done);
    item1 = itemAsRead(desk1, item);
    item1.descrizione = "Pulizia scale";
    ASSERT_TRUE(allocation::modifyBudgetItem(desk1, item, item1).done);
    year1 = yearAsRead(desk1, year);
    year1.end = QDate(2025, 6, 30);
    ASSERT_TRUE(registry::modifyYear(desk1, year1).done);
    EXPECT_EQ(rows(), "Scala A Scala A:Pulizia scale:1200.5 Scala A:Pulizia scale");
    EXPECT_TRUE(registry::currentYear(desk1)->data.approved);
    EXPECT_EQ(registry::currentYear(desk1)->data.end, QDate(2025, 6, 30));

    // Another year made current by desk 2 since: the year desk 1 shows is no longer the one it
    // would change (its unchanged name is not another year's), and neither year changes.
    year1 = yearAsRead(desk1, year);
    registry::YearInput next;
    next.name = "2025";
    next.start = QDate(2025, 7, 1);
    next.end = QDate(2026, 6, 30);
    ASSERT_TRUE(registry::addYear(desk2, next).done);
    year1.approved = false;
    expectStale(registry::modifyYear(desk1, year1), kChanged);
    EXPECT_EQ(test::joinedRows(db, "SELECT nome FROM AnnoAmministrativo ORDER BY id"), "2024 2025");
    EXPECT_TRUE(db.scalar("SELECT approvato FROM AnnoAmministrativo WHERE id = ?", {year}).toBool());
    EXPECT_EQ(registry::currentYear(desk1)->data.end, QDate(2026, 6, 30));
}
