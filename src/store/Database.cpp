#include "store/Database.h"
#include "store/LikePattern.h"
#include "store/ServerConnection.h"
#include "store/ServerSql.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <atomic>

namespace velcaris::store {

namespace {

QString engineText(sqlite3* db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("database not open");
}

StoreFault faultOf(int code)
{
    // A key or unique value another connection wrote first.
    if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY || code == SQLITE_CONSTRAINT_ROWID)
        return StoreFault::Conflict;
    switch (code & 0xff) {
    case SQLITE_NOTADB: return StoreFault::NotADatabase;
    case SQLITE_CORRUPT: return StoreFault::Corrupt;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return StoreFault::Busy;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH: return StoreFault::CannotOpen;
    case SQLITE_READONLY: return StoreFault::ReadOnly;
    case SQLITE_FULL: return StoreFault::DiskFull;
    default: return StoreFault::Other;
    }
}

// The engine's last failure on the connection, with its kind.
StoreError engineError(sqlite3* db)
{
    return StoreError(engineText(db), db ? faultOf(sqlite3_extended_errcode(db)) : StoreFault::Other);
}

void likeFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const char* value = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int bytes = sqlite3_value_bytes(argv[1]);
    // The pattern is the same for every row of a statement: parsed once and kept by the engine.
    if (const auto* kept = static_cast<const LikePattern*>(sqlite3_get_auxdata(ctx, 0))) {
        sqlite3_result_int(ctx, likeMatches(*kept, value, bytes) ? 1 : 0);
        return;
    }
    auto* pattern = new LikePattern(parseLikePattern(
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]))));
    sqlite3_result_int(ctx, likeMatches(*pattern, value, bytes) ? 1 : 0);
    // Last: the engine may free the pattern at once.
    sqlite3_set_auxdata(ctx, 0, pattern, [](void* p) { delete static_cast<LikePattern*>(p); });
}

} // namespace

QString quoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QVariant toStoredValue(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm"));
    case QMetaType::QDateTime:
        return value.toDateTime().date().toString(Qt::ISODate);
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    default:
        return value;
    }
}

// ---- Statement ----

Statement::Statement(Database& db, const QString& sql) : db_(&db)
{
    if (!db.isOpen())
        throw StoreError(QStringLiteral("Database non aperto"));
    // The engine stops reading SQL text at a NUL: the rest would be dropped without a word.
    if (sql.contains(QChar(0)))
        throw StoreError(QStringLiteral("Testo SQL con un carattere NUL"));
    if (db.isServer()) {
        server_ = std::make_unique<ServerStatement>(*db.server(), sql);
        return;
    }
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db.handle(), text.constData(), int(text.size()), &stmt_, &tail) != SQLITE_OK) {
        const StoreError error = engineError(db.handle());
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw error;
    }
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_), server_(std::move(other.server_))
{
    other.stmt_ = nullptr;
}

Statement::~Statement()
{
    if (stmt_)
        sqlite3_finalize(stmt_);
}

void Statement::bind(int index, const QVariant& raw)
{
    const QVariant value = toStoredValue(raw);
    if (server_) {
        server_->bind(index, value);
        return;
    }
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
            rc = sqlite3_bind_int64(stmt_, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt_, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(stmt_, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        throw engineError(db_->handle());
}

void Statement::bindAll(const QVector<QVariant>& values)
{
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
}

bool Statement::step()
{
    if (server_)
        return server_->step();
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const StoreError error = engineError(db_->handle());
    sqlite3_reset(stmt_);
    throw error;
}

void Statement::reset()
{
    if (server_)
        return server_->reset();
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnCount() const
{
    if (server_)
        return server_->columnCount();
    return sqlite3_column_count(stmt_);
}

QString Statement::columnName(int column) const
{
    if (server_)
        return server_->columnName(column);
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

QString Statement::columnDeclType(int column) const
{
    if (server_)
        return server_->columnDeclType(column);
    const char* type = sqlite3_column_decltype(stmt_, column);
    return type ? QString::fromUtf8(type) : QString();
}

QVariant Statement::value(int column) const
{
    if (server_)
        return server_->value(column);
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt_, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, column));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column)),
                                          sqlite3_column_bytes(stmt_, column)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, column)),
                                   sqlite3_column_bytes(stmt_, column)));
    default:
        return QVariant();
    }
}

// ---- Database ----

Database::Database() = default;

Database::~Database()
{
    close();
}

