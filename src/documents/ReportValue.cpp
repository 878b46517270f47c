#include "documents/ReportValue.h"

#include <cmath>

namespace velcaris::documents {

TReportVariable TReportVariable::fromBool(bool b)
{
    TReportVariable v;
    v.type_ = Type::Bool;
    v.b_ = b;
    return v;
}

TReportVariable TReportVariable::fromNumber(double d)
{
    TReportVariable v;
    v.type_ = Type::Number;
    v.d_ = d;
    return v;
}

TReportVariable TReportVariable::fromText(const QString& s)
{
    TReportVariable v;
    v.type_ = Type::Text;
    v.s_ = s;
    return v;
}

TReportVariable TReportVariable::fromDate(const QDate& d)
{
    TReportVariable v;
    if (!d.isValid())
        return v;
    v.type_ = Type::Date;
    v.dt_ = QDateTime(d, QTime(0, 0));
    return v;
}

TReportVariable TReportVariable::fromDateTime(const QDateTime& dt)
{
    TReportVariable v;
    if (!dt.isValid())
        return v;
    v.type_ = Type::DateTime;
    v.dt_ = dt;
    return v;
}

TReportVariable TReportVariable::fromVariant(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Bool:
        return fromBool(v.toBool());
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Long: case QMetaType::Short:
        return fromNumber(v.toDouble());
    case QMetaType::QDate:
        return fromDate(v.toDate());
    case QMetaType::QDateTime:
        return fromDateTime(v.toDateTime());
    default:
        return fromText(v.toString());
    }
}

QDateTime parseDateTimeText(const QString& text, bool* ok)
{
    const QString t = text.trimmed();
    static const char* const formats[] = {
        "dd/MM/yyyy", "d/M/yyyy", "dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy HH:mm", "dd.MM.yyyy",
        "yyyy-MM-dd", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm"};
    for (const char* f : formats) {
        const QString fmt = QString::fromLatin1(f);
        if (!fmt.contains(QLatin1Char('H'))) {
            const QDate d = QDate::fromString(t, fmt);
            if (d.isValid()) {
                if (ok) *ok = true;
                return QDateTime(d, QTime(0, 0));
            }
        } else {
            const QDateTime dt = QDateTime::fromString(t, fmt);
            if (dt.isValid()) {
                if (ok) *ok = true;
                return dt;
            }
        }
    }
    if (ok) *ok = false;
    return {};
}

bool TReportVariable::toBool(const QString& falseValue) const
{
    switch (type_) {
    case Type::Null: return false;
    case Type::Bool: return b_;
    case Type::Number: return d_ != 0;
    case Type::Date: case Type::DateTime: return true;
    case Type::Text: {
        const QString t = s_.trimmed();
        if (t.isEmpty() || t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0
            || t.compare(falseValue, Qt::CaseInsensitive) == 0)
            return false;
        bool ok = false;
        const double d = t.toDouble(&ok);
        return ok ? d != 0 : true;
    }
    }
    return false;
}

bool TReportVariable::isNumeric() const
{
    bool ok = false;
    toNumber(&ok);
    return ok;
}

double TReportVariable::toNumber(bool* ok) const
{
    if (ok) *ok = true;
    switch (type_) {
    case Type::Number: return d_;
    case Type::Bool: return b_ ? 1 : 0;
    case Type::Text: {
        bool good = false;
        const double d = s_.trimmed().toDouble(&good);
        if (ok) *ok = good;
        return good ? d : 0;
    }
    default:
        if (ok) *ok = false;
        return 0;
    }
}

QDateTime TReportVariable::toDateTime(bool* ok) const
{
    if (type_ == Type::Date || type_ == Type::DateTime) {
        if (ok) *ok = true;
        return dt_;
    }
    if (type_ == Type::Text)
        return parseDateTimeText(s_, ok);
    if (ok) *ok = false;
    return {};
}

QString TReportVariable::formatNumber(double d)
{
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    return QString::number(d, 'g', 15);
}

QString TReportVariable::toText(const QString& trueValue, const QString& falseValue) const
{
    switch (type_) {
    case Type::Null: return QString();
    case Type::Bool: return b_ ? trueValue : falseValue;
    case Type::Number: return formatNumber(d_);
    case Type::Text: return s_;
    case Type::Date: return dt_.date().toString(QStringLiteral("dd/MM/yyyy"));
    case Type::DateTime:
        // A time of day alone is held on 30/12/1899 and printed without that date.
        if (dt_.date() == QDate(1899, 12, 30))
            return dt_.time().toString(QStringLiteral("HH:mm:ss"));
        return dt_.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    return QString();
}

} // namespace velcaris::documents
