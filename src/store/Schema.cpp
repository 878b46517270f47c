#include "store/Schema.h"

#include "store/AddedTables.h"
#include "store/ServerSchema.h"
#include "store/ServerSql.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace velcaris::store {

namespace {

// Registers of the main database. Types are declared so that the program can tell dates (DATE),
// times (TIME) and flags (BOOLEAN) from the catalogue; amounts and thousandths are DOUBLE.
const char* const kMainTables = R"SQL(
CREATE TABLE Condomini (
    Nome TEXT, Comune TEXT, Codice_fiscale TEXT, Conto_corrente TEXT, Intestatario TEXT,
    Banca TEXT, Ascensore TEXT, Sezione_urbana TEXT, Foglio TEXT, Particella TEXT, Sub TEXT,
    Zona_censuaria TEXT, Microzona TEXT, Memo TEXT, Tabelle_millesimali TEXT);
CREATE TABLE AnnoAmministrativo (
    id INTEGER PRIMARY KEY AUTOINCREMENT, idCondominio TEXT, nome TEXT,
    data_inizio DATE, data_fine DATE, approvato BOOLEAN DEFAULT 0, corrente BOOLEAN DEFAULT 0);
CREATE TABLE Tabelle (
    Id INTEGER PRIMARY KEY AUTOINCREMENT, Id_Condominio TEXT, Nome TEXT, Descrizione TEXT,
    Colore TEXT, "Proprietà" TEXT);
CREATE TABLE Locali (
    Id INTEGER PRIMARY KEY AUTOINCREMENT, IdCondominio TEXT, Nome TEXT,
    idProprietario INTEGER, idInquilino INTEGER, IdTipologia TEXT, Piano TEXT, Scala TEXT,
    Foglio TEXT, Particella TEXT, Sub TEXT,
    PartecipazioneORD INTEGER DEFAULT 100, PartecipazioneSTR INTEGER DEFAULT 100);
CREATE TABLE Millesimi (
    IdCondominio TEXT, IdLocale INTEGER, IdTabella INTEGER, Millesimi DOUBLE);
CREATE TABLE Anagrafe (
    Id INTEGER PRIMARY KEY AUTOINCREMENT, idCondominio TEXT, Cognome TEXT, Nome TEXT,
    Indirizzo TEXT, CAP TEXT, "Città" TEXT, CodiceFiscale TEXT, Telefono TEXT, Mobile TEXT,
    Fax TEXT, Email TEXT, Note TEXT, Comunicazioni TEXT, Consiglio BOOLEAN DEFAULT 0,
    UserID TEXT, Password TEXT);
CREATE TABLE Fornitori (
    id INTEGER PRIMARY KEY AUTOINCREMENT, Cognome TEXT, Nome TEXT, Indirizzo TEXT, CAP TEXT,
    "Città" TEXT, CodiceFiscale TEXT, PartitaIVA TEXT, Telefono TEXT, Mobile TEXT, Fax TEXT,
    Email TEXT, IBAN TEXT, Note TEXT);
CREATE TABLE fornitori_associazione (IdFornitore INTEGER, IdCondominio TEXT);
CREATE TABLE Preventivi (
    Id INTEGER PRIMARY KEY AUTOINCREMENT, Condominio TEXT, AA TEXT, Tabella TEXT,
    DescrizioneVoceSpesa TEXT, Spesa DOUBLE);
CREATE TABLE Quote (
    IdQuota INTEGER PRIMARY KEY AUTOINCREMENT, IdCondominio TEXT, IdLocale INTEGER, AA TEXT,
    NomeQuote TEXT, Importo DOUBLE, ImportoPagato DOUBLE DEFAULT 0, DataScadenza DATE,
    Tipologia TEXT, Note TEXT, PagabiliSiNo BOOLEAN DEFAULT 0, idEntrata INTEGER DEFAULT 0);
CREATE TABLE Entrate (
    id INTEGER PRIMARY KEY AUTOINCREMENT, Condominio TEXT, AA TEXT, Data DATE,
    TipoMovimento TEXT, IdPersona INTEGER, Nome TEXT, Importo DOUBLE, MetodoPagamento TEXT,
    Tipologia TEXT, Ricevuta INTEGER, Nota TEXT);
CREATE TABLE Uscite (
    id INTEGER PRIMARY KEY AUTOINCREMENT, Condominio TEXT, AA TEXT, TipoMovimento TEXT,
    IdFornitore INTEGER, Tabella TEXT, TipoSpesa TEXT, Tipologia TEXT, Causale TEXT,
    NumFattura TEXT, DataFattura DATE, DataPagamento DATE, Pagamento TEXT,
    pagato BOOLEAN DEFAULT 0, ImportoLordo DOUBLE, ImponibileIVA DOUBLE, IVA DOUBLE,
    Commissione DOUBLE, MetodoRitenuta TEXT, ImportoNetto DOUBLE, RitenuteOperate DOUBLE,
    Interessi DOUBLE, PeriodoRiferimento DATE, DataRitenuta DATE, Ravvedimento BOOLEAN DEFAULT 0,
    CodTributo TEXT, Nota TEXT);
CREATE TABLE Scadenzario (
    Id INTEGER PRIMARY KEY AUTOINCREMENT, Condominio TEXT, Soggetto TEXT, Descrizione TEXT,
    DataScadenza DATE, Importo DOUBLE, Esito BOOLEAN DEFAULT 0, Note TEXT);
CREATE TABLE Interventi (
    Id INTEGER PRIMARY KEY AUTOINCREMENT, Condominio TEXT, AA TEXT, Contatto TEXT,
    TipoContatto TEXT, Descrizione TEXT, Data DATE, Ora TIME, Durata TEXT,
    Concluso BOOLEAN DEFAULT 0);
CREATE TABLE MemoGenerale (Memo TEXT);
CREATE TABLE Tipologia (Id INTEGER PRIMARY KEY AUTOINCREMENT, Tipologia TEXT);
CREATE TABLE TipoAvvisi (Id INTEGER PRIMARY KEY AUTOINCREMENT, Tipo TEXT);
CREATE TABLE TipologieLocali (Id INTEGER PRIMARY KEY AUTOINCREMENT, Tipologia TEXT);

CREATE INDEX CondominiNome ON Condomini (Nome);
CREATE INDEX AnnoAmministrativoCorrente ON AnnoAmministrativo (idCondominio, corrente);
CREATE INDEX AnnoAmministrativoNome ON AnnoAmministrativo (idCondominio, nome);
CREATE INDEX TabelleCondominio ON Tabelle (Id_Condominio, Nome);
CREATE INDEX LocaliCondominio ON Locali (IdCondominio);
CREATE INDEX LocaliProprietario ON Locali (idProprietario);
CREATE INDEX LocaliInquilino ON Locali (idInquilino);
CREATE INDEX MillesimiLocale ON Millesimi (IdLocale);
CREATE INDEX MillesimiTabella ON Millesimi (IdTabella);
CREATE INDEX MillesimiCondominio ON Millesimi (IdCondominio);
CREATE INDEX AnagrafeCondominio ON Anagrafe (idCondominio);
CREATE INDEX AnagrafeCognome ON Anagrafe (Cognome);
CREATE INDEX AssociazioneFornitore ON fornitori_associazione (IdFornitore);
CREATE INDEX AssociazioneCondominio ON fornitori_associazione (IdCondominio);
CREATE INDEX PreventiviCondominio ON Preventivi (Condominio, AA, Tabella);
CREATE INDEX QuoteCondominio ON Quote (IdCondominio, AA);
CREATE INDEX QuoteLocale ON Quote (IdLocale, AA, NomeQuote);
CREATE INDEX QuoteEntrata ON Quote (idEntrata);
CREATE INDEX EntrateCondominio ON Entrate (Condominio, AA);
CREATE INDEX EntrateRicevuta ON Entrate (Condominio, AA, Ricevuta);
CREATE INDEX EntratePersona ON Entrate (IdPersona);
CREATE INDEX UsciteCondominio ON Uscite (Condominio, AA);
CREATE INDEX UsciteFornitore ON Uscite (IdFornitore);
CREATE INDEX UsciteTabella ON Uscite (Condominio, Tabella);
CREATE INDEX ScadenzarioCondominio ON Scadenzario (Condominio);
CREATE INDEX InterventiCondominio ON Interventi (Condominio, AA);
)SQL";

