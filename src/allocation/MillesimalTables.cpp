#include "allocation/MillesimalTables.h"

#include "allocation/Registers.h"
#include "allocation/Thousandths.h"
#include "foundation/ColourText.h"
#include "registry/Condominiums.h"
#include "store/Database.h"
#include "store/RowStamp.h"
#include "store/StoreError.h"

#include <algorithm>

namespace velcaris::allocation {

using store::Database;
using store::Statement;

QString duplicateTableMessage(const QString& name)
{
    return QStringLiteral("La tebella ") + name +
           QStringLiteral(" gia' esiste. Inserire un nome differente per la tabella.");
}

namespace {

const QString kSelect = QStringLiteral("SELECT Id, Id_Condominio, Nome, Descrizione, Colore FROM Tabelle");

TableRecord recordAt(const Statement& st)
{
    TableRecord r;
    r.id = st.value(0).toLongLong();
    r.condominium = st.value(1).toString();
    r.data.nome = st.value(2).toString();
    r.data.descrizione = st.value(3).toString();
    r.data.colore = st.value(4).toString();
    return r;
}

// The checks both modes share; an empty text when the input may be written.
QString inputProblem(const TableInput& input)
{
    if (input.nome.trimmed().isEmpty())
        return kTableNameMissing;
    return QString();
}

// A colour text the grid can paint: an unreadable one becomes the new table's colour.
QString storedColour(const QString& colour)
{
    const std::optional<app::Rgb> rgb = app::colourFromText(colour);
    return rgb ? app::colourToText(*rgb) : kNewTableColour;
}

} // namespace

std::optional<TableRecord> readTable(app::Workspace& ws, qint64 id)
{
    Statement st(ws.mainDb(), kSelect + QStringLiteral(" WHERE Id = ?"));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    return recordAt(st);
}

QVector<TableRecord> condominiumTables(app::Workspace& ws, const QString& condominium)
{
    QVector<TableRecord> tables;
    Statement st(ws.mainDb(), kSelect + QStringLiteral(" WHERE Id_Condominio = ?"));
    st.bind(1, condominium);
    while (st.step())
        tables << recordAt(st);
    std::sort(tables.begin(), tables.end(), [](const TableRecord& a, const TableRecord& b) {
        if (const int c = a.data.nome.compare(b.data.nome, Qt::CaseInsensitive))
            return c < 0;
        if (const int c = a.data.nome.compare(b.data.nome))
            return c < 0;
        return a.id < b.id;
    });
    return tables;
}

app::Outcome addTable(app::Workspace& ws, const TableInput& input)
{
    if (const QString problem = inputProblem(input); !problem.isEmpty())
        return app::Outcome::refused(problem);
    const QString& condominium = ws.selection.condominium;
    if (condominium.isEmpty())
        return app::Outcome::refused(registry::kChooseCondominiumFirst, app::MessageKind::Information);
    Database& db = ws.mainDb();
    const QVariant taken =
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM Tabelle WHERE Id_Condominio = ? AND Nome = ?"),
                  {condominium, input.nome});
    if (taken.toLongLong() > 0) {
        store::Dataset& tables = ws.ds(QStringLiteral("ADOTableTabelle"));
        if (tables.isActive())
            tables.first();
        return app::Outcome::refused(duplicateTableMessage(input.nome));
    }
    qint64 id = -1;
    {
        store::Transaction transaction(db);
        db.exec(QStringLiteral("INSERT INTO Tabelle (Id_Condominio, Nome, Descrizione, Colore) VALUES (?, ?, ?, ?)"),
                {condominium, input.nome, input.descrizione, storedColour(input.colore)});
        id = db.lastInsertId();
        addTableThousandths(db, condominium, id);
        transaction.commit();
    }
    requeryRegisters(ws, {"ADOTableTabelle", "ADOTableMillesimi"});
    return app::Outcome::accepted(id);
}

app::Outcome modifyTable(app::Workspace& ws, qint64 id, const TableInput& input)
{
    if (const QString problem = inputProblem(input); !problem.isEmpty())
        return app::Outcome::refused(problem);
    Database& db = ws.mainDb();
    try {
        store::Transaction transaction(db);
        store::refuseIfChanged(db, input.asRead);
        const std::optional<TableRecord> old = readTable(ws, id);
        if (!old)
            throw store::StoreError(QStringLiteral("Tabelle: riga %1 non trovata").arg(id));
        db.exec(QStringLiteral("UPDATE Tabelle SET Nome = ?, Descrizione = ?, Colore = ? WHERE Id = ?"),
                {input.nome, input.descrizione, storedColour(input.colore), id});
        // Expenses and budget items name their table: they follow the rename.
        db.exec(QStringLiteral("UPDATE Uscite SET Tabella = ? WHERE Condominio = ? AND Tabella = ?"),
                {input.nome, old->condominium, old->data.nome});
        db.exec(QStringLiteral("UPDATE Preventivi SET Tabella = ? WHERE Condominio = ? AND Tabella = ?"),
                {input.nome, old->condominium, old->data.nome});
        transaction.commit();
    } catch (const store::StoreError& e) {
        if (const QString stale = store::staleRowText(db, input.asRead, e); !stale.isEmpty())
            return app::Outcome::staleRow(stale);
        throw;
    }
    requeryRegisters(ws, {"ADOTableTabelle", "ADOQueryUscite", "ADOTableUscite", "ADOTablePreventivi",
                          "ADOQueryPreventivi"});
    return app::Outcome::accepted(id);
}

} // namespace velcaris::allocation
