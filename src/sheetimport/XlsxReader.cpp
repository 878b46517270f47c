// Office Open XML workbooks: xl/workbook.xml names the sheets and, through its relationships,
// their parts; xl/sharedStrings.xml holds the texts the cells point to by number.
#include "sheetimport/SpreadsheetFile.h"

#include <QHash>
#include <QXmlStreamReader>

namespace velcaris::sheetimport {

namespace {

// "_x000D_" and the like: characters the format escapes inside texts.
QString unescaped(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = false;
            const uint code = QStringView(text).mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out += QChar(char16_t(code));
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The text of the element the reader stands on (<si>, <is>): its <t> parts, phonetic runs left out.
QString richText(QXmlStreamReader& xml)
{
    QString text;
    const QString end = xml.name().toString();
    int phonetic = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (token == QXmlStreamReader::EndElement) {
            if (xml.name() == u"rPh")
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return unescaped(text);
}

QStringList sharedStrings(const QByteArray& part)
{
    QStringList strings;
    QXmlStreamReader xml(part);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
            strings << richText(xml);
    return strings;
}

// "BC12" -> column 54 (from 0) and row 11 (from 0); false when it is not such a reference.
bool parseReference(QStringView ref, int& column, int& row)
{
    int c = 0, i = 0;
    while (i < ref.size() && ref[i].isLetter()) {
        c = c * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
        if (c > 1 << 20)
            return false;
        ++i;
    }
    if (i == 0 || i == ref.size())
        return false;
    bool ok = false;
    const int r = ref.mid(i).toInt(&ok);
    if (!ok || r < 1)
        return false;
    column = c - 1;
    row = r - 1;
    return true;
}

QString tooLong(const QString& sheet)
{
    return QStringLiteral("il foglio \"%1\" ha più di %2 righe o di %3 colonne: non è l'elenco di un condominio")
        .arg(sheet)
        .arg(kMaxRows)
        .arg(kMaxColumns);
}

bool readWorksheet(const QByteArray& part, const QStringList& strings, SheetTable& sheet, QString* error)
{
    QXmlStreamReader xml(part);
    int row = -1;
    int column = -1;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"row") {
            bool ok = false;
            const int r = xml.attributes().value(QLatin1String("r")).toInt(&ok);
            row = ok && r >= 1 ? r - 1 : row + 1;
            column = -1;
            continue;
        }
        if (xml.name() != u"c")
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        int c = column + 1, r = std::max(row, 0);
        if (attributes.hasAttribute(QLatin1String("r")) && !parseReference(attributes.value(QLatin1String("r")), c, r)) {
            c = column + 1;
            r = std::max(row, 0);
        }
        column = c;
        const QStringView type = attributes.value(QLatin1String("t"));
        QString raw;
        QString text;
        bool inlineText = false;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (xml.name() == u"v")
                    raw = xml.readElementText();
                else if (xml.name() == u"is") {
                    text = richText(xml);
                    inlineText = true;
                } else
                    xml.skipCurrentElement(); // the formula: its cached value is <v>
            } else if (token == QXmlStreamReader::EndElement && xml.name() == u"c") {
                break;
            }
        }
        if (!inlineText) {
            if (type == u"s") {
                bool ok = false;
                const int index = raw.toInt(&ok);
                text = ok ? strings.value(index) : QString();
            } else if (type == u"str" || type == u"e" || type == u"d" || type == u"b") {
                text = unescaped(raw);
            } else {
                bool ok = false;
                const double value = raw.toDouble(&ok);
                text = ok ? numberText(value) : raw;
            }
        }
        if (text.isEmpty())
            continue;
        if (!putCell(sheet, r, c, text)) {
            *error = tooLong(sheet.name);
            return false;
        }
    }
    if (xml.hasError()) {
        *error = QStringLiteral("il foglio \"%1\" è danneggiato (%2)").arg(sheet.name, xml.errorString());
        return false;
    }
    return true;
}

// Relationship id -> part name ("xl/worksheets/sheet1.xml").
QHash<QString, QString> sheetParts(const platform::ZipArchive& zip)
{
    QHash<QString, QString> parts;
    const std::optional<QByteArray> rels = zip.read(QStringLiteral("xl/_rels/workbook.xml.rels"));
    if (!rels)
        return parts;
    QXmlStreamReader xml(*rels);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Relationship")
            continue;
        QString target = xml.attributes().value(QLatin1String("Target")).toString();
        target = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
        parts.insert(xml.attributes().value(QLatin1String("Id")).toString(), target);
    }
    return parts;
}

} // namespace

std::optional<SheetBook> readXlsx(const platform::ZipArchive& zip, QString* error)
{
    QString detail;
    const std::optional<QByteArray> workbook = zip.read(QStringLiteral("xl/workbook.xml"), platform::ZipArchive::DefaultEntryLimit, &detail);
    if (!workbook) {
        *error = detail;
        return std::nullopt;
    }
    const QHash<QString, QString> parts = sheetParts(zip);
    QStringList strings;
    if (zip.contains(QStringLiteral("xl/sharedStrings.xml"))) {
        const std::optional<QByteArray> part = zip.read(QStringLiteral("xl/sharedStrings.xml"), platform::ZipArchive::DefaultEntryLimit, &detail);
        if (!part) {
            *error = detail;
            return std::nullopt;
        }
        strings = sharedStrings(*part);
    }

    SheetBook book;
    QXmlStreamReader xml(*workbook);
    int position = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"sheet")
            continue;
        ++position;
        SheetTable sheet;
        sheet.name = xml.attributes().value(QLatin1String("name")).toString();
        QString relation;
        for (const QXmlStreamAttribute& a : xml.attributes())
            if (a.name() == u"id")
                relation = a.value().toString();
        QString partName = parts.value(relation);
        if (partName.isEmpty())
            partName = QStringLiteral("xl/worksheets/sheet%1.xml").arg(position);
        if (!zip.contains(partName))
            continue; // a chart sheet or a part that is not there: nothing to read
        const std::optional<QByteArray> part = zip.read(partName, platform::ZipArchive::DefaultEntryLimit, &detail);
        if (!part) {
            *error = detail;
            return std::nullopt;
        }
        if (!readWorksheet(*part, strings, sheet, error))
            return std::nullopt;
        book.sheets << sheet;
    }
    if (xml.hasError()) {
        *error = QStringLiteral("l'elenco dei fogli è danneggiato (%1)").arg(xml.errorString());
        return std::nullopt;
    }
    if (book.sheets.isEmpty()) {
        *error = QStringLiteral("non contiene fogli");
        return std::nullopt;
    }
    return book;
}

} // namespace velcaris::sheetimport
