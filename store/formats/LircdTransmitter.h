// What LIRC sends for a button of a remote that its file describes: the transmitter of
// LIRC's encodings (pulse- and space-coded bits, RC5 and RC6 bi-phase, RC-MM and XMP
// symbols, raw codes), turning each button into the signal of a held button.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "ir/IrSignal.h"
#include "store/formats/LircdRemote.h"

struct LircFrame;

class CLircTransmitter {
  public:
    explicit CLircTransmitter(const lircd::LircRemote& remote) : r_(remote) {}

    // Why no button of the remote can be sent; empty if they can.
    QString Check();
    // The toggle states of successive presses (one state for remotes without a toggle).
    std::vector<uint64_t> ToggleStates() const;
    // The button held down, in the given toggle state; empty `reason` on success.
    bool Held(const lircd::LircCode* code, const lircd::LircRawCode* raw, uint64_t toggleState,
              IrSignal& signal, QString& reason) const;

    uint64_t MaskedCode(uint64_t code) const;

  private:
    bool IsRaw() const { return r_.hasRawCodes; }
    bool Biphase() const { return r_.flags & (lircd::kRc5 | lircd::kRc6); }
    int64_t MinGap() const { return r_.gap2 != 0 && r_.gap2 < r_.gap ? r_.gap2 : r_.gap; }
    void Data(LircFrame& frame, uint64_t data, int count, int done, uint64_t toggleState,
              bool toggleMaskFlip) const;
    // The bits of one stretch of the code as they go out, toggles applied.
    uint64_t SentBits(uint64_t data, int count, int done, uint64_t toggleState,
                      bool toggleMaskFlip) const;
    void PulseDistanceOrBiphase(LircFrame& frame, uint64_t bits, int count, int done) const;
    void Symbols(LircFrame& frame, uint64_t bits, int count) const;
    // Why the bits of an RC-MM or XMP remote cannot be sent; empty if they can.
    QString CheckSymbols() const;
    // One transmission: the frame and its gap. `index` 0 is the press itself, then the
    // repeats while the button is held.
    bool Transmission(const lircd::LircCode* code, const lircd::LircRawCode* raw,
                      uint64_t toggleState, int index, LircFrame& frame, QString& reason) const;

    const lircd::LircRemote& r_;
    int allBits_ = 0;
    uint64_t preData_ = 0;
    uint64_t postData_ = 0;
    uint64_t toggleBitMask_ = 0;
    uint64_t rc6Mask_ = 0;
    uint64_t initialToggle_ = 0;
};
