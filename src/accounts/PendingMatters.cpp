#include "accounts/PendingMatters.h"

namespace velcaris::accounts {

namespace {

QDate isoDate(const QVariant& v)
{
    return v.isNull() ? QDate() : QDate::fromString(v.toString().left(10), Qt::ISODate);
}

// The flags were written by several hands over the years (0/1, -1, "True"): read as the
// registers read them, not compared in SQL.
bool flag(const QVariant& v)
{
    return !v.isNull() && v.toBool();
}

} // namespace

PendingMatters readPendingMatters(store::Database& db, const AccountingYear& year)
{
    PendingMatters p;
    {
        QString sql = QStringLiteral("SELECT Id, Data, Contatto, Descrizione, Concluso FROM Interventi WHERE Condominio = ?");
        QVector<QVariant> values{year.condominium};
        if (year.end.isValid()) {
            sql += QStringLiteral(" AND (Data IS NULL OR Data <= ?)");
            values << year.end;
        }
        sql += QStringLiteral(" ORDER BY Data, Id");
        store::Statement st(db, sql);
        st.bindAll(values);
        while (st.step())
            if (!flag(st.value(4)))
                p.interventions.push_back(
                    {st.value(0).toLongLong(), isoDate(st.value(1)), st.value(2).toString(), st.value(3).toString()});
    }
    store::Statement st(db, QStringLiteral("SELECT Id, DataScadenza, Soggetto, Descrizione, Importo, Esito FROM Scadenzario "
                                           "WHERE Condominio = ? ORDER BY DataScadenza, Id"));
    st.bind(1, year.condominium);
    while (st.step())
        if (!flag(st.value(5)))
            p.deadlines.push_back({st.value(0).toLongLong(), isoDate(st.value(1)), st.value(2).toString(),
                                   st.value(3).toString(),
                                   store::Money::fromDouble(st.value(4).isNull() ? 0.0 : st.value(4).toDouble())});
    return p;
}

} // namespace velcaris::accounts
