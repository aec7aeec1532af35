// The real tallywave.exe under load: a silent run over about as many files as
// an invocation line can name, and one over thousands of files named by
// wildcards; Count after Count over 1,500 files chosen in the file dialog,
// until the output window holds far more text than the program first makes
// room for; and long passes over one large file under many names, during
// which the windows stay alive, a quit is asked at once and no click on
// Check, Count or Select starts anything, not even one that waits for the
// program as the pass ends. The files are wavegen's data, many cut to other
// lengths and rates and some spoilt on purpose; the text each run must show
// comes from the plain reference pass (tests/common/ReferencePass.h) run here
// over the same files, and is compared whole, line for line.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/RunModeC.h"
#include "gui/FileSysAccessC.h"
#include "startup/InvokeParseC.h"
#include "tests/common/CountSummary.h"
#include "tests/common/Files.h"
#include "tests/common/ProgressDots.h"
#include "tests/common/ReferencePass.h"
#include "tests/common/TextDiff.h"
#include "tests/common/WaveText.h"
#include "tests/e2e/ProgramTest.h"
#include "textui/TextWinC.h"
#include "windriver/GraphicWindows.h"

namespace {

using testcheck::firstDifference;
using testcheck::SummaryEnd;
using testcheck::withoutDots;
using wavetext::WaveFile;

const DWORD RunPatience = 90000;  // for a whole silent run or one Count
const char Params[] = "-s 50 10";
const double Height = 50.0, Width = 10.0;
const char ExeName[] = "tallywave";  // what the Count's summary is headed with

// ---------------------------------------------------------------- files

void removeFolder(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// An empty folder of that name beside the test program.
std::string freshFolder(const std::string& name) {
    const std::string folder = e2e::exeDir() + "\\" + name;
    removeFolder(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// Runs the Win32 build of wavegen (bench/wavegen.cpp), built beside this
// program: empty, or what went wrong.
std::string wavegen(const std::string& args) {
    e2e::LaunchedProcess generator;
    if (!generator.launch(e2e::exeDir() + "\\wavegen.exe", args))
        return "cannot start wavegen.exe (error " + std::to_string(GetLastError()) + ")";
    int32_t code = -1;
    if (!generator.waitExit(RunPatience, &code)) return "wavegen " + args + " did not end";
    return code == 0 ? "" : "wavegen " + args + " ended with " + std::to_string(code);
}

// Runs wavegen with these arguments into path and reads the file back into
// *base: empty, or what went wrong.
std::string generate(const std::string& args, const std::string& path, WaveFile* base) {
    const std::string failed = wavegen(args + " \"" + path + "\"");
    if (!failed.empty()) return failed;
    *base = wavetext::parse(testfiles::readFile(path));
    return base->Header.size() == 5 ? "" : "wavegen wrote no header into " + path;
}

// Files made from wavegen's data: each good one takes 1,000 to 2,500
// consecutive data of a base file at one of five rates, with LF or CR LF
// line ends and sometimes an empty line after the data; a faulty one is a
// good one spoilt in one of twenty ways (a few of which the rules still
// accept). The same calls give the same files.
class WaveMaker {
  public:
    explicit WaveMaker(std::vector<WaveFile> bases) : Bases(std::move(bases)) {}

    WaveFile good() {
        const unsigned n = Made++;
        const WaveFile& base = Bases[n % Bases.size()];
        const std::size_t samples = 1000 + (n * 389u) % 1501;
        const std::size_t from = (n * 97u) % (base.Data.size() - samples + 1);
        static const unsigned Rates[] = {8000, 11025, 22050, 44100, 6000};
        WaveFile file;
        file.Header = wavetext::headerLines(std::to_string(samples), std::to_string(Rates[n % 5]));
        file.Data.assign(base.Data.begin() + from, base.Data.begin() + from + samples);
        file.Eol = n % 4 == 1 ? "\r\n" : "\n";
        if (n % 6 == 0) file.After = file.Eol;
        return file;
    }

    WaveFile faulty() {
        WaveFile file = good();
        const unsigned fault = Spoilt++;
        const std::size_t samples = file.Data.size();
        const std::size_t at = (fault * 131u) % samples;
        const std::string count = std::to_string(samples);
        switch (fault % 20) {
            case 0:
                file.Header[2] = "CHANNELS:\t2";
                break;
            case 1:
                file.Header[0] = "SAMPLES:\t999";
                break;
            case 2:
                file.Header[0] = "SAMPLES:\t26000001";
                break;
            case 3:
                file.Header[1] = "BITSPERSAMPLE:\t7";
                break;
            case 4:
                file.Header[3] = "SAMPLERATE:\t5999";
                break;
            case 5:
                file.Header[4] = "NORMALIZED:\tFALSE";
                break;
            case 6:
                file.Header[0] = "SAMPLES: " + count;  // a blank, not a TAB
                break;
            case 7:  // the header cut short
                file.Header.resize(2);
                file.Data.clear();
                break;
            case 8:  // an empty file
                file.Header.clear();
                file.Data.clear();
                file.After.clear();
                break;
            case 9:
                file.Data[at] = "abc";
                break;
            case 10:
                file.Data[at] = "1.0001";
                break;
            case 11:
                file.Data[at] = "-1.5";
                break;
            case 12:
                file.Data.resize(samples - 7);
                break;
            case 13:
                file.Data.insert(file.Data.end(), {"0.1", "-0.2", "0.3"});
                break;
            case 14:
                file.After = file.Eol + file.Eol + "xyz" + file.Eol;
                break;
            case 15:
                file.Header[2] = "CHANNELS:\t65537";  // 1 in 16 bits
                break;
            case 16:
                file.Header[1] = "BITSPERSAMPLE:\t-1";  // 65535 in 16 bits
                break;
            case 17:
                file.Header[0] = "SAMPLES:\t-1";  // 4294967295
                break;
            case 18:
                file.Data[at] = "1e400";  // beyond the doubles
                break;
            default:
                file.Data[at] = "+0.25";
                file.Data[samples - 1] = "5e-1";
                break;
        }
        return file;
    }

  private:
    std::vector<WaveFile> Bases;
    unsigned Made = 0;
    unsigned Spoilt = 0;
};

// Eight base files of 3,000 samples from wavegen, two of them with CR LF.
std::string makeBases(const std::string& folder, std::vector<WaveFile>* bases) {
    for (int seed = 1; seed <= 8; ++seed) {
        const std::string args = std::string(seed <= 2 ? "--crlf " : "") + "--rate 8000 --seed " +
                                 std::to_string(seed) + " 3000";
        WaveFile base;
        const std::string failed =
            generate(args, folder + "\\base" + std::to_string(seed) + ".wave", &base);
        if (!failed.empty()) return failed;
        bases->push_back(base);
    }
    return "";
}

// One name of a batch and the file, if any, written under it.
struct Named {
    enum Kind { GoodFile, FaultyFile, BadName, Missing, Vanishing };
    std::string Name;
    Kind What;
    std::string Bytes;
};

// A name the program refuses without opening the file: a wrong or
// wrongly cased extension, or a character no name may hold.
std::string badName(unsigned n, bool forCommandLine) {
    static const char* const Command[] = {"b%03u.dat",  "b%03u.TXT",  "b%03u.txtx",
                                          "b'%03u.txt", "b|%03u.txt", "b<%03u.txt",
                                          "b>%03u.txt", "b`%03u.asc", "b%03u.as"};
    // The file dialog takes only names that exist on disk and that the
    // system allows: no | < > there, but a blank.
    static const char* const Dialog[] = {"b%03u.dat",  "b%03u.TXT",  "b%03u.txtx",
                                         "b %03u.txt", "b'%03u.txt", "b`%03u.asc"};
    const std::size_t kinds = forCommandLine ? std::size(Command) : std::size(Dialog);
    const char* format = (forCommandLine ? Command : Dialog)[n % kinds];
    char name[32];
    std::snprintf(name, sizeof name, format, n);
    return name;
}

std::string numbered(char kind, unsigned n, const char* extension) {
    char name[32];
    std::snprintf(name, sizeof name, "%c%03u%s", kind, n, extension);
    return name;
}

const unsigned VanishingFiles = 2;  // files deleted between Select and Count

// Names for a room of `room` characters, each name counted with one
// character after it (a blank on the invocation line, a NUL in the file
// dialog's list), in the order of pattern, repeated: g a good file, f a
// faulty one, b a name the program refuses (for the file dialog, of a file
// that exists), m a missing file, v a file to be deleted once selected (the
// first VanishingFiles v; later ones are good files). The last name, a good
// file's, is as long as it must be for the names to fill the room exactly,
// unless the batch is to hold at most `most` names: then the last one is
// last.txt once there are that many.
std::vector<Named> planBatch(std::size_t room, std::size_t most, const std::string& pattern,
                             bool forCommandLine, WaveMaker& maker) {
    std::vector<Named> batch;
    std::map<char, unsigned> made;
    std::size_t used = 0;
    const std::size_t LastRoom = 40;  // at least this much is left for the last name
    for (std::size_t i = 0;; ++i) {
        if (batch.size() + 1 == most) {
            batch.push_back({"last.txt", Named::GoodFile, maker.good().bytes()});
            return batch;
        }
        char kind = pattern[i % pattern.size()];
        if (kind == 'v' && made['v'] == VanishingFiles) kind = 'g';
        const unsigned n = made[kind]++;
        Named next;
        switch (kind) {
            case 'g':
                next = {numbered('g', n, n % 3 == 2 ? ".asc" : ".txt"), Named::GoodFile,
                        maker.good().bytes()};
                break;
            case 'f':
                next = {numbered('f', n, ".txt"), Named::FaultyFile, maker.faulty().bytes()};
                break;
            case 'b':
                next = {badName(n, forCommandLine), Named::BadName,
                        forCommandLine ? "" : maker.good().bytes()};
                break;
            case 'm':
                next = {numbered('m', n, n % 2 ? ".asc" : ".txt"), Named::Missing, ""};
                break;
            default:
                next = {numbered('v', n, ".txt"), Named::Vanishing, maker.good().bytes()};
                break;
        }
        if (used + next.Name.size() + 1 + LastRoom > room) break;
        used += next.Name.size() + 1;
        batch.push_back(next);
    }
    const std::size_t last = room - used - 1;
    batch.push_back(
        {"last" + std::string(last - 8, 'x') + ".txt", Named::GoodFile, maker.good().bytes()});
    return batch;
}

std::string writeBatch(const std::string& folder, const std::vector<Named>& batch) {
    for (const Named& named : batch) {
        if (named.What == Named::Missing || (named.What == Named::BadName && named.Bytes.empty()))
            continue;
        if (!testfiles::writeFile(folder + "\\" + named.Name, named.Bytes))
            return "cannot write " + folder + "\\" + named.Name;
    }
    return "";
}

// The names of a batch the program opens, and those it refuses, each
// followed by a blank; prefix is put before each.
void splitBatch(const std::vector<Named>& batch, const std::string& prefix,
                std::vector<std::string>* opened, std::string* refused) {
    for (const Named& named : batch) {
        if (named.What == Named::BadName)
            *refused += prefix + named.Name + " ";
        else
            opened->push_back(prefix + named.Name);
    }
}

// ---------------------------------------------------------------- texts

std::string joined(const std::vector<std::string>& names) {
    std::string all;
    for (const std::string& name : names) all += name + " ";
    return all;
}

// The lines of the checks and counts over files (names as the program will
// open them, relative to the current folder) in order, and the files that
// failed, by the reference pass.
testcheck::PassOutcome referenceLines(const std::vector<std::string>& files) {
    return testcheck::ReferencePassC<>(Height, Width, ModeSilent, false, ExeName).run(files);
}

// A window's answer to message; -1 when it does not answer within a second.
long ask(HWND window, UINT message, WPARAM wParam = 0) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, message, wParam, 0, SMTO_ABORTIFHUNG, 1000, &answer))
        return -1;
    return static_cast<long>(answer);
}

long textLength(HWND edit) {
    return ask(edit, WM_GETTEXTLENGTH);
}

// Seconds since start, for the progress the tests print (never checked).
double secondsSince(DWORD start) {
    return (GetTickCount() - start) / 1000.0;
}

const DWORD StallMs = 20000;  // a run that shows nothing new for this long is over or stuck

// Whether an edit's text came to be what was wanted, progress dots aside,
// or why not: it stayed unchanged for StallMs (whatever wrote it is done,
// or stuck) or timeoutMs passed. Each change of its length is kept with the
// seconds since the watch began, to be printed.
struct TextWatch {
    bool Reached = false;
    bool Stalled = false;
    std::string Shown;  // the text last read
    std::vector<std::pair<double, long>> Steps;

