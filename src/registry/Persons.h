#pragma once
// The persons register (Anagrafe): what TFormAnagrafe shows and what its "Conferma" writes,
// including the web registration of a person saved with credentials.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "registry/Credentials.h"
#include "store/RowStamp.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace velcaris::registry {

// The contents of the dialog's controls.
struct PersonInput {
    QString cognome;
    QString nome;
    QString mobile;
    QString telefono;
    QString fax;
    QString indirizzo;
    QString cap;
    QString citta;
    QString email;
    QString codiceFiscale;
    QString comunicazioni;
    bool consiglio = false;
    QString note;
    QString userId;
    QString password;
    // The person's row as the dialog read it: a modification is refused, nothing written, when
    // another desk has changed the row since (unset: no check).
    store::RowStamp asRead;
};

// The channels of the drop-down list (TipoAvvisi.Tipo in stored order).
QStringList noticeChannels(app::Workspace& ws);
// "Raccomandata" when listed, else the first channel, else an empty text.
QString defaultNoticeChannel(app::Workspace& ws);

// Add mode: every box empty, the default channel, council unchecked.
PersonInput newPerson(app::Workspace& ws);
// Modify mode: the stored person; nullopt when there is no such row.
std::optional<PersonInput> readPerson(app::Workspace& ws, qint64 id);

// "Conferma". Without `id` a person of the current condominium is added; with it that person is
// changed (its condominium stays as stored). With both credentials filled the person is also
// registered in the web database, and `web` (when given) tells what that wrote. Everything happens
// in one transaction: a failure of either database leaves both as they were and its text is the
// outcome's message; a person changed or deleted by another desk since `input.asRead` is a stale
// refusal (Outcome::stale). The outcome's key is the person's Anagrafe Id.
app::Outcome savePerson(app::Workspace& ws, std::optional<qint64> id, const PersonInput& input,
                        std::optional<WebRegistration>* web = nullptr);

} // namespace velcaris::registry
