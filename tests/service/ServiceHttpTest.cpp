// The service through real HTTP on a free loopback port, with the simulated handheld (its
// emitter log shows what went out) and with the FUSE LIRC test device (its writes do).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <chrono>
#include <cstdlib>
#include <future>
#include <map>
#include <thread>

#include <gtest/gtest.h>

#include "app/daemon/CServiceHost.h"
#include "app/program/ProgramFiles.h"
#include "ir/protocols/IrProtocol.h"
#include "model/CRemoteModel.h"
#include "service/CServiceRemote.h"
#include "service/ServiceAccess.h"
#include "tests/service/ServiceTestSupport.h"
#include "tests/support/FuseLircDevice.h"
#include "tests/support/TempFolder.h"

namespace {

// Every file of the device root with a digest of its bytes.
std::map<QString, QByteArray> Snapshot(const std::string& root) {
    std::map<QString, QByteArray> files;
    QDirIterator it(QString::fromStdString(root), QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        file.open(QIODevice::ReadOnly);
        files[it.filePath()] = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
    }
    return files;
}

QJsonObject JsonOf(const Reply& reply) {
    return QJsonDocument::fromJson(reply.body).object();
}

class ServiceHttpTest : public testing::Test {
  protected:
    void StartHost(bool forceToken = false) {
        host = StartSonyHost(root.Path().string(), log, forceToken);
        ASSERT_TRUE(host);
    }
    Reply Call(const QByteArray& method, const QByteArray& path, const QByteArray& body = {},
               const QByteArray& headers = {}) {
        return Exchange(host->Port(), Request(method, path, body, headers));
    }

    TempFolder root;
    std::string log = root / "emitted.log";
    const IrSignal power = CodeSignal("SIRC", 1, 21);
    const IrSignal volume = CodeSignal("SIRC", 1, 18);
    std::unique_ptr<CServiceHost> host;
};

TEST_F(ServiceHttpTest, StatusAndCodebasesDescribeTheRoot) {
    StartHost();
    const QJsonObject status = JsonOf(Call("GET", "/api/v1/status"));
    EXPECT_EQ(status["ir"].toString(), "simulated pxa255");
    EXPECT_EQ(status["root"].toString(), QString::fromStdString(root.Path().string()));
    const Reply codebases = Call("GET", "/api/v1/codebases");
    ASSERT_EQ(codebases.status, 200);
    const QJsonArray list = QJsonDocument::fromJson(codebases.body).array();
    ASSERT_EQ(list.size(), 1);
    const QJsonObject sony = list[0].toObject();
    EXPECT_EQ(sony["name"].toString(), "TV_Sony");
    EXPECT_EQ(sony["category"].toString(), "TV");
    EXPECT_TRUE(sony["hot"].toBool());
    const QJsonArray buttons = sony["buttons"].toArray();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[0].toObject()["name"].toString(), "Power");
    EXPECT_EQ(buttons[0].toObject()["protocol"].toString(), "SIRC");
    EXPECT_EQ(buttons[0].toObject()["address"].toInt(), 1);
    EXPECT_EQ(buttons[0].toObject()["command"].toInt(), 21);
}

TEST_F(ServiceHttpTest, APressSendsTheStoredSignalOnce) {
    StartHost();
    const Reply reply = Call("POST", "/api/v1/codebases/TV_Sony/buttons/Power/press");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(JsonOf(reply)["result"].toInt(), 0);
    const std::vector<std::string> lines = Lines(log);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].starts_with("carrier_us=25 durations="));
    // A tap: three passes, the last space closed by the end of the send.
    EXPECT_TRUE(SameSend(lines[0], Passes(power, 3))) << lines[0];
}

TEST_F(ServiceHttpTest, AHeldPressRepeatsWhileHeldAndAPageHoldEndsUnrenewed) {
    StartHost();
    // Vol+ sends one pass at least and more while held; a SIRC pass lasts 45 ms.
    ASSERT_EQ(Call("POST", "/api/v1/codebases/TV_Sony/buttons/Vol%2B/press").status, 200);
    ASSERT_EQ(Call("POST", "/api/v1/codebases/TV_Sony/buttons/Vol%2B/press", R"({"hold_ms": 600})")
                  .status,
              200);
    // A page that pressed and then went away: its hold is never renewed.
    ASSERT_EQ(
        Call("POST", "/api/v1/codebases/TV_Sony/buttons/Vol%2B/press", R"({"hold_id": "gone"})")
            .status,
        200);
    const std::vector<std::string> lines = Lines(log);
    ASSERT_EQ(lines.size(), 3u);
    const int frameMarks = Marks(lines[0]);
    EXPECT_TRUE(SameSend(lines[0], Passes(volume, 1))) << lines[0];
    // The handheld keeps pace with the wall clock only as far as the host lets it: under a
    // sanitizer on a busy machine it falls behind and sends fewer passes in the same time.
    // So the lower bounds ask only that the hold repeated; the upper ones that it ended.
    const int held = Marks(lines[1]) / frameMarks;
    EXPECT_GE(held, 4);
    EXPECT_LE(held, 16);
    const int abandoned = Marks(lines[2]) / frameMarks;
    EXPECT_GE(abandoned, 2);
    EXPECT_LE(abandoned, 14);
    EXPECT_TRUE(SameSend(lines[1], Passes(volume, held))) << lines[1];
}