// Lookup values, in the order the program relies on.
const char* const kMainSeed = R"SQL(
INSERT INTO Tipologia (Tipologia) VALUES ('Spese personali');
INSERT INTO Tipologia (Tipologia) VALUES ('Spese ordinarie');
INSERT INTO Tipologia (Tipologia) VALUES ('Spese riscaldamento');
INSERT INTO Tipologia (Tipologia) VALUES ('Spese straordinarie');
INSERT INTO TipoAvvisi (Tipo) VALUES ('Raccomandata');
INSERT INTO TipoAvvisi (Tipo) VALUES ('E-mail');
INSERT INTO TipoAvvisi (Tipo) VALUES ('PEC');
INSERT INTO TipoAvvisi (Tipo) VALUES ('Posta ordinaria');
INSERT INTO TipoAvvisi (Tipo) VALUES ('Telefono');
INSERT INTO TipoAvvisi (Tipo) VALUES ('Consegna a mano');
INSERT INTO TipologieLocali (Tipologia) VALUES ('Appartamento');
INSERT INTO TipologieLocali (Tipologia) VALUES ('Box');
INSERT INTO TipologieLocali (Tipologia) VALUES ('Cantina');
INSERT INTO TipologieLocali (Tipologia) VALUES ('Magazzino');
INSERT INTO TipologieLocali (Tipologia) VALUES ('Negozio');
INSERT INTO TipologieLocali (Tipologia) VALUES ('Ufficio');
INSERT INTO MemoGenerale (Memo) VALUES ('');
)SQL";

