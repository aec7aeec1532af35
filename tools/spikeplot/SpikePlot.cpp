// Draws the README's picture of the spike rule from a real wave file:
//
//   spikeplot WAVEFILE H W OUT.ppm
//
// counts WAVEFILE with spike height h = H and width w = W percent and writes
// OUT.ppm (tools/screenshots turns it into docs/spike-rule.png): above, the
// whole file as a line with the height threshold H, the longest run T and
// every counted spike numbered; below, the stretch around the first spike,
// with H, the dip of G data that ends the spike, the width W before which no
// new spike can start, and any burst that comes too soon. It prints the
// figures of the README's worked example, one phrase a line, to stdout.
//
// Every figure is the engine's own: the pass of the program (ValidateAll)
// sets p, T, H, W and G, and the program's counter (CountFile), stopped
// after ever more data, tells where each spike ends. The picture only finds
// those places in the data, and stops with an error where the data do not
// bear out what the engine said, so it cannot disagree with the program.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/FileReadC.h"
#include "engine/GoodBadListC.h"
#include "engine/Spelling.h"
#include "engine/ValidateC.h"
#include "tools/common/PixelFont.h"
#include "tools/common/PixelLine.h"

namespace {

using pixelfont::MaskS;

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "spikeplot: %s\n", why.c_str());
    std::exit(1);
}

std::string format(const char* spec, double value) {
    char text[64];
    std::snprintf(text, sizeof text, spec, value);
    return text;
}

std::string number(uint32_t value) {
    return std::to_string(value);
}

// ---------------------------------------------------------------- the figures

struct SpikeS {
    uint32_t First;     // the datum at or above H that started it
    uint32_t LastHigh;  // its last datum at or above H
    uint32_t End;       // the G-th datum in a row below H after that
};

// A counted file as the engine sees it; data are numbered from 1.
struct CountedS {
    std::string Name;
    std::vector<double> Data;  // Data[0] is datum 1
    double P = 0, H = 0, Level = 0;
    uint32_t T = 0, W = 0, G = 0;
    uint32_t TFirst = 0;  // the first datum of the run of T data
    std::vector<SpikeS> Spikes;
    std::string ResultLine;

    double datum(uint32_t n) const { return Data.at(n - 1); }
    uint32_t samples() const { return static_cast<uint32_t>(Data.size()); }
};

// The data lines as the program's reader delivers and converts them.
std::vector<double> readData(const std::string& path, uint32_t samples) {
    FileReadC reader;
    if (reader.setFileName(path.c_str()) != 0 || reader.open() != 0) fail("cannot open " + path);
    for (int header = 0; header < 5; ++header) reader.ReadLine();
    std::vector<double> data;
    double value = 0;
    while (data.size() < samples && reader.ReadLine() == 0 &&
           spelling::datumValue(reader.Line, value))
        data.push_back(value);
    reader.close();
    if (data.size() != samples) fail(path + ": fewer data than SAMPLES; pick a complete file");
    return data;
}

// The number of spikes the engine counts in the first n data of its open file.
uint32_t spikesWithin(ValidateC& engine, FileStateS& state, uint32_t n) {
    const uint32_t samples = state.Samples;
    state.Samples = n;
    engine.CountFile(nullptr);
    state.Samples = samples;
    return engine.Spikes;
}

// Where each spike ends: the fewest data within which the engine counts it.
std::vector<uint32_t> spikeEnds(ValidateC& engine, FileStateS& state, const std::string& path,
                                uint32_t total) {
    if (engine.setFileName(path.c_str()) != 0 || engine.open() != 0) fail("cannot reopen " + path);
    std::vector<uint32_t> ends;
    for (uint32_t spike = 1; spike <= total; ++spike) {
        uint32_t low = 1, high = state.Samples;
        while (low < high) {
            const uint32_t mid = low + (high - low) / 2;
            if (spikesWithin(engine, state, mid) >= spike)
                high = mid;
            else
                low = mid + 1;
        }
        ends.push_back(low);
    }
    engine.close();
    return ends;
}

// The first run of T data on one side of the level, as the engine splits
// them: above it, or at or below it.
uint32_t findLongestRun(const CountedS& c) {
    uint32_t first = 1;
    for (uint32_t n = 1; n <= c.samples(); ++n) {
        if (n > 1 && (c.datum(n) > c.Level) != (c.datum(n - 1) > c.Level)) first = n;
        if (n - first + 1 == c.T) return first;
    }
    fail("no run of T = " + number(c.T) + " data in the file");
}

