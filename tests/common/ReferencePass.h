#pragma once
// The oracle of the engine's differential tests: the whole validation and
// counting pass over a list of files, written the plain way (one byte at a
// time through ReferenceReader, the C runtime's strtod for data, every rule
// spelled out in order), giving the text the output window ends up holding,
// the scrolls the writers ask for and the final GOOD and BAD lists. The
// engine benchmark runs the same pass over its own fgets reader.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/OutputC.h"
#include "tests/common/CountSummary.h"
#include "tests/common/ReferenceReader.h"

namespace testcheck {

// A file's row in the table of the run, as the reference pass finds it.
struct RowS {
    FileOutcomeS::Result Kind;
    std::string Name;
    std::string Reason;
    double Duration = 0.0;
    uint32_t Spikes = 0;
    double Rate = 0.0;
};

struct PassOutcome {
    int Result = 0;            // what ValidateAll returns
    std::string Text;          // the output window's whole text
    std::vector<int> Scrolls;  // line counts of the writers' scroll requests
    std::vector<std::string> Good;
    std::vector<std::string> Bad;
    uint64_t Samples = 0;    // the SAMPLES of the files counted
    std::vector<RowS> Rows;  // one for each file, in the window's order
};

// White space as formatted input and strtod see it ("C" locale).
inline const char* skipSpace(const char* p) {
    while (*p != 0 && std::isspace(static_cast<unsigned char>(*p))) ++p;
    return p;
}

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A datum at the start of text: white space, optional sign, digits with an
// optional point (one digit at least), optional exponent; the rest of the
// line is ignored. Only the text that matches reaches strtod, so inf and nan
// never convert and "0x1p-1" reads as its leading 0.
inline bool referenceDatum(const char* text, double& value) {
    const char* start = skipSpace(text);
    const char* p = start;
    if (*p == '+' || *p == '-') ++p;
    int digits = 0;
    for (; isDigit(*p); ++p) ++digits;
    if (*p == '.')
        for (++p; isDigit(*p); ++p) ++digits;
    if (digits == 0) return false;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-') ++q;
        if (isDigit(*q)) {
            while (isDigit(*q)) ++q;
            p = q;
        }
    }
    value = std::strtod(std::string(start, p).c_str(), nullptr);
    return true;
}

// %u on a 32-bit platform: a minus wraps, a magnitude beyond 32 bits saturates.
inline bool referenceHeaderNumber(const char* text, uint32_t& value) {
    const char* p = skipSpace(text);
    bool minus = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    if (!isDigit(*p)) return false;
    const uint64_t Saturated = 0xFFFFFFFFull;
    uint64_t magnitude = 0;
    for (; isDigit(*p); ++p)
        magnitude = std::min(magnitude * 10 + uint64_t(*p - '0'), Saturated + 1);
    if (magnitude > Saturated)
        value = uint32_t(Saturated);
    else
        value = minus ? uint32_t(0u - uint32_t(magnitude)) : uint32_t(magnitude);
    return true;
}

// %s: the run of non-white characters after white space.
inline bool referenceHeaderWord(const char* text, std::string& word) {
    const char* p = skipSpace(text);
    word.clear();
    for (; *p != 0 && !std::isspace(static_cast<unsigned char>(*p)); ++p) word += *p;
    return !word.empty();
}

// The spike rules for the datum at s.DatumIx (high: at or above H), then on
// to the next: s holds InSpike, DatumIx, RegionStart, GlitchRun and Spikes,
// 32-bit unsigned as the counter has them (the differences wrap).
template <typename SpikeStateT>
void referenceSpikeStep(SpikeStateT& s, bool high, uint32_t w, uint32_t g) {
    if (high) {
        if (s.InSpike) {
            s.GlitchRun = 0;
        } else if (s.DatumIx - s.RegionStart >= w) {
            s.InSpike = true;
            s.GlitchRun = 0;
        }
    } else if (s.InSpike && ++s.GlitchRun >= g) {
        s.InSpike = false;
        if (s.DatumIx - s.RegionStart >= w) ++s.Spikes;
        s.RegionStart = s.DatumIx - g;
    }
    ++s.DatumIx;
}

