// What the windows' judging rests on, checked against plain conversions:
// the digits of a short decimal placed against a double without dividing,
// the fixed-point and three-character spellings against smallSpelling and
// toDatum, and a window taken when the file's greatest datum reached 0.1
// before it.
#include "engine/DataWindows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

namespace {

TEST(DataWindows, DigitsTellTheSideOfADoubleOnlyWhenTheRoundedValueLiesThere) {
    std::mt19937 random(31);
    const double Edges[] = {0.5, 0.45, 0.1, 1.0, -1.0, 0.0, 0.123456789, 0.999999999};
    for (int i = 0; i < 200000; ++i) {
        double x = i % 2 ? Edges[random() % 8] : std::ldexp(double(random()), -31);
        for (int step = int(random() % 5) - 2; step != 0; step += step > 0 ? -1 : 1)
            x = std::nextafter(x, step > 0 ? 2.0 : -2.0);
        const DecimalBoundS bound(x);
        const int decimals = int(random() % 10);
        const uint32_t power = uint32_t(FileReadC::ExactPowers[decimals]);
        const uint32_t near = uint32_t(std::max(0.0, std::floor(x * power)));
        const uint32_t mantissa = std::min<uint32_t>(near + random() % 5 - 2, 999999999);
        const double value = FileReadC::shortValue(false, mantissa, decimals);
        const int order = bound.order(mantissa, decimals);
        ASSERT_TRUE(order == 0 || (order < 0 ? value < x : value > x))
            << mantissa << "e-" << decimals << " against " << x << " said " << order;
    }
}

TEST(DataWindows, SpellingsAtAGlanceAgreeWithTheConversions) {
    std::mt19937 random(32);
    static const char Alphabet[] = "-0.0123456789eE \r\n+x";
    for (int i = 0; i < 200000; ++i) {
        char text[40] = {};
        const int length = 1 + int(random() % 14);
        for (int k = 0; k < length; ++k) text[k] = Alphabet[random() % (sizeof Alphabet - 1)];
        text[length] = '\n';
        const FileReadC::FixedS spelling = FileReadC::fixedPoint(text);
        const FileReadC::SmallSpelling small = FileReadC::smallSpelling(text);
        double value = 0.0;
        const bool converts = FileReadC::toDatum(text, value);
        if (spelling.Fixed) {
            ASSERT_TRUE(converts) << text;
            const uint32_t nanos = FileReadC::fixedNanos(text, spelling);
            ASSERT_EQ(FileReadC::shortValue(spelling.Negative, nanos, 9), value) << text;
            ASSERT_EQ(small, spelling.Negative ? FileReadC::SmallNegative
                             : spelling.Tenth  ? FileReadC::SmallTenth
                                               : FileReadC::NotSmall)
                << text;
        }
        // Short texts without e or E: the three first characters tell.
        const bool isShort =
            length <= int(readwindows::ShortLine) && std::strpbrk(text, "eE") == nullptr;
        const readwindows::HeadE head = readwindows::headOf(text);
        if (isShort && head != readwindows::OtherHead) {
            ASSERT_EQ(small, head == readwindows::NegativeHead ? FileReadC::SmallNegative
                                                               : FileReadC::SmallTenth)
                << text;
        }
    }
}

// A window that converts a datum below 0.1 before its own greatest datum
// reaches 0.1: when the file's greatest datum had reached 0.1 before it, the
// sequential way judged that datum by its spelling, and the last datum
// converted is the one before the window.
TEST(DataWindows, LastDatumFollowsTheFilesGreatestDatumBeforeTheWindow) {
    const FirstPassRulesS rules(0.5, -1.0, 1.0, 50.0);
    static unsigned char bytes[64 + 64] = "0.05\n-0.2\n";
    uint64_t scratch[64];
    const readwindows::WindowS window{0, bytes, 0, 10, scratch, 64};
    FirstPassTallyC tally;
    tally.start(rules, 0.0, window);
    ASSERT_TRUE(readwindows::scanReads(bytes, 0, 10, UINT32_MAX, tally).Whole);
    uint64_t kept[64];
    CandidatesS candidates;
    for (const double before : {0.7, 0.05}) {
        candidates.start(kept, 64);
        FirstPassDataS data{0.3, before, RunsS(), 0, &candidates};
        data.fold(tally, rules);
        EXPECT_EQ(data.Value, before >= 0.1 ? 0.3 : 0.05) << before;
        EXPECT_EQ(data.Data, 2u);
    }
}

}  // namespace
