#include "sheetimport/SpreadsheetFile.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace velcaris::sheetimport {

namespace {

// Larger files are no building's list.
constexpr qint64 kMaxFileBytes = 64LL * 1024 * 1024;

SheetRead refusal(const QString& text)
{
    SheetRead r;
    r.error = text;
    return r;
}

} // namespace

QString numberText(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

bool putCell(SheetTable& sheet, int row, int column, const QString& text)
{
    if (row < 0 || column < 0 || row >= kMaxRows || column >= kMaxColumns)
        return false;
    if (sheet.rows.size() <= row)
        sheet.rows.resize(row + 1);
    QStringList& cells = sheet.rows[row];
    while (cells.size() <= column)
        cells << QString();
    cells[column] = text;
    return true;
}

SheetRead readSpreadsheet(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refusal(QStringLiteral("Impossibile aprire il file %1: %2").arg(name, file.errorString()));
    if (file.size() > kMaxFileBytes)
        return refusal(QStringLiteral("Il file %1 è troppo grande per essere l'elenco di un condominio").arg(name));
    return readSpreadsheetBytes(file.readAll(), name);
}

SheetRead readSpreadsheetBytes(const QByteArray& bytes, const QString& fileName)
{
    if (bytes.trimmed().isEmpty())
        return refusal(QStringLiteral("Il file %1 è vuoto").arg(fileName));
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const bool zipped = bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06");
    QString error;
    std::optional<SheetBook> book;
    if (zipped) {
        std::optional<platform::ZipArchive> zip = platform::ZipArchive::open(bytes, &error);
        if (!zip)
            return refusal(QStringLiteral("Il file %1 è danneggiato o incompleto: %2").arg(fileName, error));
        if (zip->contains(QStringLiteral("xl/workbook.xml")))
            book = readXlsx(*zip, &error);
        else if (zip->contains(QStringLiteral("content.xml")))
            book = readOds(*zip, &error);
        else
            return refusal(QStringLiteral("Il file %1 è un archivio compresso, non un foglio di calcolo (.xlsx, .ods)")
                               .arg(fileName));
    } else if (suffix == QLatin1String("xlsx") || suffix == QLatin1String("ods")) {
        return refusal(QStringLiteral("Il file %1 è danneggiato: non è un foglio di calcolo .%2 leggibile").arg(fileName, suffix));
    } else if (suffix == QLatin1String("xls") || bytes.startsWith("\xD0\xCF\x11\xE0")) {
        return refusal(QStringLiteral("Il file %1 è nel vecchio formato di Excel (.xls): salvarlo come .xlsx, .ods o .csv "
                                      "e importare quello")
                           .arg(fileName));
    } else if (bytes.contains('\0')) {
        return refusal(QStringLiteral("Il file %1 non è un foglio di calcolo (.xlsx, .ods o .csv)").arg(fileName));
    } else {
        book = readCsv(bytes, &error);
    }
    if (!book)
        return refusal(QStringLiteral("Il file %1 non si può leggere: %2").arg(fileName, error));
    book->fileName = fileName;
    SheetRead r;
    r.book = std::move(book);
    return r;
}

} // namespace velcaris::sheetimport
