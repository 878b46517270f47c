#pragma once
// Registers handed to the spreadsheet: a grid's visible columns (or every column of a table but
// the long texts) written as a workbook into the condominium's folder, and the same rows as
// tab-separated text for the clipboard.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "reports/Workbook.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace velcaris::reports {

struct RegisterExport {
    QString caption;    // the tab's caption: the sheet's name and the start of the file's
    QString dataset;    // the register's dataset in the workspace
    QStringList fields; // the grid's visible columns, in order; empty: the table export
    QDateTime when;     // in the file's name
};

struct ExportResult {
    app::Outcome outcome;
    QString file;      // the workbook written (empty when none was)
    QString clipboard; // the rows as tab-separated text, also when the workbook failed
};

// The fields the table export leaves out.
bool leftOutOfTableExport(const QString& field);

// The sheet of `fields` of every row of `dataset` (header: the fields' own names). Empty
// `fields`: every field but the long texts. The dataset's current row does not move.
Sheet registerSheet(store::Dataset& dataset, const QString& caption, const QStringList& fields);

// Each line's values each followed by a TAB, lines separated by line breaks; a TAB or a line
// break inside a value becomes a blank so that a value stays in its cell.
QString tabSeparated(const Sheet& sheet);

// Where exports go: the current condominium's folder, the Output folder when none is current.
QString exportFolder(const app::Workspace& ws);
// "<caption> - dd.MM.yyyy HH.mm.ss.xlsx", without the characters a file name cannot hold.
QString exportFileName(const QString& caption, const QDateTime& when);
// A part of a file name: path separators and control characters become "_".
QString fileNamePart(const QString& text);

ExportResult exportRegister(app::Workspace& ws, const RegisterExport& request);

// The text grid of a report (rows of cells) as a sheet: a cell holding an amount with exactly two
// decimals ("1250.00") becomes a number, every other cell stays text.
Sheet textGridSheet(const QString& name, const QVector<QStringList>& grid);

} // namespace velcaris::reports
