#pragma once
// A spreadsheet as the import reads it: its sheets in order, each a grid of cell texts. Row i of
// a sheet is the spreadsheet's row i + 1, so that a refusal can name the row the user sees; the
// empty rows between filled ones are kept as empty rows.
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::sheetimport {

// No building has this many units or persons: a sheet longer than this is refused before it is
// read into memory (a file of a hundred thousand rows is a mistake, not a condominium).
constexpr int kMaxRows = 20000;
// Cells beyond this column are not read; a sheet that fills one is refused.
constexpr int kMaxColumns = 512;

struct SheetTable {
    QString name;
    QVector<QStringList> rows;
};

struct SheetBook {
    QString fileName; // as the user chose it, for the messages
    QVector<SheetTable> sheets;
};

// The outcome of reading a file: the book, or why it cannot be read (in Italian).
struct SheetRead {
    std::optional<SheetBook> book;
    QString error;
};

// The cell text of a number: whole numbers without decimals, others with up to 15 significant
// digits, "." as the separator ("1000", "333.333").
QString numberText(double value);

// Puts `text` at (row, column), both from 0, growing the grid; false when past the bounds.
bool putCell(SheetTable& sheet, int row, int column, const QString& text);

} // namespace velcaris::sheetimport
