#pragma once
// Reading the spreadsheet the user chose: Office Open XML (.xlsx), OpenDocument (.ods) or text
// with separators (.csv). The workbooks are zipped XML read here directly, without starting
// LibreOffice: it is fast, it needs no other process and it works on the computers where
// LibreOffice is not installed. Formulas give their last computed value; merged cells give what
// the first of them holds. Every fault is an Italian message, never an exception.
#include "platform/ZipArchive.h"
#include "sheetimport/SheetBook.h"

#include <QByteArray>
#include <QString>

namespace velcaris::sheetimport {

// The file at `path`, its kind told by its content (a zip archive is a workbook, anything else
// is read as text with separators).
SheetRead readSpreadsheet(const QString& path);
// The same over bytes already read; `fileName` names the file in the messages.
SheetRead readSpreadsheetBytes(const QByteArray& bytes, const QString& fileName);

// The readers of each kind; each returns the book or sets `error`.
std::optional<SheetBook> readXlsx(const platform::ZipArchive& zip, QString* error);
std::optional<SheetBook> readOds(const platform::ZipArchive& zip, QString* error);
// Text with ";", "," or tab between fields (the most frequent of them in the first line outside
// quotes), in UTF-8 (with or without its mark) or else Windows-1252.
std::optional<SheetBook> readCsv(const QByteArray& bytes, QString* error);

} // namespace velcaris::sheetimport
