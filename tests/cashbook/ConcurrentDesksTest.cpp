// Two desks of an office shared on a server record payments at the same moment on the same
// condominium, over the same quotas: every receipt number is given once and none is skipped, and
// every cent reaches its quota, whichever desk lost a collision and ran its payment again.
#include "cashbook/Payments.h"
#include "cashbook/ReceiptNumbers.h"
#include "support/Office.h"

#include <QHash>
#include <algorithm>
#include <gtest/gtest.h>
#include <thread>

using namespace velcaris;

namespace {

const QString kAlfa = QStringLiteral("Alfa - Via Roma 1");
constexpr int kUnits = 10;
constexpr int kQuotas = 4;
constexpr int kPaymentsPerDesk = 100;

struct Desk {
    QVector<int> receipts;
    QHash<QString, double> paid; // "unit|quota" -> what this desk paid on it
    QString error;
};

// One desk: its own connection to the office, 100 payments of 5 euro, each on the quota the
// other desk pays at the same step.
void work(const QString& folder, const QVector<qint64>& owners, Desk& desk)
{
    app::Workspace ws{app::AppPaths(folder)};
    if (const QString failed = ws.startUp(); !failed.isEmpty()) {
        desk.error = failed;
        return;
    }
    for (int k = 0; k < kPaymentsPerDesk; ++k) {
        const int unit = k % kUnits;
        const QString quota = QStringLiteral("Rata %1").arg(k / kUnits % kQuotas + 1);
        cashbook::PaymentInput in;
        in.condominium = kAlfa;
        in.receiptNumber = cashbook::nextReceiptNumber(ws, kAlfa);
        in.date = QDate(2024, 5, 20);
        in.method = QStringLiteral("Cassa");
        in.ownerPays = true;
        in.payerId = owners[unit];
        in.rows = {{quota, QStringLiteral("5.00"), QStringLiteral("Spese ordinarie"), QString()}};
        int used = 0;
        const app::Outcome done = cashbook::recordPayment(ws, in, &used);
        if (!done.done) {
            desk.error = done.texts().join(' ');
            return;
        }
        desk.receipts << used;
        desk.paid[QStringLiteral("%1|%2").arg(unit).arg(quota)] += 5;
    }
}

} // namespace

TEST(ConcurrentDesks, TwoHundredPaymentsAtOnceGiveEveryReceiptOnceAndEveryCentToItsQuota)
{
    if (!test::officeOnServer())
        GTEST_SKIP() << "due postazioni insieme: solo con l'ufficio su un server";
    test::Office office;
    office.addCondominium(kAlfa);
    office.addYear(kAlfa, "2024", true);
    QVector<qint64> owners, units;
    QHash<QString, qint64> quotaIds;
    for (int u = 0; u < kUnits; ++u) {
        owners << office.addPerson(kAlfa, QStringLiteral("Proprietario %1").arg(u));
        units << office.addUnit(kAlfa, QStringLiteral("Int. %1").arg(u), owners.last());
        for (int q = 1; q <= kQuotas; ++q)
            quotaIds[QStringLiteral("%1|Rata %2").arg(u).arg(q)] =
                office.addQuota(kAlfa, "2024", units.last(), QStringLiteral("Rata %1").arg(q),
                                QStringLiteral("Spese ordinarie"), 100, QDate(2024, q * 3, 1));
    }

    Desk first, second;
    std::thread a(work, office.folder(), owners, std::ref(first));
    std::thread b(work, office.folder(), owners, std::ref(second));
    a.join();
    b.join();
    ASSERT_TRUE(first.error.isEmpty()) << first.error.toStdString();
    ASSERT_TRUE(second.error.isEmpty()) << second.error.toStdString();

    // Each desk's numbers rise; together they are 1..200, each once.
    EXPECT_TRUE(std::is_sorted(first.receipts.begin(), first.receipts.end()));
    EXPECT_TRUE(std::is_sorted(second.receipts.begin(), second.receipts.end()));
    QVector<int> all = first.receipts + second.receipts;
    std::sort(all.begin(), all.end());
    QVector<int> expected(2 * kPaymentsPerDesk);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(all, expected);
    store::Database& db = office.db();
    EXPECT_EQ(db.scalar("SELECT COUNT(DISTINCT Ricevuta) FROM Entrate WHERE Condominio = ?", {kAlfa}).toInt(),
              2 * kPaymentsPerDesk);
    EXPECT_EQ(db.scalar("SELECT Ultimo FROM NumeriRicevute WHERE Condominio = ? AND AA = '2024'", {kAlfa}).toInt(),
              2 * kPaymentsPerDesk);

    // No update lost: every quota holds what both desks paid on it, as its payments say.
    for (auto it = quotaIds.cbegin(); it != quotaIds.cend(); ++it) {
        const double paid = first.paid.value(it.key()) + second.paid.value(it.key());
        EXPECT_DOUBLE_EQ(db.scalar("SELECT ImportoPagato FROM Quote WHERE IdQuota = ?", {it.value()}).toDouble(), paid)
            << it.key().toStdString();
        EXPECT_DOUBLE_EQ(
            db.scalar("SELECT COALESCE(SUM(Importo), 0) FROM PagamentiQuote WHERE IdQuota = ?", {it.value()}).toDouble(),
            paid)
            << it.key().toStdString();
    }
    EXPECT_DOUBLE_EQ(db.scalar("SELECT SUM(Importo) FROM Entrate WHERE Condominio = ?", {kAlfa}).toDouble(),
                     2 * kPaymentsPerDesk * 5.0);
}
