// Two desks on one office: a dialog's modification of a row another desk changed since the dialog
// read it is refused in Italian, writes nothing and leaves the other desk's values; read again, the
// same modification goes through. With the office on a server (the server suites) the desks are two
// connections to its database, as in a studio.
#include "allocation/Units.h"
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
