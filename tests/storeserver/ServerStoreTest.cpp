// The store on a PostgreSQL server, beside the same store on files. Runs when VELCARIS_TEST_PG
// holds a conninfo of a server where the user may create databases (scripts/pg-test-cluster
// starts one); otherwise every test is skipped. The process works in a database of its own,
// made at the first test and dropped at the end; each test starts from empty schemas.
#include "store/Crosstab.h"
#include "store/Dataset.h"
#include "store/Failpoint.h"
#include "store/Retry.h"
#include "store/Schema.h"
#include "support/SameRead.h"
#include "support/ServerDatabase.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDate>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace velcaris::store;
using velcaris::test::TempDir;

namespace {

#define REQUIRE_SERVER()                                                                   \
    if (!velcaris::test::serverAvailable())                                                \
    GTEST_SKIP() << "VELCARIS_TEST_PG non impostata: nessun server PostgreSQL per i test"

QString show(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("NULL");
    return QStringLiteral("%1:%2").arg(QString::fromLatin1(v.typeName()), v.toString());
}

} // namespace

TEST(ServerStore, ValuesTransactionsAndErrorsAsWithFiles)
{
    REQUIRE_SERVER();
    const velcaris::test::ServerDatabase scratch(QStringLiteral("t"));
    const ServerParams server = scratch.params();
    Database db;
    openServerDatabase(db, server, DatabaseKind::Main);
    ASSERT_TRUE(db.isServer());

    // Values come back as the files give them; a '?' inside quoted text is not a placeholder.
    db.exec("INSERT INTO Entrate (Condominio, AA, Data, Importo, Ricevuta, Nota) VALUES (?, ?, ?, ?, ?, 'che?')",
            {QString("D'Angelo; DROP TABLE Entrate"), QString("2024"), QDate(2024, 3, 9), 12.5, true});
    const qint64 first = db.lastInsertId();
    EXPECT_GT(first, 0);
    EXPECT_EQ(db.changes(), 1);
    Statement st(db, "SELECT Condominio, Data, Importo, Ricevuta, Nota, IdPersona, id FROM Entrate WHERE \"AA\" = ?");
    st.bind(1, QString("2024"));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.columnName(0), "Condominio");
    EXPECT_EQ(st.columnDeclType(1), "DATE");
    EXPECT_EQ(st.value(0).toString(), "D'Angelo; DROP TABLE Entrate");
    EXPECT_EQ(st.value(1), QVariant(QString("2024-03-09")));
    EXPECT_EQ(st.value(2), QVariant(12.5));
    EXPECT_EQ(st.value(3), QVariant(qint64(1)));
    EXPECT_EQ(st.value(4).toString(), "che?");
    EXPECT_TRUE(st.value(5).isNull());
    EXPECT_EQ(st.value(6).toLongLong(), first);
    EXPECT_FALSE(st.step());

    // Nested transactions: the inner one rolled back, the outer kept; a rolled back outer leaves nothing.
    {
        Transaction outer(db);
        db.exec("INSERT INTO Tipologia (Tipologia) VALUES ('esterna')");
        {
            Transaction inner(db);
            db.exec("INSERT INTO Tipologia (Tipologia) VALUES ('interna')");
        }
        outer.commit();
    }
    {
        Transaction lost(db);
        db.exec("INSERT INTO Tipologia (Tipologia) VALUES ('persa')");
    }
    EXPECT_EQ(db.scalar("SELECT group_concat(Tipologia, '|') FROM Tipologia WHERE Id > 4").toString(), "esterna");

    // The server's own text, and the kind of failure for what the program explains.
    try {
        db.exec("SELECT * FROM TabellaMancante");
        FAIL() << "nessun errore";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().contains("tabellamancante")) << e.message().toStdString();
    }
    ServerParams nowhere;
    nowhere.conninfo = QStringLiteral("host=/nonexistent/velcaris dbname=x connect_timeout=2");
    Database missing;
    try {
        missing.openServer(nowhere);
        FAIL() << "collegato a un server inesistente";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.fault(), StoreFault::CannotOpen);
        EXPECT_TRUE(e.message().startsWith("Impossibile collegarsi")) << e.message().toStdString();
    }

    // The web connection of the same database: its own tables by their bare names, the main
    // connection reaches them as web.Quote.
    Database web;
    openServerDatabase(web, server, DatabaseKind::Web);
    web.exec("INSERT INTO Quote (Condominio, Importo, Id) VALUES ('Alfa', 10.25, 7)");
    EXPECT_EQ(db.scalar("SELECT Importo FROM web.Quote WHERE Id = ?", {7}), QVariant(10.25));
    EXPECT_EQ(web.columnNames("Quote").last(), "Id");
}

