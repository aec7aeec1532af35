// What the windows' judging rests on, checked against plain conversions: a
// datum's key gives the double strtod gives, a cut places a key exactly as
// its double lies against the threshold (subnormals, zeros and signs
// included), and the first two decimals of a plain datum bound its key.
#include "engine/DataWindows.h"
#include "tests/common/ScanCheck.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

// A group of '7's (GroupBytes and room read past them) with line at start,
// its line feed after it.
void placeLine(unsigned char* group, std::size_t size, const std::string& line, std::size_t start) {
    std::memset(group, '7', size);
    std::memcpy(group + start, line.data(), line.size());
    group[start + line.size()] = '\n';
}

// The value a datum has as the engine reads it.
double engineValue(const char* text, spelling::FormE& form) {
    int64_t key = 0;
    double value = 0.0;
    form = spelling::readDatum(text, key, value);
    return form == spelling::Keyed ? spelling::keyValue(key) : value;
}

TEST(DataWindows, KeysAndValuesAreTheDoublesStrtodGives) {
    std::mt19937 random(33);
    static const char* const Heads[] = {"",   "-",  "+", " ",  "\t-",       "0",
                                        "-0", "00", "1", "-1", "000000000", "+00000000000000000",
                                        "8"};
    static const char* const Tails[] = {"\n", "\r\n", " x\n", "e\n", "e-\n", ".\n", "-\n"};
    for (int i = 0; i < 300000; ++i) {
        std::string text = Heads[random() % 13];
        if (random() % 4 != 0) text += ".";
        for (unsigned k = random() % 22; k > 0; --k) text += char('0' + random() % 10);
        if (random() % 4 == 0) text += "e" + std::to_string(int(random() % 60) - 30);
        text += Tails[random() % 7];
        char* end = nullptr;
        const double expected = std::strtod(text.c_str(), &end);
        spelling::FormE form;
        const double value = engineValue((text + std::string(16, '\0')).c_str(), form);
        const bool number = std::strspn(text.c_str(), " \t+-") < std::size_t(end - text.c_str());
        ASSERT_EQ(form != spelling::NotANumber, number) << text;
        if (!number) continue;
        ASSERT_EQ(value, expected) << text;
        if (form == spelling::Keyed) {
            ASSERT_LT(std::fabs(value), 9.0) << text;
        }
    }
}

TEST(DataWindows, CutsPlaceEveryKeyAsItsDoubleLies) {
    std::mt19937_64 random(34);
    const double Edges[] = {0.5,  0.45, 0.1,    1.0,          -1.0,           0.0,
                            -0.0, 1e-9, 1e-300, DBL_TRUE_MIN, 2.5e-323 * 0.1, 0.123456789};
    for (int i = 0; i < 3000; ++i) {
        double x = i % 3 ? Edges[random() % 12] : std::ldexp(double(random() % (1u << 31)), -31);
        for (int step = int(random() % 5) - 2; step != 0; step += step > 0 ? -1 : 1)
            x = std::nextafter(x, step > 0 ? 2.0 : -2.0);
        const int64_t atLeast = spelling::cutAtLeast(x);
        const int64_t above = spelling::cutAbove(x);
        // The quick cut of a floor: never above the exact one, and near it.
        const double y = x * double(1 + random() % 8);
        const int64_t exact = spelling::cutAtLeast(y);
        ASSERT_LE(spelling::cutAtMost(y), exact) << y;
        ASSERT_GE(spelling::cutAtMost(y), exact - 8192) << y;
        const int64_t near = static_cast<int64_t>(x * 1e18);
        for (int64_t delta = -40; delta <= 40; ++delta) {
            const int64_t key = near + delta * int64_t(1 + random() % 3);
            const double value = spelling::keyValue(key);
            ASSERT_EQ(key >= atLeast, value >= x) << key << " against " << x;
            ASSERT_EQ(key >= above, value > x) << key << " against " << x;
        }
    }
}