// The datum at or above H before n with fewer than G data between them, or
// 0 when there is none: a dip that short does not end a spike.
uint32_t highBefore(const CountedS& c, uint32_t n) {
    for (uint32_t back = 1; back <= c.G && back < n; ++back)
        if (c.datum(n - back) >= c.H) return n - back;
    return 0;
}

// A spike ending at end closed on its G-th low datum after a high one; it
// started at the first high datum of the run of highs and short dips that
// leads up to that one.
SpikeS checkedSpike(const CountedS& c, uint32_t end) {
    SpikeS spike{0, end - c.G, end};
    bool bornOut = spike.LastHigh >= 1 && c.datum(spike.LastHigh) >= c.H;
    for (uint32_t n = spike.LastHigh + 1; n <= end; ++n) bornOut = bornOut && c.datum(n) < c.H;
    if (!bornOut) fail("the data do not show a spike ending at datum " + number(end));
    spike.First = spike.LastHigh;
    for (uint32_t n; (n = highBefore(c, spike.First)) != 0;) spike.First = n;
    return spike;
}

CountedS count(const std::string& path, double height, double width) {
    GoodBadListC params;
    params.Mode = ModeSilent;
    params.Height = height;
    params.Width = width;
    params.appendNew(GoodBadListC::GOOD, path.c_str());
    QuitterS quitter;
    ValidateC engine(params, quitter);
    if (engine.ValidateAll() != 0 || params.getTotal(GoodBadListC::GOOD) != 1)
        fail(path + " is not a file the program counts");
    const FileStateS& state = params.FileState;
    CountedS c;
    c.Name = path.substr(path.find_last_of("/\\") + 1);
    c.ResultLine = engine.ResultStr;
    c.P = state.MaxValue;
    c.H = state.HeightH;
    c.Level = ValidateC::runLevel(height);
    c.T = std::max(state.RunAbove, state.RunBelow);
    c.W = state.WidthW;
    c.G = state.GlitchG;
    const uint32_t total = engine.Spikes;
    c.Data = readData(path, state.Samples);
    c.TFirst = findLongestRun(c);
    for (uint32_t end : spikeEnds(engine, params.FileState, path, total))
        c.Spikes.push_back(checkedSpike(c, end));
    if (c.Spikes.empty()) fail(path + " has no spike to draw");
    return c;
}

// The bursts at or above H after the spike's end that start no spike: they
// lie within W of its last high datum.
std::vector<uint32_t> tooSoon(const CountedS& c, const SpikeS& spike) {
    std::vector<uint32_t> bursts;
    for (uint32_t n = spike.End + 1; n < spike.LastHigh + c.W && n <= c.samples(); ++n)
        if (c.datum(n) >= c.H && (bursts.empty() || n > bursts.back() + c.G)) bursts.push_back(n);
    return bursts;
}

// The figures of the worked example, one phrase a line, each as the README
// words it.
void printFigures(const CountedS& c) {
    const SpikeS& first = c.Spikes.front();
    std::printf("p = %s\n%s\n", format("%.6f", c.P).c_str(), format("%.6f", c.H).c_str());
    std::printf("data %u to %u\nT = %u\nW = %u\nG = %u\n", c.TFirst, c.TFirst + c.T - 1, c.T, c.W,
                c.G);
    std::printf("starts at datum %u\ndatum %u\nat datum %u\n", first.First, first.LastHigh,
                first.End);
    const std::vector<uint32_t> soon = tooSoon(c, first);
    if (!soon.empty())
        std::printf("datum %u\n%u data after\n", soon.front(), soon.front() - first.LastHigh);
    std::printf("datum %u\n", first.LastHigh + c.W);
    std::string ends;
    for (size_t i = 1; i < c.Spikes.size(); ++i)
        ends += (i == 1 ? "" : i + 1 == c.Spikes.size() ? " and " : ", ") + number(c.Spikes[i].End);
    if (!ends.empty()) std::printf("%s\n", ends.c_str());
    std::printf("%s\n", c.ResultLine.c_str());
}

// ---------------------------------------------------------------- drawing

struct RgbS {
    uint8_t R, G, B;
};
const RgbS Paper{255, 255, 255}, Ink{20, 20, 20}, Frame{150, 150, 150}, Grid{225, 225, 225},
    Trace{30, 80, 160}, Height{210, 40, 40}, Run{20, 130, 60}, Width{200, 110, 0},
    Glitch{130, 50, 170}, Faint{120, 120, 120};

