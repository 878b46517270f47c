#include "registry/Condominiums.h"
#include "registry/NameRules.h"
#include "store/StoreError.h"
#include "support/Office.h"
#include "support/RefusedWrites.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace velcaris;
using registry::CondominiumInput;
using velcaris::test::Office;

namespace {

CondominiumInput input(const QString& nome, const QString& indirizzo)
{
    CondominiumInput in;
    in.nome = nome;
    in.indirizzo = indirizzo;
    in.comune = "Torino";
    in.contoCorrente = "IT60X0542811101000000123456";
    in.intestatario = "Condominio Alfa";
    in.particella = QString(200, u'9');
    in.zonaCensuaria = "2";
    in.microzona = "7";
    return in;
}

qint64 count(Office& office, const QString& sql, const QVector<QVariant>& params = {})
{
    return office.db().scalar(sql, params).toLongLong();
}

QString outputFolder(Office& office, const QString& name)
{
    return office.ws().paths().outputFolder() + name;
}

} // namespace

// ---- adding ----

TEST(CondominiumAdd, StoresTheFullNameCreatesFoldersAndThePersonRow)
{
    Office office;
    const auto outcome = registry::addCondominium(office.ws(), input("  Alfa\t", " Via Roma 1 "));
    ASSERT_TRUE(outcome.done) << outcome.texts().join('|').toStdString();
    EXPECT_TRUE(outcome.messages.isEmpty());
    EXPECT_EQ(office.db().scalar("SELECT Nome FROM Condomini").toString(), "Alfa - Via Roma 1");
    EXPECT_EQ(office.db().scalar("SELECT Particella FROM Condomini").toString(), QString(200, u'9'));
    EXPECT_EQ(office.db().scalar("SELECT Zona_censuaria || '/' || Microzona FROM Condomini").toString(), "2/7");
    EXPECT_TRUE(QFileInfo(outputFolder(office, "Alfa - Via Roma 1")).isDir());
    EXPECT_TRUE(QFileInfo(outputFolder(office, "Alfa - Via Roma 1/Ricevute")).isDir());
    EXPECT_EQ(count(office, "SELECT COUNT(*) FROM Anagrafe WHERE Cognome = 'Alfa - Via Roma 1' AND idCondominio IS NULL"), 1);
    EXPECT_EQ(office.ws().selection.condominium, "Alfa - Via Roma 1");
    EXPECT_TRUE(office.ws().condominiumNames().contains("Alfa - Via Roma 1"));
}

TEST(CondominiumAdd, RefusesMissingOrBlankNameAndAddress)
{
    Office office;
    for (const auto& [nome, indirizzo] : {std::pair<QString, QString>{"", "Via Roma 1"}, {"Alfa", ""},
                                          {"   \t ", "Via Roma 1"}, {"Alfa", "\n "}}) {
        const auto outcome = registry::addCondominium(office.ws(), input(nome, indirizzo));
        EXPECT_FALSE(outcome.done);
        EXPECT_EQ(outcome.texts(), QStringList{"I campi \"Nome\" e \"Indirizzo\" sono obbligatori"});
    }
    EXPECT_EQ(count(office, "SELECT COUNT(*) FROM Condomini"), 0);
    EXPECT_EQ(count(office, "SELECT COUNT(*) FROM Anagrafe"), 0);
    EXPECT_FALSE(QFileInfo(outputFolder(office, " - Via Roma 1")).exists());
}

TEST(CondominiumAdd, RefusesEveryCharacterThatCannotStandInAFolderNameOrBreaksTheSplit)
{
    Office office;
    // NUL too: pasted in, it would cut the folder's name short.
    for (const QChar c : QStringLiteral("-/\\:*?\"<>|") + QChar(0)) {
        auto outcome = registry::addCondominium(office.ws(), input(QStringLiteral("Al") + c + "fa", "Via Roma 1"));
        EXPECT_FALSE(outcome.done) << QString(c).toStdString();
        EXPECT_EQ(outcome.texts(), QStringList{"Carattere non ammesso"});
        outcome = registry::addCondominium(office.ws(), input("Alfa", QStringLiteral("Via") + c + "Roma"));
        EXPECT_FALSE(outcome.done) << QString(c).toStdString();
    }
    EXPECT_EQ(count(office, "SELECT COUNT(*) FROM Condomini"), 0);
}

TEST(CondominiumAdd, RefusesANameAlreadyTakenAlsoInAnotherCase)
{
    Office office;
    ASSERT_TRUE(registry::addCondominium(office.ws(), input("Alfa", "Via Roma 1")).done);
    auto outcome = registry::addCondominium(office.ws(), input("Alfa ", "Via Roma 1"));
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.texts(), QStringList{"Esiste già un condominio di nome \"Alfa - Via Roma 1\""});
    outcome = registry::addCondominium(office.ws(), input("ALFA", "via roma 1"));
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(count(office, "SELECT COUNT(*) FROM Condomini"), 1);
    EXPECT_EQ(count(office, "SELECT COUNT(*) FROM Anagrafe"), 1);
}

