#include "model/ResultText.h"

#include <QStringList>
#include <iterator>

#include "ir/IrResult.h"
#include "resources/StringText.h"

namespace {

// The LIRC faults and the message that names the device of each.
struct LircWording {
    int result;
    int text;
};
constexpr LircWording kLircWordings[] = {
    {kIrLircNoDevice, kStrLircNoDevice},
    {kIrLircNoPermission, kStrLircNoPermission},
    {kIrLircBusy, kStrLircBusy},
    {kIrLircCannotSend, kStrLircCannotSend},
    {kIrLircCannotReceive, kStrLircCannotReceive},
    {kIrLircUnplugged, kStrLircUnplugged},
    {kIrLircInvalid, kStrLircInvalid},
    {kIrLircOverflow, kStrLircOverflow},
    {kIrLircCannotCarry, kStrLircCannotCarry},
    {kIrLircIoError, kStrLircIoError},
};

}  // namespace

QString IrFailureText(const IrFailure& failure, IrAction action) {
    const int result = failure.result;
    const QString port = QString::fromStdString(failure.port);
    for (const LircWording& wording : kLircWordings) {
        if (wording.result == result) {
            QString text = StringText(wording.text, {port});
            if (result == kIrLircNoPermission && !failure.group.empty()) {
                text += StringText(kStrLircJoinGroup, {QString::fromStdString(failure.group)});
            }
            return text;
        }
    }
    const bool capturing = action == IrAction::Capture;
    switch (result) {
        case kIrOk:
            return QString();
        case kIrNoSignal:
            if (capturing) {
                return StringText(kStrNoSignalHeard);
            }
            break;
        case kIrCarrierTooLong:
        case kIrMarkTooLong:
            if (capturing) {
                return StringText(kStrReceiveProblem, {QString::number(result)});
            }
            break;
        case kIrPortBusy:
            return StringText(kStrPortBusy, {port});
        case kIrNoPortName:
            return StringText(kStrPortNotSelected);
        default:
            break;
    }
    return StringText(kStrDriverError, {QString::number(result)});
}

QString StoreFailureText(StoreResult result, const QString& path, const QString& button) {
    switch (result) {
        case kStoreOk:
            return QString();
        case kStoreNotCreated:
            return StringText(kStrCreateFileFailed, {path});
        case kStoreNotACodebase:
            return StringText(kStrNotACodebase, {path});
        case kStoreNotOpened:
            return StringText(kStrCannotReadCodebase, {path});
        case kStoreNoButton:
            return StringText(kStrNoSuchButton, {button, path});
        case kStoreNoSignal:
            return StringText(kStrButtonHoldsNoSignal, {button, path});
        case kStoreNotStored:
        default:
            return StringText(kStrSignalNotStored, {path});
    }
}

QString LearnFailureText(const LearnOutcome& outcome) {
    switch (outcome.code) {
        case kOpOk:
        case kOpCancelled:
            return QString();
        case kOpNoDriver:
            return StringText(kStrNoIrDevice);
        case kOpNoSignal:
            return StringText(kStrNoSignalHeard);
        case kOpCut:
            return StringText(kStrSignalCut);
        case kOpNotStored:
            // A file in the way that is no codebase is, for a learn, a codebase that could
            // not be made.
            return outcome.store == kStoreNotACodebase
                       ? StringText(kStrCreateFileFailed, {outcome.path})
                       : StoreFailureText(outcome.store, outcome.path, QString());
        case kOpIrFailed:
        default:
            return IrFailureText(outcome.ir, IrAction::Capture);
    }
}

QString LearntText(const LearnOutcome& outcome) {
    const std::vector<LearnReport>& reports = outcome.reports;
    const std::vector<LearnCheck>& checks = outcome.checks;
    QStringList lines;
    for (size_t k = 0; k < reports.size(); ++k) {
        const LearnReport& report = reports[k];
        QString line = reports.size() > 1 ? StringText(kStrLearntSignal, {QString::number(k + 1)})
                                          : StringText(kStrLearntOne);
        line += StringText(kStrLearntEntries,
                           {QString::number(report.entries),
                            StringText(report.frameFound ? kStrFrameFound : kStrNoFrameFound)});
        line += report.carrierUs > 0
                    ? StringText(kStrLearntCarrier, {QString::number(report.carrierUs)})
                    : StringText(kStrCarrierNotMeasured);
        if (report.entries > kLongSignalEntries) {
            line += StringText(kStrLearntLength, {QString::number((report.lengthUs + 500) / 1000)});
        }
        lines << line;
        if (k >= checks.size()) {
            continue;
        }
        const LearnCheck& check = checks[k];
        if (check.outcome == CheckOutcome::Yes) {
            lines << StringText(kStrCheckedSame);
        } else if (check.outcome == CheckOutcome::No) {
            lines << StringText(kStrCheckedDifferent, {CheckDifference(check)});
        } else {
            lines << StringText(kStrNotChecked);
        }
    }
    if (outcome.toggled) {
        lines << StringText(kStrToggleStored);
    }
    return lines.join("\n");
}
