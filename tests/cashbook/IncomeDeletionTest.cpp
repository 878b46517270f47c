#include "foundation/Selection.h"
#include "cashbook/IncomeDeletion.h"
#include "cashbook/OpeningsAndTransfers.h"
#include "store/Failpoint.h"
#include "store/StoreError.h"
#include "support/Office.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <gtest/gtest.h>

using namespace velcaris;
using velcaris::test::Office;

namespace {

const QString alfa = QStringLiteral("Alfa - Via dell'Orto 1");

double value(Office& office, const QString& sql, const QVector<QVariant>& params = {})
{
    return office.db().scalar(sql, params).toDouble();
}

// A person who owns two units, each with Rata 1 of 100.00, published on the web.
struct Payer {
    Office office;
    qint64 person = 0, unitA = 0, unitB = 0, quotaA = 0, quotaB = 0;

    Payer()
    {
        office.addCondominium(alfa);
        office.addYear(alfa, "2014", true);
        person = office.addPerson(alfa, "D'Angelo", "Anna");
        unitA = office.addUnit(alfa, "Interno 1", person);
        unitB = office.addUnit(alfa, "Interno 2", person);
        quotaA = office.addQuota(alfa, "2014", unitA, "Rata 1", "Ordinaria", 100, QDate(2014, 3, 1));
        quotaB = office.addQuota(alfa, "2014", unitB, "Rata 1", "Ordinaria", 100, QDate(2014, 3, 1));
        for (qint64 unit : {unitA, unitB})
            office.db().exec("INSERT INTO web.Quote (Condominio, idLocale, NomeQuote, AA, Importo, ImportoPagato, Data) "
                             "VALUES (?,?,'Rata 1','2014',100,0,NULL)",
                             {alfa, unit});
        app::chooseCondominium(office.ws(), alfa);
    }

    // An income row of a payment, with the quotas and web copies it paid set by the caller.
    qint64 payment(double amount, int receipt)
    {
        office.db().exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, IdPersona, Nome, Importo, MetodoPagamento, Ricevuta) "
                         "VALUES (?, '2014', '2014-03-02', 'Entrata', ?, 'Rata 1', ?, 'Cassa', ?)",
                         {alfa, person, amount, receipt});
        return office.db().lastInsertId();
    }

    void setPaid(qint64 unit, double paid, qint64 income)
    {
        office.db().exec("UPDATE Quote SET ImportoPagato = ?, idEntrata = ? WHERE IdLocale = ?", {paid, income, unit});
        office.db().exec("UPDATE web.Quote SET ImportoPagato = ?, Data = '2014-03-02' WHERE idLocale = ?", {paid, unit});
    }

    double paid(qint64 unit) { return value(office, "SELECT ImportoPagato FROM Quote WHERE IdLocale = ?", {unit}); }
    double webPaid(qint64 unit) { return value(office, "SELECT ImportoPagato FROM web.Quote WHERE idLocale = ?", {unit}); }
    QVariant webDate(qint64 unit) { return office.db().scalar("SELECT Data FROM web.Quote WHERE idLocale = ?", {unit}); }

    QString receipt(const QString& tail)
    {
        return office.ws().paths().outputFolder() + alfa + "/Ricevute/Ricevuta n." + tail;
    }
    void writeReceipt(const QString& tail)
    {
        QDir().mkpath(office.ws().paths().outputFolder() + alfa + "/Ricevute");
        QFile f(receipt(tail));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1 ricevuta}");
    }
};

} // namespace

