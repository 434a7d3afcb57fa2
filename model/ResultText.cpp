#include "model/ResultText.h"

#include <QStringList>
#include <iterator>
#include <span>

#include "ir/IrResult.h"
#include "ir/protocols/IrProtocol.h"
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

namespace {

IrDecoded Decoded(const IrSignal& signal) {
    return DecodeIrSignal(std::span<const int32_t>(signal.durations, signal.count),
                          signal.carrierPeriod);
}

QString Hex(uint32_t value) {
    return "0x" + QString::number(value, 16).toUpper();
}

// "SIRC 0x3/0x15", or empty when no protocol names the signal.
QString CodeOf(const IrSignal& signal) {
    const IrDecoded decoded = Decoded(signal);
    if (!decoded.protocol) {
        return QString();
    }
    return QString::fromLatin1(decoded.protocol->name) + " " + Hex(decoded.frame.code.address) +
           "/" + Hex(decoded.frame.code.command);
}

// Whether the two signals of a double button send the same: the same code where a protocol
// names both, else the same marks and spaces within the learning check's tolerance.
bool SameSignals(const IrSignal& first, const IrSignal& second) {
    const IrDecoded one = Decoded(first);
    const IrDecoded two = Decoded(second);
    if (one.protocol && two.protocol) {
        return one.protocol == two.protocol && one.frame.code.address == two.frame.code.address &&
               one.frame.code.command == two.frame.code.command &&
               one.frame.code.toggle == two.frame.code.toggle;
    }
    if (one.protocol || two.protocol) {
        return false;
    }
    const bool endsOnSpace = second.count > 0 && second.durations[second.count - 1] < 0;
    return CompareLearnt(first, std::span<const int32_t>(second.durations,
                                                         second.count - (endsOnSpace ? 1 : 0)))
               .outcome == CheckOutcome::Yes;
}

}  // namespace

QString LearntHeadline(const LearnOutcome& outcome) {
    if (outcome.learnt.empty()) {
        return QString();
    }
    const QString code = CodeOf(outcome.learnt[0]);
    if (outcome.byCode) {
        return StringText(kStrGivenCode, {outcome.button, code});
    }
    return code.isEmpty() ? StringText(kStrLearntRaw, {outcome.button})
                          : StringText(kStrLearntCode, {outcome.button, code});
}

QString LearntText(const LearnOutcome& outcome) {
    const std::vector<LearnReport>& reports = outcome.reports;
    const std::vector<LearnCheck>& checks = outcome.checks;
    QStringList lines;
    // What was learnt, by name: the button and the code that its signal sends.
    if (!outcome.learnt.empty()) {
        lines << LearntHeadline(outcome);
    }
    for (size_t k = 0; k < reports.size(); ++k) {
        const LearnReport& report = reports[k];
        QString line = reports.size() > 1 ? StringText(kStrLearntSignal, {QString::number(k + 1)})
                                          : StringText(kStrLearntOne);
        if (k > 0 && k < outcome.learnt.size()) {
            const QString code = CodeOf(outcome.learnt[k]);
            if (!code.isEmpty()) {
                line += code + ", ";
            }
        }
        line += StringText(kStrLearntEntries,
                           {QString::number(report.entries),
                            StringText(report.frameFound ? kStrFrameFound : kStrNoFrameFound)});
        line +=
            report.carrierUs > 0
                ? StringText(kStrLearntKilohertz,
                             {QString::number((1000 + report.carrierUs / 2) / report.carrierUs)})
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
    if (outcome.learnt.size() == 2) {
        lines << StringText(SameSignals(outcome.learnt[0], outcome.learnt[1]) ? kStrSignalsSame
                                                                              : kStrSignalsDiffer);
    }
    if (outcome.toggled) {
        lines << StringText(kStrToggleStored);
    }
    return lines.join("\n");
}
