#pragma once
// Reads back a workbook written by the program: the first sheet's cells with their type, value
// and number format, and the sheet's name (the parts are taken out of the zip with `unzip -p`).
#include <QDate>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace velcaris::test {

struct XlsxCell {
    enum class Type { Missing, Text, Number, Boolean } type = Type::Missing;
    QString text;     // Text
    double number = 0; // Number
    QString format;   // the number format ("0.00", "dd/mm/yyyy"); empty for the general one
};

class XlsxBook {
public:
    explicit XlsxBook(const QString& path)
    {
        const QByteArray workbook = part(path, "xl/workbook.xml");
        QXmlStreamReader wb(workbook);
        while (!wb.atEnd())
            if (wb.readNext() == QXmlStreamReader::StartElement && wb.name() == u"sheet")
                sheetNames << wb.attributes().value("name").toString();
        readStrings(part(path, "xl/sharedStrings.xml"));
        readStyles(part(path, "xl/styles.xml"));
        readSheet(part(path, "xl/worksheets/sheet1.xml"));
        ok = !workbook.isEmpty();
    }

    bool ok = false;
    QStringList sheetNames;
    QHash<QString, XlsxCell> cells; // by reference ("A1")
    int rows = 0;                   // the last row holding a cell
    int columns = 0;                // the last column holding a cell (1 = A)

    XlsxCell at(const QString& ref) const { return cells.value(ref); }
    QString text(const QString& ref) const { return cells.value(ref).text; }
    // The texts of one row, A to the last column.
    QStringList rowTexts(int row) const
    {
        QStringList out;
        for (int c = 1; c <= columns; ++c)
            out << cells.value(QString(QChar(u'A' + c - 1)) + QString::number(row)).text;
        while (!out.isEmpty() && out.last().isEmpty())
            out.removeLast();
        return out;
    }

    // Excel's serial day number of a date.
    static double serial(const QDate& d) { return double(QDate(1899, 12, 30).daysTo(d)); }

private:
    static QByteArray part(const QString& zip, const char* member)
    {
        QProcess p;
        p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, QString::fromLatin1(member)});
        if (!p.waitForFinished(10000))
            return {};
        return p.readAllStandardOutput();
    }
    void readStrings(const QByteArray& xml)
    {
        QXmlStreamReader r(xml);
        QString current;
        bool inSi = false;
        while (!r.atEnd()) {
            const auto t = r.readNext();
            if (t == QXmlStreamReader::StartElement && r.name() == u"si") {
                inSi = true;
                current.clear();
            } else if (t == QXmlStreamReader::StartElement && r.name() == u"t" && inSi) {
                current += r.readElementText();
            } else if (t == QXmlStreamReader::EndElement && r.name() == u"si") {
                strings_ << current;
                inSi = false;
            }
        }
    }
    void readStyles(const QByteArray& xml)
    {
        QXmlStreamReader r(xml);
        QHash<int, QString> codes;
        bool inXfs = false;
        while (!r.atEnd()) {
            const auto t = r.readNext();
            if (t == QXmlStreamReader::StartElement && r.name() == u"numFmt")
                codes[r.attributes().value("numFmtId").toInt()] = r.attributes().value("formatCode").toString();
            else if (t == QXmlStreamReader::StartElement && r.name() == u"cellXfs")
                inXfs = true;
            else if (t == QXmlStreamReader::EndElement && r.name() == u"cellXfs")
                inXfs = false;
            else if (t == QXmlStreamReader::StartElement && r.name() == u"xf" && inXfs)
                xfFormats_ << codes.value(r.attributes().value("numFmtId").toInt());
        }
    }
    void readSheet(const QByteArray& xml)
    {
        static const QRegularExpression refParts(QStringLiteral("^([A-Z]+)(\\d+)$"));
        QXmlStreamReader r(xml);
        while (!r.atEnd()) {
            if (r.readNext() != QXmlStreamReader::StartElement || r.name() != u"c")
                continue;
            const QString ref = r.attributes().value("r").toString();
            const QString type = r.attributes().value("t").toString();
            const int style = r.attributes().value("s").toInt();
            QString value;
            while (!(r.readNext() == QXmlStreamReader::EndElement && r.name() == u"c") && !r.atEnd())
                if (r.isStartElement() && (r.name() == u"v" || r.name() == u"t"))
                    value = r.readElementText();
            XlsxCell cell;
            cell.format = xfFormats_.value(style);
            if (type == u"s") {
                cell.type = XlsxCell::Type::Text;
                cell.text = strings_.value(value.toInt());
            } else if (type == u"str" || type == u"inlineStr") {
                cell.type = XlsxCell::Type::Text;
                cell.text = value;
            } else if (type == u"b") {
                cell.type = XlsxCell::Type::Boolean;
                cell.text = value;
            } else {
                cell.type = XlsxCell::Type::Number;
                cell.number = value.toDouble();
                cell.text = value;
            }
            cells.insert(ref, cell);
            const auto m = refParts.match(ref);
            rows = std::max(rows, m.captured(2).toInt());
            int col = 0;
            for (const QChar ch : m.captured(1))
                col = col * 26 + (ch.unicode() - u'A' + 1);
            columns = std::max(columns, col);
        }
    }

    QStringList strings_;
    QStringList xfFormats_;
};

} // namespace velcaris::test
