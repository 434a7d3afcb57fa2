#include "service/ServiceRequest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <cmath>

#include "ir/IrSignal.h"

namespace {

// The longest mark or space a raw send may hold: a second is far beyond any remote's pause.
constexpr double kMaxDurationUs = 1'000'000;
constexpr double kMaxCarrierUs = 255;  // the signal's carrier period is one byte

// One path segment, percent-decoded; false when the segment cannot be a name.
bool DecodeSegment(const QByteArray& segment, QString& name) {
    const QByteArray bytes = QByteArray::fromPercentEncoding(segment);
    name = QString::fromUtf8(bytes);
    return IsAcceptableName(name) && name.toUtf8() == bytes;
}

bool IsPlainFileName(const QString& name) {
    if (name.isEmpty() || name.size() > kMaxPathNameLength || name.startsWith('.')) {
        return false;
    }
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != '_' && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

bool IsHoldId(const QString& id) {
    if (id.isEmpty() || id.size() > kMaxHoldIdLength) {
        return false;
    }
    for (const QChar c : id) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != '_' && c != '-') {
            return false;
        }
    }
    return true;
}

// A JSON value that must be a whole number within [low, high].
bool WholeNumber(const QJsonValue& value, double low, double high, const char* what, double& out,
                 QString& error) {
    if (!value.isDouble()) {
        error = QStringLiteral("\"%1\" must be a number").arg(what);
        return false;
    }
    const double number = value.toDouble();
    if (!std::isfinite(number) || number != std::floor(number) || number < low || number > high) {
        error = QStringLiteral("\"%1\" must be a whole number from %2 to %3")
                    .arg(what)
                    .arg(static_cast<qint64>(low))
                    .arg(static_cast<qint64>(high));
        return false;
    }
    out = number;
    return true;
}

// The body as one JSON object; an empty body is an empty object when `emptyAllowed`.
bool ObjectOf(const QByteArray& body, bool emptyAllowed, QJsonObject& object, QString& error) {
    if (body.trimmed().isEmpty()) {
        if (emptyAllowed) {
            object = {};
            return true;
        }
        error = QStringLiteral("the request needs a JSON body");
        return false;
    }
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &parse);
    if (parse.error != QJsonParseError::NoError) {
        error = QStringLiteral("the body is not JSON: %1 at offset %2")
                    .arg(parse.errorString())
                    .arg(parse.offset);
        return false;
    }
    if (!document.isObject()) {
        error = QStringLiteral("the body must be a JSON object");
        return false;
    }
    object = document.object();
    return true;
}