// Display name of a person or supplier row under the alias: the surname, then a blank and the
// first name when there is one.
QString displayName(const QString& alias)
{
    return personDisplayNameSql(alias);
}

// Joins the rows of alias (condominium column, year column) to the condominium's current year.
QString currentYearJoin(const QString& condominium, const QString& year)
{
    return QStringLiteral("INNER JOIN AnnoAmministrativo AS ac ON ac.idCondominio = %1 "
                          "AND ac.nome = %2 AND ac.corrente = 1")
        .arg(condominium, year);
}

// Invoice gross of an expense row under alias u: what saving subtracted and added is undone.
QString invoiceGross()
{
    return QStringLiteral("(COALESCE(u.ImportoLordo, 0) - COALESCE(u.Commissione, 0) "
                          "+ COALESCE(u.RitenuteOperate, 0))");
}

QString supplierColumns()
{
    return QStringLiteral("f.Cognome, f.Nome, f.Indirizzo, f.CAP, f.\"Città\", f.CodiceFiscale, "
                          "f.PartitaIVA, f.Email, f.Telefono, f.Mobile, f.Fax, f.IBAN, f.Note");
}

QStringList mainViews()
{
    const QString gross = invoiceGross();
    QStringList v;

    v << QStringLiteral("CREATE VIEW QueryAC AS SELECT id, idCondominio, nome, data_inizio, data_fine, "
                        "approvato, corrente FROM AnnoAmministrativo WHERE corrente = 1");

    v << QStringLiteral("CREATE VIEW QueryEntrateAC AS SELECT e.id AS Id, e.Condominio, e.AA, e.Data, "
                        "e.TipoMovimento, e.IdPersona, %1 AS Persona, e.Nome, e.Importo, "
                        "e.MetodoPagamento, e.Tipologia, e.Ricevuta, e.Nota "
                        "FROM Entrate AS e %2 LEFT JOIN Anagrafe AS p ON p.Id = e.IdPersona")
             .arg(displayName("p"), currentYearJoin("e.Condominio", "e.AA"));

    v << QStringLiteral(
             "CREATE VIEW QueryUsciteAC AS SELECT u.id, u.Condominio, u.AA, u.TipoMovimento, "
             "u.IdFornitore, u.Tabella, u.TipoSpesa, u.Tipologia, u.Causale, u.NumFattura, "
             "u.DataFattura, u.DataPagamento, u.Pagamento, u.pagato, u.ImportoLordo, "
             "u.ImponibileIVA, u.IVA, u.Commissione, u.MetodoRitenuta, u.ImportoNetto, "
             "u.RitenuteOperate, u.Interessi, u.PeriodoRiferimento, u.DataRitenuta, "
             "u.Ravvedimento, u.CodTributo, u.Nota, %1 AS Fornitore, f.Cognome, f.Nome, "
             "ROUND(%2, 2) AS ImportoFattura, "
             "ROUND(COALESCE(u.ImportoLordo, 0) + COALESCE(u.RitenuteOperate, 0) "
             "+ COALESCE(u.Interessi, 0), 2) AS TotaleUscito, u.Tabella AS scala "
             "FROM Uscite AS u %3 LEFT JOIN Fornitori AS f ON f.id = u.IdFornitore")
             .arg(displayName("f"), gross, currentYearJoin("u.Condominio", "u.AA"));

    v << QStringLiteral("CREATE VIEW QueryInterventiAC AS SELECT i.Id, i.Condominio, i.AA, i.Contatto, "
                        "i.TipoContatto, i.Descrizione, i.Data, i.Ora, i.Durata, i.Concluso "
                        "FROM Interventi AS i %1")
             .arg(currentYearJoin("i.Condominio", "i.AA"));

    // Unito names the item together with its table, the way the item is told apart from the
    // items of the same description charged to other tables.
    v << QStringLiteral("CREATE VIEW QueryPreventiviAC AS SELECT p.Id, p.Condominio, p.AA, p.Tabella, "
                        "p.DescrizioneVoceSpesa, p.Spesa, "
                        "ROUND((SELECT COALESCE(SUM(s.Spesa), 0) FROM Preventivi AS s "
                        "WHERE s.Condominio = p.Condominio AND s.AA = p.AA "
                        "AND s.Tabella IS p.Tabella), 2) AS TotaleParziale, "
                        "COALESCE(p.Tabella, '') || ' - ' || COALESCE(p.DescrizioneVoceSpesa, '') AS Unito "
                        "FROM Preventivi AS p %1")
             .arg(currentYearJoin("p.Condominio", "p.AA"));

    v << QStringLiteral(
             "CREATE VIEW QueryUsciteCertificazioni AS SELECT u.id AS Id, u.Condominio, u.AA, "
             "u.IdFornitore AS idFornitore, %1 AS Fornitore, f.Cognome, f.Nome, f.CodiceFiscale, "
             "f.PartitaIVA, f.Indirizzo, f.CAP, f.\"Città\", u.PeriodoRiferimento, u.CodTributo, "
             "u.DataFattura, u.NumFattura, u.Causale, u.DataPagamento, u.ImportoNetto, "
             "u.RitenuteOperate, u.Interessi, u.DataRitenuta, u.Ravvedimento, u.MetodoRitenuta, u.ImponibileIVA, u.ImportoLordo, "
             "ROUND(%2, 2) AS ImportoFattura "
             "FROM Uscite AS u LEFT JOIN Fornitori AS f ON f.id = u.IdFornitore "
             "WHERE u.CodTributo IS NOT NULL AND u.CodTributo <> ''")
             .arg(displayName("f"), gross);

    v << QStringLiteral("CREATE VIEW QuerySommaEntrateAC AS SELECT e.Condominio, e.AA, e.MetodoPagamento, "
                        "ROUND(COALESCE(SUM(e.Importo), 0), 2) AS Importo "
                        "FROM Entrate AS e %1 GROUP BY e.Condominio, e.AA, e.MetodoPagamento")
             .arg(currentYearJoin("e.Condominio", "e.AA"));

    v << QStringLiteral(
             "CREATE VIEW QuerySommaUsciteAC AS SELECT u.Condominio, u.AA, u.Pagamento, "
             "u.MetodoRitenuta, "
             "ROUND(COALESCE(SUM(%1 + COALESCE(u.Commissione, 0) - COALESCE(u.RitenuteOperate, 0)), 0), 2) "
             "AS Uscite, "
             "ROUND(COALESCE(SUM(COALESCE(u.RitenuteOperate, 0) + COALESCE(u.Interessi, 0)), 0), 2) "
             "AS UsciteRitenuta "
             "FROM Uscite AS u %2 WHERE COALESCE(u.pagato, 0) <> 0 "
             "GROUP BY u.Condominio, u.AA, u.Pagamento, u.MetodoRitenuta")
             .arg(gross, currentYearJoin("u.Condominio", "u.AA"));

    v << QStringLiteral(
             "CREATE VIEW Query770_tmp AS SELECT u.id AS Id, u.Condominio, u.AA, "
             "c.Codice_fiscale, c.Comune, u.PeriodoRiferimento, u.IdFornitore, %1 AS Fornitore, "
             "f.Cognome, f.Nome, f.CodiceFiscale, f.PartitaIVA, f.Indirizzo, f.CAP, f.\"Città\", "
             "u.CodTributo, u.DataFattura, u.NumFattura, u.DataPagamento, u.DataRitenuta, "
             "u.MetodoRitenuta, u.Ravvedimento, u.ImportoNetto, u.RitenuteOperate, u.Interessi, "
             "ROUND(%2, 2) AS ImportoFattura "
             "FROM Uscite AS u LEFT JOIN Fornitori AS f ON f.id = u.IdFornitore "
             "LEFT JOIN Condomini AS c ON c.Nome = u.Condominio "
             "WHERE u.CodTributo IS NOT NULL AND u.CodTributo <> ''")
             .arg(displayName("f"), gross);

    v << QStringLiteral(
             "CREATE VIEW QueryQuadroAC AS SELECT u.id AS Id, u.Condominio, c.Comune, "
             "c.Codice_fiscale, c.Sezione_urbana, c.Foglio, c.Particella, c.Sub, c.Zona_censuaria, "
             "c.Microzona, u.IdFornitore, %1 AS Fornitore, f.CodiceFiscale, f.\"Città\", f.CAP, "
             "f.Indirizzo, f.PartitaIVA AS PartitaIva, u.DataPagamento, u.ImportoLordo, u.AA, "
             "u.DataFattura, u.CodTributo, u.Commissione, ROUND(%2, 2) AS ImportoFattura, "
             "f.Cognome, f.Nome, u.pagato "
             "FROM Uscite AS u %3 LEFT JOIN Condomini AS c ON c.Nome = u.Condominio "
             "LEFT JOIN Fornitori AS f ON f.id = u.IdFornitore")
             .arg(displayName("f"), gross, currentYearJoin("u.Condominio", "u.AA"));

    v << QStringLiteral("CREATE VIEW QueryUscite AS SELECT u.*, %1 AS Fornitore "
                        "FROM Uscite AS u LEFT JOIN Fornitori AS f ON f.id = u.IdFornitore")
             .arg(displayName("f"));

    v << QStringLiteral(
        "CREATE VIEW WEBDBQuote AS SELECT q.IdQuota, q.IdCondominio AS idCondominio, q.IdLocale, "
        "l.idProprietario, l.idInquilino, l.Nome, q.NomeQuote, q.Importo AS importo, "
        "COALESCE(q.ImportoPagato, 0) AS ImportoPagato, q.Tipologia, q.DataScadenza, "
        "e.Data AS Data, q.AA, q.Note, q.PagabiliSiNo, q.idEntrata "
        "FROM Quote AS q LEFT JOIN Locali AS l ON l.Id = q.IdLocale "
        "LEFT JOIN Entrate AS e ON e.id = q.idEntrata");

    v << QStringLiteral("CREATE VIEW QueryProprietari AS SELECT DISTINCT l.IdCondominio AS idCondominio, "
                        "a.Id AS idProprietario, %1 AS Proprietario, a.Cognome, a.Nome, a.Indirizzo, "
                        "a.CAP, a.\"Città\", a.Email, a.Comunicazioni "
                        "FROM Locali AS l INNER JOIN Anagrafe AS a ON a.Id = l.idProprietario")
             .arg(displayName("a"));

    v << QStringLiteral(
             "CREATE VIEW QuerySolleciti AS SELECT q.IdQuota, q.IdCondominio AS idCondominio, q.AA, "
             "q.IdLocale, l.Nome AS Locale, l.idProprietario, l.idInquilino, %1 AS Proprietario, "
             "%2 AS Inquilino, q.NomeQuote AS Nome, q.NomeQuote, q.Tipologia, q.DataScadenza, "
             "q.Importo, COALESCE(q.ImportoPagato, 0) AS ImportoPagato, "
             "ROUND(COALESCE(q.Importo, 0) - COALESCE(q.ImportoPagato, 0), 2) AS ImportoDaPagare "
             "FROM Quote AS q %3 INNER JOIN Locali AS l ON l.Id = q.IdLocale "
             "LEFT JOIN Anagrafe AS p ON p.Id = l.idProprietario "
             "LEFT JOIN Anagrafe AS i ON i.Id = l.idInquilino")
             .arg(displayName("p"), displayName("i"), currentYearJoin("q.IdCondominio", "q.AA"));

    v << QStringLiteral("CREATE VIEW QueryFornitori AS SELECT f.id, a.IdCondominio AS idCondominio, "
                        "%1 AS Fornitore, %2 FROM fornitori_associazione AS a "
                        "INNER JOIN Fornitori AS f ON f.id = a.IdFornitore")
             .arg(displayName("f"), supplierColumns());

    // Every supplier once; idCondominio lists the condominiums it serves.
    v << QStringLiteral("CREATE VIEW QueryFornitoriCompleta AS SELECT f.id, "
                        "(SELECT group_concat(a.IdCondominio, ', ') FROM fornitori_associazione AS a "
                        "WHERE a.IdFornitore = f.id) AS idCondominio, %1 AS Fornitore, %2 "
                        "FROM Fornitori AS f")
             .arg(displayName("f"), supplierColumns());

    v << QStringLiteral("CREATE VIEW QueryComboPropInq AS SELECT a.Id, %1 AS Persona, a.idCondominio, "
                        "a.Cognome, a.Nome FROM Anagrafe AS a")
             .arg(displayName("a"));

    v << QStringLiteral("CREATE VIEW QueryMovimentiTabelle AS SELECT p.Id, p.Condominio, p.AA, p.Tabella, "
                        "t.Descrizione, p.DescrizioneVoceSpesa, p.Spesa FROM Preventivi AS p %1 "
                        "LEFT JOIN Tabelle AS t ON t.Id_Condominio = p.Condominio AND t.Nome = p.Tabella")
             .arg(currentYearJoin("p.Condominio", "p.AA"));

    // One row per unit and millesimal table. The table's name is both Nome and "Tabelle.Nome"
    // (the unit's own name is NomeLocale), so that "WHERE Id=… AND Tabelle.Nome=…" has a column
    // to land on once qualified for this view.
    v << QStringLiteral(
        "CREATE VIEW QueryLocali AS SELECT l.Id, l.IdCondominio, l.Nome AS NomeLocale, "
        "l.idProprietario, l.idInquilino, l.IdTipologia, l.Piano, l.Scala, m.IdTabella, "
        "t.Nome, t.Nome AS \"Tabelle.Nome\", t.Descrizione, m.Millesimi "
        "FROM Locali AS l INNER JOIN Millesimi AS m ON m.IdLocale = l.Id "
        "INNER JOIN Tabelle AS t ON t.Id = m.IdTabella");
    return v;
}

