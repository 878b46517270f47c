// Many random buildings, each checked against what the test itself wrote: the riparto shares
// every table to the cent, the conguagli and the summary add up, the register ends where the
// cashbook's balances are, and a closing writes the conguagli and balances, cannot be repeated
// and is undone exactly by reopening.
#include "accounts/Rendiconto.h"
#include "accounts/YearClosing.h"
#include "cashbook/Balances.h"
#include "foundation/Selection.h"

#include "AccountsFixture.h"

#include <QHash>
#include <cmath>
#include <random>

using namespace velcaris;
using store::Money;
using test::kVilla;

namespace {

const QString kOrdinary = QStringLiteral("Spese ordinarie");
const QString kExtraordinary = QStringLiteral("Spese straordinarie");
const QString kCash = QStringLiteral("Cassa");
const QString kBank = QStringLiteral("Conto Corrente");

// What a building holds, as the test wrote it.
struct Model {
    struct Unit {
        qint64 id = 0;
        double ord = 100, str = 100;
        QHash<qint64, double> thousandths; // by table id
        bool web = false;
    };
    QVector<Unit> units;
    QHash<QString, qint64> tableIds;
    QHash<QString, Money> ordinary, extraordinary; // 2014 expenses by table, at gross cost
    Money expenses;           // every 2014 expense at gross cost
    Money charged;            // the 2014 quotas, the carried conguaglio aside
    Money credits;            // not paid on the quotas of 2013 and 2014
    Money debts;              // unpaid expenses of 2013 and 2014, at gross cost
    Money pendingWithholding; // withheld on paid expenses, not paid to the treasury
};

class AccountsProperty : public test::AccountsOffice {
protected:
    std::mt19937 rng;
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool chance(int percent) { return pick(1, 100) <= percent; }
    QDate dayOf(int year) { return QDate(year, pick(1, 12), pick(1, 28)); }

    void wipe()
    {
        for (const char* t : {"Quote", "Entrate", "Uscite", "Preventivi", "Locali", "Millesimi", "Tabelle", "Anagrafe",
                              "Fornitori", "AnnoAmministrativo", "ChiusureEsercizio", "ChiusureRighe", "PagamentiQuote",
                              "web.Quote", "web.Accesso"})
            db().exec(QStringLiteral("DELETE FROM %1").arg(QString::fromLatin1(t)));
    }

    void expense(Model& m, const QString& yearName, const QStringList& tables, const QVector<qint64>& suppliers)
    {
        Expense e;
        e.year = yearName;
        e.table = tables[pick(0, int(tables.size()) - 1)];
        e.item = chance(80) ? QStringLiteral("Voce %1").arg(pick(1, 3)) : QStringLiteral("Voce fuori preventivo");
        e.type = chance(25) ? kExtraordinary : kOrdinary;
        e.supplier = suppliers[pick(0, int(suppliers.size()) - 1)];
        e.invoice = pick(100, 300000);
        e.commission = chance(30) ? pick(1, 300) : 0;
        e.withholding = chance(25) ? pick(1, int(e.invoice / 5) + 1) : 0;
        e.interest = e.withholding > 0 && chance(30) ? pick(1, 500) : 0;
        e.paid = chance(80);
        e.payment = chance(40) ? kCash : kBank;
        e.withholdingMethod = chance(40) ? kCash : kBank;
        e.day = dayOf(yearName.toInt());
        e.withholdingPaid = e.withholding > 0 && chance(60) ? e.day.addDays(pick(1, 40)) : QDate();
        addExpense(e);
        const Money gross = Money::fromCents(e.invoice + e.commission + e.interest);
        if (yearName == QStringLiteral("2014")) {
            m.expenses += gross;
            (e.type == kExtraordinary ? m.extraordinary : m.ordinary)[e.table] += gross;
        }
        if (!e.paid)
            m.debts += gross;
        else if (e.withholding > 0 && !e.withholdingPaid.isValid())
            m.pendingWithholding += Money::fromCents(e.withholding);
    }

