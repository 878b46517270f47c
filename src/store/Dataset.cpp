#include "store/Dataset.h"

#include "store/FilterExpression.h"
#include "store/Money.h"
#include "store/SortOrder.h"

#include <QDate>
#include <QTime>
#include <cmath>

namespace velcaris::store {

namespace {

const QString kRowidAlias = QStringLiteral("__rowid__");

bool isNumeric(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

QString formatNumber(const QVariant& v, int decimals)
{
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        return v.toString();
    // Half away from zero on the value's decimal text, exactly as amounts are rounded when stored.
    return decimals == 3 ? formatThousandths(d) : formatAmount(d);
}

QString isoDateToText(const QString& iso)
{
    const QDate date = QDate::fromString(iso.left(10), Qt::ISODate);
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : iso;
}

} // namespace

bool sameStoredValue(const QVariant& stored, const QVariant& wanted, bool caseInsensitive)
{
    const bool storedNull = !stored.isValid() || stored.isNull();
    const bool wantedNull = !wanted.isValid() || wanted.isNull();
    if (storedNull || wantedNull)
        return storedNull && wantedNull;
    if (isNumeric(stored) || isNumeric(wanted)) {
        bool ok1 = false, ok2 = false;
        const double a = stored.toDouble(&ok1);
        const double b = wanted.toDouble(&ok2);
        if (ok1 && ok2)
            return std::fabs(a - b) < 1e-9;
    }
    return QString::compare(stored.toString(), wanted.toString(),
                            caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
}

Dataset::Dataset(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

void Dataset::setConnection(Database* db)
{
    close();
    db_ = db;
}

void Dataset::setTableName(const QString& tableOrView)
{
    close();
    kind_ = SourceKind::Table;
    table_ = tableOrView;
    sql_.clear();
    sqlParams_.clear();
}

void Dataset::setSql(const QString& sql, const QVector<QVariant>& params)
{
    const bool wasActive = isActive();
    close();
    kind_ = SourceKind::Sql;
    sql_ = sql;
    sqlParams_ = params;
    table_.clear();
    if (wasActive)
        open();
}

void Dataset::open()
{
    if (isActive())
        return;
    if (!db_ || !db_->isOpen())
        throw StoreError(QStringLiteral("%1: connessione non aperta").arg(name_));
    if (kind_ == SourceKind::None)
        throw StoreError(QStringLiteral("%1: nessuna sorgente dati").arg(name_));
    readColumns();
    // Sort and filter given before opening are checked now, against the real columns.
    const QString sort = sort_, filter = filter_;
    state_ = State::Browse;
    try {
        sort_.clear();
        filter_.clear();
        orderBy_.clear();
        where_.clear();
        whereParams_.clear();
        setSort(sort);
        setFilter(filter);
    } catch (...) {
        state_ = State::Inactive;
        throw;
    }
    loaded_ = false;
    current_ = -1;
    Q_EMIT reset();
}

void Dataset::close()
{
    state_ = State::Inactive;
    loaded_ = false;
    columnsRead_ = false;
    rows_.clear();
    forgetRead();
    quickColumn_ = -1;
    quickPattern_.clear();
    columns_.clear();
    declTypes_.clear();
    columnIndex_.clear();
    buffer_.clear();
    original_.clear();
    current_ = -1;
    eof_ = bof_ = true;
}

void Dataset::readColumns()
{
    hiddenRowid_ = false;
    keyColumn_ = -1;
    QString probe;
    tableColumns_.clear();
    if (kind_ == SourceKind::Table) {
        const char type = db_->relationKind(table_);
        if (!type)
            throw StoreError(QStringLiteral("Tabella o query inesistente: %1").arg(table_));
        hiddenRowid_ = type == 't';
        if (hiddenRowid_) {
            rowKey_ = db_->rowKeyColumn(table_);
            // On a server the key is a column of the table: named first, and the rest after it.
            if (db_->isServer())
                for (const QString& column : db_->columnNames(table_))
                    tableColumns_ << quoteIdentifier(column);
        }
    }
    probe = baseSelect() + QStringLiteral(" LIMIT 0");
    Statement st(*db_, probe);
    if (kind_ == SourceKind::Sql)
        st.bindAll(sqlParams_);
    columns_.clear();
    declTypes_.clear();
    columnIndex_.clear();
    const int first = hiddenRowid_ ? 1 : 0;
    for (int i = first; i < st.columnCount(); ++i) {
        const QString column = st.columnName(i);
        const int index = int(columns_.size());
        columns_ << column;
        declTypes_ << st.columnDeclType(i).toUpper();
        const QString folded = column.toCaseFolded();
        if (!columnIndex_.contains(folded))
            columnIndex_.insert(folded, index);
    }
    if (hiddenRowid_)
        keyColumn_ = -2; // the hidden rowid
    else if (kind_ == SourceKind::Table)
        keyColumn_ = columnIndex_.value(QStringLiteral("id"), -1);
    columnsRead_ = true;
}

QString Dataset::baseSelect() const
{
    switch (kind_) {
    case SourceKind::Table:
        if (hiddenRowid_ && db_->isServer())
            return QStringLiteral("SELECT %1 AS %2, %3 FROM %4")
                .arg(quoteIdentifier(rowKey_), kRowidAlias, tableColumns_.join(QStringLiteral(", ")), quoteIdentifier(table_));
        return hiddenRowid_ ? QStringLiteral("SELECT rowid AS %1, * FROM %2").arg(kRowidAlias, quoteIdentifier(table_))
                            : QStringLiteral("SELECT * FROM %1").arg(quoteIdentifier(table_));
    case SourceKind::Sql:
        return QStringLiteral("SELECT * FROM (%1) AS __source__").arg(sql_);
    default:
        return QString();
    }
}

void Dataset::setSort(const QString& sort)
{
    if (isActive()) {
        const QString compiled = compileSort(sort, [this](const QString& field) {
            const int index = fieldIndex(field);
            return index < 0 ? QString() : columns_[index];
        });
        orderBy_ = compiled;
    }
    sort_ = sort;
    if (isActive()) {
        autoPost();
        loaded_ = false;
        Q_EMIT reset();
    }
}

void Dataset::setFilter(const QString& filter)
{
    if (isActive()) {
        const SqlFragment compiled = compileFilter(filter, [this](const QString& field) {
            const int index = fieldIndex(field);
            return index < 0 ? QString() : columns_[index];
        });
        where_ = compiled.sql;
        whereParams_ = compiled.params;
    }
    filter_ = filter;
    quickColumn_ = -1;
    quickPattern_.clear();
    if (isActive()) {
        autoPost();
        loaded_ = false;
        Q_EMIT reset();
    }
}

void Dataset::requery()
{
    if (!isActive())
        return;
    autoPost();
    // Rows never read are read when first needed, fresh: reading them now would only cost (a
    // register of every quota of the office is millions of rows).
    if (!loaded_) {
        forgetRead();
        Q_EMIT reset();
        return;
    }
    const Bookmark mark = loaded_ ? bookmark() : Bookmark();
    load();
    if (!mark.isValid() || !gotoBookmark(mark))
        setCurrent(rows_.isEmpty() ? -1 : std::min(std::max(mark.row, 0), int(rows_.size()) - 1));
    Q_EMIT reset();
}

void Dataset::ensureLoaded()
{
    if (!isActive())
        throw StoreError(QStringLiteral("%1: dataset chiuso").arg(name_));
    if (!loaded_) {
        load();
        setCurrent(rows_.isEmpty() ? -1 : 0);
    }
}

void Dataset::load()
{
    QString query = baseSelect();
    QVector<QVariant> params;
    if (kind_ == SourceKind::Sql)
        params = sqlParams_;
    if (!where_.isEmpty()) {
        query += QStringLiteral(" WHERE ") + where_;
        params += whereParams_;
    }
    if (!orderBy_.isEmpty())
        query += QStringLiteral(" ORDER BY ") + orderBy_;
    else if (hiddenRowid_ && db_->isServer())
        // A table without a sort shows its stored order: a file's is its rows' keys, the server's
        // would move an edited row to the end.
        query += QStringLiteral(" ORDER BY ") + quoteIdentifier(rowKey_);
    Statement st(*db_, query);
    st.bindAll(params);
    QVector<QVector<QVariant>> rows;
    const int width = st.columnCount();
    while (st.step()) {
        QVector<QVariant> row(width);
        for (int i = 0; i < width; ++i)
            row[i] = st.value(i);
        rows.push_back(std::move(row));
    }
    read_ = std::move(rows);
    readValid_ = true;
    loaded_ = true;
    // As after First: at the beginning, and at the end too when there is nothing.
    applyQuickFilter();
}

const QVector<QVector<QVariant>>& Dataset::rows()
{
    ensureLoaded();
    return rows_;
}

int Dataset::rowCount()
{
    ensureLoaded();
    return int(rows_.size());
}

int Dataset::recNo()
{
    ensureLoaded();
    return current_;
}

bool Dataset::eof()
{
    ensureLoaded();
    return eof_;
}

bool Dataset::bof()
{
    ensureLoaded();
    return bof_;
}

void Dataset::setCurrent(int row)
{
    current_ = row;
    Q_EMIT currentChanged(row);
}

void Dataset::first()
{
    ensureLoaded();
    autoPost();
    setCurrent(rows_.isEmpty() ? -1 : 0);
    bof_ = true;
    eof_ = rows_.isEmpty();
}

void Dataset::last()
{
    ensureLoaded();
    autoPost();
    setCurrent(int(rows_.size()) - 1);
    eof_ = true;
    bof_ = rows_.isEmpty();
}

void Dataset::next()
{
    ensureLoaded();
    autoPost();
    bof_ = false;
    if (current_ + 1 < rows_.size()) {
        setCurrent(current_ + 1);
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void Dataset::prior()
{
    ensureLoaded();
    autoPost();
    eof_ = false;
    if (current_ > 0) {
        setCurrent(current_ - 1);
        bof_ = false;
    } else {
        bof_ = true;
    }
}

void Dataset::moveTo(int row)
{
    ensureLoaded();
    autoPost();
    if (row < 0 || row >= rows_.size())
        return;
    setCurrent(row);
    eof_ = bof_ = false;
}

QStringList Dataset::fieldNames()
{
    if (!columnsRead_ && db_ && kind_ != SourceKind::None)
        readColumns();
    return columns_;
}

int Dataset::fieldIndex(const QString& field)
{
    if (!columnsRead_ && db_ && kind_ != SourceKind::None)
        readColumns();
    QString name = field.trimmed();
    if (name.startsWith(u'[') && name.endsWith(u']'))
        name = name.mid(1, name.size() - 2);
    return columnIndex_.value(name.toCaseFolded(), -1);
}

const QVariant& Dataset::valueAt(int row, int column)
{
    static const QVariant none;
    ensureLoaded();
    if (row < 0 || row >= rows_.size() || column < 0 || column >= columns_.size())
        return none;
    // Read through const access: the rows may be shared with the rows read, and must not be copied.
    return std::as_const(rows_)[row][column + (hiddenRowid_ ? 1 : 0)];
}

QVariant Dataset::valueAt(int row, const QString& field)
{
    const int column = fieldIndex(field);
    if (column < 0)
        throw StoreError(QStringLiteral("%1: campo sconosciuto: %2").arg(name_, field));
    return valueAt(row, column);
}

QVariant Dataset::value(const QString& field)
{
    ensureLoaded();
    const int column = fieldIndex(field);
    if (column < 0)
        throw StoreError(QStringLiteral("%1: campo sconosciuto: %2").arg(name_, field));
    if (state_ == State::Edit || state_ == State::Insert)
        return buffer_[column + (hiddenRowid_ ? 1 : 0)];
    if (current_ < 0)
        return QVariant();
    return valueAt(current_, column);
}

bool Dataset::isDateField(int column)
{
    if (column < 0 || column >= declTypes_.size())
        return false;
    const QString& type = declTypes_[column];
    return type.contains(QLatin1String("DATE")) && !type.contains(QLatin1String("TIME"));
}

bool Dataset::isBoolField(int column)
{
    return column >= 0 && column < declTypes_.size() && declTypes_[column].contains(QLatin1String("BOOL"));
}

void Dataset::setDisplayFormat(const QString& field, const QString& format)
{
    formats_.insert(field.toCaseFolded(), format);
}

QString Dataset::displayFormat(const QString& field) const
{
    return formats_.value(field.toCaseFolded());
}

QString Dataset::displayText(int row, int column)
{
    const QVariant v = valueAt(row, column);
    if (!v.isValid() || v.isNull())
        return QString();
    const QString format = formats_.value(columns_[column].toCaseFolded());
    if (format == QLatin1String("0.00"))
        return formatNumber(v, 2);
    if (format == QLatin1String("0.000"))
        return formatNumber(v, 3);
    if (format.compare(QLatin1String("HH.mm"), Qt::CaseInsensitive) == 0) {
        const QTime time = QTime::fromString(v.toString().left(5), QStringLiteral("HH:mm"));
        return time.isValid() ? time.toString(QStringLiteral("HH.mm")) : v.toString();
    }
    if (format.compare(QLatin1String("DD/MM/YYYY"), Qt::CaseInsensitive) == 0 || isDateField(column))
        return isoDateToText(v.toString());
    if (isBoolField(column))
        return v.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

QString Dataset::text(const QString& field)
{
    ensureLoaded();
    const int column = fieldIndex(field);
    if (column < 0)
        throw StoreError(QStringLiteral("%1: campo sconosciuto: %2").arg(name_, field));
    return current_ < 0 ? QString() : displayText(current_, column);
}

QVariant Dataset::keyValue()
{
    ensureLoaded();
    if (current_ < 0)
        return QVariant();
    if (keyColumn_ == -2)
        return std::as_const(rows_)[current_][0];
    if (keyColumn_ >= 0)
        return std::as_const(rows_)[current_][keyColumn_];
    return QVariant();
}

Dataset::Bookmark Dataset::bookmark()
{
    ensureLoaded();
    Bookmark mark;
    mark.row = current_;
    mark.key = keyValue();
    return mark;
}

bool Dataset::gotoBookmark(const Bookmark& mark)
{
    ensureLoaded();
    if (!mark.isValid())
        return false;
    if (mark.key.isValid() && !mark.key.isNull()) {
        const int keyIndex = keyColumn_ == -2 ? 0 : keyColumn_;
        auto matches = [&](int row) { return sameStoredValue(std::as_const(rows_)[row][keyIndex], mark.key, false); };
        if (mark.row < rows_.size() && matches(mark.row)) {
            moveTo(mark.row);
            return true;
        }
        for (int row = 0; row < rows_.size(); ++row) {
            if (matches(row)) {
                moveTo(row);
                return true;
            }
        }
        return false;
    }
    if (mark.row < rows_.size()) {
        moveTo(mark.row);
        return true;
    }
    return false;
}

bool Dataset::locate(const QString& fields, const QVariantList& values, bool caseInsensitive)
{
    ensureLoaded();
    const QStringList names = fields.split(u';', Qt::SkipEmptyParts);
    if (names.size() != values.size())
        throw StoreError(QStringLiteral("%1: locate con %2 campi e %3 valori").arg(name_).arg(names.size()).arg(values.size()));
    QVector<int> columns;
    QVector<QVariant> wanted;
    for (int i = 0; i < names.size(); ++i) {
        const int column = fieldIndex(names[i]);
        if (column < 0)
            throw StoreError(QStringLiteral("%1: campo sconosciuto: %2").arg(name_, names[i]));
        columns << column + (hiddenRowid_ ? 1 : 0);
        wanted << toStoredValue(values[i]);
    }
    for (int row = 0; row < rows_.size(); ++row) {
        bool all = true;
        for (int i = 0; i < columns.size() && all; ++i)
            all = sameStoredValue(std::as_const(rows_)[row][columns[i]], wanted[i], caseInsensitive);
        if (all) {
            moveTo(row);
            return true;
        }
    }
    return false;
}


} // namespace velcaris::store
