#pragma once
// Clocks for the output window's held updates and for the front end's turns
// during a pass.
#include "engine/PassHookC.h"
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

// While it lives, every poll point of a pass gives the front end its turn.
struct TurnAtEveryPollC {
    TurnAtEveryPollC() { PassHookC::Millis = secondsApart; }
    ~TurnAtEveryPollC() { PassHookC::Millis = steadyMillis; }
};

}  // namespace windowclock
