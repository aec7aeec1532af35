#include "bench/BatchReport.h"

#include <algorithm>
#include <cstdio>

#include "bench/BenchCommon.h"

namespace batch {
namespace {

using bench::Fail;

constexpr int GrowthPercent = 25;  // added by the trend over the scrolled files
constexpr std::size_t Block = 100;

std::string range(std::size_t from, std::size_t to) {
    return std::to_string(from + 1) + "-" + std::to_string(to);
}

// One row of the table: a label and a value per run.
template <typename Value>
void printRow(const std::string& label, const std::vector<RunS>& runs, const char* format,
              Value value) {
    std::printf("  %-42s", label.c_str());
    for (const RunS& run : runs) std::printf(format, value(run));
    std::printf("\n");
}

// The result lines that fit the window before every new line scrolls it:
// result line k is text line k + 1 after the empty first one, and the
// caret's empty line follows the last, so the text fits while k + 2 lines
// do. 0 when that is not known.
std::size_t linesThatFit(const std::vector<RunS>& runs) {
    const int visible = runs.front().Program.Visible;
    return visible > 2 ? static_cast<std::size_t>(visible - 2) : 0;
}

// The rows of the table, over the timed files (all but the last).
void printTimeRows(const std::vector<RunS>& runs, std::size_t files) {
    const std::size_t timed = files - 1;
    const std::size_t block = std::min(Block, timed);
    auto first = [&](const RunS& r) { return mean(r.PerFile, 0, block); };
    auto last = [&](const RunS& r) { return mean(r.PerFile, timed - block, timed); };
    std::printf("\n  %-42s", (std::string(bench::BuildName) + " (Wine)").c_str());
    for (std::size_t i = 0; i < runs.size(); ++i) std::printf(" %8s %zu", "run", i + 1);
    std::printf("\n");
    printRow("files", runs, " %10.0f", [&](const RunS&) { return static_cast<double>(files); });
    printRow("total s (first open to last close)", runs, " %10.3f",
             [&](const RunS& r) { return r.total(); });
    printRow("ms/file, first " + std::to_string(block), runs, " %10.3f",
             [&](const RunS& r) { return first(r) * 1e3; });
    printRow("ms/file, last " + std::to_string(block), runs, " %10.3f",
             [&](const RunS& r) { return last(r) * 1e3; });
    printRow("last / first", runs, " %9.2fx", [&](const RunS& r) { return last(r) / first(r); });
    printRow("ms/file, median", runs, " %10.3f",
             [&](const RunS& r) { return quantile(r.PerFile, 0.5) * 1e3; });
    printRow("ms/file, 95th percentile", runs, " %10.3f",
             [&](const RunS& r) { return quantile(r.PerFile, 0.95) * 1e3; });
    printRow("ms/file, max", runs, " %10.3f",
             [&](const RunS& r) { return largest(r.PerFile) * 1e3; });
    const std::size_t fits = linesThatFit(runs);
    if (fits > 0 && fits < timed) {
        printRow("ms/file, files " + range(0, fits) + " (text fits the window)", runs, " %10.3f",
                 [&](const RunS& r) { return mean(r.PerFile, 0, fits) * 1e3; });
        printRow("ms/file, files " + range(fits, timed) + " (each line scrolls)", runs, " %10.3f",
                 [&](const RunS& r) { return mean(r.PerFile, fits, timed) * 1e3; });
        printRow("  its trend, ms/file more per 1000 files", runs, " %+10.3f",
                 [&](const RunS& r) { return slope(r.PerFile, fits) * 1e6; });
    }
    for (std::size_t from = 0; from < timed; from += Block) {
        const std::size_t to = std::min(timed, from + Block);
        printRow("ms/file, files " + range(from, to), runs, " %10.3f",
                 [&](const RunS& r) { return mean(r.PerFile, from, to) * 1e3; });
    }
    printRow("ms/file, engine alone (no window)", runs, " %10.3f",
             [&](const RunS& r) { return r.EngineAlone * 1e3 / static_cast<double>(files); });
}

// Growth with the files done: the trend once every line scrolls, over that
// whole stretch, against its mean. The first 100 files hold the cheaper ones
// written before the text fills the window, so their ratio to the last 100
// also shows that one step.
void printGrowth(const std::vector<RunS>& runs, std::size_t files) {
    const std::size_t timed = files - 1;
    const std::size_t block = std::min(Block, timed);
    const std::size_t fits = linesThatFit(runs);
    const std::size_t from = fits < timed ? fits : 0;
    std::vector<double> ratios, changes, steps;
    for (const RunS& run : runs) {
        ratios.push_back(mean(run.PerFile, timed - block, timed) / mean(run.PerFile, 0, block));
        changes.push_back(slope(run.PerFile, from) * static_cast<double>(timed - from) /
                          mean(run.PerFile, from, timed));
        if (from > 0) steps.push_back(mean(run.PerFile, from, timed) / mean(run.PerFile, 0, from));
    }
    const double change = quantile(changes, 0.5);
    std::printf(
        "time per file grows with the files done: %s (files %s: %+.0f%% from the first to the "
        "last by the trend, the median of the runs; YES from %+d%%)\n",
        change >= GrowthPercent / 100.0 ? "YES" : "no", range(from, timed).c_str(), change * 100,
        GrowthPercent);
    if (from > 0)
        std::printf(
            "once the text fills the window (file %zu) the time per file steps up %.2fx, as "
            "every new line then scrolls it; last %zu / first %zu: %.2fx (the medians of the "
            "runs)\n",
            from + 1, quantile(steps, 0.5), block, block, quantile(ratios, 0.5));
    std::printf(
        "(a file's time: from its open to the next file's open, %zu files timed per run; "
        "%d lines of text fit the window)\n",
        timed, runs.front().Program.Visible);
}

// How many times each file was opened: "N", or "N to M" when they differ.
std::string opensText(const FileEventsS& events) {
    const auto fewest = std::min_element(events.Opens.begin(), events.Opens.end());
    const auto most = std::max_element(events.Opens.begin(), events.Opens.end());
    return *fewest == *most ? std::to_string(*most)
                            : std::to_string(*fewest) + " to " + std::to_string(*most);
}

}  // namespace

void printRun(int number, const RunS& run, const ArgsS& args, const BatchS& batch,
              const Timer& timer) {
    const WatchS& asked = run.Program.Asked;
    const std::string poll =
        args.PollMs == 0 ? "without pause" : "every " + std::to_string(args.PollMs) + " ms";
    std::printf(
        "run %d: checked: the window shows the empty first line and the %zu "
        "expected lines in order (and %zu progress dots); the close box, Yes to the "
        "quit question, exit code 0\n",
        number, batch.files(), run.Program.Dots);
    std::printf(
        "run %d: window found %.3f s after the launch; EM_GETLINECOUNT asked %s: "
        "%zu asks, %zu different counts; the longest ask waited %.3f s for its "
        "answer and found %zu new result lines (clock %.0f ns)\n",
        number, asked.FoundAt, poll.c_str(), asked.Asks, asked.Counts, asked.Slowest,
        asked.SlowestFound, timer.resolution() * 1e9);
    if (!args.Opens.empty())
        std::printf(
            "run %d: openwatch (inotify) saw %zu opens and closes of these files, "
            "in order, each file opened %s time(s); %zu events were read together "
            "with the one before\n",
            number, run.Events.Events, opensText(run.Events).c_str(), run.Events.Shared);
    std::fflush(stdout);
}

void printTimes(const std::vector<RunS>& runs, std::size_t files) {
    printTimeRows(runs, files);
    printGrowth(runs, files);
}

void writeTrace(const std::string& path, const RunS& run) {
    const FileEventsS& events = run.Events;
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) throw Fail{"cannot write " + path};
    std::fprintf(out, "file\topen_ms\tclose_ms\tfile_ms\n");
    const double zero = events.Opened[0];
    for (std::size_t i = 0; i < events.Opened.size(); ++i) {
        std::fprintf(out, "%zu\t%.3f\t%.3f\t", i + 1, (events.Opened[i] - zero) * 1e3,
                     (events.Closed[i] - zero) * 1e3);
        if (i < run.PerFile.size())
            std::fprintf(out, "%.3f\n", run.PerFile[i] * 1e3);
        else
            std::fprintf(out, "-\n");
    }
    std::fclose(out);
}

void writeNames(const std::string& path, const BatchS& batch) {
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) throw Fail{"cannot write " + path};
    for (std::size_t i = 0; i < batch.files(); ++i)
        std::fprintf(out, "%s\n", batch.name(i).c_str());
    if (std::fclose(out) != 0) throw Fail{"cannot write " + path};
}

void writeFastestRow(const std::string& path, const std::vector<RunS>& runs, std::size_t files) {
    const RunS& fastest =
        *std::min_element(runs.begin(), runs.end(),
                          [](const RunS& a, const RunS& b) { return a.total() < b.total(); });
    bench::writeRow(path.c_str(), {"silent", bench::BuildName, std::to_string(files), "ms/file",
                                   fastest.total(), quantile(fastest.PerFile, 0.5) * 1e3});
}

}  // namespace batch