    // Why the wanted text was not reached, and where it differs.
    std::string failure(const std::string& wanted, DWORD timeoutMs) const {
        return (Stalled ? "the text stopped changing for " + std::to_string(StallMs / 1000) + " s"
                        : "the text was not complete within " + std::to_string(timeoutMs / 1000) +
                              " s") +
               "; " + firstDifference(withoutDots(Shown), wanted);
    }
};

// Watches the text's length, and reads the whole text only once it is long
// enough.
TextWatch watchText(HWND edit, const std::string& wanted, DWORD timeoutMs) {
    TextWatch watch;
    const DWORD start = GetTickCount();
    DWORD changed = start;
    e2e::waitUntil(
        [&] {
            const long length = textLength(edit);
            if (watch.Steps.empty() || watch.Steps.back().second != length) {
                watch.Steps.emplace_back(secondsSince(start), length);
                changed = GetTickCount();
            } else if (GetTickCount() - changed > StallMs) {
                watch.Stalled = true;
            }
            if (length >= static_cast<long>(wanted.size())) {
                watch.Shown = e2e::windowText(edit);
                watch.Reached = withoutDots(watch.Shown) == wanted;
            }
            return watch.Reached || watch.Stalled;
        },
        timeoutMs);
    if (!watch.Reached && watch.Shown.empty()) watch.Shown = e2e::windowText(edit);
    return watch;
}

class BatchStressTest : public e2e::ProgramTest {
  protected:
    void TearDown() override {
        ProgramTest::TearDown();
        if (!HasFailure() && !Folder.empty()) removeFolder(Folder);
    }

