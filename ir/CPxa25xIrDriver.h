// The driver of the Intel PXA250, PXA255 and PXA26x.
#pragma once

#include "ir/CPxaIrDriver.h"

class CPxa25xIrDriver : public CPxaIrDriver {
  public:
    explicit CPxa25xIrDriver(IrPlatform& platform);
};
