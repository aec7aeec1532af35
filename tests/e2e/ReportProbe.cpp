// Test-only program: makes the report named on its command line through the
// real reporting facility, so the end-to-end tests can look at the real boxes.
//   reportprobe info | warning | errno | fatal | quit | twothreads
#include <cstdio>
#include <cstring>
#include <thread>

#include "core/ErrHandleC.h"
#include "core/RunModeC.h"

namespace {

int reportFromTwoThreads() {
    std::thread second([] { ErrHandle.report(-5, "ReportProbe: second thread [%s].", "B"); });
    ErrHandle.report(-4, "ReportProbe: first thread [%s].", "A");
    second.join();
    return 0;
}

int makeReport(const char* what) {
    if (std::strcmp(what, "info") == 0)
        return Status = ErrHandle.report(0, "ReportProbe: information [%s].", "one line");
    if (std::strcmp(what, "warning") == 0)
        return Status =
                   ErrHandle.report(-3, "ReportProbe: warning\nsecond line [%d] [%.1f].", 42, 2.25);
    if (std::strcmp(what, "errno") == 0) {
        std::FILE* missing = std::fopen("no such folder\\no such file.txt", "r");
        if (missing) std::fclose(missing);
        return Status = ErrHandle.report(-1, "ReportProbe: open failed.");
    }
    if (std::strcmp(what, "fatal") == 0) ErrHandle.fatal(-2, "ReportProbe: fatal [%d].", 7);
    if (std::strcmp(what, "quit") == 0) return ErrHandle.askQuit();
    if (std::strcmp(what, "twothreads") == 0) return reportFromTwoThreads();
    return 99;
}

}  // namespace

int main(int argc, char** argv) {
    ErrHandle.setTitle(ReleaseStr);
    return argc == 2 ? makeReport(argv[1]) : 98;
}
