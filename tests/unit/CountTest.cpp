// The spike counter on its own, with the thresholds set by hand: where spikes
// open, close and count, and the result line.
#include "engine/CountC.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "core/ErrHandleC.h"
#include "engine/GoodBadListC.h"
#include "engine/SpikeBytes.h"
#include "framework/native/StandIns.h"
#include "tests/common/EngineWindows.h"
#include "tests/common/ReferencePass.h"
#include "tests/common/WaveText.h"
#include "tests/common/WindowClock.h"
#include "tests/unit/Boxes.h"
#include "tests/unit/TempFiles.h"
#include "textui/TextWinC.h"

namespace {

class CountTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetAll();
        ErrHandle.setTitle(ReleaseStr);
        testwindows::apply(Counter);
    }

    // Counts a file of samples data with H = 0.5 and the given W and G; the
    // data are low (0.1) except at the 1-based indexes in high.
    int count(uint32_t samples, uint32_t w, uint32_t g, const std::vector<uint32_t>& high,
              uint32_t rate = 8000) {
        std::string bytes = wavetext::header(samples, rate);
        std::vector<bool> isHigh(samples + 1, false);
        for (uint32_t i : high) isHigh[i] = true;
        for (uint32_t i = 1; i <= samples; ++i) bytes += isHigh[i] ? "0.5\n" : "0.1\n";
        Path = Files.write(bytes);
        EXPECT_EQ(Counter.setFileName(Path.c_str()), 0);
        EXPECT_EQ(Counter.open(), 0);
        FileStateS& state = Params.FileState;
        state.Samples = samples;
        state.SampleRate = rate;
        state.HeightH = 0.5;
        state.WidthW = w;
        state.GlitchG = g;
        return Counter.CountFile(&Window);
    }

    testfiles::TempFilesC Files;
    std::string Path;
    GoodBadListC Params;
    QuitterS Quitter;
    CountC Counter{Params, Quitter};
    TextWinC Window;
};

TEST_F(CountTest, ResultLineWithDurationSpikesAndRate) {
    ASSERT_EQ(count(48000, 2, 1, {100, 200, 300}), 0);
    EXPECT_EQ(std::string(Window.Text), Path + " : 6.00 s (6000.0 ms) | 3 spikes => 0.5/sec.\r\n");
    EXPECT_EQ(Window.NewLines, 1);  // scrolled by the next writer, not here
    EXPECT_EQ(Status.load(), 0);
}

TEST_F(CountTest, SpikesOpenAfterWidthAndCloseAfterGlitchRun) {
    // Data 8 and 9 high, 10 low: opened at 8, closed and counted at 10.
    EXPECT_EQ(count(1000, 2, 1, {8, 9}), 0);
    EXPECT_EQ(Counter.Spikes, 1u);
    EXPECT_EQ(Counter.RegionStart, 9u);
    // The next may open from datum 11 on (10 - G + W): 10 stays low, 11 opens.
    EXPECT_EQ(count(1000, 2, 1, {8, 9, 11, 12}), 0);
    EXPECT_EQ(Counter.Spikes, 2u);
    // Among data 6 to 5 + W nothing opens.
    EXPECT_EQ(count(1000, 4, 1, {6, 7, 8, 9}), 0);
    EXPECT_EQ(Counter.Spikes, 0u);
    // One low datum inside a spike with G 2 does not close it; two do.
    EXPECT_EQ(count(1000, 3, 2, {20, 21, 23, 24}), 0);
    EXPECT_EQ(Counter.Spikes, 1u);
    EXPECT_EQ(Counter.RegionStart, 24u);
    // A spike still open at the last datum is not counted.
    EXPECT_EQ(count(1000, 2, 1, {50, 999, 1000}), 0);
    EXPECT_EQ(Counter.Spikes, 1u);
    EXPECT_TRUE(Counter.InSpike);
}

