#include "cashbook/PaymentPlace.h"

#include "store/FilterText.h"

namespace velcaris::cashbook {

namespace {
QString atPlace(const QString& condominium, const QString& methodField, const QString& place)
{
    const QString ofCondominium =
        condominium.isEmpty() ? QString() : store::equalsTerm(QStringLiteral("Condominio"), condominium);
    return store::andTerms({ofCondominium, store::equalsTerm(methodField, place)});
}
} // namespace

QString expensesAtPlaceFilter(const QString& condominium, const QString& place)
{
    return atPlace(condominium, QStringLiteral("Pagamento"), place);
}

QString incomeAtPlaceFilter(const QString& condominium, const QString& place)
{
    return atPlace(condominium, QStringLiteral("MetodoPagamento"), place);
}

void showOnlyPlace(app::Workspace& ws, const QString& place)
{
    const QString& condominium = ws.selection.condominium;
    ws.ds(QStringLiteral("ADOQueryUscite")).setFilter(expensesAtPlaceFilter(condominium, place));
    ws.ds(QStringLiteral("ADOQueryEntrate")).setFilter(incomeAtPlaceFilter(condominium, place));
}

} // namespace velcaris::cashbook
