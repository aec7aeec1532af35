// openwatch: notes when the files of a folder are opened and closed, from
// outside the process that opens them (Linux inotify). A program under Wine
// that runs a whole batch without answering window messages can still be
// timed file by file this way, and the watch costs that program nothing.
//
//   openwatch DIR LOG
//
// Watches DIR for opens and closes of the files in it (not the folder
// itself), prints "ready" on stdout once the watch is in place, then appends
// one line per event to LOG until SIGTERM or SIGINT:
//
//   NANOSECONDS open|close NAME
//
// NANOSECONDS is CLOCK_MONOTONIC when the event was read; events that arrive
// in one read share that time. Each read's lines go out with one write, so
// LOG is complete up to the last read at any moment. A file that a program
// under Wine opens and closes once shows one open and one close.
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace {

volatile std::sig_atomic_t Stop = 0;

void onSignal(int) {
    Stop = 1;
}

long long monotonicNs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: openwatch DIR LOG\n");
        return 2;
    }
    std::FILE* log = std::fopen(argv[2], "w");
    if (log == nullptr) {
        std::fprintf(stderr, "openwatch: cannot write %s: %s\n", argv[2], std::strerror(errno));
        return 1;
    }
    const int logFd = fileno(log);

    // No SA_RESTART: a signal ends the blocking read at once.
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    const int watch = inotify_init1(IN_CLOEXEC);
    if (watch < 0 || inotify_add_watch(watch, argv[1], IN_OPEN | IN_CLOSE) < 0) {
        std::fprintf(stderr, "openwatch: cannot watch %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    alignas(inotify_event) char buffer[64 * 1024];
    std::string lines;
    while (!Stop) {
        const ssize_t got = read(watch, buffer, sizeof buffer);
        const long long now = monotonicNs();
        if (got < 0) {
            if (errno == EINTR) continue;
            std::fprintf(stderr, "openwatch: read: %s\n", std::strerror(errno));
            return 1;
        }
        if (got > 0 && got < static_cast<ssize_t>(sizeof(inotify_event))) break;
        lines.clear();
        for (char* p = buffer; p < buffer + got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(p);
            p += sizeof(inotify_event) + event->len;
            if (event->mask & IN_Q_OVERFLOW) {
                std::fprintf(stderr, "openwatch: events were lost (queue overflow)\n");
                return 1;
            }
            if (event->len == 0 || (event->mask & IN_ISDIR) != 0) continue;
            const char* kind = (event->mask & IN_OPEN) != 0 ? "open" : "close";
            lines += std::to_string(now) + " " + kind + " " + event->name + "\n";
        }
        if (!writeAll(logFd, lines)) {
            std::fprintf(stderr, "openwatch: cannot write %s: %s\n", argv[2], std::strerror(errno));
            return 1;
        }
    }
    return std::fclose(log) == 0 ? 0 : 1;
}
