#pragma once
// The server engine behind store::Database: one libpq connection to PostgreSQL. Statements are
// rewritten by ServerSql, sent with their values as text (the server infers each type from where
// it stands), and their rows come back converted the way the files give them: integers as
// qint64, floating and numeric values as double (a numeric without decimals as qint64), text,
// dates and times as text, booleans as 0/1, NULL as a null QVariant.
#include "store/ServerSql.h"
#include "store/StoreError.h"

#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <optional>

struct pg_conn;
struct pg_result;

namespace velcaris::store {

struct ServerParams;

class ServerConnection {
public:
    explicit ServerConnection(const ServerParams& params); // raises StoreError (CannotOpen)
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    void exec(const QString& sql); // one or more statements, no values
    // Runs a rewritten statement with its values; the result belongs to the caller (PQclear).
    pg_result* run(const QString& serverSql, const QVector<QVariant>& values);
    // Prepares and describes without running: the columns of a statement not yet run.
    pg_result* describe(const QString& serverSql);
    // A statement run again and again (a reused Statement) is parsed and planned once: prepared
    // under a name of its own, run by that name, and let go when its Statement ends.
    QByteArray prepare(const QString& serverSql);
    pg_result* runPrepared(const QByteArray& name, int parameters, const QVector<QVariant>& values);
    // Where a Statement puts its prepared name when it ends; the connection lets the names go at its
    // next statement. A Statement that outlives its connection finds the list gone.
    std::weak_ptr<QVector<QByteArray>> releasedNames() const { return released_; }
    int changes() const { return changes_; }
    qint64 lastInsertId();
    // The key the last INSERT gave its row, when the INSERT said it (RETURNING): asking the
    // server for it is then not needed.
    void noteInsertedKey(std::optional<qint64> key) { insertedKey_ = key; }

    // The declared type of a column of a table or view ("DATE", "BOOLEAN", "INTEGER"...).
    QString declaredType(unsigned table, int column);

    // Transactions: the outermost begins one (REPEATABLE READ), the others are savepoints.
    void begin(const QString& savepoint);
    void release(const QString& savepoint);
    void rollback(const QString& savepoint);
    int depth() const { return int(savepoints_.size()); }

    // After an INSERT that gave a table's identity column its value: the identity's sequence moved
    // past the column's highest value, so that the next row without one takes a free key.
    void keepIdentitiesAhead(const QVector<InsertTarget>& inserts);

    QString lastError() const;
    pg_conn* raw() const { return conn_; }

private:
    struct Identity {
        QString table;    // schema-qualified, quoted
        QString column;   // as the catalogue names it; empty when the table has none
        QString sequence;
    };

    pg_result* checked(pg_result* result);
    void send(const QString& sql); // what a failed transaction still accepts: its rollback
    void refuseIfFailed() const;
    void forgetLocalPath();
    void deallocateReleased();

    pg_conn* conn_ = nullptr;
    int changes_ = 0;
    QStringList savepoints_;
    // The failure that ended the open transaction's usefulness (the server ignores the rest of it).
    QString failedBy_;
    StoreFault failedFault_ = StoreFault::Other;
    QHash<QPair<unsigned, int>, QString> declared_;
    QHash<QString, Identity> identities_; // by the table's name as the statements spell it
    bool pathChanged_ = false;            // the open transaction set its own search path
    int prepared_ = 0;                    // names given to prepared statements so far
    std::optional<qint64> insertedKey_;   // what the last statement, an INSERT, returned as its key
    std::shared_ptr<QVector<QByteArray>> released_ = std::make_shared<QVector<QByteArray>>();
};

class ServerStatement {
public:
    ServerStatement(ServerConnection& connection, const QString& sql);
    ~ServerStatement();

    void bind(int index, const QVariant& value); // 1-based, a value already stored-converted
    bool step();
    void reset();
    int columnCount();
    QString columnName(int column);
    QString columnDeclType(int column);
    QVariant value(int column) const;

private:
    void describe();

    ServerConnection& connection_;
    QString text_;
    QHash<QString, QString> spellings_;
    QVector<InsertTarget> inserts_;
    QVector<QVariant> values_;
    pg_result* result_ = nullptr;
    QByteArray prepared_; // its name on the server once it runs a second time
    std::weak_ptr<QVector<QByteArray>> released_;
    int runs_ = 0;
    bool returnsKey_ = false; // an INSERT made to return the key of its (last) row
    bool ran_ = false;
    bool described_ = false;
    int row_ = -1;
};

} // namespace velcaris::store
