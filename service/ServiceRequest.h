// What a request to the service asks for, read into typed values with limits before anything
// acts on it. Nothing here trusts what it reads: names are percent-decoded and checked, JSON
// numbers must be whole and in range, and everything else is refused with a worded reason.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// The largest request body the service reads; a larger one is answered 413.
constexpr qsizetype kMaxRequestBodyBytes = 64 * 1024;
// A press held for a fixed time, and a code sent a fixed number of times, stay within these.
constexpr int kMaxHoldMs = 10'000;
constexpr int kMaxSendRepeat = 50;
// Codebase and button names in paths: printable ASCII, at most this long.
constexpr int kMaxPathNameLength = 64;
// A hold id chosen by a page: letters, digits, '-' and '_'.
constexpr int kMaxHoldIdLength = 40;

enum class ApiRoute {
    Page,            // GET /
    PageAsset,       // GET /web/FILE: the page's own files, built into the program
    SkinImage,       // GET /skins/FILE: a skin picture of the device root
    Status,          // GET /api/v1/status
    Forms,           // GET /api/v1/forms: the forms' buttons and areas
    Codebases,       // GET /api/v1/codebases
    Events,          // GET /api/v1/events
    Press,           // POST /api/v1/codebases/{name}/buttons/{button}/press
    Learn,           // POST /api/v1/codebases/{name}/buttons/{button}/learn
    MakeHot,         // POST /api/v1/codebases/{name}/hot
    DeleteCodebase,  // DELETE /api/v1/codebases/{name}
    DeleteButton,    // DELETE /api/v1/codebases/{name}/buttons/{button}
    Send,            // POST /api/v1/send
    RenewHold,       // POST /api/v1/holds/{id}: the finger is still down
    EndHold,         // DELETE /api/v1/holds/{id}: the finger is up
};

struct ApiTarget {
    ApiRoute route = ApiRoute::Page;
    QString codebase;  // display name, "TV_Sony"
    QString button;
    QString holdId;
    QString file;  // PageAsset and SkinImage
};

enum class TargetCheck {
    Ok,
    NotFound,          // no such route (404)
    MethodNotAllowed,  // the route exists with another method (405)
    BadName,           // a name in the path that no codebase or button can have (400)
};

// Reads a request's method and its path as it came over the wire (still percent-encoded).
TargetCheck ParseTarget(const QByteArray& method, const QByteArray& encodedPath, ApiTarget& target);

// POST .../press: an empty body, or {"hold_ms": N} (a press held N ms), or {"hold_id": "ID"}
// (a press held while the page renews that hold).
struct PressBody {
    int holdMs = 0;
    QString holdId;
};
bool ParsePressBody(const QByteArray& body, PressBody& press, QString& error);

// POST /api/v1/send: {"protocol": NAME, "address": N, "command": N} or {"carrier_us": N,
// "durations": [...]}, each with an optional "repeat": N (passes; default the held-button
// rule of three).
struct SendBody {
    bool raw = false;
    QString protocol;
    uint32_t address = 0;
    uint32_t command = 0;
    uint32_t carrierUs = 0;
    std::vector<int32_t> durations;
    int repeat = 0;  // 0: the rule of a tap
};
bool ParseSendBody(const QByteArray& body, SendBody& send, QString& error);

// Whether a name read from a path can be a codebase's display name or a button's name.
bool IsAcceptableName(const QString& name);
