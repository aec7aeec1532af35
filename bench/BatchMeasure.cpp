#include "bench/BatchMeasure.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "bench/BenchCommon.h"
#include "core/RunModeC.h"
#include "engine/GoodBadListC.h"
#include "engine/ValidateC.h"
#include "tests/common/ProgressDots.h"
#include "textui/TextWinC.h"

namespace batch {
namespace {

using bench::Fail;

const DWORD LogPatienceMs = 5000;  // for openwatch to log the last events

// One pass over the log: the events it holds so far.
FileEventsS readOpens(const std::string& path, std::size_t from,
                      const std::map<std::string, std::size_t>& index) {
    const std::size_t files = index.size();
    FileEventsS events;
    events.Opened.assign(files, -1);
    events.Closed.assign(files, -1);
    events.OpenedAt.assign(files, 0);
    events.ClosedAt.assign(files, 0);
    events.Opens.assign(files, 0);
    std::ifstream in(path, std::ios::binary);
    if (!in || !in.seekg(static_cast<std::streamoff>(from))) throw Fail{"cannot read " + path};
    std::string line;
    long long previous = -1;
    for (std::size_t seq = 0; std::getline(in, line); ++seq) {
        std::istringstream fields(line);
        long long ns = 0;
        std::string kind, name;
        if (!(fields >> ns >> kind >> name)) continue;  // a line still being written
        const auto found = index.find(name);
        if (found == index.end()) continue;
        const std::size_t i = found->second;
        const double at = static_cast<double>(ns) * 1e-9;
        ++events.Events;
        if (ns == previous) ++events.Shared;
        previous = ns;
        if (kind == "open") {
            if (events.Opens[i]++ == 0) {
                events.Opened[i] = at;
                events.OpenedAt[i] = seq;
            }
        } else if (kind == "close") {
            events.Closed[i] = at;
            events.ClosedAt[i] = seq;
        }
    }
    return events;
}

// The first file without an open or a close; files() when there is none.
std::size_t firstMissing(const FileEventsS& events) {
    for (std::size_t i = 0; i < events.Opened.size(); ++i)
        if (events.Opened[i] < 0 || events.Closed[i] < 0) return i;
    return events.Opened.size();
}

// Files are read in the order they were named, each after the one before
// it was closed.
void checkOrder(const FileEventsS& events, const BatchS& batch) {
    for (std::size_t i = 1; i < events.Opened.size(); ++i)
        if (events.OpenedAt[i] < events.ClosedAt[i - 1])
            throw Fail{batch.name(i) + " was opened before " + batch.name(i - 1) + " was closed"};
}

// The engine as silent mode drives it, without a window. Kept off the stack
// (its read block alone is 64 KiB).
struct EngineRunS {
    EngineRunS() : Engine(Lists, Quitter) {
        Lists.Mode = ModeSilent;
        Lists.Height = 50.0;
        Lists.Width = 10.0;
        Engine.OutWin = &Window;
    }
    GoodBadListC Lists;
    QuitterS Quitter;
    TextWinC Window;
    ValidateC Engine;
};

}  // namespace

std::size_t fileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<std::size_t>(in.tellg()) : 0;
}

FileEventsS readFileEvents(const std::string& path, std::size_t from, const BatchS& batch) {
    std::map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < batch.files(); ++i) index[batch.name(i)] = i;
    const DWORD start = GetTickCount();
    for (;;) {
        const FileEventsS events = readOpens(path, from, index);
        const std::size_t missing = firstMissing(events);
        if (missing == batch.files()) {
            checkOrder(events, batch);
            return events;
        }
        if (GetTickCount() - start > LogPatienceMs)
            throw Fail{path + " shows no open and close of " + batch.name(missing) +
                       ": the program did not read it, or openwatch was not watching " +
                       "(run batchbench through bench/run --batch)"};
        Sleep(50);
    }
}

std::vector<double> timesPerFile(const FileEventsS& events) {
    std::vector<double> times;
    for (std::size_t i = 0; i + 1 < events.Opened.size(); ++i)
        times.push_back(events.Opened[i + 1] - events.Opened[i]);
    return times;
}

double engineAlone(const std::string& dir, const BatchS& batch, const Timer& timer) {
    if (!SetCurrentDirectoryA(dir.c_str())) throw Fail{"cannot change to " + dir};
    std::unique_ptr<EngineRunS> run(new EngineRunS());
    for (std::size_t i = 0; i < batch.files(); ++i)
        if (run->Lists.appendNew(GoodBadListC::GOOD, batch.name(i).c_str()) !=
            static_cast<int>(i + 1))
            throw Fail{"engine alone: cannot put " + batch.name(i) + " into GOOD"};
    const double start = timer.now();
    const int status = run->Engine.ValidateAll();
    const double seconds = timer.now() - start;
    std::string wanted;
    for (const std::string& line : batch.Expected) wanted += line + "\r\n";
    const std::string got = testcheck::withoutDots(run->Window.Text);
    if (status != 0 || got != wanted)
        throw Fail{"engine alone: ValidateAll returned " + std::to_string(status) +
                   " and a text other than the expected lines"};
    return seconds;
}

double quantile(std::vector<double> values, double q) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const double at = q * static_cast<double>(values.size() - 1);
    const std::size_t below = static_cast<std::size_t>(at);
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (at - static_cast<double>(below));
}

double mean(const std::vector<double>& values, std::size_t from, std::size_t to) {
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += values[i];
    return to > from ? sum / static_cast<double>(to - from) : 0;
}

double slope(const std::vector<double>& values, std::size_t from) {
    const std::size_t n = values.size() > from ? values.size() - from : 0;
    if (n < 2) return 0;
    const double meanX = static_cast<double>(from) + static_cast<double>(n - 1) / 2;
    const double meanY = mean(values, from, values.size());
    double sxy = 0, sxx = 0;
    for (std::size_t i = from; i < values.size(); ++i) {
        const double dx = static_cast<double>(i) - meanX;
        sxy += dx * (values[i] - meanY);
        sxx += dx * dx;
    }
    return sxy / sxx;
}

double largest(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

}  // namespace batch
