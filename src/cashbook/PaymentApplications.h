#pragma once
// What each payment put on each quota (and on its published copy), written with the payment in its
// transaction and read back when the payment is deleted, so that the quotas return exactly to
// what they were before it. Payments recorded before this table existed have no rows here.
#include "store/Database.h"
#include "store/Money.h"

#include <QVector>

namespace velcaris::cashbook {

struct QuotaApplication {
    qint64 quota = 0;     // IdQuota
    store::Money amount;  // added to its ImportoPagato
    store::Money web;     // added to the published copy's ImportoPagato
};

void recordApplication(store::Database& db, qint64 incomeId, const QuotaApplication& application);
QVector<QuotaApplication> applicationsOf(store::Database& db, qint64 incomeId);
void forgetApplications(store::Database& db, qint64 incomeId);

} // namespace velcaris::cashbook