void Database::open(const QString& path, const QString& key, OpenMode mode)
{
    close();
    sqlite3* db = nullptr;
    const QByteArray file = path.toUtf8();
    const int flags = mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(file.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const StoreError error = engineError(db);
        sqlite3_close(db);
        throw error;
    }
    db_ = db;
    path_ = path;
    try {
        if (!key.isEmpty()) {
            const QByteArray k = key.toUtf8();
            if (sqlite3_key(db_, k.constData(), int(k.size())) != SQLITE_OK)
                throw engineError(db_);
        }
        // Reading the catalogue is what tells a foreign file or a wrong key.
        exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        sqlite3_busy_timeout(db_, 3000);
        if (mode == OpenMode::ReadWrite)
            exec(QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA foreign_keys=OFF;"));
        sqlite3_create_function_v2(db_, "vlike", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   &likeFunction, nullptr, nullptr, nullptr);
    } catch (...) {
        close();
        throw;
    }
}

void Database::openServer(const ServerParams& params)
{
    close();
    server_ = std::make_unique<ServerConnection>(params);
    path_ = params.host.isEmpty() ? params.database : params.host + u'/' + params.database;
}

void Database::close()
{
    server_.reset();
    depth_ = 0;
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void Database::exec(const QString& sql)
{
    if (!isOpen())
        throw StoreError(QStringLiteral("Database non aperto"));
    if (sql.contains(QChar(0)))
        throw StoreError(QStringLiteral("Testo SQL con un carattere NUL"));
    if (server_)
        return server_->exec(sql);
    char* error = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString message = error ? QString::fromUtf8(error) : engineText(db_);
        sqlite3_free(error);
        throw StoreError(message, faultOf(sqlite3_extended_errcode(db_)));
    }
}

void Database::exec(const QString& sql, const QVector<QVariant>& params)
{
    Statement st(*this, sql);
    st.bindAll(params);
    while (st.step()) {
    }
}

QVariant Database::scalar(const QString& sql, const QVector<QVariant>& params)
{
    Statement st(*this, sql);
    st.bindAll(params);
    if (!st.step())
        return QVariant();
    return st.value(0);
}

qint64 Database::lastInsertId() const
{
    if (server_)
        return server_->lastInsertId();
    return db_ ? sqlite3_last_insert_rowid(db_) : 0;
}

int Database::changes() const
{
    if (server_)
        return server_->changes();
    return db_ ? sqlite3_changes(db_) : 0;
}

bool Database::tableExists(const QString& name)
{
    if (server_)
        return relationKind(name) != 0;
    return scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type IN ('table','view') "
                                 "AND name = ? COLLATE NOCASE"),
                  {name})
               .toLongLong() > 0;
}

QStringList Database::columnNames(const QString& tableOrView)
{
    Statement st(*this, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoteIdentifier(tableOrView)));
    QStringList names;
    for (int i = 0; i < st.columnCount(); ++i)
        if (st.columnName(i) != hiddenKeyColumn())
            names << st.columnName(i);
    return names;
}

char Database::relationKind(const QString& name)
{
    if (server_) {
        // The name as the program spells it, found along the search path (or in its own schema
        // when qualified, "web.Quote").
        QString qualified;
        for (const QString& part : name.split(u'.'))
            qualified += (qualified.isEmpty() ? QString() : QStringLiteral(".")) + quoteIdentifier(foldName(part));
        const QString kind = scalar(QStringLiteral("SELECT relkind::text FROM pg_class WHERE oid = to_regclass(?)"),
                                    {qualified}).toString();
        if (kind == QLatin1String("r") || kind == QLatin1String("p"))
            return 't';
        return kind == QLatin1String("v") || kind == QLatin1String("m") ? 'v' : 0;
    }
    const QString type = scalar(QStringLiteral("SELECT type FROM sqlite_master WHERE name = ? COLLATE NOCASE "
                                               "AND type IN ('table','view')"),
                                {name}).toString();
    return type == QLatin1String("table") ? 't' : type == QLatin1String("view") ? 'v' : 0;
}

QString Database::rowKeyColumn(const QString& table)
{
    if (!server_)
        return QStringLiteral("rowid");
    QString qualified;
    for (const QString& part : table.split(u'.'))
        qualified += (qualified.isEmpty() ? QString() : QStringLiteral(".")) + quoteIdentifier(foldName(part));
    const QVariant column = scalar(QStringLiteral("SELECT attname::text FROM pg_attribute WHERE attrelid = to_regclass(?) "
                                                  "AND attidentity <> '' AND NOT attisdropped ORDER BY attnum LIMIT 1"),
                                   {qualified});
    if (!column.isValid())
        throw StoreError(QStringLiteral("La tabella %1 non ha una chiave per le sue righe").arg(table));
    return column.toString();
}

void Database::beginSavepoint(const QString& name)
{
    if (server_)
        return server_->begin(name);
    if (db_ && sqlite3_get_autocommit(db_))
        depth_ = 0; // the engine ended the transaction on its own (a full disk, an I/O error)
    exec(QStringLiteral("SAVEPOINT %1").arg(name));
    ++depth_;
}

void Database::releaseSavepoint(const QString& name)
{
    if (server_)
        return server_->release(name);
    exec(QStringLiteral("RELEASE %1").arg(name));
    depth_ = std::max(depth_ - 1, 0);
}

void Database::rollbackSavepoint(const QString& name)
{
    if (server_)
        return server_->rollback(name);
    // Gone for its owner whether or not the engine still had it.
    depth_ = std::max(depth_ - 1, 0);
    exec(QStringLiteral("ROLLBACK TO %1; RELEASE %1").arg(name));
}

int Database::transactionDepth() const
{
    if (server_)
        return server_->depth();
    if (!db_ || sqlite3_get_autocommit(db_))
        return 0;
    return std::max(depth_, 1);
}

QString Database::lastError() const
{
    if (server_)
        return server_->lastError();
    return engineText(db_);
}

// ---- Transaction ----

Transaction::Transaction(Database& db) : db_(db)
{
    // Desks of one process (tests, benchmarks) may open transactions from several threads.
    static std::atomic<qint64> counter{0};
    savepoint_ = QStringLiteral("vsp%1").arg(++counter);
    db_.beginSavepoint(savepoint_);
}

Transaction::~Transaction()
{
    if (done_)
        return;
    try {
        db_.rollbackSavepoint(savepoint_);
    } catch (...) {
        // The connection already ended the transaction (for example on a full disk).
    }
}

void Transaction::commit()
{
    db_.releaseSavepoint(savepoint_);
    done_ = true;
}

} // namespace velcaris::store
