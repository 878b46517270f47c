#pragma once
// The units of a condominium (Locali) with their thousandths: what TFLocali shows and what its
// "Conferma" writes. A new unit gets a thousandths row in every table and a zero-amount copy of
// the current year's quota schedule.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "store/RowStamp.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace velcaris::allocation {

inline const QString kNoTableForUnits = QStringLiteral(
    "E' necessario inserire preventivamente almeno una tabella millesimale nella linguetta \"Condomini\"");

// One cell of the thousandths grid: the table (by Id, so that two tables of the same name stay
// apart) and the text typed for it.
struct ThousandthsCell {
    qint64 tableId = -1;
    QString text;
};

// The contents of the dialog's controls.
struct UnitInput {
    QString nome;
    QString tipologia;
    QString piano;
    QString scala;
    QString foglio;
    QString particella;
    QString sub;
    std::optional<qint64> proprietario; // Anagrafe.Id
    std::optional<qint64> inquilino;
    QString partecipazioneORD = QStringLiteral("100");
    QString partecipazioneSTR = QStringLiteral("100");
    QVector<ThousandthsCell> millesimi;
    // The unit's row and its thousandths rows as the dialog read them (stampUnit): a modification
    // is refused, nothing written, when another desk has changed either since (unset: no check).
    store::RowStamp asRead;
    store::RowStamp thousandthsAsRead;
};

// An entry of the owner and tenant lists (QueryComboPropInq).
struct PersonChoice {
    qint64 id = -1;
    QString persona;
};

// The unit types in ascending order.
QStringList unitTypes(app::Workspace& ws);
// The persons of `condominium`, by display name.
QVector<PersonChoice> personChoices(app::Workspace& ws, const QString& condominium);

// Add mode: the first type, the first person as owner and tenant, both percentages 100 and an
// empty cell for every table of the current condominium.
UnitInput newUnit(app::Workspace& ws);
// Modify mode: the stored unit with its thousandths in every table of its condominium ("0.000"
// for a table it has no row in); nullopt when there is no such unit. An owner or tenant that is
// no longer a person is kept as stored.
std::optional<UnitInput> readUnit(app::Workspace& ws, qint64 id);
// The unit's Locali row and its Millesimi rows as stored now, into `unit`'s stamps.
void stampUnit(app::Workspace& ws, qint64 id, UnitInput& unit);

// "Conferma". Without `id` a unit of the current condominium is added, with a thousandths row for
// every table of the condominium and a copy of the quota schedule; with it that unit is changed
// and its thousandths set (a table it had no row in gets one). Type, owner and tenant must be
// chosen; the percentages must be whole numbers from 0 to 100 and each thousandths cell a number
// (empty is 0): anything else is refused, naming the field, before a row is written. One
// transaction. A unit another desk changed or deleted since its stamps is a stale refusal
// (Outcome::stale). The key is the unit's Id.
app::Outcome saveUnit(app::Workspace& ws, std::optional<qint64> id, const UnitInput& input);

} // namespace velcaris::allocation
