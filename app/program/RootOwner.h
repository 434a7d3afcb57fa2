// Taking a device root for this process, as the program and the service both do before they
// touch it: one owner at a time, and a clear word to the user when another one has it.
#pragma once

#include <QString>

#include "app/program/InstanceLock.h"

// Takes `lock` for the program named `program`; says on standard error why not. False when
// the program must stop (another owner, or the lock file cannot be used); a root whose file
// system has no locks is used with a warning.
bool OwnRoot(CInstanceLock& lock, const char* program, const QString& root);
