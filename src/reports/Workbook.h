#pragma once
// A workbook (.xlsx) of one sheet or more written from rows of typed cells: text stays text, amounts are
// numbers shown with two decimals, whole numbers are numbers, dates are dates. Columns are made
// wide enough for what they hold.
#include "foundation/AppPaths.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace velcaris::reports {

struct Cell {
    enum class Kind { Empty, Text, Amount, Whole, Date };
    Kind kind = Kind::Empty;
    QString text;     // Text; also the shown text of the others (column widths, clipboard)
    double number = 0; // Amount, Whole
    QDate date;        // Date
    int decimals = 2;  // Amount: the decimals shown

    static Cell ofText(const QString& t) { return t.isEmpty() ? Cell{} : Cell{Kind::Text, t, 0, {}, 2}; }
    static Cell ofAmount(double v, int decimals = 2) { return {Kind::Amount, QString::number(v, 'f', decimals), v, {}, decimals}; }
    static Cell ofWhole(qint64 v) { return {Kind::Whole, QString::number(v), double(v), {}, 0}; }
    static Cell ofDate(const QDate& d) { return {Kind::Date, d.toString(QStringLiteral("dd/MM/yyyy")), 0, d, 0}; }
};

struct Sheet {
    QString name;
    QStringList header;            // the first row, in bold; none when empty
    QVector<QVector<Cell>> rows;   // below the header
};

// The name a spreadsheet accepts for a sheet: at most 31 characters, none of []:*?/\ , not
// empty, not starting or ending with an apostrophe.
QString sheetName(const QString& wanted);

// Writes `sheet` into `path` (replaced when it exists). The workbook is built in a temporary
// file of the same folder and renamed over `path` only when complete, so a failure leaves an
// earlier file as it was. Returns an empty text on success, otherwise the reason in Italian.
QString writeWorkbook(const QString& path, const Sheet& sheet);
// The same with one sheet per entry, in order; two sheets of the same name (without regard to
// case) are told apart by a number.
QString writeWorkbook(const QString& path, const QVector<Sheet>& sheets);
// The same for a workbook of the office's: refused, with the reason, when `path` would leave Output/.
QString writeOfficeWorkbook(const app::AppPaths& paths, const QString& path, const QVector<Sheet>& sheets);
QString writeOfficeWorkbook(const app::AppPaths& paths, const QString& path, const Sheet& sheet);

} // namespace velcaris::reports
