#include "allocation/Allocation.h"
#include "support/RefusedWrites.h"
#include "store/Failpoint.h"
#include "store/StoreError.h"
#include "AllocationFixture.h"

using namespace velcaris;
using namespace velcaris::test;
using allocation::AllocationInput;

namespace {

class Allocation : public AllocationOffice {
protected:
    void SetUp() override
    {
        AllocationOffice::SetUp();
        office.addYear(kAlfa, "2014", true);
        rossi = office.addPerson(kAlfa, "Rossi", "Mario");
        verdi = office.addPerson(kAlfa, "Verdi");
        generale = addTable(kAlfa, "Generale");
        first = addUnit(kAlfa, "Int. 1", rossi);
        second = addUnit(kAlfa, "Int. 2", verdi);
        setThousandths(first, generale, 600);
        setThousandths(second, generale, 400);
        // Rossi may read the web site: his unit's quotas are published.
        db().exec("INSERT INTO web.Accesso (id, Persona, \"User\", Password, IdCondominio) VALUES (?, 'Rossi Mario', "
                  "'Rossi', 'x', ?)",
                  {rossi, kAlfa});
    }
    void setThousandths(qint64 unit, qint64 table, double value)
    {
        db().exec("UPDATE Millesimi SET Millesimi = ? WHERE IdLocale = ? AND IdTabella = ?", {value, unit, table});
    }
    AllocationInput input(const QString& amount = "1000", int instalments = 2)
    {
        AllocationInput in;
        in.typeIndex = 1;
        in.amounts = {amount};
        in.instalments = QString::number(instalments);
        for (int i = 1; i <= instalments; ++i)
            in.rows.push_back({QStringLiteral("Rata %1").arg(i), QDate(2014, i % 12 + 1, 1)});
        return in;
    }
    // "IdLocale:NomeQuote:Importo" of every Quote row in IdQuota order.
    QStringList quotas(const QString& table = "main.Quote", const QString& unitColumn = "IdLocale")
    {
        QStringList out;
        const QString key = table.startsWith(QLatin1String("web.")) ? QStringLiteral("Id") : QStringLiteral("IdQuota");
        store::Statement st(db(), QStringLiteral("SELECT %1, NomeQuote, Importo FROM %2 ORDER BY %3").arg(unitColumn, table, key));
        while (st.step())
            out << QStringLiteral("%1:%2:%3").arg(st.value(0).toString(), st.value(1).toString(), cents(st.value(2)));
        return out;
    }
    qint64 rows() { return count("SELECT COUNT(*) FROM main.Quote") + count("SELECT COUNT(*) FROM web.Quote"); }
    static QString cents(const QVariant& amount) { return QString::number(amount.toDouble(), 'f', 2); }
    QString amount(const QString& sql, const QVector<QVariant>& params) { return cents(db().scalar(sql, params)); }

    qint64 rossi = 0, verdi = 0, generale = 0, first = 0, second = 0;
};

} // namespace

TEST_F(Allocation, WritesEveryRowInstalmentMajorAndPublishesThoseWithWebAccess)
{
    const app::Outcome done = allocation::confirmAllocation(office.ws(), input());
    ASSERT_TRUE(done.done) << done.texts().join("\n").toStdString();
    EXPECT_EQ(done.newKey, 4);
    const QString a = QString::number(first), b = QString::number(second);
    EXPECT_EQ(quotas(), (QStringList{a + ":Rata 1:300.00", b + ":Rata 1:200.00", a + ":Rata 2:300.00", b + ":Rata 2:200.00"}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE IdCondominio = ? AND AA = '2014' AND Tipologia = 'Spese ordinarie' "
                    "AND ImportoPagato = 0 AND PagabiliSiNo = 0 AND Note IS NULL",
                    {kAlfa}),
              4);
    EXPECT_EQ(text("SELECT DataScadenza FROM Quote WHERE NomeQuote = 'Rata 2' LIMIT 1"), "2014-03-01");
    EXPECT_EQ(quotas("web.Quote", "idLocale"), (QStringList{a + ":Rata 1:300.00", a + ":Rata 2:300.00"}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote WHERE Condominio = ? AND IdProprietario = ? AND IdInquilino = ? "
                    "AND Locale = 'Int. 1' AND Tipologia = 'Spese ordinarie' AND AA = '2014' AND DataScadenza = '2014-02-01'",
                    {kAlfa, rossi, rossi}),
              1);

    // Access by the tenant alone publishes too.
    db().exec("UPDATE Locali SET idInquilino = ? WHERE Id = ?", {rossi, second});
    db().exec("UPDATE Locali SET idProprietario = ? WHERE Id = ?", {verdi, second});
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), input("10", 1)).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote WHERE idLocale = ? AND IdInquilino = ?", {second, rossi}), 1);
}

