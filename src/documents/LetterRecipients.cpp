#include "documents/LetterRecipients.h"

#include "documents/LetterVariables.h"
#include "store/FilterText.h"

#include <QSet>
#include <cmath>

namespace velcaris::documents {

using store::andTerms;
using store::equalsTerm;

PersonRole personRole(app::Workspace& ws, qint64 personId)
{
    store::Database& db = ws.mainDb();
    const auto has = [&](const char* column) {
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM QuerySolleciti WHERE %1 = ?").arg(QLatin1String(column)),
                         {personId})
                   .toLongLong()
               > 0;
    };
    if (!has("idProprietario") && has("idInquilino"))
        return PersonRole::Inquilino;
    return PersonRole::Proprietario;
}

QString instalmentFilter(const QString& kind, PersonRole role, qint64 personId, const QDate& today)
{
    const bool tenant = role == PersonRole::Inquilino;
    const QString person = equalsTerm(tenant ? QStringLiteral("idInquilino") : QStringLiteral("idProprietario"), personId);
    const QString due = kind == kSollecito ? QStringLiteral("DataScadenza<=") + shortDate(today) : QString();
    const QString ordinary = tenant ? equalsTerm(QStringLiteral("Tipologia"), kSpeseOrdinarie) : QString();
    return andTerms({person, due, ordinary});
}

QVector<bool> recipientsAmong(app::Workspace& ws, const QVector<qint64>& ids, Recipients which)
{
    const QString column = which == Recipients::Owners ? QStringLiteral("idProprietario") : QStringLiteral("idInquilino");
    store::Statement st(ws.mainDb(),
                        QStringLiteral("SELECT DISTINCT %1 FROM WEBDBQuote WHERE idCondominio = ?").arg(column));
    st.bind(1, ws.selection.condominium);
    QSet<qint64> found;
    while (st.step())
        if (!st.value(0).isNull())
            found.insert(st.value(0).toLongLong());
    QVector<bool> out;
    out.reserve(ids.size());
    for (qint64 id : ids)
        out << found.contains(id);
    return out;
}

int gaugePosition(int index, int count)
{
    if (count <= 1)
        return 100;
    return int(std::nearbyint(100.0 / (count - 1) * index));
}

} // namespace velcaris::documents
