#pragma once
// A run of documents from one template, one per checked entry of a list: the merge engine does
// not wait for the disk after each document, the first failure ends the run and the documents
// written before it stay.
#include "foundation/Outcome.h"
#include "documents/RtfReport.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace velcaris::documents {

struct DocumentBatch {
    app::Outcome outcome;
    QStringList written; // the documents written, in order (they stay also after a failure)
};

struct BatchSteps {
    int count = 0;
    std::function<bool(int)> checked;                      // whether entry i is wanted
    std::function<void(int)> produce;                      // merges entry i (the engine's OutFile is kept)
    std::function<QString(int, const QString&)> failure;   // the message for entry i failed for a reason
    std::function<void(int)> gauge;                        // the gauge's position after each entry; may be empty
};

DocumentBatch produceBatch(TRtfReport& report, const BatchSteps& steps);

// Runs one merge; the reason it failed (the engine's, the database's or any other), or an empty
// text when it went through.
QString mergeFailure(const std::function<void()>& merge);

} // namespace velcaris::documents
