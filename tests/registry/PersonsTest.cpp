#include "registry/Credentials.h"
#include "registry/Persons.h"
#include "store/FilterText.h"
#include "support/Office.h"
#include "support/RefusedWrites.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace velcaris;
using registry::PersonInput;

namespace {

const QString kAlfa = "Alfa - Via Roma 1";
const QString kBeta = "Beta - Via Po 2";

class PersonsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        office.addCondominium(kAlfa);
        office.addCondominium(kBeta);
        office.db().exec("UPDATE Condomini SET Conto_corrente = 'IT60X0542811101000000123456', Intestatario = 'Cond. Alfa' "
                         "WHERE Nome = ?",
                         {kAlfa});
        office.addYear(kAlfa, "2013", false);
        office.addYear(kAlfa, "2014", true);
        ws().selection.condominium = kAlfa;
    }
    app::Workspace& ws() { return office.ws(); }
    store::Database& db() { return office.db(); }
    int count(const QString& sql, const QVector<QVariant>& params = {})
    {
        return db().scalar(sql, params).toInt();
    }
    qint64 addUnit(const QString& name, qint64 owner, qint64 tenant)
    {
        db().exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino) VALUES (?,?,?,?)",
                  {kAlfa, name, owner, tenant});
        return db().lastInsertId();
    }
    void addQuota(qint64 unit, const QString& year, const QString& name, double amount, const QDate& due,
                  double paid = 0)
    {
        db().exec("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo, ImportoPagato, DataScadenza, "
                  "Tipologia, Note) VALUES (?,?,?,?,?,?,?,'Ordinaria','nota')",
                  {kAlfa, unit, year, name, amount, paid, due});
    }
    static PersonInput withCredentials(const QString& surname, const QString& first = QString())
    {
        PersonInput p;
        p.cognome = surname;
        p.nome = first;
        p.userId = registry::userIdFromSurname(surname);
        p.password = "abc123";
        return p;
    }

    test::Office office;
};

} // namespace

// ---- credentials ----

TEST(Credentials, UserIdKeepsOnlyTheAsciiLettersInTheirOrder)
{
    EXPECT_EQ(registry::userIdFromSurname("D'Angelo Rossi"), "DAngeloRossi");
    EXPECT_EQ(registry::userIdFromSurname(QString::fromUtf8("Niccolò Müller-2")), "NiccolMller");
    EXPECT_EQ(registry::userIdFromSurname("zZaA"), "zZaA");
}

TEST(Credentials, ASurnameOfOnlyNonLettersGivesAnEmptyUserId)
{
    EXPECT_EQ(registry::userIdFromSurname("123 '-.;"), "");
    EXPECT_EQ(registry::userIdFromSurname(QString::fromUtf8("àèìòù")), "");
    EXPECT_EQ(registry::userIdFromSurname(""), "");
}

TEST(Credentials, PasswordsAreSixCharactersOfTheAlphabetAndChangeAtEachPress)
{
    QSet<QString> seen;
    for (int i = 0; i < 50; ++i) {
        const QString password = registry::generatePassword();
        ASSERT_EQ(password.size(), 6);
        for (const QChar c : password)
            EXPECT_TRUE(registry::kPasswordAlphabet.contains(c)) << password.toStdString();
        seen.insert(password);
    }
    // 50 draws out of 36^6: a repeat is practically impossible unless the source is not random.
    EXPECT_GT(seen.size(), 45);
}

TEST(Credentials, EveryCharacterOfTheAlphabetIsDrawnEvenly)
{
    QRandomGenerator source(12345);
    QHash<QChar, int> counts;
    const int presses = 6000; // 36000 characters, 1000 expected of each
    for (int i = 0; i < presses; ++i)
        for (const QChar c : registry::generatePassword(source))
            ++counts[c];
    EXPECT_EQ(counts.size(), 36);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        EXPECT_GT(it.value(), 850) << QString(it.key()).toStdString();
        EXPECT_LT(it.value(), 1150) << QString(it.key()).toStdString();
    }
}

