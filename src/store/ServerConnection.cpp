#include "store/ServerConnection.h"

#include "store/Database.h"
#include "store/ServerSql.h"

#include <libpq-fe.h>

#include <vector>

namespace velcaris::store {

namespace {

// Type numbers of the server's built-in types (pg_type.h).
enum : Oid {
    BoolOid = 16, ByteaOid = 17, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, OidOid = 26,
    Float4Oid = 700, Float8Oid = 701, NumericOid = 1700,
};

StoreFault faultOf(const char* state)
{
    const QByteArray code(state ? state : "");
    if (code == "40001" || code == "40P01" || code == "23505")
        return StoreFault::Conflict; // serialization failure, deadlock, unique violation
    if (code == "55P03")
        return StoreFault::Busy; // lock not available
    if (code.startsWith("08") || code.startsWith("28") || code == "3D000" || code == "57P03")
        return StoreFault::CannotOpen; // connection, authorisation, missing database, starting up
    if (code == "25006")
        return StoreFault::ReadOnly;
    if (code == "53100")
        return StoreFault::DiskFull;
    if (code == "XX001" || code == "XX002")
        return StoreFault::Corrupt;
    return StoreFault::Other;
}

QString serverText(const char* text)
{
    return QString::fromUtf8(text ? text : "").trimmed();
}

QString valueText(const QVariant& value)
{
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return QString::number(value.toDouble(), 'g', 17);
    return value.toString();
}

} // namespace

ServerConnection::ServerConnection(const ServerParams& params)
{
    std::vector<QByteArray> keys, values;
    auto add = [&](const char* key, const QString& value) {
        if (!value.isEmpty()) {
            keys.emplace_back(key);
            values.push_back(value.toUtf8());
        }
    };
    add("dbname", params.conninfo.isEmpty() ? params.database : params.conninfo);
    if (!params.conninfo.isEmpty())
        add("dbname", params.database); // a database named beside a whole conninfo wins
    add("host", params.host);
    add("port", params.port > 0 ? QString::number(params.port) : QString());
    add("user", params.user);
    add("password", params.password);
    add("passfile", params.passfile);
    add("sslmode", params.sslmode);
    add("application_name", QStringLiteral("Velcaris"));
    add("client_encoding", QStringLiteral("UTF8"));
    add("connect_timeout", QStringLiteral("10"));
    std::vector<const char*> k, v;
    for (size_t i = 0; i < keys.size(); ++i) {
        k.push_back(keys[i].constData());
        v.push_back(values[i].constData());
    }
    k.push_back(nullptr);
    v.push_back(nullptr);
    conn_ = PQconnectdbParams(k.data(), v.data(), 1);
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        const QString why = conn_ ? serverText(PQerrorMessage(conn_)) : QStringLiteral("memoria esaurita");
        PQfinish(conn_);
        conn_ = nullptr;
        throw StoreError(QStringLiteral("Impossibile collegarsi al server del database: %1").arg(why),
                         StoreFault::CannotOpen);
    }
    // The server's notices (an object that did not exist before a DROP IF EXISTS) are not errors.
    PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
    // Unqualified names are the schema's own; the shared functions live in the main schema.
    QString schema = params.schema.isEmpty() ? QStringLiteral("main") : params.schema;
    QString path = u'"' + foldName(schema) + u'"';
    if (foldName(schema) != QLatin1String("main"))
        path += QStringLiteral(", main");
    exec(QStringLiteral("SET search_path = %1, public; SET DateStyle = ISO; SET extra_float_digits = 1").arg(path));
}

ServerConnection::~ServerConnection()
{
    PQfinish(conn_);
}

