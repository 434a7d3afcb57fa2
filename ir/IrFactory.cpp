#include "IrFactory.h"

#include <new>

#include "COmap1510IrDriver.h"
#include "CPxa25xIrDriver.h"
#include "CPxa27xIrDriver.h"
#include "CS3c24xxIrDriver.h"
#include "CSa11x0IrDriver.h"
#include "Detect.h"

namespace {
CIrDriver* g_driver = nullptr;
}

CIrDriver* CreateIrDriver(int family, IrPlatform& platform) {
    switch (family) {
        case kFamilySa11x0:
            return new (std::nothrow) CSa11x0IrDriver(platform);
        case kFamilyPxa250:
        case kFamilyPxa255:
        case kFamilyPxa26x:
            return new (std::nothrow) CPxa25xIrDriver(platform);
        case kFamilyPxa27x:
            return new (std::nothrow) CPxa27xIrDriver(platform);
        case kFamilyS3c24xx:
            return new (std::nothrow) CS3c24xxIrDriver(platform);
        case kFamilyOmap1510:
            return new (std::nothrow) COmap1510IrDriver(platform);
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
