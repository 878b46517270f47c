#include "store/Schema.h"
#include "support/Office.h"
#include "support/ScratchDatabase.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace velcaris::store;
using velcaris::test::ScratchDatabase;
using velcaris::test::TempDir;

namespace {

const QString kCondominio = QStringLiteral("Il Pino d'Oro - Via dell'Olmo 3");

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QStringList lowered(const QStringList& names)
{
    QStringList out;
    for (const QString& n : names)
        out << n.toLower();
    return out;
}

QStringList column(Database& db, const QString& sql, const QVector<QVariant>& params = {})
{
    QStringList out;
    Statement st(db, sql);
    st.bindAll(params);
    while (st.step())
        out << st.value(0).toString();
    return out;
}

// A fresh main database with one condominium whose years are 2013 (current) and 2012.
class MainSchema : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch.open(db, DatabaseKind::Main);
        db.exec("INSERT INTO Condomini (Nome, Comune) VALUES (?, 'Torino')", {kCondominio});
        db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES (?, '2012', 0)",
                {kCondominio});
        db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES (?, '2013', 1)",
                {kCondominio});
    }
    void setCurrent(const QString& year)
    {
        db.exec("UPDATE AnnoAmministrativo SET corrente = CASE WHEN nome = ? THEN 1 ELSE 0 END "
                "WHERE idCondominio = ?",
                {year, kCondominio});
    }
    qint64 addSupplier(const QString& cognome, const QVariant& nome)
    {
        db.exec("INSERT INTO Fornitori (Cognome, Nome) VALUES (?, ?)", {cognome, nome});
        return db.lastInsertId();
    }
    ScratchDatabase scratch;
    Database db;
};

} // namespace

TEST_F(MainSchema, EverySavedQueryReturnsItsColumns)
{
    const QVector<QPair<QString, QStringList>> views = {
        {"QueryAC", {"idCondominio", "nome"}},
        {"QueryEntrateAC",
         {"Id", "Condominio", "AA", "IdPersona", "Persona", "TipoMovimento", "Nome", "Data", "Importo",
          "Ricevuta", "MetodoPagamento", "Tipologia", "Nota"}},
        {"QueryUsciteAC",
         {"id", "Condominio", "AA", "TipoMovimento", "IdFornitore", "Tabella", "TipoSpesa", "Tipologia",
          "Causale", "NumFattura", "DataFattura", "DataPagamento", "Pagamento", "Pagato", "ImportoLordo",
          "ImponibileIVA", "IVA", "Commissione", "MetodoRitenuta", "ImportoNetto", "RitenuteOperate",
          "Interessi", "PeriodoRiferimento", "DataRitenuta", "Ravvedimento", "CodTributo", "Nota",
          "Fornitore", "Cognome", "Nome", "ImportoFattura", "TotaleUscito", "scala"}},
        {"QueryInterventiAC",
         {"Id", "Condominio", "AA", "Contatto", "TipoContatto", "Descrizione", "Data", "Ora", "Durata",
          "Concluso"}},
        {"QueryPreventiviAC",
         {"Id", "Condominio", "AA", "Tabella", "DescrizioneVoceSpesa", "Spesa", "TotaleParziale", "Unito"}},
        {"QueryUsciteCertificazioni",
         {"Condominio", "idFornitore", "PeriodoRiferimento", "CodTributo", "DataFattura", "RitenuteOperate"}},
        {"QuerySommaEntrateAC", {"Condominio", "MetodoPagamento", "Importo"}},
        {"QuerySommaUsciteAC", {"Condominio", "Pagamento", "MetodoRitenuta", "Uscite", "UsciteRitenuta"}},
        {"Query770_tmp", {"Condominio", "PeriodoRiferimento"}},
        {"QueryQuadroAC",
         {"Id", "Condominio", "Comune", "Codice_fiscale", "Sezione_urbana", "Foglio", "Particella", "Sub",
          "Zona_censuaria", "Microzona", "IdFornitore", "Fornitore", "CodiceFiscale", "Città", "CAP",
          "Indirizzo", "PartitaIva", "DataPagamento", "ImportoLordo", "AA", "DataFattura", "CodTributo",
          "Commissione", "ImportoFattura", "Cognome", "Nome", "pagato"}},
        {"QueryUscite", {"IdFornitore", "Condominio", "CodTributo", "DataPagamento"}},
        {"WEBDBQuote",
         {"idCondominio", "IdLocale", "idProprietario", "idInquilino", "Nome", "NomeQuote", "importo",
          "ImportoPagato", "Tipologia", "DataScadenza", "Data", "AA", "Note"}},
        {"QueryProprietari", {"idCondominio", "Proprietario"}},
        {"QuerySolleciti",
         {"idProprietario", "idInquilino", "Proprietario", "Inquilino", "Nome", "Tipologia", "DataScadenza"}},
        {"QueryFornitori",
         {"id", "idCondominio", "Fornitore", "Cognome", "Nome", "Indirizzo", "CAP", "Città", "CodiceFiscale",
          "PartitaIVA", "Email", "Telefono", "Mobile", "Fax", "IBAN", "Note"}},
        {"QueryFornitoriCompleta",
         {"id", "idCondominio", "Fornitore", "Cognome", "Nome", "Indirizzo", "CAP", "Città", "CodiceFiscale",
          "PartitaIVA", "Email", "Telefono", "Mobile", "Fax", "IBAN", "Note"}},
        {"QueryComboPropInq", {"Id", "Persona", "idCondominio"}},
        {"QueryMovimentiTabelle", {"Id", "Condominio", "Tabella", "Descrizione", "DescrizioneVoceSpesa"}},
        {"QueryLocali", {"Id", "Millesimi", "Nome"}},
    };
    for (const auto& [view, wanted] : views) {
        const QStringList have = lowered(db.columnNames(view));
        for (const QString& c : wanted)
            EXPECT_TRUE(have.contains(c.toLower())) << view.toStdString() << " lacks " << c.toStdString();
        // Every view also runs.
        EXPECT_NO_THROW(db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(view))) << view.toStdString();
    }
}

