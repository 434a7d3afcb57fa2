#include "platform/sim/SimClock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

namespace {

// A counter's ticks kept from one read to the next must be what the division gives, at
// every step size: the drivers' reads come every 100 ns or so, a sleep jumps milliseconds,
// and a timer set up again starts its span from 0.
struct TickRateCase {
    const char* name;
    uint64_t numerator, denominator;
    friend void PrintTo(const TickRateCase& c, std::ostream* out) { *out << c.name; }
};

class SimTickRateTest : public testing::TestWithParam<TickRateCase> {};

TEST_P(SimTickRateTest, KeepsToTheDivisionAtEveryStep) {
    const TickRateCase& c = GetParam();
    SimTickRate rate(c.numerator, c.denominator);
    uint64_t span = 0;
    uint32_t state = 12345;
    for (int k = 0; k < 200000; ++k) {
        state = state * 1103515245u + 12345u;
        const uint32_t pick = state >> 16;
        if (pick % 1000 == 0) {
            span += 5000000 + pick;  // a sleep
        } else if (pick % 997 == 0) {
            span = pick % 3000;  // a new run
        } else {
            span += pick % 400;  // a poll or two, or none
        }
        ASSERT_EQ(rate.Ticks(span), SimClock::Scale(span, c.numerator, c.denominator))
            << "at " << span;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Counters, SimTickRateTest,
    testing::Values(TickRateCase{"s3c2410 timer at 1.015 MHz", 203, 200000},
                    TickRateCase{"s3c2440 timer at 1.25 MHz", 400, 320000},
                    TickRateCase{"omap1510 timer 3 at 3.038 MHz", 3038000, 1000000000},
                    TickRateCase{"pxa25x os timer", 3686400, 1000000000},
                    TickRateCase{"slower than a poll", 1, 7000},
                    TickRateCase{"faster than the clock", 3, 2}),
    [](const testing::TestParamInfo<TickRateCase>& info) { return std::to_string(info.index); });

}  // namespace
