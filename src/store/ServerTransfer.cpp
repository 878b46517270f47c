#include "store/ServerTransfer.h"

#include "store/Schema.h"
#include "store/ServerSql.h"

#include <QDir>
#include <QHash>

#include <algorithm>
#include <cmath>

namespace velcaris::store {

namespace {

// The advisory lock that lets one transfer at a time into a server database: a second one waits
// for the first and then finds the data there.
constexpr qint64 kTransferLock = 7245302;

// How a server column takes a value: its numbers have no blank and no text.
enum class ColumnKind { Text, Integer, Real };

struct ServerColumn {
    QString name;
    ColumnKind kind = ColumnKind::Text;
};

// What a database of the kind holds when just made: its columns and its rows (as sorted text),
// the lookup tables' seed rows and nothing in the others.
struct FreshTable {
    QStringList columns;
    QStringList rows;
};

// One database of the office on both sides.
struct Side {
    Database* file = nullptr;
    QString schema;                    // on the server
    DatabaseKind kind = DatabaseKind::Main;
    QHash<QString, QString> tables;    // the server's tables of the schema, folded name -> name
    QHash<QString, FreshTable> fresh;  // folded name -> what a fresh database holds
};

// A table copied, with what the checks after the copy need.
struct Copied {
    const Side* side = nullptr;
    QString serverTable;
    QString key;             // the integer key as the file spells it; empty when the table has none
    QStringList identities;  // the server's key counters of the table (its identity columns)
};

ColumnKind kindOf(const QString& declared)
{
    if (declared == QLatin1String("INTEGER") || declared == QLatin1String("BOOLEAN"))
        return ColumnKind::Integer;
    if (declared == QLatin1String("DOUBLE"))
        return ColumnKind::Real;
    return ColumnKind::Text;
}

// A table of the server in its schema, as SQL text.
QString onServer(const QString& schema, const QString& table)
{
    return schema + u'.' + quoteIdentifier(table);
}

QString columnList(const QStringList& columns)
{
    QStringList quoted;
    for (const QString& c : columns)
        quoted << quoteIdentifier(c);
    return quoted.join(QStringLiteral(", "));
}

// The name the program gives a table the server reports folded.
QString shownName(const QString& folded)
{
    return spelledName(folded, {});
}

// The tables of a file (or of a database in memory), in the order they were made.
QStringList fileTables(Database& file)
{
    Statement st(file, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                      "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"));
    QStringList names;
    while (st.step())
        names << st.value(0).toString();
    return names;
}

QHash<QString, QString> serverTables(Database& server, const QString& schema)
{
    Statement st(server, QStringLiteral("SELECT c.relname::text FROM pg_class AS c "
                                        "JOIN pg_namespace AS n ON n.oid = c.relnamespace "
                                        "WHERE n.nspname = ? AND c.relkind IN ('r', 'p')"));
    st.bind(1, schema);
    QHash<QString, QString> tables;
    while (st.step())
        tables.insert(foldName(st.value(0).toString()), st.value(0).toString());
    return tables;
}

// The server's columns of a table with their kinds, the hidden key left out.
QVector<ServerColumn> serverColumns(Database& server, const QString& schema, const QString& table)
{
    Statement st(server, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(onServer(schema, table)));
    QVector<ServerColumn> columns;
    for (int i = 0; i < st.columnCount(); ++i)
        if (st.columnName(i) != hiddenKeyColumn())
            columns.push_back({st.columnName(i), kindOf(st.columnDeclType(i))});
    return columns;
}

// The columns whose values the server gives itself (the integer key, or the hidden one).
QStringList identityColumns(Database& server, const QString& schema, const QString& table)
{
    Statement st(server, QStringLiteral("SELECT a.attname::text FROM pg_attribute AS a "
                                        "WHERE a.attrelid = to_regclass(?) AND a.attidentity <> '' "
                                        "AND NOT a.attisdropped ORDER BY a.attnum"));
    st.bind(1, quoteIdentifier(schema) + u'.' + quoteIdentifier(table));
    QStringList columns;
    while (st.step())
        columns << st.value(0).toString();
    return columns;
}

QString cellText(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("\u0001");
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 17);
    return v.toString();
}

