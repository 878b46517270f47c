#include "allocation/Allocation.h"
#include "allocation/QuotaBreakdown.h"
#include "store/Money.h"
#include "AllocationFixture.h"

using namespace velcaris;
using namespace velcaris::test;
using allocation::AllocationInput;

namespace {

// Two units 600/400 on "Generale" and, on "Scale", 60 of 480 for the first; the first has a 50 %
// ordinary participation when a test asks for it.
class Breakdown : public AllocationOffice {
protected:
    void SetUp() override
    {
        AllocationOffice::SetUp();
        office.addYear(kAlfa, "2014", true);
        const qint64 rossi = office.addPerson(kAlfa, "Rossi", "Mario");
        const qint64 verdi = office.addPerson(kAlfa, "Verdi");
        generale = addTable(kAlfa, "Generale");
        scale = addTable(kAlfa, "Scale");
        first = addUnit(kAlfa, "Int. 1", rossi);
        second = addUnit(kAlfa, "Int. 2", verdi);
        set(first, generale, 600);
        set(second, generale, 400);
        set(first, scale, 60);
        set(second, scale, 420);
        db().exec("UPDATE Locali SET Scala = 'A' WHERE Id = ?", {first});
        db().exec("UPDATE Locali SET Scala = 'B' WHERE Id = ?", {second});
    }
    void set(qint64 unit, qint64 table, double value)
    {
        db().exec("UPDATE Millesimi SET Millesimi = ? WHERE IdLocale = ? AND IdTabella = ?", {value, unit, table});
    }
    AllocationInput input(const QString& general, const QString& stairs, int instalments)
    {
        AllocationInput in;
        in.typeIndex = 1;
        in.amounts = {general, stairs}; // the tables in name order: Generale, Scale
        in.instalments = QString::number(instalments);
        for (int i = 1; i <= instalments; ++i)
            in.rows.push_back({QStringLiteral("Rata %1").arg(i), QDate(2014, i + 1, 1)});
        return in;
    }
    qint64 quotaOf(qint64 unit, const QString& name = "Rata 1")
    {
        return count("SELECT IdQuota FROM Quote WHERE IdLocale = ? AND NomeQuote = ? ORDER BY IdQuota DESC LIMIT 1", {unit, name});
    }
    double stored(qint64 quota) { return db().scalar("SELECT Importo FROM Quote WHERE IdQuota = ?", {quota}).toDouble(); }

    // The breakdown's shares add up to its total, and its rounded instalment is the stored amount.
    void expectConsistent(const allocation::QuotaBreakdown& b, qint64 quota)
    {
        ASSERT_TRUE(b.known);
        double sum = 0;
        for (const auto& t : b.tables)
            sum += t.share;
        if (!b.equalPart)
            EXPECT_NEAR(sum, b.total, 1e-9);
        EXPECT_EQ(store::Money::fromDouble(b.instalment), store::Money::fromDouble(stored(quota)));
    }

    qint64 generale = 0, scale = 0, first = 0, second = 0;
};

} // namespace

TEST_F(Breakdown, SixHundredFourHundredTableByTable)
{
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), input("1000", "1200", 2)).done);
    const qint64 quota = quotaOf(first);
    const auto b = allocation::breakdownOfQuota(db(), quota);
    expectConsistent(b, quota);
    ASSERT_EQ(b.tables.size(), 2);
    EXPECT_EQ(b.tables[0].table, "Generale");
    EXPECT_DOUBLE_EQ(b.tables[0].share, 600);
    EXPECT_DOUBLE_EQ(b.tables[1].weightedTotal, 480);
    EXPECT_DOUBLE_EQ(b.tables[1].share, 150);
    EXPECT_DOUBLE_EQ(b.total, 750);
    EXPECT_EQ(b.instalments, 2);
    const QStringList lines = allocation::explanationLines(b);
    EXPECT_TRUE(lines.contains("Tabella Scale: 1200.00 € ripartiti su 480.000 millesimi ponderati; "
                               "la sua unità ne ha 60.000 al 100%: 150.00 €."))
        << lines.join("\n").toStdString();
    EXPECT_TRUE(lines.contains("Diviso in 2 rate: 375.0000 € per rata, arrotondato al centesimo: 375.00 €."));
    EXPECT_EQ(lines.last(), "Importo della quota: 375.00 €.");
}