TEST(PaymentReversal, APartOfAnOverpaidQuotaComesBackAndTheWebDateStays)
{
    Payer p;
    p.office.db().exec("UPDATE Quote SET Importo = 150 WHERE IdLocale = ?", {p.unitA});
    const qint64 earlier = p.payment(50, 1);
    const qint64 later = p.payment(100, 2);
    p.setPaid(p.unitA, 150, later);
    const auto outcome = cashbook::deleteIncome(p.office.ws(), later);
    ASSERT_TRUE(outcome.done) << outcome.texts().join('|').toStdString();
    EXPECT_DOUBLE_EQ(p.paid(p.unitA), 50.0);
    EXPECT_DOUBLE_EQ(p.webPaid(p.unitA), 50.0);
    EXPECT_EQ(p.webDate(p.unitA).toString(), "2014-03-02");
    EXPECT_EQ(value(p.office, "SELECT COUNT(*) FROM Entrate WHERE id = ?", {later}), 0);
    EXPECT_EQ(value(p.office, "SELECT COUNT(*) FROM Entrate WHERE id = ?", {earlier}), 1);
    // Nothing points at the deleted row any more.
    EXPECT_EQ(value(p.office, "SELECT COUNT(*) FROM Quote WHERE idEntrata = ?", {later}), 0);
}

TEST(PaymentReversal, APaymentSpreadOverTwoUnitsEmptiesBothAndTheirWebDates)
{
    Payer p;
    const qint64 income = p.payment(100, 1);
    p.setPaid(p.unitA, 60, income);
    p.setPaid(p.unitB, 40, income);
    ASSERT_TRUE(cashbook::deleteIncome(p.office.ws(), income).done);
    for (qint64 unit : {p.unitA, p.unitB}) {
        EXPECT_DOUBLE_EQ(p.paid(unit), 0.0);
        EXPECT_DOUBLE_EQ(p.webPaid(unit), 0.0);
        EXPECT_TRUE(p.webDate(unit).isNull());
    }
}

