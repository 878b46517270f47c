#include "accounts/RendicontoYears.h"

#include "foundation/Selection.h"

namespace velcaris::accounts {

QVector<AccountingYear> condominiumYears(store::Database& db, const QString& condominium)
{
    QVector<AccountingYear> years;
    store::Statement st(db, QStringLiteral("SELECT nome FROM AnnoAmministrativo WHERE idCondominio = ? "
                                           "ORDER BY CASE WHEN data_inizio IS NULL THEN 1 ELSE 0 END, data_inizio, id"));
    st.bind(1, condominium);
    QStringList names;
    while (st.step())
        if (const QString name = st.value(0).toString(); !names.contains(name))
            names << name;
    // Read through findYear so that a year is always what the sections are computed from.
    for (const QString& name : names)
        if (const std::optional<AccountingYear> y = findYear(db, condominium, name))
            years.push_back(*y);
    return years;
}

int preferredYear(app::Workspace& ws, const QVector<AccountingYear>& years)
{
    const QString current = app::currentYearName(ws);
    for (int i = 0; i < years.size(); ++i)
        if (years[i].name == current)
            return i;
    return int(years.size()) - 1;
}

} // namespace velcaris::accounts
