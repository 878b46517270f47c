#include "einvoice/Invoice.h"

#include <QHash>

namespace velcaris::einvoice {

using store::Money;

QString Party::name() const
{
    if (!denominazione.trimmed().isEmpty())
        return denominazione.trimmed();
    return (nome.trimmed() + u' ' + cognome.trimmed()).trimmed();
}

bool Withholding::isIncomeTax() const
{
    return tipo == QLatin1String("RT01") || tipo == QLatin1String("RT02");
}

Money Invoice::imponibile() const
{
    Money sum;
    for (const VatSummary& s : summary)
        sum += s.imponibile;
    return sum;
}

Money Invoice::imposta() const
{
    Money sum;
    for (const VatSummary& s : summary)
        sum += s.imposta;
    return sum;
}

Money Invoice::ritenuta() const
{
    Money sum;
    for (const Withholding& w : withholdings)
        if (w.isIncomeTax())
            sum += w.importo;
    return sum;
}

const Withholding* Invoice::firstIncomeTax() const
{
    for (const Withholding& w : withholdings)
        if (w.isIncomeTax())
            return &w;
    return nullptr;
}

QString Invoice::kindName() const
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("TD01"), QStringLiteral("Fattura")},
        {QStringLiteral("TD02"), QStringLiteral("Acconto su fattura")},
        {QStringLiteral("TD03"), QStringLiteral("Acconto su parcella")},
        {QStringLiteral("TD04"), QStringLiteral("Nota di credito")},
        {QStringLiteral("TD05"), QStringLiteral("Nota di debito")},
        {QStringLiteral("TD06"), QStringLiteral("Parcella")},
        {QStringLiteral("TD24"), QStringLiteral("Fattura differita")},
        {QStringLiteral("TD25"), QStringLiteral("Fattura differita")},
        {QStringLiteral("TD26"), QStringLiteral("Cessione di beni ammortizzabili")},
        {QStringLiteral("TD27"), QStringLiteral("Fattura per autoconsumo")},
    };
    return names.value(tipoDocumento, QStringLiteral("Documento ") + tipoDocumento);
}

QString Invoice::reference() const
{
    return QStringLiteral("n. %1 del %2 di %3")
        .arg(numero, data.toString(QStringLiteral("dd/MM/yyyy")), supplier.name());
}

} // namespace velcaris::einvoice
