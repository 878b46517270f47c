#include "reports/TaxYear.h"

namespace velcaris::reports {

int referenceYear(const QString& typed)
{
    const QString t = typed.trimmed();
    if (t.isEmpty() || t.size() > 4)
        return 0;
    for (const QChar c : t)
        if (c < u'0' || c > u'9')
            return 0;
    const int year = t.toInt();
    return year >= 1900 ? year : 0;
}

} // namespace velcaris::reports