    // Writes into a fresh folder of that name the files of a batch of names
    // that fill room (less the folder's path and a blank when inFolder), or
    // of `most` names, in the order of pattern; see planBatch.
    void writeFreshBatch(const std::string& name, std::size_t room, bool inFolder,
                         const std::string& pattern, bool forCommandLine,
                         std::size_t most = std::size_t(-1)) {
        Folder = freshFolder(name);
        std::vector<WaveFile> bases;
        ASSERT_EQ(makeBases(Folder, &bases), "");
        for (int seed = 1; seed <= 8; ++seed)
            DeleteFileA((Folder + "\\base" + std::to_string(seed) + ".wave").c_str());
        WaveMaker maker(bases);
        if (inFolder) room -= Folder.size() + 1;
        Batch = planBatch(room, most, pattern, forCommandLine, maker);
        ASSERT_EQ(writeBatch(Folder, Batch), "");
    }

    // The reference's lines for names opened where the program opens them:
    // in Folder.
    testcheck::PassOutcome referenceInFolder(const std::vector<std::string>& names) {
        char here[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof here, here);
        EXPECT_TRUE(SetCurrentDirectoryA(Folder.c_str()));
        const testcheck::PassOutcome reference = referenceLines(names);
        SetCurrentDirectoryA(here);
        return reference;
    }

    // Runs tallywave.exe with args in Folder: the output window comes to show
    // expected (progress dots aside) and nothing more; no box comes before
    // the quit question, and Yes to it ends the program with exit code 0.
    void silentRunShows(const std::string& args, const std::string& expected) {
        const DWORD start = GetTickCount();
        ASSERT_TRUE(startProgram(args, Folder));
        HWND frame = e2e::waitForOutputWindow(Program.pid(), Patience);
        ASSERT_NE(frame, nullptr) << "no output window" << boxesShown();
        Edit = e2e::outputEdit(frame);
        ASSERT_NE(Edit, nullptr) << "no edit control in the output window";

        // The window's progress, as it shows it a few times a second, is
        // printed only: speed is the batch benchmark's business.
        const TextWatch watch = watchText(Edit, expected, RunPatience);
        for (const auto& step : watch.Steps)
            std::printf("  %6.2f s: %ld characters\n", step.first, step.second);
        ASSERT_TRUE(watch.Reached) << watch.failure(expected, RunPatience) << boxesShown();
        expectTextStaysAsItIs();  // once the last line is there
        std::size_t dots = 0;
        const std::string shown = withoutDots(e2e::windowText(Edit), &dots);
        EXPECT_TRUE(shown == expected) << firstDifference(shown, expected);
        std::printf("the window shows %zu characters (%zu progress dots) after %.1f s\n",
                    shown.size() + dots, dots, secondsSince(start));
        EXPECT_TRUE(noBoxes()) << boxesShown();

        PostMessageA(frame, WM_CLOSE, 0, 0);
        const e2e::MessageBoxInfo box = messageBox(Patience);
        EXPECT_NE(box.text.find(e2e::QuitQuestion), std::string::npos) << box.text;
        e2e::answerBox(box.hwnd, IDYES);
        expectExitCode(0);
    }

    // Nothing more comes to the output window within a second.
    void expectTextStaysAsItIs() {
        const long final = textLength(Edit);
        EXPECT_FALSE(e2e::waitUntil([&] { return textLength(Edit) != final; }, 1000))
            << "the text still grows";
    }

