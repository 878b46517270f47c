#include "cashbook/IncomeDeletion.h"

#include "store/Database.h"
#include "store/Failpoint.h"
#include "store/Money.h"

#include <QFile>
#include <QFileInfo>

namespace velcaris::cashbook {

namespace {

using store::Money;

const QString kOpening = QStringLiteral("Importo iniziale");
const QString kToBank = QStringLiteral("Passaggio su C.C.");
const QString kToCash = QStringLiteral("Passaggio su Cassa");
const QString kCash = QStringLiteral("Cassa");

struct IncomeRow {
    QString condominium, type, method, name, year;
    QVariant person, receipt;
    Money amount;
};

bool readRow(store::Database& db, qint64 id, IncomeRow& row)
{
    store::Statement st(db, QStringLiteral("SELECT Condominio, TipoMovimento, MetodoPagamento, IdPersona, Nome, AA, "
                                           "Importo, Ricevuta FROM Entrate WHERE id = ?"));
    st.bind(1, id);
    if (!st.step())
        return false;
    row.condominium = st.value(0).toString();
    row.type = st.value(1).toString();
    row.method = st.value(2).toString();
    row.person = st.value(3);
    row.name = st.value(4).toString();
    row.year = st.value(5).toString();
    row.amount = Money::fromDouble(st.value(6).toDouble());
    row.receipt = st.value(7);
    return true;
}

bool isTransfer(const QString& type)
{
    return type == kToBank || type == kToCash;
}

Money absolute(Money m)
{
    return m < Money() ? -m : m;
}

void requery(app::Workspace& ws)
{
    for (const char* name : {"ADOQueryEntrate", "ADOTableEntrate", "ADOTableQuote", "ADOWEBDBQuote", "ADOWEBDBquote2"}) {
        const QString n = QString::fromLatin1(name);
        if (ws.hasDataset(n) && ws.ds(n).isActive())
            ws.ds(n).requery();
    }
}

// Takes `amount` back from the person's quotas of that name and year, in the register's order,
// and from their published copies (whose payment date goes when nothing stays paid).
void takeBack(store::Database& db, const IncomeRow& row, Money amount)
{
    struct Paid { qint64 quota; qint64 unit; QString name; Money paid; };
    QVector<Paid> quotas;
    {
        store::Statement st(db, QStringLiteral(
            "SELECT IdQuota, IdLocale, NomeQuote, ImportoPagato FROM WEBDBQuote "
            "WHERE (idProprietario = ?1 AND NomeQuote = ?2 AND AA = ?3) OR (idInquilino = ?1 AND NomeQuote = ?2 AND AA = ?3) "
            "ORDER BY IdQuota"));
        st.bindAll({row.person, row.name, row.year});
        while (st.step())
            quotas.push_back({st.value(0).toLongLong(), st.value(1).toLongLong(), st.value(2).toString(),
                              Money::fromDouble(st.value(3).toDouble())});
    }
    const QString webRow = QStringLiteral("(SELECT rowid FROM web.Quote WHERE idLocale = ? AND NomeQuote = ? AND AA = ? LIMIT 1)");
    for (int i = 0; i < quotas.size() && !amount.isZero(); ++i) {
        const Paid& q = quotas[i];
        if (i > 0)
            store::failpoint("entrata.annullamento.tra-due-quote");
        if (absolute(q.paid) > absolute(amount)) {
            db.exec(QStringLiteral("UPDATE main.Quote SET ImportoPagato = ? WHERE IdQuota = ?"), {(q.paid - amount).toDouble(), q.quota});
            db.exec(QStringLiteral("UPDATE web.Quote SET ImportoPagato = ROUND(COALESCE(ImportoPagato, 0) - ?, 2) WHERE rowid = %1").arg(webRow),
                    {amount.toDouble(), q.unit, q.name, row.year});
            db.exec(QStringLiteral("UPDATE web.Quote SET Data = NULL WHERE ROUND(COALESCE(ImportoPagato, 0), 2) = 0 AND rowid = %1").arg(webRow),
                    {q.unit, q.name, row.year});
            amount = Money();
        } else {
            db.exec(QStringLiteral("UPDATE main.Quote SET ImportoPagato = 0 WHERE IdQuota = ?"), {q.quota});
            db.exec(QStringLiteral("UPDATE web.Quote SET ImportoPagato = 0, Data = NULL WHERE rowid = %1").arg(webRow),
                    {q.unit, q.name, row.year});
            amount -= q.paid;
        }
    }
}

// "Ricevuta n.12 - A.A.2013.rtf" -> "Ricevuta n.12 - A.A.2013 ANNULLATA.rtf", and its PDF likewise.
void markCancelled(const QString& rtf)
{
    const QString base = rtf.chopped(4);
    QFile::rename(rtf, base + QStringLiteral(" ANNULLATA.rtf"));
    if (QFileInfo::exists(base + QStringLiteral(".pdf")))
        QFile::rename(base + QStringLiteral(".pdf"), base + QStringLiteral(" ANNULLATA.pdf"));
}

} // namespace

QString multiplePaymentMessage(const QString& receipt, const QString& year)
{
    return QStringLiteral("ATTENZIONE: La quota che si sta andando a cancellare fa parte di un pagamento multiplo. "
                          "Modificare manualemente la ricevuta n. %1 dell'A.A. %2")
        .arg(receipt, year);
}

QString receiptFile(const app::Workspace& ws, const QString& condominium, const QString& receipt, const QString& year)
{
    return ws.paths().outputFolder() + condominium + QStringLiteral("/Ricevute/Ricevuta n.") + receipt +
           QStringLiteral(" - A.A.") + year + QStringLiteral(".rtf");
}

qint64 transferPartner(store::Database& db, qint64 rowId)
{
    IncomeRow row;
    if (!readRow(db, rowId, row) || !isTransfer(row.type))
        return 0;
    const qint64 partnerId = row.method == kCash ? rowId + 1 : rowId - 1;
    IncomeRow partner;
    if (!readRow(db, partnerId, partner))
        return 0;
    const bool otherHalf = partner.condominium == row.condominium && partner.type == row.type &&
                           partner.amount == -row.amount && (partner.method == kCash) != (row.method == kCash);
    return otherHalf ? partnerId : 0;
}

app::Outcome deleteIncome(app::Workspace& ws, qint64 rowId)
{
    store::Database& db = ws.mainDb();
    IncomeRow row;
    if (!readRow(db, rowId, row))
        return app::Outcome::accepted();

    if (row.type == kOpening) {
        db.exec(QStringLiteral("DELETE FROM Entrate WHERE id = ?"), {rowId});
        requery(ws);
        return app::Outcome::accepted();
    }
    if (isTransfer(row.type)) {
        const qint64 partner = transferPartner(db, rowId);
        if (partner == 0)
            return app::Outcome::refused(kTransferPartnerMissing);
        store::Transaction tr(db);
        db.exec(QStringLiteral("DELETE FROM Entrate WHERE id = ?"), {rowId});
        db.exec(QStringLiteral("DELETE FROM Entrate WHERE id = ?"), {partner});
        tr.commit();
        requery(ws);
        return app::Outcome::accepted();
    }

    // A quota payment. The receipt is the condominium's, its number and year; it is cancelled
    // when it covered this payment alone.
    const bool numbered = !row.receipt.isNull() && !row.receipt.toString().isEmpty();
    const qint64 sharing = numbered ? db.scalar(QStringLiteral("SELECT COUNT(*) FROM Entrate WHERE Condominio = ? AND Ricevuta = ? AND AA = ?"),
                                                {row.condominium, row.receipt, row.year}).toLongLong()
                                    : 0;
    {
        store::Transaction tr(db);
        db.exec(QStringLiteral("UPDATE main.Quote SET idEntrata = 0 WHERE idEntrata = ?"), {rowId});
        db.exec(QStringLiteral("DELETE FROM main.Entrate WHERE id = ?"), {rowId});
        takeBack(db, row, row.amount);
        tr.commit();
    }
    requery(ws);

    app::Outcome outcome = app::Outcome::accepted();
    if (!numbered)
        return outcome;
    const QString receipt = row.receipt.toString();
    if (sharing == 1)
        markCancelled(receiptFile(ws, row.condominium, receipt, row.year));
    else
        outcome.add(app::MessageKind::Warning, multiplePaymentMessage(receipt, row.year));
    return outcome;
}

} // namespace velcaris::cashbook
