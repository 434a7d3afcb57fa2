// The driver of the Intel PXA27x.
#pragma once

#include "ir/CPxaIrDriver.h"

class CPxa27xIrDriver : public CPxaIrDriver {
  public:
    explicit CPxa27xIrDriver(IrPlatform& platform);
};
