// The invocation line parser: run modes and switch errors, h and w found or
// not, file names sorted into GOOD and BAD, wildcards, program paths with
// blanks, and lines far longer than the working line's first room.
#include "startup/InvokeParseC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/ErrHandleC.h"
#include "framework/native/StandIns.h"
#include "tests/unit/Boxes.h"

namespace {

using Names = std::vector<std::string>;
using testboxes::box;
const auto GOOD = GoodBadListC::GOOD;
const auto BAD = GoodBadListC::BAD;
const GoodBadListC::ReallocFn SystemRealloc = GoodBadListC::Realloc;
const std::string Exe = "C:\\Tally\\tallywave.exe";

const std::string JustOne =
    "InvokeParseC::storeParams() Just one Height h or Width w found.\nInvoked as: [%s]\n\n"
    "Both h and w must be provided.\nNeither, or both, is OK for graphic mode.\n"
    "Each must be a percent value x, with 0.0001 <= x <= 99.9999.\n"
    "Possible typo on invocation line?";
const std::string NoneFound =
    "InvokeParseC::storeParams() No valid Height h or Width w found.\nInvoked as: [%s]\n\n"
    "Both h and w must be provided for nongraphic mode.\n"
    "Each must be a percent value x, with 0.0001 <= x <= 99.9999.";

// The text with its one %s replaced by the quoted line.
std::string quoting(const std::string& text, const std::string& line) {
    const auto at = text.find("%s");
    return text.substr(0, at) + line + text.substr(at + 2);
}

std::string joined(const Names& words) {
    std::string line;
    for (const auto& w : words) line += w + " ";
    return line;
}

// Fails the one request of FailSize bytes.
std::size_t FailSize = 0;
void* failingRealloc(void* old, std::size_t size) {
    return size == FailSize ? nullptr : std::realloc(old, size);
}

class InvokeParseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetAll();
        ErrHandle.setTitle(ReleaseStr);
        Status = 0;
    }
    void TearDown() override {
        GoodBadListC::Realloc = SystemRealloc;
        standin::resetAll();
    }
    // Parses the program path followed by args.
    InvokeParseC& parse(const Names& args, const std::string& exe = Exe) {
        Words = args;
        Words.insert(Words.begin(), exe);
        std::vector<char*> argv;
        for (auto& w : Words) argv.push_back(&w[0]);
        argv.push_back(nullptr);
        Parsed = std::make_unique<InvokeParseC>(argv.data());
        return *Parsed;
    }
    Names names(int list) {
        Names found;
        for (int pos = 1; pos <= Parsed->getTotal(list); ++pos)
            found.push_back(Parsed->getName(list, pos));
        return found;
    }
    std::string invoked() const { return joined(Words); }

    Names Words;
    std::unique_ptr<InvokeParseC> Parsed;
};

TEST_F(InvokeParseTest, WithoutSwitchTheRunIsGraphicAndIgnoresNamesAndBadParams) {
    for (const Names& args : {Names{}, Names{"a.txt"}, Names{"0", "200", "x.txt"}}) {
        InvokeParseC& p = parse(args);
        EXPECT_EQ(p.Mode, ModeGraphic);
        EXPECT_TRUE(p.ParamsValid);
        EXPECT_EQ(p.Height, 50.0);
        EXPECT_EQ(p.Width, 10.0);
        EXPECT_EQ(p.getTotal(GOOD) + p.getTotal(BAD), 0);
        EXPECT_EQ(std::string(p.ExeName), "tallywave");
        EXPECT_TRUE(testboxes::takeTexts().empty()) << invoked();
    }
    // Only one number is a typo in any mode.
    parse({"5", "a.txt"});
    EXPECT_FALSE(Parsed->ParamsValid);
    EXPECT_EQ(testboxes::takeTexts(), Names{box(quoting(JustOne, invoked()), -3)});
}

TEST_F(InvokeParseTest, TextAndSilentSwitchesSetTheModeWhereverTheyStand) {
    EXPECT_EQ(parse({"-t", "5", "2", "a.txt"}).Mode, ModeText);
    EXPECT_EQ(parse({"-s", "5", "2", "a.txt"}).Mode, ModeSilent);
    InvokeParseC& p = parse({"5", "2", "a-b.txt", "-t"});
    EXPECT_EQ(p.Mode, ModeText);
    EXPECT_EQ(p.Height, 5.0);
    EXPECT_EQ(p.Width, 2.0);
    EXPECT_EQ(names(GOOD), Names{"a-b.txt"});
    EXPECT_TRUE(testboxes::takeTexts().empty());
}

