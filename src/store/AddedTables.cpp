#include "store/AddedTables.h"

#include "store/ServerSchema.h"

namespace velcaris::store {

namespace {

struct AddedTable {
    const char* name;
    const char* sql; // the table and its indexes
};

// Meetings of a condominium in an administrative year (Convocazione: 1 or 2; IdTabella: the
// millesimal table whose thousandths are the building's value), the attendance of each owner
// (Stato: "Presente", "Delega", "Assente"; IdDelegato 0 for an outside delegate), the
// resolutions on the agenda (Maggioranza: the code of the majority they require) and the votes
// ("Favorevole", "Contrario", "Astenuto").
const AddedTable kTables[] = {
    {"Assemblee", R"SQL(
CREATE TABLE Assemblee (
    Id INTEGER PRIMARY KEY AUTOINCREMENT, Condominio TEXT, AA TEXT, Data DATE, Ora TEXT, Luogo TEXT,
    Straordinaria BOOLEAN DEFAULT 0, Convocazione INTEGER DEFAULT 1, IdTabella INTEGER);
CREATE INDEX AssembleeCondominio ON Assemblee (Condominio, AA);
)SQL"},
    {"Presenze", R"SQL(
CREATE TABLE Presenze (
    Id INTEGER PRIMARY KEY AUTOINCREMENT, IdAssemblea INTEGER, IdPersona INTEGER, Stato TEXT,
    IdDelegato INTEGER DEFAULT 0, Delegato TEXT, Arrivo TEXT, Uscita TEXT);
CREATE UNIQUE INDEX PresenzeAssemblea ON Presenze (IdAssemblea, IdPersona);
)SQL"},
    {"Delibere", R"SQL(
CREATE TABLE Delibere (
    Id INTEGER PRIMARY KEY AUTOINCREMENT, IdAssemblea INTEGER, Numero INTEGER, Oggetto TEXT,
    Maggioranza TEXT);
CREATE INDEX DelibereAssemblea ON Delibere (IdAssemblea, Numero);
)SQL"},
    {"Voti", R"SQL(
CREATE TABLE Voti (
    Id INTEGER PRIMARY KEY AUTOINCREMENT, IdDelibera INTEGER, IdPersona INTEGER, Voto TEXT);
CREATE UNIQUE INDEX VotiDelibera ON Voti (IdDelibera, IdPersona);
)SQL"},
    // Why each quota is what it is: one row per confirmation of the allocation (or personal
    // quota), one per unit it computed, one per table of that unit, and the link of each quota to
    // its unit's row.
    {"Ripartizioni", R"SQL(
CREATE TABLE Ripartizioni (
    Id INTEGER PRIMARY KEY AUTOINCREMENT, Condominio TEXT, AA TEXT, Data DATE, Tipologia TEXT,
    NumeroRate INTEGER, Personale BOOLEAN DEFAULT 0, ParteUguale DOUBLE, MezzaUnita BOOLEAN DEFAULT 0,
    Scale TEXT);
)SQL"},
    {"RipartizioniLocali", R"SQL(
CREATE TABLE RipartizioniLocali (
    Id INTEGER PRIMARY KEY AUTOINCREMENT, IdRipartizione INTEGER, IdLocale INTEGER, Locale TEXT,
    Escluso BOOLEAN DEFAULT 0, Partecipazione DOUBLE, Totale DOUBLE, RataEsatta DOUBLE,
    RataCentesimi DOUBLE, Rata DOUBLE);
CREATE INDEX RipartizioniLocaliRipartizione ON RipartizioniLocali (IdRipartizione);
)SQL"},
    {"RipartizioniTabelle", R"SQL(
CREATE TABLE RipartizioniTabelle (
    IdRipartizioneLocale INTEGER, Ordine INTEGER, Tabella TEXT, Importo DOUBLE, Millesimi DOUBLE,
    Partecipazione DOUBLE, MillesimiPonderati DOUBLE, TotalePonderato DOUBLE, Quota DOUBLE);
CREATE INDEX RipartizioniTabelleLocale ON RipartizioniTabelle (IdRipartizioneLocale, Ordine);
)SQL"},
    {"QuoteRipartizioni", R"SQL(
CREATE TABLE QuoteRipartizioni (
    IdQuota INTEGER PRIMARY KEY, IdRipartizioneLocale INTEGER);
)SQL"},
    // What each payment put on each quota and on its published copy, to take it back exactly.
    {"PagamentiQuote", R"SQL(
CREATE TABLE PagamentiQuote (IdEntrata INTEGER, IdQuota INTEGER, Importo DOUBLE, ImportoWeb DOUBLE);
CREATE INDEX PagamentiQuoteEntrata ON PagamentiQuote (IdEntrata);
)SQL"},
    // The highest receipt number given in each condominium and year, so that the number of a
    // cancelled receipt is not given again.
    {"NumeriRicevute", R"SQL(
CREATE TABLE NumeriRicevute (Condominio TEXT, AA TEXT, Ultimo INTEGER);
CREATE UNIQUE INDEX NumeriRicevuteCondominio ON NumeriRicevute (Condominio, AA);
)SQL"},
    // The closings of the administrative years ("Chiudi esercizio"): one per closed year, named by
    // the years' keys (a year's name may change), and every row the closing wrote into the next
    // year (Tabella: "Quote", "web.Quote" or "Entrate"), so that reopening removes exactly those.
    {"ChiusureEsercizio", R"SQL(
CREATE TABLE ChiusureEsercizio (
    Id INTEGER PRIMARY KEY AUTOINCREMENT, Condominio TEXT, IdAnno INTEGER, IdAnnoSuccessivo INTEGER,
    Data DATE, DataScadenza DATE);
CREATE UNIQUE INDEX ChiusureEsercizioAnno ON ChiusureEsercizio (IdAnno);
CREATE INDEX ChiusureEsercizioSuccessivo ON ChiusureEsercizio (IdAnnoSuccessivo);
)SQL"},
    {"ChiusureRighe", R"SQL(
CREATE TABLE ChiusureRighe (IdChiusura INTEGER, Tabella TEXT, IdRiga INTEGER);
CREATE INDEX ChiusureRigheChiusura ON ChiusureRighe (IdChiusura);
)SQL"},
};

const char* const kWebQuoteColumns[] = {"Condominio", "IdProprietario", "IdInquilino", "idLocale", "Locale",
                                        "NomeQuote", "Importo", "ImportoPagato", "Tipologia", "Data",
                                        "DataScadenza", "AA", "Nota"};

} // namespace

QString webQuoteTableSql()
{
    return QStringLiteral(R"SQL(
CREATE TABLE Quote (
    Condominio TEXT, IdProprietario INTEGER, IdInquilino INTEGER, idLocale INTEGER, Locale TEXT,
    NomeQuote TEXT, Importo DOUBLE, ImportoPagato DOUBLE DEFAULT 0, Tipologia TEXT, Data DATE,
    DataScadenza DATE, AA TEXT, Nota TEXT, Id INTEGER PRIMARY KEY);
CREATE INDEX QuoteLocale ON Quote (idLocale, NomeQuote, AA);
CREATE INDEX QuoteCondominio ON Quote (Condominio, NomeQuote, AA);
CREATE INDEX QuotePersone ON Quote (Condominio, AA, IdProprietario, IdInquilino);
)SQL");
}

bool addWebQuoteKey(Database& db)
{
    const QStringList present = db.columnNames(QStringLiteral("Quote"));
    if (present.contains(QStringLiteral("Id"), Qt::CaseInsensitive))
        return false;
    // The columns both layouts have (a file from another tool may lack some); the old rowid
    // becomes the key, so the rows keep their order.
    QStringList columns;
    for (const char* column : kWebQuoteColumns)
        if (present.contains(QString::fromLatin1(column), Qt::CaseInsensitive))
            columns << quoteIdentifier(QString::fromLatin1(column));
    const QString list = columns.join(QStringLiteral(", "));
    Transaction tr(db);
    db.exec(QStringLiteral("CREATE TEMP TABLE QuoteSenzaChiave AS SELECT rowid AS Riga, %1 FROM main.Quote").arg(list));
    db.exec(QStringLiteral("DROP TABLE main.Quote"));
    db.exec(webQuoteTableSql());
    db.exec(QStringLiteral("INSERT INTO main.Quote (%1, Id) SELECT %1, Riga FROM temp.QuoteSenzaChiave ORDER BY Riga")
                .arg(list));
    db.exec(QStringLiteral("DROP TABLE temp.QuoteSenzaChiave"));
    tr.commit();
    return true;
}

QString addedTablesSql()
{
    QString sql;
    for (const AddedTable& t : kTables)
        sql += QString::fromUtf8(t.sql);
    return sql;
}

QStringList addedMainTables()
{
    QStringList names;
    for (const AddedTable& t : kTables)
        names << QString::fromLatin1(t.name);
    return names;
}

QStringList addMissingTables(Database& db)
{
    QStringList created;
    for (const AddedTable& t : kTables)
        if (!db.tableExists(QString::fromLatin1(t.name)))
            created << QString::fromLatin1(t.name);
    if (created.isEmpty())
        return created; // nothing is written to a file that has them all
    Transaction tr(db);
    for (const AddedTable& t : kTables)
        if (created.contains(QString::fromLatin1(t.name)))
            db.exec(db.isServer() ? serverTableSql(QString::fromUtf8(t.sql)) : QString::fromUtf8(t.sql));
    tr.commit();
    return created;
}

} // namespace velcaris::store