pg_result* ServerConnection::checked(pg_result* result)
{
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
        const char* tuples = PQcmdTuples(result);
        changes_ = tuples && *tuples ? atoi(tuples) : 0;
        return result;
    }
    QString message = result ? serverText(PQresultErrorMessage(result)) : QString();
    if (message.isEmpty())
        message = serverText(PQerrorMessage(conn_));
    StoreFault fault = result ? faultOf(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : StoreFault::Other;
    if (fault == StoreFault::Conflict)
        message = QStringLiteral("Un'altra postazione ha cambiato gli stessi dati nello stesso momento: l'operazione "
                                 "non è stata fatta e nulla è cambiato; la ripeta. (%1)")
                      .arg(message);
    if (PQstatus(conn_) == CONNECTION_BAD) {
        fault = StoreFault::CannotOpen;
        message = QStringLiteral("Collegamento con il server del database interrotto: %1").arg(message);
    }
    PQclear(result);
    // A transaction the server ended on its own leaves nothing to release; one it keeps open
    // after a failure accepts nothing more but its rollback.
    const PGTransactionStatusType transaction = PQtransactionStatus(conn_);
    if (transaction == PQTRANS_IDLE) {
        savepoints_.clear();
        failedBy_.clear();
        forgetLocalPath();
    } else if (transaction == PQTRANS_INERROR && failedBy_.isEmpty()) {
        failedBy_ = message;
        failedFault_ = fault;
    }
    throw StoreError(message, fault);
}

void ServerConnection::refuseIfFailed() const
{
    // The server would answer "current transaction is aborted": said here in the program's words,
    // with the failure that ended it, and of that failure's kind (a conflict stays one).
    if (!failedBy_.isEmpty())
        throw StoreError(QStringLiteral("Operazione interrotta da un errore precedente: %1").arg(failedBy_), failedFault_);
}

void ServerConnection::send(const QString& sql)
{
    PQclear(checked(PQexec(conn_, sql.toUtf8().constData())));
}

void ServerConnection::exec(const QString& sql)
{
    refuseIfFailed();
    const ServerSql rewritten = toServerSql(sql);
    // A table's name may stand for another one from now on (and again when a transaction that
    // changed the path for itself ends).
    if (sql.contains(QLatin1String("search_path"), Qt::CaseInsensitive)) {
        identities_.clear();
        pathChanged_ = pathChanged_ || !savepoints_.isEmpty();
    }
    insertedKey_.reset();
    send(rewritten.text);
    keepIdentitiesAhead(rewritten.inserts);
}

namespace {

// A statement's values as the text the server reads them from (NULL: no text).
struct ValueTexts {
    explicit ValueTexts(const QVector<QVariant>& values)
        : texts(size_t(values.size())), pointers(size_t(values.size()), nullptr)
    {
        for (qsizetype i = 0; i < values.size(); ++i) {
            const QVariant& v = values[i];
            if (v.isValid() && !v.isNull()) {
                texts[size_t(i)] = valueText(v).toUtf8();
                // Values travel as C strings and the server's text holds no NUL: the value would
                // be cut short there without a word, so it is refused instead (a file keeps it).
                if (texts[size_t(i)].contains('\0'))
                    throw StoreError(QStringLiteral("Il valore %1 contiene il carattere NUL, che il server del database "
                                                    "non può conservare: l'istruzione non è stata eseguita")
                                         .arg(i + 1));
                pointers[size_t(i)] = texts[size_t(i)].constData();
            }
        }
    }
    std::vector<QByteArray> texts;
    std::vector<const char*> pointers;
};

} // namespace

pg_result* ServerConnection::run(const QString& serverSql, const QVector<QVariant>& values)
{
    refuseIfFailed();
    deallocateReleased();
    insertedKey_.reset();
    const ValueTexts texts(values);
    return checked(PQexecParams(conn_, serverSql.toUtf8().constData(), int(values.size()), nullptr,
                                texts.pointers.data(), nullptr, nullptr, 0));
}

QByteArray ServerConnection::prepare(const QString& serverSql)
{
    refuseIfFailed();
    deallocateReleased();
    const QByteArray name = "vst" + QByteArray::number(++prepared_);
    PQclear(checked(PQprepare(conn_, name.constData(), serverSql.toUtf8().constData(), 0, nullptr)));
    return name;
}

