#include "service/CServiceApi.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTimer>
#include <QUrlQuery>
#include <memory>

#include "ir/CLircIrDriver.h"
#include "ir/IrResult.h"
#include "ir/protocols/IrProtocol.h"
#include "model/ResultText.h"
#include "resources/Strings.h"
#include "service/CServiceRemote.h"
#include "service/RequestFraming.h"
#include "service/ServiceAccess.h"
#include "service/ServiceRequest.h"
#include "store/Catalogue.h"
#include "store/FormTables.h"

namespace {

using Status = QHttpServerResponder::StatusCode;

// The result of a request refused before the remote heard of it.
constexpr int kResultRefused = -1;

QJsonObject ErrorBody(const QString& message, int result) {
    return QJsonObject{{"error", message}, {"result", result}};
}

void WriteJson(QHttpServerResponder& responder, int status, const QJsonObject& body) {
    responder.write(QJsonDocument(body).toJson(QJsonDocument::Compact),
                    {{"Content-Type", "application/json"}, {"Cache-Control", "no-store"}},
                    static_cast<Status>(status));
}

void WriteError(QHttpServerResponder& responder, int status, const QString& message,
                int result = kResultRefused) {
    WriteJson(responder, status, ErrorBody(message, result));
}

// A string of the table with its %s and %d filled in, in order.
QString TableText(int id, const QStringList& values = {}) {
    QString text = QString::fromUtf8(LoadString(id));
    for (const QString& value : values) {
        const qsizetype at = text.indexOf(QRegularExpression("%[sd]"));
        if (at < 0) {
            break;
        }
        text.replace(at, 2, value);
    }
    return text;
}

// The rectangle as [left, top, width, height].
QJsonArray RectOf(const FormRect& rect) {
    return QJsonArray{rect.left, rect.top, rect.width, rect.height};
}

// The description of the remote's forms that the page draws from: the same tables the
// window's forms are built from.
QJsonObject FormsDescription() {
    QJsonArray forms;
    for (int n = 0; n < kFormCount; ++n) {
        const FormDef& form = Form(n);
        QJsonArray buttons;
        for (const ButtonDef& button : form.buttons) {
            buttons.append(QJsonObject{{"name", button.name}, {"rect", RectOf(button.rect)}});
        }
        QJsonObject images;
        const char* keys[kFormImageCount] = {"back", "active", "pressed", "disabled"};
        for (int image = 0; image < kFormImageCount; ++image) {
            images[keys[image]] = QString::fromLatin1(form.name) + FormImageSuffix(image);
        }
        forms.append(QJsonObject{{"form", n},
                                 {"name", form.name},
                                 {"category", FormCategory(n)},
                                 {"images", images},
                                 {"name_area", RectOf(CodebaseNameArea(n))},
                                 {"buttons", buttons}});
    }
    QJsonArray panel;
    for (const PanelElementDef& element : PanelElements()) {
        QJsonObject item{{"id", element.id},
                         {"name", element.name},
                         {"rect", RectOf(element.rect)},
                         {"visible", element.visible}};
        if (element.activeImage) {
            item["active"] = element.activeImage;
            item["pressed"] = element.pressedImage;
        }
        panel.append(item);
    }
    QJsonArray categories;
    for (int c = kCategoryTv; c <= kCategoryTiVo; ++c) {
        categories.append(QJsonObject{{"category", c}, {"name", CategoryName(c)}});
    }
    return QJsonObject{{"width", kScreenWidth},
                       {"height", kScreenHeight},
                       {"forms", forms},
                       {"panel", panel},
                       {"categories", categories}};
}

// The skin pictures that the forms name: nothing else of the device root is served.
bool IsSkinPicture(const QString& name) {
    for (const FormDef& form : Forms()) {
        for (int image = 0; image < kFormImageCount; ++image) {
            if (name == QString::fromLatin1(form.name) + FormImageSuffix(image)) {
                return true;
            }
        }
    }
    for (const PanelElementDef& element : PanelElements()) {
        if (element.activeImage && (name == element.activeImage || name == element.pressedImage)) {
            return true;
        }
    }
    return false;
}

QByteArray MimeTypeOf(const QString& file) {
    if (file.endsWith(".html")) {
        return "text/html; charset=utf-8";
    }
    if (file.endsWith(".js")) {
        return "text/javascript; charset=utf-8";
    }
    if (file.endsWith(".css")) {
        return "text/css; charset=utf-8";
    }
    if (file.endsWith(".gif")) {
        return "image/gif";
    }
    if (file.endsWith(".bmp")) {
        return "image/bmp";
    }
    if (file.endsWith(".svg")) {
        return "image/svg+xml";
    }
    return "application/octet-stream";
}

// The page as it is served: its style sheet is written into it, so that nothing holds up its
// first paint but the page itself; the policy names that style by its hash. (The script stays
// apart and deferred: written in, it would hold up the paint while it runs.)
struct ServedPage {
    QByteArray html;
    QByteArray policy;  // Content-Security-Policy
};

const ServedPage& Page() {
    static const ServedPage page = [] {
        QFile html(QStringLiteral(":/web/index.html"));
        QFile css(QStringLiteral(":/web/remote.css"));
        ServedPage served;
        QByteArray style = "style-src 'self'";
        if (html.open(QIODevice::ReadOnly) && css.open(QIODevice::ReadOnly)) {
            const QByteArray sheet = css.readAll();
            served.html =
                html.readAll().replace(R"(<link rel="stylesheet" href="/web/remote.css">)",
                                       "<style>" + sheet + "</style>");
            style += " 'sha256-" +
                     QCryptographicHash::hash(sheet, QCryptographicHash::Sha256).toBase64() + "'";
        }
        served.policy = "default-src 'self'; " + style +
                        "; img-src 'self' blob:; connect-src 'self'; frame-ancestors 'none'";
        return served;
    }();
    return page;
}

QJsonObject CodebaseJson(const CServiceRemote::CodebaseInfo& codebase) {
    QJsonArray buttons;
    for (const CServiceRemote::ButtonInfo& button : codebase.buttons) {
        QJsonObject item{{"name", button.name}, {"signals", button.signalCount}};
        if (button.protocol) {
            item["protocol"] = button.protocol->name;
            item["address"] = static_cast<qint64>(button.address);
            item["command"] = static_cast<qint64>(button.command);
        } else {
            item["protocol"] = QJsonValue::Null;
            item["address"] = QJsonValue::Null;
            item["command"] = QJsonValue::Null;
        }
        buttons.append(item);
    }
    return QJsonObject{{"name", codebase.name},
                       {"category", CategoryName(codebase.category)},
                       {"category_number", codebase.category},
                       {"hot", codebase.hot},
                       {"buttons", buttons}};
}

// A connection refused for a request too large is read on, and what comes is thrown away, for
// this long or this much at most: closing while the client still sends would reset the
// connection before it reads the answer.
constexpr int kDrainMs = 2000;
constexpr qint64 kMaxDrainBytes = 16 << 20;

QByteArray TooLargeMessage() {
    return QStringLiteral("a request body may hold at most %1 bytes")
        .arg(kMaxRequestBodyBytes)
        .toUtf8();
}

// Answers 413 on `socket` in place of the HTTP server, which reads nothing more of it, and
// closes the connection once the client stops sending.
void RefuseTooLarge(QTcpSocket* socket, QObject* server) {
    QObject::disconnect(socket, &QTcpSocket::readyRead, server, nullptr);
    QObject::disconnect(socket, &QTcpSocket::readyRead, socket, nullptr);  // and the watch
    if (socket->isTransactionStarted()) {
        socket->commitTransaction();  // the part of the request the server had read goes
    }
    auto drained = std::make_shared<qint64>(socket->skip(socket->bytesAvailable()));
    const QByteArray body =
        QJsonDocument(ErrorBody(QString::fromUtf8(TooLargeMessage()), kResultRefused))
            .toJson(QJsonDocument::Compact);
    socket->write(
        "HTTP/1.1 413 Payload Too Large\r\nContent-Type: application/json\r\n"
        "Cache-Control: no-store\r\nConnection: close\r\nContent-Length: " +
        QByteArray::number(body.size()) + "\r\n\r\n" + body);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, drained] {
        *drained += socket->skip(socket->bytesAvailable());
        if (*drained > kMaxDrainBytes) {
            socket->disconnectFromHost();
        }
    });
    QTimer::singleShot(kDrainMs, socket, [socket] { socket->disconnectFromHost(); });
}