TEST_F(MainSchema, DeclaredTypesTellDatesTimesAndFlags)
{
    struct Expect { const char* table; const char* field; const char* type; };
    const Expect expected[] = {
        {"Quote", "DataScadenza", "DATE"},      {"Quote", "PagabiliSiNo", "BOOLEAN"},
        {"Quote", "ImportoPagato", "DOUBLE"},   {"Interventi", "Ora", "TIME"},
        {"Uscite", "pagato", "BOOLEAN"},        {"Uscite", "PeriodoRiferimento", "DATE"},
        {"Millesimi", "Millesimi", "DOUBLE"},   {"Entrate", "Ricevuta", "INTEGER"},
        {"Anagrafe", "Città", "TEXT"},          {"Tabelle", "Proprietà", "TEXT"},
        {"Scadenzario", "Esito", "BOOLEAN"},    {"Locali", "PartecipazioneORD", "INTEGER"},
    };
    for (const Expect& e : expected) {
        Statement st(db, QStringLiteral("SELECT %1 FROM %2").arg(quoteIdentifier(e.field), e.table));
        EXPECT_EQ(st.columnDeclType(0), QString(e.type)) << e.table << "." << e.field;
    }
    // Views carry the declared type of the columns they pass on.
    Statement view(db, "SELECT Data, Ora, Concluso FROM QueryInterventiAC");
    EXPECT_EQ(view.columnDeclType(0), "DATE");
    EXPECT_EQ(view.columnDeclType(1), "TIME");
    EXPECT_EQ(view.columnDeclType(2), "BOOLEAN");
}