TEST_F(Allocation, PreviewTellsTotalsDifferenceAndNamesAlreadyWritten)
{
    addUnit(kAlfa, "Int. 3", verdi);
    db().exec("UPDATE Millesimi SET Millesimi = 1 WHERE IdTabella = ?", {generale});
    AllocationInput in = input("100", 3);
    allocation::AllocationCheck check = allocation::checkAllocation(office.ws(), in);
    ASSERT_TRUE(check.refusal.done);
    const auto& p = check.preview;
    ASSERT_EQ(p.tables.size(), 1);
    EXPECT_DOUBLE_EQ(p.tables[0].amount, 100);
    EXPECT_NEAR(p.tables[0].shares, 100, 1e-9);
    // 100 / 3 units / 3 instalments = 11.11 per row: 9 rows make 99.99.
    EXPECT_EQ(p.instalmentTotals, (QVector<store::Money>(3, store::Money::fromCents(3333))));
    EXPECT_EQ(p.differenceCents, -1);
    EXPECT_EQ(p.rows, 9);
    EXPECT_EQ(p.webRows, 3);
    EXPECT_TRUE(p.existingNames.isEmpty());
    EXPECT_TRUE(allocation::previewLines(p).join("\n").contains("differenza per arrotondamento: -0.01"));

    // Confirming twice writes twice; the second preview says the names are there already.
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), in).done);
    check = allocation::checkAllocation(office.ws(), in);
    EXPECT_EQ(check.preview.existingNames, (QStringList{"Rata 1", "Rata 2", "Rata 3"}));
    EXPECT_TRUE(allocation::previewLines(check.preview).join("\n").contains("esistono già quote"));
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), in).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote"), 18);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote"), 6);
}