// Accepts the HTTP server's connections and watches each before the server reads it.
class CWatchedTcpServer : public QTcpServer {
  public:
    CWatchedTcpServer(QObject* httpServer, QObject* parent)
        : QTcpServer(parent), httpServer_(httpServer) {}

  protected:
    void incomingConnection(qintptr descriptor) override {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        // The server reads inside a transaction: what it has read stays in the socket until
        // a request is whole, and what it has not read is there at the next arrival. The
        // watch sees each byte once: what is new before the server reads, and what the
        // server left unread after.
        auto framing = std::make_shared<CRequestFraming>(kMaxRequestBodyBytes);
        auto seen = std::make_shared<qint64>(0);  // bytes available that were framed already
        QObject* server = httpServer_;
        connect(socket, &QTcpSocket::readyRead, socket, [socket, framing, seen, server] {
            const qint64 available = socket->bytesAvailable();
            if (available <= *seen) {
                return;
            }
            const QByteArray fresh = socket->peek(available).sliced(*seen);
            *seen = available;
            if (!framing->Feed(fresh)) {
                RefuseTooLarge(socket, server);
            }
        });
        addPendingConnection(socket);  // the HTTP server connects its reader here
        connect(socket, &QTcpSocket::readyRead, socket,
                [socket, seen] { *seen = socket->bytesAvailable(); });
    }