TEST_F(MainSchema, LookupTablesHoldTheirValuesInStoredOrder)
{
    EXPECT_EQ(column(db, "SELECT Tipologia FROM Tipologia ORDER BY Id"),
              QStringList({"Spese personali", "Spese ordinarie", "Spese riscaldamento", "Spese straordinarie"}));
    EXPECT_EQ(column(db, "SELECT Tipo FROM TipoAvvisi ORDER BY Id"),
              QStringList({"Raccomandata", "E-mail", "PEC", "Posta ordinaria", "Telefono", "Consegna a mano"}));
    EXPECT_EQ(column(db, "SELECT Tipologia FROM TipologieLocali ORDER BY Id"),
              QStringList({"Appartamento", "Box", "Cantina", "Magazzino", "Negozio", "Ufficio"}));
    // Stored order without ORDER BY is the same.
    EXPECT_EQ(column(db, "SELECT Tipologia FROM Tipologia").value(0), "Spese personali");
    EXPECT_EQ(column(db, "SELECT Memo FROM MemoGenerale"), QStringList({""}));
}

TEST_F(MainSchema, UnsetFieldsTakeTheirDefaults)
{
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, 'Rossi', 'Mario')", {kCondominio});
    const qint64 person = db.lastInsertId();
    db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino) VALUES (?, 'Int. 1', ?, ?)",
            {kCondominio, person, person});
    const qint64 unit = db.lastInsertId();
    db.exec("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo) VALUES (?, ?, '2013', 'Rata 1', 100)",
            {kCondominio, unit});
    const qint64 quota = db.lastInsertId();

    EXPECT_EQ(db.scalar("SELECT ImportoPagato FROM Quote WHERE IdQuota = ?", {quota}).toDouble(), 0.0);
    EXPECT_EQ(db.scalar("SELECT PagabiliSiNo FROM Quote WHERE IdQuota = ?", {quota}).toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT ImportoPagato FROM WEBDBQuote WHERE IdLocale = ?", {unit}).toDouble(), 0.0);
    EXPECT_FALSE(db.scalar("SELECT ImportoPagato FROM WEBDBQuote WHERE IdLocale = ?", {unit}).isNull());
    EXPECT_EQ(db.scalar("SELECT ImportoDaPagare FROM QuerySolleciti WHERE IdLocale = ?", {unit}).toDouble(), 100.0);
    // A quota paid as "no value" still reads 0 in the views.
    db.exec("UPDATE Quote SET ImportoPagato = NULL WHERE IdQuota = ?", {quota});
    EXPECT_EQ(db.scalar("SELECT ImportoPagato FROM WEBDBQuote WHERE IdLocale = ?", {unit}).toDouble(), 0.0);
    EXPECT_FALSE(db.scalar("SELECT ImportoPagato FROM WEBDBQuote WHERE IdLocale = ?", {unit}).isNull());

    EXPECT_EQ(db.scalar("SELECT PartecipazioneORD FROM Locali WHERE Id = ?", {unit}).toInt(), 100);
    EXPECT_EQ(db.scalar("SELECT PartecipazioneSTR FROM Locali WHERE Id = ?", {unit}).toInt(), 100);
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome) VALUES (?, '2014')", {kCondominio});
    EXPECT_EQ(db.scalar("SELECT corrente FROM AnnoAmministrativo WHERE nome = '2014'").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM QueryAC WHERE idCondominio = ?", {kCondominio}).toInt(), 1);
}

TEST_F(MainSchema, CurrentYearViewsFollowTheFlag)
{
    db.exec("INSERT INTO Entrate (Condominio, AA, Nome, Importo, MetodoPagamento) VALUES (?, '2012', 'Vecchia', 10, 'Cassa')",
            {kCondominio});
    db.exec("INSERT INTO Entrate (Condominio, AA, Nome, Importo, MetodoPagamento) VALUES (?, '2013', 'Nuova', 20, 'Cassa')",
            {kCondominio});
    db.exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) VALUES (?, '2012', 'A', 'Pulizia', 5)",
            {kCondominio});
    // Another condominium whose current year has the same name is kept apart.
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, corrente) VALUES ('Altro - Via X', '2012', 1)");
    db.exec("INSERT INTO Entrate (Condominio, AA, Nome, Importo) VALUES ('Altro - Via X', '2013', 'Estranea', 99)");

    EXPECT_EQ(column(db, "SELECT Nome FROM QueryEntrateAC"), QStringList({"Nuova"}));
    EXPECT_EQ(db.scalar("SELECT Importo FROM QuerySommaEntrateAC WHERE Condominio = ?", {kCondominio}).toDouble(), 20.0);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM QueryPreventiviAC").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT nome FROM QueryAC WHERE idCondominio = ?", {kCondominio}).toString(), "2013");

    setCurrent("2012");
    EXPECT_EQ(column(db, "SELECT Nome FROM QueryEntrateAC"), QStringList({"Vecchia"}));
    EXPECT_EQ(db.scalar("SELECT Importo FROM QuerySommaEntrateAC WHERE Condominio = ?", {kCondominio}).toDouble(), 10.0);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM QueryPreventiviAC").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM QueryMovimentiTabelle").toInt(), 1);
}

