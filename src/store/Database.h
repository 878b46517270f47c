#pragma once
// One SQLCipher connection. Rollback journal (never WAL): each file is complete on its own after
// every commit, but not in the middle of one (its journal then lies beside it), so backups are
// copied from an open connection (see OnlineCopy.h), never from the file alone.
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
};

enum class OpenMode { ReadWrite, ReadOnly };

class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens (or creates) the file; a non-empty key encrypts it. A file that is not a database,
    // or one whose key is wrong, raises StoreError with the engine's text. ReadOnly never creates
    // nor writes the file (a missing file raises).
    void open(const QString& path, const QString& key = QString(), OpenMode mode = OpenMode::ReadWrite);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    const QString& path() const { return path_; }

    void exec(const QString& sql); // one or more statements, no results
    void exec(const QString& sql, const QVector<QVariant>& params);
    // The first column of the first row, or a null QVariant when there is none.
    QVariant scalar(const QString& sql, const QVector<QVariant>& params = {});
    qint64 lastInsertId() const;
    int changes() const;

    bool tableExists(const QString& name);
    QStringList columnNames(const QString& tableOrView);

    sqlite3* handle() const { return db_; }
    QString lastError() const;

private:
    sqlite3* db_ = nullptr;
    QString path_;
};

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