    // Graphic mode in Folder: both windows, the output window's first line.
    void startGraphic() {
        ASSERT_TRUE(startProgram("", Folder));
        ASSERT_TRUE(e2e::waitForGraphicWindows(Program.pid(), Patience, &Windows))
            << "the main and the output window did not both come" << windowsShown();
        Edit = e2e::outputEdit(Windows.Output);
        ASSERT_NE(Edit, nullptr) << "no edit control in the output window";
        const TextWatch watch = watchText(Edit, e2e::StartLine, Patience);
        ASSERT_TRUE(watch.Reached) << watch.failure(e2e::StartLine, Patience);
    }

    // Selects names in Folder through the file dialog: each in double
    // quotes, a blank between, pasted into its file-name field but for the
    // last, which is typed after them.
    void select(const std::vector<std::string>& names) {
        std::string pasted;
        for (std::size_t i = 0; i + 1 < names.size(); ++i) pasted += "\"" + names[i] + "\" ";
        const std::string typed = "\"" + names.back() + "\"";
        const DWORD start = GetTickCount();
        HWND files = e2e::openFileDialog(Program.pid(), Windows.Dialog, Patience);
        ASSERT_NE(files, nullptr) << "no file dialog";
        ASSERT_EQ(e2e::enterFileNames(files, Folder, pasted, typed, RunPatience), "");
        std::printf("selected %zu names (%zu characters) in %.1f s\n", names.size(),
                    pasted.size() + typed.size(), secondsSince(start));
        EXPECT_TRUE(noBoxes()) << boxesShown();
    }

    // The one message box of the program, waited for.
    e2e::MessageBoxInfo messageBox(DWORD timeoutMs) {
        e2e::MessageBoxInfo box;
        EXPECT_TRUE(e2e::waitForMessageBox(Program.pid(), nullptr, timeoutMs, &box)) << "no box";
        return box;
    }
    // Once the pass before is over, clicks Count and waits until the text is
    // wanted: false (with a failure naming the first difference) when it
    // does not become so.
    bool count(const std::string& wanted) {
        EXPECT_TRUE(e2e::waitForPassOver(Windows.Dialog, RunPatience)) << "the pass goes on";
        e2e::clickControl(Windows.Dialog, IDC_COUNT_BUTTON);
        const TextWatch watch = watchText(Edit, wanted, RunPatience);
        if (watch.Reached) return true;
        ADD_FAILURE() << watch.failure(wanted, RunPatience) << boxesShown();
        return false;
    }

    std::string Folder;
    std::vector<Named> Batch;
    e2e::GraphicWindows Windows;
};

// ---------------------------------------------------------------- silent

// The longest invocation line of the silent stress run: about as long as
// Windows passes to a program (32,767 characters).
const std::size_t LineLength = 30000;

// A silent run over an invocation line of LineLength characters: the program
// path, the switch, h and w and the names, each followed by a blank. The
// names mix good files, faulty ones, names the program refuses and files
// that are not there. The window ends up with the refused names, an empty
// line, then a line for each other name in order, every one complete; the
// run ends with the quit question and exit code 0.
TEST_F(BatchStressTest, SilentRunOverALongInvocationLineShowsEveryFileInOrder) {
    const std::string program = programPath();
    const std::size_t fixed = program.size() + 1 + std::strlen(Params) + 1;
    ASSERT_NO_FATAL_FAILURE(
        writeFreshBatch("stress-silent", LineLength - fixed, false, "gggfggbgggmggfggbgfg", true));
    std::string args = Params, refused;
    std::vector<std::string> opened;
    for (const Named& named : Batch) args += " " + named.Name;
    splitBatch(Batch, "", &opened, &refused);
    ASSERT_EQ(program.size() + 1 + args.size() + 1, LineLength);

    const testcheck::PassOutcome reference = referenceInFolder(opened);
    std::printf("%zu names: %zu good, %zu failing the checks, %zu refused by name\n", Batch.size(),
                reference.Good.size(), reference.Bad.size(), Batch.size() - opened.size());
    silentRunShows(args, "Invalid fname: [" + refused + "]\r\n" + "\r\n" + reference.Text);
}

// A silent run over far more files than any invocation line could name, by
// wildcards: every file that *.txt matches, in name order, then every one
// that *.asc matches; files of other names are left alone.
TEST_F(BatchStressTest, SilentRunOverWildcardsCountsEveryMatchInNameOrder) {
    ASSERT_NO_FATAL_FAILURE(writeFreshBatch("stress-wildcard", 40000, false, "gggfggg", true));
    std::vector<std::string> txt, asc;
    for (const Named& named : Batch)
        (named.Name.substr(named.Name.size() - 4) == ".txt" ? txt : asc).push_back(named.Name);
    std::sort(txt.begin(), txt.end());
    std::sort(asc.begin(), asc.end());
    ASSERT_TRUE(testfiles::writeFile(Folder + "\\notes.doc", "not a wave file"));
    std::vector<std::string> matches = txt;
    matches.insert(matches.end(), asc.begin(), asc.end());
    const testcheck::PassOutcome reference = referenceInFolder(matches);
    std::printf("%zu files match: %zu good, %zu failing the checks\n", matches.size(),
                reference.Good.size(), reference.Bad.size());
    silentRunShows(std::string(Params) + " *.txt *.asc", "\r\n" + reference.Text);
}

// ---------------------------------------------------------------- graphic

// The number of names pasted into the file dialog.
const std::size_t SelectedNames = 1500;

// A selection of SelectedNames names, some 15,000 characters of them. The
// names mix good and faulty files, files
// whose names the program refuses and two that are deleted between Select
// and Count.
class BatchStressSelectTest : public BatchStressTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(writeFreshBatch("stress-select", FileSysAccessC::NamesStrSize - 1,
                                                true, "ggggfgggbggvgfggggfg", false,
                                                SelectedNames));
        std::vector<std::string> names;
        for (const Named& named : Batch) names.push_back(named.Name);
        ASSERT_NO_FATAL_FAILURE(startGraphic());
        StartLimit = ask(Edit, EM_GETLIMITTEXT);
        ASSERT_NO_FATAL_FAILURE(select(names));
        for (const Named& named : Batch)
            if (named.What == Named::Vanishing)
                Vanished += DeleteFileA((Folder + "\\" + named.Name).c_str()) ? 1 : 0;
        ASSERT_EQ(Vanished, VanishingFiles);
    }

    // What one Count over the selection writes: the refused names, an
    // empty line, the reference's lines for the other names, the summary.
    std::string countBlock() {
        std::vector<std::string> opened;
        std::string refused;
        splitBatch(Batch, Folder + "\\", &opened, &refused);
        const testcheck::PassOutcome reference = referenceLines(opened);
        std::printf("%zu names: %zu counted, %zu failing the checks (%zu deleted), %zu refused\n",
                    Batch.size(), reference.Good.size(), reference.Bad.size(), Vanished,
                    Batch.size() - opened.size());
        return "Invalid fname: [" + refused + "]\r\n\r\n" + reference.Text +
               testcheck::countSummary(ExeName, Batch.size(), reference.Good.size(),
                                       refused + joined(reference.Bad));
    }

    // Counts until the text holds more than target characters; after each
    // Count the whole text must be the first line and one block per Count.
    void countPast(std::size_t target, const std::string& block) {
        const std::size_t passes = (target - e2e::StartLine.size()) / block.size() + 1;
        std::printf("%zu characters per Count, %zu Counts\n", block.size(), passes);
        std::string expected = e2e::StartLine;
        for (std::size_t pass = 1; pass <= passes; ++pass) {
            const DWORD start = GetTickCount();
            expected += block;
            ASSERT_TRUE(count(expected)) << "Count " << pass;
            std::printf("Count %zu: done in %.1f s, %zu characters\n", pass, secondsSince(start),
                        expected.size());
        }
    }

    // The edit control's own text limit has been raised to hold the text.
    void expectLimitHoldsTheText() {
        const long limit = ask(Edit, EM_GETLIMITTEXT);
        const long length = textLength(Edit);
        EXPECT_GE(limit, length);
        std::printf(
            "the edit control's text limit: %ld at the start, %ld at the end, for a text of "
            "%ld characters\n",
            StartLimit, limit, length);
    }

    long StartLimit = 0;
    std::size_t Vanished = 0;
};