TEST(ServerStore, DatasetsWriteThroughTablesWithAndWithoutKeysAndViews)
{
    REQUIRE_SERVER();
    Database db;
    const velcaris::test::ServerDatabase scratch(QStringLiteral("t"));
    openServerDatabase(db, scratch.params(), DatabaseKind::Main);

    // Condomini has no key of its own: the hidden one keys its rows and is never shown.
    Dataset buildings("b");
    buildings.setConnection(&db);
    buildings.setTableName("Condomini");
    buildings.open();
    EXPECT_FALSE(buildings.hasField("__rowid__"));
    EXPECT_EQ(buildings.fieldNames().first(), "Nome");
    for (const char* name : {"Zeta", "alfa", "Èlite", "beta"}) {
        buildings.append();
        buildings.setValue("Nome", QString::fromUtf8(name));
        buildings.post();
    }
    buildings.setValue("Comune", QString("Roma")); // edits the last row, found by its key
    buildings.post();
    buildings.setSort("Nome ASC");
    QStringList order;
    for (buildings.first(); !buildings.eof(); buildings.next())
        order << buildings.value("Nome").toString() + u'/' + buildings.value("Comune").toString();
    EXPECT_EQ(order, QStringList({"alfa/", "beta/Roma", "Zeta/", QString::fromUtf8("Èlite/")}));
    buildings.setFilter("Nome LIKE 'è*'");
    ASSERT_EQ(buildings.rowCount(), 1);
    buildings.remove();
    buildings.setFilter(QString());
    EXPECT_EQ(buildings.rowCount(), 3);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Condomini").toLongLong(), 3);

    // The current year's income view, written through its trigger.
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, data_inizio, data_fine, corrente) "
            "VALUES ('alfa', '2024', '2024-01-01', '2024-12-31', 1)");
    Dataset income("e");
    income.setConnection(&db);
    income.setTableName("QueryEntrateAC");
    income.open();
    income.append();
    income.setValue("Condominio", QString("alfa"));
    income.setValue("AA", QString("2024"));
    income.setValue("Data", QDate(2024, 5, 2));
    income.setValue("Importo", 80.0);
    income.post();
    EXPECT_GT(income.keyValue().toLongLong(), 0);
    EXPECT_EQ(income.text("Data"), "02/05/2024");
    income.setValue("Importo", 95.5);
    income.post();
    EXPECT_EQ(db.scalar("SELECT Importo FROM Entrate WHERE id = ?", {income.keyValue()}), QVariant(95.5));
    income.remove();
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Entrate").toLongLong(), 0);
}

