// The pictures that tools/artgen/ArtGen.cpp writes and the resource script links
// in. The application icon: its directory, each image's place and size in the
// file as its DIB header implies them, and a picture in each image rather than
// one flat colour. The banner and button bitmaps: well-formed RLE8-compressed
// 256-colour .bmp files whose codes give every row of the size the dialog lays
// out, each a picture, and the three faces of a button told apart.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tests/common/Files.h"

namespace {

std::string repoFile(const std::string& rel) {
    const std::string samples = TALLY_SAMPLES_DIR;
    return samples.substr(0, samples.rfind("/samples")) + "/" + rel;
}

std::string readFile(const std::string& rel) {
    return testfiles::readFile(repoFile(rel));
}

uint32_t le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | uint8_t(b.at(at + i));
    return v;
}

// Decodes the RLE8 pixels of a bitmap w pixels wide from `at` on into pix, rows
// in file order. Returns where the end-of-bitmap code ends, or 0 when a row
// comes out longer or shorter than w, the codes jump (which the writer never
// does) or the data ends first.
size_t unrle8(const std::string& b, size_t at, uint32_t w, std::string& pix) {
    uint32_t row = 0;  // pixels so far in the current row
    while (at + 2 <= b.size()) {
        const uint8_t n = b[at], c = b[at + 1];
        at += 2;
        if (n) {
            pix.append(n, char(c)), row += n;
        } else if (c >= 3) {  // c pixels as they are, padded to 2 bytes
            if (at + c > b.size()) return 0;
            pix.append(b, at, c), row += c, at += c + c % 2;
        } else if (c == 0 && row == w) {  // end of the row
            row = 0;
        } else {
            return c == 1 && row == 0 ? at : 0;  // end of the bitmap
        }
        if (row > w) return 0;
    }
    return 0;
}

TEST(Art, IconHoldsThreeWellFormedPictures) {
    const std::string ico = readFile("resources/tallywave.ico");
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

TEST(Art, BitmapsAreWellFormedAndButtonFacesDiffer) {
    const struct {
        const char* Name;
        uint32_t W, H;
    } pictures[] = {{"banner", 450, 70}, {"select", 90, 30}, {"check", 60, 30},
                    {"count", 60, 30},   {"help", 60, 30},   {"quit", 60, 30}};
    for (const auto& p : pictures) {
        const bool isButton = std::string(p.Name) != "banner";
        const std::vector<std::string> states =
            isButton ? std::vector<std::string>{"-up", "-down", "-focus"}
                     : std::vector<std::string>{""};
        std::set<std::string> faces;
        for (const std::string& state : states) {
            const std::string name = std::string("resources/") + p.Name + state;
            SCOPED_TRACE(name);
            const std::string b = readFile(name + ".bmp");
            ASSERT_GE(b.size(), 54u);
            EXPECT_EQ(b.substr(0, 2), "BM");
            EXPECT_EQ(le(b, 2, 4), b.size());
            EXPECT_EQ(le(b, 14, 4), 40u);
            EXPECT_EQ(le(b, 18, 4), p.W);
            EXPECT_EQ(le(b, 22, 4), p.H);  // positive: rows run bottom-up
            EXPECT_EQ(le(b, 28, 2), 8u);
            EXPECT_EQ(le(b, 30, 4), 1u);  // BI_RLE8
            const uint32_t used = le(b, 46, 4), pixels = le(b, 10, 4);
            EXPECT_TRUE(used == 0 || used == 256) << used;
            ASSERT_EQ(pixels, 14u + 40 + 4 * 256);
            EXPECT_EQ(le(b, 34, 4), b.size() - pixels);

            std::string pix;
            EXPECT_EQ(unrle8(b, pixels, p.W, pix), b.size());
            ASSERT_EQ(pix.size(), p.W * p.H);
            EXPECT_GE(std::set<char>(pix.begin(), pix.end()).size(), 3u);
            faces.insert(pix);
        }
        EXPECT_EQ(faces.size(), states.size());
    }
}

}  // namespace
