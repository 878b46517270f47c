// OpenDocument spreadsheets: content.xml holds every sheet (table:table) with its rows and
// cells. Runs of equal rows and cells are written once with a repeat count; a run of empty ones
// (often a million rows long, down to the end of the sheet) only moves the position.
#include "sheetimport/SpreadsheetFile.h"

#include <QXmlStreamReader>

namespace velcaris::sheetimport {

namespace {

QStringView attribute(const QXmlStreamAttributes& attributes, QLatin1String localName)
{
    for (const QXmlStreamAttribute& a : attributes)
        if (a.name() == localName)
            return a.value();
    return {};
}

int repeat(const QXmlStreamAttributes& attributes, QLatin1String localName)
{
    bool ok = false;
    const int n = attribute(attributes, localName).toInt(&ok);
    return ok && n > 0 ? n : 1;
}

// The text of the paragraphs inside the cell the reader stands on, to its end; notes left out.
QString paragraphs(QXmlStreamReader& xml)
{
    QString text;
    int paragraphCount = 0;
    int depth = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const QStringView name = xml.name();
            if (name == u"annotation") {
                xml.skipCurrentElement();
                --depth;
            } else if (name == u"p" || name == u"h") {
                if (paragraphCount++ > 0)
                    text += u'\n';
            } else if (name == u"s") {
                text += QString(repeat(xml.attributes(), QLatin1String("c")), u' ');
            } else if (name == u"tab") {
                text += u'\t';
            } else if (name == u"line-break") {
                text += u'\n';
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth-- == 0)
                break;
        } else if (token == QXmlStreamReader::Characters && depth > 0) {
            text += xml.text();
        }
    }
    return text;
}

// The cell's value as the import reads it: numbers from their stored value, the rest as shown.
QString cellText(QXmlStreamReader& xml)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    const QStringView type = attribute(attributes, QLatin1String("value-type"));
    const QString shown = paragraphs(xml);
    if (type == u"float" || type == u"percentage" || type == u"currency") {
        bool ok = false;
        const double value = attribute(attributes, QLatin1String("value")).toDouble(&ok);
        if (ok)
            return numberText(value);
    } else if (type == u"boolean") {
        return attribute(attributes, QLatin1String("boolean-value")) == u"true" ? QStringLiteral("1") : QStringLiteral("0");
    }
    return shown;
}

QString tooLong(const QString& sheet)
{
    return QStringLiteral("il foglio \"%1\" ha più di %2 righe o di %3 colonne: non è l'elenco di un condominio")
        .arg(sheet)
        .arg(kMaxRows)
        .arg(kMaxColumns);
}

// Reads the table the reader stands on, to its end.
bool readTable(QXmlStreamReader& xml, SheetTable& sheet, QString* error)
{
    int row = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"table")
            return true;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"table") { // a table inside a cell or a shape: not part of the sheet
            xml.skipCurrentElement();
            continue;
        }
        if (xml.name() != u"table-row")
            continue;
        const int rows = repeat(xml.attributes(), QLatin1String("number-rows-repeated"));
        QStringList cells;
        int column = 0;
        bool filled = false;
        while (!xml.atEnd()) {
            const auto t = xml.readNext();
            if (t == QXmlStreamReader::EndElement && xml.name() == u"table-row")
                break;
            if (t != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() != u"table-cell" && xml.name() != u"covered-table-cell") {
                xml.skipCurrentElement();
                continue;
            }
            const int columns = repeat(xml.attributes(), QLatin1String("number-columns-repeated"));
            const QString text = cellText(xml);
            if (!text.isEmpty()) {
                if (qint64(column) + columns > kMaxColumns) {
                    *error = tooLong(sheet.name);
                    return false;
                }
                while (cells.size() < column)
                    cells << QString();
                for (int i = 0; i < columns; ++i)
                    cells << text;
                filled = true;
            }
            column = int(std::min<qint64>(qint64(column) + columns, kMaxColumns + 1));
        }
        if (filled) {
            if (qint64(row) + rows > kMaxRows) {
                *error = tooLong(sheet.name);
                return false;
            }
            if (sheet.rows.size() < row)
                sheet.rows.resize(row);
            for (int i = 0; i < rows; ++i)
                sheet.rows << cells;
        }
        row = int(std::min<qint64>(qint64(row) + rows, kMaxRows + 1));
    }
    return true;
}

} // namespace

std::optional<SheetBook> readOds(const platform::ZipArchive& zip, QString* error)
{
    QString detail;
    const std::optional<QByteArray> content =
        zip.read(QStringLiteral("content.xml"), platform::ZipArchive::DefaultEntryLimit, &detail);
    if (!content) {
        *error = detail;
        return std::nullopt;
    }
    SheetBook book;
    QXmlStreamReader xml(*content);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"table")
            continue;
        SheetTable sheet;
        sheet.name = attribute(xml.attributes(), QLatin1String("name")).toString();
        if (!readTable(xml, sheet, error))
            return std::nullopt;
        book.sheets << sheet;
    }
    if (xml.hasError()) {
        *error = QStringLiteral("il contenuto è danneggiato (%1)").arg(xml.errorString());
        return std::nullopt;
    }
    if (book.sheets.isEmpty()) {
        *error = QStringLiteral("non contiene fogli");
        return std::nullopt;
    }
    return book;
}

} // namespace velcaris::sheetimport