  private:
    QObject* httpServer_;
};

}  // namespace

int StatusOfResult(int result) {
    switch (result) {
        case kServiceOk:
            return 200;
        case kServiceNoCodebase:
        case kServiceNoButton:
            return 404;
        case kServiceLearning:
            return 409;
        case kServiceBadCode:
        case kServiceBadName:
            return 400;
        case kServiceNoIr:
        case kIrPortBusy:
        case kIrNotMapped:
        case kIrNoIrUart:
        case kIrNoPortName:
        case kIrLircNoDevice:
        case kIrLircNoPermission:
        case kIrLircBusy:
        case kIrLircCannotSend:
        case kIrLircCannotReceive:
        case kIrLircUnplugged:
        case kIrLircIoError:
            return 503;
        default:
            return 500;
    }
}

QString ResultMessage(int result, const QString& port) {
    switch (result) {
        case kServiceOk:
            return {};
        case kServiceNoCodebase:
            return QStringLiteral("there is no codebase of that name");
        case kServiceNoButton:
            return QStringLiteral("the codebase has no signal for that button");
        case kServiceLearning:
            return QStringLiteral("the IR is busy learning a button");
        case kServiceBadCode:
            return QStringLiteral("that code cannot be sent");
        case kServiceBadName:
            return QStringLiteral(
                "a codebase is named CATEGORY_DEVICE (TV_Sony), with a device "
                "category and a name of allowed characters");
        case kServiceCannotRead:
            return QStringLiteral("the codebase cannot be read");
        case kServiceCannotChange:
            return QStringLiteral("the codebase cannot be changed");
        case kServiceCut:
            return TableText(kStrSignalCut);
        case kServiceNoIr:
            return TableText(kStrNoDriver);
        case kIrNoPortName:
            return TableText(kStrPortNotSelected);
        case kIrPortBusy:
            return TableText(kStrPortBusy, {port});
        default:
            break;
    }
    if (result >= kIrLircNoDevice && result <= kIrLircIoError) {
        return IrFailureText({result, port.toStdString(), std::string()}, IrAction::Send);
    }
    return TableText(kStrDriverError, {QString::number(result)});
}

CServiceApi::CServiceApi(CServiceRemote& remote, ServiceSettings settings, QObject* parent)
    : QAbstractHttpServer(parent), remote_(remote), settings_(std::move(settings)) {
    connect(&remote_, &CServiceRemote::Sent, this,
            [this](const QString& codebase, const QString& button, int result, int passes) {
                Broadcast("sent", {{"codebase", codebase},
                                   {"button", button},
                                   {"result", result},
                                   {"passes", passes}});
            });
    connect(
        &remote_, &CServiceRemote::LearnProgress, this,
        [this](const QString& codebase, const QString& button, const QString& state, int result) {
            QJsonObject data{
                {"codebase", codebase}, {"button", button}, {"state", state}, {"result", result}};
            if (result != 0) {
                data["error"] = ResultMessage(result, remote_.PortName());
            }
            Broadcast("learn", data);
        });
    connect(&remote_, &CServiceRemote::Received, this, [this](const HeardCode& heard) {
        const bool named = !heard.protocol.isEmpty();
        QJsonObject data{{"carrier_us", static_cast<qint64>(heard.carrierUs)},
                         {"entries", heard.entries}};
        data["protocol"] = named ? QJsonValue(heard.protocol) : QJsonValue();
        data["address"] = named ? QJsonValue(static_cast<qint64>(heard.address)) : QJsonValue();
        data["command"] = named ? QJsonValue(static_cast<qint64>(heard.command)) : QJsonValue();
        data["button"] = heard.button.isEmpty() ? QJsonValue() : QJsonValue(heard.button);
        Broadcast("received", data);
    });
    connect(&remote_, &CServiceRemote::CodebasesChanged, this,
            [this] { Broadcast("codebases", {}); });
}

