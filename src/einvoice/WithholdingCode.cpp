#include "einvoice/WithholdingCode.h"

namespace velcaris::einvoice {

QString withholdingTaxCode(const Withholding& w)
{
    const QString reason = w.causale.trimmed().toUpper();
    if (reason == QLatin1String("W"))
        return w.tipo == QLatin1String("RT02") ? QStringLiteral("1020") : QStringLiteral("1019");
    static const QStringList commissions = {QStringLiteral("Q"), QStringLiteral("R"), QStringLiteral("S"),
                                            QStringLiteral("T"), QStringLiteral("U"), QStringLiteral("V"),
                                            QStringLiteral("V2")};
    if (commissions.contains(reason))
        return QStringLiteral("1038");
    return QStringLiteral("1040");
}

} // namespace velcaris::einvoice