TEST_F(MainSchema, BudgetItemsCarryTheirTableSubtotal)
{
    const char* insert = "INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) VALUES (?, ?, ?, ?, ?)";
    db.exec(insert, {kCondominio, "2013", "Generale", "Assicurazione", 300.10});
    db.exec(insert, {kCondominio, "2013", "Generale", "Pulizia", 200.25});
    db.exec(insert, {kCondominio, "2013", "Scala A", "Pulizia", 50.0});
    db.exec(insert, {kCondominio, "2012", "Generale", "Assicurazione", 1000.0}); // other year
    db.exec(insert, {"Altro - Via X", "2013", "Generale", "Pulizia", 7.0});      // other condominium
    db.exec("INSERT INTO Tabelle (Id_Condominio, Nome, Descrizione) VALUES (?, 'Generale', 'Proprietà generale')",
            {kCondominio});

    Statement st(db, "SELECT Tabella, DescrizioneVoceSpesa, TotaleParziale, Unito FROM QueryPreventiviAC "
                     "WHERE Condominio = ? ORDER BY Tabella, Id");
    st.bind(1, kCondominio);
    ASSERT_TRUE(st.step());
    EXPECT_DOUBLE_EQ(st.value(2).toDouble(), 500.35);
    EXPECT_EQ(st.value(3).toString(), "Generale - Assicurazione");
    ASSERT_TRUE(st.step());
    EXPECT_DOUBLE_EQ(st.value(2).toDouble(), 500.35);
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.value(0).toString(), "Scala A");
    EXPECT_DOUBLE_EQ(st.value(2).toDouble(), 50.0);
    EXPECT_EQ(st.value(3).toString(), "Scala A - Pulizia");
    EXPECT_FALSE(st.step());

    // The expense dialog's item list names the table's description beside each item.
    EXPECT_EQ(column(db, "SELECT Descrizione FROM QueryMovimentiTabelle WHERE Condominio = ? ORDER BY Id", {kCondominio}),
              QStringList({"Proprietà generale", "Proprietà generale", ""}));
}

TEST_F(MainSchema, ExpenseRegisterComputesGrossAndOutflow)
{
    const qint64 studio = addSupplier("Studio Bianchi", QVariant());
    // Gross 1000, commission 2, withholding 200: stored 1000 + 2 - 200.
    db.exec("INSERT INTO Uscite (Condominio, AA, IdFornitore, Tabella, pagato, Pagamento, ImportoLordo, "
            "Commissione, RitenuteOperate, Interessi, MetodoRitenuta, CodTributo) "
            "VALUES (?, '2013', ?, 'Scala B', 1, 'Conto Corrente', 802, 2, 200, 0, 'Cassa', '1040')",
            {kCondominio, studio});
    Statement st(db, "SELECT ImportoFattura, TotaleUscito, scala, Fornitore, Pagato FROM QueryUsciteAC");
    ASSERT_TRUE(st.step());
    EXPECT_DOUBLE_EQ(st.value(0).toDouble(), 1000.0);
    EXPECT_DOUBLE_EQ(st.value(1).toDouble(), 1002.0);
    EXPECT_EQ(st.value(2).toString(), "Scala B");
    EXPECT_EQ(st.value(3).toString(), "Studio Bianchi"); // no first name: surname alone
    EXPECT_EQ(st.value(4).toInt(), 1);
    EXPECT_FALSE(st.step());

    // Interest and a missing supplier: the row still shows, interest counts in what left.
    db.exec("INSERT INTO Uscite (Condominio, AA, IdFornitore, Tabella, pagato, ImportoLordo, Commissione, "
            "RitenuteOperate, Interessi) VALUES (?, '2013', 999, 'Generale', 0, 100, 0, 20, 1.5)",
            {kCondominio});
    Statement late(db, "SELECT ImportoFattura, TotaleUscito, Fornitore FROM QueryUsciteAC WHERE IdFornitore = 999");
    ASSERT_TRUE(late.step());
    EXPECT_DOUBLE_EQ(late.value(0).toDouble(), 120.0);
    EXPECT_DOUBLE_EQ(late.value(1).toDouble(), 121.5);
    EXPECT_TRUE(late.value(2).isNull());

    // Split rows without withholding fields still compute.
    db.exec("INSERT INTO Uscite (Condominio, AA, Tabella, pagato, ImportoLordo) VALUES (?, '2013', 'Generale', 1, 50)",
            {kCondominio});
    EXPECT_DOUBLE_EQ(db.scalar("SELECT ImportoFattura FROM QueryUsciteAC WHERE ImportoLordo = 50").toDouble(), 50.0);
}