// RegionStart starts at 6: a high datum among 1 to 5 opens at once (the
// difference wraps); the spike counts if it closes before 6 (wrapped again)
// or from 6 + W on, not in between.
TEST_F(CountTest, FirstDataOpenAtOnceThroughTheWrappedDifference) {
    EXPECT_EQ(count(1000, 3, 1, {2, 3}), 0);
    EXPECT_EQ(Counter.Spikes, 1u);
    EXPECT_EQ(Counter.RegionStart, 3u);
    EXPECT_EQ(count(1000, 3, 1, {4, 5}), 0);
    EXPECT_EQ(Counter.Spikes, 0u);
    EXPECT_EQ(Counter.RegionStart, 5u);
    EXPECT_EQ(count(1000, 3, 1, {1, 2, 3, 4, 5, 6, 7, 8}), 0);
    EXPECT_EQ(Counter.Spikes, 1u);
}

TEST_F(CountTest, EqualToHeightIsHighAndHeaderGivesTheDuration) {
    // Only 3 data lines for SAMPLES 10000: the duration still comes from the header.
    Path = Files.write(wavetext::header(10000) + "0.25\n0.25\n0.0\n");
    ASSERT_EQ(Counter.setFileName(Path.c_str()), 0);
    ASSERT_EQ(Counter.open(), 0);
    Params.FileState = {"", 10000, 16, 1, 10000, "TRUE", 0, 0, 0, 0, 0.25, 1, 1};
    ASSERT_EQ(Counter.CountFile(&Window), 0);
    EXPECT_EQ(std::string(Window.Text), Path + " : 1.00 s (1000.0 ms) | 1 spikes => 1.0/sec.\r\n");
}

// Data the count need not convert are never taken for high ones: each file
// has one high datum, at 8, among low data of every shape.
TEST_F(CountTest, EveryHighDatumIsSeenWhateverItsShape) {
    struct CaseS {
        double H;
        const char* Low;
        const char* High;
    };
    const CaseS cases[] = {
        {0.5, "-0.3\n0.01\n0.0\n.05\n-.2\n0.02\n0.03\n", "0.09e1\n"},
        {0.0, "-0.5\n-0.1\n-1\n-.5\n-0.2\n-0.3\n-0.4\n", "-0\n"},
        {0.05, "0.01\n0.02\n0.03\n0.04\n0.0\n0.01\n0.02\n", "0.06\n"},
    };
    for (const CaseS& c : cases) {
        Path = Files.write(wavetext::header(1000, 8000) + c.Low + c.High + c.Low);
        ASSERT_EQ(Counter.setFileName(Path.c_str()), 0);
        ASSERT_EQ(Counter.open(), 0);
        Params.FileState = {"", 1000, 16, 1, 8000, "TRUE", 0, 0, 0, 0, c.H, 2, 1};
        ASSERT_EQ(Counter.CountFile(&Window), 0);
        EXPECT_EQ(Counter.Spikes, 1u) << c.High;
    }
}

// A file changed since it was validated: the count fails with a warning
// naming the line read (one past the datum's file line) and writes nothing.
TEST_F(CountTest, UnconvertibleDatumFails) {
    for (const char* lineEnd : {"\n", "\r\n"}) {
        std::string data;
        for (const char* line : {"0.1", "abc", "0.1", "0.1", "0.1", "0.1"})
            data += std::string(line) + lineEnd;
        Path = Files.write(wavetext::header(1000, 8000) + data);
        ASSERT_EQ(Counter.setFileName(Path.c_str()), 0);
        ASSERT_EQ(Counter.open(), 0);
        Params.FileState.Samples = 1000;
        errno = 0;
        EXPECT_EQ(Counter.CountFile(&Window), -3);
        EXPECT_EQ(testboxes::takeTexts(),
                  std::vector<std::string>{testboxes::box(
                      "Tallywave ValidateC::CountFile():\nFname=[" + Path +
                          "].\nConvert float value FAILED.\nBad datum at line 8=[abc\n].",
                      -1000)});
    }
    EXPECT_EQ(std::string(Window.Text), "");
}

TEST_F(CountTest, QuitStopsWithoutResultLine) {
    Quitter.QuitState = 1;
    EXPECT_EQ(count(1000, 2, 1, {8, 9}), 0);
    EXPECT_EQ(std::string(Window.Text), "");
    EXPECT_EQ(Counter.DatumIx, 1u);
}

