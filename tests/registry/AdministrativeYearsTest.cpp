#include "registry/AdministrativeYears.h"
#include "store/StoreError.h"
#include "support/Office.h"
#include "support/RefusedWrites.h"

#include <gtest/gtest.h>

using namespace velcaris;
using registry::YearInput;
using velcaris::test::Office;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";
const QString kBeta = "Beta - Via Po 2";

YearInput year(const QString& name, bool import = true)
{
    YearInput in;
    in.name = name;
    in.start = QDate(2014, 1, 1);
    in.end = QDate(2014, 12, 31);
    in.importBudget = import;
    return in;
}

class Years : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addCondominium(kBeta);
        office.ws().selection.condominium = kAlfa;
    }
    qint64 count(const QString& sql, const QVector<QVariant>& params = {})
    {
        return office.db().scalar(sql, params).toLongLong();
    }
    void addBudget(const QString& condominium, const QString& aa, const QString& table, const QString& item, double spesa)
    {
        office.db().exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) VALUES (?,?,?,?,?)",
                         {condominium, aa, table, item, spesa});
    }
    QString currentName(const QString& condominium)
    {
        return office.db()
            .scalar("SELECT group_concat(nome, '|') FROM AnnoAmministrativo WHERE idCondominio = ? AND corrente <> 0",
                    {condominium})
            .toString();
    }
    Office office;
};

} // namespace

// ---- adding ----

TEST_F(Years, TheFirstYearBecomesCurrentAndImportsNothing)
{
    addBudget(kBeta, "2013", "A", "Pulizia", 100); // another condominium's budget is never copied
    int copied = -1;
    auto in = year("2014");
    in.approved = true;
    const auto outcome = registry::addYear(office.ws(), in, &copied);
    ASSERT_TRUE(outcome.done) << outcome.texts().join('|').toStdString();
    EXPECT_EQ(copied, 0);
    EXPECT_EQ(currentName(kAlfa), "2014");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Preventivi WHERE Condominio = ?", {kAlfa}), 0);
    EXPECT_EQ(office.db().scalar("SELECT data_inizio || ' ' || data_fine FROM AnnoAmministrativo").toString(),
              "2014-01-01 2014-12-31");
    EXPECT_EQ(count("SELECT approvato FROM AnnoAmministrativo"), 1);
    EXPECT_EQ(office.ws().selection.selectedYearName, "2014");
    const auto current = registry::currentYear(office.ws());
    ASSERT_TRUE(current.has_value());
    EXPECT_EQ(current->data.start, QDate(2014, 1, 1));
    EXPECT_TRUE(current->data.approved);
}

TEST_F(Years, ASecondYearWithImportCopiesEveryBudgetItemAndTakesTheFlag)
{
    ASSERT_TRUE(registry::addYear(office.ws(), year("2013")).done);
    addBudget(kAlfa, "2013", "A", "Pulizia", 1200.5);
    addBudget(kAlfa, "2013", "Scale", "Luce scale", 300);
    addBudget(kAlfa, "2013", "A", "Amministrazione", 0);
    addBudget(kAlfa, "2012", "A", "Vecchia voce", 9); // not the current year
    addBudget(kBeta, "2013", "A", "Beta", 7);
    office.addYear(kBeta, "2013", true);

    int copied = 0;
    ASSERT_TRUE(registry::addYear(office.ws(), year("2014"), &copied).done);
    EXPECT_EQ(copied, 3);
    EXPECT_EQ(currentName(kAlfa), "2014");
    EXPECT_EQ(currentName(kBeta), "2013");
    EXPECT_EQ(test::joinedRows(office.db(),
                               "SELECT Tabella, DescrizioneVoceSpesa, Spesa FROM Preventivi WHERE Condominio = ? "
                               "AND AA = '2014' ORDER BY Id",
                               {kAlfa}, ":", "|"),
              "A:Pulizia:1200.5|Scale:Luce scale:300.0|A:Amministrazione:0.0");
    // The previous year keeps its own items.
    EXPECT_EQ(count("SELECT COUNT(*) FROM Preventivi WHERE Condominio = ? AND AA = '2013'", {kAlfa}), 3);
}