TEST_F(MainSchema, ExpenseTotalsCountPaidExpensesOnly)
{
    const char* insert = "INSERT INTO Uscite (Condominio, AA, pagato, Pagamento, ImportoLordo, Commissione, "
                         "RitenuteOperate, Interessi, MetodoRitenuta) VALUES (?, '2013', ?, 'Conto Corrente', ?, ?, ?, ?, 'Cassa')";
    db.exec(insert, {kCondominio, 1, 802.0, 2.0, 200.0, 0.0});
    db.exec(insert, {kCondominio, 1, 102.0, 2.0, 0.0, 3.0});
    db.exec(insert, {kCondominio, 0, 5000.0, 0.0, 100.0, 0.0}); // unpaid
    Statement st(db, "SELECT Pagamento, MetodoRitenuta, Uscite, UsciteRitenuta FROM QuerySommaUsciteAC WHERE Condominio = ?");
    st.bind(1, kCondominio);
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.value(0).toString(), "Conto Corrente");
    EXPECT_EQ(st.value(1).toString(), "Cassa");
    // Invoices 1000 and 100: (1000 + 2 - 200) + (100 + 2 - 0) to the supplier, (200 + 0) + (0 + 3)
    // for the withholding and its interest.
    EXPECT_DOUBLE_EQ(st.value(2).toDouble(), 802.0 + 102.0);
    EXPECT_DOUBLE_EQ(st.value(3).toDouble(), 203.0);
    EXPECT_FALSE(st.step());
}

TEST_F(MainSchema, WithholdingViewsListOnlyTaxedExpenses)
{
    const qint64 f = addSupplier("Verdi", "Anna");
    db.exec("INSERT INTO Uscite (Condominio, AA, IdFornitore, ImportoLordo, RitenuteOperate, CodTributo, PeriodoRiferimento) "
            "VALUES (?, '2012', ?, 800, 200, '1040', '2012-05-01')", {kCondominio, f});
    db.exec("INSERT INTO Uscite (Condominio, AA, IdFornitore, ImportoLordo, CodTributo) VALUES (?, '2013', ?, 300, '')",
            {kCondominio, f});
    db.exec("INSERT INTO Uscite (Condominio, AA, IdFornitore, ImportoLordo) VALUES (?, '2013', ?, 400)", {kCondominio, f});
    EXPECT_EQ(column(db, "SELECT Fornitore FROM QueryUsciteCertificazioni"), QStringList({"Verdi Anna"}));
    EXPECT_EQ(db.scalar("SELECT RitenuteOperate FROM Query770_tmp").toDouble(), 200.0);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Query770_tmp").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM QueryUscite").toInt(), 3);
    // The Quadro AC rows are those of the current year, with the condominium's data.
    EXPECT_EQ(column(db, "SELECT Comune FROM QueryQuadroAC"), QStringList({"Torino", "Torino"}));
}

