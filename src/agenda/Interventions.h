#pragma once
// The log of contacts and interventions (saved query QueryInterventiAC, dataset
// ADOQueryInterventi): what the dialog shows for a new or the current intervention, the list of
// contact types, and writing it back.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

namespace velcaris::agenda {

// What the controls of the interventions dialog hold.
struct InterventionInput {
    QString condominio;   // LabelCondominio
    QString aa;           // LabelAnnoAmministrativo: the year's name, empty when none is current
    QString contatto;
    QString motivo;       // stored as Descrizione
    QString tipoContatto; // one of the contact types, as shown
    QDate data;
    QTime ora;            // hours and minutes
    QString durata;       // minutes, as typed
    bool concluso = false;
};

// The Tipo values of TipoAvvisi in stored order.
QStringList contactTypes(app::Workspace& ws);

// Add mode: the current condominium and its current year's name (empty when it has none), empty
// texts, the first contact type, now.
InterventionInput newIntervention(app::Workspace& ws, const QDateTime& now);
// Modify mode: the current row of the interventions register; nothing when it shows no row.
std::optional<InterventionInput> currentIntervention(app::Workspace& ws);

// Writes a new intervention (add) or the current row (modify).
app::Outcome saveIntervention(app::Workspace& ws, app::EditMode mode, const InterventionInput& input);

} // namespace velcaris::agenda