namespace {

// The same rows, written by the same statements, into an office of either engine.
void fillOffice(Database& db)
{
    Transaction tr(db);
    db.exec("INSERT INTO AnnoAmministrativo (idCondominio, nome, data_inizio, data_fine, corrente) VALUES "
            "('Via Po 2', '2024', '2024-01-01', '2024-12-31', 1), ('Via Po 2', '2023', '2023-01-01', '2023-12-31', 0)");
    db.exec("INSERT INTO Anagrafe (idCondominio, Cognome, Nome) VALUES ('Via Po 2', 'Rossi', 'Anna'), "
            "('Via Po 2', 'Àlberti', ''), ('Via Po 2', 'de Santis', NULL)");
    db.exec("INSERT INTO Fornitori (Cognome, Nome, PartitaIVA) VALUES ('Idraulica Sud', NULL, '0123'), ('Verdi', 'Luca', NULL)");
    db.exec("INSERT INTO fornitori_associazione (IdFornitore, IdCondominio) VALUES (1, 'Via Po 2'), (1, 'Via Re 3'), (2, 'Via Po 2')");
    const struct { const char* date; int person; double amount; const char* method; const char* note; } income[] = {
        {"2024-02-01", 1, 120.1, "Contanti", "rata Gennaio"}, {"2024-02-15", 2, 0.1 + 0.2, "Bonifico", "ÈRATA"},
        {"2024-03-01", 3, 1e6 / 3, "Bonifico", nullptr},        {"2024-03-01", 1, 55, "Contanti", "acconto *"},
        {"2023-12-30", 1, 10, "Contanti", "vecchio anno"}};
    for (const auto& r : income)
        db.exec("INSERT INTO Entrate (Condominio, AA, Data, TipoMovimento, IdPersona, Importo, MetodoPagamento, Ricevuta, Nota) "
                "VALUES (?, ?, ?, 'Quota', ?, ?, ?, ?, ?)",
                {QString("Via Po 2"), QString(r.date).left(4), QString(r.date), r.person, r.amount, QString(r.method),
                 r.person, r.note ? QVariant(QString::fromUtf8(r.note)) : QVariant()});
    const struct { int supplier; const char* table; double gross; double withheld; int paid; const char* paidOn; } expenses[] = {
        {1, "Scale", 1220, 200, 1, "2024-04-01"}, {2, "Generale", 99.99, 0, 0, nullptr},
        {1, "Generale", 50.005, 10.001, 1, "2024-01-31"}, {2, nullptr, 7, 0, 1, "2024-06-30"}};
    for (const auto& r : expenses)
        db.exec("INSERT INTO Uscite (Condominio, AA, IdFornitore, Tabella, ImportoLordo, RitenuteOperate, Commissione, "
                "pagato, DataPagamento, Pagamento, CodTributo) VALUES ('Via Po 2', '2024', ?, ?, ?, ?, 1.5, ?, ?, 'Banca', '1040')",
                {r.supplier, r.table ? QVariant(QString(r.table)) : QVariant(), r.gross, r.withheld, r.paid,
                 r.paidOn ? QVariant(QString(r.paidOn)) : QVariant()});
    const struct { const char* table; const char* item; double amount; } budget[] = {
        {"Generale", "Pulizia", 1200.5}, {"Generale", "Luce", 300.25}, {"Scale", "Pulizia", 80}, {nullptr, "Varie", 12.345}};
    for (const auto& r : budget)
        db.exec("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) VALUES ('Via Po 2', '2024', ?, ?, ?)",
                {r.table ? QVariant(QString(r.table)) : QVariant(), QString(r.item), r.amount});
    tr.commit();
}

struct Read {
    QStringList columns;
    QStringList dates;
    QVector<QVector<QVariant>> rows;
};

Read readRegister(Database& db, const QString& source, const QString& sort, const QString& filter)
{
    Dataset d("r");
    d.setConnection(&db);
    d.setTableName(source);
    d.setSort(sort);
    d.setFilter(filter);
    d.open();
    Read out;
    out.columns = d.fieldNames();
    for (int c = 0; c < out.columns.size(); ++c)
        if (d.isDateField(c))
            out.dates << out.columns[c];
    for (int r = 0; r < d.rowCount(); ++r) {
        QVector<QVariant> row;
        for (int c = 0; c < out.columns.size(); ++c)
            row << d.valueAt(r, c);
        out.rows << row;
    }
    return out;
}

Read readSql(Database& db, const QString& sql, const QVector<QVariant>& params)
{
    Statement st(db, sql);
    st.bindAll(params);
    Read out;
    for (int c = 0; c < st.columnCount(); ++c)
        out.columns << st.columnName(c);
    while (st.step()) {
        QVector<QVariant> row;
        for (int c = 0; c < out.columns.size(); ++c)
            row << st.value(c);
        out.rows << row;
    }
    return out;
}

void expectSameRead(const Read& file, const Read& server, const QString& what)
{
    SCOPED_TRACE(what.toStdString());
    // Names are told apart without regard to case on both engines (a view's "id" may come back
    // as "Id" from the server).
    EXPECT_EQ(file.columns.join(u'|').toLower(), server.columns.join(u'|').toLower());
    EXPECT_EQ(file.dates.join(u'|').toLower(), server.dates.join(u'|').toLower());
    ASSERT_EQ(file.rows.size(), server.rows.size());
    EXPECT_FALSE(file.rows.isEmpty()) << "nessuna riga da confrontare";
    for (qsizetype r = 0; r < file.rows.size(); ++r)
        for (qsizetype c = 0; c < file.rows[r].size() && c < server.rows[r].size(); ++c)
            EXPECT_TRUE(velcaris::test::sameCell(file.rows[r][c], server.rows[r][c]))
                << "riga " << r << " " << file.columns.value(c).toStdString() << ": file "
                << show(file.rows[r][c]).toStdString() << ", server " << show(server.rows[r][c]).toStdString();
}

} // namespace

