#pragma once
// The text of wave files as the tests write them.
#include <cstdint>
#include <string>
#include <vector>

namespace wavetext {

// The five header lines of a file that passes them, without line ends.
inline std::vector<std::string> headerLines(const std::string& samples,
                                            const std::string& rate = "10000") {
    return {"SAMPLES:\t" + samples, "BITSPERSAMPLE:\t16", "CHANNELS:\t1", "SAMPLERATE:\t" + rate,
            "NORMALIZED:\tTRUE"};
}

// The same lines, each ended by a line feed.
inline std::string header(uint32_t samples, uint32_t rate = 10000) {
    std::string text;
    for (const std::string& line : headerLines(std::to_string(samples), std::to_string(rate)))
        text += line + "\n";
    return text;
}

inline std::string repeat(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

// A file as lines: header lines and data lines, each ended by Eol when
// written, then After as it stands.
struct WaveFile {
    std::vector<std::string> Header;
    std::vector<std::string> Data;
    std::string Eol = "\n";
    std::string After;

    std::string bytes() const {
        std::string text;
        for (const std::string& line : Header) text += line + Eol;
        for (const std::string& line : Data) text += line + Eol;
        return text + After;
    }
};

// The lines of a file's bytes, LF or CR LF ended (a last line without an end
// is left out): the first five go to the header, the rest to the data.
inline WaveFile parse(const std::string& bytes) {
    WaveFile wave;
    std::size_t at = 0;
    for (std::size_t end; (end = bytes.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string line = bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        (wave.Header.size() < 5 ? wave.Header : wave.Data).push_back(line);
    }
    return wave;
}

}  // namespace wavetext
