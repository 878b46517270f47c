#include "allocation/OwnerStatement.h"

#include "allocation/QuotaSchedule.h"
#include "allocation/Registers.h"
#include "foundation/Selection.h"

namespace velcaris::allocation {

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
        flipped = db.scalar(QStringLiteral("SELECT changes()")).toLongLong();
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
