// The service's HTTP face: the JSON API under /api/v1, its event stream, and the web remote
// at / (the page's files built into the program, the skin pictures of the device root). Every
// request is checked for who sent it and read into typed values before the remote hears of
// it; every refusal is a status with a worded error.
#pragma once

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QJsonObject>
#include <QPointer>
#include <QString>
#include <QTcpSocket>
#include <vector>

class CServiceRemote;
class QHttpServerRequest;
class QHttpServerResponder;

struct ServiceSettings {
    bool tokenRequired = false;    // listening on an address other than loopback
    bool loopbackListener = true;  // only loopback names reach the page
    QString token;
    QString version;
    QString ir;    // which IR is used: "simulated pxa255", "LIRC /dev/lirc0"
    QString root;  // the device root on the host
};

// The status a result of the remote is answered with.
int StatusOfResult(int result);
// The worded message of a result; `port` names the IR port for the messages that need it.
QString ResultMessage(int result, const QString& port);

class CServiceApi : public QAbstractHttpServer {
    Q_OBJECT

  public:
    CServiceApi(CServiceRemote& remote, ServiceSettings settings, QObject* parent = nullptr);
    ~CServiceApi() override;

    // Listens on `address`:`port` (0: any free port); the port, or 0 when it cannot. Every
    // connection is watched as its bytes arrive, so that a request too large to be read is
    // answered 413 before its body is taken in. (It stands in for the server's own listen,
    // which would leave connections unwatched.)
    quint16 listen(const QHostAddress& address = QHostAddress::LocalHost, quint16 port = 0);

    // Clients listening to the event stream.
    int EventClients() const;

  protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

  private:
    void Dispatch(const QHttpServerRequest& request, QHttpServerResponder& responder,
                  QTcpSocket* socket);
    void Broadcast(const char* event, const QJsonObject& data);
    void OpenEventStream(QHttpServerResponder& responder, QTcpSocket* socket);

    CServiceRemote& remote_;
    ServiceSettings settings_;
    std::vector<QPointer<QTcpSocket>> eventClients_;
};
