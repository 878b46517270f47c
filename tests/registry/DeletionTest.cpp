#include "foundation/FolderReconcile.h"
#include "foundation/Selection.h"
#include "window/TabLoading.h"
#include "registry/CondominiumDeletion.h"
#include "registry/Condominiums.h"
#include "registry/Deletion.h"
#include "registry/PartyDeletion.h"
#include "registry/ShareDeletion.h"
#include "store/Failpoint.h"
#include "store/StoreError.h"
#include "support/Office.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <unistd.h>
#include <gtest/gtest.h>

using namespace velcaris;
using app::Tab;
using registry::DeletionRequest;
using velcaris::test::Office;

namespace {

// Double quotes cannot be part of a condominium's name (it names a folder); apostrophes can.
const QString alfa = QStringLiteral("L'Alfa Uno - Via dell'Orto 1");
const QString beta = QStringLiteral("Beta - Via Po 2");

qint64 count(Office& office, const QString& sql, const QVector<QVariant>& params = {})
{
    return office.db().scalar(sql, params).toLongLong();
}

// Two condominiums with a bit of everything in both databases; Alfa is chosen.
struct TwoCondominiums {
    Office office;
    qint64 owner = 0, tenant = 0, unit = 0, table = 0, supplier = 0, betaUnit = 0;

    TwoCondominiums()
    {
        for (const QString& name : {alfa, beta}) {
            office.addCondominium(name);
            office.addYear(name, "2014", true);
            office.db().exec("INSERT INTO Anagrafe (Cognome) VALUES (?)", {name});
            office.db().exec("INSERT INTO web.CodiceCondominio (Condominio) VALUES (?)", {name});
            QDir().mkpath(office.ws().paths().outputFolder() + name + "/Ricevute");
        }
        owner = office.addPerson(alfa, "D'Angelo", "Anna");
        tenant = office.addPerson(alfa, "Rossi", "Luca");
        unit = office.addUnit(alfa, "Interno 1", owner, tenant);
        office.db().exec("INSERT INTO TipologieLocali (Tipologia) VALUES ('Appartamento')");
        office.db().exec("UPDATE Locali SET IdTipologia = 'Appartamento'");
        office.db().exec("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, 'Generale')", {alfa});
        table = office.db().lastInsertId();
        office.db().exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?,?,?,1000)",
                         {alfa, unit, table});
        office.addQuota(alfa, "2014", unit, "Rata 1", "Ordinaria", 100, QDate(2014, 3, 1));
        office.db().exec("INSERT INTO web.Quote (Condominio, idLocale, NomeQuote, AA, Importo) VALUES (?,?,'Rata 1','2014',100)",
                         {alfa, unit});
        office.db().exec("INSERT INTO web.Accesso (id, Persona, \"User\", Password, IdCondominio) VALUES (?,'Anna','anna','pw',?)",
                         {owner, alfa});
        office.db().exec("INSERT INTO web.Files (Condominio, AA, File) VALUES (?, '2014', 'bilancio.pdf')", {alfa});
        office.db().exec("INSERT INTO Fornitori (Cognome) VALUES ('Idraulica Sud')");
        supplier = office.db().lastInsertId();
        office.db().exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (?,?)", {supplier, alfa});
        office.addIncome(alfa, "2014", 50, "Cassa", "Importo iniziale");
        // The reasons kept for a quota.
        office.db().exec("INSERT INTO Ripartizioni (Condominio, AA, NumeroRate) VALUES (?, '2014', 1)", {alfa});
        office.db().exec("INSERT INTO RipartizioniLocali (IdRipartizione, IdLocale) VALUES (?, ?)", {office.db().lastInsertId(), unit});
        const qint64 reasons = office.db().lastInsertId();
        office.db().exec("INSERT INTO RipartizioniTabelle (IdRipartizioneLocale, Tabella) VALUES (?, 'Generale')", {reasons});
        office.db().exec("INSERT INTO QuoteRipartizioni (IdQuota, IdRipartizioneLocale) SELECT IdQuota, ? FROM Quote WHERE IdLocale = ?",
                         {reasons, unit});
        office.addExpense(alfa, "2014", 100, 0, 0, 0, "Cassa", "", true);
        office.db().exec("INSERT INTO NumeriRicevute (Condominio, AA, Ultimo) VALUES (?, '2014', 3)", {alfa});