TEST_F(InvokeParseTest, SortsNamesIntoGoodAndBadInOrder) {
    parse({"-t", "5", "2", "a.txt", "b.TXT", "c", "d.asc", ".txt", "e.asc"});
    EXPECT_EQ(names(GOOD), (Names{"a.txt", "d.asc", "e.asc"}));
    EXPECT_EQ(names(BAD), (Names{"b.TXT", "c", ".txt"}));

    Names refused;
    for (char c : std::string("\"'*<>?`|\x7f")) refused.push_back(std::string("a") + c + "b.txt");
    Names args{"-s", "1", "2"};
    args.insert(args.end(), refused.begin(), refused.end());
    parse(args);
    EXPECT_EQ(names(BAD), refused);
    EXPECT_EQ(Parsed->getTotal(GOOD), 0);
}

TEST_F(InvokeParseTest, ControlCharactersAndBytesFrom128SplitWordsLikeBlanks) {
    for (int byte : {1, 9, 31, 128, 160, 233, 255}) {
        parse({"-s", "1", "2", "a.txt" + std::string(1, char(byte)) + "b.asc"});
        EXPECT_EQ(names(GOOD), (Names{"a.txt", "b.asc"})) << "byte " << byte;
    }
}

// A program installed under a folder with blanks (or other separators) in its
// name must still find h and w: the whole first argument is the program path.
TEST_F(InvokeParseTest, TheWholeFirstArgumentIsTheProgramPath) {
    const struct {
        std::string path;
        const char* exeName;
    } cases[] = {
        {"C:\\Program Files\\Tally Wave 1.0\\tally wave.v2.exe", "tally wave.v2"},
        {"C:\\Users\\Ren\xe9\\My\tTools -x\\tw.exe", "tw"},
        {"C:\\my.dir\\tallywave", "tallywave"},
        {"tallywave.exe", "tallywave"},
    };
    for (const auto& c : cases) {
        InvokeParseC& p = parse({"-s", "1", "2", "x.txt"}, c.path);
        EXPECT_EQ(std::string(p.ExeName), c.exeName);
        EXPECT_EQ(p.Mode, ModeSilent) << c.path;
        EXPECT_TRUE(p.ParamsValid) << c.path;
        EXPECT_EQ(p.Height, 1.0);
        EXPECT_EQ(p.Width, 2.0);
        EXPECT_EQ(names(GOOD), Names{"x.txt"});
        EXPECT_EQ(p.getTotal(BAD), 0);
        EXPECT_TRUE(testboxes::takeTexts().empty()) << c.path;
    }
}

struct ParamCase {
    Names args;
    double height, width;
    std::vector<std::pair<std::string, int>> boxes;  // text, status
};

TEST_F(InvokeParseTest, HeightAndWidthAreTheFirstTwoNumbersLeft) {
    const std::string hDefault =
        "InvokeParseC::storeParams():  WARNING!\nHeight h param adjusted to default=50.0%.";
    const std::string wDefault =
        "InvokeParseC::storeParams():  WARNING!\nWidth w param adjusted to default=10.0%.";
    const std::string longWord = "1" + std::string(63, '0') + "25";
    const ParamCase cases[] = {
        {{"-t", "0", "50", "x.txt"}, 50.0, 50.0, {{hDefault, 0}}},
        {{"-t", "5", "100", "x.txt"}, 5.0, 10.0, {{wDefault, 0}}},
        {{"-t", "0.0001", "99.9999", "x.txt"}, 0.0001, 99.9999, {}},
        {{"-t", "99.99999", "1", "x.txt"}, 99.9999, 1.0, {}},  // cut to seven characters
        {{"-t", "1.5.2", "3", "x.txt"}, 1.5, 3.0, {}},
        {{"-t", ".", "5.", "x.txt"}, 50.0, 5.0, {{hDefault, 0}}},
        // The h token is the word's first 64 characters; w starts at its 65th.
        {{"-t", longWord, "x.txt"}, 50.0, 25.0, {{hDefault, 0}}},
    };
    for (const auto& c : cases) {
        InvokeParseC& p = parse(c.args);
        EXPECT_TRUE(p.ParamsValid) << invoked();
        EXPECT_EQ(p.Height, c.height) << invoked();
        EXPECT_EQ(p.Width, c.width) << invoked();
        EXPECT_EQ(names(GOOD), Names{"x.txt"}) << invoked();
        EXPECT_EQ(p.getTotal(BAD), 0) << invoked();
        Names expected;
        for (const auto& b : c.boxes) expected.push_back(box(b.first, b.second));
        EXPECT_EQ(testboxes::takeTexts(), expected) << invoked();
    }
}