TEST_F(MainSchema, PersonsAndSuppliersShowTheirDisplayNames)
{
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, 'Rossi', 'Mario')", {kCondominio});
    const qint64 owner = db.lastInsertId();
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES (?, 'Neri Srl', '')", {kCondominio});
    const qint64 tenant = db.lastInsertId();
    db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino) VALUES (?, 'Int. 1', ?, ?)",
            {kCondominio, owner, tenant});
    db.exec("INSERT INTO Locali (IdCondominio, Nome, idProprietario, idInquilino) VALUES (?, 'Box 2', ?, ?)",
            {kCondominio, owner, owner});
    db.exec("INSERT INTO Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo) VALUES (?, 1, '2013', 'Rata 1', 10)",
            {kCondominio});
    db.exec("INSERT INTO Entrate (Condominio, AA, IdPersona, Nome) VALUES (?, '2013', ?, 'Rata 1')", {kCondominio, tenant});

    EXPECT_EQ(column(db, "SELECT Persona FROM QueryComboPropInq ORDER BY Persona"),
              QStringList({"Neri Srl", "Rossi Mario"}));
    EXPECT_EQ(column(db, "SELECT Persona FROM QueryEntrateAC"), QStringList({"Neri Srl"}));
    // One row per owner, whatever the number of units.
    EXPECT_EQ(column(db, "SELECT Proprietario FROM QueryProprietari WHERE idCondominio = ?", {kCondominio}),
              QStringList({"Rossi Mario"}));
    Statement st(db, "SELECT Proprietario, Inquilino, Nome FROM QuerySolleciti");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.value(0).toString(), "Rossi Mario");
    EXPECT_EQ(st.value(1).toString(), "Neri Srl");
    EXPECT_EQ(st.value(2).toString(), "Rata 1"); // the quota's name

    const qint64 f = addSupplier("Gialli", "Luca");
    addSupplier("Idraulica Srl", QVariant());
    db.exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (?, ?)", {f, kCondominio});
    EXPECT_EQ(column(db, "SELECT Fornitore FROM QueryFornitori WHERE idCondominio = ?", {kCondominio}),
              QStringList({"Gialli Luca"}));
    EXPECT_EQ(column(db, "SELECT Fornitore FROM QueryFornitoriCompleta ORDER BY Fornitore"),
              QStringList({"Gialli Luca", "Idraulica Srl"}));
}

