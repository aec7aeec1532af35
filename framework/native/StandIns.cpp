// Native stand-ins for the platform seams (see StandIns.h).
#include "framework/native/StandIns.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

#include "framework/PlatformSeams.h"

namespace standin {
namespace {

std::mutex Guard;
std::vector<ShownBox> Shown;
BoxAnswerer Answerer;
bool EchoToStderr = false;

const unsigned StartScreenWidth = 1024, StartScreenHeight = 768;
const char* const StartUserName = "tester";
const unsigned long AnySize = ~0UL;
unsigned ScreenWidth = StartScreenWidth, ScreenHeight = StartScreenHeight;
std::string UserName = StartUserName;
unsigned long ObtainableBytes = AnySize;
FileFinder Finder;
bool FailingStep[4] = {};
std::string FailingReason[4];

int pressEnter(const ShownBox& box) {
    if ((box.flags & 0xF) != seam::BoxYesNo) return seam::AnswerOk;
    return (box.flags & seam::BoxDefButton2) ? seam::AnswerNo : seam::AnswerYes;
}

}  // namespace

void setBoxAnswerer(BoxAnswerer answerer) {
    std::lock_guard<std::mutex> lock(Guard);
    Answerer = std::move(answerer);
}

std::vector<ShownBox> shownBoxes() {
    std::lock_guard<std::mutex> lock(Guard);
    return Shown;
}

void clearShownBoxes() {
    std::lock_guard<std::mutex> lock(Guard);
    Shown.clear();
}

void echoBoxesToStderr(bool on) {
    std::lock_guard<std::mutex> lock(Guard);
    EchoToStderr = on;
}

void setScreenSize(unsigned width, unsigned height) {
    std::lock_guard<std::mutex> lock(Guard);
    ScreenWidth = width;
    ScreenHeight = height;
}

void setUserName(const std::string& name) {
    std::lock_guard<std::mutex> lock(Guard);
    UserName = name;
}

void setObtainableBytes(unsigned long bytes) {
    std::lock_guard<std::mutex> lock(Guard);
    ObtainableBytes = bytes;
}

void failFileStep(FileStep step, const std::string& reason) {
    std::lock_guard<std::mutex> lock(Guard);
    FailingStep[step] = true;
    FailingReason[step] = reason;
}

// Whether step is to fail now (once), with its reason in reason.
static bool stepFails(FileStep step, char* reason) {
    std::lock_guard<std::mutex> lock(Guard);
    if (!FailingStep[step]) return false;
    FailingStep[step] = false;
    std::snprintf(reason, seam::ReasonSize, "%s", FailingReason[step].c_str());
    return true;
}

void setFileFinder(FileFinder finder) {
    std::lock_guard<std::mutex> lock(Guard);
    Finder = std::move(finder);
}

// Lines as the control counts them: one more than its line ends.
static int linesIn(const std::string& text) {
    int lines = 1;
    for (char c : text) lines += c == '\n';
    return lines;
}

void EditControlC::showEnd() {
    SelStart = SelEnd = Shown.size();
    const int lines = linesIn(Shown);
    FirstLine = lines > ViewLines ? lines - ViewLines : 0;
}

bool EditControlC::followsEnd() const {
    return SelStart == Shown.size() && SelEnd == SelStart &&
           linesIn(Shown) <= FirstLine + ViewLines;
}

void EditControlC::replaceText(const char* text) {
    Shown = text;
    Modified = false;
    ++Replaces;
    showEnd();
}

void EditControlC::appendText(const char* text, std::size_t length) {
    const bool follows = followsEnd();
    Shown.append(text, length);
    Modified = false;
    ++Appends;
    if (follows) showEnd();
}

int EditControlC::lineCount() {
    return linesIn(Shown);
}

void EditControlC::scrollLines(int lines) {
    Scrolls.push_back(lines);
    if (!followsEnd()) return;
    const int last = linesIn(Shown) > ViewLines ? linesIn(Shown) - ViewLines : 0;
    FirstLine = std::max(0, std::min(FirstLine + lines, last));
}

void EditControlC::userTypes(const std::string& keys) {
    if (ReadOnly) return;
    Shown += keys;
    Modified = true;
    showEnd();
}

void EditControlC::userSelects(std::size_t start, std::size_t end) {
    SelStart = std::min(start, Shown.size());
    SelEnd = std::min(std::max(start, end), Shown.size());
}

// The windows' records, in StandInWindows.cpp.
void resetWindows();

void resetAll() {
    resetWindows();
    std::lock_guard<std::mutex> lock(Guard);
    Shown.clear();
    Answerer = nullptr;
    EchoToStderr = false;
    ScreenWidth = StartScreenWidth;
    ScreenHeight = StartScreenHeight;
    UserName = StartUserName;
    ObtainableBytes = AnySize;
    Finder = nullptr;
    for (bool& failing : FailingStep) failing = false;
}

}  // namespace standin