pg_result* ServerConnection::runPrepared(const QByteArray& name, int parameters, const QVector<QVariant>& values)
{
    refuseIfFailed();
    deallocateReleased();
    insertedKey_.reset();
    const ValueTexts texts(values);
    return checked(PQexecPrepared(conn_, name.constData(), parameters, texts.pointers.data(), nullptr, nullptr, 0));
}

void ServerConnection::deallocateReleased()
{
    // Not inside a transaction the server has given up on (it would refuse this too); the names
    // wait for the next statement after its rollback.
    if (released_->isEmpty() || PQtransactionStatus(conn_) == PQTRANS_INERROR)
        return;
    QByteArray sql;
    for (const QByteArray& name : std::as_const(*released_))
        sql += "DEALLOCATE " + name + ';';
    released_->clear();
    PQclear(PQexec(conn_, sql.constData()));
}

pg_result* ServerConnection::describe(const QString& serverSql)
{
    refuseIfFailed();
    PQclear(checked(PQprepare(conn_, "", serverSql.toUtf8().constData(), 0, nullptr)));
    return checked(PQdescribePrepared(conn_, ""));
}

qint64 ServerConnection::lastInsertId()
{
    if (insertedKey_)
        return *insertedKey_;
    pg_result* result = run(QStringLiteral("SELECT vlastval()"), {});
    const qint64 id = PQgetisnull(result, 0, 0) ? 0 : QByteArray(PQgetvalue(result, 0, 0)).toLongLong();
    PQclear(result);
    return id;
}

QString ServerConnection::declaredType(unsigned table, int column)
{
    const QPair<unsigned, int> key(table, column);
    const auto known = declared_.constFind(key);
    if (known != declared_.constEnd())
        return known.value();
    pg_result* result = run(QStringLiteral("SELECT t.typname FROM pg_attribute AS a JOIN pg_type AS t ON t.oid = a.atttypid "
                                           "WHERE a.attrelid = $1 AND a.attnum = $2"),
                            {qint64(table), column});
    const QByteArray name = PQntuples(result) > 0 ? QByteArray(PQgetvalue(result, 0, 0)) : QByteArray();
    PQclear(result);
    QString type;
    if (name == "vdate" || name == "date")
        type = QStringLiteral("DATE");
    else if (name == "vtime")
        type = QStringLiteral("TIME");
    else if (name == "vbool" || name == "bool")
        type = QStringLiteral("BOOLEAN");
    else if (name == "int8" || name == "int4" || name == "int2")
        type = QStringLiteral("INTEGER");
    else if (name == "float8" || name == "float4" || name == "numeric")
        type = QStringLiteral("DOUBLE");
    else if (!name.isEmpty())
        type = QStringLiteral("TEXT");
    declared_.insert(key, type);
    return type;
}

void ServerConnection::begin(const QString& savepoint)
{
    refuseIfFailed();
    // Repeatable read: what the transaction read stays as it was, and a row another connection
    // changed after that fails the write (a conflict to run again) instead of being overwritten.
    send(savepoints_.isEmpty() ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ")
                               : QStringLiteral("SAVEPOINT %1").arg(savepoint));
    savepoints_ << savepoint;
}

void ServerConnection::release(const QString& savepoint)
{
    const qsizetype at = savepoints_.lastIndexOf(savepoint);
    if (at < 0)
        throw StoreError(QStringLiteral("Transazione già conclusa"));
    // A failed transaction is never committed: the server would roll it back and call it done.
    refuseIfFailed();
    if (at == 0) {
        savepoints_.clear();
        forgetLocalPath();
        send(QStringLiteral("COMMIT"));
    } else {
        send(QStringLiteral("RELEASE SAVEPOINT %1").arg(savepoint));
        savepoints_.resize(at);
    }
}