// ---- the dialog's defaults and stored values ----

TEST_F(PersonsTest, TheDefaultChannelIsRaccomandataOrElseTheFirstOne)
{
    EXPECT_EQ(registry::newPerson(ws()).comunicazioni, "Raccomandata");
    EXPECT_FALSE(registry::newPerson(ws()).consiglio);
    db().exec("DELETE FROM TipoAvvisi WHERE Tipo = 'Raccomandata'");
    EXPECT_EQ(registry::defaultNoticeChannel(ws()), "E-mail");
    db().exec("DELETE FROM TipoAvvisi");
    EXPECT_EQ(registry::defaultNoticeChannel(ws()), "");
}

TEST_F(PersonsTest, AddWritesEveryFieldIntoTheCurrentCondominium)
{
    PersonInput p;
    p.cognome = "Rossi";
    p.nome = "Mario";
    p.mobile = "333";
    p.telefono = "011";
    p.fax = "012";
    p.indirizzo = "Via Roma 1";
    p.cap = "10100";
    p.citta = "Torino";
    p.email = "m@r.it";
    p.codiceFiscale = "RSSMRA";
    p.comunicazioni = "PEC";
    p.consiglio = true;
    p.note = "nota";
    std::optional<registry::WebRegistration> web;
    const auto outcome = registry::savePerson(ws(), std::nullopt, p, &web);
    ASSERT_TRUE(outcome.done);
    EXPECT_TRUE(outcome.messages.isEmpty());
    const auto stored = registry::readPerson(ws(), outcome.newKey.value_or(-1));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->citta, "Torino");
    EXPECT_EQ(stored->comunicazioni, "PEC");
    EXPECT_TRUE(stored->consiglio);
    EXPECT_EQ(stored->codiceFiscale, "RSSMRA");
    EXPECT_EQ(stored->fax, "012");
    EXPECT_EQ(db().scalar("SELECT idCondominio FROM Anagrafe WHERE Id = ?", {outcome.newKey.value_or(-1)}).toString(), kAlfa);
    EXPECT_FALSE(web.has_value());
}

TEST_F(PersonsTest, ModifyKeepsTheStoredCondominium)
{
    const qint64 id = office.addPerson(kBeta, "Verdi", "Anna");
    ws().selection.condominium = kAlfa;
    auto p = *registry::readPerson(ws(), id);
    p.nome = "Annalisa";
    p.consiglio = true;
    ASSERT_TRUE(registry::savePerson(ws(), id, p).done);
    EXPECT_EQ(db().scalar("SELECT idCondominio FROM Anagrafe WHERE Id = ?", {id}).toString(), kBeta);
    EXPECT_EQ(registry::readPerson(ws(), id)->nome, "Annalisa");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Anagrafe"), 1);
}

