// The simulated handheld's clock. Time advances only when the program reads a register,
// reads the performance counter, asks for the stylus or sleeps; each read costs a fixed,
// configurable time so that busy-wait loops make progress. Everything is deterministic.
#pragma once

#include <chrono>
#include <cstdint>

class SimClock {
  public:
    // Nanoseconds of virtual time since the handheld was switched on.
    uint64_t Now() const { return now_; }

    void Advance(uint64_t nanoseconds) {
        now_ += nanoseconds;
        if (paced_) {
            Pace();
        }
    }
    void ChargeRegisterRead() { Advance(registerReadCost_); }
    void ChargeSystemCall() { Advance(systemCallCost_); }

    // Ticks of a counter running at `hertz` since switch-on.
    uint64_t Ticks(uint64_t hertz) const { return Scale(now_, hertz, kSecond); }
    // The first virtual time at which a counter at `hertz` shows `ticks`.
    static uint64_t TimeOfTick(uint64_t ticks, uint64_t hertz) {
        const uint64_t time = Scale(ticks, kSecond, hertz);
        return Scale(time, hertz, kSecond) < ticks ? time + 1 : time;
    }
    static constexpr uint64_t kSecond = 1000000000;

    // What one register read costs (an uncached bus access), and one system call (the
    // performance counter, the stylus query).
    void SetRegisterReadCost(uint64_t nanoseconds) { registerReadCost_ = nanoseconds; }
    void SetSystemCallCost(uint64_t nanoseconds) { systemCallCost_ = nanoseconds; }
    uint64_t RegisterReadCost() const { return registerReadCost_; }
    uint64_t SystemCallCost() const { return systemCallCost_; }

    // Paced, virtual time never runs ahead of real time: the host waits where the virtual
    // handheld would. For interactive use, so that time-outs last as long as a person sees.
    void SetPaced(bool paced);
    bool IsPaced() const { return paced_; }

    // value * numerator / denominator, rounded down, without overflow for any clock
    // value this simulation reaches (numerator and denominator below 2^32).
    static uint64_t Scale(uint64_t value, uint64_t numerator, uint64_t denominator) {
        return value / denominator * numerator + value % denominator * numerator / denominator;
    }

  private:
    void Pace();

    uint64_t now_ = 0;
    uint64_t registerReadCost_ = 100;
    uint64_t systemCallCost_ = 2000;
    bool paced_ = false;
    uint64_t pacedFrom_ = 0;  // virtual time when pacing began
    std::chrono::steady_clock::time_point hostFrom_;
    uint64_t nextCheck_ = 0;
};

// The ticks of a counter that runs at numerator / denominator ticks per nanosecond, after a
// span of virtual time: SimClock::Scale(span, numerator, denominator), exactly. The drivers
// read their counters every few hundred nanoseconds, far more often than it ticks at times,
// so the start of the next tick is kept and most reads compare instead of dividing; spans
// that grow by a few ticks step on without a division, anything else is worked out anew.
// Numerator and denominator are below 2^32.
class SimTickRate {
  public:
    SimTickRate() : SimTickRate(1, 1) {}
    SimTickRate(uint64_t numerator, uint64_t denominator);

    uint64_t Ticks(uint64_t span) {
        if (span >= from_ && span < next_) {
            return ticks_;
        }
        if (span >= next_ && span - next_ < stepQuotient_) {
            Step();  // the next tick, and not yet the one after
            return ticks_;
        }
        return Move(span);
    }

    // The spans known to show the last answer: from SteadyFrom() up to SteadyUntil().
    uint64_t SteadyFrom() const { return from_; }
    uint64_t SteadyUntil() const { return next_; }

  private:
    void Step() {
        from_ = next_;
        ++ticks_;
        nextQuotient_ += stepQuotient_;
        nextRemainder_ += stepRemainder_;
        if (nextRemainder_ >= numerator_) {
            nextRemainder_ -= numerator_;
            ++nextQuotient_;
        }
        next_ = nextQuotient_ + (nextRemainder_ != 0);
    }
    uint64_t Move(uint64_t span);
    // Places the cache at tick `ticks`, which `span` shows.
    void Place(uint64_t ticks, uint64_t span);

    uint64_t numerator_, denominator_;
    uint64_t stepQuotient_, stepRemainder_;  // denominator / numerator and its remainder
    uint64_t ticks_ = 0;
    uint64_t from_ = 0;  // a span known to show ticks_
    uint64_t next_ = 0;  // the first span that shows ticks_ + 1
    // (ticks_ + 1) * denominator as quotient and remainder of the numerator: next_ is the
    // quotient, rounded up.
    uint64_t nextQuotient_ = 0, nextRemainder_ = 0;
};
