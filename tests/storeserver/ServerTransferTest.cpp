// "Trasferisci su server": an office kept in files, with rows in most of its tables, copied into an
// empty server database and read back the same through its registers; the server's key counters
// going on from the highest key copied; a second transfer into the database, now full, refused
// without a change. Runs when VELCARIS_TEST_PG names a server (as ServerStoreTest.cpp, in a
// database of its own), otherwise skipped.
#include "cashbook/Payments.h"
#include "cashbook/ReceiptNumbers.h"
#include "store/Schema.h"
#include "store/ServerTransfer.h"
#include "support/Office.h"
#include "support/SameRead.h"

#include <QCoreApplication>
#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

using namespace velcaris;
using namespace velcaris::store;

namespace {

#define REQUIRE_SERVER()                                                                   \
    if (!velcaris::test::serverAvailable())                                                \
    GTEST_SKIP() << "VELCARIS_TEST_PG non impostata: nessun server PostgreSQL per i test"

const QString kAncora = QString::fromUtf8("Residenza l'Àncora - Via Po 2");
const QString kCortile = QString::fromUtf8("Il \"Cortile\" - Corso Re 3");

// Two condominiums with years, a millesimal table, owners and a tenant, units, quotas in both
// databases paid by two receipts, a special income whose receipt number is blank, expenses of a
// supplier, budget, deadlines, an intervention, a meeting, a lookup value and the general memo of
// the user's; a column and a table that only an older or foreign file has.
void fillOffice(test::Office& o)
{
    Database& db = o.db();
    o.addCondominium(kAncora);
    o.addCondominium(kCortile);
    db.exec("UPDATE Condomini SET Codice_fiscale = '80012345678', Memo = ? WHERE Nome = ?",
            {QString::fromUtf8("Caldaia: revisione a ottobre.\nAmministratore dal 2019 — «nota» con l'apostrofo"), kAncora});
    o.addYear(kAncora, "2023", false);
    o.addYear(kAncora, "2024", true);
    o.addYear(kCortile, "2024", true);
    db.exec("INSERT INTO Tabelle (Id_Condominio, Nome, Descrizione, \"Proprietà\") VALUES (?, 'Generale', ?, 'sì')",
            {kAncora, QString::fromUtf8("Proprietà generale")});
    const qint64 table = db.lastInsertId();
    const qint64 owner = o.addPerson(kAncora, "D'Angelo", QString::fromUtf8("Nicolò"));
    const qint64 tenant = o.addPerson(kAncora, "Verdi", QString());
    db.exec("UPDATE Anagrafe SET Consiglio = 1, Email = 'n.dangelo@example.it', \"Città\" = ? WHERE Id = ?",
            {QString::fromUtf8("Forlì"), owner});
    const qint64 a1 = o.addUnit(kAncora, "A1", owner, owner);
    const qint64 a2 = o.addUnit(kAncora, "A2", owner, tenant);
    db.exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, ?, 500.125), (?, ?, ?, 499.875)",
            {kAncora, a1, table, kAncora, a2, table});
    const struct { qint64 unit; const char* name; double amount; } quotas[] = {
        {a1, "Rata 1", 100.5}, {a2, "Rata 1", 100.5}, {a1, "Rata 2", 60.33}};
    for (const auto& q : quotas) {
        o.addQuota(kAncora, "2024", q.unit, q.name, "Spese ordinarie", q.amount, QDate(2024, 1, 31));
        db.exec("INSERT INTO web.Quote (Condominio, idLocale, NomeQuote, Importo, ImportoPagato, AA, DataScadenza) "
                "VALUES (?, ?, ?, ?, 0, '2024', '2024-01-31')",
                {kAncora, q.unit, QString(q.name), q.amount});
    }
    o.addQuota(kAncora, "2023", a1, "Rata 1", "Spese ordinarie", 90, QDate(2023, 1, 31), 90);

    cashbook::PaymentInput pay;
    pay.condominium = kAncora;
    pay.receiptNumber = cashbook::nextReceiptNumber(o.ws(), kAncora);
    pay.date = QDate(2024, 5, 20);
    pay.method = "Cassa";
    pay.ownerPays = true;
    pay.payerId = owner;
    pay.rows = {{"Rata 1", "150.25", "Spese ordinarie", QString::fromUtf8("acconto «maggio»")},
                {"Rata 2", "60.33", "Spese ordinarie", ""}};
    const app::Outcome first = cashbook::recordPayment(o.ws(), pay);
    ASSERT_TRUE(first.done) << first.texts().join('\n').toStdString();
    pay.receiptNumber = cashbook::nextReceiptNumber(o.ws(), kAncora);
    pay.date = QDate(2024, 6, 3);
    pay.method = "Conto Corrente";
    pay.ownerPays = false;
    pay.payerId = tenant;
    pay.rows = {{"Rata 1", "50.75", "Spese ordinarie", "saldo"}};
    const app::Outcome second = cashbook::recordPayment(o.ws(), pay);
    ASSERT_TRUE(second.done) << second.texts().join('\n').toStdString();
    // A special movement: no receipt, its number left blank as older offices have it.
    db.exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, Importo, MetodoPagamento, Ricevuta, Nota) "
            "VALUES (?, '2024', '2024-02-01', 'Speciale', 10.01, 'Conto Corrente', '', NULL)",
            {kAncora});

    db.exec("INSERT INTO Fornitori (Cognome, Nome, PartitaIVA, IBAN, \"Città\") "
            "VALUES ('Idraulica l''Onda', NULL, '01234567890', 'IT60X0542811101000000123456', ?)",
            {QString::fromUtf8("Forlì")});
    const qint64 supplier = db.lastInsertId();
    db.exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (?, ?), (?, ?)",
            {supplier, kAncora, supplier, kCortile});
    const qint64 paidExpense = o.addExpense(kAncora, "2024", 1220, 1.5, 200, 0.37, "Banca", "Pagata", true);
    o.addExpense(kAncora, "2024", 99.99, 0, 0, 0, "Cassa", "", false);
    db.exec("UPDATE Uscite SET IdFornitore = ?, Causale = ?, DataFattura = '2024-03-28', NumFattura = '12/A' WHERE id = ?",
            {supplier, QString::fromUtf8("Riparazione «urgente» dell'autoclave"), paidExpense});
    db.exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) "
            "VALUES (?, '2024', 'Generale', 'Pulizia scale', 1200.5), (?, '2024', NULL, 'Varie', 12.35)",
            {kAncora, kAncora});
    db.exec("INSERT INTO Scadenzario (Condominio, Soggetto, Descrizione, DataScadenza, Importo, Esito) "
            "VALUES (?, 'Comune', ?, '2024-12-16', 345.67, 0)",
            {kAncora, QString::fromUtf8("IMU «seconda rata»")});
    db.exec("INSERT INTO Interventi (Condominio, AA, Contatto, TipoContatto, Descrizione, Data, Ora, Durata, Concluso) "
            "VALUES (?, '2024', 'D''Angelo', 'Telefono', 'Perdita d''acqua', '2024-03-05', '09:30', '1h', 1)",
            {kAncora});
    // Enough rows that the copy goes in several full batches and a last partial one.
    for (int i = 1; i <= 700; ++i)
        db.exec("INSERT INTO Interventi (Condominio, AA, Contatto, TipoContatto, Descrizione, Data, Ora, Concluso) "
                "VALUES (?, '2024', ?, 'Visita', ?, '2024-05-02', '10:15', ?)",
                {kAncora, QStringLiteral("Contatto %1").arg(i), QStringLiteral("Sopralluogo n. %1").arg(i), i % 2});
    db.exec("INSERT INTO Assemblee (Condominio, AA, Data, Ora, Luogo, Straordinaria, IdTabella) "
            "VALUES (?, '2024', '2024-04-10', '18:00', ?, 1, ?)",
            {kAncora, QString::fromUtf8("Sala «Verdi»"), table});
    db.exec("INSERT INTO Tipologia (Tipologia) VALUES ('Spese d''ascensore')");
    db.exec("UPDATE MemoGenerale SET Memo = 'Promemoria: l''assemblea di aprile'");
    db.exec("INSERT INTO web.CodiceCondominio (Condominio, IBAN, Intestatario) VALUES (?, 'IT02L1234512345123456789012', ?)",
            {kAncora, QString::fromUtf8("Condominio l'Àncora")});
    db.exec("INSERT INTO web.Accesso (id, Persona, \"User\", Password, IdCondominio) VALUES (?, ?, 'ndangelo', ?, ?)",
            {owner, QString::fromUtf8("D'Angelo Nicolò"), QString::fromUtf8("pa'ss:wörd"), kAncora});
    db.exec("INSERT INTO web.Files (Condominio, AA, File, Data) VALUES (?, '2024', 'Verbale 2024.pdf', '2024-04-11')",
            {kAncora});

    db.exec("ALTER TABLE Scadenzario ADD COLUMN Promemoria TEXT");
    db.exec("UPDATE Scadenzario SET Promemoria = 'solo nel file'");
    db.exec("CREATE TABLE Appunti (Testo TEXT)");
    db.exec("INSERT INTO Appunti (Testo) VALUES ('appunto')");
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}


