#pragma once
// The quota register's rules: the order of the quota columns, the colour and the running sum of
// the cells, the change of one unit's quota amount in place (a new quota when the unit has none
// of that name) and the change of due date and type of every quota of a name. Each change that
// writes several rows, here and in the web copy, is one transaction.
#include "foundation/ColourText.h"
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace velcaris::allocation {

inline const QString kPaidQuotaMessage = QStringLiteral("La quota non può essere modificata perchè risulta già pagata");

// Fixed columns before the quota columns of the single and the grouped view.
constexpr int kSingleQuotaFixedColumns = 7;
constexpr int kGroupedQuotaFixedColumns = 6;

// The quota names of `unit` in `year` that lead the columns: its quotas other than personal
// ones, by type and then due date (IdQuota breaks ties), each name once.
QStringList quotaColumnOrder(store::Database& db, const QString& condominium, const QString& year, qint64 unit);

// A quota cell's background: pale green above 0, pale red below, white at 0 or empty.
app::Rgb quotaCellColour(const QVariant& value);

// The running sum of clicked cells after adding `value`, rounded half away from zero to cents.
double addToQuotaSum(double sum, const QVariant& value);
// What the right click shows.
QString quotaSumText(double sum);

// The in-place change of a quota amount of one unit.
struct QuotaAmountInput {
    qint64 unit = 0;    // idLocale of the single view's row
    QString quotaName;  // the column's title
    QString amount;     // the edit's text, "." as decimal separator
};
// The first quota of that name of the unit in the current year gets the amount (refused when it
// is linked to an income row); its web copy too. When the unit has none, a quota is added with
// the type and due date of the same name's first quota in the condominium, and published when
// the unit's owner or tenant has web access. newKey is the IdQuota written.
app::Outcome changeQuotaAmount(app::Workspace& ws, const QuotaAmountInput& input);

// "Modifica Quota": what the quotas of one name show on opening.
struct QuotaNameDetails {
    QDate dueDate;
    QString type;
    int count = 0;
};
// The due date and type of the first quota of that name in the current year; nullopt when the
// condominium has no current year or no such quota.
std::optional<QuotaNameDetails> readQuotaName(app::Workspace& ws, const QString& quotaName);

struct QuotaScheduleInput {
    QString quotaName;
    QDate dueDate;
    QString type;
};
// Sets due date and type on every quota of the name in the current year, and on its web copies.
app::Outcome modifyQuotas(app::Workspace& ws, const QuotaScheduleInput& input);

// The values of table Tipologia, in stored order.
QStringList quotaTypes(store::Database& db);

} // namespace velcaris::allocation
