#include "allocation/OwnerStatement.h"

#include "allocation/QuotaSchedule.h"
#include "allocation/Registers.h"
#include "foundation/Selection.h"
#include "store/Database.h"
#include "store/Schema.h"

namespace velcaris::allocation {

QString StatementPayer::caption() const
{
    return QStringLiteral("%1 (%2: %3)")
        .arg(name, subject.owner ? QStringLiteral("proprietario") : QStringLiteral("inquilino"),
             units.join(QStringLiteral(", ")));
}

QVector<StatementPayer> statementPayers(app::Workspace& ws, const QString& condominium)
{
    const QString person = store::personDisplayNameSql(QStringLiteral("a"));
    store::Statement st(ws.mainDb(),
                        QStringLiteral("SELECT 1 AS Ruolo, a.Id AS Persona, %1 AS Nome, l.Nome AS Locale, l.Id AS IdLocale "
                                       "FROM Locali AS l INNER JOIN Anagrafe AS a ON a.Id = l.idProprietario "
                                       "WHERE l.IdCondominio = ? "
                                       "UNION ALL SELECT 0, a.Id, %1, l.Nome, l.Id "
                                       "FROM Locali AS l INNER JOIN Anagrafe AS a ON a.Id = l.idInquilino "
                                       "WHERE l.IdCondominio = ? "
                                       "ORDER BY Nome, Persona, Ruolo DESC, IdLocale")
                            .arg(person));
    st.bindAll({condominium, condominium});
    QVector<StatementPayer> payers;
    while (st.step()) {
        const bool owner = st.value(0).toInt() != 0;
        const qint64 id = st.value(1).toLongLong();
        if (payers.isEmpty() || payers.last().subject.personId != id || payers.last().subject.owner != owner)
            payers.push_back({{owner, id}, st.value(2).toString(), {}});
        payers.last().units << st.value(3).toString();
    }
    // Who lives in exactly what he owns is offered once, as the owner: both statements are the same.
    QVector<StatementPayer> offered;
    for (const StatementPayer& payer : payers) {
        const bool sameAsOwner = !payer.subject.owner && !offered.isEmpty() && offered.last().subject.owner
                              && offered.last().subject.personId == payer.subject.personId && offered.last().units == payer.units;
        if (!sameAsOwner)
            offered << payer;
    }
    return offered;
}

bool statementForOwner(const QString& statementSubject)
{
    return statementSubject == QLatin1String("proprietario");
}

StatementQuery statementQuery(const QString& condominium, const StatementSubject& subject)
{
    const QString person = subject.owner ? QStringLiteral("locali.idProprietario") : QStringLiteral("locali.idInquilino");
    const QString owner = subject.owner ? QStringLiteral("locali.idProprietario") : QStringLiteral("MIN(locali.idProprietario)");
    const QString tenant = subject.owner ? QStringLiteral("MIN(locali.idInquilino)") : QStringLiteral("locali.idInquilino");
    StatementQuery q;
    q.sql = QStringLiteral(
                "SELECT locali.IdCondominio AS IdCondominio, %1 AS IdProprietario, %2 AS IdInquilino, "
                "Quote.NomeQuote AS NomeQuote, ROUND(SUM(Quote.Importo), 2) AS Importo, "
                "ROUND(SUM(COALESCE(Quote.ImportoPagato, 0)), 2) AS ImportoPagato, "
                "ROUND(SUM(COALESCE(Quote.Importo, 0) - COALESCE(Quote.ImportoPagato, 0)), 2) AS ImportoDaPagare, "
                "Quote.Tipologia AS Tipologia, Quote.DataScadenza AS DataScadenza, Quote.PagabiliSiNo AS PagabiliSiNo "
                "FROM Quote INNER JOIN Locali AS locali ON Quote.IdLocale = locali.Id "
                "INNER JOIN Anagrafe ON locali.idProprietario = Anagrafe.Id "
                "INNER JOIN Anagrafe AS Anagrafe_1 ON locali.idInquilino = Anagrafe_1.Id "
                "INNER JOIN QueryAC ON locali.IdCondominio = QueryAC.idCondominio AND Quote.AA = QueryAC.nome "
                "WHERE locali.IdCondominio = ? AND %3 = ? "
                "GROUP BY locali.IdCondominio, %3, Quote.NomeQuote, Quote.Tipologia, Quote.DataScadenza, "
                "Quote.PagabiliSiNo ORDER BY Quote.DataScadenza ASC")
                .arg(owner, tenant, person);
    q.params = {condominium, subject.personId};
    return q;
}

app::Outcome flipPayable(app::Workspace& ws, const PayableFlipInput& input)
{
    store::Database& db = ws.mainDb();
    const QString& condominium = ws.selection.condominium;
    const QString year = currentYearOf(db, condominium);
    if (condominium.isEmpty() || year.isEmpty())
        return app::Outcome::refused(app::kRequireYearMessage, app::MessageKind::Information);
    const QString person = input.subject.owner ? QStringLiteral("l.idProprietario") : QStringLiteral("l.idInquilino");
    qint64 flipped = 0;
    {
        store::Transaction transaction(db);
        db.exec(QStringLiteral("UPDATE Quote SET PagabiliSiNo = CASE WHEN COALESCE(PagabiliSiNo, 0) <> 0 THEN 0 ELSE 1 END "
                               "WHERE IdQuota IN (SELECT q.IdQuota FROM Quote AS q INNER JOIN Locali AS l ON l.Id = q.IdLocale "
                               "WHERE l.IdCondominio = ? AND %1 = ? AND q.AA = ? AND q.NomeQuote = ? "
                               "AND q.Tipologia IS ? AND q.DataScadenza IS ? AND q.PagabiliSiNo IS ?)")
                    .arg(person),
                {condominium, input.subject.personId, year, input.quotaName, input.type, input.dueDate, input.payable});
        flipped = db.changes();
        transaction.commit();
    }
    requeryRegisters(ws, {"ADOTableQuote", "ADOWEBDBQuote", "ADOWEBDBquote2"});
    return app::Outcome::accepted(flipped);
}

PaymentStep paymentStep(const QVector<app::PaymentLine>& selected)
{
    PaymentStep step;
    for (const app::PaymentLine& line : selected)
        if (!line.payable)
            step.warnNonPayable = true;
    step.openPayment = !(selected.size() == 1 && step.warnNonPayable);
    return step;
}

} // namespace velcaris::allocation