TEST_F(ServiceHttpTest, PressesFromManyClientsEachGoOutWhole) {
    StartHost();
    constexpr int kClients = 4, kPresses = 5;
    std::vector<std::future<std::vector<int>>> clients;
    const quint16 port = host->Port();
    for (int c = 0; c < kClients; ++c) {
        clients.push_back(std::async(std::launch::async, [port, c] {
            std::vector<int> statuses;
            for (int k = 0; k < kPresses; ++k) {
                const QByteArray button = (c + k) % 2 ? "Vol%2B" : "Power";
                // Exchange pumps the loop of the thread it runs on; here the service's
                // loop runs on the test's thread below.
                const int fd = Connect(port, 20);
                const QByteArray request =
                    Request("POST", "/api/v1/codebases/TV_Sony/buttons/" + button + "/press");
                ::send(fd, request.constData(), static_cast<size_t>(request.size()), MSG_NOSIGNAL);
                char buffer[512] = {};
                const ssize_t n = ::recv(fd, buffer, sizeof buffer - 1, 0);
                ::close(fd);
                statuses.push_back(n > 12 ? QByteArray(buffer + 9, 3).toInt() : 0);
            }
            return statuses;
        }));
    }
    for (auto& client : clients) {
        while (client.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
            QCoreApplication::processEvents();
        }
        for (const int status : client.get()) {
            EXPECT_EQ(status, 200);
        }
    }
    const std::vector<std::string> lines = Lines(log);
    ASSERT_EQ(lines.size(), static_cast<size_t>(kClients * kPresses));
    for (const std::string& line : lines) {
        EXPECT_TRUE(SameSend(line, Passes(power, 3)) || SameSend(line, Passes(volume, 1))) << line;
    }
}

TEST_F(ServiceHttpTest, CodesAndRawDurationsAreSent) {
    StartHost();
    EXPECT_EQ(
        Call("POST", "/api/v1/send", R"({"protocol": "NEC", "address": 4, "command": 8})").status,
        200);
    EXPECT_EQ(Call("POST", "/api/v1/send",
                   R"({"carrier_us": 26, "durations": [9000, -4500, 560, -20000], "repeat": 2})")
                  .status,
              200);
    const Reply unknown =
        Call("POST", "/api/v1/send", R"({"protocol": "NOPE", "address": 4, "command": 8})");
    EXPECT_EQ(unknown.status, 400);
    EXPECT_TRUE(JsonOf(unknown)["error"].toString().contains("NOPE"));
    const Reply range =
        Call("POST", "/api/v1/send", R"({"protocol": "NEC", "address": 4000, "command": 8})");
    EXPECT_EQ(range.status, 400);
    const std::vector<std::string> lines = Lines(log);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(SameSend(lines[0], Passes(CodeSignal("NEC", 4, 8), 3))) << lines[0];
    EXPECT_TRUE(SameSend(lines[1], {9000, -4500, 560, -20000, 9000, -4500, 560, -20000}))
        << lines[1];
}

