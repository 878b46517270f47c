#include "publishing/Recipients.h"

#include "store/FilterText.h"

namespace velcaris::publishing {

namespace {

using store::andTerms;
using store::equalsTerm;

// The addresses of every row of `source` that `filter` keeps, in the order the register's grid
// shows them, read through a dataset of its own: the grid is left as it is.
QStringList addressesOf(store::Dataset& register_, const QString& source, const QString& filter)
{
    store::Dataset rows;
    rows.setConnection(register_.connection());
    rows.setTableName(source);
    rows.open();
    if (register_.tableName().compare(source, Qt::CaseInsensitive) == 0)
        rows.setSort(register_.sort());
    rows.setFilter(filter);
    QStringList out;
    for (int r = 0; r < rows.rowCount(); ++r)
        out << rows.valueAt(r, QStringLiteral("Email")).toString();
    return out;
}

QStringList addressesOfKeys(store::Database& db, const QString& table, const QString& key, const QVector<qint64>& keys)
{
    QStringList out;
    const QString sql = QStringLiteral("SELECT Email FROM %1 WHERE %2 = ?").arg(table, key);
    for (qint64 k : keys)
        out << db.scalar(sql, {k}).toString();
    return out;
}

// The second way of receiving communications in the lookup table: e-mail.
QString emailCommunicationType(store::Database& db)
{
    store::Statement st(db, QStringLiteral("SELECT Tipo FROM TipoAvvisi ORDER BY Id"));
    if (!st.step() || !st.step())
        return QString();
    return st.value(0).toString();
}

} // namespace

QString recipientModeText(RecipientMode mode)
{
    switch (mode) {
    case RecipientMode::Tutti: return QStringLiteral("tutti");
    case RecipientMode::Liberatorie: return QStringLiteral("liberatorie");
    case RecipientMode::Selezionati: return QStringLiteral("selezionati");
    case RecipientMode::TuttiFornitori: return QStringLiteral("tuttiFornitori");
    case RecipientMode::SelezionatiFornitori: return QStringLiteral("selezionatiFornitori");
    }
    return QString();
}

std::optional<RecipientMode> recipientModeFromText(const QString& text)
{
    for (RecipientMode m : {RecipientMode::Tutti, RecipientMode::Liberatorie, RecipientMode::Selezionati,
                            RecipientMode::TuttiFornitori, RecipientMode::SelezionatiFornitori})
        if (recipientModeText(m) == text)
            return m;
    return std::nullopt;
}

bool isSupplierMode(RecipientMode mode)
{
    return mode == RecipientMode::TuttiFornitori || mode == RecipientMode::SelezionatiFornitori;
}

bool isUsableAddress(const QString& address)
{
    for (QChar c : address)
        if (c.isSpace() || c.unicode() < 0x20 || c == u',' || c == u';' || c == u'<' || c == u'>' || c == u'"')
            return false;
    const int at = address.indexOf(u'@');
    return at > 0 && at == address.lastIndexOf(u'@') && at < address.size() - 1;
}

Recipients gatherRecipients(app::Workspace& ws, RecipientMode mode, const QVector<qint64>& selectedPersons,
                            const QVector<qint64>& selectedSuppliers)
{
    const QString& cond = ws.selection.condominium;
    const QString condTerm = cond.isEmpty() ? QString() : equalsTerm(QStringLiteral("idCondominio"), cond);
    const QString withAddress = QStringLiteral("Email<>''");
    QStringList found;
    switch (mode) {
    case RecipientMode::Tutti:
        found = addressesOf(ws.ds(QStringLiteral("ADOTableAnagrafe")), QStringLiteral("Anagrafe"),
                            andTerms({condTerm, withAddress}));
        break;
    case RecipientMode::Liberatorie: {
        const QString type = emailCommunicationType(ws.mainDb());
        if (!type.isEmpty())
            found = addressesOf(ws.ds(QStringLiteral("ADOTableAnagrafe")), QStringLiteral("Anagrafe"),
                                andTerms({condTerm, equalsTerm(QStringLiteral("Comunicazioni"), type)}));
        break;
    }
    case RecipientMode::Selezionati:
        found = addressesOfKeys(ws.mainDb(), QStringLiteral("Anagrafe"), QStringLiteral("Id"), selectedPersons);
        break;
    case RecipientMode::TuttiFornitori:
        // The same views the Fornitori tab shows: the condominium's suppliers, or every supplier.
        found = addressesOf(ws.ds(QStringLiteral("ADOQueryFornitori")),
                            cond.isEmpty() ? QStringLiteral("QueryFornitoriCompleta") : QStringLiteral("QueryFornitori"),
                            andTerms({condTerm, withAddress}));
        break;
    case RecipientMode::SelezionatiFornitori:
        found = addressesOfKeys(ws.mainDb(), QStringLiteral("Fornitori"), QStringLiteral("id"), selectedSuppliers);
        break;
    }
    Recipients out;
    for (const QString& raw : found) {
        const QString address = raw.trimmed();
        if (address.isEmpty())
            continue; // a person without an address: nobody to write to
        (isUsableAddress(address) ? out.addresses : out.skipped) << address;
    }
    return out;
}

} // namespace velcaris::publishing