namespace seam {

int showMessageBox(unsigned flags, const char* caption, const char* text) {
    standin::ShownBox box{flags, caption, text};
    standin::BoxAnswerer answerer;
    {
        std::lock_guard<std::mutex> lock(standin::Guard);
        standin::Shown.push_back(box);
        answerer = standin::Answerer;
        if (standin::EchoToStderr) std::fprintf(stderr, "[%s]\n%s", caption, text);
    }
    return answerer ? answerer(box) : standin::pressEnter(box);
}

// glibc's table of error texts has gaps (41 and 58 on Linux): take the
// highest number that has a text.
int largestErrnoWithText() {
    static const int largest = [] {
        int last = 0;
        for (int n = 1; n < 4096; ++n)
            if (strerrordesc_np(n) != nullptr) last = n;
        return last;
    }();
    return largest;
}

unsigned screenWidth() {
    std::lock_guard<std::mutex> lock(standin::Guard);
    return standin::ScreenWidth;
}

unsigned screenHeight() {
    std::lock_guard<std::mutex> lock(standin::Guard);
    return standin::ScreenHeight;
}

void userName(char* name, unsigned size) {
    std::lock_guard<std::mutex> lock(standin::Guard);
    std::snprintf(name, size, "%s", standin::UserName.c_str());
}

bool canObtainBlock(unsigned long bytes) {
    std::lock_guard<std::mutex> lock(standin::Guard);
    return bytes <= standin::ObtainableBytes;
}

std::time_t currentTime(std::time_t* out) {
    return std::time(out);
}

// Real files: the descriptor, one up so that none is null, stands for the file.
static int descriptorOf(void* file) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(file)) - 1;
}

static void systemReason(char* reason) {
    std::snprintf(reason, ReasonSize, "%s", std::strerror(errno));
    errno = 0;  // told in the reason
}

FileMade createFile(const char* path, void*& file, char* reason) {
    if (standin::stepFails(standin::CreateStep, reason)) return FileRefused;
    const int made = open(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (made < 0) {
        if (errno == EEXIST) return FileExists;
        systemReason(reason);
        return FileRefused;
    }
    file = reinterpret_cast<void*>(static_cast<std::intptr_t>(made) + 1);
    return FileCreated;
}

bool writeFile(void* file, const char* bytes, std::size_t count, char* reason) {
    if (standin::stepFails(standin::WriteStep, reason)) {
        count /= 2;
        while (count > 0) {
            const ssize_t written = write(descriptorOf(file), bytes, count);
            if (written <= 0) break;
            bytes += written;
            count -= static_cast<std::size_t>(written);
        }
        return false;
    }
    while (count > 0) {
        const ssize_t written = write(descriptorOf(file), bytes, count);
        if (written < 0) {
            systemReason(reason);
            return false;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

bool closeFile(void* file, char* reason) {
    const bool failing = standin::stepFails(standin::CloseStep, reason);
    if (close(descriptorOf(file)) != 0 && !failing) {
        systemReason(reason);
        return false;
    }
    return !failing;
}

bool replaceFile(const char* from, const char* to, char* reason) {
    if (standin::stepFails(standin::ReplaceStep, reason)) return false;
    if (std::rename(from, to) == 0) return true;
    systemReason(reason);
    return false;
}

void removeFile(const char* path) {
    unlink(path);
}

void findFiles(const char* pattern, FoundFileFn found, void* context) {
    standin::FileFinder finder;
    {
        std::lock_guard<std::mutex> lock(standin::Guard);
        finder = standin::Finder;
    }
    if (!finder) return;
    for (const std::string& name : finder(pattern))
        if (!found(context, name.c_str())) return;
}

struct ThreadS {
    std::thread Thread;
};

ThreadS* startThread(ThreadFn fn, void* arg) {
    ThreadS* thread = new (std::nothrow) ThreadS;
    if (thread == nullptr) return nullptr;
    try {
        thread->Thread = std::thread(fn, arg);
    } catch (const std::system_error&) {
        delete thread;
        return nullptr;
    }
    return thread;
}

void joinThread(ThreadS* thread) {
    if (thread == nullptr) return;
    thread->Thread.join();
    delete thread;
}

}  // namespace seam
