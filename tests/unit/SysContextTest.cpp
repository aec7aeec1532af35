// The system probe and the start-up object built on it: the four context
// texts, the screen and memory refusals, the release codes, and the copy of
// the texts into the run record.
#include "startup/SysContextC.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/ErrHandleC.h"
#include "framework/native/StandIns.h"
#include "startup/StartupC.h"
#include "tests/unit/Boxes.h"
#include "tests/unit/TempFiles.h"

namespace {

using Names = std::vector<std::string>;
using testboxes::box;
const unsigned long Megabyte = 1048576;

// A clock that gives the next of Readings at each call.
std::vector<std::time_t> Readings;
std::size_t NextReading = 0;
std::time_t scriptedClock(std::time_t* out) {
    const std::time_t t = Readings.at(NextReading++);
    if (out != nullptr) *out = t;
    return t;
}

class SysContextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetAll();
        ErrHandle.setTitle(ReleaseStr);
        Status = 0;
        setenv("TZ", "UTC0", 1);
        tzset();
    }
    void TearDown() override {
        SysContextC::Clock = std::time;
        standin::resetAll();
    }
    void scriptClock(std::vector<std::time_t> readings) {
        Readings = std::move(readings);
        NextReading = 0;
        SysContextC::Clock = scriptedClock;
    }
    // What a dying probe wrote: the fatal box, read by the death test.
    static std::string fatalBox(const std::string& text, int status) {
        return testboxes::literally("[Tallywave FATAL!]\n" + box(text, status) +
                                    "\n\nFatal Error.   Aborting ...\n");
    }
    static void probeDying() {
        standin::echoBoxesToStderr(true);
        SysContextC context;
    }
};

TEST_F(SysContextTest, ProbesTheDirectoryClockUserScreenAndMemory) {
    scriptClock({1796601599, 1796601600});  // 23:59:59, then midnight
    SysContextC context;
    char cwd[1024];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(std::string(context.CWD), cwd);
    // Two readings of the clock: the earlier day's date with the time 00:00.
    EXPECT_EQ(std::string(context.Date), "2026-12-06");
    EXPECT_EQ(std::string(context.Time), "00:00");
    EXPECT_EQ(std::string(context.User), "tester");
    EXPECT_EQ(context.ScreenW, 1024u);
    EXPECT_EQ(context.ScreenH, 768u);
    EXPECT_EQ(context.MemKB, 20480);  // never probes beyond 20 megabytes
    EXPECT_TRUE(testboxes::takeTexts().empty());
}

TEST_F(SysContextTest, AnUnnamedUserIsUnknownAfterOneWarning) {
    standin::setUserName("");
    SysContextC context;
    EXPECT_EQ(std::string(context.User), "(unknown)");
    EXPECT_EQ(testboxes::takeTexts(),
              Names{box("SysContextC::getSysUser():  GetUserName() failed.\n"
                        "Possible system info error.  Continuing anyway.",
                        -1)});
}

TEST_F(SysContextTest, TheSmallestScreenAndMemoryPass) {
    standin::setScreenSize(640, 480);
    standin::setObtainableBytes(7 * Megabyte);
    SysContextC context;
    EXPECT_EQ(context.ScreenW, 640u);
    EXPECT_EQ(context.ScreenH, 480u);
    EXPECT_EQ(context.MemKB, 7168);
    EXPECT_TRUE(testboxes::takeTexts().empty());
}

using SysContextDeathTest = SysContextTest;

TEST_F(SysContextDeathTest, AScreenBelow640By480IsRefused) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string refusal =
        "SysContextC::getSysScreenPixWH():  Tallywave cannot run in this video mode.\n"
        "Graphics screen resolution must be 640 x 480 (VGA) minimum.\n"
        "Current settings: %u wide x %u high.";
    for (auto size : {std::make_pair(639u, 480u), std::make_pair(640u, 479u)}) {
        char text[512];
        std::snprintf(text, sizeof text, refusal.c_str(), size.first, size.second);
        standin::setScreenSize(size.first, size.second);
        EXPECT_EXIT(probeDying(), ::testing::ExitedWithCode(254), fatalBox(text, -2));
    }
}

TEST_F(SysContextDeathTest, LessThanSevenMegabytesIsRefused) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string refusal =
        "SysContextC::getSysMemory():  Not enough memory for Tallywave to run.\n"
        "Tallywave requires 2 Megabytes, with 5 Meg more assumed otherwise in use.\n"
        "Found on this machine:  Just %s Megabytes;  Need 7 total.";
    for (auto limit : {std::make_pair(7 * Megabyte - 1, "06"), std::make_pair(0UL, "00")}) {
        char text[512];
        std::snprintf(text, sizeof text, refusal.c_str(), limit.second);
        standin::setObtainableBytes(limit.first);
        EXPECT_EXIT(probeDying(), ::testing::ExitedWithCode(254), fatalBox(text, -2));
    }
}

