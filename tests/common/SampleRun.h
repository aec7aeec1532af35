#pragma once
// A silent-mode run of the engine over the bundled sample files, as both
// builds must give it, and the expected window text kept beside the samples.
// Shared by the native and the Win32 tests.
#include <fstream>
#include <sstream>
#include <string>

#include "engine/ValidateC.h"
#include "textui/TextWinC.h"

namespace testcheck {

inline const char* const SampleNames[] = {"calm.txt", "lively.asc", "crlf.txt", "stereo.txt",
                                          "clipped.txt"};

// The window text of the run, with "dir + separator" taken out of every line.
inline std::string runSamples(const std::string& dir, char separator) {
    GoodBadListC params;
    params.Mode = ModeSilent;
    params.Height = 50.0;
    params.Width = 10.0;
    const std::string prefix = dir + separator;
    for (const char* name : SampleNames)
        params.appendNew(GoodBadListC::GOOD, (prefix + name).c_str());
    QuitterS quitter;
    TextWinC window;
    ValidateC engine(params, quitter);
    engine.OutWin = &window;
    if (engine.ValidateAll() != 0) return "ValidateAll failed";
    std::string text = window.Text;
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
