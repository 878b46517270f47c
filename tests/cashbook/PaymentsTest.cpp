// Recording payments: receipt numbers, the spreading of each amount over the payer's units, the
// web copy kept in step, the refusals before anything is written, and atomicity.
#include "foundation/Selection.h"
#include "cashbook/IncomeDeletion.h"
#include "cashbook/Payments.h"
#include "cashbook/ReceiptNumbers.h"
#include "registry/AdministrativeYears.h"
#include "store/Failpoint.h"
#include "store/StoreError.h"
#include "support/Office.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris;
using namespace velcaris::cashbook;

namespace {

const QString kAlfa = QStringLiteral("Alfa - Via Roma 1");
const QString kBeta = QStringLiteral("Beta - Via Po 2");
const QDate kDay(2024, 5, 20);

struct Paid {
    double pagato = 0;
    qint64 idEntrata = 0;
    double webPagato = 0;
    QString webData;
    bool operator==(const Paid&) const = default;
};

void PrintTo(const Paid& p, std::ostream* os)
{
    *os << "{pagato " << p.pagato << ", idEntrata " << p.idEntrata << ", web " << p.webPagato << " "
        << p.webData.toStdString() << "}";
}

// Rossi owns two units, Verdi rents the second; both units carry "Rata 1" (100 each) and the
// first also "Rata 2" (60) in the current year 2024, with their twins in the owners' web copy.
class Payments : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addYear(kAlfa, "2023", false);
        office.addYear(kAlfa, "2024", true);
        rossi = office.addPerson(kAlfa, "Rossi", "Mario");
        verdi = office.addPerson(kAlfa, "Verdi", "Anna");
        u1 = office.addUnit(kAlfa, "A1", rossi, rossi);
        u2 = office.addUnit(kAlfa, "A2", rossi, verdi);
        q1 = quota(u1, "Rata 1", 100);
        q2 = quota(u2, "Rata 1", 100);
        q3 = quota(u1, "Rata 2", 60);
        // Last year's quota of the same name is never touched.
        office.addQuota(kAlfa, "2023", u1, "Rata 1", "Spese ordinarie", 100, QDate(2023, 1, 31));
        app::chooseCondominium(office.ws(), kAlfa);
    }
    void TearDown() override { store::setFailpointHandler({}); }

    qint64 quota(qint64 unit, const QString& name, double amount, double paid = 0)
    {
        const qint64 id = office.addQuota(kAlfa, "2024", unit, name, "Spese ordinarie", amount, QDate(2024, 1, 31), paid);
        db().exec("INSERT INTO web.Quote (Condominio, idLocale, NomeQuote, Importo, ImportoPagato, AA) "
                  "VALUES (?, ?, ?, ?, ?, '2024')",
                  {kAlfa, unit, name, amount, paid});
        return id;
    }
    store::Database& db() { return office.db(); }
    int count(const QString& sql) { return db().scalar(sql).toInt(); }

    Paid paid(qint64 quotaId)
    {
        Paid p;
        store::Statement st(db(), "SELECT q.ImportoPagato, q.idEntrata, w.ImportoPagato, w.Data FROM Quote AS q "
                                  "LEFT JOIN web.Quote AS w ON w.idLocale = q.IdLocale AND w.NomeQuote = q.NomeQuote "
                                  "AND w.AA = q.AA WHERE q.IdQuota = ?");
        st.bind(1, quotaId);
        EXPECT_TRUE(st.step());
        p.pagato = st.value(0).toDouble();
        p.idEntrata = st.value(1).toLongLong();
        p.webPagato = st.value(2).toDouble();
        p.webData = st.value(3).toString();
        return p;
    }

    PaymentInput input(QVector<PaymentRow> rows, bool ownerPays = true)
    {
        PaymentInput in;
        in.condominium = kAlfa;
        in.receiptNumber = nextReceiptNumber(office.ws(), kAlfa);
        in.date = kDay;
        in.method = "Cassa";
        in.ownerPays = ownerPays;
        in.payerId = ownerPays ? rossi : verdi;
        in.rows = std::move(rows);
        return in;
    }
    qint64 pay(QVector<PaymentRow> rows, bool ownerPays = true)
    {
        const app::Outcome o = recordPayment(office.ws(), input(std::move(rows), ownerPays));
        EXPECT_TRUE(o.done) << o.texts().join('\n').toStdString();
        return o.newKey.value_or(0);
    }

    test::Office office;
    qint64 rossi = 0, verdi = 0, u1 = 0, u2 = 0, q1 = 0, q2 = 0, q3 = 0;
};

} // namespace

