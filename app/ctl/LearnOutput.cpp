#include "app/ctl/LearnOutput.h"

#include "app/ctl/Durations.h"
#include "model/ResultText.h"

LearnRequest LearnRequestFor(const CodebaseTarget& codebase, const QString& path) {
    LearnRequest request;
    request.button = QString::fromStdString(codebase.button);
    if (codebase.Given()) {
        request.path = path;
        // Without --signal the signal is the whole button, as single learning makes it.
        request.onlySignal = codebase.signalGiven ? codebase.signal : 0;
    }
    return request;
}

int PrintLearnOutcome(const std::string& command, const LearnOutcome& outcome,
                      const CodebaseTarget& codebase, std::ostream& out, std::ostream& err) {
    const IrSignal signal = outcome.learnt.empty() ? IrSignal{} : outcome.learnt.front();
    out << "result: " << outcome.ir.result << "\n";
    out << "carrier_us: " << int(signal.carrierPeriod) << "\n";
    out << "frame_start: " << int(signal.frameStart) << "\n";
    out << "count: " << int(signal.count) << "\n";
    out << "durations: " << JoinDurations(signal.durations, signal.count) << "\n";
    if (!outcome.reports.empty()) {
        const LearnReport& report = outcome.reports.front();
        const LearnCheck check = outcome.checks.empty() ? LearnCheck{} : outcome.checks.front();
        out << "frame: " << (report.frameFound ? "yes" : "no") << "\n";
        out << "cut: " << (report.cut ? "yes" : "no") << "\n";
        out << "checked: " << CheckWord(check.outcome) << "\n";
        if (check.outcome == CheckOutcome::No) {
            out << "difference: " << CheckDifference(check).toStdString() << "\n";
        }
    }
    if (outcome.code != kOpOk) {
        err << "ardelctl " << command << ": " << LearnFailureText(outcome).toStdString() << "\n";
        return 1;
    }
    out << "learnt: " << LearntHeadline(outcome).toStdString() << "\n";
    if (outcome.Stored()) {
        out << "stored: " << codebase.button << " signal " << codebase.signal << "\n";
    }
    return 0;
}