TEST(CondominiumAdd, AwkwardTextIsStoredAsTyped)
{
    Office office;
    const QString longAddress = QString(58, u'x');
    auto in = input("D'Angelo; DROP TABLE Condomini", longAddress);
    in.banca = "Banca \"Popolare\"; '";
    ASSERT_TRUE(registry::addCondominium(office.ws(), in).done);
    const QString full = "D'Angelo; DROP TABLE Condomini - " + longAddress;
    EXPECT_EQ(office.db().scalar("SELECT Nome FROM Condomini").toString(), full);
    EXPECT_EQ(office.db().scalar("SELECT Banca FROM Condomini").toString(), "Banca \"Popolare\"; '");
    EXPECT_TRUE(QFileInfo(outputFolder(office, full + "/Ricevute")).isDir());

    registry::CondominiumInput back;
    ASSERT_TRUE(registry::loadCondominium(office.ws(), full, back));
    EXPECT_EQ(back.nome, "D'Angelo; DROP TABLE Condomini");
    EXPECT_EQ(back.indirizzo, longAddress);
    EXPECT_EQ(back.banca, in.banca);
}

TEST(CondominiumAdd, AFolderThatCannotBeMadeIsReportedButTheRowsStay)
{
    Office office;
    // A plain file where the folder should go.
    QFile blocker(outputFolder(office, "Alfa - Via Roma 1"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const auto outcome = registry::addCondominium(office.ws(), input("Alfa", "Via Roma 1"));
    ASSERT_TRUE(outcome.done);
    ASSERT_EQ(outcome.messages.size(), 1);
    EXPECT_TRUE(outcome.texts().first().startsWith("Impossibile creare la cartella"));
    EXPECT_EQ(count(office, "SELECT COUNT(*) FROM Condomini"), 1);
}

// ---- modifying and renaming ----

class CondominiumRename : public ::testing::Test {
protected:
    const QString alfa = "Alfa - Via Roma 1";
    const QString beta = "Beta - Via Po 2";
    const QString renamed = "Alfa Nuovo - Via Roma 3";

    void SetUp() override
    {
        ASSERT_TRUE(registry::addCondominium(office.ws(), input("Alfa", "Via Roma 1")).done);
        ASSERT_TRUE(registry::addCondominium(office.ws(), input("Beta", "Via Po 2")).done);
        auto& db = office.db();
        for (const QString& c : {alfa, beta}) {
            office.addYear(c, "2014", true);
            db.exec("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, 'A')", {c});
            db.exec("INSERT INTO Locali (IdCondominio, Nome) VALUES (?, 'Int. 1')", {c});
            db.exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, 1, 1, 1000)", {c});
            office.addPerson(c, "Rossi", "Mario");
            db.exec("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo) VALUES (?, 1, '2014', 'Rata 1', 100)", {c});
            db.exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (1, ?)", {c});
            office.addIncome(c, "2014", 100, "Cassa");
            office.addExpense(c, "2014", 50, 0, 0, 0, "Cassa", "", true);
            db.exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) VALUES (?, '2014', 'A', 'Pulizia', 500)", {c});
            db.exec("INSERT INTO Scadenzario (Condominio, Descrizione) VALUES (?, 'Assemblea')", {c});
            db.exec("INSERT INTO Interventi (Condominio, AA, Descrizione) VALUES (?, '2014', 'Idraulico')", {c});
            db.exec("INSERT INTO web.CodiceCondominio (Condominio, IBAN, Intestatario) VALUES (?, 'IT00', 'X')", {c});
            db.exec("INSERT INTO web.Accesso (id, Persona, IdCondominio) VALUES (1, 'Rossi Mario', ?)", {c});
            db.exec("INSERT INTO web.Quote (Condominio, idLocale, NomeQuote, AA) VALUES (?, 1, 'Rata 1', '2014')", {c});
            db.exec("INSERT INTO web.Files (Condominio, AA, File) VALUES (?, '2014', 'verbale.pdf')", {c});
        }
        QFile receipt(outputFolder(office, alfa + "/Ricevute/Ricevuta 1.rtf"));
        ASSERT_TRUE(receipt.open(QIODevice::WriteOnly));
        receipt.write("{\\rtf1}");
        receipt.close();
        office.ws().selection.condominium = alfa;
    }

    // Rows of every register that name `name`, main and web together.
    qint64 rowsNaming(const QString& name)
    {
        qint64 total = 0;
        const char* const columns[][2] = {
            {"AnnoAmministrativo", "idCondominio"}, {"Tabelle", "Id_Condominio"}, {"Locali", "IdCondominio"},
            {"Millesimi", "IdCondominio"}, {"Anagrafe", "idCondominio"}, {"main.Quote", "IdCondominio"},
            {"fornitori_associazione", "IdCondominio"}, {"Entrate", "Condominio"}, {"Uscite", "Condominio"},
            {"Preventivi", "Condominio"}, {"Scadenzario", "Condominio"}, {"Interventi", "Condominio"},
            {"web.CodiceCondominio", "Condominio"}, {"web.Accesso", "IdCondominio"}, {"web.Quote", "Condominio"},
            {"web.Files", "Condominio"}, {"Condomini", "Nome"}, {"Anagrafe", "Cognome"}};
        for (const auto& [table, column] : columns) {
            try {
                total += count(office, QString("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(table, column), {name});
            } catch (const store::StoreError&) {
                // a table a test has dropped
            }
        }
        return total;
    }

    Office office;
};

TEST_F(CondominiumRename, CarriesTheNewNameToEveryRowAndTheFolder)
{
    const qint64 before = rowsNaming(alfa);
    ASSERT_EQ(before, 18);
    auto in = input("Alfa Nuovo", "Via Roma 3");
    in.contoCorrente = "IT99";
    in.intestatario = "Amministrazione";
    const auto outcome = registry::modifyCondominium(office.ws(), in);
    ASSERT_TRUE(outcome.done) << outcome.texts().join('|').toStdString();
    EXPECT_EQ(rowsNaming(alfa), 0);
    EXPECT_EQ(rowsNaming(renamed), before);
    EXPECT_EQ(rowsNaming(beta), 18); // the other condominium is untouched
    EXPECT_EQ(office.db().scalar("SELECT IBAN || '/' || Intestatario FROM web.CodiceCondominio WHERE Condominio = ?",
                                 {renamed}).toString(),
              "IT99/Amministrazione");
    EXPECT_FALSE(QFileInfo(outputFolder(office, alfa)).exists());
    EXPECT_TRUE(QFileInfo(outputFolder(office, renamed + "/Ricevute/Ricevuta 1.rtf")).isFile());
    EXPECT_EQ(office.ws().selection.condominium, renamed);
    EXPECT_EQ(office.ws().selection.shortName, "Alfa Nuovo");
    // The person row keeps standing apart from the persons of the condominium.
    EXPECT_EQ(count(office, "SELECT COUNT(*) FROM Anagrafe WHERE Cognome = ? AND idCondominio IS NULL", {renamed}), 1);
}

TEST_F(CondominiumRename, WithoutAChangeOfNameOnlyTheDataChange)
{
    auto in = input("Alfa", "Via Roma 1");
    in.comune = "Asti";
    ASSERT_TRUE(registry::modifyCondominium(office.ws(), in).done);
    EXPECT_EQ(office.db().scalar("SELECT Comune FROM Condomini WHERE Nome = ?", {alfa}).toString(), "Asti");
    EXPECT_EQ(office.db().scalar("SELECT Comune FROM Condomini WHERE Nome = ?", {beta}).toString(), "Torino");
    EXPECT_EQ(rowsNaming(alfa), 18);
    EXPECT_EQ(count(office, "SELECT COUNT(*) FROM Anagrafe WHERE idCondominio IS NULL"), 2);
}

TEST_F(CondominiumRename, RefusesTheNameOfAnotherCondominium)
{
    const auto outcome = registry::modifyCondominium(office.ws(), input("Beta", "Via Po 2"));
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.texts(), QStringList{"Esiste già un condominio di nome \"Beta - Via Po 2\""});
    EXPECT_EQ(rowsNaming(alfa), 18);
    EXPECT_EQ(rowsNaming(beta), 18);
    // A change of letter case alone is the same condominium, not a clash.
    EXPECT_TRUE(registry::modifyCondominium(office.ws(), input("ALFA", "Via Roma 1")).done);
    EXPECT_EQ(rowsNaming("ALFA - Via Roma 1"), 18);
}

TEST_F(CondominiumRename, RefusesWhenNoCondominiumIsChosen)
{
    office.ws().selection.condominium.clear();
    const auto outcome = registry::modifyCondominium(office.ws(), input("Gamma", "Via Nuova 3"));
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.texts(), QStringList{"Selezionare prima un condominio"});
    EXPECT_EQ(count(office, "SELECT COUNT(*) FROM Condomini WHERE Nome LIKE 'Gamma%'"), 0);
}