// Every row of the statement as one text, sorted: two tables compared without regard to order.
QStringList rowTexts(Database& db, const QString& sql)
{
    Statement st(db, sql);
    QStringList rows;
    while (st.step()) {
        QStringList cells;
        for (int c = 0; c < st.columnCount(); ++c)
            cells << cellText(st.value(c));
        rows << cells.join(QChar(0x1f));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QHash<QString, FreshTable> freshTables(DatabaseKind kind)
{
    Database fresh;
    fresh.open(QStringLiteral(":memory:"));
    createSchema(fresh, kind);
    QHash<QString, FreshTable> tables;
    for (const QString& table : fileTables(fresh)) {
        FreshTable t;
        t.columns = fresh.columnNames(table);
        t.rows = rowTexts(fresh, QStringLiteral("SELECT %1 FROM %2").arg(columnList(t.columns), quoteIdentifier(table)));
        tables.insert(foldName(table), t);
    }
    return tables;
}

// The first table of the side's schema holding more than a freshly made database has ("Condomini
// (3 righe)"), the condominiums looked at first; empty when there is none.
QString heldData(Database& server, const Side& side)
{
    QStringList names = side.tables.keys();
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const bool aFirst = a == QLatin1String("condomini"), bFirst = b == QLatin1String("condomini");
        return aFirst != bFirst ? aFirst : a < b;
    });
    for (const QString& folded : names) {
        const QString table = onServer(side.schema, side.tables.value(folded));
        const qint64 rows = server.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toLongLong();
        const FreshTable fresh = side.fresh.value(folded);
        if (rows == fresh.rows.size()
            && (rows == 0
                || rowTexts(server, QStringLiteral("SELECT %1 FROM %2").arg(columnList(fresh.columns), table)) == fresh.rows))
            continue;
        return QStringLiteral("%1 (%2 righe)").arg(shownName(folded)).arg(rows);
    }
    return QString();
}

// The file's value as the server's column takes it: blank text in a column of numbers becomes
// empty (`blank`), other text must read as a number of the column's kind. A value that cannot is
// told in `problem`.
QVariant serverValue(const QVariant& value, ColumnKind kind, bool& blank, QString& problem)
{
    if (kind == ColumnKind::Text || !value.isValid() || value.isNull())
        return value;
    const int type = value.typeId();
    if (type == QMetaType::LongLong || type == QMetaType::Int)
        return value;
    bool ok = false;
    double number = 0;
    if (type == QMetaType::Double) {
        number = value.toDouble();
        ok = true;
    } else if (type == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.isEmpty()) {
            blank = true;
            return QVariant();
        }
        if (kind == ColumnKind::Integer) {
            const qint64 whole = text.toLongLong(&ok);
            if (ok)
                return QVariant(whole);
        }
        number = text.toDouble(&ok);
    }
    if (!ok) {
        problem = type == QMetaType::QByteArray ? QStringLiteral("il valore è un dato binario, non un numero")
                                                : QStringLiteral("il valore «%1» non è un numero").arg(value.toString());
        return QVariant();
    }
    if (kind == ColumnKind::Real)
        return QVariant(number);
    if (!std::isfinite(number) || number != std::trunc(number) || std::fabs(number) > 9.0e15) {
        problem = QStringLiteral("il valore «%1» non è un numero intero").arg(value.toString());
        return QVariant();
    }
    return QVariant(qint64(number));
}