TEST_F(Payments, ReceiptNumbersGoByNumberPerCondominiumAndYear)
{
    office.addCondominium(kBeta);
    office.addYear(kBeta, "2024", true);
    EXPECT_EQ(nextReceiptNumber(office.ws(), kAlfa), 1);
    for (int n = 1; n <= 10; ++n)
        db().exec("INSERT INTO Entrate (Condominio, AA, TipoMovimento, Ricevuta) VALUES (?, '2024', 'Entrata', ?)",
                  {kAlfa, QString::number(n)});
    // Special movements carry no number (an empty text too, in an older file); other years and
    // other condominiums count apart.
    db().exec("INSERT INTO Entrate (Condominio, AA, TipoMovimento, Ricevuta) VALUES (?, '2024', 'Speciale', NULL), "
              "(?, '2023', 'Entrata', 40), (?, '2024', 'Entrata', 70)",
              {kAlfa, kAlfa, kBeta});
    if (!test::officeOnServer())
        db().exec("INSERT INTO Entrate (Condominio, AA, TipoMovimento, Ricevuta) VALUES (?, '2024', 'Speciale', '')", {kAlfa});
    EXPECT_EQ(nextReceiptNumber(office.ws(), kAlfa), 11) << "10 is above 9";
    EXPECT_EQ(nextReceiptNumber(office.ws(), kBeta), 71);

    // A new current year starts again at 1.
    db().exec("UPDATE AnnoAmministrativo SET corrente = 0 WHERE idCondominio = ?", {kAlfa});
    office.addYear(kAlfa, "2025", true);
    EXPECT_EQ(nextReceiptNumber(office.ws(), kAlfa), 1);
}

