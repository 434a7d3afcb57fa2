#include "service/EmitterLog.h"

#include <cerrno>
#include <cmath>
#include <cstring>

#include "platform/sim/SimHandheld.h"

CEmitterLog::~CEmitterLog() {
    if (handheld_) {
        handheld_->SetPenFlushObserver({});
    }
    if (file_) {
        std::fclose(file_);
    }
}

bool CEmitterLog::Attach(SimHandheld& handheld, const std::string& path, std::string& error) {
    file_ = std::fopen(path.c_str(), "a");
    if (!file_) {
        error = "cannot open the emitter log " + path + ": " + std::strerror(errno);
        return false;
    }
    handheld_ = &handheld;
    logged_ = handheld.Air().Emissions().size();
    if (logged_ > 0) {
        lastLogged_ = handheld.Air().Emissions()[logged_ - 1];
    }
    handheld.SetPenFlushObserver([this] { SendEnded(); });
    return true;
}

std::string CEmitterLog::LineOf(const std::vector<std::pair<uint64_t, bool>>& emissions,
                                uint64_t endNs) {
    SimIrAir air;
    uint64_t lastRise = 0;
    for (const auto& [time, on] : emissions) {
        air.Transmit(time, on);
        if (on) {
            lastRise = time;
        }
    }
    const Demodulated sent = air.Demodulate();
    if (sent.durations.empty()) {
        return {};
    }
    std::string line = "carrier_us=" + std::to_string(sent.carrierPeriodUs) + " durations=";
    for (size_t k = 0; k < sent.durations.size(); ++k) {
        line += (k ? "," : "") + std::to_string(sent.durations[k]);
    }
    // A mark ends with its last whole carrier cycle; the space after it lasts until the
    // driver's send was over.
    const uint64_t markEnd = lastRise + sent.carrierPeriodNs;
    const double spaceUs = endNs > markEnd ? static_cast<double>(endNs - markEnd) / 1000.0 : 0.0;
    const auto space = static_cast<int64_t>(std::lround(spaceUs));
    if (space > 0) {
        line += "," + std::to_string(-space);
    }
    return line;
}

void CEmitterLog::SendEnded() {
    const auto& emissions = handheld_->Air().Emissions();
    // The emissions may have been cleared since the last line (a learning check listens to
    // its own emitter): then all that is there now is new.
    if (logged_ > emissions.size() || (logged_ > 0 && emissions[logged_ - 1] != lastLogged_)) {
        logged_ = 0;
    }
    if (logged_ == emissions.size()) {
        return;  // a capture, or a send that emitted nothing
    }
    const std::vector<std::pair<uint64_t, bool>> slice(
        emissions.begin() + static_cast<std::ptrdiff_t>(logged_), emissions.end());
    logged_ = emissions.size();
    lastLogged_ = emissions.back();
    const std::string line = LineOf(slice, handheld_->Clock().Now());
    if (!line.empty()) {
        std::fprintf(file_, "%s\n", line.c_str());
        std::fflush(file_);
    }
}
