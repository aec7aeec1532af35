#pragma once
// What the batch benchmark reports: a few lines per run (what was checked,
// how the window was watched, what openwatch saw), then the table of the
// times per file with a column per run and whether they grow with the files
// done; the trace of the last run, the names of the batch and the row of
// bench/run's summary table as files.
#include <cstddef>
#include <string>
#include <vector>

#include "bench/Batch.h"
#include "bench/BatchDrive.h"
#include "bench/BatchMeasure.h"
#include "bench/QpcTimer.h"

namespace batch {

// One run over the batch, as driven and measured.
struct RunS {
    ProgramRunS Program;
    FileEventsS Events;           // empty without --opens
    std::vector<double> PerFile;  // s, from a file's open to the next one's
    double EngineAlone = 0;       // s, the same files by the engine in this process

    // From the first open to the last close.
    double total() const { return Events.Closed.back() - Events.Opened.front(); }
};

// The lines of run number (from 1): what was checked, how the window was
// watched and, with the log, what openwatch saw.
void printRun(int number, const RunS& run, const ArgsS& args, const BatchS& batch,
              const Timer& timer);

// The table of the times per file, a column per run, and whether the time
// per file grows with the files done.
void printTimes(const std::vector<RunS>& runs, std::size_t files);

// One row per file of run (number, open and close times from the first
// open, time for the file; milliseconds) into the file path.
void writeTrace(const std::string& path, const RunS& run);

// The names of the batch, one a line, into the file path.
void writeNames(const std::string& path, const BatchS& batch);

// The fastest run (the least total time) as a row of bench/run's summary
// table, appended to the file path: its total time and median time per file.
void writeFastestRow(const std::string& path, const std::vector<RunS>& runs, std::size_t files);

}  // namespace batch
