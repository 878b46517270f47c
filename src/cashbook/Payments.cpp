#include "cashbook/Payments.h"

#include "cashbook/AmountText.h"
#include "cashbook/PaymentApplications.h"
#include "cashbook/ReceiptNumbers.h"
#include "store/Database.h"
#include "store/Failpoint.h"
#include "store/Retry.h"
#include "store/StoreError.h"

#include <algorithm>


namespace velcaris::cashbook {

using store::Money;
using store::Statement;

namespace {

// Two desks paying quotas of one condominium at once collide on its receipt counter: the one
// that loses runs again, and again if it collides anew (each wait longer and drawn at random).
constexpr int kPaymentAttempts = 30;

Money abs(Money m) { return m < Money() ? -m : m; }

// A located quota of one unit, with its twin in the owners' web copy when there is one.
struct Located {
    qint64 id = 0;
    Money importo, pagato;
    std::optional<qint64> webRow;
    Money webImporto, webPagato;
};

class QuotaBook {
public:
    QuotaBook(store::Database& db, const QString& year)
        : db_(db), year_(year),
          find_(db, QStringLiteral("SELECT IdQuota, Importo, ImportoPagato FROM Quote "
                                   "WHERE IdLocale = ? AND NomeQuote = ? AND AA = ? ORDER BY IdQuota LIMIT 1")),
          findWeb_(db, QStringLiteral("SELECT Id, Importo, ImportoPagato FROM web.Quote "
                                      "WHERE idLocale = ? AND NomeQuote = ? AND AA = ? ORDER BY Id LIMIT 1")),
          update_(db, QStringLiteral("UPDATE Quote SET ImportoPagato = ?, idEntrata = ? WHERE IdQuota = ?")),
          updateWeb_(db, QStringLiteral("UPDATE web.Quote SET ImportoPagato = ?, Data = ? WHERE Id = ?")),
          updateWebPaid_(db, QStringLiteral("UPDATE web.Quote SET ImportoPagato = ? WHERE Id = ?"))
    {
    }

    std::optional<Located> locate(qint64 unit, const QString& name)
    {
        find_.reset();
        find_.bindAll({unit, name, year_});
        if (!find_.step())
            return std::nullopt;
        Located q;
        q.id = find_.value(0).toLongLong();
        q.importo = Money::fromDouble(find_.value(1).toDouble());
        q.pagato = Money::fromDouble(find_.value(2).toDouble());
        findWeb_.reset();
        findWeb_.bindAll({unit, name, year_});
        if (findWeb_.step()) {
            q.webRow = findWeb_.value(0).toLongLong();
            q.webImporto = Money::fromDouble(findWeb_.value(1).toDouble());
            q.webPagato = Money::fromDouble(findWeb_.value(2).toDouble());
        }
        return q;
    }

    void write(const Located& q, qint64 incomeId, const QDate& date, bool dated)
    {
        update_.reset();
        update_.bindAll({q.pagato.toDouble(), incomeId, q.id});
        update_.step();
        if (!q.webRow)
            return;
        Statement& st = dated ? updateWeb_ : updateWebPaid_;
        st.reset();
        if (dated)
            st.bindAll({q.webPagato.toDouble(), date, *q.webRow});
        else
            st.bindAll({q.webPagato.toDouble(), *q.webRow});
        st.step();
    }

