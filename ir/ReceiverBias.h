// The bias of one receiving device: how much longer a demodulating receiver reports marks,
// and shorter spaces, than the remote sent. The bias belongs to the receiver, not to the
// signal, so it is estimated over the captures of the device and taken off every capture,
// also those whose protocol gives nothing to estimate it from (spaces all longer than the
// marks, as Sharp, Denon and RCA send them).
#pragma once

#include <cstdint>
#include <span>

// The largest bias taken for a receiver's; more is a protocol's shape, not a receiver's.
constexpr int32_t kMaxReceiverBiasUs = 400;

// The bias of one capture (marks positive, spaces negative, the last space only the gap):
// half the difference of its typical short mark and short space, which most protocols send
// equally long. False when the capture gives nothing to go on: too few marks and spaces, or
// a short mark shorter than the short space (a protocol whose spaces are all longer), or a
// difference too large for a receiver's.
bool EstimateCaptureBias(std::span<const int32_t> capture, int32_t& biasUs);

// Takes `biasUs` off every mark and adds it to every space.
void RemoveCaptureBias(std::span<int32_t> capture, int32_t biasUs);

// The running estimate of one receiving device. It starts from the first capture that shows
// the bias (or from what was remembered with the device's settings) and follows the
// captures that show it, the recent ones counting as much as the earlier together.
class CReceiverBias {
  public:
    // The estimate remembered with the device's settings, and how many captures made it.
    explicit CReceiverBias(int32_t rememberedUs = 0, int captures = 0);

    // Takes in a capture and returns the bias to take off it: the device's estimate, moved
    // by this capture where it shows the bias.
    int32_t Observe(std::span<const int32_t> capture);

    // What to remember with the device's settings.
    int32_t BiasUs() const { return biasUs_; }
    int Captures() const { return captures_; }

  private:
    int32_t biasUs_;
    int captures_;
};
