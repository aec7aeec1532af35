#pragma once
// Clocks for the output window's held updates.
#include "textui/TextWinC.h"

namespace windowclock {

// Each reading a second after the last: every refresh is sent at once, so
// tests see each writer's update and scroll as it was asked for.
inline unsigned long secondsApart() {
    static unsigned long now = 0;
    return now += 1000;
}

inline void sendEveryRefresh() {
    TextWinC::Millis = secondsApart;
}

}  // namespace windowclock