        const qint64 betaOwner = office.addPerson(beta, "Bianchi");
        betaUnit = office.addUnit(beta, "Negozio", betaOwner);
        office.addQuota(beta, "2014", betaUnit, "Rata 1", "Ordinaria", 70, QDate(2014, 3, 1));
        office.db().exec("INSERT INTO web.Quote (Condominio, idLocale, NomeQuote, AA, Importo) VALUES (?,?,'Rata 1','2014',70)",
                         {beta, betaUnit});
        app::chooseCondominium(office.ws(), alfa);
    }

    // Rows of both databases that carry `name`, table by table.
    qint64 rowsOf(const QString& name)
    {
        qint64 n = 0;
        for (const char* sql : {"SELECT COUNT(*) FROM Condomini WHERE Nome = ?", "SELECT COUNT(*) FROM Anagrafe WHERE Cognome = ?1 OR idCondominio = ?1",
                                "SELECT COUNT(*) FROM Locali WHERE IdCondominio = ?", "SELECT COUNT(*) FROM Quote WHERE IdCondominio = ?",
                                "SELECT COUNT(*) FROM Tabelle WHERE Id_Condominio = ?", "SELECT COUNT(*) FROM Millesimi WHERE IdCondominio = ?",
                                "SELECT COUNT(*) FROM AnnoAmministrativo WHERE idCondominio = ?", "SELECT COUNT(*) FROM Entrate WHERE Condominio = ?",
                                "SELECT COUNT(*) FROM Uscite WHERE Condominio = ?", "SELECT COUNT(*) FROM fornitori_associazione WHERE IdCondominio = ?",
                                "SELECT COUNT(*) FROM web.CodiceCondominio WHERE Condominio = ?", "SELECT COUNT(*) FROM web.Quote WHERE Condominio = ?",
                                "SELECT COUNT(*) FROM web.Accesso WHERE IdCondominio = ?", "SELECT COUNT(*) FROM web.Files WHERE Condominio = ?",
                                "SELECT COUNT(*) FROM Ripartizioni WHERE Condominio = ?",
                                "SELECT COUNT(*) FROM NumeriRicevute WHERE Condominio = ?"})
            n += count(office, QString::fromLatin1(sql), {name});
        return n;
    }
};

} // namespace

// ---- the questions and the refusals before them ----

TEST(DeletionQuestion, EmptyRegistersAndMissingChoicesStopBeforeAnyQuestion)
{
    Office office;
    office.addCondominium(beta);
    DeletionRequest uscite{Tab::Uscite};
    uscite.keys = {1};
    auto q = registry::deletionQuestion(office.ws(), uscite);
    ASSERT_TRUE(q.refused());
    EXPECT_EQ(q.refusal.texts(), QStringList{"Non ci sono dati da cancellare"});

    q = registry::deletionQuestion(office.ws(), DeletionRequest{Tab::Condomini});
    EXPECT_EQ(q.refusal.texts(), QStringList{"Selezionare un condominio"});

    DeletionRequest tables{Tab::Condomini, true};
    EXPECT_EQ(registry::deletionQuestion(office.ws(), tables).refusal.texts(), QStringList{"Non ci sono dati da cancellare"});

    // Memo and Stampe delete nothing and ask nothing.
    for (Tab tab : {Tab::Memo, Tab::Stampe}) {
        q = registry::deletionQuestion(office.ws(), DeletionRequest{tab});
        EXPECT_FALSE(q.refused());
        EXPECT_TRUE(q.question.isEmpty());
    }
}

