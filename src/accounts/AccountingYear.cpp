#include "accounts/AccountingYear.h"

namespace velcaris::accounts {

namespace {

QDate isoDate(const QVariant& v)
{
    return v.isNull() ? QDate() : QDate::fromString(v.toString().left(10), Qt::ISODate);
}

const QString kColumns = QStringLiteral("SELECT id, idCondominio, nome, data_inizio, data_fine FROM AnnoAmministrativo ");

std::optional<AccountingYear> readOne(store::Statement& st)
{
    if (!st.step())
        return std::nullopt;
    AccountingYear y;
    y.id = st.value(0).toLongLong();
    y.condominium = st.value(1).toString();
    y.name = st.value(2).toString();
    y.start = isoDate(st.value(3));
    y.end = isoDate(st.value(4));
    return y;
}

} // namespace

bool isExtraordinary(const QString& type)
{
    return type == kExtraordinaryType;
}

std::optional<AccountingYear> findYear(store::Database& db, const QString& condominium, const QString& name)
{
    store::Statement st(db, kColumns + QStringLiteral("WHERE idCondominio = ? AND nome = ? ORDER BY id"));
    st.bindAll({condominium, name});
    return readOne(st);
}

std::optional<AccountingYear> nextYear(store::Database& db, const AccountingYear& year)
{
    if (!year.start.isValid())
        return std::nullopt;
    store::Statement st(db, kColumns + QStringLiteral("WHERE idCondominio = ? AND data_inizio > ? AND id <> ? "
                                                      "ORDER BY data_inizio, id"));
    st.bindAll({year.condominium, year.start, year.id});
    return readOne(st);
}

std::optional<AccountingYear> previousYear(store::Database& db, const AccountingYear& year)
{
    if (!year.start.isValid())
        return std::nullopt;
    store::Statement st(db, kColumns + QStringLiteral("WHERE idCondominio = ? AND data_inizio < ? AND id <> ? "
                                                      "ORDER BY data_inizio DESC, id DESC"));
    st.bindAll({year.condominium, year.start, year.id});
    return readOne(st);
}

QString yearOrEarlierCondition(const QString& column)
{
    return QStringLiteral("(%1 = ? OR %1 IN (SELECT y.nome FROM AnnoAmministrativo AS y WHERE y.idCondominio = ? "
                          "AND y.data_inizio < ?))")
        .arg(column);
}

QVector<QVariant> yearOrEarlierValues(const AccountingYear& year)
{
    // A year without a start date has no earlier years.
    return {year.name, year.condominium, year.start.isValid() ? QVariant(year.start) : QVariant()};
}

QString conguaglioQuotaName(const QString& yearName)
{
    return QStringLiteral("Conguaglio ") + yearName;
}

} // namespace velcaris::accounts
