#pragma once
// What the batch benchmark measures besides the window: each file's time in
// a run, from openwatch's log of opens and closes (bench/OpenWatch.cpp); the
// engine alone over the same files in this process; and the statistics the
// report takes of the times. Throws bench::Fail when the log or the engine's
// text is not as it must be.
#include <cstddef>
#include <string>
#include <vector>

#include "bench/Batch.h"
#include "bench/QpcTimer.h"

namespace batch {

// Every file's first open and last close, seconds on openwatch's clock, and
// their places in the log.
struct FileEventsS {
    std::vector<double> Opened, Closed;
    std::vector<std::size_t> OpenedAt, ClosedAt;
    std::vector<int> Opens;
    std::size_t Events = 0;  // of the files timed
    std::size_t Shared = 0;  // events read together with the one before
};

// The size of a file, 0 when it cannot be read: where the log of the next
// run begins.
std::size_t fileSize(const std::string& path);

// The events of the batch's files in openwatch's log at path from byte
// offset from (where the run began); waits a little for events it has not
// written yet. Every file must have been opened and closed, each after the
// one before it was closed.
FileEventsS readFileEvents(const std::string& path, std::size_t from, const BatchS& batch);

// Each file's time but the last's: from its open to the next file's open
// (reading it twice, writing its result line, the close).
std::vector<double> timesPerFile(const FileEventsS& events);

// The engine as silent mode drives it, without a window: ValidateAll over
// the batch's names in the folder dir, timed. Its text, progress dots
// aside, must be the expected lines.
double engineAlone(const std::string& dir, const BatchS& batch, const Timer& timer);

// The q-quantile of values (0.5: the median), interpolated.
double quantile(std::vector<double> values, double q);
// The mean of values[from, to); 0 when empty.
double mean(const std::vector<double>& values, std::size_t from, std::size_t to);
// The least-squares slope of values[i] over i, from index from on.
double slope(const std::vector<double>& values, std::size_t from);
double largest(const std::vector<double>& values);

}  // namespace batch
