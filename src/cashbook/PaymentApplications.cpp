#include "cashbook/PaymentApplications.h"

namespace velcaris::cashbook {

using store::Money;

void recordApplication(store::Database& db, qint64 incomeId, const QuotaApplication& application)
{
    db.exec(QStringLiteral("INSERT INTO main.PagamentiQuote (IdEntrata, IdQuota, Importo, ImportoWeb) VALUES (?,?,?,?)"),
            {incomeId, application.quota, application.amount.toDouble(), application.web.toDouble()});
}

QVector<QuotaApplication> applicationsOf(store::Database& db, qint64 incomeId)
{
    QVector<QuotaApplication> out;
    store::Statement st(db, QStringLiteral("SELECT IdQuota, Importo, ImportoWeb FROM main.PagamentiQuote "
                                           "WHERE IdEntrata = ? ORDER BY IdQuota"));
    st.bind(1, incomeId);
    while (st.step())
        out.push_back({st.value(0).toLongLong(), Money::fromDouble(st.value(1).toDouble()),
                       Money::fromDouble(st.value(2).toDouble())});
    return out;
}

void forgetApplications(store::Database& db, qint64 incomeId)
{
    db.exec(QStringLiteral("DELETE FROM main.PagamentiQuote WHERE IdEntrata = ?"), {incomeId});
}

} // namespace velcaris::cashbook
