#include "accounts/YearClosing.h"

#include "accounts/Register.h"
#include "accounts/Riparto.h"
#include "accounts/UnitStatement.h"
#include "allocation/QuotaPublishing.h"
#include "cashbook/OpeningsAndTransfers.h"
#include "cashbook/PaymentPlace.h"
#include "store/Failpoint.h"
#include "store/StoreError.h"

namespace velcaris::accounts {

using store::Money;

namespace {

// What ChiusureRighe.Tabella names.
const QString kQuoteRows = QStringLiteral("Quote");
const QString kWebQuoteRows = QStringLiteral("web.Quote");
const QString kIncomeRows = QStringLiteral("Entrate");

QDate isoDate(const QVariant& v)
{
    return v.isNull() ? QDate() : QDate::fromString(v.toString().left(10), Qt::ISODate);
}

QVariant dateOrNull(const QDate& d)
{
    return d.isValid() ? QVariant(d) : QVariant();
}

std::optional<ClosingRecord> closingOfYearId(store::Database& db, qint64 yearId)
{
    store::Statement st(db, QStringLiteral("SELECT Id, IdAnnoSuccessivo, Data, DataScadenza FROM ChiusureEsercizio "
                                           "WHERE IdAnno = ? ORDER BY Id"));
    st.bind(1, yearId);
    if (!st.step())
        return std::nullopt;
    return ClosingRecord{st.value(0).toLongLong(), st.value(1).toLongLong(), isoDate(st.value(2)), isoDate(st.value(3))};
}

// The year of the input, or the refusal that says why there is none.
std::optional<AccountingYear> chosenYear(store::Database& db, const QString& condominium, const QString& name,
                                         app::Outcome& refusal)
{
    if (condominium.isEmpty()) {
        refusal = app::Outcome::refused(QStringLiteral("Selezionare prima un condominio"));
        return std::nullopt;
    }
    std::optional<AccountingYear> year = findYear(db, condominium, name);
    if (!year)
        refusal = app::Outcome::refused(
            QStringLiteral("Il condominio \"%1\" non ha un anno amministrativo di nome \"%2\"").arg(condominium, name));
    return year;
}

QString yearName(store::Database& db, qint64 yearId)
{
    return db.scalar(QStringLiteral("SELECT nome FROM AnnoAmministrativo WHERE id = ?"), {yearId}).toString();
}

void recordRow(store::Database& db, qint64 closingId, const QString& table, qint64 rowId)
{
    db.exec(QStringLiteral("INSERT INTO main.ChiusureRighe (IdChiusura, Tabella, IdRiga) VALUES (?,?,?)"),
            {closingId, table, rowId});
}

} // namespace

std::optional<ClosingRecord> closingOf(store::Database& db, const AccountingYear& year)
{
    return closingOfYearId(db, year.id);
}

app::Outcome closeYear(app::Workspace& ws, const ClosingInput& input)
{
    store::Database& db = ws.mainDb();
    app::Outcome refusal;
    const std::optional<AccountingYear> year = chosenYear(db, input.condominium, input.year, refusal);
    if (!year)
        return refusal;
    if (const std::optional<ClosingRecord> closed = closingOf(db, *year))
        return app::Outcome::refused(QStringLiteral("L'esercizio %1 è già stato chiuso il %2. Per chiuderlo di nuovo "
                                                    "occorre prima riaprirlo con \"Riapri esercizio\".")
                                         .arg(year->name, closed->day.toString(QStringLiteral("dd/MM/yyyy"))));
    const std::optional<AccountingYear> next = nextYear(db, *year);
    if (!next)
        return app::Outcome::refused(
            QStringLiteral("L'esercizio %1 non ha un anno amministrativo successivo in cui riportare conguagli e saldi: "
                           "crearlo prima nella linguetta \"Condomini\", poi chiudere l'esercizio.")
                .arg(year->name));
    if (closingOf(db, *next))
        return app::Outcome::refused(QStringLiteral("L'esercizio %1 è già chiuso: riaprirlo prima di chiudere "
                                                    "l'esercizio %2.")
                                         .arg(next->name, year->name));
    if (!input.due.isValid())
        return app::Outcome::refused(QStringLiteral("Inserire la data di scadenza delle quote di conguaglio"));
    const QString quotaName = conguaglioQuotaName(year->name);
    if (db.scalar(QStringLiteral("SELECT 1 FROM Quote WHERE IdCondominio = ? AND AA = ? AND NomeQuote = ?"),
                  {year->condominium, next->name, quotaName})
            .isValid())
        return app::Outcome::refused(QStringLiteral("L'anno %1 ha già quote di nome \"%2\": eliminarle prima di chiudere "
                                                    "l'esercizio %3.")
                                         .arg(next->name, quotaName, year->name));
    if (db.scalar(QStringLiteral("SELECT 1 FROM Entrate WHERE Condominio = ? AND AA = ? AND TipoMovimento = ?"),
                  {year->condominium, next->name, cashbook::kOpeningAmount})
            .isValid())
        return app::Outcome::refused(QStringLiteral("L'anno %1 ha già un importo iniziale: la chiusura dell'esercizio %2 "
                                                    "vi scrive i saldi di cassa e di banca. Eliminarlo prima di chiudere.")
                                         .arg(next->name, year->name));

    const Consuntivo consuntivo = computeConsuntivo(db, *year);
    const Riparto riparto = computeRiparto(db, *year, consuntivo);
    if (!riparto.undivided.isZero())
        return app::Outcome::refused(QStringLiteral("L'esercizio %1 non può essere chiuso finché tutte le spese non sono "
                                                    "ripartite:\n%2")
                                         .arg(year->name, riparto.notes.join(u'\n')));
    const UnitStatement statement = computeUnitStatement(db, *year, riparto);
    const Register reg = computeRegister(db, *year);

    int quotas = 0;
    int published = 0;
    qint64 closingId = 0;
    try {
        store::Transaction transaction(db);
        db.exec(QStringLiteral("INSERT INTO main.ChiusureEsercizio (Condominio, IdAnno, IdAnnoSuccessivo, Data, "
                               "DataScadenza) VALUES (?,?,?,?,?)"),
                {year->condominium, year->id, next->id, QDate::currentDate(), input.due});
        closingId = db.lastInsertId();

        allocation::QuotaPublisher publisher(db, year->condominium);
        const QString note = QStringLiteral("Conguaglio dell'esercizio %1: riparto consuntivo meno quote addebitate")
                                 .arg(year->name);
        store::Statement quota(db, QStringLiteral("INSERT INTO main.Quote (IdCondominio, IdLocale, AA, NomeQuote, Importo, "
                                                  "ImportoPagato, DataScadenza, Tipologia, Note) VALUES (?,?,?,?,?,?,?,?,?)"));
        for (const UnitStatementLine& line : statement.lines) {
            const Money amount = line.conguaglio();
            if (amount.isZero())
                continue;
            quota.reset();
            quota.bindAll({year->condominium, line.unitId, next->name, quotaName, amount.toDouble(), 0.0, input.due,
                           kConguaglioQuotaType, note});
            quota.step();
            recordRow(db, closingId, kQuoteRows, db.lastInsertId());
            ++quotas;
            if (publisher.publish(line.unitId, {quotaName, amount, kConguaglioQuotaType, QVariant(input.due), next->name,
                                                QVariant(note)})) {
                recordRow(db, closingId, kWebQuoteRows, db.lastInsertId());
                ++published;
            }
            store::failpoint("chiusura.quota-scritta");
        }

        // The opening amounts are the condominium's own movements, as the dialog writes them.
        const QVariant person =
            db.scalar(QStringLiteral("SELECT Id FROM Anagrafe WHERE Cognome = ? ORDER BY Id"), {year->condominium});
        const struct {
            QString place;
            Money amount;
        } openings[] = {{cashbook::kPlaceCassa, reg.closingCash()}, {cashbook::kPlaceContoCorrente, reg.closingBank()}};
        for (const auto& o : openings) {
            if (o.amount.isZero())
                continue;
            db.exec(QStringLiteral("INSERT INTO main.Entrate (Condominio, AA, TipoMovimento, Importo, MetodoPagamento, "
                                   "Data, Tipologia, Nota, IdPersona) VALUES (?,?,?,?,?,?,?,?,?)"),
                    {year->condominium, next->name, cashbook::kOpeningAmount, o.amount.toDouble(), o.place,
                     dateOrNull(next->start), kOrdinaryType,
                     QStringLiteral("Saldo di chiusura dell'esercizio %1").arg(year->name), person});
            recordRow(db, closingId, kIncomeRows, db.lastInsertId());
        }
        transaction.commit();
    } catch (const store::StoreError& e) {
        return app::Outcome::failed(e.message());
    }

    app::Outcome done = app::Outcome::accepted(closingId);
    done.add(app::MessageKind::Information,
             QStringLiteral("Esercizio %1 chiuso. Nell'anno %2: %3 quote \"%4\" (%5 pubblicate sul web), importo iniziale "
                            "di cassa %6 e di banca %7.")
                 .arg(year->name, next->name, QString::number(quotas), quotaName, QString::number(published),
                      reg.closingCash().toString(), reg.closingBank().toString()));
    // Years kept before closings existed were never closed: said, not refused.
    if (const std::optional<AccountingYear> previous = previousYear(db, *year); previous && !closingOf(db, *previous))
        done.add(app::MessageKind::Information,
                 QStringLiteral("L'esercizio precedente %1 non è stato chiuso: i suoi conguagli e saldi non sono stati "
                                "riportati automaticamente in %2.")
                     .arg(previous->name, year->name));
    return done;
}

app::Outcome reopenYear(app::Workspace& ws, const YearChoice& input)
{
    store::Database& db = ws.mainDb();
    app::Outcome refusal;
    const std::optional<AccountingYear> year = chosenYear(db, input.condominium, input.year, refusal);
    if (!year)
        return refusal;
    const std::optional<ClosingRecord> closing = closingOf(db, *year);
    if (!closing)
        return app::Outcome::refused(QStringLiteral("L'esercizio %1 non è chiuso").arg(year->name));
    if (closingOfYearId(db, closing->nextYearId))
        return app::Outcome::refused(QStringLiteral("L'esercizio successivo %1 è già chiuso e ne riporta i saldi: "
                                                    "riaprire prima l'esercizio %1.")
                                         .arg(yearName(db, closing->nextYearId)));
    {
        store::Statement paid(db, QStringLiteral("SELECT q.NomeQuote, l.Nome FROM ChiusureRighe AS r "
                                                 "INNER JOIN Quote AS q ON q.IdQuota = r.IdRiga "
                                                 "LEFT JOIN Locali AS l ON l.Id = q.IdLocale "
                                                 "WHERE r.IdChiusura = ? AND r.Tabella = ? "
                                                 "AND (COALESCE(q.ImportoPagato, 0) <> 0 OR COALESCE(q.idEntrata, 0) <> 0 "
                                                 "OR EXISTS (SELECT 1 FROM PagamentiQuote AS p WHERE p.IdQuota = q.IdQuota)) "
                                                 "ORDER BY q.IdQuota"));
        paid.bindAll({closing->id, kQuoteRows});
        if (paid.step())
            return app::Outcome::refused(QStringLiteral("L'esercizio %1 non può essere riaperto: la quota \"%2\" del locale "
                                                        "\"%3\" ha già ricevuto un pagamento. Annullare prima il pagamento.")
                                             .arg(year->name, paid.value(0).toString(), paid.value(1).toString()));
    }

    const QString written = QStringLiteral("SELECT IdRiga FROM main.ChiusureRighe WHERE IdChiusura = ? AND Tabella = ?");
    try {
        store::Transaction transaction(db);
        db.exec(QStringLiteral("DELETE FROM main.Quote WHERE IdQuota IN (%1)").arg(written), {closing->id, kQuoteRows});
        db.exec(QStringLiteral("DELETE FROM web.Quote WHERE Id IN (%1)").arg(written), {closing->id, kWebQuoteRows});
        db.exec(QStringLiteral("DELETE FROM main.Entrate WHERE id IN (%1)").arg(written), {closing->id, kIncomeRows});
        db.exec(QStringLiteral("DELETE FROM main.ChiusureRighe WHERE IdChiusura = ?"), {closing->id});
        db.exec(QStringLiteral("DELETE FROM main.ChiusureEsercizio WHERE Id = ?"), {closing->id});
        transaction.commit();
    } catch (const store::StoreError& e) {
        return app::Outcome::failed(e.message());
    }
    app::Outcome done = app::Outcome::accepted(closing->id);
    done.add(app::MessageKind::Information,
             QStringLiteral("Esercizio %1 riaperto: conguagli e importi iniziali scritti dalla chiusura sono stati eliminati.")
                 .arg(year->name));
    return done;
}

} // namespace velcaris::accounts