void ServerConnection::rollback(const QString& savepoint)
{
    const qsizetype at = savepoints_.lastIndexOf(savepoint);
    if (at < 0)
        return;
    // Every savepoint open was made before the failure: going back to it undoes the failure too.
    failedBy_.clear();
    if (at == 0) {
        savepoints_.clear();
        forgetLocalPath();
        send(QStringLiteral("ROLLBACK"));
    } else {
        send(QStringLiteral("ROLLBACK TO SAVEPOINT %1; RELEASE SAVEPOINT %1").arg(savepoint));
        savepoints_.resize(at);
    }
}

void ServerConnection::forgetLocalPath()
{
    if (pathChanged_)
        identities_.clear();
    pathChanged_ = false;
}

void ServerConnection::keepIdentitiesAhead(const QVector<InsertTarget>& inserts)
{
    const int changes = changes_; // the insert's count, not these statements'
    for (const InsertTarget& insert : inserts) {
        if (!insert.allColumns && insert.columns.isEmpty())
            continue;
        auto known = identities_.constFind(insert.table);
        if (known == identities_.constEnd()) {
            pg_result* result = run(QStringLiteral(
                "SELECT quote_ident(n.nspname) || '.' || quote_ident(c.relname), a.attname::text, "
                "pg_get_serial_sequence(quote_ident(n.nspname) || '.' || quote_ident(c.relname), a.attname) "
                "FROM pg_class AS c JOIN pg_namespace AS n ON n.oid = c.relnamespace "
                "JOIN pg_attribute AS a ON a.attrelid = c.oid "
                "WHERE c.oid = to_regclass($1) AND a.attidentity <> '' AND NOT a.attisdropped ORDER BY a.attnum LIMIT 1"),
                {insert.table});
            Identity identity;
            if (PQntuples(result) > 0 && !PQgetisnull(result, 0, 2)) {
                identity.table = QString::fromUtf8(PQgetvalue(result, 0, 0));
                identity.column = QString::fromUtf8(PQgetvalue(result, 0, 1));
                identity.sequence = QString::fromUtf8(PQgetvalue(result, 0, 2));
            }
            PQclear(result);
            known = identities_.insert(insert.table, identity);
        }
        const Identity& identity = known.value();
        if (identity.column.isEmpty())
            continue;
        // Without a column list the values fill the columns in order: the table's own key is
        // among them, the hidden one (the last column) never.
        if (insert.allColumns ? identity.column == hiddenKeyColumn() : !insert.columns.contains(identity.column))
            continue;
        // Never backwards: another connection may have taken keys this one does not see yet.
        PQclear(run(QStringLiteral("SELECT setval($1::regclass, GREATEST((SELECT max(%1) FROM %2), "
                                   "COALESCE(pg_sequence_last_value($1::regclass), 0), 1))")
                        .arg(quoteIdentifier(identity.column), identity.table),
                    {identity.sequence}));
    }
    changes_ = changes;
}

QString ServerConnection::lastError() const
{
    return conn_ ? serverText(PQerrorMessage(conn_)) : QStringLiteral("database not open");
}

// ---- ServerStatement ----

ServerStatement::ServerStatement(ServerConnection& connection, const QString& sql) : connection_(connection)
{
    ServerSql rewritten = toServerSql(sql);
    text_ = std::move(rewritten.text);
    spellings_ = std::move(rewritten.spellings);
    inserts_ = std::move(rewritten.inserts);
    values_.resize(rewritten.parameters);
    // An INSERT says the key it gave (as the files keep it for the asking): one round trip less
    // for every row a program adds and then refers to.
    const QString plain = sql.trimmed();
    if (plain.startsWith(QLatin1String("INSERT"), Qt::CaseInsensitive) &&
        !plain.contains(QLatin1String("RETURNING"), Qt::CaseInsensitive)) {
        while (text_.endsWith(u';') || text_.endsWith(u' ') || text_.endsWith(u'\n'))
            text_.chop(1);
        text_ += QStringLiteral(" RETURNING main.vlastval()");
        returnsKey_ = true;
    }
}

