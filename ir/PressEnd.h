// When a capture has heard a whole press.
//
// A held button of most remotes sends its frame (or a first frame and then a short repeat
// code) again and again, each followed by a pause of 20 ms or more; three such pauses used
// to end a capture. Air conditioners and heaters send one long frame per press that holds
// pauses of about 30 ms itself (a header block, then the state blocks), sometimes sent
// twice: three pauses end such a capture in the middle of the frame.
//
// So a long pause ends the capture only once the press has shown its shape: at least three
// long pauses heard, and the stretch that the last one ends repeats the stretch before it
// (one stretch or several, entry by entry within a third). A held NEC or RC5 button ends
// at its third pause as before; an air conditioner's blocks differ from each other, so its
// capture goes on to the silence after the press (or a full buffer), which comes at once.
// A remote whose frames never repeat ends at the eighth long pause.
#pragma once

#include <cstdint>

struct PressEnd {
    static constexpr uint32_t kLongPauseUs = 20000;
    static constexpr int kLongPauses = 3;
    static constexpr int kMostLongPauses = 8;
};

// Whether the capture `entries` (marks positive, spaces negative, `count` of them, the last
// one a pause just heard) has heard a whole press.
bool PressHeardWhole(const int32_t* entries, int count);
