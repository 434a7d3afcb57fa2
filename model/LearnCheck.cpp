#include "model/LearnCheck.h"

#include <algorithm>
#include <cstdlib>

#include "ir/IrResult.h"

LearnReport ReportOf(const IrSignal& signal, bool bufferFull) {
    LearnReport report;
    report.entries = signal.count;
    report.frameFound = signal.count > 0 && signal.frameStart < signal.count;
    report.carrierUs = signal.carrierPeriod;
    report.cut = bufferFull && !report.frameFound;
    for (int k = 0; k < signal.count; ++k) {
        report.lengthUs += std::llabs(static_cast<int64_t>(signal.durations[k]));
    }
    return report;
}

int32_t CheckToleranceUs(int32_t learntUs, int carrierUs) {
    const int64_t length = std::llabs(static_cast<int64_t>(learntUs));
    return static_cast<int32_t>(carrierUs + kCheckSlackUs + length * kCheckSlackPerMille / 1000);
}

LearnCheck CompareLearnt(const IrSignal& learnt, std::span<const int32_t> heard) {
    LearnCheck check;
    check.outcome = CheckOutcome::Yes;
    const bool endsOnSpace = learnt.count > 0 && learnt.durations[learnt.count - 1] < 0;
    check.storedCount = learnt.count - (endsOnSpace ? 1 : 0);
    check.backCount = static_cast<int>(heard.size());
    if (check.backCount != check.storedCount) {
        check.outcome = CheckOutcome::No;
    }
    const int common = std::min(check.storedCount, check.backCount);
    for (int k = 0; k < common; ++k) {
        const int32_t expected = learnt.durations[k];
        const int32_t got = heard[static_cast<size_t>(k)];
        if ((expected < 0) != (got < 0) || std::llabs(static_cast<int64_t>(expected) - got) >
                                               CheckToleranceUs(expected, learnt.carrierPeriod)) {
            check.outcome = CheckOutcome::No;
            check.entry = k;
            check.expectedUs = expected;
            check.gotUs = got;
            break;
        }
    }
    return check;
}

const char* CheckWord(CheckOutcome outcome) {
    switch (outcome) {
        case CheckOutcome::Yes:
            return "yes";
        case CheckOutcome::No:
            return "no";
        default:
            return "skipped";
    }
}

QString CheckDifference(const LearnCheck& check) {
    if (check.outcome != CheckOutcome::No) {
        return {};
    }
    if (check.sendResult != kIrOk) {
        return QString("the signal could not be sent (IR error %1)").arg(check.sendResult);
    }
    if (check.captureResult == kIrNoSignal) {
        return "nothing came back";
    }
    if (check.captureResult != kIrOk) {
        return QString("what came back could not be read (IR error %1)").arg(check.captureResult);
    }
    if (check.entry >= 0) {
        return QString("entry %1: %2 µs learnt, %3 µs came back")
            .arg(check.entry + 1)
            .arg(check.expectedUs)
            .arg(check.gotUs);
    }
    return QString("%1 entries sent, %2 came back").arg(check.storedCount).arg(check.backCount);
}