void expectSameRows(Database& file, Database& server, const QString& sql)
{
    SCOPED_TRACE(sql.toStdString());
    Statement f(file, sql), s(server, sql);
    QStringList fileColumns, serverColumns;
    for (int c = 0; c < f.columnCount(); ++c)
        fileColumns << f.columnName(c).toLower();
    for (int c = 0; c < s.columnCount(); ++c)
        serverColumns << s.columnName(c).toLower();
    ASSERT_EQ(fileColumns, serverColumns);
    int rows = 0;
    while (f.step()) {
        ASSERT_TRUE(s.step()) << "il server ha meno righe del file";
        ++rows;
        for (int c = 0; c < fileColumns.size(); ++c)
            EXPECT_TRUE(test::sameCell(f.value(c), s.value(c), true))
                << "riga " << rows << " " << fileColumns[c].toStdString() << ": file "
                << f.value(c).toString().toStdString() << ", server " << s.value(c).toString().toStdString();
    }
    EXPECT_FALSE(s.step()) << "il server ha più righe del file";
    EXPECT_GT(rows, 0) << "nessuna riga da confrontare";
}

QVector<qint64> counts(Database& db, const QStringList& tables)
{
    QVector<qint64> out;
    for (const QString& t : tables)
        out << db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(t)).toLongLong();
    return out;
}

} // namespace

