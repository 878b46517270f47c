#include "cashbook/ReceiptFunctions.h"

#include <cmath>

namespace velcaris::cashbook {

using documents::RecordSource;
using documents::TReportVariable;
using documents::TUDF;

namespace {
int g_line = 1;

QString twoDecimals(const QVariant& v)
{
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    if (!ok)
        return v.toString();
    // Cents rounded half away from zero.
    const double cents = std::round(d * 100.0 + std::copysign(std::fabs(d) * 1e-10, d));
    QString s = QString::number(cents / 100.0, 'f', 2);
    if (s == QLatin1String("-0.00"))
        s = QStringLiteral("0.00");
    return s;
}

// The text of line N of the source in the given field (empty past the last line).
QString cell(const ReceiptSource& src, const char* registerField, const char* gridField, bool amount)
{
    RecordSource* rows = src.rows;
    if (!rows)
        return QString();
    QVariant v;
    if (src.kind == ReceiptSource::Kind::IncomeRegister) {
        if (rows->eof() || rows->bof())
            return QString();
        v = rows->value(QString::fromLatin1(registerField));
    } else {
        const int n = receiptLine();
        if (n < 1 || n > rows->recordCount())
            return QString();
        const int keep = rows->position();
        rows->moveTo(n - 1);
        v = rows->value(QString::fromLatin1(gridField));
        rows->moveTo(keep);
        // The grid holds its amounts already as two-decimal text.
        return v.toString();
    }
    if (v.isNull())
        return QString();
    return amount ? twoDecimals(v) : v.toString();
}

} // namespace

int receiptLine() { return g_line; }
void setReceiptLine(int n) { g_line = n; }

void addReceiptFunctions(documents::TUDFList& list, std::function<ReceiptSource()> source)
{
    TUDF grid1;
    grid1.Name = QStringLiteral("grid1");
    grid1.ArgMinCount = 0;
    grid1.ArgMaxCount = 0;
    grid1.OnCalculate = [source](const QVector<TReportVariable>&, TReportVariable& result) {
        const ReceiptSource src = source();
        const int count = src.rows ? src.rows->recordCount() : 0;
        result.setBool(receiptLine() >= 1 && receiptLine() <= count);
    };
    list.add(grid1);

    TUDF incrow1;
    incrow1.Name = QStringLiteral("incrow1");
    incrow1.ArgMinCount = 0;
    incrow1.ArgMaxCount = 0;
    incrow1.OnCalculate = [source](const QVector<TReportVariable>&, TReportVariable& result) {
        const ReceiptSource src = source();
        if (src.kind == ReceiptSource::Kind::IncomeRegister && src.rows)
            src.rows->next();
        setReceiptLine(receiptLine() + 1);
        result.clear();
    };
    list.add(incrow1);

    struct Col {
        const char* name;
        const char* registerField;
        const char* gridField;
        bool amount;
    };
    const Col cols[] = {{"col1", "Nome", "Quota", false},
                        {"col2", "Importo", "Importo", true},
                        {"col3", "Nota", "Nota", false}};
    for (const Col& c : cols) {
        TUDF f;
        f.Name = QString::fromLatin1(c.name);
        f.ArgMinCount = 1; // required and ignored
        f.ArgMaxCount = 1;
        f.OnCalculate = [source, c](const QVector<TReportVariable>&, TReportVariable& result) {
            result.setText(cell(source(), c.registerField, c.gridField, c.amount));
        };
        list.add(f);
    }
}

} // namespace velcaris::cashbook