// INSTEAD OF triggers: the views the program writes through pass the change to their table
// (on a server, trigger functions doing the same).
QStringList mainTriggers(bool server)
{
    QStringList t;
    const QString entrate = QStringLiteral(
        "Condominio, AA, Data, TipoMovimento, IdPersona, Nome, Importo, MetodoPagamento, "
        "Tipologia, Ricevuta, Nota");
    const QString interventi = QStringLiteral(
        "Condominio, AA, Contatto, TipoContatto, Descrizione, Data, Ora, Durata, Concluso");
    const QString fornitori = QStringLiteral(
        "Cognome, Nome, Indirizzo, CAP, \"Città\", CodiceFiscale, PartitaIVA, Telefono, Mobile, "
        "Fax, Email, IBAN, Note");

    auto prefixed = [](const QString& list, const QString& prefix) {
        QStringList out;
        for (const QString& f : list.split(QStringLiteral(", ")))
            out << prefix + f;
        return out.join(QStringLiteral(", "));
    };
    auto assignments = [](const QString& list) {
        QStringList out;
        for (const QString& f : list.split(QStringLiteral(", ")))
            out << f + QStringLiteral(" = NEW.") + f;
        return out.join(QStringLiteral(", "));
    };
    auto writable = [&](const QString& view, const QString& table, const QString& viewKey,
                        const QString& tableKey, const QString& fields) {
        if (server) {
            t << serverWritableViewSql(view, table, viewKey, tableKey, fields);
            return;
        }
        t << QStringLiteral("CREATE TRIGGER %1_insert INSTEAD OF INSERT ON %1 BEGIN "
                            "INSERT INTO %2 (%3, %4) VALUES (NEW.%5, %6); END")
                 .arg(view, table, tableKey, fields, viewKey, prefixed(fields, "NEW."));
        t << QStringLiteral("CREATE TRIGGER %1_update INSTEAD OF UPDATE ON %1 BEGIN "
                            "UPDATE %2 SET %3 = NEW.%4, %5 WHERE %3 = OLD.%4; END")
                 .arg(view, table, tableKey, viewKey, assignments(fields));
        t << QStringLiteral("CREATE TRIGGER %1_delete INSTEAD OF DELETE ON %1 BEGIN "
                            "DELETE FROM %2 WHERE %3 = OLD.%4; END")
                 .arg(view, table, tableKey, viewKey);
    };
    writable("QueryEntrateAC", "Entrate", "Id", "id", entrate);
    writable("QueryInterventiAC", "Interventi", "Id", "Id", interventi);
    writable("QueryFornitoriCompleta", "Fornitori", "id", "id", fornitori);

    const QString millesimi = QStringLiteral("UPDATE Millesimi SET Millesimi = NEW.Millesimi "
                                             "WHERE IdLocale = OLD.Id AND IdTabella = OLD.IdTabella;");
    if (server) {
        t << QStringLiteral("CREATE FUNCTION QueryLocali_update() RETURNS trigger LANGUAGE plpgsql "
                            "AS $$BEGIN %1 RETURN NEW; END$$").arg(millesimi);
        t << QStringLiteral("CREATE TRIGGER QueryLocali_update INSTEAD OF UPDATE ON QueryLocali "
                            "FOR EACH ROW EXECUTE FUNCTION QueryLocali_update()");
    } else {
        t << QStringLiteral("CREATE TRIGGER QueryLocali_update INSTEAD OF UPDATE ON QueryLocali BEGIN %1 END")
                 .arg(millesimi);
    }
    return t;
}

