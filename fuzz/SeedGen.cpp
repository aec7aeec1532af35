// fuzzseeds: writes the seed inputs of the four fuzz targets.
//
//   fuzzseeds SAMPLESDIR OUTDIR
//
// OUTDIR/reader, OUTDIR/pass, OUTDIR/invocation and OUTDIR/selection get
// inputs in each target's layout (see the targets' sources): the bundled
// samples, wave files of every kind that pass or fail each check, argument
// vectors of each run mode and fault, and dialog buffers of both forms. The
// fuzz build makes them; each run copies them into a working corpus.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/common/Files.h"
#include "tests/common/WaveText.h"

namespace {

namespace fs = std::filesystem;
using testfiles::readFile;
using wavetext::WaveFile;

std::string OutDir;

void writeSeed(const std::string& target, const std::string& name, const std::string& bytes) {
    const fs::path dir = fs::path(OutDir) / target;
    fs::create_directories(dir);
    if (!testfiles::writeFile(dir / name, bytes)) {
        std::fprintf(stderr, "fuzzseeds: cannot write %s\n", (dir / name).c_str());
        std::exit(1);
    }
}

// Small deterministic generator (a linear congruential one is enough here).
class RandomC {
  public:
    explicit RandomC(uint32_t seed) : State(seed) {}
    uint32_t next() { return State = State * 1664525u + 1013904223u; }
    double unit() { return (next() >> 8) / double(1u << 24); }

  private:
    uint32_t State;
};

// A wave of samples data: noise, and every so often a burst near full scale;
// its data spelled in several ways, or all in one (format).
WaveFile wave(int samples, uint32_t seed, int rate = 8000, const char* format = nullptr) {
    WaveFile w;
    w.Header = wavetext::headerLines(std::to_string(samples), std::to_string(rate));
    RandomC random(seed);
    static const char* const Formats[] = {"%.6f", "%.6f", "%.4f", "%.3e", "%+.5f", "%g"};
    int burst = 0;
    for (int i = 0; i < samples; ++i) {
        if (burst == 0 && random.next() % 150 == 0) burst = 5 + int(random.next() % 40);
        double value = burst > 0 ? 0.6 + 0.4 * random.unit() : 0.2 * (random.unit() - 0.5);
        if (burst > 0) --burst;
        if (random.next() % 2) value = -value * (burst > 0 ? 0.3 : 1.0);
        char text[40];
        const char* spelling = Formats[random.next() % 6];
        std::snprintf(text, sizeof text, format ? format : spelling, value);
        w.Data.push_back(text);
    }
    return w;
}

std::string passSeed(uint8_t run, uint16_t h, uint16_t w, const std::string& file) {
    std::string bytes;
    bytes += char(run);
    bytes += char(h >> 8);
    bytes += char(h & 0xFF);
    bytes += char(w >> 8);
    bytes += char(w & 0xFF);
    return bytes + file;
}

void passSeeds(const std::string& samplesDir) {
    // Runs: 0 silent, 1 text, 2 graphic Check, 3 graphic Count, 4 silent with
    // the Count flag. Codes 0 and 1 are h 50 and w 10; 2 and 3 the limits.
    // The samples' first 2000 lines (their headers announce more data, which
    // the pass accepts when the file simply ends), in every run.
    uint8_t run = 0;
    for (const auto& entry : fs::directory_iterator(samplesDir)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".txt" && ext != ".asc") continue;
        const std::string bytes = readFile(entry.path());
        std::size_t end = 0;
        for (int line = 0; line < 2000 && end != std::string::npos; ++line)
            end = bytes.find('\n', end + 1);
        const std::string head = bytes.substr(0, end == std::string::npos ? end : end + 1);
        writeSeed("pass", "sample-" + entry.path().stem().string(), passSeed(run, 0, 1, head));
        run = uint8_t((run + 1) % 5);
    }
    writeSeed("pass", "good-lf", passSeed(0, 0, 1, wave(1000, 1).bytes()));
    WaveFile crlf = wave(1050, 2, 22050);
    crlf.Eol = "\r\n";
    writeSeed("pass", "good-crlf", passSeed(3, 2, 3, crlf.bytes()));
    WaveFile tail = wave(1000, 3);
    tail.After = "\n \n\n";
    writeSeed("pass", "empty-lines-after", passSeed(2, 0, 1, tail.bytes()));
    // Files of one spelling, as numerical programs write them; the second in
    // windows of 111 bytes.
    writeSeed("pass", "one-spelling", passSeed(0, 0, 1, wave(1000, 10, 8000, "%.18e").bytes()));
    WaveFile upper = wave(1000, 11, 8000, "%+.9E");
    upper.Eol = "\r\n";
    writeSeed("pass", "one-spelling-crlf", passSeed(5, 0, 1, upper.bytes()));
    WaveFile more = wave(1001, 4);
    more.Data.push_back("0.5");
    writeSeed("pass", "datum-past-samples", passSeed(1, 4000, 9000, more.bytes()));
    WaveFile fewer = wave(1200, 5);
    fewer.Data.resize(1100);
    writeSeed("pass", "fewer-data", passSeed(4, 3, 2, fewer.bytes()));
    WaveFile clipped = wave(1000, 6);
    clipped.Data[500] = "1.25";
    writeSeed("pass", "datum-out-of-range", passSeed(0, 0, 1, clipped.bytes()));
    WaveFile odd = wave(1000, 7);
    odd.Data[10] = "1e-400";
    odd.Data[20] = std::string(1, '\0') + "0.5";
    odd.Data[30] = "0." + std::string(60, '3');
    odd.Data[40] = "  \t-0.5E+0x";
    odd.Data[50] = "1.0000000000000002";
    writeSeed("pass", "odd-data", passSeed(3, 0, 1, odd.bytes()));
    WaveFile ctrlZ = wave(1000, 8);
    ctrlZ.Data[600] += "\x1A";
    writeSeed("pass", "ctrl-z", passSeed(3, 4, 5, ctrlZ.bytes()));
    // A Ctrl-Z with more bytes than a window after it before any line feed,
    // in windows of 111 bytes (run byte 5: the silent run, small windows).
    ctrlZ.Data[600] += std::string(400, '\0');
    writeSeed("pass", "ctrl-z-no-line-feed-after", passSeed(5, 4, 5, ctrlZ.bytes()));

