#include "cashbook/OpeningsAndTransfers.h"

#include "allocation/QuotaSchedule.h"
#include "foundation/Selection.h"
#include "cashbook/AmountText.h"
#include "cashbook/PaymentPlace.h"
#include "store/Database.h"
#include "store/StoreError.h"

namespace velcaris::cashbook {

using store::Money;

namespace {

// The amount of a movement, or the refusal of its text.
std::optional<Money> movementAmount(const QString& text, app::Outcome& refusal)
{
    if (text.trimmed().isEmpty()) {
        refusal = app::Outcome::refused(kEnterValidAmount, app::MessageKind::Information);
        return std::nullopt;
    }
    const std::optional<Money> amount = readAmount(text);
    if (!amount)
        refusal = app::Outcome::refused(notAnAmountMessage(QStringLiteral("Importo"), text), app::MessageKind::Information);
    return amount;
}

// The signed amount of a transfer's row at `place`: money leaves the place it is taken from.
Money transferRowAmount(const QString& tipoMovimento, const QString& place, Money amount)
{
    const bool leavesCash = tipoMovimento == kTransferToBank;
    const bool cashRow = place == kPlaceCassa;
    return cashRow == leavesCash ? -amount : amount;
}

// The condominium's own person record: the person whose surname is the condominium's name.
QVariant condominiumPerson(store::Database& db, const QString& condominium)
{
    return db.scalar(QStringLiteral("SELECT Id FROM Anagrafe WHERE Cognome = ? ORDER BY Id LIMIT 1"), {condominium});
}

QVariant dateOrNull(const QDate& d)
{
    return d.isValid() ? QVariant(d) : QVariant();
}

struct StoredRow {
    qint64 id = 0;
    QString condominio, aa, tipoMovimento, metodo;
    Money importo;
};

std::optional<StoredRow> storedRow(store::Database& db, qint64 id)
{
    store::Statement st(db, QStringLiteral("SELECT Condominio, AA, TipoMovimento, MetodoPagamento, Importo "
                                           "FROM Entrate WHERE id = ?"));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    return StoredRow{id, st.value(0).toString(), st.value(1).toString(), st.value(2).toString(),
                     st.value(3).toString(), Money::fromDouble(st.value(4).toDouble())};
}

// Whether `other` is the second half of the transfer whose first half is `row`.
bool isPartner(const StoredRow& row, const std::optional<StoredRow>& other)
{
    return other && other->condominio == row.condominio && other->aa == row.aa &&
           other->tipoMovimento == row.tipoMovimento && other->metodo != row.metodo &&
           (other->metodo == kPlaceCassa || row.metodo == kPlaceCassa) && other->importo == -row.importo;
}

void updateTransferRow(store::Database& db, const StoredRow& row, Money amount, const MovementInput& in)
{
    db.exec(QStringLiteral("UPDATE Entrate SET Importo = ?, Data = ?, Nota = ? WHERE id = ?"),
            {transferRowAmount(row.tipoMovimento, row.metodo, amount).toDouble(), dateOrNull(in.data), in.nota, row.id});
}

} // namespace

bool isTransfer(const QString& tipoMovimento)
{
    return tipoMovimento == kTransferToBank || tipoMovimento == kTransferToCash;
}

bool isOpeningOrTransfer(const QString& tipoMovimento)
{
    return tipoMovimento == kOpeningAmount || isTransfer(tipoMovimento);
}

QStringList openingTypes(app::Workspace& ws)
{
    QStringList types;
    store::Statement st(ws.mainDb(), QStringLiteral("SELECT Tipologia FROM Tipologia ORDER BY Id"));
    while (st.step())
        if (const QString t = st.value(0).toString(); t != allocation::kPersonalQuotaType)
            types << t;
    return types;
}

app::Outcome addOpeningOrTransfer(app::Workspace& ws, const QString& condominium, const MovementInput& in)
{
    if (!isOpeningOrTransfer(in.tipoMovimento))
        return app::Outcome::refused(QStringLiteral("Scegliere il tipo di movimento"), app::MessageKind::Information);
    app::Outcome refusal;
    const std::optional<Money> amount = movementAmount(in.importo, refusal);
    if (!amount)
        return refusal;
    store::Database& db = ws.mainDb();
    const QString year = allocation::currentYearOf(db, condominium);
    if (condominium.isEmpty() || year.isEmpty())
        return app::Outcome::refused(app::kRequireYearMessage, app::MessageKind::Information);
    qint64 first = -1;
    try {
        store::Transaction transaction(db);
        const QVariant person = condominiumPerson(db, condominium);
        const QString insert = QStringLiteral("INSERT INTO Entrate (Condominio, TipoMovimento, Importo, MetodoPagamento, "
                                              "Data, Tipologia, Nota, AA, IdPersona) VALUES (?,?,?,?,?,?,?,?,?)");
        if (in.tipoMovimento == kOpeningAmount) {
            db.exec(insert, {condominium, in.tipoMovimento, amount->toDouble(), in.metodoPagamento, dateOrNull(in.data),
                             in.tipologia, in.nota, year, person});
            first = db.lastInsertId();
        } else {
            // The cash row first, then the bank row: their keys are consecutive.
            for (const QString& place : {kPlaceCassa, kPlaceContoCorrente}) {
                db.exec(insert, {condominium, in.tipoMovimento,
                                 transferRowAmount(in.tipoMovimento, place, *amount).toDouble(), place,
                                 dateOrNull(in.data), QVariant(), in.nota, year, person});
                if (first < 0)
                    first = db.lastInsertId();
            }
        }
        transaction.commit();
    } catch (const store::StoreError& e) {
        return app::Outcome::failed(e.message());
    }
    return app::Outcome::accepted(first);
}

qint64 transferPartner(store::Database& db, qint64 id)
{
    const std::optional<StoredRow> row = storedRow(db, id);
    if (!row || !isTransfer(row->tipoMovimento))
        return 0;
    // The other half sits at the next key after the cash row, at the previous one before the bank row.
    const std::optional<StoredRow> partner = storedRow(db, row->metodo == kPlaceCassa ? id + 1 : id - 1);
    return isPartner(*row, partner) ? partner->id : 0;
}

app::Outcome modifyIncomeRow(app::Workspace& ws, qint64 id, const MovementInput& in)
{
    store::Database& db = ws.mainDb();
    try {
        store::Transaction transaction(db);
        store::refuseIfChanged(db, in.asRead);
        const std::optional<StoredRow> row = storedRow(db, id);
        if (!row)
            return app::Outcome::failed(QStringLiteral("Entrate: riga %1 non trovata").arg(id));
        if (!isOpeningOrTransfer(row->tipoMovimento)) {
            // A payment: its amount, quotas and receipt stay as they are.
            db.exec(QStringLiteral("UPDATE Entrate SET Data = ?, MetodoPagamento = ?, Nota = ? WHERE id = ?"),
                    {dateOrNull(in.data), in.metodoPagamento, in.nota, id});
        } else {
            app::Outcome refusal;
            const std::optional<Money> amount = movementAmount(in.importo, refusal);
            if (!amount)
                return refusal;
            if (row->tipoMovimento == kOpeningAmount) {
                db.exec(QStringLiteral("UPDATE Entrate SET Importo = ?, Data = ?, MetodoPagamento = ?, Tipologia = ?, "
                                       "Nota = ? WHERE id = ?"),
                        {amount->toDouble(), dateOrNull(in.data), in.metodoPagamento, in.tipologia, in.nota, id});
            } else {
                const std::optional<StoredRow> partner = storedRow(db, transferPartner(db, id));
                if (!partner)
                    return app::Outcome::refused(kBrokenTransferMessage, app::MessageKind::Warning);
                updateTransferRow(db, *row, *amount, in);
                updateTransferRow(db, *partner, *amount, in);
            }
        }
        transaction.commit();
    } catch (const store::StoreError& e) {
        if (const QString stale = store::staleRowText(db, in.asRead, e); !stale.isEmpty())
            return app::Outcome::staleRow(stale);
        return app::Outcome::failed(e.message());
    }
    return app::Outcome::accepted(id);
}

std::optional<IncomeRow> readIncomeRow(app::Workspace& ws, qint64 id)
{
    store::Statement st(ws.mainDb(), QStringLiteral("SELECT Condominio, TipoMovimento, Importo, Data, MetodoPagamento, "
                                                    "Tipologia, Nota FROM Entrate WHERE id = ?"));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    IncomeRow r;
    r.condominio = st.value(0).toString();
    r.input.tipoMovimento = st.value(1).toString();
    const Money amount = Money::fromDouble(st.value(2).toDouble());
    r.input.importo = (isTransfer(r.input.tipoMovimento) && amount < Money() ? -amount : amount).toString();
    r.input.data = st.value(3).toDate();
    r.input.metodoPagamento = st.value(4).toString();
    r.input.tipologia = st.value(5).toString();
    r.input.nota = st.value(6).toString();
    return r;
}

} // namespace velcaris::cashbook
