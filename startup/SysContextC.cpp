#include "startup/SysContextC.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "core/ErrHandleC.h"
#include "framework/PlatformSeams.h"

SysContextC::ClockFn SysContextC::Clock = std::time;

// Each probe clears errno first: the system error line of its report, when
// there is one, then belongs to the probe's own query, not to an earlier call.

namespace {

struct TextBufS {
    const char* name;
    int size;
    int codeBase;  // releaseAll codes: base - 1 fresh, - 4 released, - 5 again
};

const TextBufS TextBufs[SysContextC::TextCount] = {
    {"CWD", SysContextC::CWDSize, 0},
    {"Date", SysContextC::DateSize, -20},
    {"Time", SysContextC::TimeSize, -40},
    {"User", SysContextC::UserSize, -80},
};

}  // namespace

SysContextC::SysContextC()
    : BufStates(0),
      ScreenH(0),
      ScreenW(0),
      MemKB(0),
      CWD(nullptr),
      Date(nullptr),
      Time(nullptr),
      User(nullptr),
      Started{} {
    obtainBuffers();
    getSysCWD();
    getSysDate();
    getSysTime();
    getSysUser();
    getSysScreenPixWH();
    getSysMemory();
}

SysContextC::~SysContextC() {
    releaseAll();
    for (int id = 0; id < TextCount; ++id) {
        std::free(buffer(TextId(id)));
        buffer(TextId(id)) = nullptr;
    }
}

void SysContextC::obtainBuffers() {
    for (int id = 0; id < TextCount; ++id) {
        const TextBufS& text = TextBufs[id];
        char* buf = static_cast<char*>(std::malloc(text.size));
        if (buf == nullptr)
            ErrHandle.fatal(-1, "SysContextC::ctor() Can't allocate %s[%d] char[].", text.name,
                            text.size);
        buf[0] = '\0';
        buffer(TextId(id)) = buf;
    }
}

void SysContextC::getSysCWD() {
    errno = 0;
    if (getcwd(CWD, CWDSize - 1) == nullptr)
        ErrHandle.fatal(-1,
                        "SysContextC::getSysCWD():  getcwd(buf, %d) returned NULL ptr.\n"
                        "Can't obtain Tallywave cwd of invocation.",
                        CWDSize - 1);
}

// Reads the clock and converts it to local time; a failed conversion is fatal,
// its text ending in lostWhat.
const std::tm* SysContextC::readLocalTime(const char* lostWhat) {
    errno = 0;
    std::time_t t = Clock(nullptr);
    const std::tm* local = std::localtime(&t);
    if (local == nullptr)
        ErrHandle.fatal(-1,
                        "SysContextC::getSysDate():  localtime(&t) returned NULL ptr.\n"
                        "t=%X; &t=%p.   %s",
                        static_cast<unsigned>(t), static_cast<void*>(&t), lostWhat);
    Started = *local;
    return local;
}

void SysContextC::getSysDate() {
    const std::tm* local = readLocalTime("Can't obtain Tallywave date.");
    // The fields are bounded to their widths, so the text always fits.
    std::snprintf(Date, DateSize, "%4u-%02u-%02u", (local->tm_year + 1900u) % 10000u,
                  (local->tm_mon + 1u) % 100u, local->tm_mday % 100u);
}

void SysContextC::getSysTime() {
    const std::tm* local = readLocalTime("Date was OK, but can't obtain Tallywave time.");
    std::snprintf(Time, TimeSize, "%02u:%02u", local->tm_hour % 100u, local->tm_min % 100u);
}

void SysContextC::getSysUser() {
    errno = 0;
    seam::userName(User, UserSize - 1);
    if (User[0] != '\0') return;
    ErrHandle.report(-1,
                     "SysContextC::getSysUser():  GetUserName() failed.\n"
                     "Possible system info error.  Continuing anyway.");
    std::snprintf(User, UserSize, "(unknown)");
}

void SysContextC::getSysScreenPixWH() {
    errno = 0;
    ScreenW = seam::screenWidth();
    ScreenH = seam::screenHeight();
    if (ScreenW < ScreenWMin || ScreenH < ScreenHMin)
        ErrHandle.fatal(-2,
                        "SysContextC::getSysScreenPixWH():  Tallywave cannot run in this video "
                        "mode.\nGraphics screen resolution must be 640 x 480 (VGA) minimum.\n"
                        "Current settings: %u wide x %u high.",
                        ScreenW, ScreenH);
}

// The largest block of whole megabytes, up to 20, that can be obtained.
void SysContextC::getSysMemory() {
    const unsigned long megabyte = 1048576;
    errno = 0;
    int n = MemMBProbed;
    while (n > 0 && !seam::canObtainBlock(n * megabyte)) --n;
    if (n < MemMBMin)
        ErrHandle.fatal(-2,
                        "SysContextC::getSysMemory():  Not enough memory for Tallywave to run.\n"
                        "Tallywave requires 2 Megabytes, with 5 Meg more assumed otherwise in "
                        "use.\nFound on this machine:  Just %.2d Megabytes;  Need 7 total.",
                        n);
    MemKB = n * 1024;
}

int SysContextC::releaseAll() {
    Status = 0;
    for (int i = 0; i < TextCount; ++i) {
        const TextId id = TextId(i);
        const int base = TextBufs[i].codeBase;
        switch (bufState(id)) {
            case Fresh:
                Status = base - 1;
                break;
            case Taken:
                std::free(buffer(id));
                buffer(id) = nullptr;
                setBufState(id, Released);
                break;
            case Released:
                setBufState(id, ReleasedAgain);
                Status = base - 4;
                break;
            case ReleasedAgain:
                Status = base - 5;
                break;
        }
    }
    return Status;
}

const char* SysContextC::takeText(TextId id) {
    if (bufState(id) != Fresh) return nullptr;
    setBufState(id, Taken);
    return buffer(id);
}

SysContextC::BufState SysContextC::bufState(TextId id) const {
    return BufState((BufStates >> (2 * id)) & 3);
}

void SysContextC::setBufState(TextId id, BufState state) {
    BufStates = uint8_t((BufStates & ~(3 << (2 * id))) | (state << (2 * id)));
}

char*& SysContextC::buffer(TextId id) {
    switch (id) {
        case CWDText:
            return CWD;
        case DateText:
            return Date;
        case TimeText:
            return Time;
        default:
            return User;
    }
}