// Copies the rows of one table (its common columns) with one statement, reused row after row.
Copied copyTable(Database& server, const Side& side, const QString& fileTable, TransferredTable& out)
{
    Copied copied;
    copied.side = &side;
    copied.serverTable = side.tables.value(foldName(fileTable));
    copied.identities = identityColumns(server, side.schema, copied.serverTable);
    const QVector<ServerColumn> columns = serverColumns(server, side.schema, copied.serverTable);
    QStringList names;
    QVector<ColumnKind> kinds;
    for (const QString& column : side.file->columnNames(fileTable)) {
        const auto match = std::find_if(columns.cbegin(), columns.cend(), [&](const ServerColumn& c) {
            return foldName(c.name) == foldName(column);
        });
        if (match == columns.cend()) {
            out.fileOnlyColumns << column;
            continue;
        }
        names << column;
        kinds << match->kind;
        if (copied.key.isEmpty() && copied.identities.contains(foldName(column)))
            copied.key = column;
    }
    out.fileRows = side.file->scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoteIdentifier(fileTable))).toLongLong();
    if (out.fileRows == 0)
        return copied;
    if (names.isEmpty())
        throw StoreError(QStringLiteral("la tabella %1 del file non ha nessuna colonna in comune con quella del server")
                             .arg(fileTable));

    // Many rows to a statement: one round trip to the server carries a batch, not a row.
    const QString list = columnList(names);
    const int batch = std::clamp(int(2000 / names.size()), 1, 500);
    auto insertOf = [&](int rows) {
        QStringList marks;
        for (qsizetype i = 0; i < names.size(); ++i)
            marks << QStringLiteral("?");
        const QString tuple = u'(' + marks.join(QStringLiteral(", ")) + u')';
        QStringList tuples;
        for (int r = 0; r < rows; ++r)
            tuples << tuple;
        return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
            .arg(onServer(side.schema, copied.serverTable), list, tuples.join(QStringLiteral(", ")));
    };
    Statement read(*side.file, QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(list, quoteIdentifier(fileTable)));
    Statement full(server, insertOf(batch));
    QVector<QVariant> values;
    values.reserve(batch * names.size());
    qint64 row = 0;
    auto flush = [&] {
        const int rows = int(values.size() / names.size());
        if (rows == 0)
            return;
        try {
            if (rows == batch) {
                full.reset();
                full.bindAll(values);
                full.step();
            } else {
                Statement rest(server, insertOf(rows));
                rest.bindAll(values);
                rest.step();
            }
        } catch (const StoreError& e) {
            throw StoreError(QStringLiteral("tabella %1, righe %2-%3 del file: %4")
                                 .arg(fileTable)
                                 .arg(row - rows + 1)
                                 .arg(row)
                                 .arg(e.message()),
                             e.fault());
        }
        values.clear();
    };
    while (read.step()) {
        ++row;
        for (int c = 0; c < names.size(); ++c) {
            bool blank = false;
            QString problem;
            values << serverValue(read.value(c), kinds[c], blank, problem);
            if (!problem.isEmpty())
                throw StoreError(QStringLiteral("tabella %1, colonna %2, riga %3 del file: %4; il server vuole un numero")
                                     .arg(fileTable, names[c]).arg(row).arg(problem));
            if (blank)
                ++out.blanksAsNull;
        }
        if (values.size() == batch * names.size())
            flush();
    }
    flush();
    return copied;
}

struct Tally {
    qint64 rows = 0;
    qint64 keys = 0; // the sum of the integer key
};

Tally tally(Database& db, const QString& table, const QString& key)
{
    Statement st(db, key.isEmpty() ? QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)
                                   : QStringLiteral("SELECT COUNT(*), SUM(%1) FROM %2").arg(quoteIdentifier(key), table));
    Tally t;
    if (st.step()) {
        t.rows = st.value(0).toLongLong();
        if (!key.isEmpty())
            t.keys = st.value(1).toLongLong();
    }
    return t;
}

// The server's key counters go on from the highest key copied. (A counter is not part of the
// transaction: moved and then rolled back, it only leaves a gap.)
void continueKeys(Database& server, const Copied& copied)
{
    for (const QString& column : copied.identities)
        server.scalar(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?)::regclass, "
                                     "COALESCE((SELECT MAX(%1) FROM %2), 0) + 1, false)")
                          .arg(quoteIdentifier(column), onServer(copied.side->schema, copied.serverTable)),
                      {quoteIdentifier(copied.side->schema) + u'.' + quoteIdentifier(copied.serverTable), column});
}