TEST_F(MainSchema, WritesThroughTheUpdatableViewsReachTheirTables)
{
    // Income register.
    db.exec("INSERT INTO QueryEntrateAC (Condominio, AA, Data, TipoMovimento, Nome, Importo, MetodoPagamento, Ricevuta) "
            "VALUES (?, '2013', '2013-03-01', 'Entrata', 'Rata 1', 50, 'Cassa', 7)", {kCondominio});
    const QVariant entrata = db.scalar("SELECT id FROM Entrate WHERE Ricevuta = 7");
    ASSERT_FALSE(entrata.isNull());
    EXPECT_EQ(db.scalar("SELECT Data FROM Entrate WHERE id = ?", {entrata}).toString(), "2013-03-01");
    db.exec("UPDATE QueryEntrateAC SET Importo = 75, Nota = 'corretta' WHERE Id = ?", {entrata});
    EXPECT_EQ(db.scalar("SELECT Importo FROM Entrate WHERE id = ?", {entrata}).toDouble(), 75.0);
    EXPECT_EQ(db.scalar("SELECT Nome FROM Entrate WHERE id = ?", {entrata}).toString(), "Rata 1");
    db.exec("DELETE FROM QueryEntrateAC WHERE Id = ?", {entrata});
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Entrate").toInt(), 0);

    // Interventions.
    db.exec("INSERT INTO QueryInterventiAC (Condominio, AA, Contatto, TipoContatto, Data, Ora, Concluso) "
            "VALUES (?, '2013', 'Rossi', 'Telefono', '2013-04-02', '09:30', 0)", {kCondominio});
    EXPECT_EQ(db.scalar("SELECT Ora FROM Interventi").toString(), "09:30");
    db.exec("UPDATE QueryInterventiAC SET Concluso = 1 WHERE Contatto = 'Rossi'");
    EXPECT_EQ(db.scalar("SELECT Concluso FROM Interventi").toInt(), 1);
    db.exec("DELETE FROM QueryInterventiAC");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Interventi").toInt(), 0);

    // Suppliers.
    db.exec("INSERT INTO QueryFornitoriCompleta (Cognome, Nome, \"Città\") VALUES ('Blu', 'Ada', 'Asti')");
    const QVariant f = db.scalar("SELECT id FROM Fornitori WHERE Cognome = 'Blu'");
    ASSERT_FALSE(f.isNull());
    EXPECT_EQ(db.scalar("SELECT \"Città\" FROM Fornitori").toString(), "Asti");
    db.exec("UPDATE QueryFornitoriCompleta SET Email = 'ada@blu.it' WHERE id = ?", {f});
    EXPECT_EQ(db.scalar("SELECT Email FROM Fornitori").toString(), "ada@blu.it");
    db.exec("DELETE FROM QueryFornitoriCompleta WHERE id = ?", {f});
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Fornitori").toInt(), 0);

    // Thousandths of one unit in one table, both ways of naming the table column.
    db.exec("INSERT INTO Locali (IdCondominio, Nome) VALUES (?, 'Int. 1')", {kCondominio});
    const qint64 unit = db.lastInsertId();
    db.exec("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, 'Generale')", {kCondominio});
    const qint64 generale = db.lastInsertId();
    db.exec("INSERT INTO Tabelle (Id_Condominio, Nome) VALUES (?, 'Scala A')", {kCondominio});
    const qint64 scala = db.lastInsertId();
    db.exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, ?, 0)", {kCondominio, unit, generale});
    db.exec("INSERT INTO Millesimi (IdCondominio, IdLocale, IdTabella, Millesimi) VALUES (?, ?, ?, 0)", {kCondominio, unit, scala});
    db.exec(QStringLiteral("UPDATE QueryLocali SET Millesimi=125.5\nWHERE Id=%1 AND Nome='Generale'").arg(unit));
    db.exec(QStringLiteral("UPDATE QueryLocali SET Millesimi=40.25\nWHERE Id=%1 AND \"Tabelle.Nome\"='Scala A'").arg(unit));
    EXPECT_EQ(db.scalar("SELECT Millesimi FROM Millesimi WHERE IdTabella = ?", {generale}).toDouble(), 125.5);
    EXPECT_EQ(db.scalar("SELECT Millesimi FROM Millesimi WHERE IdTabella = ?", {scala}).toDouble(), 40.25);
}

TEST_F(MainSchema, ApostropheInTheCondominiumNameFlowsThroughTheViews)
{
    db.exec("INSERT INTO Entrate (Condominio, AA, Nome, Importo, MetodoPagamento) VALUES (?, '2013', 'Rata 1', 20, 'Cassa')",
            {kCondominio});
    QString quoted = kCondominio;
    quoted.replace("'", "''");
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM QueryEntrateAC WHERE Condominio='%1'").arg(quoted)).toInt(), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT nome FROM QueryAC WHERE idCondominio='%1'").arg(quoted)).toString(), "2013");
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Importo FROM QuerySommaEntrateAC WHERE Condominio='%1'").arg(quoted)).toDouble(),
              20.0);
}

TEST(SchemaFiles, MainFileIsEncryptedWithItsKey)
{
    SKIP_ON_SERVER();
    TempDir dir;
    const QString path = dir.file("Condomini.db");
    {
        Database db;
        openDatabase(db, path, DatabaseKind::Main);
        db.exec("INSERT INTO Condomini (Nome) VALUES ('Riservato - Via Segreta 1')");
    }
    EXPECT_FALSE(readBytes(path).contains("Riservato"));
    EXPECT_FALSE(readBytes(path).contains("CREATE TABLE"));
    Database plain;
    EXPECT_THROW(plain.open(path), StoreError);
    Database wrong;
    EXPECT_THROW(wrong.open(path, "tarvia"), StoreError);
    Database right;
    right.open(path, mainDatabaseKey());
    EXPECT_EQ(right.scalar("SELECT Nome FROM Condomini").toString(), "Riservato - Via Segreta 1");
    // Building left nothing else in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Condomini.db"}));
}

