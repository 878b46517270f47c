#pragma once
// One connection to the program's data, through one of two engines chosen when it opens: an
// SQLCipher file (open()) or a PostgreSQL server (openServer()). Everything above the store sees
// the same statements, values and errors from both.
// Files: rollback journal (never WAL): each file is complete on its own after every commit, but
// not in the middle of one (its journal then lies beside it), so backups are copied from an open
// connection (see OnlineCopy.h), never from the file alone.
#include "store/StoreError.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace velcaris::store {

class Database;
class ServerConnection;
class ServerStatement;

// Where the server is and who connects (the settings' [server] section). Empty fields are left
// to libpq's own defaults and environment (PGHOST, ~/.pgpass, ...). conninfo, when given, is a
// whole libpq connection string the other fields add to.
struct ServerParams {
    QString host;
    int port = 0;
    QString database;
    QString user;
    QString password;
    QString passfile;
    QString sslmode;
    QString conninfo;
    QString schema = QStringLiteral("main"); // where unqualified names live ("main" or "web")
};

// A prepared statement with bound values. Values: QString (text), int/qint64 (integer),
// double (real), bool (0/1), QDate (ISO text), QTime ("HH:MM"), null QVariant (NULL).
class Statement {
public:
    Statement(Database& db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept;

    void bind(int index, const QVariant& value); // 1-based
    void bindAll(const QVector<QVariant>& values);
    // Advances to the next row; false at the end. Statements that return nothing run on the first call.
    bool step();
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    QString columnDeclType(int column) const; // declared type of a table column ("DATE"), or empty
    QVariant value(int column) const;

private:
    Database* db_;
    sqlite3_stmt* stmt_ = nullptr;
    std::unique_ptr<ServerStatement> server_;
};

enum class OpenMode { ReadWrite, ReadOnly };

class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens (or creates) the file; a non-empty key encrypts it. A file that is not a database,
    // or one whose key is wrong, raises StoreError with the engine's text. ReadOnly never creates
    // nor writes the file (a missing file raises).
    void open(const QString& path, const QString& key = QString(), OpenMode mode = OpenMode::ReadWrite);
    // Connects to the server, unqualified names resolving to params.schema. Raises StoreError
    // (CannotOpen) with the server's text when it cannot connect.
    void openServer(const ServerParams& params);
    void close();
    bool isOpen() const { return db_ != nullptr || server_ != nullptr; }
    bool isServer() const { return server_ != nullptr; }
    const QString& path() const { return path_; }

    void exec(const QString& sql); // one or more statements, no results
    void exec(const QString& sql, const QVector<QVariant>& params);
    // The first column of the first row, or a null QVariant when there is none.
    QVariant scalar(const QString& sql, const QVector<QVariant>& params = {});
    qint64 lastInsertId() const;
    int changes() const;

    bool tableExists(const QString& name);
    QStringList columnNames(const QString& tableOrView);
    // 't' for a table, 'v' for a view, 0 when neither exists.
    char relationKind(const QString& name);
    // The column that keys a table's rows for the datasets: "rowid" in a file; on the server the
    // table's identity column (its integer key, or the hidden one of a table without).
    QString rowKeyColumn(const QString& table);

    // Transactions (used by Transaction): the outermost begins one, the inner ones are savepoints.
    // On a server the outermost reads at REPEATABLE READ: a row read in it and changed by another
    // connection before it writes the row raises StoreFault::Conflict instead of being overwritten.
    // After a statement fails inside a server transaction the server refuses the rest of it: every
    // statement then raises, naming that earlier failure, until the owner rolls back (a rollback
    // to an inner savepoint made before it cures it). Files fail only the statement.
    void beginSavepoint(const QString& name);
    void releaseSavepoint(const QString& name);
    void rollbackSavepoint(const QString& name);
    // 0 outside any transaction, 1 in the outermost, one more for each savepoint within it (as the
    // engine has it: a transaction the engine ended on its own counts no more).
    int transactionDepth() const;

    // The file engine's connection, for what only files have (online copies); null on a server.
    sqlite3* handle() const { return db_; }
    ServerConnection* server() const { return server_.get(); }
    QString lastError() const;

private:
    sqlite3* db_ = nullptr;
    std::unique_ptr<ServerConnection> server_;
    QString path_;
    int depth_ = 0; // a file's savepoints open through beginSavepoint
};

// The name of the hidden column that keys, on a server, the rows of a table that has no integer
// key of its own (a file keys them by its rowid). Never shown to the program.
inline QString hiddenKeyColumn() { return QStringLiteral("__rowid__"); }

// RAII transaction: rolls back unless commit() was called. Nested use becomes a savepoint.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& db_;
    QString savepoint_;
    bool done_ = false;
};

// "name" with embedded quotes doubled: a table or column name made safe for SQL text.
QString quoteIdentifier(const QString& name);

// Converts a stored value to what the program works with (ISO date text stays text).
QVariant toStoredValue(const QVariant& value);

} // namespace velcaris::store