void openSource(Database& db, const QString& path, DatabaseKind kind)
{
    db.open(path, databaseKey(kind), OpenMode::ReadOnly);
    if (!db.tableExists(signatureTable(kind)))
        throw StoreError(QStringLiteral("non è un database dell'ufficio (manca la tabella %1)").arg(signatureTable(kind)));
}

QString serverName(const ServerParams& p)
{
    const QString database = p.database.isEmpty() ? QStringLiteral("(predefinito)") : p.database;
    return QStringLiteral("«%1» del server %2").arg(database, p.host.isEmpty() ? QStringLiteral("locale") : p.host);
}

QString summary(const ServerTransferResult& r, const ServerParams& p)
{
    QStringList lines;
    lines << QStringLiteral("Trasferimento concluso: %1 righe di %2 tabelle copiate nel database %3.")
                 .arg(r.rowsCopied())
                 .arg(r.tables.size())
                 .arg(serverName(p));
    QStringList columns, blanks;
    for (const TransferredTable& t : r.tables) {
        for (const QString& c : t.fileOnlyColumns)
            columns << t.name + u'.' + c;
        if (t.blanksAsNull > 0)
            blanks << QStringLiteral("%1 (%2)").arg(t.name).arg(t.blanksAsNull);
    }
    if (!columns.isEmpty())
        lines << QStringLiteral("Colonne dei file che il server non ha, non copiate: %1.").arg(columns.join(QStringLiteral(", ")));
    if (!r.notCopied.isEmpty())
        lines << QStringLiteral("Tabelle dei file che non sono del programma, non copiate: %1.")
                     .arg(r.notCopied.join(QStringLiteral(", ")));
    if (!blanks.isEmpty())
        lines << QStringLiteral("Testi vuoti in colonne di numeri, registrati sul server come valori vuoti: %1.")
                     .arg(blanks.join(QStringLiteral(", ")));
    lines << QStringLiteral("I file dell'ufficio non sono stati cambiati: il programma li apre finché nelle impostazioni "
                            "non c'è la sezione [server].");
    return lines.join(u'\n');
}

QString pgpassField(const QString& value)
{
    if (value.isEmpty())
        return QStringLiteral("*");
    QString escaped = value;
    escaped.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    escaped.replace(QStringLiteral(":"), QStringLiteral("\\:"));
    return escaped;
}

} // namespace

qint64 ServerTransferResult::rowsCopied() const
{
    qint64 rows = 0;
    for (const TransferredTable& t : tables)
        rows += std::max<qint64>(t.serverRows, 0);
    return rows;
}

