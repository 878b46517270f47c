#include "allocation/QuotaSchedule.h"

#include <QVector>

namespace velcaris::allocation {

QString currentYearOf(store::Database& db, const QString& condominium)
{
    store::Statement st(db, QStringLiteral("SELECT nome FROM AnnoAmministrativo WHERE idCondominio = ? AND corrente = ? "
                                           "ORDER BY id"));
    st.bind(1, condominium);
    st.bind(2, true);
    return st.step() ? st.value(0).toString() : QString();
}

int copyQuotaSchedule(store::Database& db, const QString& condominium, qint64 unitId)
{
    const QString year = currentYearOf(db, condominium);
    if (year.isEmpty())
        return 0;
    // A quota without a type is not a personal one.
    const QString notPersonal = QStringLiteral("COALESCE(Tipologia, '') <> ?");
    const QVariant templateUnit =
        db.scalar(QStringLiteral("SELECT IdLocale FROM Quote WHERE IdCondominio = ? AND AA = ? AND %1 "
                                 "ORDER BY IdQuota")
                      .arg(notPersonal),
                  {condominium, year, kPersonalQuotaType});
    if (!templateUnit.isValid() || templateUnit.isNull())
        return 0;

    struct Row {
        QVariant name, type, due;
    };
    QVector<Row> rows;
    {
        store::Statement st(db, QStringLiteral("SELECT NomeQuote, Tipologia, DataScadenza FROM Quote "
                                               "WHERE IdCondominio = ? AND AA = ? AND IdLocale = ? AND %1 "
                                               "ORDER BY IdQuota")
                                    .arg(notPersonal));
        st.bindAll({condominium, year, templateUnit, kPersonalQuotaType});
        while (st.step())
            rows.push_back({st.value(0), st.value(1), st.value(2)});
    }
    for (const Row& row : rows)
        db.exec(QStringLiteral("INSERT INTO Quote (IdCondominio, IdLocale, NomeQuote, Tipologia, DataScadenza, "
                               "Importo, ImportoPagato, AA) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                {condominium, unitId, row.name, row.type, row.due, 0.0, 0.0, year});
    return int(rows.size());
}

} // namespace velcaris::allocation