ServerStatement::~ServerStatement()
{
    PQclear(result_);
    if (prepared_.isEmpty())
        return;
    if (const std::shared_ptr<QVector<QByteArray>> released = released_.lock())
        released->push_back(prepared_);
}

void ServerStatement::bind(int index, const QVariant& value)
{
    if (index < 1 || index > values_.size())
        throw StoreError(QStringLiteral("Valore %1 fuori posto: l'istruzione ne ha %2").arg(index).arg(values_.size()));
    values_[index - 1] = value;
}

bool ServerStatement::step()
{
    if (!ran_) {
        PQclear(result_);
        result_ = nullptr;
        // The first run parses and plans the text; a statement run again is prepared once.
        if (runs_ > 0 && prepared_.isEmpty()) {
            prepared_ = connection_.prepare(text_);
            released_ = connection_.releasedNames();
        }
        ++runs_;
        result_ = prepared_.isEmpty() ? connection_.run(text_, values_)
                                      : connection_.runPrepared(prepared_, int(values_.size()), values_);
        ran_ = true;
        described_ = true;
        row_ = -1;
        connection_.keepIdentitiesAhead(inserts_);
        if (returnsKey_) {
            // The returned key is the connection's to keep; the INSERT shows no rows.
            const int rows = PQntuples(result_);
            if (rows > 0 && !PQgetisnull(result_, rows - 1, 0))
                connection_.noteInsertedKey(QByteArray(PQgetvalue(result_, rows - 1, 0)).toLongLong());
            row_ = rows;
            return false;
        }
    }
    if (row_ + 1 < PQntuples(result_)) {
        ++row_;
        return true;
    }
    row_ = PQntuples(result_);
    return false;
}

void ServerStatement::reset()
{
    ran_ = false;
    row_ = -1;
    for (QVariant& v : values_)
        v = QVariant();
}

void ServerStatement::describe()
{
    if (described_)
        return;
    PQclear(result_);
    result_ = nullptr;
    result_ = connection_.describe(text_);
    described_ = true;
}

int ServerStatement::columnCount()
{
    describe();
    return PQnfields(result_);
}

QString ServerStatement::columnName(int column)
{
    describe();
    return spelledName(QString::fromUtf8(PQfname(result_, column)), spellings_);
}

QString ServerStatement::columnDeclType(int column)
{
    describe();
    const Oid table = PQftable(result_, column);
    const int attribute = PQftablecol(result_, column);
    if (table == InvalidOid || attribute <= 0)
        return QString();
    return connection_.declaredType(table, attribute);
}

QVariant ServerStatement::value(int column) const
{
    if (!result_ || row_ < 0 || row_ >= PQntuples(result_) || column < 0 || column >= PQnfields(result_)
        || PQgetisnull(result_, row_, column))
        return QVariant();
    const char* raw = PQgetvalue(result_, row_, column);
    const int length = PQgetlength(result_, row_, column);
    switch (PQftype(result_, column)) {
    case Int8Oid:
    case Int4Oid:
    case Int2Oid:
    case OidOid:
        return QVariant(QByteArray(raw, length).toLongLong());
    case BoolOid:
        return QVariant(qint64(raw[0] == 't' ? 1 : 0));
    case Float4Oid:
    case Float8Oid:
        return QVariant(QByteArray(raw, length).toDouble());
    case NumericOid: {
        const QByteArray text(raw, length);
        if (!text.contains('.') && !text.contains('e') && !text.contains('N') && !text.contains('I')) {
            bool ok = false;
            const qint64 whole = text.toLongLong(&ok);
            if (ok)
                return QVariant(whole);
        }
        return QVariant(text.toDouble());
    }
    case ByteaOid: {
        size_t size = 0;
        unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(raw), &size);
        QByteArray out(reinterpret_cast<const char*>(bytes), qsizetype(size));
        PQfreemem(bytes);
        return QVariant(out);
    }
    default:
        return QVariant(QString::fromUtf8(raw, length));
    }
}

} // namespace velcaris::store
