// Reading requests into typed values: which paths reach which route, and which bodies are
// refused before anything acts on them.
#include <gtest/gtest.h>

#include "ir/IrSignal.h"
#include "service/RequestFraming.h"
#include "service/ServiceAccess.h"
#include "service/ServiceRequest.h"

namespace {

struct TargetCase {
    const char* method;
    const char* path;
    TargetCheck check;
    ApiRoute route;
    const char* codebase;
    const char* button;
};

class ParseTargetTest : public testing::TestWithParam<TargetCase> {};

TEST_P(ParseTargetTest, ReadsRouteAndNames) {
    const TargetCase& c = GetParam();
    ApiTarget target;
    ASSERT_EQ(ParseTarget(c.method, c.path, target), c.check) << c.method << ' ' << c.path;
    if (c.check == TargetCheck::Ok) {
        EXPECT_EQ(target.route, c.route);
        EXPECT_EQ(target.codebase, QString::fromUtf8(c.codebase));
        EXPECT_EQ(target.button, QString::fromUtf8(c.button));
    }
}

constexpr auto Ok = TargetCheck::Ok;
constexpr auto NotFound = TargetCheck::NotFound;
constexpr auto BadName = TargetCheck::BadName;
constexpr auto Method = TargetCheck::MethodNotAllowed;

INSTANTIATE_TEST_SUITE_P(
    Paths, ParseTargetTest,
    testing::Values(
        TargetCase{"GET", "/", Ok, ApiRoute::Page, "", ""},
        TargetCase{"GET", "/api/v1/status", Ok, ApiRoute::Status, "", ""},
        TargetCase{"GET", "/api/v1/codebases", Ok, ApiRoute::Codebases, "", ""},
        TargetCase{"GET", "/api/v1/events", Ok, ApiRoute::Events, "", ""},
        TargetCase{"POST", "/api/v1/send", Ok, ApiRoute::Send, "", ""},
        // Names are percent-decoded: "Vol+" and a device name with a blank.
        TargetCase{"POST", "/api/v1/codebases/TV_Sony/buttons/Vol%2B/press", Ok, ApiRoute::Press,
                   "TV_Sony", "Vol+"},
        TargetCase{"POST", "/api/v1/codebases/TV_Living%20room/buttons/Power/learn", Ok,
                   ApiRoute::Learn, "TV_Living room", "Power"},
        TargetCase{"POST", "/api/v1/codebases/TV_Sony/hot", Ok, ApiRoute::MakeHot, "TV_Sony", ""},
        TargetCase{"DELETE", "/api/v1/codebases/TV_Sony", Ok, ApiRoute::DeleteCodebase, "TV_Sony",
                   ""},
        TargetCase{"DELETE", "/api/v1/codebases/TV_Sony/buttons/Mute", Ok, ApiRoute::DeleteButton,
                   "TV_Sony", "Mute"},
        // Wrong methods.
        TargetCase{"GET", "/api/v1/codebases/TV_Sony/buttons/Power/press", Method, {}, "", ""},
        TargetCase{"POST", "/api/v1/status", Method, {}, "", ""},
        TargetCase{"PUT", "/api/v1/codebases/TV_Sony", Method, {}, "", ""},
        TargetCase{"HEAD", "/", Method, {}, "", ""},
        // Unknown routes.
        TargetCase{"GET", "/api/v2/status", NotFound, {}, "", ""},
        TargetCase{"GET", "/api/v1/statuses", NotFound, {}, "", ""},
        TargetCase{"POST", "/api/v1/codebases/TV_Sony/buttons/Power/zap", NotFound, {}, "", ""},
        TargetCase{"GET", "/api/v1/codebases/TV_Sony/extra/deep/path/here", NotFound, {}, "", ""},
        TargetCase{"GET", "/etc/passwd", NotFound, {}, "", ""},
        TargetCase{"GET", "/web/..", NotFound, {}, "", ""},
        TargetCase{"GET", "/web/.hidden", NotFound, {}, "", ""},
        TargetCase{"GET", "/skins/..%2F..%2Fetc%2Fpasswd", NotFound, {}, "", ""},
        TargetCase{"GET", "relative", NotFound, {}, "", ""},
        // Names no codebase or button can have: folder steps, separators, control
        // characters, bytes that are no UTF-8, names beyond the limit.
        TargetCase{"DELETE", "/api/v1/codebases/..", BadName, {}, "", ""},
        TargetCase{"DELETE", "/api/v1/codebases/%2E%2E", BadName, {}, "", ""},
        TargetCase{"DELETE", "/api/v1/codebases/..%2F..%2FMy%20Documents", BadName, {}, "", ""},
        TargetCase{"DELETE", "/api/v1/codebases/TV_a%5Cb", BadName, {}, "", ""},
        TargetCase{"POST", "/api/v1/codebases/TV_Sony/buttons/Po%00wer/press", BadName, {}, "", ""},
        TargetCase{"POST", "/api/v1/codebases/TV_%FF/hot", BadName, {}, "", ""},
        TargetCase{"DELETE", "/api/v1/codebases/", BadName, {}, "", ""},
        TargetCase{"DELETE",
                   "/api/v1/codebases/"
                   "TV_aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                   BadName,
                   {},
                   "",
                   ""}));

struct BodyCase {
    const char* name;
    const char* body;
    bool ok;
};

class PressBodyTest : public testing::TestWithParam<BodyCase> {};

TEST_P(PressBodyTest, AcceptsOnlyWholeHolds) {
    PressBody press;
    QString error;
    EXPECT_EQ(ParsePressBody(GetParam().body, press, error), GetParam().ok) << error.toStdString();
    if (!GetParam().ok) {
        EXPECT_FALSE(error.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, PressBodyTest,
    testing::Values(BodyCase{"Empty", "", true}, BodyCase{"EmptyObject", "{}", true},
                    BodyCase{"Hold", R"({"hold_ms": 600})", true},
                    BodyCase{"HoldLimit", R"({"hold_ms": 10000})", true},
                    BodyCase{"HoldId", R"({"hold_id": "a1-b_2"})", true},
                    BodyCase{"BadJson", R"({"hold_ms": )", false},
                    BodyCase{"NotAnObject", "[600]", false},
                    BodyCase{"HoldAsString", R"({"hold_ms": "600"})", false},
                    BodyCase{"Fraction", R"({"hold_ms": 1.5})", false},
                    BodyCase{"Negative", R"({"hold_ms": -1})", false},
                    BodyCase{"Huge", R"({"hold_ms": 1e300})", false},
                    BodyCase{"OverLimit", R"({"hold_ms": 10001})", false},
                    BodyCase{"UnknownField", R"({"hold": true})", false},
                    BodyCase{"HoldIdWithSlash", R"({"hold_id": "../x"})", false},
                    BodyCase{"Both", R"({"hold_ms": 5, "hold_id": "a"})", false}),
    [](const auto& info) { return std::string(info.param.name); });

class SendBodyTest : public testing::TestWithParam<BodyCase> {};

TEST_P(SendBodyTest, AcceptsCodesAndRawSignals) {
    SendBody send;
    QString error;
    EXPECT_EQ(ParseSendBody(GetParam().body, send, error), GetParam().ok) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, SendBodyTest,
    testing::Values(
        BodyCase{"Code", R"({"protocol": "NEC", "address": 4, "command": 8})", true},
        BodyCase{"CodeRepeat", R"({"protocol": "NEC", "address": 4, "command": 8, "repeat": 2})",
                 true},
        BodyCase{"Raw", R"({"carrier_us": 26, "durations": [9000, -4500, 560, -40000]})", true},
        BodyCase{"RawEndingOnMark", R"({"carrier_us": 26, "durations": [560]})", true},
        BodyCase{"Empty", "", false}, BodyCase{"BadJson", "{protocol: NEC}", false},
        BodyCase{"Both", R"({"protocol": "NEC", "address": 4, "command": 8, "carrier_us": 26})",
                 false},
        BodyCase{"NoCommand", R"({"protocol": "NEC", "address": 4})", false},
        BodyCase{"AddressAsString", R"({"protocol": "NEC", "address": "4", "command": 8})", false},
        BodyCase{"HugeAddress", R"({"protocol": "NEC", "address": 4294967296, "command": 8})",
                 false},
        BodyCase{"ProtocolNotString", R"({"protocol": 7, "address": 4, "command": 8})", false},
        BodyCase{"RepeatZero", R"({"protocol": "NEC", "address": 4, "command": 8, "repeat": 0})",
                 false},
        BodyCase{"SpaceFirst", R"({"carrier_us": 26, "durations": [-560, 560]})", false},
        BodyCase{"TwoMarks", R"({"carrier_us": 26, "durations": [560, 560]})", false},
        BodyCase{"ZeroEntry", R"({"carrier_us": 26, "durations": [560, 0]})", false},
        BodyCase{"HugeEntry", R"({"carrier_us": 26, "durations": [1e12]})", false},
        BodyCase{"NoCarrier", R"({"durations": [560]})", false},
        BodyCase{"CarrierTooLarge", R"({"carrier_us": 256, "durations": [560]})", false},
        BodyCase{"NoDurations", R"({"carrier_us": 26, "durations": []})", false},
        BodyCase{"DurationsNotList", R"({"carrier_us": 26, "durations": "560"})", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SendBodyTest, TooManyDurationsAreRefused) {
    QByteArray list;
    for (int k = 0; k < kMaxDurations + 1; ++k) {
        list += (k ? "," : "") + QByteArray(k % 2 ? "-500" : "500");
    }
    SendBody send;
    QString error;
    EXPECT_FALSE(ParseSendBody(R"({"carrier_us": 26, "durations": [)" + list + "]}", send, error));
}

struct AccessCase {
    const char* name;
    bool tokenRequired;
    const char* authorization;
    const char* cookie;
    const char* origin;
    const char* host;
    const char* queryToken;
    bool page;
    AccessDecision decision;
};

class AccessTest : public testing::TestWithParam<AccessCase> {};

TEST_P(AccessTest, Decides) {
    const AccessCase& c = GetParam();
    AccessRequest request;
    request.tokenRequired = c.tokenRequired;
    request.loopbackListener = !c.tokenRequired;
    request.token = "s3cret";
    request.authorization = c.authorization;
    request.cookie = c.cookie;
    request.origin = c.origin;
    request.host = c.host;
    request.queryToken = c.queryToken;
    request.pageRequest = c.page;
    EXPECT_EQ(CheckAccess(request), c.decision);
}

constexpr auto Allowed = AccessDecision::Allowed;
constexpr auto NoToken = AccessDecision::NoToken;
constexpr auto Foreign = AccessDecision::ForeignOrigin;

INSTANTIATE_TEST_SUITE_P(
    Rules, AccessTest,
    testing::Values(
        AccessCase{"LoopbackNeedsNoToken", false, "", "", "", "127.0.0.1:8733", "", false, Allowed},
        AccessCase{"LoopbackByName", false, "", "", "", "localhost:8733", "", false, Allowed},
        AccessCase{"OwnOrigin", false, "", "", "http://127.0.0.1:8733", "127.0.0.1:8733", "", false,
                   Allowed},
        AccessCase{"ForeignOrigin", false, "", "", "http://evil.example", "127.0.0.1:8733", "",
                   false, Foreign},
        AccessCase{"NullOrigin", false, "", "", "null", "127.0.0.1:8733", "", false, Foreign},
        AccessCase{"ReboundName", false, "", "", "http://evil.example:8733", "evil.example:8733",
                   "", false, Foreign},
        AccessCase{"NoToken", true, "", "", "", "192.168.1.5:8733", "", false, NoToken},
        AccessCase{"WrongToken", true, "Bearer s3creT", "", "", "192.168.1.5:8733", "", false,
                   NoToken},
        AccessCase{"LongerToken", true, "Bearer s3cret2", "", "", "192.168.1.5:8733", "", false,
                   NoToken},
        AccessCase{"Bearer", true, "Bearer s3cret", "", "", "192.168.1.5:8733", "", false, Allowed},
        AccessCase{"Cookie", true, "", "a=b; ardel_token=s3cret", "", "192.168.1.5:8733", "", false,
                   Allowed},
        AccessCase{"PageQuery", true, "", "", "", "192.168.1.5:8733", "s3cret", true, Allowed},
        AccessCase{"QueryOnlyForThePage", true, "", "", "", "192.168.1.5:8733", "s3cret", false,
                   NoToken},
        AccessCase{"TokenButForeignOrigin", true, "Bearer s3cret", "", "http://evil.example",
                   "192.168.1.5:8733", "", false, Foreign}),
    [](const auto& info) { return std::string(info.param.name); });

// Following requests on a connection as their bytes arrive, whole or one byte at a time.
struct FramingCase {
    const char* name;
    QByteArray stream;
    bool fine;  // false: refused as too large by the stream's end
};

QByteArray Head(const QByteArray& headers) {
    return "POST /api/v1/send HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers + "\r\n";
}

QByteArray Chunk(qsizetype size) {
    return QByteArray::number(size, 16) + "\r\n" + QByteArray(size, 'x') + "\r\n";
}

class RequestFramingTest : public testing::TestWithParam<FramingCase> {};

TEST_P(RequestFramingTest, RefusesOnlyWhatIsTooLarge) {
    const FramingCase& c = GetParam();
    CRequestFraming whole(kMaxRequestBodyBytes);
    EXPECT_EQ(whole.Feed(c.stream), c.fine);
    CRequestFraming bytewise(kMaxRequestBodyBytes);
    bool fine = true;
    for (qsizetype k = 0; k < c.stream.size() && fine; ++k) {
        fine = bytewise.Feed(QByteArrayView(c.stream).sliced(k, 1));
    }
    EXPECT_EQ(fine, c.fine) << "fed one byte at a time";
}

const QByteArray kLimitBody(kMaxRequestBodyBytes, 'x');

INSTANTIATE_TEST_SUITE_P(
    Table, RequestFramingTest,
    testing::Values(
        FramingCase{"BodyAtTheLimitThenAnother",
                    Head("Content-Length: 65536\r\n") + kLimitBody + Head("") + Head(""), true},
        FramingCase{"DeclaredOverTheLimit", Head("content-length: 65537\r\n"), false},
        FramingCase{"DeclaredBeyondAnyNumber", Head("Content-Length: 99999999999999999999999\r\n"),
                    false},
        FramingCase{"ChunksWithinTheLimitThenAnother",
                    Head("Transfer-Encoding: chunked\r\n") + Chunk(40000) + Chunk(25536) +
                        "0\r\nX-Trailer: 1\r\n\r\n" + Head("Content-Length: 2\r\n") + "{}",
                    true},
        FramingCase{"ChunksOverTheLimit",
                    Head("Transfer-Encoding: chunked\r\n") + Chunk(40000) + Chunk(25537), false},
        FramingCase{"ChunkSizeBeyondAnyNumber",
                    Head("Transfer-Encoding: chunked\r\n") + "fffffffffffffffffffff\r\n", false},
        // A body longer than declared runs on as the next request's head, which never ends.
        FramingCase{"LengthThatLies", Head("Content-Length: 2\r\n") + "{}" + QByteArray(20000, 'x'),
                    false},
        FramingCase{"HeadWithoutEnd", Head("X-Pad: " + QByteArray(20000, 'x')), false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
