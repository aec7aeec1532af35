// Fuzz target: the whole validation and counting pass over one file, against
// the straightforward reference pass of the tests: the output window's text,
// the scrolls asked for, the result and the GOOD and BAD lists must agree,
// and no message box may appear (a file that can be opened never causes one).
//
// Input: a run byte (modulo 5 the run: silent, text, graphic Check, graphic
// Count, silent with the Count flag; divided by 5 how the engine's windows
// and candidates are set: 0 as usual, else windows of 64 to 300 bytes with
// no room, little room or the usual room for candidates), two bytes each for
// h and w (a few common and limit values, else spread over 0.0001 to
// 99.9999), then the file's bytes.
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "core/ErrHandleC.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/Oracle.h"
#include "tests/common/EnginePass.h"

namespace {

using fuzzsupport::visible;
using Names = std::vector<std::string>;

// A percentage from two bytes: the first codes pick values people use and
// the limits, the others spread evenly over the range.
double percentage(uint8_t high, uint8_t low) {
    static const double Common[] = {50.0, 10.0, 0.0001, 99.9999, 25.0,  75.0,    90.0,    1.0,
                                    5.0,  30.0, 60.0,   0.001,   99.99, 33.3333, 66.6667, 12.5};
    const unsigned code = unsigned(high) << 8 | low;
    const unsigned commonCount = sizeof Common / sizeof Common[0];
    if (code < commonCount) return Common[code];
    return 0.0001 + (code - commonCount) * (99.9998 / (65535 - commonCount));
}

testcheck::EngineSetupS setupOf(uint8_t runByte) {
    const unsigned choice = runByte / std::size(testcheck::Runs);
    if (choice == 0) return {};
    const long Rooms[] = {0, 3, -1};
    return {64 + choice * 47 % 237, Rooms[choice % 3]};
}

std::string joined(const Names& names) {
    std::string all;
    for (const auto& name : names) all += "[" + name + "]";
    return all;
}

fuzzsupport::MemFileC& file() {
    static fuzzsupport::MemFileC memFile("fuzz-pass");
    return memFile;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 5) return -1;
    const testcheck::RunS& run = testcheck::Runs[data[0] % std::size(testcheck::Runs)];
    const double height = percentage(data[1], data[2]);
    const double width = percentage(data[3], data[4]);
    file().write(data + 5, size - 5);
    const std::string name = file().path();

    ErrHandle.setTitle(ReleaseStr);
    const testcheck::EngineSetupS setup = setupOf(data[0]);
    const testcheck::EngineOutcome got =
        testcheck::runEngine({name}, height, width, run, "tallywave", setup);
    const testcheck::PassOutcome expected =
        oracle::pass(height, width, run.Mode, run.CountFlag, "tallywave", {name});
    char context[200];
    std::snprintf(context, sizeof context,
                  "%s run, h=%.17g w=%.17g, window %zu, candidates %ld: ", run.Name, height, width,
                  setup.WindowBytes, setup.CandidateRoom);
    FUZZ_CHECK(got.Text == expected.Text, context + std::string("window text\n  engine:    [") +
                                              visible(got.Text, 2000) + "]\n  reference: [" +
                                              visible(expected.Text, 2000) + "]");
    FUZZ_CHECK(got.Result == expected.Result, context + std::string("result ") +
                                                  std::to_string(got.Result) + ", reference " +
                                                  std::to_string(expected.Result));
    FUZZ_CHECK(got.Good == expected.Good && got.Bad == expected.Bad,
               context + std::string("lists GOOD ") + joined(got.Good) + " BAD " + joined(got.Bad) +
                   ", reference GOOD " + joined(expected.Good) + " BAD " + joined(expected.Bad));
    FUZZ_CHECK(got.Scrolls == expected.Scrolls, context + std::string("scrolls differ"));
    FUZZ_CHECK(got.Shown == got.Text, context + std::string("the control does not show the text"));
    FUZZ_CHECK(got.Boxes.empty(), context + std::string("a box appeared: ") +
                                      (got.Boxes.empty() ? "" : visible(got.Boxes.front(), 2000)));
    return 0;
}
