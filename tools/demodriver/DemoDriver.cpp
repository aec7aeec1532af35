// The demo's hands on tallywave.exe: a Win32 console program that tools/demo
// runs under Wine. It starts tallywave.exe (the one beside this program, or
// the one --program names) in silent mode, waits for the output window to
// hold its first line and one line per file, prints that text, saves a
// screenshot of the window, closes the window answering the quit question
// Yes and returns the program's exit code. Anything that goes wrong is said on stderr and ends it
// with 1; an exit code other than 0 is said there too.
//
// Usage: demodriver [--program PATH] WORKDIR SHOT.bmp -s h w fname1 [fname2 ...]
//   PATH     the program to run instead of the tallywave.exe beside this one
//            (the release package's test runs the unpacked one)
//   WORKDIR  the folder tallywave.exe runs in (the names are relative to it)
//   SHOT.bmp where the screenshot of the output window goes (24-bit .bmp)
// Each name must be one the program accepts (it then writes one line for it).
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "windriver/OutputWindow.h"
#include "windriver/WinDriver.h"

namespace {

const DWORD WindowPatience = 20000;  // start-up under a cold Wine takes seconds
const DWORD RunPatience = 60000;     // for the lines of all files
const DWORD ClosePatience = 20000;
const int DriverFailed = 1;

int fail(const std::string& why) {
    std::fprintf(stderr, "demodriver: %s\n", why.c_str());
    return DriverFailed;
}

std::size_t completeLines(const std::string& text) {
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2))
        ++lines;
    return lines;
}

// The text with Unix line ends, written as is (stdout in binary mode).
void printText(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
}

// Saves what the screen shows of window, frame and caption included, after
// bringing it to the top and repainting it whole, so the copy shows it and
// nothing that lay over it.
bool saveWindowShot(HWND window, const std::string& bmpPath) {
    SetForegroundWindow(window);
    BringWindowToTop(window);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD_PTR ignored = 0;  // returns once the window has handled all before it
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
    return e2e::saveScreenshot(bmpPath, window);
}

}  // namespace

int main(int argc, char** argv) {
    std::string program = e2e::exeDir() + "\\tallywave.exe";
    if (argc > 2 && std::string(argv[1]) == "--program") {
        program = argv[2];
        argc -= 2;
        argv += 2;
    }
    if (argc < 7 || std::string(argv[3]) != "-s") {
        return fail(
            "usage: demodriver [--program PATH] WORKDIR SHOT.bmp -s h w fname1 [fname2 ...]");
    }
    const std::string workDir = argv[1];
    const std::string shotPath = argv[2];
    std::string args;
    for (int i = 3; i < argc; ++i) args += (i > 3 ? " " : "") + std::string(argv[i]);
    const std::size_t files = argc - 6;

    e2e::LaunchedProcess run;  // killed when this ends while it still runs
    if (!run.launch(program, args, workDir)) {
        return fail("cannot start " + program + " (error " + std::to_string(GetLastError()) + ")");
    }
    HWND frame = e2e::waitForOutputWindow(run.pid(), WindowPatience);
    if (!frame) {
        int32_t code = 0;
        if (run.waitExit(0, &code))
            return fail("tallywave.exe ended without an output window, exit code " +
                        std::to_string(code));
        return fail("no output window after " + std::to_string(WindowPatience / 1000) + " s" +
                    e2e::boxesShown(run.pid()));
    }
    HWND edit = e2e::outputEdit(frame);
    if (!edit) return fail("the output window has no edit control");

    std::string text;
    const bool complete = e2e::waitUntil(
        [&] { return completeLines(text = e2e::windowText(edit)) >= files + 1; }, RunPatience);
    printText(text);
    if (!complete) {
        return fail("the output window did not get a line for each of the " +
                    std::to_string(files) + " files within " + std::to_string(RunPatience / 1000) +
                    " s" + e2e::boxesShown(run.pid()));
    }

    const bool shot = saveWindowShot(frame, shotPath);

    const std::string answered = e2e::closeAnswering(run.pid(), frame, IDYES, ClosePatience);
    if (!answered.empty()) return fail("closing the window: " + answered);
    int32_t code = 0;
    if (!run.waitExit(ClosePatience, &code))
        return fail("tallywave.exe did not end after Yes to the quit question");
    if (!shot) return fail("could not save the screenshot " + shotPath);
    if (code != 0)
        std::fprintf(stderr, "demodriver: tallywave.exe ended with exit code %d\n",
                     static_cast<int>(code));
    return code;
}
