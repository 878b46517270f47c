#pragma once
// The resolutions on a meeting's agenda, each with the majority it requires, and the votes of the
// participants present on each.
#include "foundation/Outcome.h"
#include "foundation/Workspace.h"
#include "meeting/Attendance.h"
#include "meeting/Quorum.h"
#include "store/RowStamp.h"

#include <QHash>
#include <QString>
#include <QVector>
#include <optional>

namespace velcaris::meeting {

inline const QString kSubjectRequired = QStringLiteral("Inserire l'oggetto della delibera");
inline const QString kVoterNotPresent = QStringLiteral("Vota solo chi è presente o rappresentato");

struct ResolutionInput {
    QString oggetto;
    Majority majority = Majority::Ordinary;
    // The resolution's Delibere row as the window read it: a modification is refused, nothing
    // written, when another desk has changed the row since (unset: no check).
    store::RowStamp asRead;
};

struct ResolutionRecord {
    qint64 id = 0;
    int numero = 0; // its place on the agenda, from 1
    ResolutionInput data;
};

QVector<ResolutionRecord> resolutionsOf(app::Workspace& ws, qint64 meetingId);
std::optional<ResolutionRecord> readResolution(app::Workspace& ws, qint64 id);
// A new item at the end of the agenda; the key is the resolution's Id.
app::Outcome addResolution(app::Workspace& ws, qint64 meetingId, const ResolutionInput& input);
// A resolution changed or deleted by another desk since `input.asRead` is a stale refusal
// (Outcome::stale) and nothing is written.
app::Outcome modifyResolution(app::Workspace& ws, qint64 id, const ResolutionInput& input);
// The resolution with its votes, in one transaction.
app::Outcome deleteResolution(app::Workspace& ws, qint64 id);

// The recorded votes of a resolution, by person.
QHash<qint64, Vote> votesOf(app::Workspace& ws, qint64 resolutionId);
// Puts the votes into the participants of `state` (those without a vote get None).
void applyVotes(MeetingState& state, const QHash<qint64, Vote>& votes);
// Records one vote (None removes it); only a participant who counts in `state` votes.
app::Outcome setVote(app::Workspace& ws, MeetingState& state, qint64 resolutionId, qint64 personId, Vote vote);

// "Favorevole", "Contrario", "Astenuto", or empty for None.
QString voteText(Vote v);

} // namespace velcaris::meeting