    // Each header line failing, in a short file.
    const char* const BadHeaders[][2] = {
        {"0", "SAMPLES:\t999"},          {"1", "BITSPERSAMPLE:\t7"},  {"2", "CHANNELS:\t2"},
        {"3", "SAMPLERATE:\t5999"},      {"4", "NORMALIZED:\tFALSE"}, {"0", "SAMPLES: 1000"},
        {"2", "CHANNELS:\t-4294967295"}, {"4", "NORMALIZED:\t"}};
    int n = 0;
    for (const auto& bad : BadHeaders) {
        WaveFile w = wave(20, 9);
        w.Header[std::size_t(bad[0][0] - '0')] = bad[1];
        ++n;
        writeSeed("pass", "header-" + std::to_string(n), passSeed(uint8_t(n % 5), 0, 1, w.bytes()));
    }
    writeSeed("pass", "header-cut", passSeed(0, 0, 1, "SAMPLES:\t1000\nBITSPERSAMPLE:\t16\n"));
}

void readerSeeds(const std::string& samplesDir) {
    // The samples' starts, as they are and across the first block boundary.
    int n = 0;
    for (const auto& entry : fs::directory_iterator(samplesDir)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".txt" && ext != ".asc") continue;
        std::string bytes = readFile(entry.path()).substr(0, 3000);
        const std::string stem = entry.path().stem().string();
        writeSeed("reader", stem, std::string("\0\x07", 2) + bytes);
        writeSeed("reader", stem + "-at-block-end",
                  std::string("\x01", 1) + char(++n * 17) + bytes);
    }
    const std::string Lines[] = {
        "0.5\n-0.5\r\n.5\n5.\n5e-1\n1e-400\n1e400\n-0\n0x1p-1\ninf\nnan\n1e\n1e+\n+-1\n",
        std::string(46, '1') + "\n" + std::string(47, '2') + "\n" + std::string(48, '3') + "\n",
        "a\r\r\nb\r\n\r\nc\rd\n\x1A"
        "after",
        std::string("0.25\0junk\n\0\n-0.0625\n", 20),
        "SAMPLES:\t8000\r\nBITSPERSAMPLE:\t-1\nCHANNELS:\t 65537\nSAMPLERATE:\t99999999999\n"
        "NORMALIZED:\tTRUE extra\n",
        "-0.0000000000001\n0.09999999999999\n0.0999999999999\n-.\n-0.\n.0e5\n-0.5e\n",
        "1.00000000000000000001\n0.99999999999999999999\n2.5e-310\n4.9e-324\n2e-324\n"};
    n = 0;
    for (const auto& text : Lines) {
        writeSeed("reader", "lines-" + std::to_string(++n), std::string("\0\0", 2) + text);
        writeSeed("reader", "lines-" + std::to_string(n) + "-at-block-end",
                  std::string("\x01", 1) + char(n * 31) + text);
    }
}