class CanvasC {
  public:
    CanvasC(int w, int h) : W(w), H(h), Pix(size_t(w) * h, Paper) {}

    void plot(int x, int y, RgbS c) {
        if (x >= 0 && x < W && y >= 0 && y < H) Pix[size_t(y) * W + x] = c;
    }
    void fill(int x0, int y0, int x1, int y1, RgbS c) {
        for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
            for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) plot(x, y, c);
    }
    // A straight line including both ends (Bresenham).
    void line(int x0, int y0, int x1, int y1, RgbS c) {
        pixelline::line(x0, y0, x1, y1, [this, c](int x, int y) { plot(x, y, c); });
    }
    void dashedLine(int x0, int y0, int x1, int y1, RgbS c) {
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= steps; ++i)
            if (i % 8 < 5)
                plot(x0 + (x1 - x0) * i / std::max(steps, 1),
                     y0 + (y1 - y0) * i / std::max(steps, 1), c);
    }
    void box(int x0, int y0, int x1, int y1, RgbS c) {
        line(x0, y0, x1, y0, c), line(x1, y0, x1, y1, c);
        line(x1, y1, x0, y1, c), line(x0, y1, x0, y0, c);
    }
    void stamp(const MaskS& m, int x0, int y0, RgbS c) {
        for (int y = 0; y < m.H; ++y)
            for (int x = 0; x < m.W; ++x)
                if (m.at(x, y)) plot(x0 + x, y0 + y, c);
    }
    bool writePpm(const std::string& path) const {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (out == nullptr) return false;
        std::fprintf(out, "P6\n%d %d\n255\n", W, H);
        bool ok = true;
        for (const RgbS& p : Pix) ok = std::fwrite(&p, 3, 1, out) == 1 && ok;
        return std::fclose(out) == 0 && ok;
    }

    const int W, H;

  private:
    std::vector<RgbS> Pix;
};

// Text is set twice the font's size.
enum { Scale = 2, TextHeight = pixelfont::FontHeight * Scale, CapTop = 0 };

MaskS text(const std::string& s) {
    return pixelfont::enlarge(pixelfont::typeset(s), Scale);
}

enum Align { Left, Centre, Right };

// Writes s with its top at y, placed at x as align says; returns its width.
int write(CanvasC& c, const std::string& s, int x, int y, RgbS ink, Align align = Left) {
    const MaskS m = text(s);
    const int left = align == Left ? x : align == Centre ? x - m.W / 2 : x - m.W;
    c.stamp(m, left, y, ink);
    return m.W;
}

// A panel of the picture: data First to Last across the plot rectangle
// X0..X1, values Low to High up Y1..Y0.
struct PanelS {
    uint32_t First, Last;
    int X0, Y0, X1, Y1;
    double Low, High;

    int x(double datum) const {
        return X0 + int(std::lround((datum - First) * (X1 - X0) / double(Last - First)));
    }
    int y(double value) const {
        return Y1 - int(std::lround((value - Low) * (Y1 - Y0) / (High - Low)));
    }
};

void drawFrame(CanvasC& c, const PanelS& p) {
    for (double v : {-1.0, -0.5, 0.0, 0.5, 1.0})
        if (v >= p.Low && v <= p.High) {
            c.line(p.X0, p.y(v), p.X1, p.y(v), Grid);
            write(c, format("%g", v), p.X0 - 8, p.y(v) - TextHeight / 2 + 2, Faint, Right);
        }
    c.box(p.X0, p.Y0, p.X1, p.Y1, Frame);
}

// The data as a line: each column of the plot spans its data from the
// lowest to the highest, and joins the next column.
void drawData(CanvasC& c, const CountedS& counted, const PanelS& p) {
    int lastY = -1;
    for (int x = p.X0; x <= p.X1; ++x) {
        const double from = p.First + double(x - p.X0) * (p.Last - p.First) / (p.X1 - p.X0);
        const double to = p.First + double(x + 1 - p.X0) * (p.Last - p.First) / (p.X1 - p.X0);
        const uint32_t a = uint32_t(std::ceil(from)), b = std::max(a, uint32_t(std::ceil(to)) - 1);
        double low = 2, high = -2;
        for (uint32_t n = a; n <= std::min(b, p.Last); ++n) {
            low = std::min(low, counted.datum(n));
            high = std::max(high, counted.datum(n));
        }
        if (low > high) continue;
        if (lastY >= 0) c.line(x - 1, lastY, x, p.y(counted.datum(a)), Trace);
        c.line(x, p.y(low), x, p.y(high), Trace);
        lastY = p.y(counted.datum(std::min(b, p.Last)));
    }
}

