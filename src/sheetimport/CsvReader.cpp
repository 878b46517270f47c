// Text with separators, as spreadsheets save it: fields between ";" (the Italian Excel), "," or
// tabs, in double quotes when they hold a separator, a quote (doubled) or a line break.
#include "sheetimport/SpreadsheetFile.h"

#include <QStringDecoder>

namespace velcaris::sheetimport {

namespace {

// Windows-1252 beyond Latin-1: the characters of 0x80-0x9F (0 where the code page has none).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

QString fromWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const char16_t high = b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : 0;
        *out++ = QChar(high ? high : char16_t(b));
    }
    return text;
}

QString decoded(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
}

// The separator most used in the first line, quoted parts left out; ";" when none is.
QChar separatorOf(const QString& text)
{
    int semicolons = 0, commas = 0, tabs = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted && c == u';')
            ++semicolons;
        else if (!quoted && c == u',')
            ++commas;
        else if (!quoted && c == u'\t')
            ++tabs;
    }
    if (tabs > semicolons && tabs > commas)
        return u'\t';
    return commas > semicolons ? u',' : u';';
}

} // namespace

std::optional<SheetBook> readCsv(const QByteArray& bytes, QString* error)
{
    const QString text = decoded(bytes);
    const QChar separator = separatorOf(text);
    SheetTable sheet;
    sheet.name = QStringLiteral("Foglio1");
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldWasQuoted = false;
    auto endField = [&] {
        row << (fieldWasQuoted ? field : field.trimmed());
        field.clear();
        fieldWasQuoted = false;
    };
    auto endRow = [&]() -> bool {
        endField();
        if (sheet.rows.size() >= kMaxRows || row.size() > kMaxColumns)
            return false;
        while (!row.isEmpty() && row.last().isEmpty())
            row.removeLast();
        sheet.rows << row;
        row.clear();
        return true;
    };
    const QString tooLong = QStringLiteral("ha più di %1 righe o di %2 colonne: non è l'elenco di un condominio")
                                .arg(kMaxRows)
                                .arg(kMaxColumns);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == u'"' && field.trimmed().isEmpty()) {
            quoted = true;
            fieldWasQuoted = true;
            field.clear();
        } else if (c == separator) {
            endField();
            if (row.size() > kMaxColumns) {
                *error = tooLong;
                return std::nullopt;
            }
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            if (!endRow()) {
                *error = tooLong;
                return std::nullopt;
            }
        } else {
            field += c;
        }
    }
    if (quoted) {
        *error = QStringLiteral("un testo tra virgolette non è chiuso");
        return std::nullopt;
    }
    if ((!field.isEmpty() || !row.isEmpty()) && !endRow()) {
        *error = tooLong;
        return std::nullopt;
    }
    SheetBook book;
    book.sheets << sheet;
    return book;
}

} // namespace velcaris::sheetimport
