#include "documents/DocumentBatch.h"

#include "documents/LetterRecipients.h"
#include "documents/ReportError.h"
#include "store/StoreError.h"

namespace velcaris::documents {

QString mergeFailure(const std::function<void()>& merge)
{
    try {
        merge();
    } catch (const ReportError& err) {
        return err.message();
    } catch (const store::StoreError& err) {
        return err.message();
    } catch (const std::exception& err) {
        return QString::fromStdString(err.what());
    }
    return {};
}

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
            const QString failure = mergeFailure([&] { steps.produce(i); });
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