TEST_F(ServiceHttpTest, HotAndDeletionsChangeTheCodebasesAndAreAnnounced) {
    StartHost();
    // The event stream, read on a thread of its own.
    const quint16 port = host->Port();
    auto events = std::async(std::launch::async, [port] {
        const int fd = Connect(port, 10);
        const QByteArray request = Request("GET", "/api/v1/events");
        ::send(fd, request.constData(), static_cast<size_t>(request.size()), MSG_NOSIGNAL);
        QByteArray data;
        char buffer[4096];
        while (!data.contains("event: codebases")) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            data.append(buffer, n);
        }
        ::close(fd);
        return data;
    });
    // Wait until the stream is open, then press and delete.
    for (int k = 0; k < 10000 && host->EventClients() == 0; ++k) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(host->EventClients(), 1);
    EXPECT_EQ(Call("POST", "/api/v1/codebases/TV_Sony/buttons/Power/press").status, 200);
    EXPECT_EQ(Call("DELETE", "/api/v1/codebases/TV_Sony/buttons/Power").status, 200);
    EXPECT_EQ(Call("DELETE", "/api/v1/codebases/TV_Sony/buttons/Power").status, 404);
    EXPECT_EQ(Call("POST", "/api/v1/codebases/TV_Sony/buttons/Power/press").status, 404);
    while (events.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    const QByteArray stream = events.get();
    EXPECT_TRUE(stream.contains("text/event-stream"));
    EXPECT_TRUE(
        stream.contains(R"(event: sent)"
                        "\n"
                        R"(data: {"button":"Power","codebase":"TV_Sony","passes":3,"result":0})"))
        << stream.toStdString();
    EXPECT_TRUE(stream.contains("event: codebases"));

    EXPECT_EQ(Call("POST", "/api/v1/codebases/TV_Nope/hot").status, 404);
    EXPECT_EQ(Call("POST", "/api/v1/codebases/tv_sony/hot").status, 200);
    EXPECT_EQ(Call("DELETE", "/api/v1/codebases/TV_Sony").status, 200);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(root / "My Documents/TV_Sony.PDB")));
    EXPECT_TRUE(host->Model().HotCodebase(1).isEmpty());
    EXPECT_EQ(Call("DELETE", "/api/v1/codebases/TV_Sony").status, 404);
}

TEST_F(ServiceHttpTest, LearningStoresANewCodebaseAndBlocksPressesMeanwhile) {
    StartHost();
    const Reply started = Call("POST", "/api/v1/codebases/TV_Living%20room/buttons/Power/learn");
    ASSERT_EQ(started.status, 202);
    EXPECT_EQ(Call("POST", "/api/v1/codebases/TV_Sony/buttons/Power/press").status, 409);
    EXPECT_EQ(Call("POST", "/api/v1/codebases/TV_Sony/buttons/Mute/learn").status, 409);
    for (int k = 0; k < 10000 && host->Remote().LearnRunning(); ++k) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_FALSE(host->Remote().LearnRunning());
    EXPECT_TRUE(QFile::exists(
        QString::fromStdString(root / "Program Files/ArdelRemote/CodeBases/TV_Living room.PDB")))
        << "new codebases go where Home Devices puts them";
    // A name that breaks the naming rules makes nothing.
    EXPECT_EQ(Call("POST", "/api/v1/codebases/Living/buttons/Power/learn").status, 400);
}

struct BadRequest {
    const char* name;
    QByteArray request;
    int status;
};

class BadRequestTest : public ServiceHttpTest, public testing::WithParamInterface<BadRequest> {};

TEST_P(BadRequestTest, IsRefusedAndChangesNothing) {
    StartHost();
    const auto before = Snapshot(root.Path().string());
    const Reply reply = Exchange(host->Port(), GetParam().request);
    EXPECT_EQ(reply.status, GetParam().status) << reply.body.toStdString();
    if (reply.status >= 400 && reply.status != 413) {
        const QJsonObject body = JsonOf(reply);
        EXPECT_FALSE(body["error"].toString().isEmpty());
        EXPECT_TRUE(body.contains("result"));
    }
    EXPECT_EQ(Snapshot(root.Path().string()), before);
    EXPECT_TRUE(Lines(log).empty()) << "nothing was sent";
}

QByteArray HugeBody() {
    return R"({"hold_ms": 1, "pad": ")" + QByteArray(1 << 20, 'x') + "\"}";
}

