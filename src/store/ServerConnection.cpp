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
    if (code == "40001" || code == "40P01" || code == "55P03")
        return StoreFault::Busy; // serialization failure, deadlock, lock not available
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
    if (PQstatus(conn_) == CONNECTION_BAD) {
        fault = StoreFault::CannotOpen;
        message = QStringLiteral("Collegamento con il server del database interrotto: %1").arg(message);
    }
    PQclear(result);
    // A transaction the server ended on its own leaves nothing to release.
    if (PQtransactionStatus(conn_) == PQTRANS_IDLE)
        savepoints_.clear();
    throw StoreError(message, fault);
}

void ServerConnection::exec(const QString& sql)
{
    const ServerSql rewritten = toServerSql(sql);
    PQclear(checked(PQexec(conn_, rewritten.text.toUtf8().constData())));
}

pg_result* ServerConnection::run(const QString& serverSql, const QVector<QVariant>& values)
{
    std::vector<QByteArray> texts(size_t(values.size()));
    std::vector<const char*> pointers(size_t(values.size()), nullptr);
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QVariant& v = values[i];
        if (v.isValid() && !v.isNull()) {
            texts[size_t(i)] = valueText(v).toUtf8();
            pointers[size_t(i)] = texts[size_t(i)].constData();
        }
    }
    return checked(PQexecParams(conn_, serverSql.toUtf8().constData(), int(values.size()), nullptr,
                                pointers.data(), nullptr, nullptr, 0));
}

pg_result* ServerConnection::describe(const QString& serverSql)
{
    PQclear(checked(PQprepare(conn_, "", serverSql.toUtf8().constData(), 0, nullptr)));
    return checked(PQdescribePrepared(conn_, ""));
}

qint64 ServerConnection::lastInsertId()
{
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
    exec(savepoints_.isEmpty() ? QStringLiteral("BEGIN") : QStringLiteral("SAVEPOINT %1").arg(savepoint));
    savepoints_ << savepoint;
}

void ServerConnection::release(const QString& savepoint)
{
    const qsizetype at = savepoints_.lastIndexOf(savepoint);
    if (at < 0)
        throw StoreError(QStringLiteral("Transazione già conclusa"));
    if (at == 0) {
        savepoints_.clear();
        exec(QStringLiteral("COMMIT"));
    } else {
        exec(QStringLiteral("RELEASE SAVEPOINT %1").arg(savepoint));
        savepoints_.resize(at);
    }
}

void ServerConnection::rollback(const QString& savepoint)
{
    const qsizetype at = savepoints_.lastIndexOf(savepoint);
    if (at < 0)
        return;
    if (at == 0) {
        savepoints_.clear();
        exec(QStringLiteral("ROLLBACK"));
    } else {
        exec(QStringLiteral("ROLLBACK TO SAVEPOINT %1; RELEASE SAVEPOINT %1").arg(savepoint));
        savepoints_.resize(at);
    }
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
    values_.resize(rewritten.parameters);
}

ServerStatement::~ServerStatement()
{
    PQclear(result_);
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
        result_ = connection_.run(text_, values_);
        ran_ = true;
        described_ = true;
        row_ = -1;
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
