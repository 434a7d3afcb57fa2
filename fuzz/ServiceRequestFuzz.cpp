// Any bytes as a request to the service: the first line is the method and the path, the rest
// the body. Reading never crashes, and what it accepts keeps the limits the service relies on.
// The whole input is also a connection's stream, framed whole and in two pieces alike.
#include <QByteArray>
#include <cstdlib>

#include "ir/IrSignal.h"
#include "service/RequestFraming.h"
#include "service/ServiceAccess.h"
#include "service/ServiceRequest.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype newline = input.indexOf('\n');
    const QByteArray line = newline < 0 ? input : input.left(newline);
    const QByteArray body = newline < 0 ? QByteArray() : input.mid(newline + 1);
    const qsizetype blank = line.indexOf(' ');

    ApiTarget target;
    if (ParseTarget(line.left(blank < 0 ? 0 : blank), line.mid(blank + 1), target) ==
        TargetCheck::Ok) {
        Require(target.codebase.isEmpty() || IsAcceptableName(target.codebase));
        Require(target.button.isEmpty() || IsAcceptableName(target.button));
        Require(!target.file.contains('/') && !target.file.startsWith('.'));
    }
    PressBody press;
    QString error;
    if (ParsePressBody(body, press, error)) {
        Require(press.holdMs >= 0 && press.holdMs <= kMaxHoldMs);
    } else {
        Require(!error.isEmpty());
    }
    SendBody send;
    if (ParseSendBody(body, send, error)) {
        Require(send.repeat >= 0 && send.repeat <= kMaxSendRepeat);
        if (send.raw) {
            Require(!send.durations.empty() && send.durations.size() <= size_t(kMaxDurations));
            Require(send.carrierUs >= 1 && send.carrierUs <= 255);
            for (size_t k = 0; k < send.durations.size(); ++k) {
                Require((send.durations[k] > 0) == (k % 2 == 0));
            }
        }
    }
    AccessRequest access;
    access.tokenRequired = true;
    access.token = QStringLiteral("token");
    access.authorization = body.left(64);
    access.origin = line.left(32);
    access.host = line.mid(32, 32);
    CheckAccess(access);

    // A small limit, so that short inputs reach the refusal too.
    constexpr int64_t kLimit = 64;
    CRequestFraming whole(kLimit);
    CRequestFraming split(kLimit);
    const QByteArrayView stream(input);
    const qsizetype at = size > 0 ? qsizetype(data[0]) % (stream.size() + 1) : 0;
    const bool splitFine = split.Feed(stream.first(at)) && split.Feed(stream.sliced(at));
    Require(whole.Feed(stream) == splitFine);
    return 0;
}
