// The quota register's rules over a small office: column order, cell colours, the running sum,
// the in-place amount change (paid quota refused, new quota, web copy) and "Modifica Quota".
#include "AllocationFixture.h"
#include "support/RefusedWrites.h"

#include "allocation/QuotaRegister.h"
#include "window/TabLoading.h"
#include "store/Failpoint.h"

using namespace velcaris;
using velcaris::test::kAlfa;
using velcaris::test::kBeta;

namespace {

class QuotaRegister : public test::AllocationOffice {
protected:
    void SetUp() override
    {
        AllocationOffice::SetUp();
        office.addYear(kAlfa, "2013", false);
        office.addYear(kAlfa, "2014", true);
        office.addYear(kBeta, "2014", true);
        rossi = office.addPerson(kAlfa, "Rossi", "Mario");
        verdi = office.addPerson(kAlfa, "Verdi", "Anna");
        unit1 = office.addUnit(kAlfa, "Int. 1", rossi, rossi);
        unit2 = office.addUnit(kAlfa, "Int. 2", verdi, verdi);
    }
    qint64 quota(qint64 unit, const QString& name, const QString& type, double amount, const QDate& due,
                 const QString& year = "2014")
    {
        return office.addQuota(kAlfa, year, unit, name, type, amount, due);
    }
    void giveWebAccess(qint64 person)
    {
        db().exec("INSERT INTO web.Accesso (id, Persona, \"User\", Password, IdCondominio) VALUES (?, 'x', 'u', 'p', ?)",
                  {person, kAlfa});
    }
    void publish(qint64 unit, const QString& name, const QString& year, const QString& amount)
    {
        db().exec("INSERT INTO web.Quote (Condominio, idLocale, NomeQuote, AA, Importo, DataScadenza, Tipologia) "
                  "VALUES (?, ?, ?, ?, ?, '2014-01-31', 'Spese ordinarie')",
                  {kAlfa, unit, name, year, amount});
    }
    app::Outcome change(qint64 unit, const QString& name, const QString& amount)
    {
        return allocation::changeQuotaAmount(office.ws(), {unit, name, amount});
    }
    qint64 rossi = 0, verdi = 0, unit1 = 0, unit2 = 0;
};

TEST_F(QuotaRegister, ColumnsFollowTheUnitsQuotasByTypeThenDueDateWithoutPersonalOnes)
{
    quota(unit1, "Z straord", "Spese straordinarie", 10, QDate(2014, 1, 10));
    quota(unit1, "Rata 2", "Spese ordinarie", 10, QDate(2014, 6, 30));
    quota(unit1, "Rata 1", "Spese ordinarie", 10, QDate(2014, 1, 31));
    quota(unit1, "Rata 1", "Spese ordinarie", 10, QDate(2014, 1, 31)); // allocated twice: named once
    quota(unit1, "Acqua", "Spese personali", 10, QDate(2014, 1, 1));
    quota(unit1, "Vecchia", "Spese ordinarie", 10, QDate(2013, 1, 1), "2013");
    quota(unit2, "B solo", "Spese ordinarie", 10, QDate(2013, 1, 1));
    EXPECT_EQ(allocation::quotaColumnOrder(db(), kAlfa, "2014", unit1), QStringList({"Rata 1", "Rata 2", "Z straord"}));
    EXPECT_EQ(allocation::quotaColumnOrder(db(), kAlfa, "2014", unit2), QStringList({"B solo"}));
    EXPECT_TRUE(allocation::quotaColumnOrder(db(), kBeta, "2014", unit1).isEmpty());
}

TEST_F(QuotaRegister, ValueModesShowDueToPayAndPaid)
{
    office.addQuota(kAlfa, "2014", unit1, "Rata 1", "Spese ordinarie", 100, QDate(2014, 1, 31), 40);
    office.addQuota(kAlfa, "2013", unit1, "Rata 1", "Spese ordinarie", 999, QDate(2013, 1, 31), 0);
    const std::pair<app::TabToggles, double> modes[] = {
        {{.pagare = true, .pagato = false}, 60.0}, {{.pagare = false, .pagato = true}, 40.0}, {{.pagare = false, .pagato = false}, 100.0}};
    for (const auto& [toggles, expected] : modes) {
        app::LoadActiveTab(office.ws(), app::Tab::Quote, toggles);
        auto& single = office.ws().ds("ADOQueryQuoteSingole");
        auto& grouped = office.ws().ds("ADOQueryQuoteAccorpate");
        ASSERT_EQ(single.rowCount(), 1);
        EXPECT_DOUBLE_EQ(single.valueAt(0, "Rata 1").toDouble(), expected);
        EXPECT_DOUBLE_EQ(grouped.valueAt(0, "Rata 1").toDouble(), expected);
    }
}

TEST_F(QuotaRegister, CellColoursAndRunningSum)
{
    EXPECT_EQ(allocation::quotaCellColour(-5.0), (app::Rgb{0xFF, 0xBF, 0xBF}));
    EXPECT_EQ(allocation::quotaCellColour(0.0), (app::Rgb{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(allocation::quotaCellColour(QVariant()), (app::Rgb{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(allocation::quotaCellColour(10.0), (app::Rgb{0xC0, 0xDC, 0xC0}));
    EXPECT_EQ(allocation::quotaCellColour(0.004), (app::Rgb{0xC0, 0xDC, 0xC0}));

    double sum = 0;
    for (const QVariant& v : {QVariant(10.0), QVariant(20.5), QVariant(), QVariant(5.25)})
        sum = allocation::addToQuotaSum(sum, v);
    EXPECT_EQ(allocation::quotaSumText(sum), "La somma è: 35.75");
    // Rounded after each addition, half away from zero.
    EXPECT_EQ(allocation::quotaSumText(allocation::addToQuotaSum(0.1, 0.005)), "La somma è: 0.11");
    EXPECT_EQ(allocation::quotaSumText(allocation::addToQuotaSum(0, -0.005)), "La somma è: -0.01");
}

TEST_F(QuotaRegister, AmountChangeAltersTheFirstRowAndItsWebCopyOnly)
{
    const qint64 first = quota(unit1, "Rata 1", "Spese ordinarie", 100, QDate(2014, 1, 31));
    const qint64 second = quota(unit1, "Rata 1", "Spese ordinarie", 100, QDate(2014, 1, 31));
    const qint64 old = quota(unit1, "Rata 1", "Spese ordinarie", 100, QDate(2013, 1, 31), "2013");
    publish(unit1, "Rata 1", "2014", "100.00");
    publish(unit1, "Rata 1", "2014", "100.00");
    publish(unit1, "Rata 1", "2013", "100.00");

    const app::Outcome done = change(unit1, "Rata 1", " 123.455 ");
    ASSERT_TRUE(done.done) << done.texts().join("|").toStdString();
    EXPECT_EQ(done.newKey, first);
    EXPECT_DOUBLE_EQ(db().scalar("SELECT Importo FROM Quote WHERE IdQuota = ?", {first}).toDouble(), 123.46);
    EXPECT_DOUBLE_EQ(db().scalar("SELECT Importo FROM Quote WHERE IdQuota = ?", {second}).toDouble(), 100);
    EXPECT_DOUBLE_EQ(db().scalar("SELECT Importo FROM Quote WHERE IdQuota = ?", {old}).toDouble(), 100);
    EXPECT_DOUBLE_EQ(db().scalar("SELECT Importo FROM web.Quote WHERE AA = '2014' ORDER BY Id").toDouble(), 123.46);
    EXPECT_DOUBLE_EQ(db().scalar("SELECT SUM(Importo) FROM web.Quote WHERE AA = '2014'").toDouble(), 223.46);
    EXPECT_DOUBLE_EQ(db().scalar("SELECT Importo FROM web.Quote WHERE AA = '2013'").toDouble(), 100);
}

TEST_F(QuotaRegister, PaidQuotaAndBadNumbersAreRefusedWithNothingWritten)
{
    const qint64 paid = quota(unit1, "Rata 1", "Spese ordinarie", 100, QDate(2014, 1, 31));
    db().exec("UPDATE Quote SET idEntrata = 7 WHERE IdQuota = ?", {paid});
    publish(unit1, "Rata 1", "2014", "100.00");
    const app::Outcome refused = change(unit1, "Rata 1", "50");
    EXPECT_FALSE(refused.done);
    EXPECT_EQ(refused.texts(), QStringList({"La quota non può essere modificata perchè risulta già pagata"}));

    for (const QString& bad : {"", "12,50", "abc", "12.5x"}) {
        const app::Outcome o = change(unit2, "Rata 1", bad);
        EXPECT_FALSE(o.done) << bad.toStdString();
        EXPECT_EQ(o.messages.size(), 1);
    }
    EXPECT_DOUBLE_EQ(db().scalar("SELECT Importo FROM Quote WHERE IdQuota = ?", {paid}).toDouble(), 100);
    EXPECT_DOUBLE_EQ(db().scalar("SELECT Importo FROM web.Quote").toDouble(), 100);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote"), 1);

    // An empty or "0" link is not a payment.
    db().exec("UPDATE Quote SET idEntrata = NULL WHERE IdQuota = ?", {paid});
    EXPECT_TRUE(change(unit1, "Rata 1", "50").done);
    db().exec("UPDATE Quote SET idEntrata = '0' WHERE IdQuota = ?", {paid});
    EXPECT_TRUE(change(unit1, "Rata 1", "-5").done);
    EXPECT_DOUBLE_EQ(db().scalar("SELECT Importo FROM Quote WHERE IdQuota = ?", {paid}).toDouble(), -5);
}

TEST_F(QuotaRegister, NewQuotaCopiesTypeAndDueDateAndIsPublishedForWebUsersOnly)
{
    quota(unit1, "Rata 1", "Spese riscaldamento", 100, QDate(2014, 3, 15));
    quota(unit1, "Rata 1", "Spese ordinarie", 100, QDate(2014, 9, 1), "2013");
    giveWebAccess(verdi);

    const app::Outcome done = change(unit2, "Rata 1", "42.5");
    ASSERT_TRUE(done.done);
    ASSERT_TRUE(done.newKey);
    EXPECT_EQ(text("SELECT Tipologia || '|' || DataScadenza || '|' || AA || '|' || IdCondominio || '|' || Importo "
                   "FROM Quote WHERE IdQuota = ?",
                   {*done.newKey}),
              "Spese riscaldamento|2014-03-15|2014|" + kAlfa + "|42.5");
    EXPECT_EQ(text("SELECT Condominio || '|' || IdProprietario || '|' || IdInquilino || '|' || idLocale || '|' || Locale "
                   "|| '|' || NomeQuote || '|' || Importo || '|' || Tipologia || '|' || DataScadenza || '|' || AA FROM web.Quote"),
              QString("%1|%2|%2|%3|Int. 2|Rata 1|42.5|Spese riscaldamento|2014-03-15|2014").arg(kAlfa).arg(verdi).arg(unit2));

    // Rossi has no web access: his new quota stays in the main database.
    db().exec("DELETE FROM Quote WHERE IdLocale = ?", {unit1});
    quota(unit2, "Rata 9", "Spese ordinarie", 1, QDate(2014, 5, 5));
    ASSERT_TRUE(change(unit1, "Rata 9", "1").done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE IdLocale = ? AND NomeQuote = 'Rata 9'", {unit1}), 1);
}

TEST_F(QuotaRegister, NewQuotaAndItsWebRowAreOneTransaction)
{
    quota(unit1, "Rata 1", "Spese ordinarie", 100, QDate(2014, 3, 15));
    giveWebAccess(verdi);
    test::refuseWrites(db(), "web.Quote", "INSERT", "disco pieno");
    EXPECT_THROW(change(unit2, "Rata 1", "10"), store::StoreError);
    EXPECT_EQ(count("SELECT COUNT(*) FROM main.Quote"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote"), 0);
}

TEST_F(QuotaRegister, ModifyQuotasChangesEveryUnitsQuotaOfTheYearAndTheWebCopies)
{
    quota(unit1, "Rata 2", "Spese ordinarie", 10, QDate(2014, 6, 30));
    quota(unit2, "Rata 2", "Spese ordinarie", 10, QDate(2014, 6, 30));
    quota(unit1, "Rata 1", "Spese ordinarie", 10, QDate(2014, 1, 31));
    quota(unit1, "Rata 2", "Spese ordinarie", 10, QDate(2013, 6, 30), "2013");
    office.addQuota(kBeta, "2014", unit1, "Rata 2", "Spese ordinarie", 10, QDate(2014, 6, 30));
    publish(unit1, "Rata 2", "2014", "10.00");
    publish(unit1, "Rata 2", "2013", "10.00");

    const std::optional<allocation::QuotaNameDetails> details = allocation::readQuotaName(office.ws(), "Rata 2");
    ASSERT_TRUE(details);
    EXPECT_EQ(details->dueDate, QDate(2014, 6, 30));
    EXPECT_EQ(details->type, "Spese ordinarie");
    EXPECT_EQ(details->count, 2);
    EXPECT_FALSE(allocation::readQuotaName(office.ws(), "Rata 7"));

    ASSERT_TRUE(allocation::modifyQuotas(office.ws(), {"Rata 2", QDate(2014, 7, 15), "Spese straordinarie"}).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE DataScadenza = '2014-07-15' AND Tipologia = 'Spese straordinarie'"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE DataScadenza = '2014-07-15' AND IdCondominio = ? AND AA = '2014' "
                    "AND NomeQuote = 'Rata 2'",
                    {kAlfa}),
              2);
    // 2013 and Beta untouched.
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE DataScadenza = '2014-06-30' AND IdCondominio = ?", {kBeta}), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE DataScadenza = '2013-06-30' AND AA = '2013'"), 1);
    EXPECT_EQ(text("SELECT DataScadenza || '|' || Tipologia FROM web.Quote WHERE AA = '2014'"),
              "2014-07-15|Spese straordinarie");
    EXPECT_EQ(text("SELECT DataScadenza FROM web.Quote WHERE AA = '2013'"), "2014-01-31");

    // The web copy fails: the main rows keep their dates.
    test::refuseWrites(db(), "web.Quote", "UPDATE", "disco pieno");
    EXPECT_THROW(allocation::modifyQuotas(office.ws(), {"Rata 2", QDate(2014, 8, 1), "Spese ordinarie"}), store::StoreError);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE DataScadenza = '2014-08-01'"), 0);
}

TEST_F(QuotaRegister, NoCurrentYearRefuses)
{
    choose(kBeta);
    db().exec("UPDATE AnnoAmministrativo SET corrente = 0 WHERE idCondominio = ?", {kBeta});
    EXPECT_FALSE(change(unit1, "Rata 1", "10").done);
    EXPECT_FALSE(allocation::modifyQuotas(office.ws(), {"Rata 1", QDate(2014, 1, 1), "x"}).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote"), 0);
}

} // namespace