TEST_F(Allocation, BadInputIsRefusedBeforeAnythingIsWritten)
{
    struct Case {
        const char* what;
        std::function<void(AllocationInput&)> change;
        QString message;
    };
    const QString notNumber = QStringLiteral("L'importo della tabella \"Generale\" non è un numero");
    const Case cases[] = {
        {"empty instalments", [](AllocationInput& in) { in.instalments = ""; }, allocation::kBadInstalments},
        {"zero instalments", [](AllocationInput& in) { in.instalments = "0"; in.rows.clear(); }, allocation::kBadInstalments},
        {"letters", [](AllocationInput& in) { in.instalments = "a"; }, allocation::kBadInstalments},
        {"negative", [](AllocationInput& in) { in.instalments = "-2"; }, allocation::kBadInstalments},
        {"fraction", [](AllocationInput& in) { in.instalments = "1.5"; }, allocation::kBadInstalments},
        {"amount", [](AllocationInput& in) { in.amounts = {"mille"}; }, notNumber},
        {"decimal comma", [](AllocationInput& in) { in.amounts = {"10,5"}; }, notNumber},
        // A cleared cell is no 0: the table would be left out unseen.
        {"cleared amount", [](AllocationInput& in) { in.amounts = {""}; }, notNumber},
        {"blank amount", [](AllocationInput& in) { in.amounts = {"  "}; }, notNumber},
        {"no amount", [](AllocationInput& in) { in.amounts.clear(); }, notNumber},
        {"equal part", [](AllocationInput& in) { in.equalParts = true; in.equalPart = "x"; },
         "L'importo della singola quota non è un numero"},
        {"empty name", [](AllocationInput& in) { in.rows[1].name = " "; }, allocation::kEmptyQuotaName},
        {"full stop", [](AllocationInput& in) { in.rows[0].name = "Rata 1."; },
         "Il nome della quota non può contenere il punto"},
        {"no unit of the staircase", [](AllocationInput& in) { in.staircases = {"Z"}; },
         "Nessun locale partecipa alla ripartizione"},
    };
    for (const Case& c : cases) {
        AllocationInput in = input();
        c.change(in);
        const app::Outcome outcome = allocation::confirmAllocation(office.ws(), in);
        EXPECT_FALSE(outcome.done) << c.what;
        EXPECT_EQ(outcome.texts(), QStringList{c.message}) << c.what;
    }
    EXPECT_EQ(rows(), 0);

    // A missing participation percentage is named.
    db().exec("UPDATE Locali SET PartecipazioneORD = NULL WHERE Id = ?", {second});
    EXPECT_EQ(allocation::confirmAllocation(office.ws(), input()).texts(),
              QStringList{"La percentuale di partecipazione del locale \"Int. 2\" non è un numero"});
    EXPECT_EQ(rows(), 0);
    // Text in a number column: an older file can hold it, a server cannot.
    if (!test::officeOnServer()) {
        db().exec("UPDATE Locali SET PartecipazioneORD = 'cento' WHERE Id = ?", {second});
        EXPECT_FALSE(allocation::confirmAllocation(office.ws(), input()).done);
        EXPECT_EQ(rows(), 0);
    }
}

TEST_F(Allocation, OddButValidInput)
{
    // Apostrophes in names, 99 instalments, a unit without owner (left out
    // of the allocation and named in the preview), a table with 0 thousandths everywhere.
    const qint64 orphan = addUnit(kAlfa, "Cantina", 0);
    db().exec("UPDATE Locali SET idProprietario = NULL WHERE Id = ?", {orphan});
    const qint64 empty = addTable(kAlfa, "Vuota");
    AllocationInput in = input("500", 99);
    in.amounts = {"500", "300"};
    in.rows[0].name = "Rata dell'anno";
    allocation::AllocationCheck check = allocation::checkAllocation(office.ws(), in);
    ASSERT_TRUE(check.refusal.done);
    EXPECT_EQ(check.preview.leftOut, QStringList{"Cantina"});
    ASSERT_EQ(check.preview.tables.size(), 2);
    EXPECT_EQ(check.preview.tables[1].nome, "Vuota");
    EXPECT_DOUBLE_EQ(check.preview.tables[1].shares, 0);
    EXPECT_EQ(check.preview.unshared, QStringList{"Vuota"});
    EXPECT_EQ(check.preview.expected, store::Money::fromCents(50000)) << "the unshared amount is no rounding difference";
    EXPECT_TRUE(allocation::previewLines(check.preview).join("\n").contains("millesimi nelle tabelle Vuota"));
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), in).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote"), 198);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE IdLocale = ?", {orphan}), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE NomeQuote = ?", {QStringLiteral("Rata dell'anno")}), 2);
    // 300 / 99 = 3.0303 -> 3.03 for the 600 thousandths.
    EXPECT_EQ(amount("SELECT Importo FROM Quote WHERE IdLocale = ? ORDER BY IdQuota LIMIT 1", {first}), "3.03");
    (void)empty;
}