TEST(DataWindows, TwoDecimalsTellWhereADatumLies) {
    std::mt19937 random(35);
    static const char Alphabet[] = "-0.0123456789 \r+x";
    for (int i = 0; i < 300000; ++i) {
        char text[48] = {};
        const int length = 1 + int(random() % 30);
        for (int k = 0; k < length; ++k) text[k] = Alphabet[random() % (sizeof Alphabet - 1)];
        text[length] = '\n';
        const unsigned prefix = readwindows::prefixOf(reinterpret_cast<const unsigned char*>(text));
        if (prefix == readwindows::NoPrefix) continue;
        double value = 0.0;
        ASSERT_TRUE(spelling::datumValue(text, value)) << text;
        const bool negative = prefix == readwindows::NegativePrefix;
        const int64_t least = negative ? -spelling::KeyScale : readwindows::prefixLeast(prefix);
        const int64_t most = negative ? 0 : readwindows::prefixMost(prefix);
        ASSERT_GE(value, spelling::keyValue(least)) << text;
        ASSERT_LE(value, spelling::keyValue(most)) << text;
    }
}

// The prefix of a datum of any spelling, in a group at any place: where
// told, its value lies where the prefix says; the spellings of a wave's
// data are told as their plain spelling would be. The masks of a group of
// mixed spellings, made at once, are the same as those made each alone.
TEST(DataWindows, AnySpellingsPrefixTellsWhereItLies) {
    using namespace readwindows;
    unsigned char group[GroupBytes + 64];
    const bool wide = quickWideHere();
    const auto prefixAt = [&group, wide](const std::string& line, std::size_t start) {
        placeLine(group, sizeof group, line, start);
        const SpellingMasksS masks = spellingMasks(group);
        PrefixRangesS ranges;
        ranges.LowBelow = 40;
        ranges.HighFrom = 60;
        ranges.HighTo = NegativePrefix;
        const MixedMasksS mixed = mixedMasks(group, GroupBytes);
        const MixedMasksS wideMixed = wide ? mixedMasksWide(group, GroupBytes, ranges) : mixed;
        for (const MixedMasksS* each : {&mixed, &wideMixed})
            EXPECT_EQ(std::memcmp(&masks, &each->Spellings, sizeof masks), 0) << line;
        return anyPrefixOf(group, masks, start);
    };
    const std::pair<const char*, unsigned> told[] = {
        {"0.4257", 42},
        {"4.2580E-001", 42},
        {"0.005195618e02", 51},
        {" \t +00.5E+0 x", 50},
        {"-38.2e-3", NegativePrefix},
        {"38.2e-3", 3},
        {".0999", 9},
        {"-0.000", NegativePrefix},
        {"+0e999", 0},
        {"0.00000003E+", 0},
        {"5.e-1,", 50},
        {"7e-3\tvolts", 0},
        {"9.9e-1.5", 99},
    };
    for (const auto& [line, prefix] : told) EXPECT_EQ(prefixAt(line, 3), prefix) << line;
    for (const char* line : {"1.0", "-1e0", "5e-1000", ".e-1", "+-1", "x0.5", "", "10e-1"})
        EXPECT_EQ(prefixAt(line, 0), NoPrefix) << line;
    std::mt19937 random(41);
    static const char Alphabet[] = "-+0.00123456789eE \tx";
    for (int i = 0; i < 300000; ++i) {
        std::string line(1 + random() % 30, ' ');
        for (char& c : line) c = Alphabet[random() % (sizeof Alphabet - 1)];
        const std::size_t start = random() % (GroupBytes - line.size());
        const unsigned prefix = prefixAt(line, start);
        if (prefix == NoPrefix) continue;
        double value = 0.0;
        ASSERT_TRUE(spelling::datumValue(line.c_str(), value)) << line;
        const bool negative = prefix == NegativePrefix;
        ASSERT_GE(value,
                  spelling::keyValue(negative ? 1 - spelling::KeyScale : prefixLeast(prefix)))
            << line;
        ASSERT_LE(value, spelling::keyValue(negative ? 0 : prefixMost(prefix))) << line;
    }
}

