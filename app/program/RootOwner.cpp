#include "app/program/RootOwner.h"

#include <cstdio>

bool OwnRoot(CInstanceLock& lock, const char* program, const QString& root) {
    switch (lock.Take()) {
        case CInstanceLock::kTaken:
            return true;
        case CInstanceLock::kInUse: {
            const QString holder =
                lock.HolderPid() > 0 ? QStringLiteral(" (process %1)").arg(lock.HolderPid()) : "";
            // The user who starts the program again most likely looks for its window: a
            // running program with a window comes to the front when rung.
            const bool raised = CInstanceLock::Ring(root.toStdString());
            std::fprintf(stderr,
                         "%s: another ardelremote or ardelremoted%s is already running on the "
                         "device root %s; close it first, or choose another root with --root%s\n",
                         program, qPrintable(holder), qPrintable(root),
                         raised ? " (its window is brought to the front)" : "");
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