TEST(CrossEngine, TheSameRowsReadTheSameFromFilesAndFromTheServer)
{
    REQUIRE_SERVER();
    TempDir dir;
    Database file, server;
    openDatabase(file, dir.file("Condomini.db"), DatabaseKind::Main);
    const velcaris::test::ServerDatabase scratch(QStringLiteral("t"));
    openServerDatabase(server, scratch.params(), DatabaseKind::Main);
    fillOffice(file);
    fillOffice(server);

    const struct { const char* source; const char* sort; const char* filter; } registers[] = {
        {"QueryEntrateAC", "Data DESC,Id ASC", ""},
        {"QueryEntrateAC", "Persona ASC,Importo DESC", "Nota LIKE '*rata*' OR Nota IS NULL"},
        {"QueryEntrateAC", "Id ASC", "Nota LIKE 'acconto [*]' OR Importo > 300"},
        {"QueryUsciteAC", "Tabella ASC,id ASC", ""},
        {"QueryUsciteAC", "DataPagamento DESC,id DESC", "pagato = true AND Fornitore LIKE 'idr?ulica*'"},
        {"QueryPreventiviAC", "Id ASC,Tabella ASC", ""},
        {"QuerySommaEntrateAC", "MetodoPagamento ASC", ""},
        {"QuerySommaUsciteAC", "Pagamento ASC", ""},
        {"QueryFornitoriCompleta", "Fornitore ASC", ""},
        {"QueryAC", "nome ASC", ""},
        {"Anagrafe", "Cognome ASC", "Cognome LIKE 'à*' OR Nome IS NULL"},
        {"Entrate", "Data ASC,id ASC", "Data >= 15/02/2024 AND Data < 2/3/2024"},
    };
    for (const auto& r : registers)
        expectSameRead(readRegister(file, r.source, r.sort, r.filter), readRegister(server, r.source, r.sort, r.filter),
                       QStringLiteral("%1 [%2] [%3]").arg(r.source, r.sort, r.filter));

    CrosstabSpec layout;
    layout.fixedColumns = {"e.IdPersona AS Persona", "ROUND(SUM(e.Importo), 2) AS Totale"};
    layout.groupBy = {"e.IdPersona"};
    layout.from = "Entrate AS e";
    layout.where = "e.Condominio = ? AND e.Data >= ?";
    layout.params = {QString("Via Po 2"), QDate(2024, 1, 1)};
    layout.pivot = "e.MetodoPagamento";
    layout.value = "e.Importo";
    layout.orderBy = "e.IdPersona";
    layout.emptyAsZero = true;
    const CrosstabQuery onFile = buildCrosstab(file, layout), onServer = buildCrosstab(server, layout);
    EXPECT_EQ(onFile.pivotValues, onServer.pivotValues);
    expectSameRead(readSql(file, onFile.sql, onFile.params), readSql(server, onServer.sql, onServer.params), "crosstab");

    const char* statements[] = {
        "SELECT count(*) AS Righe, SUM(Importo) AS Totale, max(Data) AS Ultima, min(Nota) AS Prima FROM Entrate WHERE AA = ?",
        "SELECT Cognome, Nome FROM Anagrafe ORDER BY Cognome COLLATE NOCASE DESC",
        "SELECT p.Tabella, ROUND(SUM(p.Spesa), 2) AS Totale FROM Preventivi AS p WHERE p.AA = ? GROUP BY p.Tabella "
        "ORDER BY p.Tabella ASC",
    };
    for (const char* sql : statements) {
        const QVector<QVariant> params = QString(sql).contains(u'?') ? QVector<QVariant>{QString("2024")} : QVector<QVariant>{};
        expectSameRead(readSql(file, sql, params), readSql(server, sql, params), sql);
    }
}