TEST(ServerTransfer, AFileOfficeMovesWholeIntoAnEmptyServerDatabaseAndOnlyOnce)
{
    REQUIRE_SERVER();
    test::Office office;
    ASSERT_NO_FATAL_FAILURE(fillOffice(office));
    const velcaris::test::ServerDatabase scratch(QStringLiteral("tr"));
    const ServerParams server = scratch.params();
    {
        // A database the program has opened once holds only the lookup rows of its making: still empty.
        Database opened;
        openServerDatabase(opened, server, DatabaseKind::Main);
    }
    const QString mainFile = office.ws().paths().mainDatabase(), webFile = office.ws().paths().webDatabase();
    const QByteArray mainBefore = fileBytes(mainFile), webBefore = fileBytes(webFile);
    ASSERT_FALSE(mainBefore.isEmpty());

    const ServerTransferResult done = transferToServer(mainFile, webFile, server);
    ASSERT_TRUE(done.done) << done.message.toStdString();
    EXPECT_EQ(fileBytes(mainFile), mainBefore) << "il file principale è cambiato";
    EXPECT_EQ(fileBytes(webFile), webBefore) << "il file web è cambiato";

    // Every table arrived whole, counted apart on each side; what the server has no place for is named.
    Database onServer, webOnServer;
    openServerDatabase(onServer, server, DatabaseKind::Main);
    openServerDatabase(webOnServer, server, DatabaseKind::Web);
    Database& file = office.db();
    qint64 rows = 0;
    for (const TransferredTable& t : done.tables) {
        const QString name = t.schema + u'.' + quoteIdentifier(t.name);
        const qint64 inFile = file.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(name)).toLongLong();
        EXPECT_EQ(onServer.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(name)).toLongLong(), inFile)
            << name.toStdString();
        EXPECT_EQ(t.serverRows, inFile) << name.toStdString();
        EXPECT_EQ(t.fileOnlyColumns.isEmpty(), t.name != "Scadenzario") << name.toStdString();
        EXPECT_EQ(t.blanksAsNull, t.schema == "main" && t.name == "Entrate" ? 1 : 0) << name.toStdString();
        rows += inFile;
    }
    EXPECT_EQ(done.rowsCopied(), rows);
    EXPECT_GE(done.tables.size(), 30);
    EXPECT_EQ(done.notCopied, QStringList({"main.Appunti"}));
    const auto scadenzario = std::find_if(done.tables.cbegin(), done.tables.cend(),
                                          [](const TransferredTable& t) { return t.name == "Scadenzario"; });
    ASSERT_NE(scadenzario, done.tables.cend());
    EXPECT_EQ(scadenzario->fileOnlyColumns, QStringList({"Promemoria"}));
    EXPECT_TRUE(done.message.contains("Scadenzario.Promemoria")) << done.message.toStdString();

    // The registers read the same rows from the files and from the server.
    const char* mainReads[] = {
        "SELECT * FROM QueryEntrateAC ORDER BY Id",
        "SELECT * FROM QueryUsciteAC ORDER BY id",
        "SELECT * FROM QuerySolleciti ORDER BY IdQuota",
        "SELECT * FROM WEBDBQuote ORDER BY IdQuota",
        "SELECT * FROM QueryLocali ORDER BY Id, IdTabella",
        "SELECT * FROM QueryFornitoriCompleta ORDER BY id",
        "SELECT * FROM QueryInterventiAC ORDER BY Id",
        "SELECT * FROM QuerySommaEntrateAC ORDER BY MetodoPagamento",
        "SELECT Nome, Codice_fiscale, Memo FROM Condomini ORDER BY Nome",
        "SELECT Id, Cognome, Nome, \"Città\", Consiglio FROM Anagrafe ORDER BY Id",
        "SELECT Id, Tipologia FROM Tipologia ORDER BY Id",
        "SELECT Memo FROM MemoGenerale",
        "SELECT IdEntrata, IdQuota, Importo, ImportoWeb FROM PagamentiQuote ORDER BY IdEntrata, IdQuota",
        "SELECT Condominio, AA, Ultimo FROM NumeriRicevute ORDER BY Condominio",
        "SELECT Id, Condominio, Data, Ora, Luogo, Straordinaria, IdTabella FROM Assemblee ORDER BY Id",
        "SELECT Id, Soggetto, Descrizione, DataScadenza, Importo, Esito FROM Scadenzario ORDER BY Id",
    };
    for (const char* sql : mainReads)
        expectSameRows(file, onServer, sql);
    const char* webReads[] = {
        "SELECT * FROM Quote ORDER BY Id",
        "SELECT Condominio, IBAN, Intestatario FROM CodiceCondominio ORDER BY Condominio",
        "SELECT id, Persona, \"User\", Password, IdCondominio FROM Accesso ORDER BY id",
        "SELECT * FROM Files ORDER BY Id",
    };
    for (const char* sql : webReads)
        expectSameRows(office.ws().webDb(), webOnServer, sql);

    // A second transfer finds the data there: refused, the server as it was.
    const QStringList watched{"main.Condomini", "main.Entrate", "main.Tipologia", "main.MemoGenerale", "web.Quote"};
    const QVector<qint64> before = counts(onServer, watched);
    const ServerTransferResult again = transferToServer(mainFile, webFile, server);
    EXPECT_FALSE(again.done);
    EXPECT_TRUE(again.message.contains("Condomini (2 righe)")) << again.message.toStdString();
    EXPECT_EQ(counts(onServer, watched), before);

    // Rows added on the server take the keys after the highest copied, also where the server's
    // own lookup rows were replaced by the file's, and on a table keyed by the hidden column.
    onServer.exec("INSERT INTO Entrate (Condominio, AA, Importo) VALUES (?, '2024', 1)", {kAncora});
    EXPECT_EQ(onServer.lastInsertId(), file.scalar("SELECT MAX(id) FROM Entrate").toLongLong() + 1);
    onServer.exec("INSERT INTO Tipologia (Tipologia) VALUES ('Nuova')");
    EXPECT_EQ(onServer.lastInsertId(), 6);
    onServer.exec("INSERT INTO Condomini (Nome) VALUES ('Nuovo')");
    EXPECT_EQ(onServer.lastInsertId(), 3);
    webOnServer.exec("INSERT INTO Quote (Condominio, Importo) VALUES (?, 5)", {kAncora});
    EXPECT_EQ(webOnServer.lastInsertId(), office.ws().webDb().scalar("SELECT MAX(Id) FROM Quote").toLongLong() + 1);
}
