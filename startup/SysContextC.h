#pragma once
// What the run needs to know about the system, gathered once at start-up:
// working directory, date, time and user (texts the banner prints), and the
// screen size and obtainable memory, below which the program refuses to run.
#include <cstdint>
#include <ctime>

class SysContextC {
    uint8_t BufStates;  // ownership of the four texts, two bits each, CWD lowest

  public:
    // The four texts, in the order their buffers are obtained and released.
    enum TextId { CWDText = 0, DateText = 1, TimeText = 2, UserText = 3, TextCount = 4 };
    // Ownership of a text buffer.
    enum BufState { Fresh = 0, Taken = 1, Released = 2, ReleasedAgain = 3 };
    enum Sizes { CWDSize = 1024, DateSize = 12, TimeSize = 6, UserSize = 64 };
    enum Limits { ScreenWMin = 640, ScreenHMin = 480, MemMBMin = 7, MemMBProbed = 20 };

    using ClockFn = std::time_t (*)(std::time_t*);

    // Runs every probe; returns only when screen and memory are large enough.
    SysContextC();
    // Releases once more, ignoring the result, and frees any buffer still
    // allocated: nothing outlives the object.
    ~SysContextC();
    SysContextC(const SysContextC&) = delete;
    SysContextC& operator=(const SysContextC&) = delete;

    void getSysCWD();
    void getSysDate();
    void getSysTime();
    void getSysUser();
    void getSysScreenPixWH();
    void getSysMemory();

    // Frees every taken buffer. 0 when all four were taken, else the code of
    // the last one that was not (see codeFor); also stored in Status.
    int releaseAll();

    // Hands a fresh text over (state taken) and returns it; nullptr when the
    // buffer is not fresh.
    const char* takeText(TextId id);
    BufState bufState(TextId id) const;

    uint32_t ScreenH;
    uint32_t ScreenW;
    int32_t MemKB;
    char* CWD;
    char* Date;
    char* Time;
    char* User;
    std::tm Started;  // the local time the date and time texts were read at, to the second

    // Where the date and time probes read the clock; tests replace it.
    static ClockFn Clock;

  private:
    void setBufState(TextId id, BufState state);
    char*& buffer(TextId id);
    void obtainBuffers();
    const std::tm* readLocalTime(const char* lostWhat);
};
