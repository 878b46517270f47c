#include "cashbook/ReceiptNumbers.h"

#include "cashbook/Receipt.h"

#include <QDir>
#include <algorithm>

namespace velcaris::cashbook {

namespace {

// The highest number among the receipt documents of `year` in the condominium's folder; 0 when none.
int highestReceiptFile(const app::Workspace& ws, const QString& condominium, const QString& year)
{
    int highest = 0;
    const QStringList files = QDir(receiptFolder(ws, condominium)).entryList(QDir::Files);
    for (const QString& file : files)
        if (const std::optional<int> number = receiptFileNumber(file, year))
            highest = std::max(highest, *number);
    return highest;
}

} // namespace

QString currentYearName(app::Workspace& ws, const QString& condominium)
{
    return ws.mainDb()
        .scalar(QStringLiteral("SELECT nome FROM AnnoAmministrativo WHERE idCondominio = ? AND corrente = 1 "
                               "ORDER BY id LIMIT 1"),
                {condominium})
        .toString();
}

namespace {

// The highest number of the year in the database: among its income rows and as recorded.
qint64 highestRecorded(store::Database& db, const QString& condominium, const QString& year)
{
    // Special movements carry no number (NULL or an empty text): they stay out of the count.
    const QVariant inRows = db.scalar(
        QStringLiteral("SELECT MAX(CAST(Ricevuta AS INTEGER)) FROM Entrate WHERE Condominio = ? AND AA = ? "
                       "AND Ricevuta IS NOT NULL AND TRIM(CAST(Ricevuta AS TEXT)) <> ''"),
        {condominium, year});
    const QVariant recorded =
        db.scalar(QStringLiteral("SELECT MAX(Ultimo) FROM NumeriRicevute WHERE Condominio = ? AND AA = ?"), {condominium, year});
    return std::max(inRows.isNull() ? qint64(0) : inRows.toLongLong(), recorded.isNull() ? qint64(0) : recorded.toLongLong());
}

} // namespace

int nextReceiptNumber(app::Workspace& ws, const QString& condominium)
{
    const QString year = currentYearName(ws, condominium);
    if (year.isEmpty())
        return 1;
    const qint64 highest = std::max(highestRecorded(ws.mainDb(), condominium, year),
                                    qint64(highestReceiptFile(ws, condominium, year)));
    return int(highest) + 1;
}

int nextRecordedReceiptNumber(app::Workspace& ws, const QString& condominium)
{
    const QString year = currentYearName(ws, condominium);
    return year.isEmpty() ? 1 : int(highestRecorded(ws.mainDb(), condominium, year)) + 1;
}

void recordGivenReceiptNumber(store::Database& db, const QString& condominium, const QString& year, int number)
{
    const QVariant recorded =
        db.scalar(QStringLiteral("SELECT MAX(Ultimo) FROM NumeriRicevute WHERE Condominio = ? AND AA = ?"), {condominium, year});
    if (!recorded.isValid() || recorded.isNull())
        db.exec(QStringLiteral("INSERT INTO NumeriRicevute (Condominio, AA, Ultimo) VALUES (?, ?, ?)"),
                {condominium, year, number});
    else if (recorded.toLongLong() < number)
        db.exec(QStringLiteral("UPDATE NumeriRicevute SET Ultimo = ? WHERE Condominio = ? AND AA = ?"),
                {number, condominium, year});
}

} // namespace velcaris::cashbook
