// The help texts: every line fits the help window (width, line count, CR LF
// endings, printable ASCII), and the overview shows the header format and the
// command syntax line by line as they must be typed.
#include "gui/HelpTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::size_t MaxWidth = 62;
const std::size_t MaxLines = 38;

// Splits at CR LF; a text that does not end in CR LF leaves a final piece.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
}

TEST(HelpTextsTest, EveryTextFitsTheWindow) {
    for (int topic = 0; topic < HelpTopicCount; ++topic) {
        SCOPED_TRACE("topic " + std::to_string(topic));
        ASSERT_NE(HelpTopicTexts[topic], nullptr);
        const std::string text = HelpTopicTexts[topic];
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        const auto all = lines(text);
        EXPECT_LE(all.size(), MaxLines);
        for (const std::string& line : all) {
            EXPECT_LE(line.size(), MaxWidth) << line;
            const bool printable =
                std::all_of(line.begin(), line.end(), [](char c) { return c >= ' ' && c <= '~'; });
            EXPECT_TRUE(printable) << "stray CR, LF or non-ASCII in: " << line;
        }
    }
}

TEST(HelpTextsTest, OverviewShowsHeaderFormatAndSyntax) {
    const auto all = lines(HelpTopicTexts[0]);
    const char* const expected[] = {
        "|SAMPLES:         (decimal integer > 999)",
        "|BITSPERSAMPLE:   (decimal integer > 7)",
        "|CHANNELS:        1",
        "|SAMPLERATE:      (decimal integer > 5999)",
        "|NORMALIZED:      TRUE",
        "|(first signed-double datum)",
        "Syntax:  Tallywave [-s|-t] h w filename1 [filename2 . . .]",
    };
    for (const char* want : expected) {
        const bool found = std::any_of(all.begin(), all.end(), [want](const std::string& line) {
            const std::size_t indent = line.find_first_not_of(' ');
            return indent != std::string::npos &&
                   line.compare(indent, std::string::npos, want) == 0;
        });
        EXPECT_TRUE(found) << "missing line: " << want;
    }
}

}  // namespace
