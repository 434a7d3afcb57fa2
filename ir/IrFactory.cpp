#include "ir/IrFactory.h"

#include <new>

#include "ir/COmap1510IrDriver.h"
#include "ir/CPxa25xIrDriver.h"
#include "ir/CPxa27xIrDriver.h"
#include "ir/CS3c24xxIrDriver.h"
#include "ir/CSa11x0IrDriver.h"
#include "ir/Detect.h"

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

CIrDriver* CIrDriverFactory::GetIrDriver() {
    if (!driver_) {
        driver_.reset(CreateIrDriver(DetectProcessor(platform_), platform_));
    }
    return driver_.get();
}
