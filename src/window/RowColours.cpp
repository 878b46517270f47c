#include "window/RowColours.h"

namespace velcaris::app {

Rgb incomeRowColour(const QString& movementKind)
{
    const bool special = movementKind == QLatin1String("Passaggio su C.C.") ||
                         movementKind == QLatin1String("Passaggio su Cassa") ||
                         movementKind == QLatin1String("Importo iniziale");
    return special ? Rgb{255, 255, 128} : Rgb{192, 220, 192};
}

Rgb expenseRowColour()
{
    return Rgb{255, 191, 191};
}

std::optional<Rgb> tableRowColour(const QString& tableName, const QString& storedColour)
{
    if (tableName.isEmpty())
        return std::nullopt;
    return colourFromText(storedColour);
}

std::optional<Rgb> incomeRowColourAt(store::Dataset& entrate, int row)
{
    return incomeRowColour(entrate.valueAt(row, QStringLiteral("TipoMovimento")).toString());
}

std::optional<Rgb> tableRowColourAt(store::Dataset& tabelle, int row)
{
    return tableRowColour(tabelle.valueAt(row, QStringLiteral("Nome")).toString(),
                          tabelle.valueAt(row, QStringLiteral("Colore")).toString());
}

} // namespace velcaris::app