// Reader: opened by path; opened(), readLine() (0: a line was read), text()
// (the last read as a C string), LineNo and seekLine(n), as ReferenceReader.
template <typename Reader = ReferenceReader>
class ReferencePassC {
  public:
    ReferencePassC(double height, double width, int mode, bool countFlag, std::string exeName)
        : Height(height),
          Width(width),
          Mode(mode),
          CountFlag(countFlag),
          ExeName(std::move(exeName)) {}

    PassOutcome run(const std::vector<std::string>& files) {
        Out = PassOutcome();
        Out.Good = files;
        Pending = 0;
        if (Out.Good.empty()) {
            Out.Result = -2;
            return Out;
        }
        for (std::size_t ix = 0; ix < Out.Good.size();) {
            if (checkFile(Out.Good[ix])) {
                ++ix;
            } else {
                Out.Bad.push_back(Out.Good[ix]);
                Out.Good.erase(Out.Good.begin() + static_cast<std::ptrdiff_t>(ix));
            }
        }
        if (CountFlag) {
            writerText(countSummary(ExeName, Out.Good.size() + Out.Bad.size(), Out.Good.size(),
                                    joined(Out.Bad)));
        } else if (Mode == 2) {
            writerLine("Files to be processed: [" + joined(Out.Good) + "].");
            for (const auto& name : Out.Good) Out.Rows.push_back({FileOutcomeS::Checked, name, ""});
        }
        return Out;
    }

  private:
    static std::string joined(const std::vector<std::string>& names) {
        std::string all;
        for (const auto& name : names) all += name + " ";
        return all;
    }

    // A reason line or closing text: the writer scrolls by every line added
    // since the previous scroll, its own included.
    void writerLine(const std::string& line) { writerText(line + "\r\n"); }
    // A reason line, and the file's row.
    void refuse(const std::string& name, const std::string& line) {
        writerLine(line);
        Out.Rows.push_back({FileOutcomeS::Refused, name, line});
    }
    void writerText(const std::string& text) {
        Out.Text += text;
        Out.Scrolls.push_back(++Pending);
        Pending = 0;
    }
    // The counter's result line is left for the next writer to scroll.
    void resultLine(const std::string& line) {
        Out.Text += line + "\r\n";
        ++Pending;
    }
    void fileLine(const std::string& name, uint32_t lineNo, const char* rest) {
        refuse(name, "File=" + name + " line " + std::to_string(int32_t(lineNo)) + rest);
    }
    void badDatumLine(const std::string& name, uint32_t lineNo, uint32_t samples) {
        char rest[200];
        std::snprintf(rest, sizeof rest, " bad datum or size:  Found %d good data; header said %d.",
                      int32_t(lineNo - 5), int32_t(samples));
        fileLine(name, lineNo, rest);
    }

