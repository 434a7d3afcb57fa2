// The web remote as a phone meets it, measured in headless chromium through chromedriver on
// loopback (a timed program, not a Google Benchmark): the bytes that came over the wire for
// the page and everything it loaded, and the first paint, over a number of fresh loads.
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
    std::vector<double> paints, bytes;
    for (int k = 0; k < loads; ++k) {
        // A fresh profile each time: nothing comes from the browser's cache.
        Browser fresh;
        if (!fresh.Start(root / ("profile" + std::to_string(k)), why)) {
            std::fprintf(stderr, "%s\n", why.toStdString().c_str());
            return 1;
        }
        fresh.Call("POST", fresh.Session() + "/url",
                   QJsonObject{{"url", QStringLiteral("http://127.0.0.1:%1/").arg(host->Port())}});
        for (int wait = 0;
             wait < 200 &&
             fresh.Script("return document.body.dataset.ready || ''").toString() != "1";
             ++wait) {
            Pump(50);
        }
        // Let the form's pictures arrive before counting.
        Pump(300);
        paints.push_back(fresh
                             .Script("const p = performance.getEntriesByName('first-paint')[0];"
                                     "return p ? p.startTime : -1")
                             .toDouble());
        bytes.push_back(fresh
                            .Script("const n = performance.getEntriesByType('navigation')[0];"
                                    "return performance.getEntriesByType('resource')"
                                    ".reduce((s, r) => s + r.transferSize, n.transferSize)")
                            .toDouble());
    }
    std::sort(paints.begin(), paints.end());
    std::sort(bytes.begin(), bytes.end());
    std::printf(
        "web remote on a 412 px phone, %d fresh loads: first paint median %.0f ms (%.0f to "
        "%.0f ms); over the wire %.1f KB (%.1f to %.1f KB)\n",
        loads, paints[paints.size() / 2], paints.front(), paints.back(),
        bytes[bytes.size() / 2] / 1024, bytes.front() / 1024, bytes.back() / 1024);
    return 0;
}