CServiceApi::~CServiceApi() = default;

quint16 CServiceApi::listen(const QHostAddress& address, quint16 port) {
    auto* server = new CWatchedTcpServer(this, this);
    if (!server->listen(address, port)) {
        delete server;
        return 0;
    }
    bind(server);
    return server->serverPort();
}

int CServiceApi::EventClients() const {
    int count = 0;
    for (const QPointer<QTcpSocket>& client : eventClients_) {
        count += client && client->state() == QAbstractSocket::ConnectedState;
    }
    return count;
}

void CServiceApi::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    QHttpServerResponder responder = makeResponder(request, socket);
    WriteError(responder, 404, QStringLiteral("no such route"));
}

bool CServiceApi::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    QHttpServerResponder responder = makeResponder(request, socket);
    Dispatch(request, responder, socket);
    return true;
}

void CServiceApi::Dispatch(const QHttpServerRequest& request, QHttpServerResponder& responder,
                           QTcpSocket* socket) {
    if (request.body().size() > kMaxRequestBodyBytes) {
        WriteError(responder, 413, QString::fromUtf8(TooLargeMessage()));
        return;
    }
    static const QMetaEnum methods = QMetaEnum::fromType<QHttpServerRequest::Method>();
    const QByteArray method =
        QByteArray(methods.valueToKey(static_cast<int>(request.method()))).toUpper();
    ApiTarget target;
    const TargetCheck check =
        ParseTarget(method, request.url().path(QUrl::FullyEncoded).toUtf8(), target);

    AccessRequest access;
    access.tokenRequired = settings_.tokenRequired;
    access.loopbackListener = settings_.loopbackListener;
    access.token = settings_.token;
    access.authorization = request.value("Authorization");
    access.cookie = request.value("Cookie");
    access.origin = request.value("Origin");
    access.host = request.value("Host");
    access.pageRequest = check == TargetCheck::Ok && target.route == ApiRoute::Page;
    access.queryToken = request.query().queryItemValue("token", QUrl::FullyDecoded);
    switch (CheckAccess(access)) {
        case AccessDecision::Allowed:
            break;
        case AccessDecision::NoToken:
            WriteError(responder, 401,
                       QStringLiteral("this service needs its token: Authorization: Bearer "
                                      "TOKEN (ardelremoted --show-token prints it)"));
            return;
        case AccessDecision::ForeignOrigin:
            WriteError(responder, 403,
                       QStringLiteral("requests from pages of other sites are refused"));
            return;
    }
    switch (check) {
        case TargetCheck::Ok:
            break;
        case TargetCheck::NotFound:
            WriteError(responder, 404, QStringLiteral("no such route"));
            return;
        case TargetCheck::MethodNotAllowed:
            WriteError(
                responder, 405,
                QStringLiteral("that route does not take %1").arg(QString::fromLatin1(method)));
            return;
        case TargetCheck::BadName:
            WriteError(responder, 400,
                       QStringLiteral("a name in the path holds characters no name may hold"));
            return;
    }

    // Answers that come once the remote is done hold on to their responder; a client that
    // went away meanwhile gets nothing.
    auto later = std::make_shared<QHttpServerResponder>(std::move(responder));
    QPointer<QTcpSocket> client(socket);
    auto answer = [this, later, client](int result, const QString& problem = {}) {
        if (!client || client->state() != QAbstractSocket::ConnectedState) {
            return;
        }
        if (result == kServiceOk) {
            WriteJson(*later, 200, {{"result", 0}});
        } else {
            WriteJson(
                *later, StatusOfResult(result),
                ErrorBody(problem.isEmpty() ? ResultMessage(result, remote_.PortName()) : problem,
                          result));
        }
    };

    QString error;
    switch (target.route) {
        case ApiRoute::Page:
        case ApiRoute::PageAsset: {
            const QString name =
                target.route == ApiRoute::Page ? QStringLiteral("index.html") : target.file;
            QFile file(QStringLiteral(":/web/") + name);
            if (target.route == ApiRoute::Page ? Page().html.isEmpty()
                                               : !file.open(QIODevice::ReadOnly)) {
                WriteError(*later, 404, QStringLiteral("no such file"));
                return;
            }
            const QByteArray cookie = settings_.tokenRequired && !access.queryToken.isEmpty()
                                          ? TokenCookieHeader(settings_.token)
                                          : QByteArray();
            later->writeStatusLine(Status::Ok);
            const QByteArray body = target.route == ApiRoute::Page ? Page().html : file.readAll();
            later->writeHeaders({{"Content-Type", MimeTypeOf(name)},
                                 {"Content-Length", QByteArray::number(body.size())},
                                 {"Cache-Control", "no-cache"},
                                 {"X-Content-Type-Options", "nosniff"},
                                 {"Referrer-Policy", "no-referrer"},
                                 {"Content-Security-Policy", Page().policy}});
            if (!cookie.isEmpty()) {
                later->writeHeader("Set-Cookie", cookie);
            }
            later->writeBody(body);
            return;
        }
        case ApiRoute::SkinImage: {
            QByteArray bytes;
            if (!IsSkinPicture(target.file) || !remote_.SkinFile(target.file, bytes)) {
                WriteError(*later, 404, QStringLiteral("no such skin picture"));
                return;
            }
            later->write(bytes,
                         {{"Content-Type", MimeTypeOf(target.file)},
                          {"Cache-Control", "max-age=3600"},
                          {"X-Content-Type-Options", "nosniff"}},
                         Status::Ok);
            return;
        }
        case ApiRoute::Status:
            WriteJson(
                *later, 200,
                {{"version", settings_.version}, {"ir", settings_.ir}, {"root", settings_.root}});
            return;
        case ApiRoute::Forms:
            WriteJson(*later, 200, FormsDescription());
            return;
        case ApiRoute::Codebases: {
            QJsonArray list;
            for (const CServiceRemote::CodebaseInfo& codebase : remote_.Codebases()) {
                list.append(CodebaseJson(codebase));
            }
            later->write(QJsonDocument(list).toJson(QJsonDocument::Compact),
                         {{"Content-Type", "application/json"}, {"Cache-Control", "no-store"}},
                         Status::Ok);
            return;
        }
        case ApiRoute::Events:
            OpenEventStream(*later, socket);
            return;
        case ApiRoute::Press: {
            PressBody press;
            if (!ParsePressBody(request.body(), press, error)) {
                WriteError(*later, 400, error);
                return;
            }
            remote_.Press(target.codebase, target.button, press,
                          [answer](int result) { answer(result); });
            return;
        }
        case ApiRoute::Send: {
            SendBody send;
            if (!ParseSendBody(request.body(), send, error)) {
                WriteError(*later, 400, error);
                return;
            }
            QString problem;
            const int queued = remote_.Send(
                send, [answer](int result) { answer(result); }, problem);
            if (queued != kServiceOk) {
                answer(queued, problem);
            }
            return;
        }
        case ApiRoute::Learn: {
            int result = 0;
            if (!remote_.Learn(target.codebase, target.button, result)) {
                answer(result);
                return;
            }
            // Accepted: progress and the result follow as "learn" events.
            WriteJson(*later, 202, {{"result", 0}});
            return;
        }
        case ApiRoute::MakeHot:
            answer(remote_.MakeHot(target.codebase));
            return;
        case ApiRoute::DeleteCodebase:
            remote_.DeleteCodebase(target.codebase, [answer](int result) { answer(result); });
            return;
        case ApiRoute::DeleteButton:
            remote_.DeleteButton(target.codebase, target.button,
                                 [answer](int result) { answer(result); });
            return;
        case ApiRoute::RenewHold:
            WriteJson(*later, 200, {{"result", 0}, {"held", remote_.RenewHold(target.holdId)}});
            return;
        case ApiRoute::EndHold:
            remote_.EndHold(target.holdId);
            WriteJson(*later, 200, {{"result", 0}});
            return;
    }
}

void CServiceApi::OpenEventStream(QHttpServerResponder& responder, QTcpSocket* socket) {
    responder.writeStatusLine(Status::Ok);
    responder.writeHeaders({{"Content-Type", "text/event-stream"},
                            {"Cache-Control", "no-store"},
                            {"X-Accel-Buffering", "no"}});
    // The stream has no length: it lasts until the client goes.
    socket->write(": ardelremote events\nretry: 1000\n\n");
    eventClients_.emplace_back(socket);
}

void CServiceApi::Broadcast(const char* event, const QJsonObject& data) {
    const QByteArray message = QByteArray("event: ") + event +
                               "\ndata: " + QJsonDocument(data).toJson(QJsonDocument::Compact) +
                               "\n\n";
    std::erase_if(eventClients_, [](const QPointer<QTcpSocket>& client) {
        return !client || client->state() != QAbstractSocket::ConnectedState;
    });
    for (const QPointer<QTcpSocket>& client : eventClients_) {
        client->write(message);
    }
}