TEST_F(InvokeParseTest, MissingHeightOrWidthLeavesTheWordsAsNames) {
    InvokeParseC& p = parse({"-s", "a.txt", "5", "2"});
    EXPECT_FALSE(p.ParamsValid);
    EXPECT_EQ(testboxes::takeTexts(), Names{box(quoting(JustOne, invoked()), -3)});
    EXPECT_EQ(names(GOOD), Names{"a.txt"});
    EXPECT_EQ(names(BAD), (Names{"5", "2"}));

    parse({"-t", "5"});
    EXPECT_FALSE(Parsed->ParamsValid);
    EXPECT_EQ(testboxes::takeTexts(), Names{box(quoting(JustOne, invoked()), -3)});

    parse({"-t", "a.txt"});
    EXPECT_FALSE(Parsed->ParamsValid);
    EXPECT_EQ(testboxes::takeTexts(), Names{box(quoting(NoneFound, invoked()), -2)});
    EXPECT_EQ(names(GOOD), Names{"a.txt"});
}

TEST_F(InvokeParseTest, OverLongWordsAreCutIntoBadNames) {
    const std::string exact = std::string(2044, 'a') + ".txt";
    const std::string over = std::string(2046, 'b') + ".txt";  // 2050 characters
    parse({"-s", "1", "2", exact, over});
    EXPECT_EQ(names(GOOD), Names{exact});
    // The 2049th character is dropped and the rest is a word of its own.
    EXPECT_EQ(names(BAD), (Names{over.substr(0, 2048), over.substr(2049)}));
}

// Names of ten characters from n0000.txt on, up to a line of length
// characters after the 16 of "C:\t.exe -s 1 2 ".
Names numberedNames(std::size_t length) {
    Names args{"-s", "1", "2"};
    for (std::size_t line = 16; line + 10 <= length; line += 10) {
        char name[16];
        std::snprintf(name, sizeof name, "n%04zu.txt", args.size() - 3);
        args.push_back(name);
    }
    return args;
}

// Every name is kept, in order, on a line as long as Windows passes (32,767
// characters) and past it: the line grows, and a word across the working
// line's first room stays whole.
TEST_F(InvokeParseTest, LongLinesKeepEveryNameInOrder) {
    for (std::size_t length : {30000u, 40000u}) {
        Names args = numberedNames(length);
        args.insert(args.begin() + 3 + 1000, "abcdefghijklmnopqrstuvwxyz.txt");  // across 10,016
        parse(args, "C:\\t.exe");
        ASSERT_GE(invoked().size(), length);
        EXPECT_EQ(names(GOOD), Names(args.begin() + 3, args.end()));
        EXPECT_EQ(Parsed->getTotal(BAD), 0);
        EXPECT_TRUE(testboxes::takeTexts().empty());
    }
}

// A report that quotes a line longer than the reporting facility holds is
// cut there and still ends with its status line.
TEST_F(InvokeParseTest, AReportQuotingALongLineIsCutToTheBoxesCapacity) {
    Names args = numberedNames(30000);
    args[2] = "x.txt";  // one number only: the report quotes the line
    parse(args, "C:\\t.exe");
    const Names texts = testboxes::takeTexts();
    ASSERT_EQ(texts.size(), 1u);
    const std::string ending = "\n   -----> Status=-3 *****\n";
    const std::string whole = box(quoting(JustOne, invoked()), -3);
    const std::size_t room = ErrHandleC::MsgSize - 1;
    EXPECT_EQ(texts[0].size(), room);
    EXPECT_TRUE(texts[0] == whole.substr(0, room - ending.size()) + ending);
    EXPECT_EQ(names(BAD), Names{"1"});
    EXPECT_EQ(names(GOOD).size(), args.size() - 2);  // x.txt and the rest
}