void drawHeight(CanvasC& c, const CountedS& counted, const PanelS& p, const std::string& label) {
    c.line(p.X0, p.y(counted.H), p.X1, p.y(counted.H), Height);
    write(c, label, p.X1 + 8, p.y(counted.H) - TextHeight / 2 + 2, Height);
}

// A bracket under the plot from datum a to datum b, labelled in its middle,
// or after its end when the label is wider than the bracket.
void drawBracket(CanvasC& c, const PanelS& p, double a, double b, int y, RgbS ink,
                 const std::string& label) {
    const int x0 = p.x(a), x1 = p.x(b);
    c.line(x0, y, x1, y, ink);
    c.line(x0, y - 5, x0, y + 5, ink), c.line(x1, y - 5, x1, y + 5, ink);
    const int width = text(label).W;
    const int top = y - TextHeight / 2 + 1;
    if (width + 16 > x1 - x0) {
        write(c, label, x1 + 8, top, ink);
        return;
    }
    const int mid = (x0 + x1) / 2;
    c.fill(mid - width / 2 - 4, y - 2, mid + width / 2 + 4, y + 2, Paper);
    write(c, label, mid, top, ink, Centre);
}

// The spike's number above the highest of its last data.
void numberSpike(CanvasC& c, const CountedS& counted, const PanelS& p, const SpikeS& spike,
                 int number) {
    double top = counted.H;
    for (uint32_t n = spike.LastHigh; n + counted.G > spike.LastHigh && n >= p.First; --n)
        top = std::max(top, counted.datum(n));
    const std::string label = std::to_string(number);
    const int width = text(label).W, x = p.x(spike.LastHigh), y = p.y(top) - TextHeight - 6;
    c.fill(x - width / 2 - 2, y - 2, x + width / 2 + 2, y + TextHeight - 4, Paper);
    write(c, label, x, y, Ink, Centre);
}

void drawTicks(CanvasC& c, const PanelS& p, const std::vector<uint32_t>& ticks) {
    for (uint32_t n : ticks) {
        c.line(p.x(n), p.Y1, p.x(n), p.Y1 + 5, Frame);
        write(c, number(n), p.x(n), p.Y1 + 9, Faint, Centre);
    }
}

std::vector<uint32_t> ticksEvery(uint32_t step, uint32_t first, uint32_t last) {
    std::vector<uint32_t> ticks;
    for (uint32_t n = (first + step - 1) / step * step; n <= last; n += step)
        if (n > 0) ticks.push_back(n);
    return ticks;
}

// Panels reach above the largest datum, 1, to leave room for the numbers.
const double TopValue = 1.35;

enum Layout {
    PictureWidth = 1000,
    PlotLeft = 70,
    PlotRight = 850,
    OverviewTop = 56,
    OverviewBottom = 246,
    CloseTop = 380,
    CloseBottom = 600,
    LegendTop = 710,
    PictureHeight = 820,
};

// The lowest value a panel of data first to last shows: a tenth below its
// lowest datum, and 0 at most.
double lowEnd(const CountedS& c, uint32_t first, uint32_t last) {
    double lowest = 0;
    for (uint32_t n = first; n <= last; ++n) lowest = std::min(lowest, c.datum(n));
    return std::floor(lowest * 10) / 10;
}

// A panel of the picture's full plot width between the heights top and
// bottom, for data first to last.
PanelS panel(const CountedS& c, uint32_t first, uint32_t last, int top, int bottom) {
    PanelS p;
    p.First = first, p.Last = last;
    p.X0 = PlotLeft, p.X1 = PlotRight, p.Y0 = top, p.Y1 = bottom;
    p.Low = lowEnd(c, first, last), p.High = TopValue;
    return p;
}