// Count is pressed until the output window holds over 300,000 characters,
// well past the room the program first makes: after each Count the whole
// text is the output window's first line and one block per Count, each the
// reference's lines for the selection, nothing lost at either end; nothing
// more comes after the last; the edit control's limit has been raised.
TEST_F(BatchStressSelectTest, CountsOverALargeSelectionKeepEveryLineWellPastTheTextsFirstRoom) {
    const std::size_t target = 300000;
    ASSERT_GT(target, std::size_t(TextWinC::TextStartRoom));
    ASSERT_NO_FATAL_FAILURE(countPast(target, countBlock()));
    expectTextStaysAsItIs();
    expectLimitHoldsTheText();
    ASSERT_TRUE(closeAnswering(Windows.Main, IDYES));
    expectExitCode(0);
}

// ---------------------------------------------------------------- long passes

// Whether window answers a message within AnswerMs, as the system asks a
// window it suspects of hanging.
const UINT AnswerMs = 500;
bool answersAtOnce(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, AnswerMs, &ignored) != 0;
}

// Whether an edit handles a message posted to it within AnswerMs: the
// selection it is posted is reported back.
bool handlesPostedAtOnce(HWND edit, int selectionEnd) {
    PostMessageA(edit, EM_SETSEL, 0, selectionEnd);
    return e2e::waitUntil([&] { return ask(edit, EM_GETSEL) == MAKELONG(0, selectionEnd); },
                          AnswerMs);
}

// Whether the thread of edit waits (for another thread, say): a selection
// posted to it is not handled within AnswerMs.
bool threadWaits(HWND edit) {
    return !handlesPostedAtOnce(edit, HIWORD(ask(edit, EM_GETSEL)) == 1 ? 2 : 1);
}

// The mouse at character index of an edit as real input, with buttons
// (MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, or 0 for a move) there. Real
// input keeps its order: a move or button posted beside the pointer's own
// moves could come after one of them and put the selection back.
void mouseAt(HWND edit, int index, DWORD buttons) {
    const long at = ask(edit, EM_POSFROMCHAR, index);
    const POINT point{static_cast<short>(LOWORD(at)) + 2, static_cast<short>(HIWORD(at)) + 2};
    EXPECT_TRUE(e2e::mouseAsInput(edit, point, buttons)) << "the mouse could not reach " << index;
}