TEST_F(Allocation, ExclusionsStaircasesAndEqualParts)
{
    const qint64 third = addUnit(kAlfa, "Int. 3", verdi);
    setThousandths(third, generale, 500);
    db().exec("UPDATE Locali SET Scala = 'B' WHERE Id = ?", {third});
    db().exec("UPDATE Locali SET Scala = 'A' WHERE Id IN (?, ?)", {first, second});

    AllocationInput in = input("1000", 1);
    in.excluded = {first};
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), in).done);
    const QString a = QString::number(first), b = QString::number(second), c = QString::number(third);
    EXPECT_EQ(quotas(), (QStringList{a + ":Rata 1:0.00", b + ":Rata 1:444.44", c + ":Rata 1:555.56"}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote WHERE Importo = 0"), 1) << "the excluded row is published too";

    db().exec("DELETE FROM Quote");
    in = input("1000", 4);
    in.staircases = {"A"};
    in.equalParts = true;
    in.equalPart = "120";
    db().exec("UPDATE Locali SET PartecipazioneORD = 50 WHERE Id = ?", {second});
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), in).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE IdLocale = ?", {third}), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE IdLocale = ? AND Importo = 30", {first}), 4);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE IdLocale = ? AND Importo = 15", {second}), 4);
}

TEST_F(Allocation, AFailureInTheMiddleLeavesNoRowInEitherDatabase)
{
    int written = 0;
    const auto previous = store::setFailpointHandler([&](const char* name) {
        if (QByteArray(name) == "ripartizione.quota-scritta" && ++written == 3)
            throw store::StoreError("disco pieno", store::StoreFault::DiskFull);
    });
    EXPECT_THROW(allocation::confirmAllocation(office.ws(), input()), store::StoreError);
    store::setFailpointHandler(previous);
    EXPECT_EQ(written, 3);
    EXPECT_EQ(rows(), 0);

    // The engine refusing a web row also undoes the main rows.
    test::refuseWrites(db(), "web.Quote", "INSERT", "disco pieno");
    EXPECT_THROW(allocation::confirmAllocation(office.ws(), input()), store::StoreError);
    EXPECT_EQ(rows(), 0);
    test::allowWrites(db(), "web.Quote");
    EXPECT_TRUE(allocation::confirmAllocation(office.ws(), input()).done);
    EXPECT_EQ(rows(), 6);
}

TEST_F(Allocation, PersonalQuota)
{
    allocation::PersonalQuotaInput in;
    in.unitId = first;
    in.name = "Duplicato chiavi";
    in.amount = "25.5";
    in.due = QDate(2014, 5, 2);
    in.note = "Chiavi del portone";
    const app::Outcome done = allocation::addPersonalQuota(office.ws(), in);
    ASSERT_TRUE(done.done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE IdQuota = ? AND IdLocale = ? AND IdCondominio = ? AND AA = '2014' "
                    "AND NomeQuote = 'Duplicato chiavi' AND ROUND(Importo, 2) = 25.5 AND ImportoPagato = 0 "
                    "AND Tipologia = 'Spese personali' AND PagabiliSiNo = 1 AND Note = 'Chiavi del portone' "
                    "AND DataScadenza = '2014-05-02'",
                    {*done.newKey, first, kAlfa}),
              1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote WHERE idLocale = ? AND Importo = 25.5 AND Nota = 'Chiavi del portone' "
                    "AND Tipologia = 'Spese personali'",
                    {first}),
              1);

    // Verdi has no web access; refusals write nothing.
    in.unitId = second;
    in.amount = "-3.333";
    ASSERT_TRUE(allocation::addPersonalQuota(office.ws(), in).done);
    EXPECT_EQ(amount("SELECT Importo FROM Quote WHERE IdLocale = ?", {second}), "-3.33");
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote"), 1);
    const qint64 before = rows();
    in.name = "";
    EXPECT_EQ(allocation::addPersonalQuota(office.ws(), in).texts(), QStringList{allocation::kEmptyQuotaName});
    in.name = "Chiavi";
    in.amount = "due";
    EXPECT_EQ(allocation::addPersonalQuota(office.ws(), in).texts(), QStringList{"L'importo non è un numero"});
    in.amount = "2";
    in.unitId.reset();
    EXPECT_FALSE(allocation::addPersonalQuota(office.ws(), in).done);
    EXPECT_EQ(rows(), before);
}
