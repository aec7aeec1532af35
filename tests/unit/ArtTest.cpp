// The application icon that gui/res/ArtGen.cpp writes and the resource script
// links in: its directory, each image's place and size in the file as its DIB
// header implies them, and a picture in each image rather than one flat colour.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

std::string repoFile(const std::string& rel) {
    const std::string samples = TALLY_SAMPLES_DIR;
    return samples.substr(0, samples.rfind("/samples")) + "/" + rel;
}

uint32_t le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | uint8_t(b.at(at + i));
    return v;
}

TEST(Art, IconHoldsThreeWellFormedPictures) {
    std::ifstream in(repoFile("gui/res/tallywave.ico"), std::ios::binary);
    const std::string ico{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GE(ico.size(), 6u);
    ASSERT_EQ(le(ico, 0, 2), 0u);
    ASSERT_EQ(le(ico, 2, 2), 1u);  // an icon, not a cursor
    ASSERT_EQ(le(ico, 4, 2), 3u);

    const uint32_t want[3][2] = {{32, 4}, {32, 1}, {16, 4}};  // side, bits per pixel
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const size_t e = 6 + 16 * i;
        const uint32_t side = want[i][0], bits = want[i][1];
        EXPECT_EQ(le(ico, e, 1), side);
        EXPECT_EQ(le(ico, e + 1, 1), side);
        EXPECT_EQ(le(ico, e + 6, 2), bits);
        const uint32_t size = le(ico, e + 8, 4), at = le(ico, e + 12, 4);
        ASSERT_LE(uint64_t(at) + size, ico.size());

        const uint32_t xorRow = (side * bits + 31) / 32 * 4, andRow = (side + 31) / 32 * 4;
        const uint32_t pixels = at + 40 + 4 * (1u << bits);
        EXPECT_EQ(le(ico, at, 4), 40u);
        EXPECT_EQ(le(ico, at + 4, 4), side);
        EXPECT_EQ(le(ico, at + 8, 4), 2 * side);  // the XOR image and the AND mask
        EXPECT_EQ(le(ico, at + 14, 2), bits);
        EXPECT_EQ(size, pixels - at + (xorRow + andRow) * side);

        std::set<uint32_t> colours;
        for (uint32_t y = 0; y < side; ++y)
            for (uint32_t x = 0; x < side; ++x) {
                const uint32_t byte = le(ico, pixels + y * xorRow + x * bits / 8, 1);
                colours.insert(byte >> (8 - bits - x * bits % 8) & ((1u << bits) - 1));
            }
        EXPECT_GE(colours.size(), bits == 1 ? 2u : 4u);
    }
}

}  // namespace
