#pragma once
// A notice of a meeting recorded in the register: its place, the date and time of the call it
// records, whether it is extraordinary, and its agenda (the resolutions in their order) take the
// place of what the notice's own fields say.
#include "foundation/Workspace.h"
#include "documents/Notices.h"
#include "meeting/Meetings.h"

#include <QString>
#include <QVector>

namespace velcaris::meeting {

// `typed` with the meeting's data. A meeting held at the first call gives data1/ora1; one held
// at the second call gives data2/ora2 (the other call keeps the typed date and time). The agenda
// is the meeting's resolutions when it has any, else the typed one. A meeting that is not of the
// current condominium, or no longer exists, leaves `typed` as it is.
documents::NoticeRequest noticeFromMeeting(app::Workspace& ws, qint64 meetingId, const documents::NoticeRequest& typed);

// How the notice's choice of meetings names one: "20/11/2024 18:30 - Sala condominiale (ordinaria)".
QString meetingCaption(const MeetingRecord& meeting);

} // namespace velcaris::meeting