// The front end's turns come while counting too; a quit confirmed in one
// stops the count before its end, without a result line.
TEST_F(CountTest, AQuitInTheFrontEndsTurnStopsTheCount) {
    windowclock::TurnAtEveryPollC turns;
    // Static: the hook's context outlives this scope in the fixture's counter.
    static struct TurnsS {
        QuitterS* Quitter;
        int Count;
    } seen;
    seen = {&Quitter, 0};
    Counter.PassHook.set(
        [](void* context) {
            auto* taken = static_cast<TurnsS*>(context);
            if (++taken->Count == 3) taken->Quitter->QuitState = QuitterS::TakeDownAsked;
        },
        &seen);
    // Read at a time (a turn every 1024 data) and in windows of about 200 data.
    for (bool windowed : {false, true}) {
        SCOPED_TRACE(windowed ? "windowed" : "read at a time");
        Counter.setWindowed(windowed);
        Counter.setWindowBytes(1024);
        seen.Count = 0;
        Quitter.QuitState = 0;
        EXPECT_EQ(count(10000, 2, 1, {8, 9}), 0);
        EXPECT_EQ(seen.Count, 3);
        EXPECT_LT(Counter.DatumIx, 10000u);
        EXPECT_EQ(std::string(Window.Text), "");
    }
}

TEST_F(CountTest, UnreachableDataFails) {
    Params.FileState.Samples = 1000;
    errno = 0;
    EXPECT_EQ(Counter.CountFile(&Window), -2);  // no file open: nothing to rewind
    EXPECT_EQ(testboxes::takeTexts(),
              std::vector<std::string>{testboxes::box(
                  "Tallywave CountC::CountFile() error:\nFile=[].\nCan't seekLine(6) to start "
                  "spike count.",
                  -2)});
}

// The table a byte at a time against the datum-by-datum steps, from the
// state some whole words of random marks leave (none: the file's first
// datum, where the width test wraps and the table must decline), for every
// W it takes, any G below it, and marks dense, sparse or ending in lows
// (RegionStart from the last spike closed, words back), long enough to be
// stepped in pieces where they have runs of lows to cut at.
TEST(SpikeBytes, FollowTheDatumByDatumSteps) {
    std::mt19937 random(7);
    SpikeBytesC table;
    for (int round = 0; round < 400; ++round) {
        const uint32_t w = 2 + random() % (SpikeBytesC::MostWidth - 1);
        const uint32_t g = 1 + random() % (w - 1);
        ASSERT_TRUE(table.prepare(w, g));
        const uint32_t highIn = 1u << (random() % 5);  // one datum in 1 to 16 high
        std::vector<uint64_t> bits(48);
        const uint32_t quietFrom = round % 3 == 0 ? random() % 48 : 48;  // lows only from there
        for (uint32_t word = 0; word < quietFrom; ++word)
            for (int i = 0; i < 64; ++i) bits[word] |= uint64_t(random() % highIn == 0) << i;
        const auto bit = [&](uint32_t i) { return (bits[i / 64] >> (i % 64)) & 1; };
        SpikeStateS steps{false, 1, 6, 0, 0};
        const uint32_t before = 64 * (random() % 4);
        for (uint32_t i = 0; i < before; ++i) testcheck::referenceSpikeStep(steps, bit(i), w, g);
        SpikeStateS bytes = steps;
        const bool ran = table.run(bytes, bits.data() + before / 64, 40);
        ASSERT_EQ(ran, before > 0) << "W " << w << " G " << g;
        if (!ran) continue;
        for (uint32_t i = before; i < before + 40 * 64; ++i)
            testcheck::referenceSpikeStep(steps, bit(i), w, g);
        const auto fields = [](const SpikeStateS& s) {
            return std::vector<uint32_t>{s.InSpike, s.DatumIx, s.RegionStart, s.GlitchRun,
                                         s.Spikes};
        };
        EXPECT_EQ(fields(bytes), fields(steps)) << "W " << w << " G " << g << " round " << round;
    }
    EXPECT_FALSE(table.prepare(SpikeBytesC::MostWidth + 1, 1));
    EXPECT_FALSE(table.prepare(4, 4));
}

}  // namespace
