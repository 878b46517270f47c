#include "allocation/Units.h"
#include "AllocationFixture.h"
#include "store/StoreError.h"

using namespace velcaris;
using allocation::UnitInput;
using test::kAlfa;
using test::kBeta;

namespace {

class Units : public test::AllocationOffice {
protected:
    void SetUp() override
    {
        AllocationOffice::SetUp();
        rossi = office.addPerson(kAlfa, "Rossi", "Mario");
        bianchi = office.addPerson(kAlfa, "Bianchi");
        for (const char* name : {"Scale", "A", "Ascensore"})
            addTable(kAlfa, name);
        addTable(kBeta, "Generale");
    }

    // A new unit with the grid's cells, left to right.
    UnitInput unit(const QString& name, const QStringList& cells)
    {
        UnitInput in = allocation::newUnit(office.ws());
        in.nome = name;
        for (int k = 0; k < cells.size() && k < in.millesimi.size(); ++k)
            in.millesimi[k].text = cells[k];
        return in;
    }
    double thousandths(qint64 unit, const QString& table)
    {
        return db().scalar("SELECT m.Millesimi FROM Millesimi AS m INNER JOIN Tabelle AS t ON t.Id = m.IdTabella "
                           "WHERE m.IdLocale = ? AND t.Nome = ?",
                           {unit, table})
            .toDouble();
    }
    qint64 save(const UnitInput& in, std::optional<qint64> id = std::nullopt)
    {
        const auto outcome = allocation::saveUnit(office.ws(), id, in);
        EXPECT_TRUE(outcome.done) << outcome.texts().join('|').toStdString();
        EXPECT_TRUE(thousandthsInvariant());
        return outcome.newKey.value_or(-1);
    }

    qint64 rossi = -1;
    qint64 bianchi = -1;
};

} // namespace

// ---- a new unit ----

TEST_F(Units, ANewUnitGetsItsCellsInTheTablesAndZeroForAnEmptyOne)
{
    UnitInput in = unit("Int. 1", {"100", "", "50.5"});
    in.inquilino = rossi;
    in.piano = "2";
    in.scala = "B";
    in.partecipazioneSTR = "0";
    const qint64 id = save(in);
    EXPECT_EQ(thousandths(id, "A"), 100.0);
    EXPECT_EQ(thousandths(id, "Ascensore"), 0.0);
    EXPECT_EQ(thousandths(id, "Scale"), 50.5);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Millesimi WHERE IdLocale = ? AND IdCondominio = ?", {id, kAlfa}), 3);
    EXPECT_EQ(text("SELECT IdCondominio || '|' || Nome || '|' || IdTipologia || '|' || Piano || '|' || Scala || '|' || "
                   "idProprietario || '|' || idInquilino || '|' || PartecipazioneORD || '|' || PartecipazioneSTR "
                   "FROM Locali WHERE Id = ?",
                   {id}),
              QString("%1|Int. 1|Appartamento|2|B|%2|%3|100|0").arg(kAlfa).arg(bianchi).arg(rossi));

    // Read back as the dialog shows it.
    const auto back = allocation::readUnit(office.ws(), id);
    ASSERT_TRUE(back);
    QStringList cells;
    for (const auto& cell : back->millesimi)
        cells << cell.text;
    EXPECT_EQ(cells, (QStringList{"100.000", "0.000", "50.500"}));
    EXPECT_EQ(back->partecipazioneSTR, "0");
}

TEST_F(Units, ACondominiumWithoutTablesTakesNoUnit)
{
    office.addCondominium("Gamma - Via Po 9");
    choose("Gamma - Via Po 9");
    const auto outcome = allocation::saveUnit(office.ws(), std::nullopt, allocation::newUnit(office.ws()));
    EXPECT_EQ(outcome.texts(), QStringList{allocation::kNoTableForUnits});
    EXPECT_EQ(count("SELECT COUNT(*) FROM Locali"), 0);
}

// ---- refusals before anything is written ----