    // True when the file passes (and, when the run counts, its result line is written).
    bool checkFile(const std::string& name) {
        Reader reader(name);
        if (!reader.opened()) {
            refuse(name, "File=" + name + ".  Can't open for test read.");
            return false;
        }

        static const char* const Keywords[5] = {"SAMPLES", "BITSPERSAMPLE", "CHANNELS",
                                                "SAMPLERATE", "NORMALIZED"};
        uint32_t samples = 0, rate = 0;
        for (int k = 0; k < 5; ++k) {
            std::string prefix = std::string(Keywords[k]) + ":\t";
            bool converted = reader.readLine() == 0 &&
                             std::strncmp(reader.text(), prefix.c_str(), prefix.size()) == 0;
            const char* after = reader.text() + (converted ? prefix.size() : 0);
            uint32_t number = 0;
            std::string word;
            if (converted)
                converted =
                    k < 4 ? referenceHeaderNumber(after, number) : referenceHeaderWord(after, word);
            if (!converted) {
                fileLine(name, reader.LineNo,
                         " failed header check:  Possible bad format or truncated file.");
                return false;
            }
            bool accepted = k == 0   ? number > 999 && number <= 26000000
                            : k == 1 ? uint16_t(number) > 7
                            : k == 2 ? uint16_t(number) == 1
                            : k == 3 ? number > 5999
                                     : word == "TRUE";
            if (!accepted) {
                fileLine(name, reader.LineNo,
                         " failed header check:  Possible bad format or invalid param.");
                return false;
            }
            if (k == 0) samples = number;
            if (k == 3) rate = number;
        }

        // First pass: range of every datum, the greatest datum p and the
        // longest run T of data all above, or all at or below, h/100.
        const long double level = static_cast<long double>(Height) * 0.01L;
        double maxValue = 0.0;
        uint32_t longest = 0, run = 0;
        bool above = false, dataGood = true;
        while (reader.readLine() == 0 && reader.LineNo - 5 <= samples) {
            double value = 0.0;
            if (!referenceDatum(reader.text(), value) || value < -1.0 || value > 1.0) {
                dataGood = false;
                break;
            }
            maxValue = std::max(maxValue, value);
            bool high = static_cast<long double>(value) > level;
            if (high == above) {
                ++run;
            } else {
                longest = std::max(longest, run);
                run = 1;
                above = high;
            }
        }
        longest = std::max(longest, run);
        if (!dataGood) {
            badDatumLine(name, reader.LineNo, samples);
            return false;
        }

        // What follows the data: up to three lines, every other one seen,
        // each seen line empty, a single blank, or empty to the C string.
        for (int turn = 0; turn < 3; ++turn) {
            if (reader.readLine() != 0) break;
            const char* line = reader.text();
            if (line[0] != '\n' && std::strcmp(line, " \n") != 0 && line[0] != 0) {
                badDatumLine(name, reader.LineNo, samples);
                return false;
            }
            if (reader.readLine() != 0) break;
        }

        if (!CountFlag && Mode == 2) return true;

        // Thresholds in extended precision, then the count over data 1 to SAMPLES.
        const double h = static_cast<double>(static_cast<long double>(maxValue) * Height * 0.01L);
        uint32_t w = static_cast<uint32_t>(static_cast<long double>(longest) * Width * 0.01L);
        uint32_t g = static_cast<uint32_t>(static_cast<long double>(w) * 0.1L);
        if (w < 1) w = 1;
        if (g < 1) g = 1;
        if (g >= w) w = g + 1;

        reader.seekLine(6);
        struct {
            bool InSpike;
            uint32_t DatumIx, RegionStart, GlitchRun, Spikes;
        } count{false, 1, 6, 0, 0};
        while (reader.readLine() == 0 && count.DatumIx <= samples) {
            double value = 0.0;
            referenceDatum(reader.text(), value);
            referenceSpikeStep(count, value >= h, w, g);
        }
        const uint32_t spikes = count.Spikes;
        const double duration = static_cast<double>(static_cast<long double>(samples) /
                                                    static_cast<long double>(rate + 0.0));
        const double rateOut = spikes / duration;
        char result[4096 + 100];
        std::snprintf(result, sizeof result, "%s : %.2f s (%.1f ms) | %u spikes => %.1f/sec.",
                      name.c_str(), duration, duration * 1000, spikes, rateOut);
        resultLine(result);
        Out.Rows.push_back({FileOutcomeS::Counted, name, "", duration, spikes, rateOut});
        Out.Samples += samples;
        return true;
    }

    double Height;
    double Width;
    int Mode;
    bool CountFlag;
    std::string ExeName;
    PassOutcome Out;
    int Pending = 0;  // lines added since the last scroll
};

}  // namespace testcheck
