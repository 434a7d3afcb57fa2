#include "ir/Detect.h"

namespace {

struct FamilyPattern {
    const char* text;
    int family;
};

// Searched in this order; "PXA250" comes before "PXA255" so that a PXA255 is found only
// by its own name.
constexpr FamilyPattern kPatterns[] = {
    {"SA11", kFamilySa11x0},       {"PXA250", kFamilyPxa250}, {"PXA255", kFamilyPxa255},
    {"PXA26", kFamilyPxa26x},      {"PXA27", kFamilyPxa27x},  {"S3C2", kFamilyS3c24xx},
    {"OMAP1510", kFamilyOmap1510},
};

constexpr uint32_t kPxaIrSelect = 0x20;  // infrared selection register
constexpr uint32_t kPxaIrTransmit = 0x1;
constexpr uint32_t kPxaIrReceive = 0x2;
constexpr uint32_t kPxaInterruptEnable = 0x04;
constexpr uint32_t kPxaUnitEnable = 0x40;

constexpr uint32_t kS3cLineControl = 0x00;
constexpr uint32_t kS3cInfraredMode = 0x40;

int ProbeUarts(IrPlatform& platform, const uint32_t (&bases)[3], bool (*passes)(RegisterBlock&)) {
    for (int index = 0; index < 3; ++index) {
        ScopedMapping uart(platform, bases[index], true);
        if (uart && passes(*uart.get())) {
            return index + 1;
        }
    }
    return 0;
}

}  // namespace

int DetectProcessor(IrPlatform& platform) {
    ProcessorInfo info;
    if (!platform.QueryProcessorInfo(info)) {
        return kFamilyUnknown;
    }
    const std::string text = info.coreName + " " + info.processorName;
    for (const FamilyPattern& pattern : kPatterns) {
        if (text.find(pattern.text) != std::string::npos) {
            return pattern.family;
        }
    }
    return kFamilyUnknown;
}

int ProbePxaIrUart(IrPlatform& platform) {
    return ProbeUarts(platform, kPxaUartBases, [](RegisterBlock& uart) {
        return (uart.Read32(kPxaIrSelect) & (kPxaIrTransmit | kPxaIrReceive)) != 0 &&
               (uart.Read32(kPxaInterruptEnable) & kPxaUnitEnable) != 0;
    });
}

int ProbeS3cIrUart(IrPlatform& platform) {
    return ProbeUarts(platform, kS3cUartBases, [](RegisterBlock& uart) {
        return (uart.Read32(kS3cLineControl) & kS3cInfraredMode) != 0;
    });
}

uint32_t S3cTimerRate(IrPlatform& platform, RegisterBlock* pwm) {
    ProcessorInfo info;
    if (!platform.QueryProcessorInfo(info)) {
        return 1000;
    }
    const float clock = info.clockSpeed == 0 ? 203.0f : static_cast<float>(info.clockSpeed);

    uint32_t divider = 0;
    {
        ScopedMapping clocks(platform, kS3cClockDividerAddress & ~(RegisterBlock::kPageSize - 1),
                             false);
        if (clocks) {
            divider = clocks->Read32(kS3cClockDividerAddress & (RegisterBlock::kPageSize - 1));
        }
    }
    const bool pclkHalved = (divider & 0x1) != 0;
    const bool is2440 = (info.coreName + info.processorName).find("2440") != std::string::npos;
    const uint32_t hclkDivider = (divider & (is2440 ? 0x6u : 0x2u)) >> 1;

    float pclk = clock;
    if (hclkDivider == 1) {
        pclk /= 2.0f;
    } else if (hclkDivider == 2) {
        pclk /= 4.0f;
    } else if (hclkDivider == 3) {
        pclk /= 3.0f;
    }
    if (pclkHalved) {
        pclk /= 2.0f;
    }

    const uint32_t prescaler = pwm ? (pwm->Read32(0) >> 8) & 0xFF : 0;
    const float rate = pclk / static_cast<float>(prescaler + 1) / 2.0f * 1000.0f;
    return static_cast<uint32_t>(rate);
}