// A megabyte in chunks of 64 KiB, as a client sends a body whose length it does not know.
QByteArray HugeChunkedRequest() {
    QByteArray request =
        "POST /api/v1/codebases/TV_Sony/buttons/Power/press HTTP/1.1\r\nHost: 127.0.0.1\r\n"
        "Transfer-Encoding: chunked\r\n\r\n";
    for (int k = 0; k < 16; ++k) {
        request += "10000\r\n" + QByteArray(0x10000, ' ') + "\r\n";
    }
    return request + "0\r\n\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadRequestTest,
    testing::Values(
        BadRequest{"BadJson",
                   Request("POST", "/api/v1/codebases/TV_Sony/buttons/Power/press", "{hold_ms"),
                   400},
        BadRequest{"WrongType",
                   Request("POST", "/api/v1/codebases/TV_Sony/buttons/Power/press",
                           R"({"hold_ms": "long"})"),
                   400},
        BadRequest{"HugeNumber",
                   Request("POST", "/api/v1/codebases/TV_Sony/buttons/Power/press",
                           R"({"hold_ms": 1e308})"),
                   400},
        BadRequest{"HugeAddress",
                   Request("POST", "/api/v1/send",
                           R"({"protocol": "NEC", "address": 99999999999999, "command": 1})"),
                   400},
        BadRequest{"UnknownRoute", Request("GET", "/api/v1/nothing"), 404},
        BadRequest{"WrongMethod", Request("GET", "/api/v1/send"), 405},
        BadRequest{"NoSuchCodebase",
                   Request("POST", "/api/v1/codebases/TV_Nope/buttons/Power/press"), 404},
        BadRequest{"NoSuchButton", Request("POST", "/api/v1/codebases/TV_Sony/buttons/Mute/press"),
                   404},
        BadRequest{"DotDotCodebase", Request("DELETE", "/api/v1/codebases/.."), 400},
        BadRequest{"EncodedDotDot",
                   Request("DELETE", "/api/v1/codebases/..%2F..%2FProgram%20Files"), 400},
        BadRequest{"DotDotSkin", Request("GET", "/skins/..%2FArdelRemoteDefPref.PDB"), 404},
        BadRequest{"SkinNotOfAForm", Request("GET", "/skins/UsedPref.PDB"), 404},
        BadRequest{"DotDotPage", Request("GET", "/web/../../etc/passwd"), 404},
        BadRequest{
            "ForeignOrigin",
            Request("DELETE", "/api/v1/codebases/TV_Sony", {}, "Origin: http://evil.example\r\n"),
            403},
        BadRequest{"ForeignHost",
                   "POST /api/v1/codebases/TV_Sony/buttons/Power/press HTTP/1.1\r\n"
                   "Host: evil.example:8733\r\n\r\n",
                   403},
        BadRequest{"MegabyteBody",
                   Request("POST", "/api/v1/codebases/TV_Sony/buttons/Power/press", HugeBody()),
                   413},
        // Refused on its head alone: the answer comes although the body is never sent.
        BadRequest{"MegabyteDeclaredAndNeverSent",
                   "POST /api/v1/codebases/TV_Sony/buttons/Power/press HTTP/1.1\r\n"
                   "Host: 127.0.0.1\r\nContent-Length: 1048576\r\n\r\n",
                   413},
        BadRequest{"MegabyteInChunks", HugeChunkedRequest(), 413}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ServiceHttpTest, ABodyLongerThanItsLengthIsRefusedAndTheConnectionEnds) {
    StartHost();
    // What follows the declared length is no request and never ends a line: the service
    // gives up on the connection rather than keep it all.
    const QByteArray request = Request("POST", "/api/v1/send", "{}") + QByteArray(1 << 20, 'x');
    auto answers = std::async(std::launch::async, [port = host->Port(), request] {
        const int fd = Connect(port, 20);
        for (qsizetype sent = 0; fd >= 0 && sent < request.size();) {
            const ssize_t n = ::send(fd, request.constData() + sent,
                                     static_cast<size_t>(request.size() - sent), MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            sent += n;
        }
        QByteArray data;
        char buffer[65536];
        ssize_t n = 1;
        while (fd >= 0 && n > 0) {
            n = ::recv(fd, buffer, sizeof buffer, 0);
            data.append(buffer, std::max<ssize_t>(n, 0));
        }
        ::close(fd);
        return std::make_pair(data, n == 0);
    });
    while (answers.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    const auto [data, closed] = answers.get();
    EXPECT_TRUE(data.contains("HTTP/1.1 413")) << data.left(300).toStdString();
    EXPECT_TRUE(closed) << "the service ended the connection";
    EXPECT_TRUE(Lines(log).empty()) << "nothing was sent";
}

TEST_F(ServiceHttpTest, BeyondLoopbackEveryRequestNeedsTheToken) {
    StartHost(true);
    const QByteArray token = host->Token().toUtf8();
    ASSERT_FALSE(token.isEmpty());
    struct stat info {};
    ASSERT_EQ(::stat((root / kTokenFileName).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    const auto before = Snapshot(root.Path().string());
    EXPECT_EQ(Call("DELETE", "/api/v1/codebases/TV_Sony").status, 401);
    EXPECT_EQ(
        Call("DELETE", "/api/v1/codebases/TV_Sony", {}, "Authorization: Bearer nope\r\n").status,
        401);
    EXPECT_EQ(Call("GET", "/api/v1/status?token=" + token).status, 401)
        << "only the page takes its token in the query";
    EXPECT_EQ(Call("GET", "/skins/TV1_Back.gif").status, 401);
    EXPECT_EQ(Snapshot(root.Path().string()), before);

    EXPECT_EQ(Call("GET", "/api/v1/status", {}, "Authorization: Bearer " + token + "\r\n").status,
              200);
    // The page opened once with its token keeps it in a cookie of its own site.
    const Reply page = Call("GET", "/?token=" + token);
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.headers.contains("Set-Cookie: ardel_token=" + token));
    EXPECT_TRUE(page.headers.contains("SameSite=Strict"));
    EXPECT_EQ(Call("GET", "/api/v1/codebases", {}, "Cookie: ardel_token=" + token + "\r\n").status,
              200);
}

TEST_F(ServiceHttpTest, ThePageAndItsPicturesComeFromTheProgramAndTheRoot) {
    StartHost();
    const Reply page = Call("GET", "/");
    ASSERT_EQ(page.status, 200);
    EXPECT_TRUE(page.headers.contains("text/html"));
    EXPECT_TRUE(page.body.contains("/web/remote.js"));
    // The style sheet comes within the page, and the page's policy lets exactly it apply.
    const qsizetype styleAt = page.body.indexOf("<style>") + 7;
    ASSERT_GT(styleAt, 6);
    const QByteArray style = page.body.mid(styleAt, page.body.indexOf("</style>") - styleAt);
    EXPECT_TRUE(style.contains("#remote"));
    EXPECT_TRUE(page.headers.contains(
        "'sha256-" + QCryptographicHash::hash(style, QCryptographicHash::Sha256).toBase64() + "'"))
        << page.headers.toStdString();
    EXPECT_EQ(Call("GET", "/web/remote.js").status, 200);
    const Reply picture = Call("GET", "/skins/TV1_Back.gif");
    ASSERT_EQ(picture.status, 200);
    EXPECT_TRUE(picture.body.startsWith("GIF8"));
    const QJsonObject forms = JsonOf(Call("GET", "/api/v1/forms"));
    EXPECT_EQ(forms["width"].toInt(), 240);
    EXPECT_EQ(forms["forms"].toArray().size(), 12);
}

// The service on a LIRC transmitter: the FUSE test device records what it was given.
TEST(ServiceLircTest, APressReachesTheLircDevice) {
    ScaledLircClock clock(10);
    FuseLircDevice device(clock);
    if (!device.Mounted()) {
        GTEST_SKIP() << "no FUSE file system can be mounted here: " << device.Error();
    }
    TempFolder root;
    QString error;
    ServiceHostOptions options;
    ASSERT_TRUE(LircHostOptions(root.Path().string(), device.Path(), clock, false, options, error))
        << error.toStdString();
    CServiceHost host(options);
    ASSERT_TRUE(host.Start(error)) << error.toStdString();
    const IrSignal power = CodeSignal("NEC", 4, 8);
    bool created = false;
    ASSERT_EQ(StoreLearntSignal(host.Model().Fs(), kCodebasePath, "Power", power, 1,
                                LearnMode::Single, created),
              kStoreOk);
    const Reply reply =
        Exchange(host.Port(), Request("POST", "/api/v1/codebases/TV_Sony/buttons/Power/press"));
    EXPECT_EQ(reply.status, 200) << reply.body.toStdString();
    // The marks of three passes, in order.
    EXPECT_EQ(WrittenMarks(device.Writes()), MarksOf(Passes(power, 3)));
    // NEC's stored carrier period of 26 us, as a frequency.
    EXPECT_EQ(device.Writes().front().carrierHz, 1000000u / 26 + 1);
}

// Two owners of one device root: the second says so and stops.
TEST(ServiceProgramTest, ASecondOwnerOfTheRootIsRefused) {
    TempFolder root;
    const QString program = QStringLiteral(ARDEL_BINARY_DIR "/app/ardelremoted");
    QProcess first;
    first.start(program, {"--root", QString::fromStdString(root.Path().string()), "--ir", "sim",
                          "--listen", "127.0.0.1:0"});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(first.waitForReadyRead(10000)) << "the first one serves";
    EXPECT_TRUE(first.readAllStandardOutput().contains("serving simulated pxa255"));
    QProcess second;
    second.start(program, {"--root", QString::fromStdString(root.Path().string()), "--ir", "sim",
                           "--listen", "127.0.0.1:0"});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_NE(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardError().contains("is already running on the device root"));
    first.terminate();
    EXPECT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitCode(), 0) << "SIGTERM ends it in order";

    // --show-token prints the token the service asks for, from its private file.
    QProcess show;
    show.start(program, {"--root", QString::fromStdString(root.Path().string()), "--show-token"});
    ASSERT_TRUE(show.waitForFinished(10000));
    QFile file(QString::fromStdString(root / kTokenFileName));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(show.readAllStandardOutput().trimmed(), file.readAll().trimmed());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
