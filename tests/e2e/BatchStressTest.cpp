// The real tallywave.exe under load: a silent run over about as many files as
// an invocation line can name, and one over thousands of files named by
// wildcards; Count after Count over 1,500 files chosen in the file dialog,
// until the output window holds far more text than the program first makes
// room for; and a quit asked for while a long Count runs, which waits for the
// Count to end. The files are wavegen's data, many
// cut to other lengths and rates and some spoilt on purpose; the text each
// run must show comes from the plain reference pass
// (tests/common/ReferencePass.h) run here over the same files, and is
// compared whole, line for line.
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

#include "gui/FileSysAccessC.h"
#include "startup/InvokeParseC.h"
#include "startup/RunModeC.h"
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
const char QuitQuestion[] = "QUIT Tallywave?    Are you sure?";

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
        E2eTest::TearDown();
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
        EXPECT_NE(box.text.find(QuitQuestion), std::string::npos) << box.text;
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
            << "the main and the output window did not both come";
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
    // Clicks Count and waits until the text is wanted: false (with a
    // failure naming the first difference) when it does not become so.
    bool count(const std::string& wanted) {
        e2e::clickControl(Windows.Dialog, e2e::CountButton);
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
        const std::size_t passes = (target - std::strlen(e2e::StartLine)) / block.size() + 1;
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
    ASSERT_TRUE(e2e::closeAnswering(Program.pid(), Windows.Main, IDYES, Patience));
    expectExitCode(0);
}

// ---------------------------------------------------------------- quitting

// A long Count: a few large files of wavegen's, selected again and again
// (a user may type a name more than once); the names, each ended by a NUL,
// stay within the file dialog's room. The Count reads every one of them.
class BatchStressQuitTest : public BatchStressTest {
  protected:
    static const int Files = 3;
    static const int SamplesPerFile = 150000;
    static const std::size_t Names = 400;

    void SetUp() override {
        Folder = freshFolder("stress-quit");
        std::vector<std::string> paths;
        for (int i = 1; i <= Files; ++i) {
            const std::string name = "q" + std::to_string(i) + ".txt";
            WaveFile unused;
            ASSERT_EQ(generate("--rate " + std::to_string(8000 * i) + " --seed " +
                                   std::to_string(10 + i) + " " + std::to_string(SamplesPerFile),
                               Folder + "\\" + name, &unused),
                      "");
            paths.push_back(Folder + "\\" + name);
        }
        const testcheck::PassOutcome reference = referenceLines(paths);
        ASSERT_EQ(reference.Good.size(), std::size_t(Files)) << reference.Text;
        std::vector<std::string> lines;
        for (std::size_t at = 0, end; (end = reference.Text.find("\r\n", at)) != std::string::npos;
             at = end + 2)
            lines.push_back(reference.Text.substr(at, end + 2 - at));
        ASSERT_EQ(lines.size(), std::size_t(Files));

        std::size_t room = FileSysAccessC::NamesStrSize - (Folder.size() + 1) - 1;
        for (std::size_t i = 0; i < Names; ++i) {
            Selected.push_back("q" + std::to_string(i % Files + 1) + ".txt");
            Block += lines[i % Files];
            ASSERT_LE(Selected.back().size() + 1, room) << "the names do not fit the selection";
            room -= Selected.back().size() + 1;
        }
        Block += testcheck::countSummary(ExeName, Names, Names, "");
        ASSERT_NO_FATAL_FAILURE(startGraphic());
        ASSERT_NO_FATAL_FAILURE(select(Selected));
    }