TEST_F(CondominiumRename, AFailingWebTableRollsBackEveryRowAndKeepsTheFolder)
{
    test::refuseWrites(office.db(), "web.Files", "UPDATE", "bloccato");
    EXPECT_THROW(registry::modifyCondominium(office.ws(), input("Alfa Nuovo", "Via Roma 3")), store::StoreError);
    EXPECT_EQ(rowsNaming(renamed), 0);
    EXPECT_EQ(rowsNaming(alfa), 18);
    EXPECT_TRUE(QFileInfo(outputFolder(office, alfa + "/Ricevute/Ricevuta 1.rtf")).isFile());
    EXPECT_FALSE(QFileInfo(outputFolder(office, renamed)).exists());
    EXPECT_EQ(office.ws().selection.condominium, alfa);
}

TEST_F(CondominiumRename, AMissingWebTableRollsBackEveryRow)
{
    office.db().exec("DROP TABLE web.Accesso");
    EXPECT_THROW(registry::modifyCondominium(office.ws(), input("Alfa Nuovo", "Via Roma 3")), store::StoreError);
    EXPECT_EQ(rowsNaming(renamed), 0);
    EXPECT_EQ(rowsNaming(alfa), 18 - 1);
}

TEST_F(CondominiumRename, AForeignFolderUnderTheNewNameStopsTheRename)
{
    ASSERT_TRUE(QDir().mkpath(outputFolder(office, renamed)));
    const auto outcome = registry::modifyCondominium(office.ws(), input("Alfa Nuovo", "Via Roma 3"));
    EXPECT_FALSE(outcome.done);
    ASSERT_EQ(outcome.messages.size(), 1);
    EXPECT_TRUE(outcome.texts().first().startsWith("La cartella"));
    EXPECT_EQ(rowsNaming(alfa), 18);
    EXPECT_TRUE(QFileInfo(outputFolder(office, alfa + "/Ricevute/Ricevuta 1.rtf")).isFile());
}