TEST_F(InvokeParseTest, AVeryLongLineIsQuotedWholeWithinTheMessage) {
    Names args{"-t", "5"};
    for (int i = 0; i < 1000; ++i) args.push_back("n" + std::to_string(1000 + i) + ".txt");
    parse(args);
    ASSERT_GT(invoked().size(), 10000u);
    const Names texts = testboxes::takeTexts();
    ASSERT_EQ(texts.size(), 1u);
    const std::string expected = box(quoting(JustOne, invoked()), -3);
    const auto differ =
        std::mismatch(texts[0].begin(), texts[0].end(), expected.begin(), expected.end());
    EXPECT_TRUE(texts[0] == expected)
        << "differs from position " << (differ.first - texts[0].begin()) << " of "
        << texts[0].size();
}

TEST_F(InvokeParseTest, WithoutMemoryForTheLinesNothingIsParsed) {
    GoodBadListC::Realloc = failingRealloc;
    FailSize = InvokeParseC::InStrSize;
    parse({"-t", "5", "2", "a.txt"});
    EXPECT_EQ(testboxes::takeTexts(),
              Names{box("InvokeParseC ctor:  Can't allocate InStr[10240] char array.", -2)});
    EXPECT_EQ(Status, -2);
    EXPECT_EQ(Parsed->Mode, ModeGraphic);
    EXPECT_FALSE(Parsed->ParamsValid);
    EXPECT_EQ(Parsed->getTotal(GOOD), 0);

    FailSize = InvokeParseC::MsgInStrStartSize;
    parse({"-t", "5", "2", "a.txt"});
    EXPECT_EQ(testboxes::takeTexts(),
              Names{box("InvokeParseC ctor:  Can't allocate dummy MsgInStr[8] char array.", -3)});
    EXPECT_EQ(Status, -3);
    EXPECT_FALSE(Parsed->ParamsValid);
}

// Wildcards are expanded in file names only, never in the program path, h,
// w or the switch. Matches take the pattern's place in name order with its
// folder; one holding a blank goes to BAD whole, so "y 1.txt" never names a
// file 1.txt; a pattern without matches stays as typed.
TEST_F(InvokeParseTest, WildcardNamesStandForTheirMatchesInNameOrder) {
    Names asked;
    standin::setFileFinder([&](const std::string& pattern) {
        asked.push_back(pattern);
        if (pattern == "data\\w*.txt") return Names{"w2.txt", "w10.txt", "w 1.txt", "w1.TXT"};
        if (pattern == "y?.txt") return Names{"y1.txt", "y 1.txt"};
        return Names{};
    });
    parse({"-s", "1", "2", "a.txt", "data\\w*.txt", "nomatch*.txt", "y?.txt", "z.txt"},
          "C:\\T*lly\\tw?.exe");
    EXPECT_EQ(Parsed->Mode, ModeSilent);
    EXPECT_TRUE(Parsed->ParamsValid);
    EXPECT_EQ(asked, (Names{"data\\w*.txt", "nomatch*.txt", "y?.txt"}));
    EXPECT_EQ(names(GOOD), (Names{"a.txt", "data\\w10.txt", "data\\w2.txt", "y1.txt", "z.txt"}));
    EXPECT_EQ(names(BAD), (Names{"data\\w 1.txt", "data\\w1.TXT", "nomatch*.txt", "y 1.txt"}));
    EXPECT_TRUE(testboxes::takeTexts().empty());

    // A match whose path would not fit a list entry goes to BAD, cut.
    const std::string folder(2040, 'f');
    standin::setFileFinder([](const std::string&) { return Names{"long.txt", "l.txt"}; });
    parse({"-t", "1", "2", folder + "\\l*.txt"});
    EXPECT_EQ(names(GOOD), Names{folder + "\\l.txt"});
    EXPECT_EQ(names(BAD), Names{(folder + "\\long.txt").substr(0, 2048)});
}

TEST_F(InvokeParseTest, WithoutMemoryForTheMatchesThePatternIsTakenAsTyped) {
    standin::setFileFinder([](const std::string&) { return Names{"w1.txt", "w2.txt"}; });
    GoodBadListC::Realloc = failingRealloc;
    FailSize = 64 * sizeof(char*);  // the first room for the matches
    parse({"-s", "1", "2", "w*.txt", "a.txt"});
    EXPECT_EQ(testboxes::takeTexts(),
              Names{box("InvokeParseC::storeFileNames() Can't allocate memory for the files "
                        "matching\n[w*.txt].\nThe name is taken as typed.",
                        -2)});
    EXPECT_EQ(names(GOOD), Names{"a.txt"});
    EXPECT_EQ(names(BAD), Names{"w*.txt"});
}