const char* const kWebTables = R"SQL(
CREATE TABLE CodiceCondominio (Condominio TEXT, IBAN TEXT, Intestatario TEXT);
CREATE TABLE Accesso (id INTEGER, Persona TEXT, "User" TEXT, Password TEXT, IdCondominio TEXT);
CREATE TABLE Files (Id INTEGER PRIMARY KEY AUTOINCREMENT, Condominio TEXT, AA TEXT, File TEXT, Data DATE);
CREATE INDEX CodiceCondominioNome ON CodiceCondominio (Condominio);
CREATE INDEX AccessoId ON Accesso (id);
CREATE INDEX FilesCondominio ON Files (Condominio, AA);
)SQL";

const char* const kFaqTables = R"SQL(
CREATE TABLE Capitoli (Id INTEGER PRIMARY KEY AUTOINCREMENT, Capitolo TEXT);
CREATE TABLE FAQ (Id INTEGER PRIMARY KEY AUTOINCREMENT, Capitolo TEXT, Titolo TEXT, Domanda TEXT, Risposta TEXT);
CREATE INDEX CapitoliNome ON Capitoli (Capitolo);
CREATE INDEX FAQCapitolo ON FAQ (Capitolo);
CREATE INDEX FAQTitolo ON FAQ (Titolo);
)SQL";