TEST_F(PersonsTest, AnEmptySurnameIsAcceptedAndDuplicatesAreAllowed)
{
    EXPECT_TRUE(registry::savePerson(ws(), std::nullopt, PersonInput{}).done);
    PersonInput p;
    p.cognome = "Rossi";
    EXPECT_TRUE(registry::savePerson(ws(), std::nullopt, p).done);
    EXPECT_TRUE(registry::savePerson(ws(), std::nullopt, p).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Anagrafe"), 3);
}

TEST_F(PersonsTest, ARefusedCharacterInANameWritesNothing)
{
    for (const QString& bad : QStringList{"A/B", "A\\B", "A:B", "A*B", "A?B", "A\"B", "A<B", "A>B", "A|B", QString("A") + QChar(0) + "B"}) {
        PersonInput p;
        p.cognome = bad;
        const auto outcome = registry::savePerson(ws(), std::nullopt, p);
        EXPECT_FALSE(outcome.done) << bad.toStdString();
        EXPECT_EQ(outcome.texts(), QStringList{"Carattere non ammesso"});
        p.cognome = "Rossi";
        p.nome = bad;
        EXPECT_FALSE(registry::savePerson(ws(), std::nullopt, p).done);
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Anagrafe"), 0);
    PersonInput ok;
    ok.cognome = "D'Angelo-Rossi";
    EXPECT_TRUE(registry::savePerson(ws(), std::nullopt, ok).done);
}

TEST_F(PersonsTest, TextsAreStoredAsTypedAndUsableInFilters)
{
    PersonInput p;
    p.cognome = "D'Angelo; Rossi";
    p.nome = "O'Hara";
    p.note = QString("x'); DROP TABLE Anagrafe; -- \"quoted\" ") + QString(600, u'z');
    p.indirizzo = QString(300, u'a');
    const auto outcome = registry::savePerson(ws(), std::nullopt, p);
    ASSERT_TRUE(outcome.done);
    const auto stored = registry::readPerson(ws(), outcome.newKey.value_or(-1));
    EXPECT_EQ(stored->cognome, p.cognome);
    EXPECT_EQ(stored->note, p.note);
    EXPECT_EQ(stored->indirizzo.size(), 300);

    auto& anagrafe = ws().ds("ADOTableAnagrafe");
    anagrafe.setFilter("Cognome=" + store::quoteFilterValue(p.cognome));
    EXPECT_EQ(anagrafe.rowCount(), 1);
    anagrafe.setFilter("Nome LIKE " + store::quoteFilterValue("*'Ha*"));
    EXPECT_EQ(anagrafe.rowCount(), 1);
}

// ---- registration in the web database ----

TEST_F(PersonsTest, OnlyOneCredentialLeavesTheWebDatabaseAlone)
{
    PersonInput p;
    p.cognome = "Rossi";
    p.userId = "Rossi";
    ASSERT_TRUE(registry::savePerson(ws(), std::nullopt, p).done);
    p.userId.clear();
    p.password = "abc123";
    ASSERT_TRUE(registry::savePerson(ws(), std::nullopt, p).done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Accesso"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.CodiceCondominio"), 0);
}

TEST_F(PersonsTest, TheFirstRegistrationCreatesTheCondominiumRecordWithItsBankAccount)
{
    std::optional<registry::WebRegistration> web;
    const auto outcome = registry::savePerson(ws(), std::nullopt, withCredentials("  Rossi", "Mario  "), &web);
    ASSERT_TRUE(outcome.done) << outcome.texts().join(' ').toStdString();
    EXPECT_TRUE(web->condominiumAdded);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.CodiceCondominio"), 1);
    EXPECT_EQ(db().scalar("SELECT IBAN FROM web.CodiceCondominio WHERE Condominio = ?", {kAlfa}).toString(),
              "IT60X0542811101000000123456");
    EXPECT_EQ(db().scalar("SELECT Intestatario FROM web.CodiceCondominio").toString(), "Cond. Alfa");
    EXPECT_EQ(db().scalar("SELECT Persona FROM web.Accesso WHERE id = ?", {outcome.newKey.value_or(-1)}).toString(), "Rossi Mario");
    EXPECT_EQ(db().scalar("SELECT IdCondominio FROM web.Accesso").toString(), kAlfa);
    // The web connection sees it too.
    EXPECT_EQ(ws().ds("ADOWEBDBAccesso").rowCount(), 1);

    // A second person of the same condominium finds the record there.
    std::optional<registry::WebRegistration> secondWeb;
    const auto second = registry::savePerson(ws(), std::nullopt, withCredentials("Bianchi"), &secondWeb);
    EXPECT_FALSE(secondWeb->condominiumAdded);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.CodiceCondominio"), 1);
    EXPECT_EQ(db().scalar("SELECT Persona FROM web.Accesso WHERE id = ?", {second.newKey.value_or(-1)}).toString(), "Bianchi");
}

TEST_F(PersonsTest, QuotasArePublishedOnceInDueDateOrder)
{
    const qint64 rossi = office.addPerson(kAlfa, "Rossi", "Mario");
    const qint64 unit = addUnit("Int. 1", rossi, rossi);
    addQuota(unit, "2014", "Rata 3", 30.005, QDate(2014, 9, 1));
    addQuota(unit, "2014", "Rata 1", 10.5, QDate(2014, 1, 31), 10.5);
    addQuota(unit, "2014", "Rata 2", 20, QDate(2014, 5, 1));

    auto p = withCredentials("Rossi", "Mario");
    std::optional<registry::WebRegistration> web;
    auto outcome = registry::savePerson(ws(), rossi, p, &web);
    ASSERT_TRUE(outcome.done) << outcome.texts().join(' ').toStdString();
    EXPECT_EQ(web->quotasPublished, 3);

    store::Statement st(db(), "SELECT NomeQuote, Importo, ImportoPagato, Locale, AA, Nota, Condominio, IdProprietario, "
                              "IdInquilino FROM web.Quote ORDER BY Id");
    QStringList names;
    QStringList amounts;
    while (st.step()) {
        names << st.value(0).toString();
        amounts << QString::number(st.value(1).toDouble(), 'f', 2) + "/" + QString::number(st.value(2).toDouble(), 'f', 2);
        EXPECT_EQ(st.value(3).toString(), "Int. 1");
        EXPECT_EQ(st.value(4).toString(), "2014");
        EXPECT_EQ(st.value(5).toString(), "nota");
        EXPECT_EQ(st.value(6).toString(), kAlfa);
        EXPECT_EQ(st.value(7).toLongLong(), rossi);
        EXPECT_EQ(st.value(8).toLongLong(), rossi);
    }
    EXPECT_EQ(names, QStringList({"Rata 1", "Rata 2", "Rata 3"}));
    EXPECT_EQ(amounts, QStringList({"10.50/10.50", "20.00/0.00", "30.01/0.00"}));

    // Saved again with new credentials: the access row changes, no quota is copied twice.
    p.userId = "MRossi";
    p.password = "zz99zz";
    outcome = registry::savePerson(ws(), rossi, p, &web);
    ASSERT_TRUE(outcome.done);
    EXPECT_FALSE(web->accessAdded);
    EXPECT_EQ(web->quotasPublished, 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Accesso"), 1);
    EXPECT_EQ(db().scalar("SELECT \"User\" || '/' || Password FROM web.Accesso").toString(), "MRossi/zz99zz");
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote"), 3);
}

TEST_F(PersonsTest, AnOwnerAndTenantGetsBothUnitsOfTheCurrentYearOnly)
{
    const qint64 rossi = office.addPerson(kAlfa, "Rossi");
    const qint64 bianchi = office.addPerson(kAlfa, "Bianchi");
    const qint64 owned = addUnit("Int. 1", rossi, bianchi);
    const qint64 rented = addUnit("Int. 2", bianchi, rossi);
    const qint64 other = addUnit("Int. 3", bianchi, bianchi);
    addQuota(owned, "2014", "Rata 1", 100, QDate(2014, 3, 1));
    addQuota(rented, "2014", "Rata 1", 50, QDate(2014, 2, 1));
    addQuota(other, "2014", "Rata 1", 70, QDate(2014, 2, 1));
    addQuota(owned, "2013", "Rata 1", 90, QDate(2013, 3, 1));
    addQuota(rented, "2013", "Rata 1", 40, QDate(2013, 3, 1));

    std::optional<registry::WebRegistration> web;
    const auto outcome = registry::savePerson(ws(), rossi, withCredentials("Rossi"), &web);
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(web->quotasPublished, 2);
    store::Statement st(db(), "SELECT Locale, AA, Importo FROM web.Quote ORDER BY Id");
    QStringList rows;
    while (st.step())
        rows << st.value(0).toString() + "/" + st.value(1).toString() + "/" + QString::number(st.value(2).toDouble());
    EXPECT_EQ(rows, QStringList({"Int. 2/2014/50", "Int. 1/2014/100"}));

    // Bianchi is on both rows already published (owner of Int. 2, tenant of Int. 1), so his own
    // registration copies nothing: the check is per person, not per unit.
    std::optional<registry::WebRegistration> secondWeb;
    const auto second = registry::savePerson(ws(), bianchi, withCredentials("Bianchi"), &secondWeb);
    EXPECT_EQ(secondWeb->quotasPublished, 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote"), 2);
}

TEST_F(PersonsTest, WithoutACurrentYearOnlyTheAccessIsWritten)
{
    ws().selection.condominium = kBeta;
    const auto outcome = registry::savePerson(ws(), std::nullopt, withCredentials("Neri"));
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Accesso WHERE IdCondominio = ?", {kBeta}), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.CodiceCondominio WHERE Condominio = ?", {kBeta}), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote"), 0);
}

TEST_F(PersonsTest, AFailureOfTheWebDatabaseRollsTheWholeSaveBack)
{
    const qint64 rossi = office.addPerson(kAlfa, "Rossi", "Mario");
    addQuota(addUnit("Int. 1", rossi, rossi), "2014", "Rata 1", 10, QDate(2014, 1, 1));
    test::refuseWrites(db(), "web.Accesso", "INSERT", "accesso bloccato");

    const auto added = registry::savePerson(ws(), std::nullopt, withCredentials("Neri"));
    EXPECT_FALSE(added.done);
    ASSERT_EQ(added.messages.size(), 1);
    EXPECT_TRUE(added.texts().first().contains("accesso bloccato")) << added.texts().first().toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Anagrafe"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.CodiceCondominio"), 0);

    auto p = withCredentials("Rossi", "Giuseppe");
    const auto modified = registry::savePerson(ws(), rossi, p);
    EXPECT_FALSE(modified.done);
    EXPECT_EQ(registry::readPerson(ws(), rossi)->nome, "Mario");
    EXPECT_EQ(registry::readPerson(ws(), rossi)->userId, "");

    // A missing web table fails late, after the access row: that is undone too.
    test::allowWrites(db(), "web.Accesso");
    db().exec("DROP TABLE web.Quote");
    const auto late = registry::savePerson(ws(), rossi, p);
    EXPECT_FALSE(late.done);
    EXPECT_TRUE(late.texts().value(0).contains("Quote")) << late.texts().value(0).toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Accesso"), 0);
    EXPECT_EQ(registry::readPerson(ws(), rossi)->nome, "Mario");
}

