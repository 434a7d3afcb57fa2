#include "IrFactory.h"

#include <new>

#include "Detect.h"

namespace {
CIrDriver* g_driver = nullptr;
}

CIrDriver* CreateIrDriver(int family, IrPlatform& platform) {
    (void)platform;
    switch (family) {
        default:
            return nullptr;
    }
}

CIrDriver* GetIrDriver() {
    if (g_driver) {
        return g_driver;
    }
    IrPlatform* platform = CurrentIrPlatform();
    if (!platform) {
        return nullptr;
    }
    g_driver = CreateIrDriver(DetectProcessor(*platform), *platform);
    return g_driver;
}

void DestroyIrDriver() {
    delete g_driver;
    g_driver = nullptr;
}