struct SwitchCase {
    Names args;
    int status;
    std::string report;
};

using InvokeParseDeathTest = InvokeParseTest;

// A bad switch shows its own warning, then the invalid-line box, and the
// process ends with the warning's status.
TEST_F(InvokeParseDeathTest, ABadSwitchIsFatalAfterItsOwnWarning) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string multiple =
        "InvokeParseC::storeRunMode() Apparent multiple switches.\nInvoked as: [%s]\n\n"
        "More than one \" -xxx\" found.  Only one of -s or -t allowed.\n"
        "File names beginning with \"-\" are not allowed.";
    const std::string lost =
        "InvokeParseC::storeRunMode() Apparent lost switch char '-'.\nInvoked as: [%s]\n\n"
        "The only allowed switches are -s or -t.   No isolated '-' allowed.\n"
        "File names beginning with \"-\" are not allowed.";
    const std::string unknown =
        "InvokeParseC::storeRunMode() Unknown switch on invocation line.\nInvoked as: [%s]\n\n"
        "The only allowed switches are -s or -t.\nFile names beginning with \"-\" are not allowed.";
    const std::string invalid =
        "InvokeParseC:  The invocation line was invalid:\n[%s]\n\n"
        "Syntax: tallywave [-s|-t] [h w] [fname1 [fname2 . . .] ]\n"
        "-s for silent; -t for text; neither for graphic mode; never both.\n"
        "h and w are in percent, 0.0001..99.9999.\n\nTry tallywave and view help menues.";
    const SwitchCase cases[] = {
        {{"-s", "-t", "1", "2", "x.txt"}, -2, multiple},
        {{"-t", "1", "2", "-"}, -2, multiple},
        {{"-", "1", "2", "x.txt"}, -3, lost},
        {{"-x"}, -4, unknown},
        {{"-T", "1", "2"}, -4, unknown},
        {{"-tt", "1", "2"}, -4, unknown},
        {{"-tx", "1", "2"}, -4, unknown},
        {{"1", "2", "-file.txt"}, -4, unknown},
    };
    const std::string longPath(2048, 'p');
    // A line that cannot grow past its first room ends the run, saying so.
    EXPECT_EXIT(
        {
            standin::echoBoxesToStderr(true);
            GoodBadListC::Realloc = failingRealloc;
            FailSize = 2 * InvokeParseC::InStrSize;
            parse({"-s", "1", "2", std::string(12000, 'a')});
        },
        ::testing::ExitedWithCode(254),
        testboxes::literally("[Tallywave WARNING!]\n" +
                             box("InvokeParseC flattenInvLine():  Can't reallocate InStr[20480] "
                                 "char array\nfor invoke arg 4=[" +
                                     std::string(12000, 'a') + "].",
                                 -2) +
                             "[Tallywave FATAL!]\n" +
                             box("InvokeParseC::flattenInvLine() failed.", -2)));
    EXPECT_EXIT(
        {
            standin::echoBoxesToStderr(true);
            parse({"-t"}, longPath);
        },
        ::testing::ExitedWithCode(254),
        testboxes::literally(
            "[Tallywave WARNING!]\n" +
            box("InvokeParseC::storeExeName() exe name len=[2048]\nExceeds maximum=[2048].", -2) +
            "[Tallywave FATAL!]\n" + box("InvokeParseC::storeExeName() failed.", -2)));
    for (const auto& c : cases) {
        const std::string line = joined(Names{Exe}) + joined(c.args);
        const std::string shown = "[Tallywave WARNING!]\n" +
                                  box(quoting(c.report, line), c.status) + "[Tallywave FATAL!]\n" +
                                  box(quoting(invalid, line), c.status) +
                                  "\n\nFatal Error.   Aborting ...\n";
        EXPECT_EXIT(
            {
                standin::echoBoxesToStderr(true);
                parse(c.args);
            },
            ::testing::ExitedWithCode(c.status & 0xFF), testboxes::literally(shown))
            << line;
    }
}

}  // namespace
