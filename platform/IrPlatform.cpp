#include "IrPlatform.h"

namespace {
IrPlatform* g_platform = nullptr;
}

IrPlatform* CurrentIrPlatform() {
    return g_platform;
}
void SetCurrentIrPlatform(IrPlatform* platform) {
    g_platform = platform;
}