// A line as printf's "%e" writes it, or one byte away from that, with a CR
// or not: where its form's prefix tells, it is anyPrefixOf's.
TEST(DataWindows, ExponentFormPrefixIsAnyPrefix) {
    using namespace readwindows;
    std::mt19937 random(43);
    static const char Changes[] = "-+0159.eE \r\tx";
    unsigned char group[GroupBytes + 64];
    int told = 0;
    for (int i = 0; i < 200000; ++i) {
        const double value = (1.0 + double(random() % 9000) / 1000.0) *
                             std::pow(10.0, -int(random() % 330) + 3) * (random() % 2 ? -1 : 1);
        char text[48];
        std::snprintf(text, sizeof text, random() % 4 ? "%.*e" : "%+.*E", int(random() % 18),
                      value);
        std::string line(text);
        if (random() % 2) line[random() % line.size()] = Changes[random() % (sizeof Changes - 1)];
        if (random() % 4 == 0) line += '\r';
        const std::size_t start = random() % (GroupBytes - line.size());
        placeLine(group, sizeof group, line, start);
        const SpellingMasksS masks = spellingMasks(group);
        const unsigned form = exponentFormPrefix(group, masks, start, start + line.size());
        // The line alone, against the shapes of the form: the same where its
        // exponent has two digits; a line of another spelling only when it
        // differs by a zero first, its prefix then anyPrefixOf's or none.
        const unsigned alone = exponentLinePrefix<false>(group + start, line.size());
        if (quickWideHere()) {
            ASSERT_EQ(exponentLinePrefix<true>(group + start, line.size()), alone) << line;
        }
        const std::size_t letter = line.find_last_of("eE");
        const bool twoDigits = letter != std::string::npos &&
                               line.size() - std::size_t(line.back() == '\r') - letter == 4;
        if (form != NotExponentForm && twoDigits) {
            ASSERT_EQ(alone, form) << line;
        } else if (alone != NotExponentForm) {  // a zero first, which the form has not
            ASSERT_EQ(line[line[0] == '-' || line[0] == '+'], '0') << line;
            ASSERT_TRUE(alone == NoPrefix || alone == anyPrefixOf(group, masks, start)) << line;
        }
        if (form == NotExponentForm) continue;
        ASSERT_EQ(form, anyPrefixOf(group, masks, start)) << line;
        ++told;
    }
    EXPECT_GT(told, 100000);
}

// A window tally's prefix classes and their ranges against the classes'
// definition, prefix by prefix, over limits, levels, floors, sure heights
// and greatest data anywhere, on the prefixes' ends too.
TEST(DataWindows, PrefixClassesAsEachPrefixsKeysLie) {
    using namespace readwindows;
    std::mt19937 random(37);
    auto anyValue = [&random](double from, double to) {
        const double at = from + (to - from) * double(random() % 10000) / 9999.0;
        return random() % 3 ? std::round(at * 100.0) / 100.0 : at;  // a prefix's end, often
    };
    uint64_t scratch[8];
    const WindowS one{-1, nullptr, 0, 1, scratch, 8};
    for (int i = 0; i < 20000; ++i) {
        const FirstPassRulesS rules(anyValue(0.0, 1.0), anyValue(-1.0, 0.3), anyValue(0.0, 1.2),
                                    anyValue(0.0, 100.0));
        GreatestC greatest;
        greatest.takeKey(int64_t(anyValue(-0.1, 1.1) * double(spelling::KeyScale)));
        const CutS floor = random() % 5 ? CutS::atMost(anyValue(0.0, 1.0)) : CutS::none();
        FirstPassTallyC tally;
        tally.start(rules, greatest, floor, one);
        for (unsigned prefix = 0; prefix < NegativePrefix; ++prefix) {
            const int64_t least = prefixLeast(prefix), most = prefixMost(prefix);
            uint8_t known = ReadDatum;
            if (least >= rules.Lowest.Key && most < rules.Highest.Key && most <= greatest.key()) {
                if (most < floor.Key && most < rules.Level.Key) known = Low;
                if (least >= floor.Key && least >= rules.Sure.Key && least >= rules.Level.Key)
                    known = High;
            }
            ASSERT_EQ(tally.prefixes()[prefix], known) << "case " << i << ", prefix " << prefix;
        }
        const PrefixRangesS ranges = prefixRanges(tally.prefixes());
        const PrefixRangesS& quick = tally.prefixRanges();
        ASSERT_EQ(quick.LowBelow, ranges.LowBelow) << i;
        ASSERT_EQ(quick.HighFrom, ranges.HighFrom) << i;
        ASSERT_EQ(quick.HighTo, ranges.HighTo) << i;
        ASSERT_EQ(quick.NegativeLow, ranges.NegativeLow) << i;
        ASSERT_EQ(quick.Quiet, ranges.Quiet) << i;
    }
}

