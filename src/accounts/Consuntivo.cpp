#include "accounts/Consuntivo.h"

#include "accounts/YearRows.h"

#include <QMap>

namespace velcaris::accounts {

using store::Money;

std::optional<double> BudgetFigures::percentage() const
{
    if (budget.isZero())
        return std::nullopt;
    return double(difference().cents()) * 100.0 / double(budget.cents());
}

namespace {

// Orders tables and items as the registers list them: without regard to case, then as written.
struct Key {
    QString table;
    QString item;
    bool extraordinary = false;
    bool operator<(const Key& o) const
    {
        const int t = QString::compare(table, o.table, Qt::CaseInsensitive);
        if (t != 0)
            return t < 0;
        if (table != o.table)
            return table < o.table;
        const int i = QString::compare(item, o.item, Qt::CaseInsensitive);
        if (i != 0)
            return i < 0;
        if (item != o.item)
            return item < o.item;
        return !extraordinary && o.extraordinary;
    }
};

} // namespace

Consuntivo computeConsuntivo(store::Database& db, const AccountingYear& year)
{
    QMap<Key, BudgetFigures> lines;
    for (const ExpenseRow& e : readExpenses(db, year))
        lines[{e.table, e.item, e.extraordinary()}].actual += e.grossCost();

    store::Statement budget(db, QStringLiteral("SELECT Tabella, DescrizioneVoceSpesa, Spesa FROM Preventivi "
                                               "WHERE Condominio = ? AND AA = ? ORDER BY Id"));
    budget.bindAll({year.condominium, year.name});
    while (budget.step()) {
        const QString table = budget.value(0).toString();
        const QString item = budget.value(1).toString();
        const Money amount = Money::fromDouble(budget.value(2).isNull() ? 0.0 : budget.value(2).toDouble());
        const Key ordinary{table, item, false};
        const Key extraordinary{table, item, true};
        const bool onlyExtraordinary = lines.contains(extraordinary) && !lines.contains(ordinary);
        lines[onlyExtraordinary ? extraordinary : ordinary].budget += amount;
    }

    Consuntivo c;
    for (auto it = lines.cbegin(); it != lines.cend(); ++it) {
        const Key& k = it.key();
        c.lines.push_back({k.table, k.item, k.extraordinary, it.value()});
        if (c.tables.isEmpty() || c.tables.back().table != k.table)
            c.tables.push_back({k.table, {}, {}, {}});
        ConsuntivoTable& t = c.tables.back();
        t.figures += it.value();
        (k.extraordinary ? t.extraordinary : t.ordinary) += it.value().actual;
        (k.extraordinary ? c.extraordinary : c.ordinary) += it.value();
        c.total += it.value();
    }
    return c;
}

} // namespace velcaris::accounts
