#pragma once
// The engine's suites run two ways: in the engine's own windows, where the
// small files of most tests fit one window and its pass's thread does all
// the work, and, with TALLY_TEST_WINDOW_BYTES set (ctest runs them so once
// more), in windows of that many bytes, where every file of more than a few
// lines spans several windows and the worker thread scans many of them.
#include <cstdlib>

#include "engine/FileReadC.h"

namespace testwindows {

// The window size the run asks for; 0: the engine's own.
inline std::size_t bytes() {
    const char* asked = std::getenv("TALLY_TEST_WINDOW_BYTES");
    return asked != nullptr ? std::strtoul(asked, nullptr, 10) : 0;
}

inline void apply(FileReadC& reader) {
    if (bytes() != 0) reader.setWindowBytes(bytes());
}

}  // namespace testwindows
