// The whole engine pass (validation, counting, reason lines, closing text)
// against the plain reference pass, on seeded batches of generated wave files:
// good ones, header faults of every kind, bad and odd data, odd file ends,
// CR, Ctrl-Z and NUL bytes, over-long lines and missing files, each batch run
// in every mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tests/common/EnginePass.h"
#include "tests/common/TextDiff.h"
#include "tests/common/WaveText.h"
#include "tests/unit/Environment.h"
#include "tests/unit/TempFiles.h"
#include "textui/ResultTableC.h"

namespace {

using Lines = std::vector<std::string>;

const char* const Keys[] = {"SAMPLES", "BITSPERSAMPLE", "CHANNELS", "SAMPLERATE", "NORMALIZED"};
// Header values at and around each limit, wrapped and saturated numbers,
// and values that do not convert at all.
const int ValueCount = 18;
const char* const Values[5][ValueCount] = {
    {"999", "1000", "26000000", "26000001", "0", "-1", "4294967295", "4294967296", "99999999999",
     "-4294967295", "-4294966296", "", "abc", "-", "+", " ", "1000 words", "+2000"},
    {"8", "16", "7", "0", "65543", "65544", "65536", "-1", "-65528", "4294967295", "x", "", "24",
     "32 bits", "+8", "\t16", "  9", "-8"},
    {"1", "0", "2", "65537", "65536", "-65535", "-1", "4294967297", "1.5", "", "one", "+1",
     "131073", " 1", "-4294967295", "3", "1 channel", "\t1"},
    {"5999", "6000", "8000", "44100", "0", "-1", "4294967295", "6000.9", "x", "", "11025", "48000",
     "+6000", "-4294961297", "96000", "7000 Hz", "  8000", "5998"},
    {"TRUE", "true", "True", "TRUE extra", "TRUEX", " TRUE", "FALSE", "", "\tTRUE", "TRU",
     "TRUE\tyes", "TRUE ", "T RUE", "1", "TRUE\r", "TR\rUE", "TRUE\x1A", "-TRUE"}};
// Faults of the keyword and its TAB, the line missing or pushed past one read.
const int PrefixFaults = 7;
const int FaultKinds = PrefixFaults + ValueCount;

// Data lines that are valid in an unusual spelling, out of range or
// unreadable; besides them, lines too long for one read and NUL bytes.
const char* const OddData[] = {"1",
                               "-1",
                               "1.0",
                               "-1.0",
                               "+0.5e0",
                               "0.25 text",
                               ".5",
                               "5.",
                               "5e-1",
                               "1e-400",
                               "-0",
                               "0x1p-1",
                               "-0X10",
                               "1.00000000000000000001",
                               "00000.5",
                               "1e",
                               "1e+",
                               "  \t0.1",
                               "1.0000001",
                               "-1.0000001",
                               "1.0000000000000002",
                               "1e400",
                               "-1e400",
                               "2",
                               "",
                               " ",
                               "abc",
                               "-",
                               ".",
                               "e5",
                               "inf",
                               "nan",
                               "infinity",
                               "+-1",
                               "1e1",
                               "0.99999999999999999999",
                               "2.5e-310",
                               "-.5E+0x"};
const int OddShaped = 6;
const int OddCount = OddShaped + int(sizeof OddData / sizeof OddData[0]);

class WaveMakerC {
  public:
    explicit WaveMakerC(unsigned seed) : Random(seed) {}

    int pick(int count) { return static_cast<int>(Random() % unsigned(count)); }
    bool chance(int percent) { return pick(100) < percent; }
    double uniform(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(Random);
    }
    template <typename T, std::size_t N>
    const T& oneOf(const T (&items)[N]) {
        return items[pick(int(N))];
    }

    // Now and then one header line with a fault; data with spikes, sometimes
    // bad; an odd end; byte-level damage.
    std::string file() {
        return file(chance(25) ? pick(5) : -1, pick(FaultKinds), chance(15) ? pick(OddCount) : -1,
                    false);
    }