TEST(ServerStore, TwoDesksOnOneDatabaseLoseNothingOfEachOther)
{
    REQUIRE_SERVER();
    const velcaris::test::ServerDatabase scratch(QStringLiteral("t"));
    const ServerParams server = scratch.params();
    Database one, two, web;
    openServerDatabase(one, server, DatabaseKind::Main);
    openServerDatabase(two, server, DatabaseKind::Main);
    openServerDatabase(web, server, DatabaseKind::Web);

    // An edit of a row the other desk changed since it was read: nothing written, the row shown
    // as it is now; the same desk editing the row again is never refused.
    one.exec("INSERT INTO Condomini (Nome, Comune) VALUES ('Alfa', 'Roma'), ('Beta', 'Bari')");
    Dataset grid("c");
    grid.setConnection(&one);
    grid.setTableName("Condomini");
    grid.setSort("Nome ASC");
    grid.open();
    ASSERT_EQ(grid.rowCount(), 2);
    grid.setValue("Comune", QString("Milano"));
    grid.post();
    grid.setValue("Comune", QString("Torino"));
    grid.post();
    two.exec("UPDATE Condomini SET Banca = 'Banca Sud' WHERE Nome = 'Alfa'");
    grid.setValue("Comune", QString("Napoli"));
    StoreError refused = velcaris::test::failureOf([&] { grid.post(); });
    EXPECT_EQ(refused.fault(), StoreFault::Conflict);
    EXPECT_TRUE(refused.message().startsWith(QString::fromUtf8("Il record è stato modificato da un'altra postazione")))
        << refused.message().toStdString();
    EXPECT_EQ(grid.state(), Dataset::State::Browse);
    EXPECT_EQ(grid.value("Banca").toString() + grid.value("Comune").toString(), "Banca SudTorino");
    // Overtaken between its check and its write: the server refuses the write, and the row is
    // shown as it is now all the same.
    const FailpointHandler before = setFailpointHandler([&](const char* name) {
        if (QByteArray(name) == "dataset.modifica.prima-di-scrivere")
            two.exec("UPDATE Condomini SET Banca = 'Banca Nord' WHERE Nome = 'Alfa'");
    });
    grid.setValue("Comune", QString("Napoli"));
    refused = velcaris::test::failureOf([&] { grid.post(); });
    setFailpointHandler(before);
    EXPECT_EQ(refused.fault(), StoreFault::Conflict);
    EXPECT_EQ(grid.value("Banca").toString(), "Banca Nord");
    EXPECT_EQ(two.scalar("SELECT Comune FROM Condomini WHERE Nome = 'Alfa'").toString(), "Torino");
    two.exec("DELETE FROM Condomini WHERE Nome = 'Beta'");
    grid.next();
    grid.setValue("Comune", QString("Lecce"));
    EXPECT_EQ(velcaris::test::failureOf([&] { grid.post(); }).message(), QString::fromUtf8("Il record è stato eliminato da un'altra postazione."));
    EXPECT_EQ(grid.rowCount(), 1);

    // Two desks adding to the same amount at once: the one overtaken between its read and its
    // write conflicts, runs again, and adds to what the other wrote.
    one.exec("INSERT INTO Entrate (Condominio, AA, Importo) VALUES ('Alfa', '2024', 100)");
    const qint64 income = one.lastInsertId();
    auto addTo = [&](Database& db, double amount, const std::function<void()>& meanwhile) {
        retryOnConflict(db, [&] {
            Transaction tr(db);
            const double now = db.scalar("SELECT Importo FROM Entrate WHERE id = ?", {income}).toDouble();
            meanwhile();
            db.exec("UPDATE Entrate SET Importo = ? WHERE id = ?", {now + amount, income});
            tr.commit();
        });
    };
    int runs = 0;
    addTo(one, 10, [&] {
        if (++runs == 1)
            addTo(two, 5, [] {});
    });
    EXPECT_EQ(runs, 2);
    EXPECT_DOUBLE_EQ(two.scalar("SELECT Importo FROM Entrate WHERE id = ?", {income}).toDouble(), 115.0);
    // Inside a transaction of its caller the work runs once: the caller's transaction is the one to undo.
    runs = 0;
    auto alwaysOvertaken = [&] {
        ++runs;
        throw StoreError("superata", StoreFault::Conflict);
    };
    {
        Transaction outer(one);
        EXPECT_THROW(retryOnConflict(one, alwaysOvertaken), StoreError);
        EXPECT_EQ(runs, 1);
    }
    EXPECT_THROW(retryOnConflict(one, alwaysOvertaken, 3), StoreError);
    EXPECT_EQ(runs, 4);

    // A key given explicitly, through a table, a view or a row of every column, moves the
    // identity on: the next row without a key, from either desk, takes a free one.
    web.exec("INSERT INTO Quote (Condominio, Importo, Id) VALUES (?, ?, ?)", {QString("Alfa"), 1.5, 50});
    two.exec("INSERT INTO web.Quote (Condominio) VALUES ('Beta')");
    EXPECT_GE(web.scalar("SELECT Id FROM Quote WHERE Condominio = 'Beta'").toLongLong(), 51);
    EXPECT_EQ(velcaris::test::failureOf([&] { two.exec("INSERT INTO web.Quote (Id) VALUES (50)"); }).fault(), StoreFault::Conflict);
    one.exec("INSERT INTO QueryEntrateAC (Id, Condominio, AA) VALUES (70, 'Alfa', '2024')");
    two.exec("INSERT INTO Entrate (Condominio) VALUES ('Beta')");
    EXPECT_GE(two.lastInsertId(), 71);
    one.exec("INSERT INTO Tipologia VALUES (20, 'venti')");
    two.exec("INSERT INTO Tipologia (Tipologia) VALUES ('dopo venti')");
    EXPECT_GE(two.lastInsertId(), 21);

    // A failed statement inside a transaction: the rest of it is refused in the program's words,
    // naming that failure, it is never reported as committed, and nothing of it is kept. A
    // savepoint rolled back undoes the failure with it.
    {
        Transaction tr(one);
        one.exec("INSERT INTO Tipologia (Tipologia) VALUES ('persa')");
        EXPECT_THROW(one.exec("SELECT * FROM TabellaMancante"), StoreError);
        const StoreError after = velcaris::test::failureOf([&] { one.scalar("SELECT count(*) FROM Tipologia"); });
        EXPECT_TRUE(after.message().startsWith("Operazione interrotta da un errore precedente"))
            << after.message().toStdString();
        EXPECT_TRUE(after.message().contains("tabellamancante")) << after.message().toStdString();
        EXPECT_THROW(tr.commit(), StoreError);
    }
    EXPECT_EQ(one.transactionDepth(), 0);
    {
        Transaction outer(one);
        one.exec("INSERT INTO Tipologia (Tipologia) VALUES ('tenuta')");
        {
            Transaction inner(one);
            EXPECT_EQ(one.transactionDepth(), 2);
            EXPECT_EQ(velcaris::test::failureOf([&] { one.exec("INSERT INTO Tipologia (Id) VALUES (1)"); }).fault(), StoreFault::Conflict);
        }
        one.exec("INSERT INTO Tipologia (Tipologia) VALUES ('dopo')");
        outer.commit();
    }
    EXPECT_EQ(two.scalar("SELECT count(*) FROM Tipologia WHERE Tipologia IN ('tenuta', 'dopo')").toLongLong(), 2);
    EXPECT_EQ(two.scalar("SELECT count(*) FROM Tipologia WHERE Tipologia = 'persa'").toLongLong(), 0);
}