    store::Database& db() { return db_; }

private:
    store::Database& db_;
    QString year_;
    Statement find_, findWeb_, update_, updateWeb_, updateWebPaid_;
};

QVector<qint64> payerUnits(store::Database& db, const PaymentInput& input)
{
    Statement st(db, input.ownerPays
                         ? QStringLiteral("SELECT Id FROM Locali WHERE idProprietario = ? AND IdCondominio = ? ORDER BY Id")
                         : QStringLiteral("SELECT Id FROM Locali WHERE idInquilino = ? AND IdCondominio = ? ORDER BY Id"));
    st.bindAll({input.payerId, input.condominium});
    QVector<qint64> units;
    while (st.step())
        units << st.value(0).toLongLong();
    return units;
}

// Spreads `v` over the units' quotas named `name`: each residual is filled in turn, what is left
// after the last unit goes onto the last quota located as an overpayment.
void spread(QuotaBook& book, const QVector<qint64>& units, const QString& name, Money v, qint64 incomeId,
            const QDate& date)
{
    std::optional<Located> last;
    for (qint64 unit : units) {
        if (v.isZero())
            break;
        std::optional<Located> q = book.locate(unit, name);
        if (!q)
            continue;
        store::failpoint("payment.quota");
        const Money residual = q->importo - q->pagato;
        const Money paidBefore = q->pagato, webBefore = q->webPagato;
        if (abs(v) >= abs(residual)) {
            q->pagato = q->importo;
            q->webPagato = q->webImporto;
            v -= residual;
        } else {
            q->pagato += v;
            q->webPagato += v;
            v = Money();
        }
        book.write(*q, incomeId, date, true);
        if (q->pagato != paidBefore || q->webPagato != webBefore)
            recordApplication(book.db(), incomeId, {q->id, q->pagato - paidBefore, q->webPagato - webBefore});
        last = q;
    }
    if (!v.isZero() && last) {
        last->pagato += v;
        last->webPagato += v;
        book.write(*last, incomeId, date, false);
        recordApplication(book.db(), incomeId, {last->id, v, last->webRow ? v : Money()});
    }
}

} // namespace

QString emptyPaymentText()
{
    return QStringLiteral("Nessuna quota da pagare: selezionare nella situazione del condomino almeno una quota "
                          "pagabile.");
}

std::optional<Money> paymentAmount(const QString& text)
{
    return readAmount(text);
}

PaymentTotal paymentTotal(const QVector<PaymentRow>& rows)
{
    PaymentTotal result;
    for (const PaymentRow& row : rows) {
        const std::optional<Money> amount = paymentAmount(row.amount);
        if (!amount) {
            if (result.problem.isEmpty())
                result.problem = QStringLiteral("L'importo \"%1\" della quota \"%2\" non è valido: scrivere un numero "
                                                "con il punto come separatore decimale e al massimo due decimali "
                                                "(per esempio 120.50).")
                                     .arg(row.amount, row.quotaName);
            continue;
        }
        result.total += *amount;
    }
    return result;
}

app::Outcome recordPayment(app::Workspace& ws, const PaymentInput& input, int* receiptNumber)
{
    if (input.rows.isEmpty())
        return app::Outcome::refused(emptyPaymentText());
    const PaymentTotal total = paymentTotal(input.rows);
    if (!total.problem.isEmpty())
        return app::Outcome::refused(total.problem);
    QVector<Money> amounts;
    for (const PaymentRow& row : input.rows) {
        const Money amount = *paymentAmount(row.amount);
        // A negative amount would mark quotas paid by the absolute comparison: refunds and
        // corrections are special movements, not payments.
        if (amount < Money())
            return app::Outcome::refused(
                QStringLiteral("L'importo della quota \"%1\" è negativo (%2): un pagamento non può essere negativo; "
                               "per una restituzione registrare un movimento speciale.")
                    .arg(row.quotaName, amount.toString()));
        amounts << amount;
    }
    if (input.condominium.isEmpty())
        return app::Outcome::refused(QStringLiteral("Scegliere prima il condominio"));
    const QString year = currentYearName(ws, input.condominium);
    if (year.isEmpty())
        return app::Outcome::refused(
            QStringLiteral("Il condominio \"%1\" non ha un anno amministrativo corrente: il pagamento non è "
                           "registrato.")
                .arg(input.condominium));

    store::Database& db = ws.mainDb();
    int number = input.receiptNumber;
    auto attempt = [&]() -> std::optional<qint64> {
        store::Transaction tx(db);
        // Read inside the transaction: a number another desk committed since the dialog
        // proposed this one is seen here, and one it commits meanwhile makes this attempt fail
        // on the receipt counter's row (and be run again).
        number = std::max(input.receiptNumber, nextRecordedReceiptNumber(ws, input.condominium));
        const QVector<qint64> units = payerUnits(db, input);
        QuotaBook book(db, year);
        Statement insert(db, QStringLiteral("INSERT INTO Entrate (Condominio, TipoMovimento, Importo, Data, "
                                            "MetodoPagamento, Tipologia, IdPersona, Nome, Ricevuta, AA, Nota) "
                                            "VALUES (?, 'Entrata', ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        std::optional<qint64> first;
        for (int i = 0; i < input.rows.size(); ++i) {
            const PaymentRow& row = input.rows[i];
            insert.reset();
            insert.bindAll({input.condominium, amounts[i].toDouble(), input.date, input.method, row.type,
                            input.payerId, row.quotaName, number, year, row.note});
            insert.step();
            const qint64 incomeId = db.lastInsertId();
            if (!first)
                first = incomeId;
            spread(book, units, row.quotaName, amounts[i], incomeId, input.date);
        }
        recordGivenReceiptNumber(db, input.condominium, year, number);
        tx.commit();
        return first;
    };
    try {
        const std::optional<qint64> first = store::retryOnConflict(db, attempt, kPaymentAttempts);
        if (receiptNumber)
            *receiptNumber = number;
        app::Outcome done = app::Outcome::accepted(first);
        if (number != input.receiptNumber)
            done.messages.push_back({app::MessageKind::Information,
                                     QStringLiteral("Il numero di ricevuta %1 è stato usato nel frattempo da un'altra "
                                                    "postazione: questo pagamento ha la ricevuta n. %2.")
                                         .arg(input.receiptNumber)
                                         .arg(number)});
        return done;
    } catch (const store::StoreError& e) {
        return app::Outcome::failed(
            QStringLiteral("Il pagamento non è stato registrato, nessuna quota è cambiata: %1").arg(e.message()));
    }
}

} // namespace velcaris::cashbook