TEST_F(PersonsTest, QuotasAlreadyOnTheWebAreNeitherCopiedAgainNorUpdated)
{
    const qint64 rossi = office.addPerson(kAlfa, "Rossi");
    const qint64 unit = addUnit("Int. 1", rossi, 0);
    addQuota(unit, "2014", "Rata 1", 10, QDate(2014, 1, 1));
    addQuota(unit, "2014", "Rata 2", 20, QDate(2014, 2, 1));
    db().exec("INSERT INTO web.Quote (Condominio, IdProprietario, IdInquilino, idLocale, NomeQuote, Importo, AA) "
              "VALUES (?, ?, 0, ?, 'Rata 1', 999, '2014')",
              {kAlfa, rossi, unit});
    std::optional<registry::WebRegistration> web;
    const auto outcome = registry::savePerson(ws(), rossi, withCredentials("Rossi"), &web);
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(web->quotasPublished, 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Quote"), 1);
    EXPECT_EQ(count("SELECT Importo FROM web.Quote"), 999);
}

TEST_F(PersonsTest, ModifyingAPersonThatIsGoneWritesNothing)
{
    const auto outcome = registry::savePerson(ws(), 4242, withCredentials("Rossi"));
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.messages.size(), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Anagrafe"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM web.Accesso"), 0);
}
