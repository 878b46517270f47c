#include "agenda/AgendaColours.h"

namespace velcaris::agenda {

namespace {
constexpr app::Rgb kLightRed{255, 191, 191};
constexpr app::Rgb kLightYellow{255, 255, 128};
constexpr app::Rgb kLightGreen{192, 220, 192};
} // namespace

app::Rgb deadlineRowColour(bool esito, const QDate& due, const QDate& today)
{
    if (esito)
        return kLightGreen;
    return !due.isValid() || due <= today ? kLightRed : kLightYellow;
}

app::Rgb interventionRowColour(bool concluso)
{
    return concluso ? kLightGreen : kLightRed;
}

std::optional<app::Rgb> deadlineRowColourAt(store::Dataset& scadenzario, int row, const QDate& today)
{
    const QDate due = QDate::fromString(scadenzario.valueAt(row, QStringLiteral("DataScadenza")).toString().left(10), Qt::ISODate);
    return deadlineRowColour(scadenzario.valueAt(row, QStringLiteral("Esito")).toBool(), due, today);
}

std::optional<app::Rgb> interventionRowColourAt(store::Dataset& interventi, int row)
{
    return interventionRowColour(interventi.valueAt(row, QStringLiteral("Concluso")).toBool());
}

} // namespace velcaris::agenda
