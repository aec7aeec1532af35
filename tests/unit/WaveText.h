#pragma once
// The text of wave files as the engine's tests write them.
#include <cstdint>
#include <string>

namespace wavetext {

// The five header lines of a file that passes them.
inline std::string header(uint32_t samples, uint32_t rate = 10000) {
    return "SAMPLES:\t" + std::to_string(samples) + "\nBITSPERSAMPLE:\t16\nCHANNELS:\t1\n" +
           "SAMPLERATE:\t" + std::to_string(rate) + "\nNORMALIZED:\tTRUE\n";
}

inline std::string repeat(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

}  // namespace wavetext
