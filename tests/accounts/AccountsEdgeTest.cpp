// The accounts of awkward years: nothing spent, a table nobody has thousandths in, an expense on a
// table that does not exist, a unit with no thousandths at all, the cents that do not divide, and
// closings that must not happen or must not half-happen.
#include "accounts/Rendiconto.h"
#include "accounts/YearClosing.h"
#include "store/Failpoint.h"
#include "store/StoreError.h"

#include "AccountsFixture.h"

using namespace velcaris;
using store::Money;
using test::kVilla;

namespace {

Money money(const char* text)
{
    return Money::parse(QString::fromLatin1(text)).value();
}

const accounts::RipartoTable* tableOf(const accounts::Riparto& r, const QString& name)
{
    for (const accounts::RipartoTable& t : r.tables)
        if (t.table == name)
            return &t;
    return nullptr;
}

class AccountsEdges : public test::AccountsOffice {};

} // namespace

TEST_F(AccountsEdges, AwkwardYearsAreShownAndNeverHalfClosed)
{
    office.addYear(kVilla, "2014", true);
    const qint64 u1 = addUnit("Interno 1", addPerson("Rossi"), 0);
    const qint64 u2 = addUnit("Interno 2", addPerson("Bianchi"), 0, 100, 50);
    const qint64 u3 = addUnit("Interno 3", addPerson("Verdi"), 0);
    const qint64 u4 = addUnit("Box 4", addPerson("Neri"), 0); // no thousandths anywhere
    office.addQuota(kVilla, "2014", u4, "Rata 1", "Spese ordinarie", 30, QDate(2014, 3, 31), 10);
    office.addQuota(kVilla, "2014", u1, "Rata 1", "Spese ordinarie", 20, QDate(2014, 3, 31), 0);

    // A year without expenses: empty sections, each unit gets its quotas back.
    {
        const accounts::Rendiconto r = accounts::computeRendiconto(db(), year("2014"));
        EXPECT_TRUE(r.consuntivo.lines.isEmpty());
        EXPECT_TRUE(r.riparto.tables.isEmpty());
        EXPECT_TRUE(r.riparto.notes.isEmpty());
        EXPECT_TRUE(r.movements.lines.isEmpty());
        ASSERT_EQ(r.units.lines.size(), 4);
        EXPECT_EQ(r.units.lines[3].conguaglio(), money("-30.00"));
        EXPECT_EQ(r.units.lines[3].arrears(), money("20.00"));
        EXPECT_EQ(r.summary.result(), money("50.00"));
    }

    // No next year: the closing asks for it and writes nothing.
    QStringList rows = dump();
    app::Outcome refused = accounts::closeYear(office.ws(), {kVilla, "2014", QDate(2015, 3, 31)});
    EXPECT_FALSE(refused.done);
    EXPECT_TRUE(refused.texts().join(u' ').contains("crearlo prima")) << refused.texts().join(u' ').toStdString();
    EXPECT_EQ(dump(), rows);
    office.addYear(kVilla, "2015", false);

    // "Pari": three equal units share 1.00 (the odd cent to the lowest Id) and, with the second one
    // at 50% for extraordinary expenses, 0.02 as 0.01 + 0.01 to the first and third (equal remainders).
    const qint64 pari = addTable("Pari");
    const qint64 vuota = addTable("Vuota");
    for (qint64 u : {u1, u2, u3, u4}) {
        setThousandths(u, pari, u == u4 ? 0 : 100);
        setThousandths(u, vuota, 0);
    }
    addBudget("2014", "Pari", "Pulizie", 150);
    addExpense({.table = "Pari", .item = "Pulizie", .invoice = 100});
    addExpense({.table = "Pari", .item = "Tetto", .type = "Spese straordinarie", .invoice = 2});
    addExpense({.table = "Vuota", .item = "Luce", .invoice = 5000});
    addExpense({.table = "Giardino", .item = "Potatura", .invoice = 700});

    const accounts::Rendiconto r = accounts::computeRendiconto(db(), year("2014"));
    const accounts::RipartoTable* shared = tableOf(r.riparto, "Pari");
    ASSERT_NE(shared, nullptr);
    ASSERT_EQ(shared->units.size(), 4);
    EXPECT_EQ(shared->units[0].ordinary, money("0.34"));
    EXPECT_EQ(shared->units[1].ordinary, money("0.33"));
    EXPECT_EQ(shared->units[2].ordinary, money("0.33"));
    EXPECT_EQ(shared->units[0].extraordinary, money("0.01"));
    EXPECT_EQ(shared->units[1].extraordinary, money("0.00"));
    EXPECT_EQ(shared->units[2].extraordinary, money("0.01"));
    EXPECT_TRUE(shared->units[3].total().isZero());
    EXPECT_TRUE(shared->undivided.isZero());

    const accounts::RipartoTable* empty = tableOf(r.riparto, "Vuota");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->undivided, money("50.00"));
    EXPECT_TRUE(empty->notes.join(u' ').contains("nessun locale ha millesimi"));
    const accounts::RipartoTable* unknown = tableOf(r.riparto, "Giardino");
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->undivided, money("7.00"));
    EXPECT_TRUE(unknown->units.isEmpty());
    EXPECT_TRUE(unknown->notes.join(u' ').contains("non ha una tabella millesimale"));
    EXPECT_EQ(r.riparto.undivided, money("57.00"));
    EXPECT_EQ(r.units.share + r.riparto.undivided, r.consuntivo.total.actual);
    EXPECT_TRUE(r.units.lines[3].share.isZero());

    // The consuntivo: the budgeted item against its expense, the unbudgeted ones at 0.00.
    ASSERT_EQ(r.consuntivo.lines.size(), 4);
    EXPECT_EQ(r.consuntivo.lines[1].item, "Pulizie");
    EXPECT_EQ(r.consuntivo.lines[1].figures.budget, money("1.50"));
    EXPECT_EQ(r.consuntivo.lines[1].figures.difference(), money("-0.50"));
    EXPECT_NEAR(r.consuntivo.lines[1].figures.percentage().value(), -33.333, 0.001);
    EXPECT_FALSE(r.consuntivo.lines[2].figures.percentage().has_value());
    EXPECT_EQ(r.consuntivo.extraordinary.actual, money("0.02"));

    // Expenses that cannot be shared keep the year open, and the message says which.
    rows = dump();
    refused = accounts::closeYear(office.ws(), {kVilla, "2014", QDate(2015, 3, 31)});
    EXPECT_FALSE(refused.done);
    EXPECT_TRUE(refused.texts().join(u' ').contains("Giardino"));
    EXPECT_EQ(dump(), rows);

    db().exec("DELETE FROM Uscite WHERE Tabella IN ('Vuota', 'Giardino')");
    db().exec("INSERT INTO web.Accesso (id, Persona) SELECT idProprietario, 'web' FROM Locali");
    rows = dump();
    EXPECT_FALSE(accounts::closeYear(office.ws(), {kVilla, "2014", QDate()}).done) << "no due date";

    // A failure in the middle of the closing leaves nothing behind.
    const store::FailpointHandler previous = store::setFailpointHandler([](const char* name) {
        if (QString::fromLatin1(name) == "chiusura.quota-scritta")
            throw store::StoreError("disco pieno");
    });
    const app::Outcome failed = accounts::closeYear(office.ws(), {kVilla, "2014", QDate(2015, 3, 31)});
    store::setFailpointHandler(previous);
    EXPECT_FALSE(failed.done);
    EXPECT_EQ(dump(), rows);
    EXPECT_FALSE(accounts::closingOf(db(), year("2014")).has_value());

    ASSERT_TRUE(accounts::closeYear(office.ws(), {kVilla, "2014", QDate(2015, 3, 31)}).done);
    EXPECT_TRUE(accounts::closingOf(db(), year("2014")).has_value());
    EXPECT_EQ(db().scalar("SELECT COUNT(*) FROM web.Quote WHERE NomeQuote = 'Conguaglio 2014'").toInt(),
              db().scalar("SELECT COUNT(*) FROM Quote WHERE NomeQuote = 'Conguaglio 2014'").toInt());
    EXPECT_EQ(db().scalar("SELECT Importo FROM Quote WHERE NomeQuote = 'Conguaglio 2014' AND IdLocale = ?", {u4}).toDouble(),
              -30.0);
    ASSERT_TRUE(accounts::reopenYear(office.ws(), {kVilla, "2014"}).done);
    EXPECT_EQ(dump(), rows);
    EXPECT_FALSE(accounts::reopenYear(office.ws(), {kVilla, "2014"}).done) << "not closed any more";
}