TEST(DeletionQuestion, EachTabAsksItsOwnQuestion)
{
    TwoCondominiums f;
    auto ask = [&](DeletionRequest r) {
        app::LoadActiveTab(f.office.ws(), r.tab, {});
        const auto q = registry::deletionQuestion(f.office.ws(), r);
        return q.refused() ? q.refusal.texts().join('|') : q.question;
    };
    EXPECT_TRUE(ask({Tab::Condomini}).endsWith("Sicuro di voler continuare?\""));
    EXPECT_TRUE(ask({Tab::Condomini}).startsWith("ATTENZIONE: l'eliminazione del Condominio comporterà"));
    DeletionRequest unit{Tab::Locali};
    unit.keys = {f.unit};
    EXPECT_EQ(ask(unit), "Vuoi cancellare il locale selezionato?");
    DeletionRequest quota{Tab::Quote};
    quota.quotaName = "Rata \"1\"";
    EXPECT_EQ(ask(quota), "Vuoi cancellare la quota \"Rata \"1\"\"");
    DeletionRequest table{Tab::Condomini, true};
    table.tableId = f.table;
    EXPECT_EQ(ask(table), "L'eliminazione della tabella Generale comporterà la cancellazione di tutte le uscite correlate. Continuare?");
    DeletionRequest supplier{Tab::Fornitori};
    supplier.keys = {f.supplier};
    EXPECT_EQ(ask(supplier), "Vuoi cancellare il fornitore dall'elenco dei fornitori del condominio?");
    app::clearCondominium(f.office.ws(), QString());
    EXPECT_EQ(ask(supplier), "Vuoi cancellare il fornitore selezionato?");
    DeletionRequest nothingSelected{Tab::Locali};
    EXPECT_TRUE(registry::deletionQuestion(f.office.ws(), nothingSelected).refused());
}

// ---- condominiums ----

TEST(CondominiumDeletion, RemovesEveryRowInBothDatabasesAndTheFolderAndLeavesTheOtherCondominium)
{
    TwoCondominiums f;
    const qint64 betaBefore = f.rowsOf(beta);
    ASSERT_GT(f.rowsOf(alfa), 14);
    QFile receipt(f.office.ws().paths().outputFolder() + alfa + "/Ricevute/Ricevuta n.1 - A.A.2014.rtf");
    ASSERT_TRUE(receipt.open(QIODevice::WriteOnly));
    receipt.close();

    const auto outcome = registry::deleteCondominium(f.office.ws());
    ASSERT_TRUE(outcome.done) << outcome.texts().join('|').toStdString();
    EXPECT_TRUE(outcome.messages.isEmpty());
    EXPECT_EQ(f.rowsOf(alfa), 0);
    EXPECT_EQ(f.rowsOf(beta), betaBefore);
    for (const char* table : {"RipartizioniLocali", "RipartizioniTabelle", "QuoteRipartizioni"})
        EXPECT_EQ(count(f.office, QStringLiteral("SELECT COUNT(*) FROM %1").arg(QString::fromLatin1(table))), 0) << table;
    EXPECT_FALSE(QFileInfo::exists(f.office.ws().paths().outputFolder() + alfa));
    EXPECT_TRUE(QFileInfo(f.office.ws().paths().outputFolder() + beta + "/Ricevute").isDir());
    EXPECT_TRUE(f.office.ws().selection.condominium.isEmpty());
    // The supplier itself is everybody's and stays.
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Fornitori"), 1);
}

TEST(CondominiumDeletion, ANewCondominiumOfTheSameNameStartsEmpty)
{
    TwoCondominiums f;
    ASSERT_TRUE(registry::deleteCondominium(f.office.ws()).done);
    registry::CondominiumInput in;
    in.nome = "L'Alfa Uno";
    in.indirizzo = "Via dell'Orto 1";
    ASSERT_TRUE(registry::addCondominium(f.office.ws(), in).done);
    // Only the new Condomini row and its own person row.
    EXPECT_EQ(f.rowsOf(alfa), 2);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM web.Accesso"), 0);
}