TEST_F(Units, WrongNumbersAndMissingChoicesAreRefusedNamingTheFieldBeforeAnyWrite)
{
    const qint64 kept = save(unit("Int. 1", {"10", "20", "30"}));
    struct Case {
        std::function<void(UnitInput&)> spoil;
        QString message;
    };
    const QString grid = "I millesimi della tabella \"%1\" devono essere un numero non negativo, con il punto come "
                         "separatore decimale";
    const QString ord = "Il campo \"Partecipazione spese ordinarie\" deve contenere un numero intero da 0 a 100";
    const Case cases[] = {
        {[](UnitInput& u) { u.millesimi[2].text = "33,5"; }, grid.arg("Scale")},
        {[](UnitInput& u) { u.millesimi[0].text = "cento"; }, grid.arg("A")},
        {[](UnitInput& u) { u.millesimi[1].text = "-1"; }, grid.arg("Ascensore")},
        {[](UnitInput& u) { u.partecipazioneORD = "abc"; }, ord},
        {[](UnitInput& u) { u.partecipazioneORD = "150"; }, ord},
        {[](UnitInput& u) { u.partecipazioneORD = ""; }, ord},
        {[](UnitInput& u) { u.partecipazioneSTR = "5,5"; },
         "Il campo \"Partecipazione spese straordinarie\" deve contenere un numero intero da 0 a 100"},
        {[](UnitInput& u) { u.tipologia.clear(); }, "Scegliere la tipologia del locale"},
        {[](UnitInput& u) { u.proprietario.reset(); }, "Scegliere il proprietario del locale"},
        {[](UnitInput& u) { u.inquilino.reset(); }, "Scegliere l'inquilino del locale"},
    };
    for (const Case& c : cases) {
        UnitInput fresh = unit("Int. 2", {"1", "2", "3"});
        c.spoil(fresh);
        EXPECT_EQ(allocation::saveUnit(office.ws(), std::nullopt, fresh).texts(), QStringList{c.message});
        UnitInput changed = *allocation::readUnit(office.ws(), kept);
        changed.nome = "Cambiato";
        c.spoil(changed);
        EXPECT_EQ(allocation::saveUnit(office.ws(), kept, changed).texts(), QStringList{c.message});
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Locali"), 1);
    EXPECT_EQ(text("SELECT Nome FROM Locali WHERE Id = ?", {kept}), "Int. 1");
    EXPECT_EQ(thousandths(kept, "Scale"), 30.0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Millesimi"), 3);
}

// ---- changing a unit ----

TEST_F(Units, ChangingAUnitSetsItsThousandthsAndAClearedCellIsZero)
{
    const qint64 id = save(unit("Int. 1", {"10", "20", "30"}));
    const qint64 other = save(unit("Int. 2", {"1", "2", "3"}));
    UnitInput in = *allocation::readUnit(office.ws(), id);
    in.nome = "Int. 1 bis";
    in.proprietario = rossi;
    in.millesimi[0].text = "333.3335";
    in.millesimi[1].text = "";
    ASSERT_EQ(save(in, id), id);
    EXPECT_EQ(thousandths(id, "A"), 333.334);
    EXPECT_EQ(thousandths(id, "Ascensore"), 0.0);
    EXPECT_EQ(thousandths(id, "Scale"), 30.0);
    EXPECT_EQ(thousandths(other, "Ascensore"), 2.0);
    EXPECT_EQ(text("SELECT Nome || '|' || idProprietario FROM Locali WHERE Id = ?", {id}),
              QString("Int. 1 bis|%1").arg(rossi));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote"), 0);
}

TEST_F(Units, ChangingAUnitGivesItTheRowsItLackedAndKeepsItsCondominium)
{
    const qint64 id = save(unit("Int. 1", {"10", "20", "30"}));
    // A table written without its rows, as an older version of the program could leave it.
    db().exec("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, 'Box')", {kAlfa});
    ASSERT_FALSE(thousandthsInvariant());
    UnitInput in = *allocation::readUnit(office.ws(), id);
    ASSERT_EQ(in.millesimi.size(), 4);
    EXPECT_EQ(in.millesimi[2].text, "0.000") << "Box sorts between Ascensore and Scale";
    in.millesimi[2].text = "7";
    choose(kBeta); // the selection moved on: the unit stays where it is
    save(in, id);
    EXPECT_EQ(thousandths(id, "Box"), 7.0);
    EXPECT_EQ(text("SELECT IdCondominio FROM Locali WHERE Id = ?", {id}), kAlfa);
}

TEST_F(Units, AUnitWhoseOwnerWasDeletedStillReadsWithTheStoredIds)
{
    const qint64 id = save(unit("Int. 1", {"1", "2", "3"}));
    db().exec("DELETE FROM Anagrafe WHERE Id = ?", {bianchi});
    const auto in = allocation::readUnit(office.ws(), id);
    ASSERT_TRUE(in);
    EXPECT_EQ(in->proprietario, bianchi);
    EXPECT_EQ(allocation::personChoices(office.ws(), kAlfa).size(), 1);
}

TEST_F(Units, NamesWithQuotesAndLongTextsAreStoredWhole)
{
    UnitInput in = unit("Int. 1", {"1", "2", "3"});
    in.nome = "L'angolo \"sud\"";
    in.foglio = QString(200, u'f');
    const qint64 id = save(in);
    EXPECT_EQ(allocation::readUnit(office.ws(), id)->nome, "L'angolo \"sud\"");
    EXPECT_EQ(allocation::readUnit(office.ws(), id)->foglio, QString(200, u'f'));
}

// ---- the quota schedule ----

TEST_F(Units, ANewUnitGetsTheCurrentYearsScheduleWithZeroAmountsAndNoPersonalQuota)
{
    office.addYear(kAlfa, "2013", false);
    office.addYear(kAlfa, "2014", true);
    const qint64 first = save(unit("Int. 1", {"1", "2", "3"}));
    const qint64 second = save(unit("Int. 2", {"1", "2", "3"}));
    // The schedule's template is the unit of the year's first quota that is not personal.
    const QString insert = "INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo, ImportoPagato, "
                           "DataScadenza, Tipologia, Note, PagabiliSiNo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 'nota', 1)";
    db().exec(insert, {kAlfa, second, "2014", "Spesa ascensore", 40.0, 40.0, "2014-02-01", "Spese personali"});
    db().exec(insert, {kAlfa, first, "2013", "Rata vecchia", 80.0, 80.0, "2013-03-01", "Spese ordinarie"});
    db().exec(insert, {kAlfa, first, "2014", "Rata 1", 120.0, 120.0, "2014-03-01", "Spese ordinarie"});
    db().exec(insert, {kAlfa, second, "2014", "Rata 1", 90.0, 0.0, "2014-03-01", "Spese ordinarie"});
    db().exec(insert, {kAlfa, first, "2014", "Personale", 15.0, 0.0, "2014-04-01", "Spese personali"});
    db().exec(insert, {kAlfa, first, "2014", "Rata 2", 120.0, 0.0, "2014-06-01", "Spese straordinarie"});
    db().exec(insert, {kBeta, first, "2014", "Rata di Beta", 1.0, 0.0, "2014-06-01", "Spese ordinarie"});

    const qint64 added = save(unit("Int. 3", {"1", "2", "3"}));
    store::Statement rows(db(), "SELECT IdCondominio, AA, NomeQuote, Tipologia, DataScadenza, Importo, ImportoPagato, "
                                "Note, PagabiliSiNo FROM Quote WHERE IdLocale = ? ORDER BY IdQuota");
    rows.bind(1, added);
    QStringList seen;
    while (rows.step()) {
        QStringList fields;
        for (int c = 0; c < 9; ++c)
            fields << rows.value(c).toString();
        seen << fields.join('|');
    }
    EXPECT_EQ(seen, (QStringList{kAlfa + "|2014|Rata 1|Spese ordinarie|2014-03-01|0|0||0",
                                 kAlfa + "|2014|Rata 2|Spese straordinarie|2014-06-01|0|0||0"}));

    // Changing a unit copies nothing.
    save(*allocation::readUnit(office.ws(), added), added);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE IdLocale = ?", {added}), 2);
}

TEST_F(Units, NoScheduleIsCopiedWithoutCurrentYearQuotas)
{
    office.addYear(kAlfa, "2014", true);
    const qint64 first = save(unit("Int. 1", {"1", "2", "3"}));
    db().exec("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Tipologia) VALUES (?, ?, '2014', 'P', "
              "'Spese personali'), (?, ?, '2013', 'Rata 1', 'Spese ordinarie')",
              {kAlfa, first, kAlfa, first});
    const qint64 added = save(unit("Int. 2", {"1", "2", "3"}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Quote WHERE IdLocale = ?", {added}), 0);
}

TEST_F(Units, SavingAUnitWithItsRowsHappensWholeOrNotAtAll)
{
    office.addYear(kAlfa, "2014", true);
    const qint64 first = save(unit("Int. 1", {"1", "2", "3"}));
    db().exec("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Tipologia) VALUES (?, ?, '2014', 'Rata 1', "
              "'Spese ordinarie')",
              {kAlfa, first});
    failWritesTo("Quote");
    EXPECT_THROW(allocation::saveUnit(office.ws(), std::nullopt, unit("Int. 2", {"1", "2", "3"})), store::StoreError);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Locali"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Millesimi"), 3);
}