TEST_F(SysContextDeathTest, AFailingDirectoryOrClockQueryIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            testfiles::TempFilesC gone;
            if (chdir(gone.dir().c_str()) != 0 || rmdir(gone.dir().c_str()) != 0) std::exit(99);
            probeDying();
        },
        ::testing::ExitedWithCode(255),
        testboxes::literally(box("SysContextC::getSysCWD():  getcwd(buf, 1023) returned NULL "
                                 "ptr.\nCan't obtain Tallywave cwd of invocation.",
                                 -1) +
                             "\nSYSTEM ERROR: errno=2 : No such file or directory\n"));
    // A clock value that local time cannot express.
    const std::string lost =
        "SysContextC::getSysDate\\(\\):  localtime\\(&t\\) returned NULL ptr\\.\n"
        "t=FFFFFFFF; &t=0x[0-9a-f]+\\.   ";
    scriptClock({LLONG_MAX});
    EXPECT_EXIT(probeDying(), ::testing::ExitedWithCode(255),
                lost + "Can't obtain Tallywave date\\.\n   -----> Status=-1 ");
    scriptClock({1796601599, LLONG_MAX});
    EXPECT_EXIT(probeDying(), ::testing::ExitedWithCode(255),
                lost + "Date was OK, but can't obtain Tallywave time\\.\n   -----> Status=-1 ");
}

TEST_F(SysContextTest, ReleaseCodesNameTheLastBufferNotTaken) {
    using Id = SysContextC::TextId;
    SysContextC untaken;
    EXPECT_EQ(untaken.releaseAll(), -81);  // nothing taken: User is the last fresh one
    EXPECT_EQ(untaken.bufState(SysContextC::CWDText), SysContextC::Fresh);

    SysContextC partly;
    partly.takeText(SysContextC::DateText);
    partly.takeText(SysContextC::TimeText);
    partly.takeText(SysContextC::UserText);
    EXPECT_EQ(partly.releaseAll(), -1);
    EXPECT_EQ(Status, -1);
    EXPECT_EQ(partly.releaseAll(), -84);  // the last code wins: User released twice
    EXPECT_EQ(partly.bufState(SysContextC::DateText), SysContextC::ReleasedAgain);

    SysContextC whole;
    for (int id = 0; id < SysContextC::TextCount; ++id) EXPECT_NE(whole.takeText(Id(id)), nullptr);
    EXPECT_EQ(whole.takeText(SysContextC::CWDText), nullptr);  // handed over once only
    EXPECT_EQ(whole.releaseAll(), 0);
    EXPECT_EQ(whole.releaseAll(), -84);
    EXPECT_EQ(whole.releaseAll(), -85);
}

TEST_F(SysContextTest, StartupCopiesTheContextTextsAndReleasesThemQuietly) {
    std::string exe = "C:\\Tally\\tallywave.exe", t = "-t", h = "5", w = "2", name = "a.txt";
    char* argv[] = {&exe[0], &t[0], &h[0], &w[0], &name[0], nullptr};
    {
        StartupC startup(argv);
        EXPECT_EQ(startup.Mode, ModeText);
        EXPECT_EQ(startup.getTotal(GoodBadListC::GOOD), 1);
        EXPECT_EQ(std::string(startup.CWD), startup.SysContext.CWD);
        EXPECT_EQ(std::string(startup.Date), startup.SysContext.Date);
        EXPECT_EQ(std::string(startup.Time), startup.SysContext.Time);
        EXPECT_EQ(std::string(startup.User), "tester");
        for (int id = 0; id < SysContextC::TextCount; ++id)
            EXPECT_EQ(startup.SysContext.bufState(SysContextC::TextId(id)), SysContextC::Taken);
    }
    EXPECT_TRUE(testboxes::takeTexts().empty());

    // Released before the end: the destructor's release fails and warns.
    {
        StartupC startup(argv);
        EXPECT_EQ(startup.SysContext.releaseAll(), 0);
    }
    EXPECT_EQ(testboxes::takeTexts(),
              Names{box("StartupC::dtor: SysContextC deallocation failure.\n"
                        "CAUTION:  Possible memory leak (max about 2.5kBytes).",
                        -84)});
}

}  // namespace