bool OnlyKeys(const QJsonObject& object, std::initializer_list<const char*> allowed,
              QString& error) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool known = false;
        for (const char* key : allowed) {
            known = known || it.key() == QLatin1String(key);
        }
        if (!known) {
            error = QStringLiteral("unknown field \"%1\"").arg(it.key().left(kMaxPathNameLength));
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsAcceptableName(const QString& name) {
    if (name.isEmpty() || name.size() > kMaxPathNameLength || name == "." || name == "..") {
        return false;
    }
    for (const QChar c : name) {
        // Printable ASCII, and nothing that separates folders on either system.
        if (c.unicode() < 0x20 || c.unicode() > 0x7E || c == '/' || c == '\\') {
            return false;
        }
    }
    return true;
}

TargetCheck ParseTarget(const QByteArray& method, const QByteArray& encodedPath,
                        ApiTarget& target) {
    target = ApiTarget{};
    const bool get = method == "GET";
    const bool post = method == "POST";
    const bool del = method == "DELETE";
    auto route = [&](bool methodFits, ApiRoute which) {
        target.route = which;
        return methodFits ? TargetCheck::Ok : TargetCheck::MethodNotAllowed;
    };
    if (encodedPath == "/") {
        return route(get, ApiRoute::Page);
    }
    if (!encodedPath.startsWith('/')) {
        return TargetCheck::NotFound;
    }
    const QList<QByteArray> parts = encodedPath.mid(1).split('/');
    if (parts.size() == 2 && (parts[0] == "web" || parts[0] == "skins")) {
        const QString file = QString::fromUtf8(parts[1]);
        if (!IsPlainFileName(file)) {
            return TargetCheck::NotFound;
        }
        target.file = file;
        return route(get, parts[0] == "web" ? ApiRoute::PageAsset : ApiRoute::SkinImage);
    }
    if (parts.size() < 3 || parts[0] != "api" || parts[1] != "v1") {
        return TargetCheck::NotFound;
    }
    const QList<QByteArray> rest = parts.mid(2);
    if (rest.size() == 1) {
        if (rest[0] == "status") {
            return route(get, ApiRoute::Status);
        }
        if (rest[0] == "forms") {
            return route(get, ApiRoute::Forms);
        }
        if (rest[0] == "codebases") {
            return route(get, ApiRoute::Codebases);
        }
        if (rest[0] == "events") {
            return route(get, ApiRoute::Events);
        }
        if (rest[0] == "send") {
            return route(post, ApiRoute::Send);
        }
        return TargetCheck::NotFound;
    }
    if (rest[0] == "holds" && rest.size() == 2) {
        target.holdId = QString::fromUtf8(rest[1]);
        if (!IsHoldId(target.holdId)) {
            return TargetCheck::BadName;
        }
        target.route = del ? ApiRoute::EndHold : ApiRoute::RenewHold;
        return post || del ? TargetCheck::Ok : TargetCheck::MethodNotAllowed;
    }
    if (rest[0] != "codebases") {
        return TargetCheck::NotFound;
    }
    // Codebase routes: the shape of the path is checked before its names.
    const bool codebaseOnly = rest.size() == 2;
    const bool hot = rest.size() == 3 && rest[2] == "hot";
    const bool button = rest.size() == 4 && rest[2] == "buttons";
    const bool buttonAction =
        rest.size() == 5 && rest[2] == "buttons" && (rest[4] == "press" || rest[4] == "learn");
    if (!codebaseOnly && !hot && !button && !buttonAction) {
        return TargetCheck::NotFound;
    }
    if (!DecodeSegment(rest[1], target.codebase)) {
        return TargetCheck::BadName;
    }
    if ((button || buttonAction) && !DecodeSegment(rest[3], target.button)) {
        return TargetCheck::BadName;
    }
    if (codebaseOnly) {
        return route(del, ApiRoute::DeleteCodebase);
    }
    if (hot) {
        return route(post, ApiRoute::MakeHot);
    }
    if (button) {
        return route(del, ApiRoute::DeleteButton);
    }
    return route(post, rest[4] == "press" ? ApiRoute::Press : ApiRoute::Learn);
}

bool ParsePressBody(const QByteArray& body, PressBody& press, QString& error) {
    press = PressBody{};
    QJsonObject object;
    if (!ObjectOf(body, true, object, error) || !OnlyKeys(object, {"hold_ms", "hold_id"}, error)) {
        return false;
    }
    if (object.contains("hold_ms")) {
        double holdMs = 0;
        if (!WholeNumber(object.value("hold_ms"), 0, kMaxHoldMs, "hold_ms", holdMs, error)) {
            return false;
        }
        press.holdMs = static_cast<int>(holdMs);
    }
    if (object.contains("hold_id")) {
        const QJsonValue id = object.value("hold_id");
        if (!id.isString() || !IsHoldId(id.toString())) {
            error = QStringLiteral("\"hold_id\" must be 1 to %1 letters, digits, - or _")
                        .arg(kMaxHoldIdLength);
            return false;
        }
        press.holdId = id.toString();
    }
    if (press.holdMs > 0 && !press.holdId.isEmpty()) {
        error = QStringLiteral("a press has \"hold_ms\" or \"hold_id\", not both");
        return false;
    }
    return true;
}

bool ParseSendBody(const QByteArray& body, SendBody& send, QString& error) {
    send = SendBody{};
    QJsonObject object;
    if (!ObjectOf(body, false, object, error) ||
        !OnlyKeys(object, {"protocol", "address", "command", "carrier_us", "durations", "repeat"},
                  error)) {
        return false;
    }
    if (object.contains("repeat")) {
        double repeat = 0;
        if (!WholeNumber(object.value("repeat"), 1, kMaxSendRepeat, "repeat", repeat, error)) {
            return false;
        }
        send.repeat = static_cast<int>(repeat);
    }
    const bool coded = object.contains("protocol");
    const bool raw = object.contains("durations") || object.contains("carrier_us");
    if (coded == raw) {
        error = QStringLiteral(
            "send either \"protocol\", \"address\" and \"command\", or \"carrier_us\" and "
            "\"durations\"");
        return false;
    }
    if (coded) {
        const QJsonValue protocol = object.value("protocol");
        if (!protocol.isString() || protocol.toString().isEmpty() ||
            protocol.toString().size() > kMaxPathNameLength) {
            error = QStringLiteral("\"protocol\" must be a protocol's name");
            return false;
        }
        double address = 0, command = 0;
        if (!WholeNumber(object.value("address"), 0, 0xFFFFFFFF, "address", address, error) ||
            !WholeNumber(object.value("command"), 0, 0xFFFFFFFF, "command", command, error)) {
            return false;
        }
        send.protocol = protocol.toString();
        send.address = static_cast<uint32_t>(address);
        send.command = static_cast<uint32_t>(command);
        return true;
    }
    send.raw = true;
    double carrier = 0;
    if (!WholeNumber(object.value("carrier_us"), 1, kMaxCarrierUs, "carrier_us", carrier, error)) {
        return false;
    }
    send.carrierUs = static_cast<uint32_t>(carrier);
    const QJsonValue durations = object.value("durations");
    if (!durations.isArray() || durations.toArray().isEmpty() ||
        durations.toArray().size() > kMaxDurations) {
        error =
            QStringLiteral("\"durations\" must be a list of 1 to %1 numbers").arg(kMaxDurations);
        return false;
    }
    for (const QJsonValue& value : durations.toArray()) {
        double duration = 0;
        if (!WholeNumber(value, -kMaxDurationUs, kMaxDurationUs, "durations", duration, error)) {
            return false;
        }
        // Marks and spaces take turns, a mark first; a zero is neither.
        const bool mark = send.durations.size() % 2 == 0;
        if (duration == 0 || (duration > 0) != mark) {
            error = QStringLiteral(
                "\"durations\" must begin with a mark and alternate marks (positive) and "
                "spaces (negative)");
            return false;
        }
        send.durations.push_back(static_cast<int32_t>(duration));
    }
    return true;
}
