// The real tallywave.exe in graphic mode (started without arguments): its
// main and output windows, Check and Count on files chosen with Select, the
// Height and Width fields, the help menu and its topic windows, and quitting
// with the Quit button or the close box.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ValidateC.h"
#include "gui/HelpTexts.h"
#include "tests/common/CountSummary.h"
#include "tests/common/ProgressDots.h"
#include "tests/common/SampleRun.h"
#include "tests/e2e/ProgramTest.h"
#include "textui/TextWinC.h"
#include "windriver/GraphicWindows.h"

namespace {

const std::string Samples = TALLY_SAMPLES_DIR;
const char NothingSelected[] = "Nothing selected.  Please select at least one file.";

// The folder the program runs in when files are selected: the samples and
// some copies whose names the program refuses. The file dialog opens there.
std::string inputFolder() {
    const std::string folder = e2e::exeDir() + "\\graphic-input";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : testcheck::SampleNames)
        CopyFileA((Samples + "/" + name).c_str(), (folder + "\\" + name).c_str(), FALSE);
    for (const char* badName : {"calm.doc", "calm copy.txt", "loud.TXT"})
        CopyFileA((Samples + "/calm.txt").c_str(), (folder + "\\" + badName).c_str(), FALSE);
    return folder;
}

// text with every sample name in it preceded by folder and a backslash.
std::string inFolder(std::string text, const std::string& folder) {
    for (const char* name : testcheck::SampleNames) {
        const std::string full = folder + "\\" + name;
        for (std::size_t at = 0; (at = text.find(name, at)) != std::string::npos; at += full.size())
            text.replace(at, std::string(name).size(), full);
    }
    return text;
}

// The lines of text (CR LF ended) that begin with start.
std::string linesStartingWith(const std::string& text, const std::string& start) {
    std::string kept;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        if (text.compare(at, start.size(), start) == 0) kept += text.substr(at, end + 2 - at);
    return kept;
}

class GraphicModeTest : public e2e::ProgramTest {
  protected:
    // Starts the program without arguments in workDir and finds its windows;
    // the output window shows its first line, the fields their start values.
    void start(const std::string& workDir = Samples) {
        Folder = workDir;
        ASSERT_TRUE(startProgram("", workDir));
        ASSERT_TRUE(e2e::waitForGraphicWindows(Program.pid(), Patience, &Windows))
            << "the main and the output window did not both come" << windowsShown();
        Edit = e2e::outputEdit(Windows.Output);
        ASSERT_NE(Edit, nullptr) << "no edit control in the output window";
        ASSERT_TRUE(textBecomes(e2e::StartLine)) << text();
        ASSERT_TRUE(e2e::waitUntil(
            [&] {
                return field(IDC_HEIGHT_FIELD) == "50.0000" && field(IDC_WIDTH_FIELD) == "10.0000";
            },
            Patience))
            << field(IDC_HEIGHT_FIELD) << " / " << field(IDC_WIDTH_FIELD);
    }
    std::string field(int id) { return e2e::childText(Windows.Dialog, id); }
    // Empties a field as a user does: everything selected, then Backspace.
    // Posted, so it keeps its turn among the keys typed before and after.
    void clearField(int id) {
        HWND edit = GetDlgItem(Windows.Dialog, id);
        PostMessageA(edit, EM_SETSEL, 0, -1);
        e2e::typeText(edit, "\b");
    }
    void typeInto(int id, const std::string& keys) {
        e2e::typeText(GetDlgItem(Windows.Dialog, id), keys);
    }
    // Chooses files with Select: empty, or what went wrong.
    std::string select(const std::string& typed) {
        return e2e::selectFiles(Program.pid(), Windows.Dialog, Folder, typed, Patience);
    }
    // Waits for the one message box of the program and describes it.
    e2e::MessageBoxInfo messageBox() {
        e2e::MessageBoxInfo box;
        EXPECT_TRUE(e2e::waitForMessageBox(Program.pid(), nullptr, Patience, &box)) << "no box";
        EXPECT_EQ(e2e::topWindows(Program.pid(), e2e::SystemDialogClass).size(), 1u)
            << "more than one box";
        return box;
    }
    void answer(const e2e::MessageBoxInfo& box, int buttonId) {
        e2e::answerBox(box.hwnd, buttonId);
        EXPECT_TRUE(e2e::waitUntil([&] { return !IsWindow(box.hwnd); }, Patience)) << "box stays";
    }
    // Check with nothing selected: the information box says so and is
    // answered, and the Check is over. All keys and clicks posted before it
    // have been handled.
    void checkWithNothingSelected() {
        e2e::clickControl(Windows.Dialog, IDC_CHECK_BUTTON);
        const e2e::MessageBoxInfo box = messageBox();
        EXPECT_NE(box.text.find(NothingSelected), std::string::npos) << box.text;
        answer(box, IDOK);
        EXPECT_TRUE(e2e::waitForPassOver(Windows.Dialog, Patience)) << "the Check goes on";
    }
    std::string Folder;  // where the program runs and the files are chosen
    e2e::GraphicWindows Windows;
};

