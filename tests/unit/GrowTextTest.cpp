// The growing text that report lines, the banner and the joined names are
// composed in: pieces kept whole whatever their length, and a piece that
// finds no memory refused whole.
#include <gtest/gtest.h>

#include <string>

#include "engine/GoodBadListC.h"
#include "tests/common/ListMemory.h"

namespace {

TEST(GrowText, PiecesOfAnyLengthAreKeptWhole) {
    GrowTextC text(4);
    EXPECT_STREQ(text.c_str(), "");
    const std::string many(100, 'a');
    EXPECT_TRUE(text.append("%d:", 12));
    EXPECT_TRUE(text.append("[%s]", many.c_str()));
    EXPECT_EQ(text.c_str(), "12:[" + many + "]");
    EXPECT_EQ(text.length(), 3 + many.size() + 2);
    EXPECT_TRUE(text.replace("%s%s", many.c_str(), many.c_str()));
    EXPECT_EQ(text.c_str(), many + many);
    text.clear();
    EXPECT_STREQ(text.c_str(), "");
    EXPECT_EQ(text.length(), 0u);
}

// The refused room is the doubled room the piece needed, as its users report it.
TEST(GrowText, APieceWithoutMemoryIsRefusedAndTheTextStaysAsItWas) {
    GrowTextC text(16);
    {
        ListMemoryLimitC none(0);
        EXPECT_FALSE(text.append("%s", "first"));
        EXPECT_EQ(text.refusedRoom(), 16u);
        EXPECT_STREQ(text.c_str(), "");
    }
    ListMemoryLimitC limit(16);
    EXPECT_TRUE(text.append("%s", "0123456789"));
    EXPECT_FALSE(text.append("%s", "abcdefghij"));  // printed in part into the room first
    EXPECT_EQ(text.refusedRoom(), 32u);
    EXPECT_STREQ(text.c_str(), "0123456789");
    EXPECT_EQ(text.length(), 10u);
    EXPECT_TRUE(text.append("%s", "abcde"));  // fills the room exactly
    EXPECT_EQ(text.refusedRoom(), 0u);
    EXPECT_STREQ(text.c_str(), "0123456789abcde");
    EXPECT_FALSE(text.replace("%s", std::string(16, 'r').c_str()));
    EXPECT_STREQ(text.c_str(), "");
}

}  // namespace
