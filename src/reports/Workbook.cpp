#include "reports/Workbook.h"

#include "foundation/OutputPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>
#include <algorithm>
#include <xlsxwriter.h>

namespace velcaris::reports {

namespace {

constexpr double kMinWidth = 6;
constexpr double kMaxWidth = 60;

// The widest shown text of each column, in characters, with a little room.
QVector<double> columnWidths(const Sheet& sheet)
{
    int columns = int(sheet.header.size());
    for (const auto& row : sheet.rows)
        columns = std::max(columns, int(row.size()));
    QVector<double> widths(columns, kMinWidth);
    auto fit = [&](int c, const QString& text) {
        widths[c] = std::clamp(double(text.size()) + 2, widths[c], kMaxWidth);
    };
    for (int c = 0; c < sheet.header.size(); ++c)
        fit(c, sheet.header[c]);
    for (const auto& row : sheet.rows)
        for (int c = 0; c < row.size(); ++c)
            fit(c, row[c].text);
    return widths;
}

} // namespace

QString sheetName(const QString& wanted)
{
    QString name;
    for (const QChar c : wanted)
        name += QStringLiteral("[]:*?/\\").contains(c) ? u'_' : c;
    name = name.left(31);
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\''))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("Foglio1") : name;
}

QString writeWorkbook(const QString& path, const Sheet& sheet)
{
    return writeWorkbook(path, QVector<Sheet>{sheet});
}

QString writeWorkbook(const QString& path, const QVector<Sheet>& sheets)
{
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("Impossibile creare la cartella %1").arg(QDir::toNativeSeparators(folder));
    // The temporary name is reserved here and written by the library.
    QTemporaryFile temp(folder + QStringLiteral("/.esportazione-XXXXXX.xlsx"));
    if (!temp.open())
        return QStringLiteral("Impossibile scrivere nella cartella %1: %2")
            .arg(QDir::toNativeSeparators(folder), temp.errorString());
    const QString tempPath = temp.fileName();
    temp.close();

    const QByteArray file = QFile::encodeName(tempPath);
    lxw_workbook* book = workbook_new(file.constData());
    if (!book)
        return QStringLiteral("Impossibile creare il file %1").arg(QDir::toNativeSeparators(path));
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    // One number format per count of decimals ("0.00", "0.000").
    QHash<int, lxw_format*> amounts;
    auto amountFormat = [&](int decimals) {
        lxw_format*& f = amounts[decimals];
        if (!f) {
            f = workbook_add_format(book);
            const QByteArray code = decimals > 0 ? "0." + QByteArray(decimals, '0') : QByteArray("0");
            format_set_num_format(f, code.constData());
        }
        return f;
    };
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "dd/mm/yyyy");

    QStringList taken; // the sheet names given so far, folded
    for (const Sheet& sheet : sheets) {
        QString name = sheetName(sheet.name);
        for (int n = 2; taken.contains(name.toCaseFolded()); ++n) {
            const QString suffix = QStringLiteral(" (%1)").arg(n);
            name = sheetName(sheet.name).left(31 - int(suffix.size())) + suffix;
        }
        taken << name.toCaseFolded();
        const QByteArray utf8Name = name.toUtf8();
        lxw_worksheet* ws = workbook_add_worksheet(book, utf8Name.constData());
        if (!ws) {
            workbook_close(book);
            QFile::remove(tempPath);
            return QStringLiteral("Impossibile creare il foglio \"%1\" nel file %2").arg(name, QDir::toNativeSeparators(path));
        }

        const QVector<double> widths = columnWidths(sheet);
        for (int c = 0; c < widths.size(); ++c)
            worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr);

        lxw_row_t r = 0;
        if (!sheet.header.isEmpty()) {
            for (int c = 0; c < sheet.header.size(); ++c)
                worksheet_write_string(ws, r, lxw_col_t(c), sheet.header[c].toUtf8().constData(), bold);
            ++r;
        }
        for (const auto& row : sheet.rows) {
            for (int c = 0; c < row.size(); ++c) {
                const Cell& cell = row[c];
                const auto col = lxw_col_t(c);
                switch (cell.kind) {
                case Cell::Kind::Empty:
                    break;
                case Cell::Kind::Text:
                    worksheet_write_string(ws, r, col, cell.text.toUtf8().constData(), nullptr);
                    break;
                case Cell::Kind::Amount:
                    worksheet_write_number(ws, r, col, cell.number, amountFormat(cell.decimals));
                    break;
                case Cell::Kind::Whole:
                    worksheet_write_number(ws, r, col, cell.number, nullptr);
                    break;
                case Cell::Kind::Date: {
                    lxw_datetime d{cell.date.year(), cell.date.month(), cell.date.day(), 0, 0, 0};
                    worksheet_write_datetime(ws, r, col, &d, date);
                    break;
                }
                }
            }
            ++r;
        }
    }
    const lxw_error err = workbook_close(book);
    if (err != LXW_NO_ERROR) {
        QFile::remove(tempPath);
        return QStringLiteral("Impossibile scrivere il file %1: %2")
            .arg(QDir::toNativeSeparators(path), QString::fromUtf8(lxw_strerror(err)));
    }
    // Replaced only now that the new workbook is whole.
    if (QFile::exists(path) && !QFile::remove(path)) {
        QFile::remove(tempPath);
        return QStringLiteral("Impossibile sostituire il file %1: è forse aperto in un altro programma?")
            .arg(QDir::toNativeSeparators(path));
    }
    if (!QFile::rename(tempPath, path)) {
        QFile::remove(tempPath);
        return QStringLiteral("Impossibile scrivere il file %1").arg(QDir::toNativeSeparators(path));
    }
    return {};
}

QString writeOfficeWorkbook(const app::AppPaths& paths, const QString& path, const QVector<Sheet>& sheets)
{
    if (const QString problem = app::makeOutputFolder(paths, QFileInfo(path).absolutePath()); !problem.isEmpty())
        return problem;
    return writeWorkbook(path, sheets);
}

QString writeOfficeWorkbook(const app::AppPaths& paths, const QString& path, const Sheet& sheet)
{
    return writeOfficeWorkbook(paths, path, QVector<Sheet>{sheet});
}

} // namespace velcaris::reports
