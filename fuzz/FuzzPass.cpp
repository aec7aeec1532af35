// Fuzz target: the whole validation and counting pass over one file, against
// the straightforward reference pass of the tests: the output window's text,
// the scrolls asked for, the result and the GOOD and BAD lists must agree,
// and no message box may appear (a file that can be opened never causes one).
//
// Input: a run byte (silent, text, graphic Check, graphic Count, silent with
// the Count flag), two bytes each for h and w (a few common and limit values,
// else spread over 0.0001 to 99.9999), then the file's bytes.
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "engine/GoodBadListC.h"
#include "engine/ValidateC.h"
#include "framework/native/StandIns.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/Oracle.h"
#include "startup/ErrHandleC.h"
#include "startup/RunModeC.h"
#include "tests/common/ReferencePass.h"
#include "tests/unit/WindowClock.h"
#include "textui/TextWinC.h"

namespace {

using fuzzsupport::visible;
using Names = std::vector<std::string>;

struct RunS {
    int Mode;
    bool CountFlag;
    const char* Name;
};
const RunS Runs[] = {{ModeSilent, false, "silent"},
                     {ModeText, false, "text"},
                     {ModeGraphic, false, "graphic Check"},
                     {ModeGraphic, true, "graphic Count"},
                     {ModeSilent, true, "silent with the Count flag"}};

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

// The progress clock stands still: no dot falls due, as in the reference.
std::time_t frozenClock(std::time_t* out) {
    if (out != nullptr) *out = 1000000;
    return 1000000;
}

Names listOf(GoodBadListC& params, int list) {
    Names names;
    for (int pos = 1; pos <= params.getTotal(list); ++pos)
        names.push_back(params.getName(list, pos));
    return names;
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
    const RunS& run = Runs[data[0] % (sizeof Runs / sizeof Runs[0])];
    const double height = percentage(data[1], data[2]);
    const double width = percentage(data[3], data[4]);
    file().write(data + 5, size - 5);
    const std::string name = file().path();

    standin::resetAll();
    windowclock::sendEveryRefresh();
    ErrHandle.setTitle(ReleaseStr);
    GoodBadListC params;
    params.Mode = run.Mode;
    params.Height = height;
    params.Width = width;
    std::snprintf(params.ExeName, sizeof params.ExeName, "%s", "tallywave");
    params.appendNew(GoodBadListC::GOOD, name.c_str());
    QuitterS quitter;
    ValidateC engine(params, quitter);
    engine.setClock(frozenClock);
    TextWinC window;
    standin::EditControlC edit;
    window.setEdit(&edit);
    engine.OutWin = &window;
    engine.CountFlag = run.CountFlag;
    const int result = engine.ValidateAll();

    const testcheck::PassOutcome expected =
        oracle::pass(height, width, run.Mode, run.CountFlag, params.ExeName, {name});
    char context[160];
    std::snprintf(context, sizeof context, "%s run, h=%.17g w=%.17g: ", run.Name, height, width);
    const std::string text = window.Text;
    FUZZ_CHECK(text == expected.Text, context + std::string("window text\n  engine:    [") +
                                          visible(text, 2000) + "]\n  reference: [" +
                                          visible(expected.Text, 2000) + "]");
    FUZZ_CHECK(result == expected.Result, context + std::string("result ") +
                                              std::to_string(result) + ", reference " +
                                              std::to_string(expected.Result));
    const Names good = listOf(params, GoodBadListC::GOOD), bad = listOf(params, GoodBadListC::BAD);
    FUZZ_CHECK(good == expected.Good && bad == expected.Bad,
               context + std::string("lists GOOD ") + joined(good) + " BAD " + joined(bad) +
                   ", reference GOOD " + joined(expected.Good) + " BAD " + joined(expected.Bad));
    FUZZ_CHECK(edit.Scrolls == expected.Scrolls, context + std::string("scrolls differ"));
    FUZZ_CHECK(edit.Shown == text, context + std::string("the control does not show the text"));
    const auto boxes = standin::shownBoxes();
    FUZZ_CHECK(boxes.empty(), context + std::string("a box appeared: ") +
                                  (boxes.empty() ? "" : visible(boxes.front().text, 2000)));
    return 0;
}