// The clipboard's text; empty when it holds none.
std::string clipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* locked = static_cast<const char*>(GlobalLock(data))) {
            text = locked;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Passes that last several seconds: one large file of wavegen's under many
// names (hard links, cheap on disk). While a pass runs the windows answer,
// the buttons wait for it, a quit is asked at once, No lets the pass end as
// it would have and Yes ends the program within two seconds, writing nothing
// more.
class BatchStressLongPassTest : public BatchStressTest {
  protected:
    // About 13 s of Count in either Windows build on a 2-core machine (3.3 s
    // with 60 names in the 64-bit one), long enough for every probe.
    static constexpr int Links = 240;
    static constexpr unsigned SamplesPerFile = 12000000;
    static constexpr DWORD AtOnceMs = 2000;  // for the quit question, and for the end after Yes
    static constexpr DWORD RestMs = 1500;    // the mouse still before its button changes

    void SetUp() override {
        Folder = freshFolder("stress-long");
        const std::string first = Folder + "\\" + name(0);
        ASSERT_EQ(wavegen("--rate 8000 --seed 7 " + std::to_string(SamplesPerFile) + " \"" + first +
                          "\""),
                  "");
        for (int i = 1; i < Links; ++i)
            ASSERT_TRUE(CreateHardLinkA((Folder + "\\" + name(i)).c_str(), first.c_str(), nullptr))
                << "cannot link " << name(i) << " (error " << GetLastError() << ")";
        const std::string line = referenceLines({first}).Text;
        ASSERT_EQ(line.rfind(first + " : ", 0), 0u) << line;
        AfterName = line.substr(first.size());
    }

    static std::string name(int i) {
        char text[16];
        std::snprintf(text, sizeof text, "L%03d.txt", i);
        return text;
    }
    // The result lines of all names, each with prefix before it.
    std::string resultLines(const std::string& prefix) const {
        std::string lines;
        for (int i = 0; i < Links; ++i) lines += prefix + name(i) + AfterName;
        return lines;
    }
    // What one Count over all names writes.
    std::string countBlock() const {
        return resultLines(Folder + "\\") + testcheck::countSummary(ExeName, Links, Links, "");
    }
    void selectAll() {
        std::vector<std::string> names;
        for (int i = 0; i < Links; ++i) names.push_back(name(i));
        select(names);
    }
    // Waits until more text than length is shown; false (with a failure)
    // when none comes.
    bool growsPast(long length) {
        if (e2e::waitUntil([&] { return textLength(Edit) > length; }, Patience)) return true;
        ADD_FAILURE() << "the text stopped growing at " << length << " characters";
        return false;
    }
    // At `probes` points of the pass, each after more text came, window and
    // the output window answer at once, and edit, an edit control of the
    // pass's thread, handles a message posted to it.
    void expectAnswersDuringThePass(HWND window, HWND edit, int probes) {
        for (int probe = 1; probe <= probes; ++probe) {
            ASSERT_TRUE(growsPast(textLength(Edit)));
            const DWORD start = GetTickCount();
            EXPECT_TRUE(answersAtOnce(window)) << "probe " << probe;
            EXPECT_TRUE(answersAtOnce(Edit)) << "probe " << probe;
            EXPECT_TRUE(handlesPostedAtOnce(edit, probe)) << "probe " << probe;
            std::printf("probe %d: answered in %lu ms\n", probe,
                        static_cast<unsigned long>(GetTickCount() - start));
        }
    }
    // The held mouse moves on to character index of the output window's edit
    // until its selection is selection and stays so for RestMs, as a user's
    // mouse sends moves all the while. Wine moves the display's pointer after
    // each move, and the program's display connection reports that back as a
    // move of its own, as late as the program reads it: a late one from an
    // earlier place would put the selection back. False when it never holds.
    bool dragTo(int index, LRESULT selection) {
        const DWORD start = GetTickCount();
        const auto selected = [&] { return ask(Edit, EM_GETSEL) == selection; };
        do {
            mouseAt(Edit, index, 0);
            if (e2e::waitUntil(selected, 500) &&
                !e2e::waitUntil([&] { return !selected(); }, RestMs))
                return true;
        } while (GetTickCount() - start < Patience);
        return false;
    }
    // The button goes down at character index, the mouse having rested there
    // first, so that no report of an earlier place comes after the press.
    void pressAt(int index) {
        mouseAt(Edit, index, 0);
        Sleep(RestMs);
        mouseAt(Edit, index, MOUSEEVENTF_LEFTDOWN);
    }
    // The pass has not ended yet: its last text is not shown after from.
    void expectPassRuns(const std::string& last, std::size_t from = 0) {
        ASSERT_EQ(e2e::windowText(Edit).find(last, from), std::string::npos)
            << "the pass ended before the test was done with it: too short for this test";
    }
    // The quit question comes within AtOnceMs of a close asked of window.
    e2e::MessageBoxInfo closeAsks(HWND window, UINT message, WPARAM wParam = 0) {
        PostMessageA(window, message, wParam, 0);
        e2e::MessageBoxInfo box;
        EXPECT_TRUE(e2e::waitForMessageBox(Program.pid(), nullptr, AtOnceMs, &box))
            << "no quit question within " << AtOnceMs << " ms";
        EXPECT_NE(box.text.find(e2e::QuitQuestion), std::string::npos) << box.text;
        return box;
    }
    // No to the question: it goes and the pass ends as it would have.
    void noGoesOn(const e2e::MessageBoxInfo& box, const std::string& expected) {
        e2e::answerBox(box.hwnd, IDNO);
        const TextWatch watch = watchText(Edit, expected, RunPatience);
        ASSERT_TRUE(watch.Reached) << watch.failure(expected, RunPatience) << boxesShown();
    }
    // Yes to the question: the program ends with 0 within AtOnceMs, and the
    // output window shows no more than it did when the question came.
    void yesEndsAtOnce(const e2e::MessageBoxInfo& box) {
        const std::string asked = e2e::windowText(Edit);
        e2e::answerBox(box.hwnd, IDYES);
        const DWORD start = GetTickCount();
        std::string after;
        while (Program.running() && GetTickCount() - start < AtOnceMs) {
            const std::string now = e2e::windowText(Edit);  // empty once the window is gone
            if (!now.empty() && now != asked) after = now;
            Sleep(e2e::kPollIntervalMs);
        }
        EXPECT_TRUE(after.empty())
            << "text came after the question: " << firstDifference(after, asked);
        int32_t code = 12345;
        EXPECT_TRUE(Program.waitExit(0, &code)) << "the program runs on after Yes";
        EXPECT_EQ(code, 0);
    }

    std::string AfterName;  // a result line of the file after its name
};

// During a Count both windows answer at once; a selection dragged backwards
// with the mouse in the output window, in a view scrolled to the top and a
// little sideways, stays selected and in view while the lines come (the
// drag goes on from where it began), and copies as it reads; a Count
// clicked during the Count adds nothing.
TEST_F(BatchStressLongPassTest, ACountLeavesTheWindowsAliveAndTheUsersSelectionInPlace) {
    ASSERT_NO_FATAL_FAILURE(startGraphic());
    ASSERT_NO_FATAL_FAILURE(selectAll());
    const std::string block = countBlock();
    const DWORD start = GetTickCount();
    e2e::clickControl(Windows.Dialog, IDC_COUNT_BUTTON);
    ASSERT_TRUE(growsPast(textLength(Edit)));
    DWORD_PTR ignored = 0;  // Count again, clicked whole before the drag takes the mouse
    SendMessageTimeoutA(GetDlgItem(Windows.Dialog, IDC_COUNT_BUTTON), BM_CLICK, 0, 0, SMTO_NORMAL,
                        Patience, &ignored);
    // The caret to the start, so that the view no longer follows the end, then
    // the view to the top, and a little sideways.
    SendMessageTimeoutA(Edit, EM_SETSEL, 0, 0, SMTO_NORMAL, Patience, &ignored);
    SendMessageTimeoutA(Edit, EM_LINESCROLL, 5, -100000, SMTO_NORMAL, Patience, &ignored);
    const long firstCharAt = ask(Edit, EM_POSFROMCHAR);
    // The user drags backwards over "output messages" on the first line and
    // holds the button while lines come.
    pressAt(25);
    EXPECT_TRUE(dragTo(10, MAKELONG(10, 25)));
    ASSERT_NO_FATAL_FAILURE(
        expectAnswersDuringThePass(Windows.Main, GetDlgItem(Windows.Dialog, IDC_HEIGHT_FIELD), 4));
    ASSERT_NO_FATAL_FAILURE(expectPassRuns(SummaryEnd));
    const auto expectSelection = [&](long from, long to, const char* text, const char* when) {
        EXPECT_EQ(ask(Edit, EM_GETSEL), MAKELONG(from, to)) << when;
        EXPECT_EQ(ask(Edit, EM_GETFIRSTVISIBLELINE), 0) << when;
        EXPECT_EQ(ask(Edit, EM_POSFROMCHAR), firstCharAt) << when;
        ask(Edit, WM_COPY);
        EXPECT_EQ(clipboardText(), text) << when;
    };
    expectSelection(10, 25, "output messages", "during the Count");
    // The drag ends at "messages": the selection still runs from where it
    // began. The mouse rests there a moment (in dragTo), lines coming, before
    // the button comes up, as a user's does.
    EXPECT_TRUE(dragTo(17, MAKELONG(17, 25)));
    mouseAt(Edit, 17, MOUSEEVENTF_LEFTUP);
    expectSelection(17, 25, "messages", "at the end of the drag");
    const TextWatch watch = watchText(Edit, e2e::StartLine + block, RunPatience);
    ASSERT_TRUE(watch.Reached) << watch.failure(e2e::StartLine + block, RunPatience);
    std::printf("the Count took %.1f s\n", secondsSince(start));
    expectSelection(17, 25, "messages", "after the Count");
    expectTextStaysAsItIs();  // no second Count
    ASSERT_TRUE(closeAnswering(Windows.Main, IDYES));
    expectExitCode(0);
}

// The close box during a Count asks at once (the output window cannot be
// closed), No lets the Count end as it would have; Quit during the next
// Count asks at once, and Yes ends the program with 0 writing nothing more.
TEST_F(BatchStressLongPassTest, AQuitDuringACountIsAskedAtOnceNoGoesOnYesEnds) {
    ASSERT_NO_FATAL_FAILURE(startGraphic());
    ASSERT_NO_FATAL_FAILURE(selectAll());
    const std::string block = countBlock();
    e2e::clickControl(Windows.Dialog, IDC_COUNT_BUTTON);
    ASSERT_TRUE(growsPast(textLength(Edit)));
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(
        SendMessageTimeoutA(Windows.Output, WM_CLOSE, 0, 0, SMTO_NORMAL, AnswerMs, &ignored));
    const e2e::MessageBoxInfo closeBox = closeAsks(Windows.Main, WM_SYSCOMMAND, SC_CLOSE);
    ASSERT_NO_FATAL_FAILURE(expectPassRuns(SummaryEnd));
    EXPECT_TRUE(IsWindowVisible(Windows.Output));
    ASSERT_NO_FATAL_FAILURE(noGoesOn(closeBox, e2e::StartLine + block));
    ASSERT_TRUE(e2e::waitForPassOver(Windows.Dialog, Patience)) << "the Count goes on";

    e2e::clickControl(Windows.Dialog, IDC_COUNT_BUTTON);
    ASSERT_TRUE(growsPast(textLength(Edit)));
    const e2e::MessageBoxInfo quitBox =
        closeAsks(GetDlgItem(Windows.Dialog, IDC_QUIT_BUTTON), BM_CLICK);
    ASSERT_NO_FATAL_FAILURE(expectPassRuns(SummaryEnd, e2e::StartLine.size() + block.size()));
    yesEndsAtOnce(quitBox);
}

// The thread of window held still (suspended) while this object lives, as
// the system holds a thread it does not run for a while: whatever writes to
// window waits until it goes on.
class HeldThread {
  public:
    explicit HeldThread(HWND window)
        : Thread(
              OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr))) {
        if (Thread != nullptr && SuspendThread(Thread) == static_cast<DWORD>(-1)) {
            CloseHandle(Thread);
            Thread = nullptr;
        }
    }
    ~HeldThread() {
        if (Thread == nullptr) return;
        ResumeThread(Thread);
        CloseHandle(Thread);
    }
    HeldThread(const HeldThread&) = delete;
    HeldThread& operator=(const HeldThread&) = delete;
    bool held() const { return Thread != nullptr; }

  private:
    HANDLE Thread;
};