TEST(SchemaFiles, ExistingFileIsOpenedAsItIs)
{
    SKIP_ON_SERVER();
    TempDir dir;
    const QString path = dir.file("Condomini.db");
    {
        Database db;
        openDatabase(db, path, DatabaseKind::Main);
        db.exec("DELETE FROM TipoAvvisi WHERE Tipo = 'PEC'");
    }
    const QByteArray before = readBytes(path);
    {
        Database db;
        openDatabase(db, path, DatabaseKind::Main);
        EXPECT_EQ(db.scalar("SELECT count(*) FROM TipoAvvisi").toInt(), 5); // not seeded again
        EXPECT_EQ(db.scalar("SELECT count(*) FROM Tipologia").toInt(), 4);
    }
    EXPECT_EQ(readBytes(path), before);
}

TEST(SchemaFiles, ForeignFileIsReportedAndLeftUntouched)
{
    SKIP_ON_SERVER();
    TempDir dir;
    const QString path = dir.file("Condomini.db");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        static const char kJetHeader[] = "Standard Jet DB\0\0\0 not a database at all";
        f.write(QByteArray(kJetHeader, sizeof(kJetHeader) - 1).repeated(200));
    }
    const QByteArray before = readBytes(path);
    Database db;
    try {
        openDatabase(db, path, DatabaseKind::Main);
        FAIL() << "no error raised";
    } catch (const StoreError& e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(readBytes(path), before);

    // A database of another kind is foreign too: the engine names the missing table.
    const QString web = dir.file("WebDB.db");
    {
        Database w;
        openDatabase(w, web, DatabaseKind::Web);
    }
    const QByteArray webBefore = readBytes(web);
    try {
        openDatabase(db, web, DatabaseKind::Faq);
        FAIL() << "no error raised";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().contains("FAQ")) << e.message().toStdString();
    }
    EXPECT_EQ(readBytes(web), webBefore);
}

TEST(SchemaFiles, WebAndFaqDatabasesHaveTheirTables)
{
    SKIP_ON_SERVER();
    TempDir dir;
    Database web;
    openDatabase(web, dir.file("WebDB.db"), DatabaseKind::Web);
    EXPECT_EQ(lowered(web.columnNames("CodiceCondominio")), QStringList({"condominio", "iban", "intestatario"}));
    EXPECT_EQ(lowered(web.columnNames("Accesso")), QStringList({"id", "persona", "user", "password", "idcondominio"}));
    const QStringList quote = lowered(web.columnNames("Quote"));
    for (const char* c : {"condominio", "idproprietario", "idinquilino", "idlocale", "locale", "nomequote",
                          "importo", "importopagato", "tipologia", "data", "datascadenza", "aa", "nota"})
        EXPECT_TRUE(quote.contains(c)) << c;
    EXPECT_EQ(lowered(web.columnNames("Files")), QStringList({"id", "condominio", "aa", "file", "data"}));
    web.exec("INSERT INTO Files (Condominio, AA, File) VALUES ('C - V', '', 'verbale.pdf')");
    EXPECT_EQ(web.scalar("SELECT Id FROM Files").toInt(), 1);
    // Unencrypted: the site reads it without a key.
    web.close();
    Database plain;
    EXPECT_NO_THROW(plain.open(dir.file("WebDB.db")));

    Database faq;
    openDatabase(faq, dir.file("FAQ.db"), DatabaseKind::Faq);
    EXPECT_EQ(lowered(faq.columnNames("Capitoli")), QStringList({"id", "capitolo"}));
    EXPECT_EQ(lowered(faq.columnNames("FAQ")), QStringList({"id", "capitolo", "titolo", "domanda", "risposta"}));
    faq.exec("INSERT INTO Capitoli (Capitolo) VALUES ('Quote'); INSERT INTO Capitoli (Capitolo) VALUES ('Anagrafe')");
    EXPECT_EQ(column(faq, "SELECT Capitolo FROM Capitoli"), QStringList({"Quote", "Anagrafe"}));
}