ServerTransferResult transferToServer(const QString& mainFile, const QString& webFile, const ServerParams& params)
{
    ServerTransferResult result;
    if (params.database.trimmed().isEmpty() && params.conninfo.trimmed().isEmpty()) {
        result.message = QStringLiteral("Indicare il nome del database del server in cui trasferire l'ufficio.");
        return result;
    }

    Database mainSource, webSource;
    QString reading = mainFile;
    try {
        openSource(mainSource, mainFile, DatabaseKind::Main);
        reading = webFile;
        openSource(webSource, webFile, DatabaseKind::Web);
    } catch (const StoreError& e) {
        result.message = QStringLiteral("Impossibile leggere il file %1: %2.\nNon è stato trasferito nulla.")
                             .arg(QDir::toNativeSeparators(reading), e.message());
        return result;
    }

    Database server;
    try {
        openServerDatabase(server, params, DatabaseKind::Main);
    } catch (const StoreError& e) {
        result.message = QStringLiteral("%1\nNon è stato trasferito nulla.").arg(e.message());
        return result;
    }

    Side sides[2];
    sides[0].file = &mainSource;
    sides[0].schema = QStringLiteral("main");
    sides[0].kind = DatabaseKind::Main;
    sides[1].file = &webSource;
    sides[1].schema = QStringLiteral("web");
    sides[1].kind = DatabaseKind::Web;
    try {
        // One reading of each file, whatever else opens it meanwhile; one transaction on the server.
        Transaction mainReading(mainSource);
        Transaction webReading(webSource);
        Transaction tr(server);
        server.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kTransferLock));

        for (Side& side : sides) {
            side.tables = serverTables(server, side.schema);
            side.fresh = freshTables(side.kind);
            if (const QString held = heldData(server, side); !held.isEmpty()) {
                result.message = QStringLiteral("Il database %1 contiene già dei dati: %2. Il trasferimento si fa solo in "
                                                "un database vuoto, appena creato.\nNon è stato cambiato nulla.")
                                     .arg(serverName(params), held);
                return result;
            }
        }

        QVector<Copied> copied;
        for (const Side& side : sides) {
            for (const QString& table : fileTables(*side.file)) {
                const QString folded = foldName(table);
                if (!side.tables.contains(folded)) {
                    if (side.fresh.contains(folded))
                        throw StoreError(QStringLiteral("sul server manca la tabella %1.%2").arg(side.schema, table));
                    result.notCopied << side.schema + u'.' + table;
                    continue;
                }
                // The lookup rows the server's schema was made with make way for the file's own.
                if (!side.fresh.value(folded).rows.isEmpty())
                    server.exec(QStringLiteral("DELETE FROM %1").arg(onServer(side.schema, side.tables.value(folded))));
                TransferredTable t;
                t.schema = side.schema;
                t.name = table;
                copied << copyTable(server, side, table, t);
                result.tables << t;
            }
        }

        // Every table counted on both sides, its keys summed, before anything is committed.
        QStringList differences;
        for (qsizetype i = 0; i < copied.size(); ++i) {
            TransferredTable& t = result.tables[i];
            const Copied& c = copied[i];
            const Tally file = tally(*c.side->file, quoteIdentifier(t.name), c.key);
            const Tally onTheServer = tally(server, onServer(c.side->schema, c.serverTable), c.key);
            t.serverRows = onTheServer.rows;
            if (file.rows != onTheServer.rows)
                differences << QStringLiteral("%1: %2 righe nel file, %3 sul server").arg(t.name).arg(file.rows).arg(onTheServer.rows);
            else if (file.keys != onTheServer.keys)
                differences << QStringLiteral("%1: le chiavi %2 delle righe non sono le stesse").arg(t.name, c.key);
        }
        if (!differences.isEmpty()) {
            result.message = QStringLiteral("Dopo la copia i conti non tornano, il trasferimento è stato annullato e sul server "
                                            "non è stato copiato nulla:\n%1")
                                 .arg(differences.join(u'\n'));
            return result;
        }
        for (const Copied& c : copied)
            continueKeys(server, c);
        tr.commit();
    } catch (const StoreError& e) {
        result.message = QStringLiteral("Il trasferimento è stato annullato e sul server non è stato copiato nulla: %1")
                             .arg(e.message());
        return result;
    }
    result.done = true;
    result.message = summary(result, params);
    return result;
}

QString serverSettingsSection(const ServerParams& p)
{
    QStringList lines{QStringLiteral("[server]")};
    if (!p.host.isEmpty())
        lines << QStringLiteral("host=") + p.host;
    lines << QStringLiteral("port=%1").arg(p.port > 0 ? p.port : 5432);
    lines << QStringLiteral("database=") + p.database;
    if (!p.user.isEmpty())
        lines << QStringLiteral("user=") + p.user;
    if (!p.sslmode.isEmpty())
        lines << QStringLiteral("sslmode=") + p.sslmode;
    lines << QStringLiteral("; password=  (meglio non scriverla qui: metterla nel file delle password di PostgreSQL,")
          << QStringLiteral(";  Windows %APPDATA%\\postgresql\\pgpass.conf, Linux e macOS ~/.pgpass, con la riga")
          << QStringLiteral(";  %1:%2:%3:%4:LA-PASSWORD)")
                 .arg(pgpassField(p.host), QString::number(p.port > 0 ? p.port : 5432), pgpassField(p.database),
                      pgpassField(p.user));
    return lines.join(u'\n') + u'\n';
}

} // namespace velcaris::store