// Clicks on Check, Count and Select during a Count, as a user gives them.
class PassClicksTest : public BatchStressLongPassTest {
  protected:
    bool passRuns() const { return e2e::passRuns(Windows.Dialog); }
    HWND field() const { return GetDlgItem(Windows.Dialog, IDC_HEIGHT_FIELD); }
    HWND button(int id) const { return GetDlgItem(Windows.Dialog, id); }
    // The mouse, Space and Enter on the focused button (the buttons have no
    // mnemonic), a posted click.
    void clickEveryWay(int id) {
        EXPECT_TRUE(e2e::clickWithMouse(button(id))) << "the mouse does not reach button " << id;
        e2e::typeKeyAsInput(VK_SPACE);
        e2e::typeKeyAsInput(VK_RETURN);
        PostMessageA(button(id), BM_CLICK, 0, 0);
    }
    // Until the pass's last text (expected) is shown, the output window's
    // thread is held still again and again, and whenever the pass waits to
    // write to it, button id is clicked every way: the clicks wait for the
    // program while it writes its last lines. The number of such waits.
    int clickWhileThePassWrites(int id, const std::string& expected) {
        int waits = 0;
        const DWORD start = GetTickCount();
        while (withoutDots(e2e::windowText(Edit)).size() < expected.size() &&
               GetTickCount() - start < RunPatience) {
            const HeldThread held(Windows.Output);
            EXPECT_TRUE(held.held()) << "cannot hold the output window's thread";
            if (!held.held() || !passRuns() || !threadWaits(field())) continue;
            ++waits;
            clickEveryWay(id);
        }
        return waits;
    }
    // Alt+F4 asks at once, and No goes on; Help pops up its menu.
    void altF4AndHelpWork() {
        e2e::typeKeyAsInput(VK_F4, VK_MENU);
        const e2e::MessageBoxInfo box = messageBox(AtOnceMs);
        EXPECT_NE(box.text.find(e2e::QuitQuestion), std::string::npos) << box.text;
        e2e::answerBox(box.hwnd, IDNO);
        // The box keeps its thread's windows disabled until it is gone and
        // then enables them again: a click in between finds the main window
        // disabled, and the point on Help names the main window, not Help.
        ASSERT_TRUE(e2e::waitUntil(
            [&] { return !IsWindow(box.hwnd) && IsWindowEnabled(Windows.Main); }, AtOnceMs));
        ASSERT_TRUE(e2e::clickWithMouse(button(IDC_HELP_BUTTON)));
        EXPECT_NE(e2e::waitForWindow(Program.pid(), e2e::MenuClass, nullptr, AtOnceMs), nullptr)
            << "no help menu";
        e2e::typeKeyAsInput(VK_ESCAPE);
    }
    // The pass ends (it may still take the clicks that wait); no pass and no
    // file dialog comes after it, nor more text.
    void expectNothingAfter(int id) {
        ASSERT_TRUE(e2e::waitForPassOver(Windows.Dialog, Patience)) << "the pass goes on";
        EXPECT_FALSE(e2e::waitUntil(
            [&] {
                return passRuns() || e2e::waitForWindow(Program.pid(), e2e::SystemDialogClass,
                                                        names::FileDialogCaption, 0);
            },
            AtOnceMs))
            << "a pass or the file dialog came after the Count (button " << id << ")";
        expectTextStaysAsItIs();
    }
};