    void quota(Model& m, const QString& yearName, qint64 unit, const QString& name, const QString& type, qint64 cents,
               bool charged)
    {
        const qint64 paid = cents <= 0 ? 0 : chance(40) ? cents : chance(50) ? pick(0, int(cents)) : 0;
        office.addQuota(kVilla, yearName, unit, name, type, euros(cents), QDate(yearName.toInt(), 6, 30), euros(paid));
        m.credits += Money::fromCents(cents - paid);
        if (charged)
            m.charged += Money::fromCents(cents);
    }

    Model build()
    {
        Model m;
        office.addYear(kVilla, "2013", false);
        office.addYear(kVilla, "2014", true);
        office.addYear(kVilla, "2015", false);
        QVector<qint64> suppliers;
        for (int i = 0; i < 3; ++i) {
            db().exec("INSERT INTO Fornitori (Cognome) VALUES (?)", {QStringLiteral("Fornitore %1").arg(i)});
            suppliers << db().lastInsertId();
        }
        QStringList tables;
        const int tableCount = pick(1, 4);
        for (int k = 0; k < tableCount; ++k) {
            const QString name = QStringLiteral("Tabella %1").arg(k + 1);
            tables << name;
            m.tableIds.insert(name, addTable(name));
            const int items = pick(1, 3);
            for (int item = 1; item <= items; ++item)
                addBudget("2014", name, QStringLiteral("Voce %1").arg(item), pick(0, 500000));
        }
        // The first unit has thousandths and full participation everywhere, so every table can share.
        static const double percents[] = {0, 25, 50, 100, 100, 100};
        const int unitCount = pick(2, 12);
        for (int u = 0; u < unitCount; ++u) {
            Model::Unit unit;
            unit.ord = u == 0 ? 100 : percents[pick(0, 5)];
            unit.str = u == 0 ? 100 : percents[pick(0, 5)];
            unit.web = chance(40);
            const qint64 owner = addPerson(QStringLiteral("Proprietario %1").arg(u), unit.web);
            const qint64 tenant = chance(50) ? addPerson(QStringLiteral("Inquilino %1").arg(u)) : 0;
            unit.id = addUnit(QStringLiteral("Interno %1").arg(u + 1), owner, tenant, unit.ord, unit.str);
            for (const QString& t : tables) {
                const double th = (u == 0 ? pick(1, 400000) : chance(25) ? 0 : pick(0, 400000)) / 1000.0;
                unit.thousandths.insert(m.tableIds[t], th);
                setThousandths(unit.id, m.tableIds[t], th);
            }
            m.units << unit;
        }

        for (int i = pick(0, 15); i > 0; --i)
            expense(m, "2014", tables, suppliers);
        for (int i = pick(0, 3); i > 0; --i)
            expense(m, "2013", tables, suppliers);

        addIncome("2014", "Importo iniziale", pick(0, 100000), kCash, QDate(2014, 1, 1));
        addIncome("2014", "Importo iniziale", pick(-50000, 500000), kBank, QDate(2014, 1, 1));
        for (int i = pick(0, 10); i > 0; --i)
            addIncome("2014", "Entrata", pick(1000, 100000), chance(30) ? kCash : kBank, dayOf(2014));
        for (int i = pick(0, 2); i > 0; --i) {
            const qint64 amount = pick(100, 20000);
            const QDate day = dayOf(2014);
            addIncome("2014", "Passaggio su C.C.", -amount, kCash, day);
            addIncome("2014", "Passaggio su C.C.", amount, kBank, day);
        }
        addIncome("2013", "Entrata", pick(1000, 100000), kCash, dayOf(2013));

        for (const Model::Unit& u : m.units) {
            const int instalments = pick(1, 4);
            for (int i = 1; i <= instalments; ++i) {
                const int kind = pick(0, 9);
                const QString type = kind < 6 ? kOrdinary : kind < 9 ? kExtraordinary : QStringLiteral("Spese personali");
                quota(m, "2014", u.id, QStringLiteral("Rata %1").arg(i), type, pick(0, 200000), true);
            }
            if (chance(40))
                quota(m, "2014", u.id, "Conguaglio 2013", kOrdinary, pick(-30000, 30000), false);
            if (chance(50))
                quota(m, "2013", u.id, "Rata 1", kOrdinary, pick(0, 100000), false);
        }
        return m;
    }
};

} // namespace

