// The owner statement: grouping of the quotas behind each row, the payable flip, and what "OK"
// decides for the rows selected.
#include "AllocationFixture.h"

#include "allocation/OwnerStatement.h"

using namespace velcaris;
using velcaris::test::kAlfa;
using velcaris::test::kBeta;

namespace {

struct Row {
    QString name;
    double amount = 0, paid = 0, toPay = 0;
    QString type, due;
    bool payable = false;
    qint64 owner = 0, tenant = 0;
};

class OwnerStatement : public test::AllocationOffice {
protected:
    void SetUp() override
    {
        AllocationOffice::SetUp();
        office.addYear(kAlfa, "2013", false);
        office.addYear(kAlfa, "2014", true);
        office.addYear(kBeta, "2014", true);
        rossi = office.addPerson(kAlfa, "Rossi", "Mario");
        verdi = office.addPerson(kAlfa, "Verdi", "Anna");
        neri = office.addPerson(kAlfa, "Neri");
        flat = office.addUnit(kAlfa, "Int. 1", rossi, verdi);
        garage = office.addUnit(kAlfa, "Box 1", rossi, neri);
        other = office.addUnit(kAlfa, "Int. 2", verdi, verdi);
    }
    qint64 quota(qint64 unit, const QString& name, double amount, const QDate& due, bool payable = true,
                 const QString& year = "2014", double paid = 0)
    {
        const qint64 id = office.addQuota(kAlfa, year, unit, name, "Spese ordinarie", amount, due, paid);
        db().exec("UPDATE Quote SET PagabiliSiNo = ? WHERE IdQuota = ?", {payable, id});
        return id;
    }
    QVector<Row> statement(bool owner, qint64 person)
    {
        const allocation::StatementQuery q = allocation::statementQuery(kAlfa, {owner, person});
        EXPECT_FALSE(q.sql.contains(kAlfa));
        store::Statement st(db(), q.sql);
        st.bindAll(q.params);
        QVector<Row> rows;
        while (st.step())
            rows.push_back({st.value(3).toString(), st.value(4).toDouble(), st.value(5).toDouble(), st.value(6).toDouble(),
                            st.value(7).toString(), st.value(8).toString(), st.value(9).toBool(),
                            st.value(1).toLongLong(), st.value(2).toLongLong()});
        return rows;
    }
    app::Outcome flip(bool owner, qint64 person, const Row& row)
    {
        return allocation::flipPayable(office.ws(), {{owner, person}, row.name, row.type, row.due, row.payable});
    }
    qint64 rossi = 0, verdi = 0, neri = 0, flat = 0, garage = 0, other = 0;
};

TEST_F(OwnerStatement, TwoUnitsOfTheOwnerSumIntoOneRowAndSplitByPayableFlag)
{
    const qint64 a = quota(flat, "Rata 1", 100, QDate(2014, 1, 31));
    quota(garage, "Rata 1", 100, QDate(2014, 1, 31), true, "2014", 30);
    quota(flat, "Rata 2", 50, QDate(2014, 6, 30));
    quota(flat, "Rata 1", 999, QDate(2013, 1, 31), true, "2013"); // not the current year
    quota(other, "Rata 1", 70, QDate(2014, 1, 31));                // Verdi's own unit

    QVector<Row> rows = statement(true, rossi);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].name, "Rata 1");
    EXPECT_DOUBLE_EQ(rows[0].amount, 200.0);
    EXPECT_DOUBLE_EQ(rows[0].paid, 30.0);
    EXPECT_DOUBLE_EQ(rows[0].toPay, 170.0);
    EXPECT_EQ(rows[0].owner, rossi);
    EXPECT_EQ(rows[1].name, "Rata 2");

    db().exec("UPDATE Quote SET PagabiliSiNo = 0 WHERE IdQuota = ?", {a});
    rows = statement(true, rossi);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].name, "Rata 1");
    EXPECT_EQ(rows[1].name, "Rata 1");
    EXPECT_DOUBLE_EQ(rows[0].amount, 100.0);
    EXPECT_DOUBLE_EQ(rows[1].amount, 100.0);
    EXPECT_NE(rows[0].payable, rows[1].payable);
}

