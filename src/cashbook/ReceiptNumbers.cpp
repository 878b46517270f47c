#include "cashbook/ReceiptNumbers.h"

namespace velcaris::cashbook {

QString currentYearName(app::Workspace& ws, const QString& condominium)
{
    return ws.mainDb()
        .scalar(QStringLiteral("SELECT nome FROM AnnoAmministrativo WHERE idCondominio = ? AND corrente = 1 "
                               "ORDER BY id LIMIT 1"),
                {condominium})
        .toString();
}

int nextReceiptNumber(app::Workspace& ws, const QString& condominium)
{
    const QString year = currentYearName(ws, condominium);
    if (year.isEmpty())
        return 1;
    // Special movements carry no number (NULL or an empty text): they stay out of the count.
    const QVariant highest = ws.mainDb().scalar(
        QStringLiteral("SELECT MAX(CAST(Ricevuta AS INTEGER)) FROM Entrate WHERE Condominio = ? AND AA = ? "
                       "AND Ricevuta IS NOT NULL AND TRIM(Ricevuta) <> ''"),
        {condominium, year});
    return highest.isNull() ? 1 : int(highest.toLongLong()) + 1;
}

} // namespace velcaris::cashbook