TEST_F(AccountsProperty, RandomBuildingsAddUpCloseAndReopen)
{
    for (int building = 0; building < 200; ++building) {
        SCOPED_TRACE(building);
        rng.seed(20140101u + unsigned(building));
        // One transaction per building: a commit per row would make the loop wait on the disk.
        store::Transaction writing(db());
        wipe();
        const Model m = build();
        writing.commit();
        const accounts::AccountingYear y = year("2014");
        const accounts::Rendiconto r = accounts::computeRendiconto(db(), y);

        // The consuntivo counts every expense of the year at its gross cost.
        ASSERT_EQ(r.consuntivo.total.actual, m.expenses);

        // Every table shares its expenses exactly, each unit within a cent of its exact share.
        ASSERT_TRUE(r.riparto.undivided.isZero()) << r.riparto.notes.join(u'\n').toStdString();
        for (const accounts::RipartoTable& t : r.riparto.tables) {
            SCOPED_TRACE(t.table.toStdString());
            EXPECT_EQ(t.ordinary, m.ordinary.value(t.table));
            EXPECT_EQ(t.extraordinary, m.extraordinary.value(t.table));
            ASSERT_EQ(t.units.size(), m.units.size());
            Money sum;
            for (const accounts::RipartoUnit& u : t.units)
                sum += u.total();
            EXPECT_EQ(sum, t.total());
            for (bool extraordinary : {false, true}) {
                const Money amount = extraordinary ? t.extraordinary : t.ordinary;
                double total = 0;
                for (const Model::Unit& u : m.units)
                    total += u.thousandths.value(t.tableId) * (extraordinary ? u.str : u.ord) / 100.0;
                for (int i = 0; i < m.units.size(); ++i) {
                    const Model::Unit& u = m.units[i];
                    EXPECT_EQ(t.units[i].unitId, u.id);
                    const double exact = u.thousandths.value(t.tableId) * (extraordinary ? u.str : u.ord) / 100.0 *
                                         double(amount.cents()) / total;
                    const Money share = extraordinary ? t.units[i].extraordinary : t.units[i].ordinary;
                    EXPECT_LT(std::abs(double(share.cents()) - exact), 1.0 + 1e-6) << "unit " << i;
                }
            }
        }

        // The units' situation adds up to what was spent and charged.
        Money conguagli;
        for (const accounts::UnitStatementLine& line : r.units.lines)
            conguagli += line.conguaglio();
        EXPECT_EQ(r.units.share, m.expenses);
        EXPECT_EQ(r.units.charged, m.charged);
        EXPECT_EQ(conguagli, m.expenses - m.charged);
        EXPECT_EQ(r.units.conguaglio, conguagli);

        // The register ends where the cashbook's balances of the year are, and so does the summary.
        app::chooseCondominium(office.ws(), kVilla);
        const cashbook::Balances balances = cashbook::RicalcolaSaldi(office.ws());
        EXPECT_EQ(r.movements.closingCash(), Money::parse(balances.textTOTC()).value());
        EXPECT_EQ(r.movements.closingBank(), Money::parse(balances.textTOTCC()).value());
        EXPECT_EQ(r.summary.closing.cash, r.movements.closingCash());
        EXPECT_EQ(r.summary.closing.bank, r.movements.closingBank());
        for (int i = 1; i < r.movements.lines.size(); ++i)
            EXPECT_FALSE(r.movements.lines[i].date < r.movements.lines[i - 1].date);
        if (!r.movements.lines.isEmpty()) {
            EXPECT_EQ(r.movements.lines.back().cashBalance, r.movements.closingCash());
            EXPECT_EQ(r.movements.lines.back().bankBalance, r.movements.closingBank());
        }
        EXPECT_EQ(r.summary.creditsTotal, m.credits);
        EXPECT_EQ(r.summary.debtsTotal, m.debts);
        EXPECT_EQ(r.summary.withholdingsTotal, m.pendingWithholding);
        EXPECT_EQ(r.summary.result(), m.charged - m.expenses);

        // The closing writes each conguaglio, its web copy, and the balances as the next year's opening.
        const QStringList before = dump();
        const app::Outcome closed = accounts::closeYear(office.ws(), {kVilla, "2014", QDate(2015, 3, 31)});
        ASSERT_TRUE(closed.done) << closed.texts().join(u'\n').toStdString();
        QHash<qint64, Money> written, published;
        {
            store::Statement st(db(), "SELECT IdLocale, Importo, Tipologia, DataScadenza FROM Quote WHERE IdCondominio = ? "
                                      "AND AA = '2015' AND NomeQuote = 'Conguaglio 2014'");
            st.bind(1, kVilla);
            while (st.step()) {
                EXPECT_FALSE(written.contains(st.value(0).toLongLong()));
                written.insert(st.value(0).toLongLong(), Money::fromDouble(st.value(1).toDouble()));
                EXPECT_EQ(st.value(2).toString(), kOrdinary);
                EXPECT_EQ(st.value(3).toString(), "2015-03-31");
            }
            store::Statement web(db(), "SELECT idLocale, Importo FROM web.Quote WHERE Condominio = ? AND AA = '2015' "
                                       "AND NomeQuote = 'Conguaglio 2014'");
            web.bind(1, kVilla);
            while (web.step())
                published.insert(web.value(0).toLongLong(), Money::fromDouble(web.value(1).toDouble()));
        }
        int nonZero = 0;
        for (int i = 0; i < r.units.lines.size(); ++i) {
            const accounts::UnitStatementLine& line = r.units.lines[i];
            if (line.conguaglio().isZero()) {
                EXPECT_FALSE(written.contains(line.unitId));
                continue;
            }
            ++nonZero;
            EXPECT_EQ(written.value(line.unitId), line.conguaglio());
            EXPECT_EQ(published.contains(line.unitId), m.units[i].web);
            if (m.units[i].web)
                EXPECT_EQ(published.value(line.unitId), line.conguaglio());
        }
        EXPECT_EQ(written.size(), nonZero);
        const accounts::Register next = accounts::computeRegister(db(), year("2015"));
        EXPECT_EQ(next.closingCash(), r.movements.closingCash());
        EXPECT_EQ(next.closingBank(), r.movements.closingBank());

        // Closing twice is refused and writes nothing.
        const QStringList closedRows = dump();
        const app::Outcome again = accounts::closeYear(office.ws(), {kVilla, "2014", QDate(2015, 3, 31)});
        EXPECT_FALSE(again.done);
        EXPECT_FALSE(again.messages.isEmpty());
        EXPECT_EQ(dump(), closedRows);

        // A conguaglio that received a payment keeps the year closed.
        if (nonZero > 0 && building % 5 == 0) {
            const qint64 paid = db().scalar("SELECT IdQuota FROM Quote WHERE AA = '2015' ORDER BY IdQuota").toLongLong();
            db().exec("UPDATE Quote SET ImportoPagato = 1 WHERE IdQuota = ?", {paid});
            EXPECT_FALSE(accounts::reopenYear(office.ws(), {kVilla, "2014"}).done);
            db().exec("UPDATE Quote SET ImportoPagato = 0 WHERE IdQuota = ?", {paid});
            EXPECT_EQ(dump(), closedRows);
        }

        // Reopening removes exactly what the closing wrote.
        const app::Outcome reopened = accounts::reopenYear(office.ws(), {kVilla, "2014"});
        ASSERT_TRUE(reopened.done) << reopened.texts().join(u'\n').toStdString();
        EXPECT_EQ(dump(), before);
    }
}