std::string argv(const std::vector<std::string>& args) {
    std::string bytes;
    for (std::size_t i = 0; i < args.size(); ++i)
        bytes += (i ? std::string(1, '\0') : "") + args[i];
    return bytes;
}

void invocationSeeds() {
    const std::string exe = "C:\\Program Files\\Tally\\tallywave.exe";
    const std::vector<std::vector<std::string>> Lines = {
        {exe, "-s", "50", "10", "calm.txt", "lively.asc", "crlf.txt"},
        {exe, "-t", "0.0001", "99.9999", "a.txt"},
        {exe},
        {exe, "25", "5"},
        {exe, "-s", "50", "x.txt"},
        {exe, "-t", "100", "0", "LOUD.TXT", "a*b.txt", "ok.asc", "no.doc", ".txt"},
        {exe, "calm.txt", "-s", "1.2.3", "50", "a\tb.txt"},
        {"tallywave", "-s", "12345678901234567890", "10", "x.txt"},
        {exe, "-s", "50", "10", std::string(2100, 'n') + ".txt", std::string(3000, 'm') + ".asc"},
        {exe, "-t", "50", "10", std::string(9990, 'q') + ".txt", "tail.txt"},
        {exe, "-s", "50", "10", std::string(5000, 'a'), std::string(5000, 'b'), "cut.txt"},
        {exe, "-x"},
        {exe, "-s", "-t"},
        {exe, "-"},
    };
    int n = 0;
    for (const auto& line : Lines)
        writeSeed("invocation", "argv-" + std::to_string(++n), argv(line));
}

void selectionSeeds() {
    auto seed = [](uint8_t control, char filler, const std::string& buffer) {
        return std::string(1, char(control)) + filler + buffer;
    };
    const std::string Buffers[] = {
        std::string("C:\\waves\\in\\a.txt\0\0", 19),
        std::string("C:\\waves\0b.asc\0a.txt\0c.txt\0\0", 28),
        std::string("D:\\\0x.txt\0y.txt\0\0", 17),
        std::string("C:\\w\0good.txt\0LOUD.TXT\0.txt\0a b.asc\0x.doc\0\0", 44),
        std::string("C:\\my waves\0a.txt\0b.txt\0\0", 26),
        std::string("a.txt\0\0", 7),
        std::string("\0\0", 2),
        "C:\\" + std::string(3000, 'd') + "\\" + std::string(500, 'e') + ".txt" +
            std::string(2, '\0'),
    };
    int n = 0;
    for (const auto& buffer : Buffers) {
        ++n;
        writeSeed("selection", "buffer-" + std::to_string(n), seed(4, 0, buffer));
        writeSeed("selection", "buffer-" + std::to_string(n) + "-dialog", seed(6, 0, buffer));
    }
    // Buffers with no list end: filled to the end with names or one path.
    writeSeed("selection", "unended-names", seed(5, 'n', std::string("C:\\w\0a.txt\0", 11)));
    writeSeed("selection", "unended-path", seed(7, 'p', "C:\\w\\"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzzseeds SAMPLESDIR OUTDIR\n");
        return 2;
    }
    OutDir = argv[2];
    readerSeeds(argv[1]);
    passSeeds(argv[1]);
    invocationSeeds();
    selectionSeeds();
    return 0;
}