    // The header line of key (none: -1) with that kind of fault, and one
    // datum of that odd kind (none: -1); a clean file otherwise has exactly
    // its SAMPLES data and nothing else odd.
    std::string file(int faultyKey, int faultKind, int oddKind, bool clean) {
        Wild = !clean && chance(10);
        static const char* const OneFormats[] = {"%.18e", "%+.9E", "%.6f"};
        OneFormat = chance(5) ? oneOf(OneFormats) : nullptr;
        int samples = 1000 + pick(clean ? 50 : 2001);
        Lines lines = header(samples, faultyKey, faultKind);
        int data = clean || chance(80) ? samples
                   : chance(50)        ? pick(samples)
                                       : samples + 1 + pick(2);
        Lines values = signal(data);
        if (oddKind >= 0 && !values.empty()) values[pick(int(values.size()))] = oddDatum(oddKind);
        if (!clean && chance(4)) {  // cut short inside the header
            lines.resize(pick(5));
            values.clear();
        }
        lines.insert(lines.end(), values.begin(), values.end());
        if (!clean && chance(40)) {
            static const std::string Tail[] = {"", " ", "", "x", "0.5", "  ", std::string(1, '\0')};
            for (int n = pick(10); n > 0; --n) lines.push_back(oneOf(Tail));
        }
        std::string bytes;
        const char* end = chance(30) ? "\r\n" : "\n";
        for (std::size_t i = 0; i < lines.size(); ++i)
            bytes += lines[i] + (i + 1 < lines.size() || chance(70) ? end : "");
        if (clean) return bytes;
        if (chance(5)) bytes.clear();
        for (char damage : {'\r', '\x1A', '\0'})
            if (chance(6) && !bytes.empty())
                bytes.insert(bytes.begin() + pick(int(bytes.size())), damage);
        return bytes;
    }

    double Height = 50.0;  // h of the run the files are made for

  private:
    Lines header(int samples, int faultyKey, int faultKind) {
        static const char* const GoodValues[5][4] = {{"", "", "", ""},
                                                     {"8", "16", "24", "65544"},
                                                     {"1", "65537", "-65535", " 1"},
                                                     {"8000", "6000", "44100", "4294967295"},
                                                     {"TRUE", "TRUE", "TRUE and more", " TRUE"}};
        Lines lines;
        for (int k = 0; k < 5; ++k) {
            std::string value = k == 0 ? (chance(80) ? std::to_string(samples)
                                                     : "+" + std::to_string(samples) + " samples")
                                       : GoodValues[k][pick(4)];
            std::string prefix = std::string(Keys[k]) + ":\t";
            if (Wild && chance(20)) value = wildNumber();
            if (k == faultyKey) {
                switch (faultKind) {
                    case 0:
                        prefix.back() = ' ';
                        break;
                    case 1:
                        for (char& c : prefix) c = char(std::tolower(c));
                        break;
                    case 2:
                        prefix = " " + prefix;
                        break;
                    case 3:
                        prefix.erase(prefix.size() - 2, 1);
                        break;
                    case 4:
                        continue;  // the line is missing
                    case 5:
                        value = std::string(40, ' ') + value;
                        break;
                    case 6:
                        value += std::string(40, ' ');
                        break;
                    default:
                        value = Values[k][faultKind - PrefixFaults];
                }
            }
            lines.push_back(prefix + value);
        }
        return lines;
    }

    // Baseline stretches and spikes of many widths, with glitches inside the
    // spikes, data exactly at the expected height H, stretches exactly at
    // h/100 (where extended precision decides the side), or plain noise.
    Lines signal(int count) {
        static const double Peaks[] = {1.0, 0.9, 0.75, 0.5, 0.3, 0.05};
        const double peak = oneOf(Peaks);
        const double h = static_cast<double>(static_cast<long double>(peak) * Height * 0.01L);
        const double level = Height / 100;
        const bool noise = chance(10);
        Lines lines;
        bool spike = chance(30);
        while (int(lines.size()) < count) {
            int length = 1 + (chance(20) ? pick(400) : pick(60));
            bool flat = chance(10);
            for (int i = 0; i < length && int(lines.size()) < count; ++i) {
                double value = noise       ? uniform(-1.0, 1.0)
                               : flat      ? level
                               : !spike    ? uniform(-peak, h)
                               : chance(3) ? h
                               : chance(8) ? uniform(-peak, h)
                                           : uniform(h, peak);
                lines.push_back(value == h || flat  ? exactly(value)
                                : Wild && chance(2) ? wildDatum(value)
                                                    : datum(value));
            }
            spike = chance(45);
        }
        if (!lines.empty()) lines[pick(count)] = exactly(peak);
        return lines;
    }

    static std::string exactly(double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", value);
        return text;
    }