TEST(CondominiumDeletion, AFailureBetweenTheDatabasesLeavesRowsAndFolderAsTheyWere)
{
    TwoCondominiums f;
    const qint64 before = f.rowsOf(alfa);
    store::setFailpointHandler([](const char* name) {
        if (std::strcmp(name, "condominio.eliminazione.tra-i-database") == 0)
            throw store::StoreError(QStringLiteral("disco pieno"));
    });
    EXPECT_THROW(registry::deleteCondominium(f.office.ws()), store::StoreError);
    store::setFailpointHandler({});
    EXPECT_EQ(f.rowsOf(alfa), before);
    EXPECT_TRUE(QFileInfo(f.office.ws().paths().outputFolder() + alfa + "/Ricevute").isDir());
    EXPECT_EQ(f.office.ws().selection.condominium, alfa);
}

// A stop between the deletion's commit and the folder's removal: the next start removes the
// folder. A folder of the same name that is there all the same (made by hand, or left by an older
// version) goes aside when a new condominium takes the name: it never inherits old documents.
TEST(CondominiumDeletion, AStopAfterTheCommitLeavesNoFolderToInherit)
{
    TwoCondominiums f;
    const QString output = f.office.ws().paths().outputFolder();
    QFile receipt(output + alfa + "/Ricevute/Ricevuta n.1 - A.A.2014.rtf");
    ASSERT_TRUE(receipt.open(QIODevice::WriteOnly));
    receipt.close();
    store::setFailpointHandler([](const char* name) {
        if (std::strcmp(name, "condominio.eliminazione.dopo-il-commit") == 0)
            throw store::StoreError(QStringLiteral("arresto simulato"));
    });
    EXPECT_THROW(registry::deleteCondominium(f.office.ws()), store::StoreError);
    store::setFailpointHandler({});
    EXPECT_EQ(f.rowsOf(alfa), 0);
    ASSERT_TRUE(QFileInfo::exists(receipt.fileName()));
    {
        app::Workspace next{f.office.ws().paths()};
        ASSERT_EQ(next.startUp(), QString());
        EXPECT_FALSE(QFileInfo::exists(output + alfa));
        EXPECT_TRUE(QFileInfo(output + beta + "/Ricevute").isDir());
        EXPECT_FALSE(QFileInfo::exists(app::pendingFolderRenameFile(f.office.ws().paths())));
    }

    QDir().mkpath(output + alfa + "/Ricevute");
    ASSERT_TRUE(receipt.open(QIODevice::WriteOnly));
    receipt.close();
    registry::CondominiumInput in;
    in.nome = "L'Alfa Uno";
    in.indirizzo = "Via dell'Orto 1";
    const QString archive = registry::archivedFolderName(output + alfa, QDate::currentDate());
    const app::Outcome added = registry::addCondominium(f.office.ws(), in);
    ASSERT_TRUE(added.done) << added.texts().join('|').toStdString();
    EXPECT_TRUE(added.texts().join('|').contains(QDir::toNativeSeparators(archive))) << added.texts().join('|').toStdString();
    EXPECT_TRUE(QFileInfo::exists(archive + "/Ricevute/Ricevuta n.1 - A.A.2014.rtf"));
    EXPECT_TRUE(QDir(output + alfa + "/Ricevute").isEmpty());
}

TEST(CondominiumDeletion, AFolderThatCannotGoIsReportedAndTheRowsAreGone)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root removes read-only folders";
    TwoCondominiums f;
    const QString locked = f.office.ws().paths().outputFolder() + alfa + "/Verbali";
    ASSERT_TRUE(QDir().mkpath(locked));
    QFile file(locked + "/verbale.rtf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    const auto outcome = registry::deleteCondominium(f.office.ws());
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(outcome.done);
    ASSERT_EQ(outcome.messages.size(), 1);
    EXPECT_TRUE(outcome.messages.first().text.contains("non è stata eliminata"));
    EXPECT_EQ(f.rowsOf(alfa), 0);
}

