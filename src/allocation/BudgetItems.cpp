#include "allocation/BudgetItems.h"

#include "allocation/MillesimalTables.h"
#include "allocation/QuotaSchedule.h"
#include "allocation/Registers.h"
#include "foundation/Selection.h"
#include "store/Database.h"
#include "store/Money.h"
#include "store/RowStamp.h"
#include "store/StoreError.h"

namespace velcaris::allocation {

using store::Database;

namespace {

const QString kAmountNotANumber =
    QStringLiteral("Il campo \"Spesa\" deve contenere un importo, con il punto come separatore decimale");
const QString kTableMissing = QStringLiteral("Scegliere la tabella millesimale della voce di spesa");

// The stored amount: rounded to cents, or NULL when none was typed; nullopt when the text is
// not an amount.
std::optional<QVariant> amountValue(const QString& text)
{
    if (text.trimmed().isEmpty())
        return QVariant();
    const std::optional<store::Money> amount = store::Money::parse(text);
    if (!amount)
        return std::nullopt;
    return QVariant(amount->toDouble());
}

void requeryAfterSave(app::Workspace& ws)
{
    requeryRegisters(ws, {"ADOTablePreventivi", "ADOQueryPreventivi", "ADOQueryUscite", "ADOTableUscite"});
}

} // namespace

std::optional<BudgetItemRecord> readBudgetItem(app::Workspace& ws, qint64 id)
{
    store::Statement st(ws.mainDb(), QStringLiteral("SELECT Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa "
                                                    "FROM Preventivi WHERE Id = ?"));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    BudgetItemRecord r;
    r.id = id;
    r.condominium = st.value(0).toString();
    r.year = st.value(1).toString();
    r.tabella = st.value(2).toString();
    r.descrizione = st.value(3).toString();
    const QVariant spesa = st.value(4);
    r.spesa = spesa.isNull() ? QString() : store::formatAmount(spesa.toDouble());
    return r;
}

app::Outcome addBudgetItem(app::Workspace& ws, const BudgetInput& input)
{
    Database& db = ws.mainDb();
    const QString& condominium = ws.selection.condominium;
    const QString year = currentYearOf(db, condominium);
    if (condominium.isEmpty() || year.isEmpty())
        return app::Outcome::refused(app::kRequireYearMessage, app::MessageKind::Information);
    std::optional<TableRecord> table;
    if (input.tableId)
        table = readTable(ws, *input.tableId);
    if (!table || table->condominium != condominium)
        return app::Outcome::refused(kTableMissing);
    const std::optional<QVariant> amount = amountValue(input.spesa);
    if (!amount)
        return app::Outcome::refused(kAmountNotANumber);
    db.exec(QStringLiteral("INSERT INTO Preventivi (Condominio, AA, Tabella, DescrizioneVoceSpesa, Spesa) "
                           "VALUES (?, ?, ?, ?, ?)"),
            {condominium, year, table->data.nome, input.descrizione, *amount});
    const qint64 id = db.lastInsertId();
    requeryAfterSave(ws);
    return app::Outcome::accepted(id);
}

app::Outcome modifyBudgetItem(app::Workspace& ws, qint64 id, const BudgetInput& input)
{
    const std::optional<QVariant> amount = amountValue(input.spesa);
    if (!amount)
        return app::Outcome::refused(kAmountNotANumber);
    Database& db = ws.mainDb();
    try {
        store::Transaction transaction(db);
        store::refuseIfChanged(db, input.asRead);
        const std::optional<BudgetItemRecord> old = readBudgetItem(ws, id);
        if (!old)
            throw store::StoreError(QStringLiteral("Preventivi: riga %1 non trovata").arg(id));
        db.exec(QStringLiteral("UPDATE Preventivi SET DescrizioneVoceSpesa = ?, Spesa = ? WHERE Id = ?"),
                {input.descrizione, *amount, id});
        // Expenses name their item by its description.
        db.exec(QStringLiteral("UPDATE Uscite SET TipoSpesa = ? "
                               "WHERE Condominio = ? AND Tabella = ? AND AA = ? AND TipoSpesa = ?"),
                {input.descrizione, old->condominium, old->tabella, old->year, old->descrizione});
        transaction.commit();
    } catch (const store::StoreError& e) {
        if (const QString stale = store::staleRowText(db, input.asRead, e); !stale.isEmpty())
            return app::Outcome::staleRow(stale);
        throw;
    }
    requeryAfterSave(ws);
    return app::Outcome::accepted(id);
}

} // namespace velcaris::allocation