    std::string datum(double value) {
        static const char* const Formats[] = {"%.6f",  "%.17g", "%g",     "%.3e",
                                              "%+.4f", " %.5f", "\t%.5f", "%.4f trailing",
                                              "%.4E",  "%.2f"};
        char text[64];
        std::snprintf(text, sizeof text, OneFormat ? OneFormat : oneOf(Formats), value);
        return text;
    }

    // Any run of digits, signed or not, padded or followed by a word: header
    // values from tiny to far past 32 bits.
    std::string wildNumber() {
        static const char* const Signs[] = {"", "", "", "-", "+", "--", "+-"};
        static const char* const Pads[] = {"", "", " ", "\t", "  \t "};
        static const char* const Tails[] = {"", "", " x", "9", ".5", "\t7", "e3"};
        std::string digits;
        for (int n = 1 + pick(chance(20) ? 30 : 11); n > 0; --n) digits += char('0' + pick(10));
        return std::string(oneOf(Pads)) + oneOf(Signs) + digits + oneOf(Tails);
    }

    // The value in another spelling: the point shifted by an exponent of
    // either case and sign, up to 25 digits, padding before and after, so
    // that a line may take two reads; or a value near or past the ends of
    // double's range.
    std::string wildDatum(double value) {
        static const char* const Tiny[] = {"4.9e-324",
                                           "2e-324",
                                           "1e-320",
                                           "-2.2250738585072014e-308",
                                           "9e-400",
                                           "-0.0e-999",
                                           "1234567890123456789e-19",
                                           "0.000000000000000000000000000001e30"};
        static const char* const Huge[] = {"1e308", "1.7976931348623157e308", "1.8e308", "-1e400"};
        if (chance(10)) return chance(5) ? oneOf(Huge) : oneOf(Tiny);
        int shift = pick(21) - 10;
        char text[96];
        std::snprintf(text, sizeof text, "%s%.*f%c%+d", chance(10) ? "+" : "", pick(26),
                      value * std::pow(10.0, -shift), chance(50) ? 'e' : 'E', shift);
        std::string spelled = text;
        if (chance(20)) spelled.insert(0, std::string(pick(30), ' '));
        if (chance(20)) spelled += std::string(pick(30), chance(50) ? ' ' : 'z');
        return spelled;
    }

    std::string oddDatum(int kind) {
        switch (kind) {
            case 0:
                return "0." + std::string(60, '3');
            case 1:
                return "0.5" + std::string(43, ' ');
            case 2:
                return "0.5" + std::string(44, ' ');
            case 3:
                return "0.5" + std::string(45, ' ');
            case 4:
                return std::string(1, '\0') + "0.5";
            case 5:
                return "0.5" + std::string(1, '\0') + "junk";
            default:
                return OddData[kind - OddShaped];
        }
    }