// A quiet file's ranges (all below prefix 10) place a group's lines by a
// few comparisons: the same masks as each byte's number gives, on groups
// of the bytes plain lines hold.
TEST(DataWindows, QuietRangesGiveTheSameMasks) {
    using namespace readwindows;
    std::mt19937 random(41);
    static const char Alphabet[] = "0000123456789.-\r\n/";
    unsigned char group[GroupBytes + 16];
    for (int i = 0; i < 20000; ++i) {
        for (unsigned char& byte : group) byte = Alphabet[random() % (sizeof Alphabet - 1)];
        PrefixRangesS ranges;
        ranges.LowBelow = uint8_t(1 + random() % 10);
        ranges.HighFrom = uint8_t(ranges.LowBelow + random() % (11 - ranges.LowBelow));
        ranges.HighTo = uint8_t(ranges.HighFrom + random() % (11 - ranges.HighFrom));
        if (random() % 4 == 0) ranges.HighFrom = ranges.HighTo = NegativePrefix;
        ASSERT_TRUE(quietRanges(ranges));
        const ToldMasksS quiet = quietToldMasks(group, ranges), told = toldMasks(group, ranges);
        ASSERT_EQ(quiet.Minuses, told.Minuses) << i;
        ASSERT_EQ(quiet.ZeroPoints, told.ZeroPoints) << i;
        ASSERT_EQ(quiet.Lows, told.Lows) << i;
        ASSERT_EQ(quiet.Highs, told.Highs) << i;
    }
}

