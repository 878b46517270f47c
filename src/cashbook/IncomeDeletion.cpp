#include "cashbook/IncomeDeletion.h"

#include "cashbook/PaymentApplications.h"
#include "cashbook/Receipt.h"
#include "cashbook/OpeningsAndTransfers.h"
#include "store/Database.h"
#include "store/Failpoint.h"
#include "store/Money.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velcaris::cashbook {

namespace {

using store::Money;


struct DeletedRow {
    QString condominium, type, method, name, year;
    QVariant person, receipt;
    Money amount;
};

bool readRow(store::Database& db, qint64 id, DeletedRow& row)
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

// The published copy of a quota: the first web row of its unit, name and year, the same one a
// payment writes to when a name was allocated twice.
const QString kWebRow = QStringLiteral(
    "(SELECT Id FROM web.Quote WHERE idLocale = ? AND NomeQuote = ? AND AA = ? ORDER BY Id LIMIT 1)");

// Takes `amount` off a quota's published copy; its payment date goes when nothing stays paid.
void takeBackWeb(store::Database& db, qint64 unit, const QString& name, const QString& year, Money amount)
{
    db.exec(QStringLiteral("UPDATE web.Quote SET ImportoPagato = ROUND(COALESCE(ImportoPagato, 0) - ?, 2) WHERE Id = %1").arg(kWebRow),
            {amount.toDouble(), unit, name, year});
    db.exec(QStringLiteral("UPDATE web.Quote SET Data = NULL WHERE ROUND(COALESCE(ImportoPagato, 0), 2) = 0 AND Id = %1").arg(kWebRow),
            {unit, name, year});
}

// A payment whose applications were recorded: each quota and copy loses exactly what it received.
bool takeBackRecorded(store::Database& db, qint64 incomeId)
{
    const QVector<QuotaApplication> applied = applicationsOf(db, incomeId);
    if (applied.isEmpty())
        return false;
    for (const QuotaApplication& a : applied) {
        store::Statement st(db, QStringLiteral("SELECT IdLocale, NomeQuote, AA FROM main.Quote WHERE IdQuota = ?"));
        st.bind(1, a.quota);
        if (!st.step())
            continue; // the quota is gone
        const qint64 unit = st.value(0).toLongLong();
        const QString name = st.value(1).toString(), year = st.value(2).toString();
        db.exec(QStringLiteral("UPDATE main.Quote SET ImportoPagato = ROUND(COALESCE(ImportoPagato, 0) - ?, 2) WHERE IdQuota = ?"),
                {a.amount.toDouble(), a.quota});
        store::failpoint("entrata.annullamento.tra-due-quote");
        if (!a.web.isZero())
            takeBackWeb(db, unit, name, year, a.web);
    }
    forgetApplications(db, incomeId);
    return true;
}

// A payment recorded before its applications were kept: `amount` is taken back from the person's
// quotas of that name and year in the register's order.
void takeBack(store::Database& db, const DeletedRow& row, Money amount)
{
    struct Paid { qint64 quota; qint64 unit; QString name; Money paid; };
    QVector<Paid> quotas;
    {
        store::Statement st(db, QStringLiteral(
            "SELECT IdQuota, IdLocale, NomeQuote, ImportoPagato FROM WEBDBQuote "
            "WHERE idCondominio = ?4 AND ((idProprietario = ?1 AND NomeQuote = ?2 AND AA = ?3) "
            "OR (idInquilino = ?1 AND NomeQuote = ?2 AND AA = ?3)) ORDER BY IdQuota"));
        st.bindAll({row.person, row.name, row.year, row.condominium});
        while (st.step())
            quotas.push_back({st.value(0).toLongLong(), st.value(1).toLongLong(), st.value(2).toString(),
                              Money::fromDouble(st.value(3).toDouble())});
    }
    for (int i = 0; i < quotas.size() && !amount.isZero(); ++i) {
        const Paid& q = quotas[i];
        if (i > 0)
            store::failpoint("entrata.annullamento.tra-due-quote");
        if (absolute(q.paid) > absolute(amount)) {
            db.exec(QStringLiteral("UPDATE main.Quote SET ImportoPagato = ? WHERE IdQuota = ?"), {(q.paid - amount).toDouble(), q.quota});
            takeBackWeb(db, q.unit, q.name, row.year, amount);
            amount = Money();
        } else {
            db.exec(QStringLiteral("UPDATE main.Quote SET ImportoPagato = 0 WHERE IdQuota = ?"), {q.quota});
            db.exec(QStringLiteral("UPDATE web.Quote SET ImportoPagato = 0, Data = NULL WHERE Id = %1").arg(kWebRow),
                    {q.unit, q.name, row.year});
            amount -= q.paid;
        }
    }
}

// "Ricevuta n.12 - A.A.2013.rtf" -> "Ricevuta n.12 - A.A.2013 ANNULLATA.rtf", and its PDF likewise.
// A receipt that is not there is no obstacle; one that is there and keeps its name is told.
QStringList markCancelled(const QString& rtf)
{
    QStringList kept;
    const QString base = rtf.chopped(4);
    for (const QString& extension : {QStringLiteral(".rtf"), QStringLiteral(".pdf")}) {
        const QString file = base + extension;
        if (QFileInfo::exists(file) && !QFile::rename(file, base + QStringLiteral(" ANNULLATA") + extension))
            kept << QDir::toNativeSeparators(file);
    }
    return kept;
}

} // namespace

QString multiplePaymentMessage(const QString& receipt, const QString& year)
{
    return QStringLiteral("ATTENZIONE: La quota che si sta andando a cancellare fa parte di un pagamento multiplo. "
                          "Modificare manualemente la ricevuta n. %1 dell'A.A. %2")
        .arg(receipt, year);
}

app::Outcome deleteIncome(app::Workspace& ws, qint64 rowId)
{
    store::Database& db = ws.mainDb();
    DeletedRow row;
    if (!readRow(db, rowId, row))
        return app::Outcome::accepted();

    if (row.type == kOpeningAmount) {
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
        if (!takeBackRecorded(db, rowId))
            takeBack(db, row, row.amount);
        tr.commit();
    }
    requery(ws);

    app::Outcome outcome = app::Outcome::accepted();
    if (!numbered)
        return outcome;
    const QString receipt = row.receipt.toString();
    if (sharing == 1) {
        // The document and its PDF copy are told in one message.
        const QStringList kept = markCancelled(receiptPath(ws, row.condominium, receipt.toInt(), row.year));
        if (kept.size() == 1)
            outcome.add(app::MessageKind::Warning,
                        QStringLiteral("Il pagamento è stato cancellato, ma la ricevuta \"%1\" non è stata rinominata come "
                                       "annullata: rinominarla a mano.")
                            .arg(kept.first()));
        else if (kept.size() == 2)
            outcome.add(app::MessageKind::Warning,
                        QStringLiteral("Il pagamento è stato cancellato, ma la ricevuta \"%1\" e la sua copia PDF \"%2\" "
                                       "non sono state rinominate come annullate: rinominarle a mano.")
                            .arg(kept[0], kept[1]));
    } else
        outcome.add(app::MessageKind::Warning, multiplePaymentMessage(receipt, row.year));
    return outcome;
}

} // namespace velcaris::cashbook
