#include "accounts/UnitStatement.h"

#include "store/Schema.h"

#include <QHash>
#include <QMap>
#include <algorithm>

namespace velcaris::accounts {

using store::Money;

UnitStatement computeUnitStatement(store::Database& db, const AccountingYear& year, const Riparto& riparto)
{
    UnitStatement s;
    if (const std::optional<AccountingYear> previous = previousYear(db, year))
        s.carriedQuotaName = conguaglioQuotaName(previous->name);

    QHash<qint64, int> index;
    {
        store::Statement st(db, QStringLiteral("SELECT l.Id, l.Nome, l.idProprietario, %1, %2 FROM Locali AS l "
                                               "LEFT JOIN Anagrafe AS p ON p.Id = l.idProprietario "
                                               "LEFT JOIN Anagrafe AS i ON i.Id = l.idInquilino "
                                               "WHERE l.IdCondominio = ? ORDER BY l.Id")
                                    .arg(store::personDisplayNameSql(QStringLiteral("p")),
                                         store::personDisplayNameSql(QStringLiteral("i"))));
        st.bind(1, year.condominium);
        while (st.step()) {
            UnitStatementLine line;
            line.unitId = st.value(0).toLongLong();
            line.unit = st.value(1).toString();
            line.ownerId = st.value(2).toLongLong();
            line.owner = st.value(3).toString();
            line.tenant = st.value(4).toString();
            index.insert(line.unitId, int(s.lines.size()));
            s.lines.push_back(line);
        }
    }
    for (const UnitShare& u : riparto.units)
        if (const auto i = index.constFind(u.unitId); i != index.cend())
            s.lines[*i].share = u.total();

    QVector<QMap<QString, QuotaCharge>> byType(s.lines.size());
    store::Statement st(db, QStringLiteral("SELECT IdLocale, NomeQuote, Tipologia, Importo, ImportoPagato FROM Quote "
                                           "WHERE IdCondominio = ? AND AA = ? ORDER BY IdQuota"));
    st.bindAll({year.condominium, year.name});
    while (st.step()) {
        const auto i = index.constFind(st.value(0).toLongLong());
        if (i == index.cend())
            continue;
        UnitStatementLine& line = s.lines[*i];
        const Money amount = Money::fromDouble(st.value(3).isNull() ? 0.0 : st.value(3).toDouble());
        const Money paid = Money::fromDouble(st.value(4).isNull() ? 0.0 : st.value(4).toDouble());
        line.paid += paid;
        if (!s.carriedQuotaName.isEmpty() && st.value(1).toString() == s.carriedQuotaName) {
            line.carried += amount;
            continue;
        }
        const QString type = st.value(2).toString();
        QuotaCharge& charge = byType[*i][type];
        charge.type = type;
        charge.charged += amount;
        charge.paid += paid;
        line.charged += amount;
        if (!s.types.contains(type))
            s.types << type;
    }
    std::sort(s.types.begin(), s.types.end());

    for (int i = 0; i < s.lines.size(); ++i) {
        UnitStatementLine& line = s.lines[i];
        for (const QString& type : s.types)
            line.byType.push_back(byType[i].value(type, QuotaCharge{type, {}, {}}));
        s.share += line.share;
        s.charged += line.charged;
        s.carried += line.carried;
        s.paid += line.paid;
        s.conguaglio += line.conguaglio();
        s.arrears += line.arrears();
    }
    return s;
}

UnitStatement computeUnitStatement(store::Database& db, const AccountingYear& year)
{
    return computeUnitStatement(db, year, computeRiparto(db, year));
}

} // namespace velcaris::accounts
