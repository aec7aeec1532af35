#pragma once
// A silent-mode run of the engine over the bundled sample files, as both
// builds must give it, and the expected window text kept beside the samples.
// Shared by the native and the Win32 tests.
#include <fstream>
#include <string>
#include <vector>

#include "engine/ValidateC.h"
#include "tests/common/EngineWindows.h"
#include "textui/TextWinC.h"

namespace testcheck {

inline const char* const SampleNames[] = {"calm.txt", "lively.asc", "crlf.txt", "stereo.txt",
                                          "clipped.txt"};

// The window text of a silent run over paths with spike height h and width
// w (percent); the engine's windows of windowBytes (0: the usual ones) and
// room for candidates (-1: the usual room).
inline std::string silentRunText(const std::vector<std::string>& paths, double h, double w,
                                 std::size_t windowBytes = 0, long candidateRoom = -1) {
    GoodBadListC params;
    params.Mode = ModeSilent;
    params.Height = h;
    params.Width = w;
    for (const std::string& path : paths) params.appendNew(GoodBadListC::GOOD, path.c_str());
    QuitterS quitter;
    TextWinC window;
    ValidateC engine(params, quitter);
    engine.OutWin = &window;
    testwindows::apply(engine);
    if (windowBytes != 0) engine.setWindowBytes(windowBytes);
    if (candidateRoom >= 0) engine.setCandidateRoom(static_cast<uint32_t>(candidateRoom));
    if (engine.ValidateAll() != 0) return "ValidateAll failed";
    return window.Text;
}

// The window text of the samples' run, with "dir + separator" taken out of
// every line; windows and candidates as silentRunText has them.
inline std::string runSamples(const std::string& dir, char separator, std::size_t windowBytes = 0,
                              long candidateRoom = -1) {
    const std::string prefix = dir + separator;
    std::vector<std::string> paths;
    for (const char* name : SampleNames) paths.push_back(prefix + name);
    std::string text = silentRunText(paths, 50.0, 10.0, windowBytes, candidateRoom);
    for (std::size_t at; (at = text.find(prefix)) != std::string::npos;)
        text.erase(at, prefix.size());
    return text;
}

// The expected text, kept in the samples folder with LF line ends.
inline std::string expectedSampleText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text, line;
    while (std::getline(in, line)) text += line + "\r\n";
    return text;
}

}  // namespace testcheck
