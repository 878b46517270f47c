#pragma once
// The millesimal tables of a condominium (Tabelle): what TFormTabelle shows and what its
// "Conferma" writes. A new table gets a zero thousandths row for every unit; a renamed table
// takes its expenses and budget items with it.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "store/RowStamp.h"

#include <QString>
#include <QVector>
#include <optional>

namespace velcaris::allocation {

inline const QString kTableNameMissing = QStringLiteral("Inserire il nome della tabella");
// The colour of a new table.
inline const QString kNewTableColour = QStringLiteral("clAqua");

// "La tebella <name> gia' esiste. ..." (the misspelling is the program's own text).
QString duplicateTableMessage(const QString& name);

// The contents of the dialog's controls; `colore` is a colour text ("clAqua", "$00FF8040").
struct TableInput {
    QString nome;
    QString descrizione;
    QString colore = kNewTableColour;
    // The table's Tabelle row as the dialog read it: a modification is refused, nothing written,
    // when another desk has changed the row since (unset: no check).
    store::RowStamp asRead;
};

struct TableRecord {
    qint64 id = -1;
    QString condominium;
    TableInput data;
};

std::optional<TableRecord> readTable(app::Workspace& ws, qint64 id);

// The tables of `condominium` in the order the unit view titles its columns: by name without
// regard to case, then by name, then by Id.
QVector<TableRecord> condominiumTables(app::Workspace& ws, const QString& condominium);

// "Conferma" in add mode: a table of the current condominium, refused when its name is empty or
// already taken there (the tables register then moves to its first row), with a zero
// thousandths row for every unit of the condominium. One transaction. The key is the table's Id.
app::Outcome addTable(app::Workspace& ws, const TableInput& input);

// "Conferma" in modify mode: the table takes the input; the expenses (Uscite) and budget items
// (Preventivi) of its condominium that named it by its old name follow the new one, in every
// year. A name another table already has is accepted. One transaction. A table changed or deleted
// by another desk since `input.asRead` is a stale refusal (Outcome::stale) and nothing is written.
app::Outcome modifyTable(app::Workspace& ws, qint64 id, const TableInput& input);

} // namespace velcaris::allocation