// A table every database of the kind has: reading it tells a database of another kind.
QString probeTable(DatabaseKind kind)
{
    switch (kind) {
    case DatabaseKind::Main: return QStringLiteral("Condomini");
    case DatabaseKind::Web: return QStringLiteral("Accesso");
    case DatabaseKind::Faq: return QStringLiteral("FAQ");
    }
    return QString();
}

QString keyOf(DatabaseKind kind)
{
    return kind == DatabaseKind::Main ? mainDatabaseKey() : QString();
}

void removeQuietly(const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

} // namespace

QString personDisplayNameSql(const QString& alias)
{
    return QStringLiteral("(CASE WHEN %1.Nome IS NULL OR %1.Nome = '' THEN %1.Cognome "
                          "ELSE COALESCE(%1.Cognome, '') || ' ' || %1.Nome END)")
        .arg(alias);
}

QString mainDatabaseKey()
{
    return QStringLiteral("tarvio");
}

QString databaseKey(DatabaseKind kind)
{
    return keyOf(kind);
}

QString signatureTable(DatabaseKind kind)
{
    return probeTable(kind);
}

// Every name the schema spells, so that the server's folded names come back spelled the same.
void learnSchemaSpellings()
{
    static const bool learnt = [] {
        learnSpellings(QString::fromUtf8(kMainTables));
        learnSpellings(mainViews().join(u';'));
        learnSpellings(QString::fromUtf8(kWebTables));
        learnSpellings(webQuoteTableSql());
        learnSpellings(addedTablesSql());
        return true;
    }();
    Q_UNUSED(learnt);
}

