#include "allocation/QuotaPublishing.h"

namespace velcaris::allocation {

QuotaPublisher::QuotaPublisher(store::Database& db, const QString& condominium) : db_(db), condominium_(condominium)
{
    store::Statement st(db, QStringLiteral(
        "SELECT l.Id, l.Nome, l.idProprietario, l.idInquilino, "
        "EXISTS (SELECT 1 FROM web.Accesso AS a WHERE a.id = l.idProprietario) "
        "OR EXISTS (SELECT 1 FROM web.Accesso AS a WHERE a.id = l.idInquilino) "
        "FROM main.Locali AS l WHERE l.IdCondominio = ?"));
    st.bind(1, condominium);
    while (st.step())
        units_.insert(st.value(0).toLongLong(),
                      {st.value(1).toString(), st.value(2), st.value(3), st.value(4).toLongLong() != 0});
}

QuotaPublisher::~QuotaPublisher() = default;

bool QuotaPublisher::publishes(qint64 unitId) const
{
    const auto u = units_.constFind(unitId);
    return u != units_.cend() && u->web;
}

bool QuotaPublisher::publish(qint64 unitId, const WebQuota& quota)
{
    const auto u = units_.constFind(unitId);
    if (u == units_.cend() || !u->web)
        return false;
    if (!insert_)
        insert_ = std::make_unique<store::Statement>(
            db_, QStringLiteral("INSERT INTO web.Quote (Condominio, IdProprietario, IdInquilino, idLocale, Locale, "
                                "NomeQuote, Importo, Tipologia, DataScadenza, AA, Nota) VALUES (?,?,?,?,?,?,?,?,?,?,?)"));
    insert_->reset();
    insert_->bindAll({condominium_, u->owner, u->tenant, unitId, u->nome, quota.name, quota.amount.toDouble(), quota.type,
                      quota.due, quota.year, quota.note});
    insert_->step();
    return true;
}

} // namespace velcaris::allocation