TEST_F(Payments, ACancelledReceiptsNumberIsNeverGivenAgain)
{
    // Paid, deleted, paid again: no row keeps the first number, yet it is not given twice.
    const qint64 first = pay({{"Rata 1", "100", "Spese ordinarie", ""}});
    EXPECT_EQ(db().scalar("SELECT Ricevuta FROM Entrate WHERE id = ?", {first}).toInt(), 1);
    ASSERT_TRUE(deleteIncome(office.ws(), first).done);
    ASSERT_EQ(count("SELECT COUNT(*) FROM Entrate"), 0);
    const qint64 second = pay({{"Rata 1", "100", "Spese ordinarie", ""}});
    EXPECT_EQ(db().scalar("SELECT Ricevuta FROM Entrate WHERE id = ?", {second}).toInt(), 2);

    // The record follows its year when the year is renamed.
    ASSERT_TRUE(deleteIncome(office.ws(), second).done);
    ASSERT_TRUE(registry::modifyYear(office.ws(), {"2024b", QDate(2024, 1, 1), QDate(2024, 12, 31)}).done);
    EXPECT_EQ(nextReceiptNumber(office.ws(), kAlfa), 3);

    // Receipts written before the record was kept count by their documents, cancelled ones
    // too; the documents of another year and other files do not.
    const QString folder = office.ws().paths().outputFolder() + kAlfa + "/Ricevute/";
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* name : {"Ricevuta n.7 - A.A.2024b ANNULLATA.rtf", "Ricevuta n.5 - A.A.2024b.pdf",
                             "Ricevuta n.30 - A.A.2023.rtf", "Ricevuta n.40 - A.A.2024b2.rtf", "Lettera n.90 - A.A.2024b.rtf"}) {
        QFile file(folder + QString::fromLatin1(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name;
    }
    EXPECT_EQ(nextReceiptNumber(office.ws(), kAlfa), 8);
}

TEST_F(Payments, EveryQuotaOfAPaymentIsAnIncomeRowUnderOneReceipt)
{
    db().exec("INSERT INTO Entrate (Condominio, AA, TipoMovimento, Ricevuta) VALUES (?, '2024', 'Entrata', 4)", {kAlfa});
    const qint64 first = pay({{"Rata 1", "100", "Spese ordinarie", "saldo"},
                              {"Rata 2", "60.5", "Spese straordinarie", ""},
                              {"Rata 9", "7.25", "Spese ordinarie", "senza quota"}});
    store::Statement st(db(), "SELECT Condominio, TipoMovimento, Importo, Data, MetodoPagamento, Tipologia, IdPersona, "
                              "Nome, Ricevuta, AA, Nota, id FROM Entrate WHERE id >= ? ORDER BY id");
    st.bind(1, first);
    const QStringList names{"Rata 1", "Rata 2", "Rata 9"};
    const double amounts[] = {100, 60.5, 7.25};
    const QStringList types{"Spese ordinarie", "Spese straordinarie", "Spese ordinarie"};
    const QStringList notes{"saldo", "", "senza quota"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(st.step());
        EXPECT_EQ(st.value(0).toString(), kAlfa);
        EXPECT_EQ(st.value(1).toString(), "Entrata");
        EXPECT_DOUBLE_EQ(st.value(2).toDouble(), amounts[i]);
        EXPECT_EQ(st.value(3).toString().left(10), "2024-05-20");
        EXPECT_EQ(st.value(4).toString(), "Cassa");
        EXPECT_EQ(st.value(5).toString(), types[i]);
        EXPECT_EQ(st.value(6).toLongLong(), rossi);
        EXPECT_EQ(st.value(7).toString(), names[i]);
        EXPECT_EQ(st.value(8).toInt(), 5);
        EXPECT_EQ(st.value(9).toString(), "2024");
        EXPECT_EQ(st.value(10).toString(), notes[i]);
    }
    EXPECT_FALSE(st.step());
    // The 60.5 went past Rata 2's 60: the half euro stays on it as an overpayment.
    EXPECT_EQ(paid(q3), (Paid{60.5, first + 1, 60.5, "2024-05-20"}));
    EXPECT_EQ(nextReceiptNumber(office.ws(), kAlfa), 6);
}

TEST_F(Payments, AnAmountIsSpreadOverThePayersUnitsInOrder)
{
    // Exactly the first unit's residual: the second unit is not touched.
    const qint64 a = pay({{"Rata 1", "100.00", "", ""}});
    EXPECT_EQ(paid(q1), (Paid{100, a, 100, "2024-05-20"}));
    EXPECT_EQ(paid(q2), (Paid{0, 0, 0, ""}));

    // The first is already paid: it keeps its amount, takes the new payment's id, and the whole
    // amount passes to the second.
    const qint64 b = pay({{"Rata 1", "30", "", ""}});
    EXPECT_EQ(paid(q1), (Paid{100, b, 100, "2024-05-20"}));
    EXPECT_EQ(paid(q2), (Paid{30, b, 30, "2024-05-20"}));

    // More than everything owed: the second is filled and the excess stays on it.
    const qint64 c = pay({{"Rata 1", "95.5", "", ""}});
    EXPECT_EQ(paid(q1), (Paid{100, c, 100, "2024-05-20"}));
    EXPECT_EQ(paid(q2), (Paid{125.5, c, 125.5, "2024-05-20"}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE AA = '2023' AND ImportoPagato <> 0"), 0);
}

TEST_F(Payments, APartialPaymentFillsTheFirstUnitAndPutsTheRestOnTheNext)
{
    db().exec("UPDATE Quote SET ImportoPagato = 40 WHERE IdQuota = ?", {q1});
    db().exec("UPDATE web.Quote SET ImportoPagato = 40 WHERE idLocale = ? AND NomeQuote = 'Rata 1'", {u1});
    const qint64 a = pay({{"Rata 1", "25.10", "", ""}});
    EXPECT_EQ(paid(q1), (Paid{65.1, a, 65.1, "2024-05-20"}));
    EXPECT_EQ(paid(q2), (Paid{0, 0, 0, ""}));
    const qint64 b = pay({{"Rata 1", "50", "", ""}});
    EXPECT_EQ(paid(q1), (Paid{100, b, 100, "2024-05-20"}));
    EXPECT_EQ(paid(q2), (Paid{15.1, b, 15.1, "2024-05-20"}));
}

TEST_F(Payments, ATenantPaysForTheUnitsHeRentsOnly)
{
    // A unit without a web twin is written in the main database alone.
    db().exec("DELETE FROM web.Quote WHERE idLocale = ?", {u2});
    const qint64 a = pay({{"Rata 1", "120", "", ""}}, false);
    EXPECT_EQ(paid(q1), (Paid{0, 0, 0, ""}));
    EXPECT_EQ(paid(q2).pagato, 120);
    EXPECT_EQ(paid(q2).idEntrata, a);
    EXPECT_EQ(db().scalar("SELECT IdPersona FROM Entrate WHERE id = ?", {a}).toLongLong(), verdi);
}

TEST_F(Payments, BadAmountsAndAnEmptyGridAreRefusedBeforeAnythingIsWritten)
{
    const app::Outcome empty = recordPayment(office.ws(), input({}));
    EXPECT_FALSE(empty.done);
    EXPECT_EQ(empty.texts(), QStringList{emptyPaymentText()});
    for (const QString& bad : {"", "abc", "12,50", "1.005", "1e2", "10 euro", "-5", "-0.01"}) {
        const app::Outcome o = recordPayment(office.ws(), input({{"Rata 1", "10", "", ""}, {"Rata \"2\"", bad, "", ""}}));
        EXPECT_FALSE(o.done) << bad.toStdString();
        ASSERT_EQ(o.messages.size(), 1);
        EXPECT_TRUE(o.messages[0].text.contains("Rata \"2\"")) << o.messages[0].text.toStdString();
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Entrate"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE ImportoPagato <> 0 OR idEntrata <> 0"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote WHERE ImportoPagato <> 0 OR Data IS NOT NULL"), 0);

    // Zero is a valid amount: an income row of 0.00 that changes no quota.
    const qint64 zero = pay({{"Rata 1", "0", "", "storno"}});
    EXPECT_EQ(db().scalar("SELECT Importo FROM Entrate WHERE id = ?", {zero}).toDouble(), 0.0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE ImportoPagato <> 0 OR idEntrata <> 0"), 0);

    EXPECT_EQ(paymentTotal({{"a", " 0.10", "", ""}, {"b", "0.2", "", ""}, {"c", ".05", "", ""}}).total,
              store::Money::fromCents(35));
}

TEST_F(Payments, AFailureBetweenTwoQuotasLeavesNothingHalfPaid)
{
    int calls = 0;
    store::setFailpointHandler([&](const char* name) {
        if (QByteArray(name) == "payment.quota" && ++calls == 3)
            throw store::StoreError("disco pieno");
    });
    // Rata 1 fills the first unit and goes on to the second: the third quota fails.
    const app::Outcome o = recordPayment(office.ws(), input({{"Rata 1", "150", "", ""}, {"Rata 2", "60", "", ""}}));
    EXPECT_FALSE(o.done);
    ASSERT_EQ(o.messages.size(), 1);
    EXPECT_EQ(o.messages[0].kind, app::MessageKind::Error);
    EXPECT_TRUE(o.messages[0].text.contains("non è stato registrato")) << o.messages[0].text.toStdString();
    EXPECT_TRUE(o.messages[0].text.contains("disco pieno"));
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Entrate"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE ImportoPagato <> 0 OR idEntrata <> 0"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote WHERE ImportoPagato <> 0 OR Data IS NOT NULL"), 0);

    // The same payment goes through once the store works again.
    store::setFailpointHandler({});
    pay({{"Rata 1", "150", "", ""}, {"Rata 2", "60", "", ""}});
    EXPECT_EQ(paid(q2).webPagato, 50);
}