TEST_F(Years, WithoutImportTheNewYearHasNoBudget)
{
    ASSERT_TRUE(registry::addYear(office.ws(), year("2013")).done);
    addBudget(kAlfa, "2013", "A", "Pulizia", 100);
    ASSERT_TRUE(registry::addYear(office.ws(), year("2014", false)).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Preventivi WHERE AA = '2014'"), 0);
    EXPECT_EQ(currentName(kAlfa), "2014");
    EXPECT_EQ(count("SELECT COUNT(*) FROM AnnoAmministrativo WHERE idCondominio = ?", {kAlfa}), 2);
}

TEST_F(Years, RefusesEmptyBlankDuplicateAndUnsafeNames)
{
    ASSERT_TRUE(registry::addYear(office.ws(), year("2014")).done);
    for (const QString& name : {QString(), QString("   ")}) {
        const auto outcome = registry::addYear(office.ws(), year(name));
        EXPECT_FALSE(outcome.done);
        EXPECT_EQ(outcome.texts(), QStringList{"Inserire il nome dell'anno amministrativo"});
    }
    auto outcome = registry::addYear(office.ws(), year("2014"));
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.texts(), QStringList{"Esiste già un anno amministrativo di nome \"2014\" per questo condominio"});
    outcome = registry::addYear(office.ws(), year("2014/2015"));
    EXPECT_EQ(outcome.texts(), QStringList{"Carattere non ammesso"});
    EXPECT_EQ(count("SELECT COUNT(*) FROM AnnoAmministrativo"), 1);
    // The hyphen is allowed in a year's name, and another condominium may use the same name.
    EXPECT_TRUE(registry::addYear(office.ws(), year("2014-2015")).done);
    office.ws().selection.condominium = kBeta;
    EXPECT_TRUE(registry::addYear(office.ws(), year("2014")).done);
}

TEST_F(Years, RefusesWithoutACondominium)
{
    office.ws().selection.condominium.clear();
    const auto outcome = registry::addYear(office.ws(), year("2014"));
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.texts(), QStringList{"Selezionare prima un condominio"});
    EXPECT_EQ(count("SELECT COUNT(*) FROM AnnoAmministrativo"), 0);
}

TEST_F(Years, NamesAreStoredAsTyped)
{
    const QString name = "  Esercizio dell'anno; \"bis\" " + QString(30, u'x');
    // The quote character is refused, so only the rest goes through.
    EXPECT_FALSE(registry::addYear(office.ws(), year(name)).done);
    const QString accepted = "  Esercizio dell'anno; bis " + QString(23, u'x');
    ASSERT_TRUE(registry::addYear(office.ws(), year(accepted)).done);
    EXPECT_EQ(office.db().scalar("SELECT nome FROM AnnoAmministrativo").toString(), accepted);
    EXPECT_EQ(currentName(kAlfa), accepted);
}

// ---- modifying ----