std::string className(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The main window: a fixed frame around the banner, the two fields with
// their labels and five picture buttons; the output window below it. Enter
// and Escape leave both alone, and Check with nothing selected only says so.
TEST_F(GraphicModeTest, StartsWithBothWindowsAndChecksNothingBeforeASelection) {
    ASSERT_NO_FATAL_FAILURE(start());
    const LONG frame = GetWindowLongA(Windows.Main, GWL_STYLE);
    EXPECT_EQ(frame & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_CAPTION | WS_SYSMENU);

    HWND banner = nullptr;
    std::vector<std::string> labels;
    for (HWND child = GetWindow(Windows.Dialog, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (className(child) != "Static") continue;
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
            banner = child;
        else
            labels.push_back(e2e::windowText(child));
    }
    ASSERT_NE(banner, nullptr) << "no banner picture";
    RECT place;
    GetWindowRect(banner, &place);
    EXPECT_EQ(place.right - place.left, 450);
    EXPECT_EQ(place.bottom - place.top, 70);
    EXPECT_EQ(GetDlgCtrlID(banner) & 0xFFFF, 0xFFFF);
    EXPECT_NE(SendMessageA(banner, STM_GETIMAGE, IMAGE_BITMAP, 0), 0)
        << "the banner shows no picture";
    EXPECT_EQ(labels, (std::vector<std::string>{"Height", "Width"}));
    for (int id : {IDC_HEIGHT_FIELD, IDC_WIDTH_FIELD})
        EXPECT_EQ(className(GetDlgItem(Windows.Dialog, id)), "Edit") << id;
    for (int id : {IDC_SELECT_BUTTON, IDC_CHECK_BUTTON, IDC_COUNT_BUTTON, IDC_HELP_BUTTON,
                   IDC_QUIT_BUTTON}) {
        HWND button = GetDlgItem(Windows.Dialog, id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(className(button), "Button") << id;
        EXPECT_TRUE(IsWindowVisible(button)) << id;
        EXPECT_EQ(GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << id;
    }

    GetWindowRect(Windows.Output, &place);
    EXPECT_EQ(place.left, 10);
    EXPECT_EQ(place.top, 300);
    EXPECT_EQ(place.right - place.left, 645);
    EXPECT_EQ(place.bottom - place.top, 524);
    EXPECT_EQ(GetWindowLongA(Windows.Output, GWL_STYLE) & WS_SYSMENU, 0)
        << "the output window has a close box";

    HWND height = GetDlgItem(Windows.Dialog, IDC_HEIGHT_FIELD);
    e2e::pressKey(height, VK_RETURN);
    e2e::pressKey(height, VK_ESCAPE);
    checkWithNothingSelected();
    EXPECT_TRUE(IsWindowVisible(Windows.Main));
    EXPECT_TRUE(IsWindowVisible(Windows.Output));
    EXPECT_EQ(field(IDC_HEIGHT_FIELD), "50.0000");
    EXPECT_EQ(text(), e2e::StartLine);
}

// Select offers the input files of the working folder and takes several at
// once. Check lists the names the program refuses, says what is wrong with
// the files it cannot use and lists the others; Count then counts those and
// sums up, in the order the names were typed.
TEST_F(GraphicModeTest, CheckSortsOutTheSelectionAndCountCountsTheGoodFiles) {
    const std::string folder = inputFolder();
    ASSERT_NO_FATAL_FAILURE(start(folder));
    const auto at = [&](const std::string& name) { return folder + "\\" + name + " "; };
    HWND files = e2e::openFileDialog(Program.pid(), Windows.Dialog, Patience);
    ASSERT_NE(files, nullptr) << "no file dialog";
    EXPECT_EQ(e2e::childText(files, 0x470), "Input Files (*.txt, *.asc)") << "file type";
    ASSERT_EQ(e2e::typeFileNames(files, folder,
                                 R"("calm.txt" "calm.doc" "lively.asc" "loud.TXT" "crlf.txt" )"
                                 R"("calm copy.txt" "stereo.txt" "clipped.txt")",
                                 Patience),
              "");
    const std::string badNames = at("calm.doc") + at("loud.TXT") + at("calm copy.txt");
    const std::string invalid = "Invalid fname: [" + badNames + "]\r\n\r\n";
    const std::string results =
        inFolder(testcheck::expectedSampleText(Samples + "/expected-results.txt"), folder);

    e2e::clickControl(Windows.Dialog, IDC_CHECK_BUTTON);
    const std::string checked = e2e::StartLine + invalid + linesStartingWith(results, "File=") +
                                "Files to be processed: [" + at("calm.txt") + at("lively.asc") +
                                at("crlf.txt") + "].\r\n";
    ASSERT_TRUE(textBecomes(checked)) << text();
    ASSERT_TRUE(e2e::waitForPassOver(Windows.Dialog, Patience)) << "the Check goes on";

    e2e::clickControl(Windows.Dialog, IDC_COUNT_BUTTON);
    const std::string counted =
        checked + invalid + results +
        testcheck::countSummary("tallywave", 8, 3, badNames + at("stereo.txt") + at("clipped.txt"));
    EXPECT_TRUE(e2e::waitUntil([&] { return testcheck::withoutDots(text()) == counted; }, Patience))
        << text();
    EXPECT_TRUE(noBoxes()) << "a box came up";
}

// The fields take digits and points only, seven at most; on Check a text
// that is no percentage from 0.0001 to 99.9999 gives way to the default, a
// good one stays, and Count counts with what the fields show.
TEST_F(GraphicModeTest, HeightAndWidthFallBackToTheDefaultsAndSetTheCount) {
    const std::string folder = inputFolder();
    ASSERT_NO_FATAL_FAILURE(start(folder));
    clearField(IDC_HEIGHT_FIELD);
    typeInto(IDC_HEIGHT_FIELD, "a1b.2c");
    ASSERT_TRUE(e2e::waitUntil([&] { return field(IDC_HEIGHT_FIELD) == "1.2"; }, Patience))
        << "letters were taken: " << field(IDC_HEIGHT_FIELD);
    typeInto(IDC_HEIGHT_FIELD, "345678");
    checkWithNothingSelected();
    EXPECT_EQ(field(IDC_HEIGHT_FIELD), "1.23456");

    clearField(IDC_HEIGHT_FIELD);
    typeInto(IDC_HEIGHT_FIELD, "1.2.3");
    clearField(IDC_WIDTH_FIELD);
    checkWithNothingSelected();
    EXPECT_EQ(field(IDC_HEIGHT_FIELD), "50.0");
    EXPECT_EQ(field(IDC_WIDTH_FIELD), "10.0");

    clearField(IDC_WIDTH_FIELD);
    typeInto(IDC_WIDTH_FIELD, "100");
    checkWithNothingSelected();
    EXPECT_EQ(field(IDC_WIDTH_FIELD), "10.0");

    // Height 20 and width 5 count the lively sample otherwise than the
    // defaults and than the two swapped.
    const std::string lively = folder + "\\lively.asc";
    const std::string line = testcheck::silentRunText({lively}, 20, 5);
    ASSERT_NE(line, testcheck::silentRunText({lively}, 50, 10));
    ASSERT_NE(line, testcheck::silentRunText({lively}, 5, 20));
    clearField(IDC_HEIGHT_FIELD);
    typeInto(IDC_HEIGHT_FIELD, "20");
    clearField(IDC_WIDTH_FIELD);
    typeInto(IDC_WIDTH_FIELD, "5");
    ASSERT_TRUE(e2e::waitUntil(
        [&] { return field(IDC_HEIGHT_FIELD) == "20" && field(IDC_WIDTH_FIELD) == "5"; },
        Patience));
    ASSERT_EQ(select(R"("lively.asc")"), "");
    e2e::clickControl(Windows.Dialog, IDC_COUNT_BUTTON);
    EXPECT_TRUE(textBecomes(e2e::StartLine + line + testcheck::countSummary("tallywave", 1, 1, "")))
        << text();
}

// The help menu pops up centred on x 250 at y 250; each topic, reached with
// the arrow keys past the title and the separators, opens a window of its
// own with its text. A topic chosen again keeps one window.
TEST_F(GraphicModeTest, HelpMenuOpensEachTopicInAWindowOfItsOwn) {
    ASSERT_NO_FATAL_FAILURE(start());
    const char* const captions[HelpTopicCount] = {
        "1 Tallywave Overview Help", "2 Height Parameter Help", "3 Width Parameter Help",
        "4 Check Command Help",      "5 Count Command Help",    "6 Help About Tallywave"};
    // Down presses from the top: the title, Overview, a separator, the four
    // commands, a separator, About.
    const int downs[HelpTopicCount] = {2, 3, 4, 5, 6, 7};
    for (int topic = 0; topic < HelpTopicCount; ++topic) {
        e2e::clickControl(Windows.Dialog, IDC_HELP_BUTTON);
        HWND menu = e2e::waitForWindow(Program.pid(), e2e::MenuClass, nullptr, Patience);
        ASSERT_NE(menu, nullptr) << "no help menu";
        if (topic == 0) {
            RECT place;
            GetWindowRect(menu, &place);
            EXPECT_NEAR((place.left + place.right) / 2.0, 250, 1);
            EXPECT_EQ(place.top, 250);
        }
        for (int i = 0; i < downs[topic]; ++i) e2e::pressKey(menu, VK_DOWN);
        e2e::pressEnter(menu);
        HWND window = e2e::waitForWindow(Program.pid(), OurWindowClass, captions[topic], Patience);
        ASSERT_NE(window, nullptr) << "no window " << captions[topic];
        HWND edit = FindWindowExA(window, nullptr, "Edit", nullptr);
        ASSERT_NE(edit, nullptr) << captions[topic];
        EXPECT_EQ(e2e::windowText(edit), HelpTopicTexts[topic]) << captions[topic];
        const LONG style = GetWindowLongA(edit, GWL_STYLE);
        EXPECT_EQ(style & (ES_MULTILINE | WS_HSCROLL | WS_VSCROLL), ES_MULTILINE)
            << captions[topic];
        ASSERT_TRUE(e2e::waitUntil([&] { return !IsWindow(menu); }, Patience)) << "menu stays";
    }
    // The main window, the output window and one window per topic.
    EXPECT_EQ(e2e::topWindows(Program.pid(), OurWindowClass).size(), 2u + HelpTopicCount);

    HWND owner = e2e::helpMenuOwner(Program.pid());
    ASSERT_NE(owner, nullptr) << "no help menu owner";
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(
        SendMessageTimeoutA(owner, WM_COMMAND, 289, 0, SMTO_ABORTIFHUNG, Patience, &ignored));
    std::vector<HWND> overviews;
    for (HWND window : e2e::topWindows(Program.pid(), OurWindowClass))
        if (e2e::windowText(window) == captions[0]) overviews.push_back(window);
    ASSERT_EQ(overviews.size(), 1u);
    EXPECT_EQ(e2e::windowText(FindWindowExA(overviews[0], nullptr, "Edit", nullptr)),
              HelpTopicTexts[0]);
}

// Quit asks first. No keeps everything as it was; Yes takes the output
// window down, then the main window, and the program ends with 0.
TEST_F(GraphicModeTest, QuitAsksAndYesClosesTheOutputWindowThenTheMainWindow) {
    ASSERT_NO_FATAL_FAILURE(start());
    e2e::clickControl(Windows.Dialog, IDC_QUIT_BUTTON);
    e2e::MessageBoxInfo box = messageBox();
    EXPECT_NE(box.caption.find("Tallywave"), std::string::npos) << box.caption;
    EXPECT_NE(box.text.find(e2e::QuitQuestion), std::string::npos) << box.text;
    EXPECT_EQ(box.buttonIds, (std::vector<int>{IDYES, IDNO}));
    answer(box, IDNO);
    checkWithNothingSelected();
    EXPECT_TRUE(IsWindowVisible(Windows.Main));
    EXPECT_TRUE(IsWindowVisible(Windows.Output));
    EXPECT_EQ(text(), e2e::StartLine);

    e2e::clickControl(Windows.Dialog, IDC_QUIT_BUTTON);
    box = messageBox();
    EXPECT_NE(box.text.find(e2e::QuitQuestion), std::string::npos) << box.text;
    e2e::answerBox(box.hwnd, IDYES);
    // Polled every millisecond, as the two go within some milliseconds.
    DWORD outputGone = 0, mainGone = 0;
    const DWORD begin = GetTickCount();
    while ((!outputGone || !mainGone) && GetTickCount() - begin < Patience) {
        const DWORD now = GetTickCount() - begin + 1;
        if (!outputGone && !IsWindow(Windows.Output)) outputGone = now;
        if (!mainGone && !IsWindow(Windows.Main)) mainGone = now;
        Sleep(1);
    }
    ASSERT_NE(outputGone, 0u) << "the output window stays";
    ASSERT_NE(mainGone, 0u) << "the main window stays";
    EXPECT_LE(outputGone, mainGone) << "the main window went first";
    expectExitCode(0);
}

// The main window's close box asks the same question; Yes ends the program
// with 0 and both windows go.
TEST_F(GraphicModeTest, TheCloseBoxAsksAndYesEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(closeAnswering(Windows.Main, IDYES));
    EXPECT_TRUE(e2e::waitUntil([&] { return !IsWindow(Windows.Main) && !IsWindow(Windows.Output); },
                               Patience));
    expectExitCode(0);
}

}  // namespace