TEST_F(CondominiumRename, AFolderThatCannotBeRenamedRollsBackEveryRow)
{
    // A name longer than a file name may be: the rows could take it, the folder cannot.
    const QString tooLong = QString(150, QChar(0x00E8));
    const auto outcome = registry::modifyCondominium(office.ws(), input(tooLong, "Via Roma 3"));
    EXPECT_FALSE(outcome.done);
    ASSERT_EQ(outcome.messages.size(), 1);
    EXPECT_TRUE(outcome.texts().first().startsWith("Impossibile rinominare la cartella"));
    EXPECT_EQ(rowsNaming(alfa), 18);
    EXPECT_EQ(rowsNaming(tooLong + " - Via Roma 3"), 0);
    EXPECT_TRUE(QFileInfo(outputFolder(office, alfa + "/Ricevute/Ricevuta 1.rtf")).isFile());
    EXPECT_EQ(office.ws().selection.condominium, alfa);
}

TEST_F(CondominiumRename, ACondominiumWithoutFolderGetsOneUnderTheNewName)
{
    ASSERT_TRUE(QDir(outputFolder(office, alfa)).removeRecursively());
    ASSERT_TRUE(registry::modifyCondominium(office.ws(), input("Alfa Nuovo", "Via Roma 3")).done);
    EXPECT_TRUE(QFileInfo(outputFolder(office, renamed + "/Ricevute")).isDir());
    EXPECT_EQ(rowsNaming(renamed), 18);
}

TEST_F(CondominiumRename, APersonRowLostEarlierIsMadeAgain)
{
    office.db().exec("DELETE FROM Anagrafe WHERE Cognome = ?", {alfa});
    ASSERT_TRUE(registry::modifyCondominium(office.ws(), input("Alfa", "Via Roma 1")).done);
    EXPECT_EQ(count(office, "SELECT COUNT(*) FROM Anagrafe WHERE Cognome = ? AND idCondominio IS NULL", {alfa}), 1);
}

TEST_F(CondominiumRename, AProbeFolderLeftByAStoppedRunNeitherBlocksNorStays)
{
    // A run stopped between trying the new name and removing the trial leaves it behind.
    const QString probes = office.ws().paths().databaseFolder() + "/prova-nome-cartella";
    ASSERT_TRUE(QDir().mkpath(probes + "/" + renamed));
    const auto outcome = registry::modifyCondominium(office.ws(), input("Alfa Nuovo", "Via Roma 3"));
    ASSERT_TRUE(outcome.done) << outcome.texts().join('|').toStdString();
    EXPECT_TRUE(QFileInfo(outputFolder(office, renamed + "/Ricevute/Ricevuta 1.rtf")).isFile());
    EXPECT_FALSE(QFileInfo::exists(probes));
    // Nothing of the trial reaches the folders of the condominiums.
    EXPECT_EQ(QDir(office.ws().paths().outputFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList({renamed, beta}));
}
