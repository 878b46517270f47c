#include "accounts/Riparto.h"

#include "allocation/AllocationPlan.h"
#include "allocation/LargestRemainder.h"

#include <QHash>
#include <optional>

namespace velcaris::accounts {

using store::Money;

namespace {

struct Unit {
    qint64 id = 0;
    QString nome;
    double ordinary = 0;      // participation, percent
    double extraordinary = 0;
};

std::optional<double> percentage(const QVariant& v)
{
    return v.isNull() ? std::nullopt : store::parseNumber(v.toString());
}

QString kindText(bool extraordinary)
{
    return extraordinary ? QStringLiteral("straordinarie") : QStringLiteral("ordinarie");
}

// Shares one type of a table's expenses among the units, or leaves it undivided with its note.
void sharePool(RipartoTable& t, bool extraordinary)
{
    const Money amount = extraordinary ? t.extraordinary : t.ordinary;
    if (amount.isZero())
        return;
    QVector<double> weights;
    double thousandths = 0;
    for (const RipartoUnit& u : t.units) {
        weights << (extraordinary ? u.weightedExtraordinary : u.weightedOrdinary);
        if (u.thousandths > 0)
            thousandths += u.thousandths;
    }
    const std::optional<QVector<Money>> shares = allocation::shareToTheCent(weights, amount);
    if (!shares) {
        t.undivided += amount;
        t.notes << (thousandths > 0
                        ? QStringLiteral("Le spese %1 della tabella \"%2\" (%3) non sono ripartite: i locali che vi hanno "
                                         "millesimi partecipano con percentuale zero alle spese %1.")
                        : QStringLiteral("Le spese %1 della tabella \"%2\" (%3) non sono ripartite: nessun locale ha "
                                         "millesimi in questa tabella."))
                       .arg(kindText(extraordinary), t.table, amount.toString());
        return;
    }
    for (int i = 0; i < t.units.size(); ++i)
        (extraordinary ? t.units[i].extraordinary : t.units[i].ordinary) = (*shares)[i];
}

} // namespace

Riparto computeRiparto(store::Database& db, const AccountingYear& year, const Consuntivo& consuntivo)
{
    Riparto r;
    QVector<Unit> units;
    {
        store::Statement st(db, QStringLiteral("SELECT Id, Nome, PartecipazioneORD, PartecipazioneSTR FROM Locali "
                                               "WHERE IdCondominio = ? ORDER BY Id"));
        st.bind(1, year.condominium);
        while (st.step()) {
            Unit u;
            u.id = st.value(0).toLongLong();
            u.nome = st.value(1).toString();
            const std::optional<double> ord = percentage(st.value(2));
            const std::optional<double> str = percentage(st.value(3));
            u.ordinary = ord.value_or(0);
            u.extraordinary = str.value_or(0);
            if (!ord || !str)
                r.notes << QStringLiteral("Il locale \"%1\" non ha una percentuale di partecipazione valida: "
                                          "conta come zero.")
                               .arg(u.nome);
            units.push_back(u);
        }
    }
    QHash<QString, qint64> tableIds; // the first table of each name
    {
        store::Statement st(db, QStringLiteral("SELECT Id, Nome FROM Tabelle WHERE Id_Condominio = ? ORDER BY Id"));
        st.bind(1, year.condominium);
        while (st.step())
            if (!tableIds.contains(st.value(1).toString()))
                tableIds.insert(st.value(1).toString(), st.value(0).toLongLong());
    }
    QHash<QPair<qint64, qint64>, double> thousandths; // (unit, table)
    {
        store::Statement st(db, QStringLiteral("SELECT m.IdLocale, m.IdTabella, SUM(m.Millesimi) FROM Millesimi AS m "
                                               "INNER JOIN Locali AS l ON l.Id = m.IdLocale WHERE l.IdCondominio = ? "
                                               "GROUP BY m.IdLocale, m.IdTabella"));
        st.bind(1, year.condominium);
        while (st.step())
            thousandths.insert({st.value(0).toLongLong(), st.value(1).toLongLong()},
                               st.value(2).isNull() ? 0.0 : st.value(2).toDouble());
    }

    for (const Unit& u : units)
        r.units.push_back({u.id, u.nome, {}, {}});

    QStringList tableNotes;
    for (const ConsuntivoTable& ct : consuntivo.tables) {
        if (ct.ordinary.isZero() && ct.extraordinary.isZero())
            continue;
        RipartoTable t;
        t.table = ct.table;
        t.ordinary = ct.ordinary;
        t.extraordinary = ct.extraordinary;
        t.tableId = tableIds.value(ct.table, 0);
        if (t.tableId == 0) {
            t.undivided = t.total();
            t.notes << (ct.table.isEmpty()
                            ? QStringLiteral("Le spese senza tabella (%1) non sono ripartite: indicare nelle uscite la "
                                             "tabella millesimale a cui vanno addebitate.")
                                  .arg(t.total().toString())
                            : QStringLiteral("Le spese della tabella \"%1\" (%2) non sono ripartite: il condominio non "
                                             "ha una tabella millesimale con questo nome.")
                                  .arg(ct.table, t.total().toString()));
        } else {
            for (const Unit& u : units) {
                RipartoUnit ru;
                ru.unitId = u.id;
                ru.unit = u.nome;
                ru.thousandths = thousandths.value({u.id, t.tableId}, 0.0);
                ru.weightedOrdinary = allocation::keep15(ru.thousandths * u.ordinary / 100.0);
                ru.weightedExtraordinary = allocation::keep15(ru.thousandths * u.extraordinary / 100.0);
                t.units.push_back(ru);
            }
            sharePool(t, false);
            sharePool(t, true);
            for (int i = 0; i < t.units.size(); ++i) {
                r.units[i].ordinary += t.units[i].ordinary;
                r.units[i].extraordinary += t.units[i].extraordinary;
            }
        }
        r.shared += t.shared();
        r.undivided += t.undivided;
        tableNotes += t.notes;
        r.tables.push_back(t);
    }
    r.notes = tableNotes + r.notes;
    return r;
}

Riparto computeRiparto(store::Database& db, const AccountingYear& year)
{
    return computeRiparto(db, year, computeConsuntivo(db, year));
}

} // namespace velcaris::accounts