// The main and web schemas of a server database, made together in one transaction. Several
// desks may connect to an empty database at once: the first makes them, the others wait for it
// and find them made. The lock is taken before the transaction begins: a transaction sees the
// database as it was at its first statement, so one begun before the wait would not see the
// schemas the first desk made meanwhile.
void createServerSchema(Database& db)
{
    db.exec(QStringLiteral("SELECT pg_advisory_lock(7245301)"));
    struct Unlock {
        Database& db;
        ~Unlock()
        {
            try {
                db.exec(QStringLiteral("SELECT pg_advisory_unlock(7245301)"));
            } catch (...) {
                // A connection that broke has let the lock go with it.
            }
        }
    } unlock{db};
    Transaction tr(db);
    if (db.relationKind(QStringLiteral("main.Condomini")) == 0) {
        db.exec(serverPreambleSql());
        db.exec(QStringLiteral("SET LOCAL search_path = main, public"));
        db.exec(serverTableSql(QString::fromUtf8(kMainTables)));
        for (const QString& sql : mainViews())
            db.exec(sql);
        for (const QString& sql : mainTriggers(true))
            db.exec(sql);
        db.exec(QString::fromUtf8(kMainSeed));
        addMissingTables(db);
        db.exec(QStringLiteral("SET LOCAL search_path = web, main, public"));
        db.exec(serverTableSql(QString::fromUtf8(kWebTables)));
        db.exec(serverTableSql(webQuoteTableSql()));
    } else {
        db.exec(QStringLiteral("SET LOCAL search_path = main, public"));
        addMissingTables(db);
    }
    tr.commit();
}