// The whole file: the data, H, the run of T and every counted spike.
void drawOverview(CanvasC& c, const CountedS& counted, const PanelS& p) {
    drawFrame(c, p);
    drawData(c, counted, p);
    drawHeight(c, counted, p, "H");
    for (size_t i = 0; i < counted.Spikes.size(); ++i)
        numberSpike(c, counted, p, counted.Spikes[i], int(i + 1));
    drawTicks(c, p, ticksEvery(5000, 1, counted.samples()));
    drawBracket(c, p, counted.TFirst, counted.TFirst + counted.T - 1, p.Y1 + 44, Run,
                "T = " + number(counted.T));
}

// The first spike up close: its end after G low data, the width W from its
// last high datum, and the bursts that come too soon.
PanelS drawCloseUp(CanvasC& c, const CountedS& counted, const SpikeS& spike) {
    const uint32_t margin = counted.W / 12 + 1;
    const uint32_t first = spike.LastHigh > margin + 1 ? spike.LastHigh - margin : 1;
    const uint32_t last = std::min(counted.samples(), spike.LastHigh + counted.W + margin);
    const PanelS p = panel(counted, first, last, CloseTop, CloseBottom);
    write(c, "data " + number(first) + " to " + number(last) + " up close", PlotLeft,
          CloseTop - TextHeight - 14, Ink);
    drawFrame(c, p);
    drawData(c, counted, p);
    drawHeight(c, counted, p, "H = " + format("%.4f", counted.H));
    numberSpike(c, counted, p, spike, 1);
    c.dashedLine(p.x(spike.End), p.Y0 + 1, p.x(spike.End), p.Y1 + 30, Glitch);
    c.dashedLine(p.x(spike.LastHigh + counted.W), p.Y0 + 1, p.x(spike.LastHigh + counted.W),
                 p.Y1 + 62, Width);
    for (uint32_t burst : tooSoon(counted, spike))
        write(c, "too soon", p.x(burst) + 6, p.y(counted.datum(burst)) - 4, Faint);
    drawTicks(c, p, ticksEvery(200, first, last));
    drawBracket(c, p, spike.LastHigh, spike.End, p.Y1 + 44, Glitch, "G = " + number(counted.G));
    drawBracket(c, p, spike.LastHigh, spike.LastHigh + counted.W, p.Y1 + 76, Width,
                "W = " + number(counted.W));
    return p;
}

// Lines from the stretch marked in the overview to the close-up's corners.
void linkPanels(CanvasC& c, const PanelS& overview, const PanelS& closeUp) {
    const int x0 = overview.x(closeUp.First), x1 = overview.x(closeUp.Last);
    c.box(x0, overview.Y0 + 2, x1, overview.Y1 - 2, Faint);
    c.dashedLine(x0, overview.Y1 + 60, closeUp.X0, closeUp.Y0 - 40, Faint);
    c.dashedLine(x1, overview.Y1 + 60, closeUp.X1, closeUp.Y0 - 40, Faint);
}

// What the marks mean, under the close-up.
void drawLegend(CanvasC& c) {
    const struct {
        const char* Mark;
        RgbS Ink;
        const char* Meaning;
    } keys[] = {
        {"H", Height, "the height a spike must reach"},
        {"T", Run, "the longest run of data on one side of h/100"},
        {"G", Glitch, "the dip below H that ends a spike"},
        {"W", Width, "no new spike starts before its end"},
    };
    int y = LegendTop;
    for (const auto& key : keys) {
        write(c, key.Mark, PlotLeft, y, key.Ink);
        write(c, key.Meaning, PlotLeft + 30, y, Ink);
        y += TextHeight + 6;
    }
}

CanvasC draw(const CountedS& counted, double height, double width) {
    CanvasC c(PictureWidth, PictureHeight);
    const SpikeS& spike = counted.Spikes.front();
    write(c,
          counted.Name + " counted with h = " + format("%g", height) + " and w = " +
              format("%g", width) + ": " + number(uint32_t(counted.Spikes.size())) + " spikes",
          PlotLeft, 14, Ink);
    const PanelS closeUp = drawCloseUp(c, counted, spike);
    const PanelS overview = panel(counted, 1, counted.samples(), OverviewTop, OverviewBottom);
    linkPanels(c, overview, closeUp);
    drawOverview(c, counted, overview);
    drawLegend(c);
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: spikeplot WAVEFILE H W OUT.ppm\n");
        return 2;
    }
    const double height = std::atof(argv[2]), width = std::atof(argv[3]);
    const CountedS counted = count(argv[1], height, width);
    if (!draw(counted, height, width).writePpm(argv[4]))
        fail(std::string("cannot write ") + argv[4]);
    printFigures(counted);
    return 0;
}
