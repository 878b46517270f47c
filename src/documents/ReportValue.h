#pragma once
// A value computed by the template engine: the result of an expression, of a built-in or of a
// user function (TReportVariable), and the conversions between its kinds.
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace velcaris::documents {

class TReportVariable {
public:
    enum class Type { Null, Bool, Number, Text, Date, DateTime };

    TReportVariable() = default;
    static TReportVariable fromBool(bool b);
    static TReportVariable fromNumber(double d);
    static TReportVariable fromText(const QString& s);
    static TReportVariable fromDate(const QDate& d);
    static TReportVariable fromDateTime(const QDateTime& dt);
    static TReportVariable fromVariant(const QVariant& v);

    Type type() const { return type_; }
    bool isNull() const { return type_ == Type::Null; }

    void setBool(bool b) { *this = fromBool(b); }
    void setNumber(double d) { *this = fromNumber(d); }
    void setText(const QString& s) { *this = fromText(s); }
    void clear() { *this = TReportVariable(); }

    // Truth: booleans as they are, numbers other than zero, texts other than "", "0", "false"
    // and falseValue; dates are true.
    bool toBool(const QString& falseValue = QStringLiteral("False")) const;
    // Numbers, booleans (1/0) and texts that read as numbers with "." as decimal separator.
    bool isNumeric() const;
    double toNumber(bool* ok = nullptr) const;
    // Dates, date-times, and texts dd/mm/yyyy or yyyy-mm-dd (with an optional time).
    QDateTime toDateTime(bool* ok = nullptr) const;
    // The text printed in a document.
    QString toText(const QString& trueValue = QStringLiteral("True"),
                   const QString& falseValue = QStringLiteral("False")) const;

    static QString formatNumber(double d);

private:
    Type type_ = Type::Null;
    bool b_ = false;
    double d_ = 0;
    QString s_;
    QDateTime dt_;
};

// Parses "dd/mm/yyyy", "dd.mm.yyyy" or "yyyy-mm-dd", each optionally followed by a time.
QDateTime parseDateTimeText(const QString& text, bool* ok);

} // namespace velcaris::documents