TEST_F(Breakdown, HalfParticipationAndHalfUnitRoundingExplainTheStoredCent)
{
    db().exec("UPDATE Locali SET PartecipazioneORD = 50 WHERE Id = ?", {first});
    AllocationInput in = input("1000", "0", 2);
    in.halfUnitRounding = true;
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), in).done);
    for (qint64 unit : {first, second}) {
        const qint64 quota = quotaOf(unit, "Rata 2");
        const auto b = allocation::breakdownOfQuota(db(), quota);
        expectConsistent(b, quota);
        EXPECT_TRUE(b.halfUnitRounding);
    }
    // 300 weighted of 700: 428.571428... over 2 = 214.29, rounded to the half unit 214.50.
    const auto b = allocation::breakdownOfQuota(db(), quotaOf(first));
    EXPECT_DOUBLE_EQ(b.tables[0].weighted, 300);
    EXPECT_DOUBLE_EQ(b.tables[0].weightedTotal, 700);
    EXPECT_DOUBLE_EQ(b.instalmentCents, 214.29);
    EXPECT_DOUBLE_EQ(b.instalment, 214.5);
    const QStringList lines = allocation::explanationLines(b);
    EXPECT_TRUE(lines.contains("Arrotondato al mezzo euro: 214.50 €.")) << lines.join("\n").toStdString();
    EXPECT_TRUE(lines.join("\n").contains("la sua unità ne ha 600.000 al 50%: 428.57 €"));
}

TEST_F(Breakdown, ExcludedEqualPartsAndStaircaseSayWhatHappened)
{
    AllocationInput in = input("1000", "0", 1);
    in.excluded = {first};
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), in).done);
    auto b = allocation::breakdownOfQuota(db(), quotaOf(first));
    expectConsistent(b, quotaOf(first));
    EXPECT_TRUE(b.excluded);
    EXPECT_TRUE(allocation::explanationLines(b).join("\n").contains("esclusa"));

    in = input("0", "0", 4);
    in.rows[0].name = "Pulizie";
    in.equalParts = true;
    in.equalPart = "120";
    in.staircases = {"B"};
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), in).done);
    const qint64 quota = quotaOf(second, "Pulizie");
    b = allocation::breakdownOfQuota(db(), quota);
    expectConsistent(b, quota);
    ASSERT_TRUE(b.equalPart.has_value());
    EXPECT_DOUBLE_EQ(*b.equalPart, 120);
    EXPECT_EQ(b.staircases, QStringList{"B"});
    const QString text = allocation::explanationLines(b).join("\n");
    EXPECT_TRUE(text.contains("parti uguali: 120.00 € per unità, al 100%: 120.00 €")) << text.toStdString();
    EXPECT_TRUE(text.contains("solo le scale: B"));
    EXPECT_TRUE(text.contains("Diviso in 4 rate: 30.0000 € per rata"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE NomeQuote = 'Pulizie' AND IdLocale = ?", {first}), 0);
}

TEST_F(Breakdown, ThousandthsChangedAfterwardsLeaveTheExplanationAsItWas)
{
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), input("1000", "1200", 2)).done);
    const QStringList before = allocation::explanationLines(allocation::breakdownOfQuota(db(), quotaOf(first)));
    set(first, scale, 240);
    set(first, generale, 1);
    db().exec("UPDATE Locali SET Nome = 'Int. 1 bis', PartecipazioneORD = 10 WHERE Id = ?", {first});
    EXPECT_EQ(allocation::explanationLines(allocation::breakdownOfQuota(db(), quotaOf(first))), before);
}

TEST_F(Breakdown, PersonalAndOlderQuotasSayWhatTheyAre)
{
    allocation::PersonalQuotaInput personal;
    personal.unitId = second;
    personal.name = "Chiavi";
    personal.amount = "25.5";
    ASSERT_TRUE(allocation::addPersonalQuota(office.ws(), personal).done);
    auto b = allocation::breakdownOfQuota(db(), quotaOf(second, "Chiavi"));
    EXPECT_TRUE(b.known);
    EXPECT_TRUE(b.personal);
    EXPECT_TRUE(allocation::explanationLines(b).join("\n").contains("quota personale"));

    const qint64 older = office.addQuota(kAlfa, "2014", first, "Rata 0", "Spese ordinarie", 80, QDate(2014, 1, 1));
    b = allocation::breakdownOfQuota(db(), older);
    EXPECT_FALSE(b.known);
    EXPECT_EQ(allocation::explanationLines(b).last(), allocation::kNoBreakdown);
}

