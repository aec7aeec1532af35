// The output window's buffer side: what the writers' calls leave in the text
// and in the edit control, growth beyond the first room, and running out of
// memory.
#include "textui/TextWinC.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/native/StandIns.h"
#include "tests/common/WindowClock.h"

namespace {

TEST(TextWin, LinesPiecesAndTheNewLineCount) {
    TextWinC window;
    EXPECT_EQ(window.addLine(""), 0);
    EXPECT_EQ(window.appendStr("a\r\n"), 0);
    EXPECT_EQ(window.addLine("b"), 0);
    EXPECT_EQ(std::string(window.Text), "\r\na\r\nb\r\n");
    EXPECT_EQ(window.NewLines, 2);  // pieces are not counted, even with a line end
    EXPECT_EQ(window.setLine("start"), 0);
    EXPECT_EQ(std::string(window.Text), "start\r\n");
    EXPECT_EQ(window.NewLines, 2);
}

// A long batch outgrows the first room: nothing is lost or cut.
TEST(TextWin, GrowsBeyondItsFirstRoomKeepingEveryLine) {
    TextWinC window;
    const std::string line(99, 'x');
    const int lines = 2 * TextWinC::TextStartRoom / 101 + 7;
    for (int i = 0; i < lines; ++i) ASSERT_EQ(window.addLine(line.c_str()), 0);
    EXPECT_EQ(std::string(window.Text).size(), static_cast<std::size_t>(lines) * 101);
    EXPECT_EQ(window.NewLines, lines);
}

void* neverMore(void*, std::size_t) {
    return nullptr;
}

// Without memory to grow, a writer gets -2 and the text stays as it was.
TEST(TextWin, FullWithoutMemoryRefusesWholeTexts) {
    TextWinC window;
    const std::string almost(TextWinC::TextStartRoom - 3, 'y');
    ASSERT_EQ(window.appendStr(almost.c_str()), 0);
    TextWinC::Realloc = neverMore;
    EXPECT_EQ(window.appendStr("123"), 0);  // exactly full
    EXPECT_EQ(window.addLine(""), -2);
    EXPECT_EQ(window.appendStr("z"), -2);
    EXPECT_EQ(window.setLine(std::string(TextWinC::TextStartRoom, 'w').c_str()), -2);
    TextWinC::Realloc = std::realloc;
    EXPECT_EQ(window.NewLines, 0);
    EXPECT_EQ(std::string(window.Text), almost + "123");
}

// The control gets only what is new while it holds what it was given; the
// whole text once it was changed by the user or the text started over.
TEST(TextWin, RefreshSendsOnlyWhatIsNew) {
    TextWinC window;
    window.addLine("before");
    standin::EditControlC edit;
    window.setEdit(&edit);
    EXPECT_EQ(edit.Shown, "before\r\n");
    window.addLine("one");
    window.appendStr(".");
    window.refresh();
    EXPECT_EQ(edit.Shown, "before\r\none\r\n.");
    EXPECT_EQ(edit.Replaces, 1);
    EXPECT_EQ(edit.Appends, 1);

    edit.userTypes("q");
    window.addLine("two");
    window.refresh();
    EXPECT_EQ(edit.Shown, "before\r\none\r\n.two\r\n");
    EXPECT_EQ(edit.Replaces, 2);

    window.setLine("");
    EXPECT_EQ(edit.Shown, "\r\n");
    EXPECT_EQ(edit.Replaces, 3);
    EXPECT_EQ(window.lineCount(), 2);
}

TEST(TextWin, UserTypedOnceThenReadOnly) {
    TextWinC window;
    EXPECT_FALSE(window.userTyped());  // no control yet
    standin::EditControlC edit;
    window.setEdit(&edit);
    EXPECT_FALSE(window.userTyped());
    edit.userTypes("x");
    EXPECT_TRUE(window.userTyped());
    EXPECT_TRUE(edit.ReadOnly);
    window.refresh();
    EXPECT_FALSE(window.userTyped());
    edit.userTypes("y");
    EXPECT_FALSE(window.userTyped());
    EXPECT_EQ(edit.Shown, "");
}

unsigned long Now = 0;
unsigned long readNow() {
    return Now;
}

// Held, the control gets what is new at most every UpdateGapMs, without the
// scrolls in between; a user's change is still answered at once, and
// letting go shows everything.
TEST(TextWin, HeldUpdatesComeAFewTimesASecond) {
    TextWinC::Millis = readNow;
    Now = 5000;
    TextWinC window;
    standin::EditControlC edit;
    window.setEdit(&edit);
    window.holdUpdates(true);
    Now += TextWinC::UpdateGapMs;
    window.addLine("a");
    window.refresh();
    window.scrollLines(1);
    EXPECT_EQ(edit.Shown, "a\r\n");
    Now += TextWinC::UpdateGapMs - 1;
    window.addLine("b");
    window.refresh();
    window.scrollLines(1);
    EXPECT_EQ(edit.Shown, "a\r\n");
    Now += 1;
    window.addLine("c");
    window.refresh();
    window.scrollLines(1);
    EXPECT_EQ(edit.Shown, "a\r\nb\r\nc\r\n");
    EXPECT_EQ(edit.Appends, 2);
    EXPECT_EQ(edit.Scrolls, (std::vector<int>{1, 1}));

    edit.userTypes("!");
    window.addLine("d");
    window.refresh();
    EXPECT_EQ(edit.Shown, "a\r\nb\r\nc\r\nd\r\n");
    window.addLine("e");
    window.refresh();
    window.holdUpdates(false);
    EXPECT_EQ(edit.Shown, window.Text);
    EXPECT_EQ(edit.Replaces, 2);  // setEdit and the user's change
    TextWinC::Millis = windowclock::secondsApart;
}

}  // namespace
