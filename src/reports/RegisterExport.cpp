#include "reports/RegisterExport.h"

#include "documents/LetterVariables.h"

#include <QDir>
#include <QRegularExpression>

namespace velcaris::reports {

namespace {

// The cell of one stored value, typed by its column.
Cell cellOf(store::Dataset& ds, int row, int column, const QString& format)
{
    const QVariant v = ds.valueAt(row, column);
    if (!v.isValid() || v.isNull())
        return {};
    if (ds.isDateField(column)) {
        const QDate d = v.typeId() == QMetaType::QDate ? v.toDate()
                                                        : QDate::fromString(v.toString().left(10), Qt::ISODate);
        return d.isValid() ? Cell::ofDate(d) : Cell::ofText(v.toString());
    }
    if (ds.isBoolField(column))
        return Cell::ofText(ds.displayText(row, column));
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return Cell::ofAmount(v.toDouble(), format == QLatin1String("0.000") ? 3 : 2);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return Cell::ofWhole(v.toLongLong());
    default:
        return Cell::ofText(ds.displayText(row, column));
    }
}

QString oneLine(QString text)
{
    for (QChar& c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return text;
}

} // namespace

bool leftOutOfTableExport(const QString& field)
{
    return field.compare(QLatin1String("Tabelle_millesimali"), Qt::CaseInsensitive) == 0 ||
           field.compare(QLatin1String("Memo"), Qt::CaseInsensitive) == 0;
}

Sheet registerSheet(store::Dataset& ds, const QString& caption, const QStringList& fields)
{
    Sheet sheet;
    sheet.name = caption;
    QVector<int> columns;
    const QStringList all = ds.fieldNames();
    if (fields.isEmpty()) {
        for (int c = 0; c < all.size(); ++c)
            if (!leftOutOfTableExport(all[c]))
                columns << c;
    } else {
        for (const QString& f : fields)
            if (const int c = ds.fieldIndex(f); c >= 0)
                columns << c;
    }
    QStringList formats;
    for (int c : columns) {
        sheet.header << all[c];
        formats << ds.displayFormat(all[c]);
    }
    const int n = ds.rowCount();
    sheet.rows.reserve(n);
    for (int r = 0; r < n; ++r) {
        QVector<Cell> line;
        line.reserve(columns.size());
        for (int i = 0; i < columns.size(); ++i)
            line << cellOf(ds, r, columns[i], formats[i]);
        sheet.rows << std::move(line);
    }
    return sheet;
}

QString tabSeparated(const Sheet& sheet)
{
    QStringList lines;
    lines.reserve(sheet.rows.size() + 1);
    QString header;
    for (const QString& h : sheet.header)
        header += oneLine(h) + u'\t';
    lines << header;
    for (const auto& row : sheet.rows) {
        QString line;
        for (const Cell& c : row)
            line += oneLine(c.text) + u'\t';
        lines << line;
    }
    return lines.join(u'\n');
}

QString fileNamePart(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c == u'/' || c == u'\\' || c.unicode() < 32)
            c = u'_';
    return out;
}

QString exportFolder(const app::Workspace& ws)
{
    return ws.selection.condominium.isEmpty() ? ws.paths().outputFolder() : documents::condominiumFolder(ws);
}

QString exportFileName(const QString& caption, const QDateTime& when)
{
    return fileNamePart(caption) + QStringLiteral(" - ") + when.toString(QStringLiteral("dd.MM.yyyy HH.mm.ss")) +
           QStringLiteral(".xlsx");
}

ExportResult exportRegister(app::Workspace& ws, const RegisterExport& request)
{
    ExportResult result;
    const Sheet sheet = registerSheet(ws.ds(request.dataset), request.caption, request.fields);
    result.clipboard = tabSeparated(sheet);
    const QString path = QDir(exportFolder(ws)).filePath(exportFileName(request.caption, request.when));
    const QString error = writeOfficeWorkbook(ws.paths(), path, sheet);
    if (!error.isEmpty()) {
        result.outcome = app::Outcome::refused(
            error + QStringLiteral("\nLe righe sono comunque negli appunti: si possono incollare in un foglio di calcolo."),
            app::MessageKind::Error);
        return result;
    }
    result.file = path;
    result.outcome = app::Outcome::accepted();
    return result;
}

Sheet textGridSheet(const QString& name, const QVector<QStringList>& grid)
{
    static const QRegularExpression amount(QStringLiteral("^-?\\d+\\.\\d\\d$"));
    Sheet sheet;
    sheet.name = name;
    for (const QStringList& row : grid) {
        QVector<Cell> line;
        for (const QString& text : row)
            line << (amount.match(text).hasMatch() ? Cell{Cell::Kind::Amount, text, text.toDouble(), {}, 2}
                                                   : Cell::ofText(text));
        sheet.rows << line;
    }
    return sheet;
}

} // namespace velcaris::reports
