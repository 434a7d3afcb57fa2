#include "platform/host/LircPlatform.h"

#include <chrono>
#include <thread>

bool LircPlatform::QueryProcessorInfo(ProcessorInfo& info) {
    info = ProcessorInfo{"", "Linux host", 0};
    return true;
}

uint64_t LircPlatform::QueryPerformanceCounter() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

void LircPlatform::Sleep(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
