#pragma once
// A pass runs on the thread that owns the front end's windows. Now and then
// it hands that thread back to the front end through this hook, so that the
// windows repaint and answer (and the user may ask to quit) while a long
// pass runs. The pass calls poll at the places where it already polls: the
// hook runs only when GapMs of pass time have passed since its last turn,
// so its cost to the pass stays nil.
#include <chrono>

// A millisecond clock that never goes back.
inline unsigned long steadyMillis() {
    using namespace std::chrono;
    return static_cast<unsigned long>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

class PassHookC {
  public:
    using HookFn = void (*)(void* context);
    using MillisFn = unsigned long (*)();
    // Short enough that the front end's turns never lie 200 ms apart.
    enum Timing { GapMs = 100 };

    // The front end's hook and its context; a null hook: none.
    void set(HookFn hook, void* context) {
        Hook = hook;
        Context = context;
    }
    // A pass begins: the first turn comes GapMs into it.
    void begin() { Last = Millis(); }
    // The hook's turn, once GapMs have passed since the last turn ended.
    void poll() {
        if (Hook != nullptr && Millis() - Last >= GapMs) turnNow();
    }
    // The hook's turn now, whenever the last one was.
    void turnNow() {
        if (Hook == nullptr) return;
        Hook(Context);
        Last = Millis();
    }

    // The clock of the turns; tests swap it for one they move themselves.
    static inline MillisFn Millis = steadyMillis;

  private:
    HookFn Hook = nullptr;
    void* Context = nullptr;
    unsigned long Last = 0;
};