// ---- persons and suppliers ----

TEST(PersonDeletion, AnOwnerOrTenantIsRefusedByNameAndNobodyGoes)
{
    TwoCondominiums f;
    const qint64 free = f.office.addPerson(alfa, "Verdi", "Gino");
    auto outcome = registry::deletePersons(f.office.ws(), {free, f.tenant});
    ASSERT_FALSE(outcome.done);
    EXPECT_EQ(outcome.texts(), QStringList{"La persona \"Rossi Luca\" non può essere eliminata poichè ha un'associazione con uno o più locali"});
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Anagrafe WHERE Id = ?", {free}), 1);

    f.office.db().exec("INSERT INTO web.Accesso (id, Persona, IdCondominio) VALUES (?, 'Gino', ?)", {free, alfa});
    outcome = registry::deletePersons(f.office.ws(), {free});
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Anagrafe WHERE Id = ?", {free}), 0);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM web.Accesso WHERE id = ?", {free}), 0);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM web.Accesso WHERE id = ?", {f.owner}), 1);
}

TEST(SupplierDeletion, CurrentYearExpensesKeepTheAssociationEarlierOnesDoNot)
{
    TwoCondominiums f;
    f.office.db().exec("UPDATE Uscite SET IdFornitore = ?, AA = '2013'", {f.supplier});
    auto outcome = registry::removeSupplierFromCondominium(f.office.ws(), f.supplier);
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM fornitori_associazione"), 0);

    f.office.db().exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (?,?)", {f.supplier, alfa});
    f.office.db().exec("UPDATE Uscite SET AA = '2014'");
    outcome = registry::removeSupplierFromCondominium(f.office.ws(), f.supplier);
    EXPECT_EQ(outcome.texts(), QStringList{registry::kSupplierHasExpenses});
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM fornitori_associazione"), 1);
}

TEST(SupplierDeletion, AssociatedOrWithAnyExpenseStaysOtherwiseGoes)
{
    TwoCondominiums f;
    app::clearCondominium(f.office.ws(), QString());
    EXPECT_EQ(registry::deleteSuppliers(f.office.ws(), {f.supplier}).texts(), QStringList{registry::kSupplierAssociated});
    f.office.db().exec("DELETE FROM fornitori_associazione");
    // An expense of an earlier year still names it: the tax reports of that year need it.
    f.office.db().exec("UPDATE Uscite SET IdFornitore = ?, AA = '2010'", {f.supplier});
    EXPECT_EQ(registry::deleteSuppliers(f.office.ws(), {f.supplier}).texts(), QStringList{registry::kSupplierHasExpenses});
    f.office.db().exec("DELETE FROM Uscite");
    EXPECT_TRUE(registry::deleteSuppliers(f.office.ws(), {f.supplier}).done);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Fornitori"), 0);
}

// ---- units, quota names, tables ----

TEST(UnitDeletion, TakesThousandthsAndUnpaidQuotasWithTheirWebCopies)
{
    TwoCondominiums f;
    const auto outcome = registry::deleteUnit(f.office.ws(), f.unit);
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Locali WHERE Id = ?", {f.unit}), 0);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Millesimi WHERE IdLocale = ?", {f.unit}), 0);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Quote WHERE IdLocale = ?", {f.unit}), 0);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM web.Quote WHERE idLocale = ?", {f.unit}), 0);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM QuoteRipartizioni"), 0);
    // Its persons and table stay; the other condominium's unit too.
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Anagrafe WHERE Id IN (?, ?)", {f.owner, f.tenant}), 2);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Tabelle WHERE Id = ?", {f.table}), 1);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Quote WHERE IdLocale = ?", {f.betaUnit}), 1);
}