// The masks of a group of mixed spellings, made at once, against those made
// each alone, and the wide copy's told masks against the bytes one by one:
// a digit's number is ten times it plus the next byte's digit (0 when that
// is no digit).
TEST(DataWindows, MixedMasksAreTheMasksMadeAlone) {
    using namespace readwindows;
    std::mt19937 random(43);
    static const char Alphabet[] = "00123456789..--+eE \t\r\r\n\n\x1a\v/x";
    const bool wide = quickWideHere();
    unsigned char group[GroupBytes + 16];
    for (int i = 0; i < 20000; ++i) {
        for (unsigned char& byte : group) byte = Alphabet[random() % (sizeof Alphabet - 1)];
        const std::size_t span = GroupBytes - random() % 4 * random() % GroupBytes;
        PrefixRangesS ranges;
        ranges.LowBelow = uint8_t(random() % 100);
        ranges.HighFrom = uint8_t(ranges.LowBelow + random() % (101 - ranges.LowBelow));
        ranges.HighTo = uint8_t(ranges.HighFrom + random() % (102 - ranges.HighFrom));
        const GroupMasksS alone = groupMasks(group, span);
        const SpellingMasksS spellings = spellingMasks(group);
        const MixedMasksS mixed = mixedMasks(group, span);
        const MixedMasksS wideMixed = wide ? mixedMasksWide(group, span, ranges) : mixed;
        for (const MixedMasksS* each : {&mixed, &wideMixed}) {
            ASSERT_EQ(each->LineFeeds, alone.LineFeeds) << i;
            ASSERT_EQ(each->Crs, alone.Crs) << i;
            ASSERT_EQ(each->Odd & lowBits(span), oddBytes(group, alone) & lowBits(span)) << i;
            ASSERT_EQ(each->Told.Minuses, bytesEqual(group, '-')) << i;
            ASSERT_EQ(std::memcmp(&each->Spellings, &spellings, sizeof spellings), 0) << i;
        }
        if (!wide) continue;
        ToldMasksS told{};
        for (std::size_t at = 0; at < GroupBytes; ++at) {
            const auto digit = [&group](std::size_t place) { return unsigned(group[place] - '0'); };
            const unsigned number = digit(at) * 10 + (digit(at + 1) <= 9 ? digit(at + 1) : 0);
            const MaskT bit = MaskT{1} << at;
            told.Minuses |= group[at] == '-' ? bit : 0;
            told.Pluses |= group[at] == '+' ? bit : 0;
            told.ZeroPoints |= group[at] == '0' && group[at + 1] == '.' ? bit : 0;
            if (digit(at) > 9) continue;
            told.Lows |= number < ranges.LowBelow ? bit : 0;
            told.Highs |= number >= ranges.HighFrom && number < ranges.HighTo ? bit : 0;
        }
        const MaskT top = MaskT{1} << (GroupBytes - 1);  // its point lies past the group
        ASSERT_EQ(wideMixed.Told.Minuses, told.Minuses) << i;
        ASSERT_EQ(wideMixed.Told.Pluses, told.Pluses) << i;
        ASSERT_EQ(wideMixed.Told.ZeroPoints, told.ZeroPoints & ~top) << i;
        ASSERT_EQ(wideMixed.Told.Lows, told.Lows) << i;
        ASSERT_EQ(wideMixed.Told.Highs, told.Highs) << i;
    }
    for (int i = 0; i < 20000; ++i) {  // lines as long as a read, among few line feeds
        MaskT lineFeeds = 0;
        for (int feeds = random() % 4; feeds > 0; --feeds)
            lineFeeds |= MaskT{1} << random() % GroupBytes;
        const MaskT inLines = lowBits(highestBit(lineFeeds | 1)) & ~lineFeeds;
        ASSERT_EQ(holdsLongLine(lineFeeds), GroupBytes > ReadMax && holdsRun<ReadMax>(inLines))
            << i;
    }
}

// A scan takes the reads of a window in their order, at most as many as it
// may, and stops at the first it does not take.
TEST(DataWindows, AScanTakesReadsInOrderUpToItsLimit) {
    EXPECT_EQ(testcheck::firstScanMismatch(300, 42), "");
}

// A full list lists fewer: the data from the middle of a sample of it up
// leave it, marked still, and are no longer listed. A list laid out against
// its sample (every sampled entry the greatest) would free little each
// time: the marks give up instead.
TEST(DataWindows, AFullListListsFewerOrGivesUp) {
    const int64_t micro = spelling::KeyScale / 1000000;
    for (const bool againstTheSample : {false, true}) {
        uint64_t bits[20] = {};
        uint64_t list[1500];  // room for 1,000: a key and a place each
        MarksC marks;
        marks.start(bits, list, sizeof list / sizeof *list, CutS::atLeast(0.5));
        uint32_t places = 0;
        for (; !marks.full(); ++places) {
            DatumS datum;
            datum.Key = 200000 * micro + places * micro;  // 0.2, 0.200001, ...
            if (againstTheSample && places % (1000 / 63) == 0) datum.Key = 400000 * micro;
            ASSERT_TRUE(marks.mark(places, datum));
        }
        marks.listFewer();
        if (againstTheSample) {
            EXPECT_FALSE(marks.listed());
            continue;
        }
        ASSERT_TRUE(marks.listed());
        EXPECT_NEAR(marks.count(), places / 2, places / 20);
        EXPECT_LT(marks.unlisted().Value, 0.5);
        for (uint32_t i = 0; i < marks.count(); ++i)
            EXPECT_FALSE(marks.datum(i).reaches(marks.unlisted())) << i;
        for (uint32_t place = 0; place < places; ++place)
            EXPECT_EQ(bits[place / 64] >> (place % 64) & 1, 1u) << place;
    }
}

}  // namespace