TEST_F(Years, RenamingTheCurrentYearKeepsItsRowsReachable)
{
    ASSERT_TRUE(registry::addYear(office.ws(), year("2013")).done);
    ASSERT_TRUE(registry::addYear(office.ws(), year("2014", false)).done);
    auto& db = office.db();
    for (const QString& c : {kAlfa, kBeta}) {
        for (const QString& aa : {QString("2013"), QString("2014")}) {
            db.exec("INSERT INTO main.Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo) VALUES (?, 1, ?, 'Rata 1', 10)", {c, aa});
            office.addIncome(c, aa, 10, "Cassa");
            office.addExpense(c, aa, 5, 0, 0, 0, "Cassa", "", true);
            addBudget(c, aa, "A", "Pulizia", 100);
            db.exec("INSERT INTO Interventi (Condominio, AA, Descrizione) VALUES (?, ?, 'Idraulico')", {c, aa});
            db.exec("INSERT INTO web.Quote (Condominio, idLocale, NomeQuote, AA) VALUES (?, 1, 'Rata 1', ?)", {c, aa});
            db.exec("INSERT INTO web.Files (Condominio, AA, File) VALUES (?, ?, 'verbale.pdf')", {c, aa});
        }
    }
    auto rowsOf = [&](const QString& c, const QString& aa) {
        qint64 total = 0;
        for (const char* sql : {"SELECT COUNT(*) FROM main.Quote WHERE IdCondominio = ? AND AA = ?",
                                "SELECT COUNT(*) FROM Entrate WHERE Condominio = ? AND AA = ?",
                                "SELECT COUNT(*) FROM Uscite WHERE Condominio = ? AND AA = ?",
                                "SELECT COUNT(*) FROM Preventivi WHERE Condominio = ? AND AA = ?",
                                "SELECT COUNT(*) FROM Interventi WHERE Condominio = ? AND AA = ?",
                                "SELECT COUNT(*) FROM web.Quote WHERE Condominio = ? AND AA = ?",
                                "SELECT COUNT(*) FROM web.Files WHERE Condominio = ? AND AA = ?"})
            total += count(sql, {c, aa});
        return total;
    };
    ASSERT_EQ(rowsOf(kAlfa, "2014"), 7);

    auto in = year("2014 bis");
    in.end = QDate(2015, 6, 30);
    in.approved = true;
    ASSERT_TRUE(registry::modifyYear(office.ws(), in).done);
    EXPECT_EQ(currentName(kAlfa), "2014 bis");
    EXPECT_EQ(rowsOf(kAlfa, "2014 bis"), 7);
    EXPECT_EQ(rowsOf(kAlfa, "2014"), 0);
    EXPECT_EQ(rowsOf(kAlfa, "2013"), 7); // the other year keeps its rows
    EXPECT_EQ(rowsOf(kBeta, "2014"), 7); // another condominium's year of the same name too
    EXPECT_EQ(office.db().scalar("SELECT data_fine FROM AnnoAmministrativo WHERE nome = '2014 bis'").toString(),
              "2015-06-30");
    EXPECT_EQ(office.ws().selection.selectedYearName, "2014 bis");
}

TEST_F(Years, AFailedYearRenameLeavesEveryRowUnderTheOldName)
{
    ASSERT_TRUE(registry::addYear(office.ws(), year("2014")).done);
    office.addIncome(kAlfa, "2014", 10, "Cassa");
    office.db().exec("INSERT INTO web.Files (Condominio, AA, File) VALUES (?, '2014', 'a.pdf')", {kAlfa});
    test::refuseWrites(office.db(), "web.Files", "UPDATE", "bloccato");
    EXPECT_THROW(registry::modifyYear(office.ws(), year("2015")), store::StoreError);
    EXPECT_EQ(currentName(kAlfa), "2014");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Entrate WHERE AA = '2014'"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Files WHERE AA = '2014'"), 1);
}

TEST_F(Years, ModifyRefusesTheNameOfAnotherYearButKeepsItsOwn)
{
    ASSERT_TRUE(registry::addYear(office.ws(), year("2013")).done);
    ASSERT_TRUE(registry::addYear(office.ws(), year("2014")).done);
    auto outcome = registry::modifyYear(office.ws(), year("2013"));
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.texts(), QStringList{"Esiste già un anno amministrativo di nome \"2013\" per questo condominio"});
    auto same = year("2014");
    same.approved = true;
    EXPECT_TRUE(registry::modifyYear(office.ws(), same).done);
    EXPECT_EQ(count("SELECT approvato FROM AnnoAmministrativo WHERE nome = '2014'"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM AnnoAmministrativo WHERE corrente <> 0"), 1);
}

TEST_F(Years, ModifyWithoutAnyYearAsksForOneFirst)
{
    const auto outcome = registry::modifyYear(office.ws(), year("2014"));
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.texts(),
              QStringList{"E' necessario inserire prima un anno amministrativo nella linguetta \"Condomini\""});
    EXPECT_EQ(count("SELECT COUNT(*) FROM AnnoAmministrativo"), 0);
}
