// A text log of what the simulated handheld's emitter sends, for scripts and demonstrations:
// one line per send of the driver (a press: its first frame and every repeat while it is
// held), "carrier_us=N durations=D1,D2,...", demodulated, marks positive and spaces negative,
// the last value the space after the last mark. Each line is flushed as soon as it is written.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

class SimHandheld;

class CEmitterLog {
  public:
    CEmitterLog() = default;
    ~CEmitterLog();
    CEmitterLog(const CEmitterLog&) = delete;
    CEmitterLog& operator=(const CEmitterLog&) = delete;

    // Opens `path` for appending and starts watching `handheld`; false with a message when
    // the file cannot be opened.
    bool Attach(SimHandheld& handheld, const std::string& path, std::string& error);

    // The line of the emissions between two moments of the handheld's clock; empty when the
    // emitter was silent. `endNs` closes the last space.
    static std::string LineOf(const std::vector<std::pair<uint64_t, bool>>& emissions,
                              uint64_t endNs);

  private:
    // A driver's send (or capture) ended: what the emitter sent since the last line is written.
    void SendEnded();

    SimHandheld* handheld_ = nullptr;
    std::FILE* file_ = nullptr;
    size_t logged_ = 0;  // emissions already written
    std::pair<uint64_t, bool> lastLogged_{0, false};
};
