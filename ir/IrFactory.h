// The single IR driver of the process.
#pragma once

#include "CIrDriver.h"

// The driver, created on first use for the detected processor on the current platform;
// null on an unknown processor (a later call tries again).
CIrDriver* GetIrDriver();
void DestroyIrDriver();

// A new driver of the class that serves a processor family; null for family 0 and for
// families whose driver this build lacks.
CIrDriver* CreateIrDriver(int family, IrPlatform& platform);