TEST_F(Breakdown, AStatementRowFindsThePersonsQuotasOfThatName)
{
    db().exec("UPDATE Locali SET idProprietario = (SELECT idProprietario FROM Locali WHERE Id = ?)", {first});
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), input("1000", "0", 1)).done);
    const qint64 owner = count("SELECT idProprietario FROM Locali WHERE Id = ?", {first});
    const auto quotas = allocation::statementRowQuotas(db(), kAlfa, "2014", true, owner, "Rata 1");
    EXPECT_EQ(quotas, (QVector<qint64>{quotaOf(first), quotaOf(second)}));
    EXPECT_TRUE(allocation::statementRowQuotas(db(), kAlfa, "2014", false, owner, "Rata 1").size() == 1);
}

// ---- the document for the owners ----

#include "allocation/QuotaExplanation.h"
#include "documents/DefaultTemplates.h"
#include "documents/RtfReader.h"
#include "support/KeptDocument.h"

#include <QFile>

TEST_F(Breakdown, OneDocumentPerOwnerWithEveryUnitAndItsReasons)
{
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), input("1000", "1200", 2)).done);
    db().exec("UPDATE Anagrafe SET Cognome = 'D''Angelo', Nome = 'Anna' WHERE Id = (SELECT idProprietario FROM Locali WHERE Id = ?)",
              {first});
    documents::installDefaultTemplates(office.ws().paths().outputFolder());
    documents::TRtfReport report;
    const auto run = allocation::produceExplanations(office.ws(), report, {}, QDate(2014, 5, 2));
    ASSERT_TRUE(run.outcome.done) << run.outcome.texts().join("\n").toStdString();
    ASSERT_EQ(run.written.size(), 2);
    EXPECT_TRUE(run.written.first().endsWith("Come è calcolata la tua quota - D'Angelo Anna - A.A.2014.rtf"))
        << run.written.first().toStdString();
    test::keepDocument(run.written.first());
    QFile file(run.written.first());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = documents::rtf::plainText(file.readAll());
    EXPECT_TRUE(text.contains("Gentile Anna D'Angelo")) << text.toStdString();
    EXPECT_TRUE(text.contains("Rata 1, Rata 2"));
    EXPECT_TRUE(text.contains("Tabella Scale: € 1.200,00 ripartiti su 480,000 millesimi ponderati; la sua unità ne ha 60,000 al 100%: € 150,00."));
    EXPECT_TRUE(text.contains("Importo della quota: € 375,00."));
    EXPECT_TRUE(text.contains("Diviso in 2 rate: € 375,0000 per rata"));
    EXPECT_TRUE(text.contains("Totale delle sue quote dell'anno 2014: € ")) << text.toStdString();
    EXPECT_TRUE(text.contains("Come è calcolata la sua quota"));
    EXPECT_FALSE(text.contains("Int. 2")) << "another owner's unit";

    // An amount changed by hand afterwards is told apart from the computation.
    db().exec("UPDATE Quote SET Importo = 380 WHERE IdLocale = ? AND NomeQuote = 'Rata 2'", {first});
    const auto sections = allocation::ownerExplanation(db(), kAlfa, "2014", count("SELECT idProprietario FROM Locali WHERE Id = ?", {first}));
    ASSERT_EQ(sections.size(), 2);
    EXPECT_EQ(sections[1].quotas, QStringList{"Rata 2"});
    EXPECT_TRUE(sections[1].lines.last().contains("la ripartizione dava 375.00 €"));
}

TEST_F(Breakdown, AStatementRowOfOneDueDateExplainsOnlyItsQuotas)
{
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), input("1000", "0", 1)).done);
    AllocationInput again = input("500", "0", 1);
    again.rows[0].due = QDate(2014, 9, 1);
    ASSERT_TRUE(allocation::confirmAllocation(office.ws(), again).done); // "Rata 1" twice, two due dates
    const qint64 owner = count("SELECT idProprietario FROM Locali WHERE Id = ?", {first});
    EXPECT_EQ(allocation::statementRowQuotas(db(), kAlfa, "2014", true, owner, "Rata 1").size(), 2);
    const QString text = allocation::statementRowExplanation(db(), kAlfa, "2014", true, owner, "Rata 1",
                                                             QVariant("Spese ordinarie"), QVariant(QDate(2014, 9, 1)));
    EXPECT_TRUE(text.contains("Importo della quota: 300.00 €.")) << text.toStdString();
    EXPECT_FALSE(text.contains("600.00 €.")) << text.toStdString();
}