TEST_F(OwnerStatement, TenantStatementCoversTheUnitsTheTenantRents)
{
    quota(flat, "Rata 1", 100, QDate(2014, 1, 31));
    quota(other, "Rata 1", 70, QDate(2014, 1, 31));
    quota(garage, "Rata 1", 5, QDate(2014, 1, 31));
    const QVector<Row> rows = statement(false, verdi);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_DOUBLE_EQ(rows[0].amount, 170.0);
    EXPECT_EQ(rows[0].tenant, verdi);
    EXPECT_TRUE(statement(false, 9999).isEmpty());
    // A person name that looks like SQL travels bound and matches nothing.
    const allocation::StatementQuery q = allocation::statementQuery("x' OR '1'='1", {false, verdi});
    store::Statement st(db(), q.sql);
    st.bindAll(q.params);
    EXPECT_FALSE(st.step());
}

TEST_F(OwnerStatement, FlippingATenantsRowFlipsEachQuotaBehindIt)
{
    const qint64 a = quota(flat, "Rata 1", 100, QDate(2014, 1, 31));
    const qint64 b = quota(other, "Rata 1", 70, QDate(2014, 1, 31));
    const qint64 twice = quota(other, "Rata 1", 70, QDate(2014, 1, 31)); // allocated twice
    const qint64 garageQuota = quota(garage, "Rata 1", 5, QDate(2014, 1, 31));       // rented by Neri
    const qint64 lastYear = quota(flat, "Rata 1", 100, QDate(2013, 1, 31), true, "2013");
    const qint64 rata2 = quota(flat, "Rata 2", 100, QDate(2014, 6, 30));

    QVector<Row> rows = statement(false, verdi);
    ASSERT_EQ(rows.size(), 2);
    const app::Outcome done = flip(false, verdi, rows[0]);
    ASSERT_TRUE(done.done);
    EXPECT_EQ(done.newKey, 3);
    for (qint64 id : {a, b, twice})
        EXPECT_EQ(count("SELECT PagabiliSiNo FROM Quote WHERE IdQuota = ?", {id}), 0) << id;
    for (qint64 id : {garageQuota, lastYear, rata2})
        EXPECT_EQ(count("SELECT PagabiliSiNo FROM Quote WHERE IdQuota = ?", {id}), 1) << id;

    rows = statement(false, verdi);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_FALSE(rows[0].payable);
    ASSERT_TRUE(flip(false, verdi, rows[0]).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE PagabiliSiNo = 1"), 6);
}

TEST_F(OwnerStatement, FlippingOneOfTwoSplitRowsLeavesTheOtherAlone)
{
    const qint64 a = quota(flat, "Rata 1", 100, QDate(2014, 1, 31), true);
    const qint64 b = quota(garage, "Rata 1", 100, QDate(2014, 1, 31), false);
    QVector<Row> rows = statement(true, rossi);
    ASSERT_EQ(rows.size(), 2);
    const Row payableRow = rows[0].payable ? rows[0] : rows[1];
    ASSERT_TRUE(flip(true, rossi, payableRow).done);
    EXPECT_EQ(count("SELECT PagabiliSiNo FROM Quote WHERE IdQuota = ?", {a}), 0);
    EXPECT_EQ(count("SELECT PagabiliSiNo FROM Quote WHERE IdQuota = ?", {b}), 0);
    rows = statement(true, rossi);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_DOUBLE_EQ(rows[0].amount, 200.0);
}

TEST_F(OwnerStatement, OkWarnsOnceAndStopsOnlyOnASingleNonPayableRow)
{
    using app::PaymentLine;
    const PaymentLine yes{"Rata 1", 10, "Spese ordinarie", true};
    const PaymentLine no{"Rata 2", 10, "Spese ordinarie", false};
    auto step = [](const QVector<PaymentLine>& lines) {
        const allocation::PaymentStep s = allocation::paymentStep(lines);
        return std::make_pair(s.warnNonPayable, s.openPayment);
    };
    EXPECT_EQ(step({yes, no, yes}), std::make_pair(true, true));
    EXPECT_EQ(step({no, no}), std::make_pair(true, true));
    EXPECT_EQ(step({no}), std::make_pair(true, false));
    EXPECT_EQ(step({yes}), std::make_pair(false, true));
    EXPECT_EQ(step({}), std::make_pair(false, true));
}

TEST_F(OwnerStatement, SubjectIsTheTenantUnlessProprietarioWasClickedLast)
{
    EXPECT_TRUE(allocation::statementForOwner("proprietario"));
    EXPECT_FALSE(allocation::statementForOwner("inquilino"));
    EXPECT_FALSE(allocation::statementForOwner(QString()));
}

} // namespace
