// A device root whose medium fails when told to: every step that changes something on it
// is counted, and the chosen one fails.
#pragma once

#include "platform/host/HostHandheldFs.h"

class FailingHostFs : public HostHandheldFs {
  public:
    using HostHandheldFs::HostHandheldFs;

    // Makes the n-th step from now fail (a failing write stores the first half of its
    // bytes); 0 fails nothing.
    void FailStep(int n) {
        failAt_ = n;
        steps_ = 0;
    }
    // The steps counted since the last FailStep.
    int Steps() const { return steps_; }

    bool Step() override {
        ++steps_;
        return steps_ != failAt_;
    }

  private:
    int failAt_ = 0;
    int steps_ = 0;
};
