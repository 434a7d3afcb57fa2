#include "app/program/RootOwner.h"

#include <cstdio>

bool OwnRoot(CInstanceLock& lock, const char* program, const QString& root) {
    switch (lock.Take()) {
        case CInstanceLock::kTaken:
            return true;
        case CInstanceLock::kInUse: {
            const QString holder =
                lock.HolderPid() > 0 ? QStringLiteral(" (process %1)").arg(lock.HolderPid()) : "";
            std::fprintf(stderr,
                         "%s: another ardelremote or ardelremoted%s is already running on the "
                         "device root %s; close it first, or choose another root with --root\n",
                         program, qPrintable(holder), qPrintable(root));
            return false;
        }
        case CInstanceLock::kUnsupported:
            // Refusing to start would leave such a root unusable; the user is told instead.
            std::fprintf(stderr, "%s: %s; nothing keeps a second owner away from this root\n",
                         program, lock.Error().c_str());
            return true;
        case CInstanceLock::kFailed:
            break;
    }
    std::fprintf(stderr, "%s: %s\n", program, lock.Error().c_str());
    return false;
}