void createSchema(Database& db, DatabaseKind kind)
{
    Transaction tr(db);
    switch (kind) {
    case DatabaseKind::Main:
        db.exec(QString::fromUtf8(kMainTables));
        for (const QString& sql : mainViews())
            db.exec(sql);
        for (const QString& sql : mainTriggers(false))
            db.exec(sql);
        db.exec(QString::fromUtf8(kMainSeed));
        addMissingTables(db);
        break;
    case DatabaseKind::Web:
        db.exec(QString::fromUtf8(kWebTables));
        db.exec(webQuoteTableSql());
        break;
    case DatabaseKind::Faq:
        db.exec(QString::fromUtf8(kFaqTables));
        break;
    }
    tr.commit();
}

void openServerDatabase(Database& db, const ServerParams& params, DatabaseKind kind)
{
    if (kind == DatabaseKind::Faq)
        throw StoreError(QStringLiteral("La base delle domande frequenti resta un file dell'ufficio"));
    learnSchemaSpellings();
    ServerParams own = params;
    own.schema = kind == DatabaseKind::Web ? QStringLiteral("web") : QStringLiteral("main");
    db.openServer(own);
    try {
        if (kind == DatabaseKind::Main || db.relationKind(QStringLiteral("main.Condomini")) == 0)
            createServerSchema(db);
    } catch (...) {
        db.close();
        throw;
    }
}

void openDatabase(Database& db, const QString& path, DatabaseKind kind)
{
    db.close();
    if (!QFileInfo::exists(path)) {
        const QString building = QStringLiteral("%1.%2.nuovo")
                                     .arg(path)
                                     .arg(QDateTime::currentMSecsSinceEpoch());
        try {
            Database fresh;
            fresh.open(building, keyOf(kind));
            createSchema(fresh, kind);
            fresh.close();
        } catch (...) {
            removeQuietly(building);
            throw;
        }
        if (!QFile::rename(building, path)) {
            removeQuietly(building);
            throw StoreError(QStringLiteral("Impossibile creare il file %1").arg(path));
        }
    }
    db.open(path, keyOf(kind));
    try {
        db.exec(QStringLiteral("SELECT 1 FROM %1 WHERE 0").arg(quoteIdentifier(probeTable(kind))));
    } catch (const StoreError& e) {
        db.close();
        // A readable file without the program's tables: empty, or another program's database.
        throw StoreError(e.message(), e.fault() == StoreFault::Other ? StoreFault::MissingTable : e.fault());
    }
}

} // namespace velcaris::store
