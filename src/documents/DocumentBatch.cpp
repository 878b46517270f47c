#include "documents/DocumentBatch.h"

#include "documents/LetterRecipients.h"
#include "documents/ReportError.h"
#include "store/StoreError.h"

namespace velcaris::documents {

DocumentBatch produceBatch(TRtfReport& report, const BatchSteps& steps)
{
    DocumentBatch run;
    // Such documents can be written again at will: the run does not wait for the disk after each one.
    struct NoSync {
        TRtfReport& r;
        bool was;
        ~NoSync() { r.SyncEachDocument = was; }
    } noSync{report, report.SyncEachDocument};
    report.SyncEachDocument = false;

    for (int i = 0; i < steps.count; ++i) {
        if (steps.checked(i)) {
            QString failure;
            try {
                steps.produce(i);
            } catch (const ReportError& err) {
                failure = err.message();
            } catch (const store::StoreError& err) {
                failure = err.message();
            } catch (const std::exception& err) {
                failure = QString::fromStdString(err.what());
            }
            if (!failure.isEmpty()) {
                report.ClearVariables();
                run.outcome = app::Outcome::refused(steps.failure(i, failure), app::MessageKind::Error);
                return run;
            }
            run.written << report.OutFile();
        }
        if (steps.gauge)
            steps.gauge(gaugePosition(i, steps.count));
    }
    run.outcome = app::Outcome::accepted();
    return run;
}

} // namespace velcaris::documents
