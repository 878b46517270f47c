#include "allocation/Thousandths.h"

#include "store/Money.h"

#include <QVector>
#include <cmath>

namespace velcaris::allocation {

void addTableThousandths(store::Database& db, const QString& condominium, qint64 tableId)
{
    QVector<qint64> units;
    {
        store::Statement st(db, QStringLiteral("SELECT Id FROM Locali WHERE IdCondominio = ? ORDER BY Id"));
        st.bind(1, condominium);
        while (st.step())
            units << st.value(0).toLongLong();
    }
    for (qint64 unit : units)
        db.exec(QStringLiteral("INSERT INTO Millesimi (IdLocale, IdTabella, Millesimi, IdCondominio) VALUES (?, ?, ?, ?)"),
                {unit, tableId, 0.0, condominium});
}

void setThousandths(store::Database& db, const QString& condominium, qint64 unitId, qint64 tableId, double value)
{
    db.exec(QStringLiteral("UPDATE Millesimi SET Millesimi = ? WHERE IdLocale = ? AND IdTabella = ?"),
            {value, unitId, tableId});
    if (db.changes() == 0)
        db.exec(QStringLiteral("INSERT INTO Millesimi (IdLocale, IdTabella, Millesimi, IdCondominio) VALUES (?, ?, ?, ?)"),
                {unitId, tableId, value, condominium});
}

std::optional<double> thousandthsFromText(const QString& text)
{
    if (text.trimmed().isEmpty())
        return 0.0;
    const std::optional<double> value = store::parseNumber(text);
    if (!value || !std::isfinite(*value) || *value < 0)
        return std::nullopt;
    return double(store::roundScaled(*value, 3)) / 1000.0;
}

} // namespace velcaris::allocation