    // Starts a Count that must end in expected and, while it runs, posts a
    // close to the main window and sends the output window a close and the
    // close command. The output window stays and its text goes on growing;
    // the main window stays and no question comes while the Count runs.
    // The quit question comes once the Count is over: in *question.
    void closeDuringCount(const std::string& expected, e2e::MessageBoxInfo* question) {
        const long before = textLength(Edit);
        const DWORD start = GetTickCount();
        e2e::clickControl(Windows.Dialog, e2e::CountButton);
        ASSERT_TRUE(e2e::waitUntil([&] { return textLength(Edit) > before; }, Patience))
            << "the Count shows nothing";
        PostMessageA(Windows.Main, WM_CLOSE, 0, 0);
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutA(Windows.Output, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, Patience,
                                        &ignored))
            << "the output window does not answer WM_CLOSE";
        ASSERT_TRUE(SendMessageTimeoutA(Windows.Output, WM_SYSCOMMAND, SC_CLOSE, 0,
                                        SMTO_ABORTIFHUNG, Patience, &ignored))
            << "the output window does not answer SC_CLOSE";
        ASSERT_TRUE(IsWindow(Windows.Output) && IsWindowVisible(Windows.Output))
            << "the output window went during the Count";
        // No box before the text was read, and the Count not over when it
        // was read: no box came while the Count ran.
        const bool boxless = noBoxes();
        const std::string during = withoutDots(e2e::windowText(Edit));
        ASSERT_EQ(during.find(SummaryEnd, before), std::string::npos)
            << "the Count was over before the closes were tried: it is too short for this test";
        EXPECT_TRUE(boxless) << "a box came up during the Count:" << boxesShown();
        const double tried = secondsSince(start);
        const long seen = textLength(Edit);
        ASSERT_TRUE(e2e::waitUntil([&] { return textLength(Edit) > seen; }, Patience))
            << "the text stopped growing after the closes were tried";
        EXPECT_TRUE(IsWindow(Windows.Main) && IsWindowVisible(Windows.Main));

        const TextWatch watch = watchText(Edit, expected, RunPatience);
        ASSERT_TRUE(watch.Reached) << watch.failure(expected, RunPatience) << boxesShown();
        ASSERT_TRUE(e2e::waitForMessageBox(Program.pid(), nullptr, Patience, question))
            << "no quit question after the Count";
        EXPECT_NE(question->text.find(QuitQuestion), std::string::npos) << question->text;
        // Read again just before the question is answered.
        const std::string shown = withoutDots(e2e::windowText(Edit));
        EXPECT_TRUE(shown == expected) << firstDifference(shown, expected);
        EXPECT_TRUE(IsWindow(Windows.Output) && IsWindowVisible(Windows.Output));
        std::printf(
            "closes tried %.1f s after Count was clicked, the quit question came after %.1f s\n",
            tried, secondsSince(start));
    }

    std::vector<std::string> Selected;
    std::string Block;  // what one Count over Selected writes
};

// While the main thread counts, a close of the main window waits in its
// queue and the output window refuses to close; the quit question comes
// once the Count is over, and Yes ends the program with 0.
TEST_F(BatchStressQuitTest, AQuitAskedDuringACountComesAfterItAndYesEndsTheProgram) {
    e2e::MessageBoxInfo box;
    ASSERT_NO_FATAL_FAILURE(closeDuringCount(e2e::StartLine + Block, &box));
    e2e::answerBox(box.hwnd, IDYES);
    EXPECT_TRUE(e2e::waitUntil([&] { return !IsWindow(Windows.Main) && !IsWindow(Windows.Output); },
                               Patience))
        << "the windows stay";
    expectExitCode(0);
}

// No to the quit question that waited for a Count keeps the program: both
// windows stay and a later Count over the same selection runs whole.
TEST_F(BatchStressQuitTest, NoToAQuitAskedDuringACountKeepsTheProgramCounting) {
    e2e::MessageBoxInfo box;
    ASSERT_NO_FATAL_FAILURE(closeDuringCount(e2e::StartLine + Block, &box));
    e2e::answerBox(box.hwnd, IDNO);
    EXPECT_TRUE(e2e::waitUntil([&] { return !IsWindow(box.hwnd); }, Patience)) << "the box stays";
    EXPECT_TRUE(IsWindowVisible(Windows.Main) && IsWindowVisible(Windows.Output));
    EXPECT_TRUE(count(e2e::StartLine + Block + Block)) << "the later Count";
    EXPECT_TRUE(noBoxes()) << boxesShown();
    ASSERT_TRUE(e2e::closeAnswering(Program.pid(), Windows.Main, IDYES, Patience));
    expectExitCode(0);
}

}  // namespace