// Check, Count or Select clicked during a Count, in every way a user can:
// each does nothing, in the middle of the pass and at its end, where the
// program still writes its last lines and has not taken the clicks yet.
// Help and Alt+F4 still work during a Count.
TEST_F(PassClicksTest, ClicksDuringACountDoNothingNotEvenWhenItEnds) {
    ASSERT_NO_FATAL_FAILURE(startGraphic());
    ASSERT_NO_FATAL_FAILURE(selectAll());
    const std::string block = countBlock();
    const long lineLength = static_cast<long>(block.find('\n') + 1);
    std::string expected = e2e::StartLine;
    SetForegroundWindow(Windows.Main);
    for (const int id : {IDC_CHECK_BUTTON, IDC_COUNT_BUTTON, IDC_SELECT_BUTTON}) {
        ASSERT_TRUE(e2e::clickWithMouse(button(IDC_COUNT_BUTTON)));
        ASSERT_TRUE(growsPast(static_cast<long>(expected.size())));
        if (id == IDC_SELECT_BUTTON) {
            ASSERT_NO_FATAL_FAILURE(altF4AndHelpWork());
        }
        clickEveryWay(id);
        // Some 40 files before the end (about 2 s of Count): enough to look
        // at the window while the pass runs, on a loaded machine too.
        const long nearEnd = static_cast<long>(expected.size()) + (Links - 40) * lineLength;
        ASSERT_TRUE(e2e::waitUntil([&] { return textLength(Edit) >= nearEnd; }, RunPatience));
        ASSERT_NO_FATAL_FAILURE(expectPassRuns(SummaryEnd, expected.size()));
        expected += block;
        const int waits = clickWhileThePassWrites(id, expected);
        EXPECT_GT(waits, 0) << "button " << id;
        const TextWatch watch = watchText(Edit, expected, RunPatience);
        ASSERT_TRUE(watch.Reached) << watch.failure(expected, RunPatience);
        std::printf("button %d: clicked while the pass waited to write, %d times\n", id, waits);
        ASSERT_NO_FATAL_FAILURE(expectNothingAfter(id));
        ASSERT_FALSE(HasFailure()) << "button " << id;
    }
    ASSERT_TRUE(closeAnswering(Windows.Main, IDYES));
    expectExitCode(0);
}

// A silent run: its window answers at once, and its close box asks at once;
// No lets the run end as it would have. In a second run Yes ends the
// program with 0, writing nothing more.
TEST_F(BatchStressLongPassTest, ASilentRunStaysAliveAndItsCloseBoxAsksAtOnce) {
    const std::string expected = "\r\n" + resultLines("");
    for (const int answer : {IDNO, IDYES}) {
        ASSERT_TRUE(startProgram(std::string(Params) + " L*.txt", Folder));
        HWND frame = e2e::waitForOutputWindow(Program.pid(), Patience);
        ASSERT_NE(frame, nullptr) << "no output window" << boxesShown();
        Edit = e2e::outputEdit(frame);
        if (answer == IDNO) {
            ASSERT_NO_FATAL_FAILURE(expectAnswersDuringThePass(frame, Edit, 4));
        }
        ASSERT_TRUE(growsPast(2));
        const e2e::MessageBoxInfo box = closeAsks(frame, WM_SYSCOMMAND, SC_CLOSE);
        ASSERT_NO_FATAL_FAILURE(expectPassRuns(name(Links - 1)));
        if (answer == IDYES) {
            yesEndsAtOnce(box);
            break;
        }
        ASSERT_NO_FATAL_FAILURE(noGoesOn(box, expected));
        ASSERT_TRUE(closeAnswering(frame, IDYES));
        expectExitCode(0);
    }
}

}  // namespace
