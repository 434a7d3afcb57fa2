#include "app/ctl/LearnOutput.h"

void PrintLearnReport(const LearnReport& report, const LearnCheck& check, std::ostream& out) {
    out << "frame: " << (report.frameFound ? "yes" : "no") << "\n";
    out << "cut: " << (report.cut ? "yes" : "no") << "\n";
    out << "checked: " << CheckWord(check.outcome) << "\n";
    if (check.outcome == CheckOutcome::No) {
        out << "difference: " << CheckDifference(check).toStdString() << "\n";
    }
}
