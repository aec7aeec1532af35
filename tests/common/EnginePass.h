#pragma once
// The engine's whole pass as the differential tests run it beside the
// reference pass: the runs they take in turn, and one run over a list of
// files with the platform's stand-ins, its outcome in the reference's terms.
// Shared by the native tests and the fuzz targets.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "core/RunModeC.h"
#include "engine/GoodBadListC.h"
#include "engine/ValidateC.h"
#include "framework/native/StandIns.h"
#include "tests/common/EngineWindows.h"
#include "tests/common/ReferencePass.h"
#include "tests/common/WindowClock.h"
#include "textui/TextWinC.h"

namespace testcheck {

struct RunS {
    int Mode;
    bool CountFlag;
    const char* Name;
};
inline const RunS Runs[] = {{ModeSilent, false, "silent"},
                            {ModeText, false, "text"},
                            {ModeGraphic, false, "graphic Check"},
                            {ModeGraphic, true, "graphic Count"},
                            {ModeSilent, true, "silent with the Count flag"}};

// The progress clock stands still: no dot falls due, as in the reference.
inline std::time_t frozenClock(std::time_t* out) {
    if (out != nullptr) *out = 1000000;
    return 1000000;
}

// What the reference pass gives, and besides: the text the edit control
// shows and the texts of any boxes shown.
struct EngineOutcome : PassOutcome {
    std::string Table;  // the window's rows of the run's table
    std::string Shown;
    std::vector<std::string> Boxes;
};

inline std::vector<std::string> listOf(GoodBadListC& params, int list) {
    std::vector<std::string> names;
    for (int pos = 1; pos <= params.getTotal(list); ++pos)
        names.push_back(params.getName(list, pos));
    return names;
}

// The engine's windows and candidates set apart from their defaults: the
// bytes of a window (0: BlockSize), and room for that many candidates (-1:
// CandidateRoom; 0: none, the count reads the file again).
struct EngineSetupS {
    std::size_t WindowBytes = 0;
    long CandidateRoom = -1;
};

// One ValidateAll over files, every refresh of the window sent at once.
inline EngineOutcome runEngine(const std::vector<std::string>& files, double height, double width,
                               const RunS& run, const char* exeName,
                               const EngineSetupS& setup = {}) {
    standin::resetAll();
    windowclock::sendEveryRefresh();
    GoodBadListC params;
    params.Mode = run.Mode;
    params.Height = height;
    params.Width = width;
    std::snprintf(params.ExeName, sizeof params.ExeName, "%s", exeName);
    for (const auto& file : files) params.appendNew(GoodBadListC::GOOD, file.c_str());
    QuitterS quitter;
    ValidateC engine(params, quitter);
    engine.setClock(frozenClock);
    testwindows::apply(engine);
    if (setup.WindowBytes != 0) engine.setWindowBytes(setup.WindowBytes);
    if (setup.CandidateRoom >= 0)
        engine.setCandidateRoom(static_cast<uint32_t>(setup.CandidateRoom));
    TextWinC window;
    standin::EditControlC edit;
    window.setEdit(&edit);
    engine.OutWin = &window;
    engine.CountFlag = run.CountFlag;
    EngineOutcome out;
    out.Result = engine.ValidateAll();
    out.Text = window.Text;
    out.Table = window.Table.rows();
    out.Scrolls = edit.Scrolls;
    out.Good = listOf(params, GoodBadListC::GOOD);
    out.Bad = listOf(params, GoodBadListC::BAD);
    out.Shown = edit.Shown;
    for (const auto& box : standin::shownBoxes()) out.Boxes.push_back(box.text);
    return out;
}

}  // namespace testcheck