    std::mt19937 Random;
    bool Wild = false;                // this file has odd header numbers and data spellings
    const char* OneFormat = nullptr;  // this file's data are spelled one way, as many files are
};

// The reference pass's rows as the window's table holds them.
std::string tableOf(const std::vector<testcheck::RowS>& rows) {
    ResultTableC table;
    for (const auto& row : rows)
        table.add(
            {row.Kind, row.Name.c_str(), row.Reason.c_str(), row.Duration, row.Spikes, row.Rate});
    return table.rows();
}

void runBoth(const Lines& files, double height, double width, const testcheck::RunS& run,
             const std::string& where, const testcheck::EngineSetupS& setup = {}) {
    const char* const exeName = "/opt/tally wave/tallywave.exe";
    const testcheck::EngineOutcome got =
        testcheck::runEngine(files, height, width, run, exeName, setup);
    const testcheck::PassOutcome expected =
        testcheck::ReferencePassC<>(height, width, run.Mode, run.CountFlag, exeName).run(files);
    std::string context = where + ", " + run.Name + ", h=" + std::to_string(height) +
                          " w=" + std::to_string(width) + ", window " +
                          std::to_string(setup.WindowBytes) + ", candidates " +
                          std::to_string(setup.CandidateRoom);
    ASSERT_EQ(got.Text, expected.Text)
        << context << testcheck::firstDifference(got.Text, expected.Text);
    EXPECT_EQ(got.Result, expected.Result) << context;
    EXPECT_EQ(got.Good, expected.Good) << context;
    EXPECT_EQ(got.Bad, expected.Bad) << context;
    EXPECT_EQ(got.Scrolls, expected.Scrolls) << context;
    EXPECT_EQ(got.Shown, got.Text) << context;
    EXPECT_EQ(got.Table, tableOf(expected.Rows)) << context;
    for (const auto& box : got.Boxes) ADD_FAILURE() << context << " box: " << box;
}

void runAllModes(const Lines& files, double height, double width, const std::string& where) {
    for (const auto& run : testcheck::Runs) {
        runBoth(files, height, width, run, where);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

// Random files of every kind, ten to a batch (the first batch empty), with
// h and w at their bounds, at common values or anywhere between; each batch
// run as run() has it. The test command runs 300 files; TALLY_DIFF_FILES
// and TALLY_DIFF_SEED make a longer run by hand (tools/differential).
template <typename RunFn>
void randomBatches(unsigned long defaultSeed, RunFn run) {
    const unsigned long seed = testenv::number("TALLY_DIFF_SEED", defaultSeed);
    const unsigned long batches = testenv::number("TALLY_DIFF_FILES", 300) / 10 + 1;
    WaveMakerC maker(static_cast<unsigned>(seed));
    std::printf("seed %lu, %lu files\n", seed, (batches - 1) * 10);
    const double Heights[] = {50.0, 0.0001, 99.9999, 10.0, 25.0, 75.0, 90.0};
    const double Widths[] = {10.0, 0.0001, 99.9999, 1.0, 5.0, 30.0, 60.0};
    int missing = 0;
    for (unsigned long batch = 0; batch < batches; ++batch) {
        double height = maker.chance(25) ? maker.uniform(0.0001, 99.9999) : maker.oneOf(Heights);
        double width = maker.chance(25) ? maker.uniform(0.0001, 99.9999) : maker.oneOf(Widths);
        maker.Height = height;
        testfiles::TempFilesC files;  // a batch's files go with it
        Lines names;
        for (int n = batch == 0 ? 0 : 10; n > 0; --n)
            names.push_back(maker.chance(4)
                                ? files.dir() + "/missing-" + std::to_string(++missing) + ".txt"
                                : files.write(maker.file()));
        run(maker, names, height, width, "batch " + std::to_string(batch));
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(EngineDiff, RandomBatchesInEveryMode) {
    randomBatches(20240611,
                  [](WaveMakerC&, const Lines& names, double height, double width,
                     const std::string& where) { runAllModes(names, height, width, where); });
}

// The same with windows of 64 to 400 bytes, so that window ends fall at
// every awkward place of a file (inside a long line, beside a CR, between CR
// and LF, at a NUL or a Ctrl-Z, at the end of the data, among the lines
// after it, at the read limit) and the worker takes many windows; and with
// no room, little room or the usual room for the candidates, so that the
// count reads the file again, the candidates give up midway, or the count
// comes from them.
TEST(EngineDiff, RandomBatchesInSmallWindows) {
    randomBatches(20261208, [](WaveMakerC& maker, const Lines& names, double height, double width,
                               const std::string& where) {
        const long Rooms[] = {0, 3, 60, -1};
        const testcheck::EngineSetupS setup{std::size_t(64 + maker.pick(337)), maker.oneOf(Rooms)};
        for (const testcheck::RunS& run : {testcheck::Runs[0], testcheck::Runs[3]}) {
            runBoth(names, height, width, run, where, setup);
            if (::testing::Test::HasFatalFailure()) return;
        }
    });
}

// After one file in silent mode: the window's text, what the validation
// pass left in FileState and the count's state.
std::string stateAfter(const std::string& path, double height, double width,
                       const testcheck::EngineSetupS& setup, bool windowed) {
    standin::resetAll();
    GoodBadListC params;
    params.Mode = ModeSilent;
    params.Height = height;
    params.Width = width;
    params.appendNew(GoodBadListC::GOOD, path.c_str());
    QuitterS quitter;
    ValidateC engine(params, quitter);
    engine.setClock(testcheck::frozenClock);
    engine.setWindowed(windowed);
    if (setup.WindowBytes != 0) engine.setWindowBytes(setup.WindowBytes);
    if (setup.CandidateRoom >= 0)
        engine.setCandidateRoom(static_cast<uint32_t>(setup.CandidateRoom));
    TextWinC window;
    engine.OutWin = &window;
    engine.ValidateAll();
    const FileStateS& state = params.FileState;
    char text[400];
    std::snprintf(text, sizeof text,
                  "p %.17g value %.17g above %u below %u H %.17g W %u G %u | spikes %u in %d "
                  "region %u glitch %u datum %u",
                  state.MaxValue, state.Value, unsigned(state.RunAbove), unsigned(state.RunBelow),
                  state.HeightH, unsigned(state.WidthW), unsigned(state.GlitchG),
                  unsigned(engine.Spikes), int(engine.InSpike), unsigned(engine.RegionStart),
                  unsigned(engine.GlitchRun), unsigned(engine.DatumIx));
    return std::string(window.Text) + text;
}

// The windows against the engine's own sequential way (every read taken
// one at a time): the same greatest datum, last datum, runs, thresholds and
// count state after each random file, in windows of 64 to 400 bytes or the
// usual ones, with any room for candidates. Subtler than the reference's
// text, which a run off by one rarely changes.
TEST(EngineDiff, WindowsMatchTheSequentialWay) {
    randomBatches(20261209, [](WaveMakerC& maker, const Lines& names, double height, double width,
                               const std::string& where) {
        const long Rooms[] = {0, 3, 60, -1};
        for (const std::string& name : names) {
            const testcheck::EngineSetupS setup{
                maker.chance(20) ? 0 : std::size_t(64 + maker.pick(337)), maker.oneOf(Rooms)};
            ASSERT_EQ(stateAfter(name, height, width, setup, true),
                      stateAfter(name, height, width, {}, false))
                << where << " " << name << ", h=" << height << " w=" << width << ", window "
                << setup.WindowBytes << ", candidates " << setup.CandidateRoom;
        }
    });
}

// Spikes below 0.1 (a greatest datum of 0.16 and h = 50 put H at 0.08), in
// spellings the validation pass judges without converting them, or not: the
// count must find each among the data the pass kept.
TEST(EngineDiff, LowSpikesInEverySpelling) {
    testfiles::TempFilesC files;
    const char* const Spikes[] = {"0.09", ".09", "0.0900 ", "9e-2", "0.095000000001", "+.09"};
    std::string data;
    for (int i = 0; i < 400; ++i)
        data += i % 50 == 0 ? std::string(Spikes[i / 50 % 6]) + "\n"
                : i == 7    ? "0.16\n"
                            : (i % 3 ? "-0.01\n" : "0.02\n");
    const std::string path = files.write(wavetext::header(1000) + data);
    for (const std::size_t window : {std::size_t{0}, std::size_t{64}}) {
        ASSERT_EQ(stateAfter(path, 50.0, 5.0, {window, -1}, true),
                  stateAfter(path, 50.0, 5.0, {}, false))
            << window;
    }
}

// Short lines, most of them placed a whole group at a time by their first
// decimals: data just below and above each threshold, with more decimals
// than a double holds (rounding onto the next prefix), and the spellings
// next to the common one ("-0.", ".5", "0.5.1", "0.-7": 0), and runs of one
// line repeated (a constant signal, silence), in every window size; with a
// small h, the prefixes from 0.05 up reach the sure height.
TEST(EngineDiff, ShortLinesPlacedByTheirFirstDecimals) {
    testfiles::TempFilesC files;
    std::mt19937 random(41);
    const char* const Odd[] = {"-0.",    "0.",    ".5",  "-.07", "0.5.1",
                               "0.45-3", "-0.-5", "0.9", "0.-7"};
    for (int file = 0; file < 6; ++file) {
        std::string data;
        for (int i = 0; i < 3000; ++i) {
            const unsigned pick = random() % 100;
            char line[40];
            if (pick < 55) {
                std::snprintf(line, sizeof line, "%s0.%02u", random() % 3 ? "" : "-",
                              unsigned(random() % 100));
            } else if (pick < 80) {
                const unsigned near = 40 + random() % 12;  // about H and the floor
                std::snprintf(line, sizeof line, "0.%02u%s", near,
                              random() % 2 ? "999999999999999" : "0");
            } else if (pick < 95) {
                std::snprintf(line, sizeof line, "0.%u", unsigned(random() % 10));
            } else {
                std::snprintf(line, sizeof line, "%s", Odd[random() % std::size(Odd)]);
            }
            const unsigned copies = pick % 16 == 0 ? 1 + random() % std::min(70, 3000 - i) : 1;
            for (unsigned copy = 0; copy < copies; ++copy)
                data += std::string(line) + (file % 2 ? "\r\n" : "\n");
            i += int(copies) - 1;
        }
        const std::string path = files.write(wavetext::header(3000) + data);
        for (const double height : {50.0, 90.0, 100.0, 5.0}) {
            for (const std::size_t window : {std::size_t{0}, std::size_t{64 + random() % 300}}) {
                const testcheck::EngineSetupS setup{window, long(random() % 3) - 1};
                const std::string where = "file " + std::to_string(file);
                runBoth({path}, height, 10.0, testcheck::Runs[0], where, setup);
                ASSERT_EQ(stateAfter(path, height, 10.0, setup, true),
                          stateAfter(path, height, 10.0, {}, false))
                    << where << " h " << height << " window " << window;
            }
        }
    }
}

// An empty line (a datum that does not convert: the pass stops there) among
// short lines that groups place at once, at 64 places in a row: one of
// every five ends its group, the empty line's line feed the group's last.
// A high datum in every small window lets each window tell its lows.
TEST(EngineDiff, EmptyLineAtEveryPlaceInAGroup) {
    testfiles::TempFilesC files;
    for (int empty = 600; empty < 664; ++empty) {
        std::string data;
        for (int i = 0; i < 1000; ++i)
            data += i == empty ? "\n" : i % 25 == 0 ? "0.93\n" : i % 3 ? "0.01\n" : "-0.02\n";
        const std::string path = files.write(wavetext::header(1000) + data);
        ASSERT_EQ(stateAfter(path, 50.0, 10.0, {256, -1}, true),
                  stateAfter(path, 50.0, 10.0, {}, false))
            << "empty line " << empty;
    }
}

// A long run of high data ("0.9", "0.950") among which some are spelled
// ".9": taken alone beside the lines their group places at once, those
// keep their side, and the run stays whole.
TEST(EngineDiff, HighRunThroughOtherSpellings) {
    testfiles::TempFilesC files;
    const char* const Highs[] = {"0.9\n", ".9\n", "0.9\n", "0.950\n"};
    std::string data = "0.95\n";
    for (int i = 1; i < 3000; ++i)
        data += i >= 1000 && i < 1400 ? Highs[i % 4 * (i % 3 == 0)] : i % 2 ? "0.01\n" : "-0.02\n";
    const std::string path = files.write(wavetext::header(3000) + data);
    for (const std::size_t window : {std::size_t{0}, std::size_t{256}})
        ASSERT_EQ(stateAfter(path, 50.0, 10.0, {window, -1}, true),
                  stateAfter(path, 50.0, 10.0, {}, false))
            << window;
}

// Full-scale noise, whose spikes come several to a word of marks, then a
// square wave of 60 data to a period, then noise again (210,013 data, the
// longest run short enough for a small W: stretches of the count's marks
// taken a byte at a time, and run by run, and a last word cut short): the
// count as the rules have it.
TEST(EngineDiff, DenseAndSparseSpikesInOneLongFile) {
    testfiles::TempFilesC files;
    std::mt19937 random(5);
    const uint32_t Data = 210013;
    std::string data;
    for (uint32_t i = 0; i < Data; ++i) {
        const bool square = i >= 70000 && i < 140000;
        const unsigned tenths = square ? (i / 30 % 2 ? 1 : 9) : random() % 10;
        data += (random() % 2 && !square ? "-0." : "0.") + std::to_string(tenths) + "\n";
    }
    const std::string path = files.write(wavetext::header(Data) + data);
    runBoth({path}, 50.0, 10.0, testcheck::Runs[0], "dense and sparse");
}

// Every header fault and every limit value once, each in a file that is
// otherwise clean, one batch per keyword.
TEST(EngineDiff, EveryHeaderFaultInEveryMode) {
    testfiles::TempFilesC files;
    WaveMakerC maker(77);
    for (int key = 0; key < 5; ++key) {
        Lines names;
        for (int kind = 0; kind < FaultKinds; ++kind)
            names.push_back(files.write(maker.file(key, kind, -1, true)));
        runAllModes(names, 50.0, 10.0, Keys[key]);
        if (HasFatalFailure()) return;
    }
}

// Every odd datum once, each in a file that is otherwise clean.
TEST(EngineDiff, EveryOddDatumInEveryMode) {
    testfiles::TempFilesC files;
    WaveMakerC maker(5);
    Lines names;
    for (int kind = 0; kind < OddCount; ++kind)
        names.push_back(files.write(maker.file(-1, 0, kind, true)));
    runAllModes(names, 50.0, 10.0, "odd data");
}

}  // namespace
