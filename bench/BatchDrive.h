#pragma once
// The batch benchmark's hands on the program: starts tallywave.exe in silent
// mode over the batch, watches its output window fill, checks the text and
// closes it as a user does. Throws bench::Fail when a check fails or the
// program hangs.
#include <cstddef>

#include "bench/Batch.h"
#include "bench/QpcTimer.h"

namespace batch {

// How the output window filled: asked for its line count every --poll-ms.
struct WatchS {
    double FoundAt = 0;          // when the output window was found, from the launch
    std::vector<double> LineAt;  // when each result line was first counted
    std::size_t Asks = 0;
    std::size_t Counts = 0;        // different line counts seen
    double Slowest = 0;            // the longest wait for an answer, s
    std::size_t SlowestFound = 0;  // new result lines that answer showed
};

// One run of the program over the batch, checked.
struct ProgramRunS {
    WatchS Asked;
    std::size_t Dots = 0;  // progress dots among the lines
    int Visible = 0;       // lines of text the window shows at once
};

// Starts the program in the batch's folder, watches its window until every
// file's line is there, checks the text (the empty first line and the
// expected lines in order, nothing else but progress dots), measures how
// many lines the window shows, then closes the window and answers the quit
// question Yes; the program must end with 0.
ProgramRunS runProgram(const ArgsS& args, const BatchS& batch, const Timer& timer);

}  // namespace batch
