// Making the IR driver that serves the processor of a platform.
#pragma once

#include <memory>

#include "ir/CIrDriver.h"

// The one IR driver of a program, made on first use for the processor that `platform`
// reports; the program owns this object and hands the driver to whoever needs it.
class CIrDriverFactory {
  public:
    explicit CIrDriverFactory(IrPlatform& platform) : platform_(platform) {}

    // The driver; null on an unknown processor (a later call tries again).
    CIrDriver* GetIrDriver();
    void DestroyIrDriver() { driver_.reset(); }

  private:
    IrPlatform& platform_;
    std::unique_ptr<CIrDriver> driver_;
};

// A new driver of the class that serves a processor family; null for family 0 and for
// families whose driver this build lacks.
CIrDriver* CreateIrDriver(int family, IrPlatform& platform);