TEST(PaymentReversal, ASharedReceiptWarnsAndTheLastOneIsRenamedWithItsPdf)
{
    Payer p;
    p.writeReceipt("7 - A.A.2014.rtf");
    QFile pdf(p.receipt("7 - A.A.2014.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.close();
    const qint64 one = p.payment(10, 7), two = p.payment(10, 7), three = p.payment(10, 7);
    p.setPaid(p.unitA, 30, three);

    auto outcome = cashbook::deleteIncome(p.office.ws(), one);
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(outcome.texts(), QStringList{"ATTENZIONE: La quota che si sta andando a cancellare fa parte di un pagamento multiplo. "
                                           "Modificare manualemente la ricevuta n. 7 dell'A.A. 2014"});
    EXPECT_TRUE(QFileInfo::exists(p.receipt("7 - A.A.2014.rtf")));
    ASSERT_TRUE(cashbook::deleteIncome(p.office.ws(), two).done);
    outcome = cashbook::deleteIncome(p.office.ws(), three);
    ASSERT_TRUE(outcome.done);
    EXPECT_TRUE(outcome.messages.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(p.receipt("7 - A.A.2014.rtf")));
    EXPECT_TRUE(QFileInfo::exists(p.receipt("7 - A.A.2014 ANNULLATA.rtf")));
    EXPECT_TRUE(QFileInfo::exists(p.receipt("7 - A.A.2014 ANNULLATA.pdf")));
    EXPECT_DOUBLE_EQ(p.paid(p.unitA), 0.0);
}

TEST(PaymentReversal, AMissingReceiptFileIsNoObstacle)
{
    Payer p;
    const qint64 income = p.payment(100, 3);
    p.setPaid(p.unitA, 100, income);
    const auto outcome = cashbook::deleteIncome(p.office.ws(), income);
    ASSERT_TRUE(outcome.done);
    EXPECT_TRUE(outcome.messages.isEmpty());
    EXPECT_DOUBLE_EQ(p.paid(p.unitA), 0.0);
}

TEST(PaymentReversal, AFailureBetweenTwoQuotasLeavesThePaymentWhole)
{
    Payer p;
    p.writeReceipt("4 - A.A.2014.rtf");
    const qint64 income = p.payment(100, 4);
    p.setPaid(p.unitA, 60, income);
    p.setPaid(p.unitB, 40, income);
    store::setFailpointHandler([](const char* name) {
        if (std::strcmp(name, "entrata.annullamento.tra-due-quote") == 0)
            throw store::StoreError(QStringLiteral("disco pieno"));
    });
    EXPECT_THROW(cashbook::deleteIncome(p.office.ws(), income), store::StoreError);
    store::setFailpointHandler({});
    EXPECT_EQ(value(p.office, "SELECT COUNT(*) FROM Entrate WHERE id = ?", {income}), 1);
    EXPECT_DOUBLE_EQ(p.paid(p.unitA), 60.0);
    EXPECT_DOUBLE_EQ(p.webPaid(p.unitA), 60.0);
    EXPECT_DOUBLE_EQ(p.paid(p.unitB), 40.0);
    EXPECT_EQ(value(p.office, "SELECT COUNT(*) FROM Quote WHERE idEntrata = ?", {income}), 2);
    EXPECT_TRUE(QFileInfo::exists(p.receipt("4 - A.A.2014.rtf")));
}

TEST(TransferDeletion, TheOtherHalfGoesOnlyWhenItReallyIsTheOtherHalf)
{
    Payer p;
    const qint64 cash = p.office.addIncome(alfa, "2014", -500, "Cassa", "Passaggio su C.C.");
    const qint64 bank = p.office.addIncome(alfa, "2014", 500, "Conto Corrente", "Passaggio su C.C.");
    EXPECT_EQ(cashbook::transferPartner(p.office.db(), bank), cash);
    EXPECT_EQ(cashbook::transferPartner(p.office.db(), cash), bank);
    ASSERT_TRUE(cashbook::deleteIncome(p.office.ws(), bank).done);
    EXPECT_EQ(value(p.office, "SELECT COUNT(*) FROM Entrate"), 0);

    // A lonely half (its partner deleted long ago, an opening amount at the next key) stays.
    const qint64 lonely = p.office.addIncome(alfa, "2014", 200, "Cassa", "Passaggio su Cassa");
    p.office.addIncome(alfa, "2014", -200, "Conto Corrente", "Importo iniziale");
    const auto outcome = cashbook::deleteIncome(p.office.ws(), lonely);
    ASSERT_FALSE(outcome.done);
    EXPECT_EQ(outcome.texts(), QStringList{cashbook::kTransferPartnerMissing});
    EXPECT_EQ(value(p.office, "SELECT COUNT(*) FROM Entrate"), 2);
}

TEST(OpeningDeletion, AnOpeningAmountGoesAloneAndTouchesNoQuota)
{
    Payer p;
    const qint64 income = p.payment(100, 1);
    p.setPaid(p.unitA, 100, income);
    const qint64 opening = p.office.addIncome(alfa, "2014", 300, "Cassa", "Importo iniziale");
    ASSERT_TRUE(cashbook::deleteIncome(p.office.ws(), opening).done);
    EXPECT_EQ(value(p.office, "SELECT COUNT(*) FROM Entrate"), 1);
    EXPECT_DOUBLE_EQ(p.paid(p.unitA), 100.0);
}

// ---- a payment recorded by the program, then deleted ----

#include "cashbook/Payments.h"

namespace {

qint64 pay(Payer& p, int receipt, const QString& amount)
{
    cashbook::PaymentInput in;
    in.condominium = alfa;
    in.receiptNumber = receipt;
    in.date = QDate(2014, 4, 1);
    in.method = "Cassa";
    in.ownerPays = true;
    in.payerId = p.person;
    in.rows = {{"Rata 1", amount, "Ordinaria", QString()}};
    const auto outcome = cashbook::recordPayment(p.office.ws(), in);
    EXPECT_TRUE(outcome.done) << outcome.texts().join('|').toStdString();
    return p.office.db().scalar("SELECT MAX(id) FROM Entrate").toLongLong();
}

} // namespace

TEST(PaymentReversal, ADeletedPaymentLeavesTheQuotasExactlyAsTheyWereBeforeIt)
{
    Payer p;
    // The first pays A in full; the second puts 50 on B (A, already paid, takes nothing).
    pay(p, 1, "100");
    const double webA = p.webPaid(p.unitA);
    const qint64 second = pay(p, 2, "50");
    ASSERT_DOUBLE_EQ(p.paid(p.unitB), 50.0);
    ASSERT_TRUE(cashbook::deleteIncome(p.office.ws(), second).done);
    EXPECT_DOUBLE_EQ(p.paid(p.unitA), 100.0);
    EXPECT_DOUBLE_EQ(p.webPaid(p.unitA), webA);
    EXPECT_FALSE(p.webDate(p.unitA).isNull());
    EXPECT_DOUBLE_EQ(p.paid(p.unitB), 0.0);
    EXPECT_DOUBLE_EQ(p.webPaid(p.unitB), 0.0);
    EXPECT_TRUE(p.webDate(p.unitB).isNull());
    EXPECT_EQ(value(p.office, "SELECT COUNT(*) FROM PagamentiQuote"), 1);
}

TEST(PaymentReversal, AnOverpaymentAndASplitPaymentComeBackToTheCent)
{
    Payer p;
    // 70 on A, then 180: 30 fills A, 100 fills B, 50 more lands on B as an overpayment.
    const qint64 first = pay(p, 1, "70");
    const qint64 second = pay(p, 2, "180");
    ASSERT_DOUBLE_EQ(p.paid(p.unitA), 100.0);
    ASSERT_DOUBLE_EQ(p.paid(p.unitB), 150.0);
    ASSERT_TRUE(cashbook::deleteIncome(p.office.ws(), second).done);
    EXPECT_DOUBLE_EQ(p.paid(p.unitA), 70.0);
    EXPECT_DOUBLE_EQ(p.webPaid(p.unitA), 70.0);
    EXPECT_DOUBLE_EQ(p.paid(p.unitB), 0.0);
    EXPECT_DOUBLE_EQ(p.webPaid(p.unitB), 0.0);
    ASSERT_TRUE(cashbook::deleteIncome(p.office.ws(), first).done);
    EXPECT_DOUBLE_EQ(p.paid(p.unitA), 0.0);
    EXPECT_TRUE(p.webDate(p.unitA).isNull());
    EXPECT_EQ(value(p.office, "SELECT COUNT(*) FROM PagamentiQuote"), 0);
}

TEST(PaymentReversal, AReceiptThatCannotBeRenamedIsToldOnceWithItsPdf)
{
    Payer p;
    // Cancelled documents of the same number are in the way (a number given again before the
    // numbers given were recorded).
    for (const char* tail : {"5 - A.A.2014.rtf", "5 - A.A.2014.pdf", "5 - A.A.2014 ANNULLATA.rtf", "5 - A.A.2014 ANNULLATA.pdf"})
        p.writeReceipt(tail);
    const qint64 income = pay(p, 5, "100");
    const auto outcome = cashbook::deleteIncome(p.office.ws(), income);
    ASSERT_TRUE(outcome.done);
    ASSERT_EQ(outcome.messages.size(), 1);
    const QString text = outcome.messages.first().text;
    EXPECT_TRUE(text.contains("non sono state rinominate")) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(p.receipt("5 - A.A.2014.rtf"))));
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(p.receipt("5 - A.A.2014.pdf"))));
    EXPECT_TRUE(QFileInfo::exists(p.receipt("5 - A.A.2014.rtf")));
    EXPECT_DOUBLE_EQ(p.paid(p.unitA), 0.0);

    // The RTF alone in the way: its message names it alone.
    Payer q;
    for (const char* tail : {"6 - A.A.2014.rtf", "6 - A.A.2014 ANNULLATA.rtf"})
        q.writeReceipt(tail);
    const auto single = cashbook::deleteIncome(q.office.ws(), pay(q, 6, "100"));
    ASSERT_EQ(single.messages.size(), 1);
    EXPECT_TRUE(single.messages.first().text.contains("non è stata rinominata"));
}