TEST(UnitDeletion, AUnitWithAPaidQuotaIsRefusedAndKeepsEverything)
{
    TwoCondominiums f;
    f.office.addQuota(alfa, "2014", f.unit, "Rata 2", "Ordinaria", 100, QDate(2014, 6, 1), 0.01);
    const auto outcome = registry::deleteUnit(f.office.ws(), f.unit);
    ASSERT_FALSE(outcome.done);
    EXPECT_EQ(outcome.texts(), QStringList{registry::kUnitHasPayments});
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Quote WHERE IdLocale = ?", {f.unit}), 2);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Millesimi WHERE IdLocale = ?", {f.unit}), 1);
}

TEST(QuotaNameDeletion, RemovesTheNameInTheCurrentYearOnlyWithItsWebCopies)
{
    TwoCondominiums f;
    f.office.addYear(alfa, "2013", false);
    f.office.addQuota(alfa, "2013", f.unit, "Rata 1", "Ordinaria", 90, QDate(2013, 3, 1));
    f.office.addQuota(alfa, "2014", f.unit, "Rata 2", "Ordinaria", 90, QDate(2014, 6, 1));
    ASSERT_TRUE(registry::deleteQuotaName(f.office.ws(), "Rata 1").done);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Quote WHERE IdCondominio = ? AND NomeQuote = 'Rata 1' AND AA = '2014'", {alfa}), 0);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Quote WHERE IdCondominio = ? AND AA = '2013'", {alfa}), 1);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Quote WHERE IdCondominio = ? AND NomeQuote = 'Rata 2'", {alfa}), 1);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM web.Quote WHERE Condominio = ?", {alfa}), 0);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Quote WHERE IdCondominio = ?", {beta}), 1);
    // A name with a payment on any unit stays whole.
    f.office.addQuota(alfa, "2014", f.unit, "Rata 3", "Ordinaria", 90, QDate(2014, 9, 1), 10);
    f.office.addQuota(alfa, "2014", f.betaUnit, "Rata 3", "Ordinaria", 90, QDate(2014, 9, 1));
    EXPECT_EQ(registry::deleteQuotaName(f.office.ws(), "Rata 3").texts(), QStringList{registry::quotaNamePaidMessage("Rata 3")});
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Quote WHERE NomeQuote = 'Rata 3'"), 2);
    f.office.db().exec("DELETE FROM Quote WHERE NomeQuote = 'Rata 3'");
    // A column title that is no quota name deletes nothing.
    ASSERT_TRUE(registry::deleteQuotaName(f.office.ws(), "Proprietario").done);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Quote"), 3);
}

TEST(TableDeletion, TakesItsThousandthsAndExpensesKeepsBudgetItems)
{
    TwoCondominiums f;
    f.office.db().exec("UPDATE Uscite SET Tabella = 'Generale'");
    f.office.db().exec("INSERT INTO Uscite (Condominio, AA, Tabella) VALUES (?, '2014', 'Scale')", {alfa});
    f.office.db().exec("INSERT INTO Preventivi (Condominio, AA, Tabella, Spesa) VALUES (?, '2014', 'Generale', 10)", {alfa});
    ASSERT_TRUE(registry::deleteMillesimalTable(f.office.ws(), f.table).done);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Tabelle"), 0);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Millesimi"), 0);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Uscite"), 1);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Preventivi"), 1);
}

TEST(RowDeletion, TheTabsOfSingleRowsDeleteTheCurrentRowOnly)
{
    TwoCondominiums f;
    f.office.addExpense(alfa, "2014", 20, 0, 0, 0, "Cassa", "", true);
    const qint64 first = count(f.office, "SELECT MIN(id) FROM Uscite");
    DeletionRequest r{Tab::Uscite};
    r.keys = {first};
    ASSERT_TRUE(registry::deleteSelected(f.office.ws(), r).done);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Uscite"), 1);
    EXPECT_EQ(count(f.office, "SELECT COUNT(*) FROM Uscite WHERE id = ?", {first}), 0);
}
