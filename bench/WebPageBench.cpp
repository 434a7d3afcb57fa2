// The web remote as a phone meets it, measured in headless chromium through chromedriver on
// loopback (a timed program, not a Google Benchmark): the bytes that came over the wire for
// the page and everything it loaded, and the first paint, over a number of fresh loads. Each
// load is made twice, in browsers of fresh profiles: once as the browser's first page (its own
// start-up counts in the paint), and once after the service's status answer opened the site in
// the tab (only the page itself counts, as on a phone whose browser is already running).
//   build/bench/web_page_bench [LOADS]
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/service/ServiceTestSupport.h"
#include "tests/service/WebDriverSession.h"
#include "tests/support/TempFolder.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int loads = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    TempFolder root;
    const auto host = StartSonyHost(root.Path().string(), root / "emitted.log");
    if (!host) {
        return 1;
    }
    QString why;
    const QString site = QStringLiteral("http://127.0.0.1:%1").arg(host->Port());
    // One load of the page in a browser of a fresh profile (nothing comes from its cache),
    // after `before` when given; the first paint and the bytes over the wire, or false.
    auto load = [&](int k, const QString& before, double& paint, double& wire) {
        Browser fresh;
        if (!fresh.Start(root / ("profile" + std::to_string(k)), why)) {
            std::fprintf(stderr, "%s\n", why.toStdString().c_str());
            return false;
        }
        if (!before.isEmpty()) {
            fresh.Call("POST", fresh.Session() + "/url", QJsonObject{{"url", site + before}});
        }
        fresh.Call("POST", fresh.Session() + "/url", QJsonObject{{"url", site + "/"}});
        for (int wait = 0;
             wait < 200 &&
             fresh.Script("return document.body.dataset.ready || ''").toString() != "1";
             ++wait) {
            Pump(50);
        }
        // Let the form's pictures arrive before counting.
        Pump(300);
        paint = fresh
                    .Script(
                        "const p = performance.getEntriesByName('first-paint')[0];"
                        "return p ? p.startTime : -1")
                    .toDouble();
        wire = fresh
                   .Script(
                       "const n = performance.getEntriesByType('navigation')[0];"
                       "return performance.getEntriesByType('resource')"
                       ".reduce((s, r) => s + r.transferSize, n.transferSize)")
                   .toDouble();
        return true;
    };
    std::vector<double> coldPaints, warmPaints, bytes;
    for (int k = 0; k < loads; ++k) {
        double paint = 0;
        double wire = 0;
        if (!load(2 * k, {}, paint, wire)) {
            return 1;
        }
        coldPaints.push_back(paint);
        bytes.push_back(wire);
        if (!load(2 * k + 1, QStringLiteral("/api/v1/status"), paint, wire)) {
            return 1;
        }
        warmPaints.push_back(paint);
    }
    for (auto* figures : {&coldPaints, &warmPaints, &bytes}) {
        std::sort(figures->begin(), figures->end());
    }
    std::printf(
        "web remote on a 412 px phone, %d fresh loads: first paint median %.0f ms (%.0f to "
        "%.0f ms) as the browser's first page, %.0f ms (%.0f to %.0f ms) in a running "
        "browser; over the wire %.1f KB (%.1f to %.1f KB)\n",
        loads, coldPaints[coldPaints.size() / 2], coldPaints.front(), coldPaints.back(),
        warmPaints[warmPaints.size() / 2], warmPaints.front(), warmPaints.back(),
        bytes[bytes.size() / 2] / 1024, bytes.front() / 1024, bytes.back() / 1024);
    return 0;
}
