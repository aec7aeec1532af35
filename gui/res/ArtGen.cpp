// Draws the program's pictures and writes them as Windows image files, so the
// art is kept as code: change a drawing here and run tools/art to rebuild it.
// Today it writes the application icon, gui/res/tallywave.ico: a spike trace
// on a dark screen, as 32 x 32 in 16 colours, 32 x 32 monochrome and 16 x 16
// in 16 colours. Paths are relative to the repository root.
//
// Standard C++17 only; all numbers in the files are written little-endian,
// byte by byte, so the output is the same on any host.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, unsigned v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

struct Rgb {
    uint8_t R, G, B;
};

// A picture of palette indices. Clear pixels let the desktop show through:
// they get colour 0 and a set bit in an icon's AND mask.
class CanvasC {
  public:
    enum { Clear = 0xFF };

    CanvasC(int w, int h, std::vector<Rgb> palette, uint8_t fill)
        : W(w), H(h), Palette(std::move(palette)), Pix(size_t(w) * h, fill) {}

    void plot(int x, int y, uint8_t c) {
        if (x >= 0 && x < W && y >= 0 && y < H) Pix[size_t(y) * W + x] = c;
    }
    uint8_t at(int x, int y) const { return Pix[size_t(y) * W + x]; }

    // A straight line including both ends (Bresenham); every step touches the last pixel.
    void line(int x0, int y0, int x1, int y1, uint8_t c) {
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        for (int err = dx + dy;;) {
            plot(x0, y0, c);
            if (x0 == x1 && y0 == y1) return;
            const int e2 = 2 * err;
            if (e2 >= dy) err += dy, x0 += sx;
            if (e2 <= dx) err += dx, y0 += sy;
        }
    }

    void frame(uint8_t c) {
        line(0, 0, W - 1, 0, c), line(0, H - 1, W - 1, H - 1, c);
        line(0, 0, 0, H - 1, c), line(W - 1, 0, W - 1, H - 1, c);
    }

    const int W, H;
    const std::vector<Rgb> Palette;

  private:
    std::vector<uint8_t> Pix;
};

// The canvas as a device-independent bitmap: BITMAPINFOHEADER, a palette of
// 2^bits entries and the rows bottom-up, each padded to 4 bytes. An icon image
// also carries the 1-bit AND mask, and its header counts both halves in the height.
Bytes dib(const CanvasC& c, int bits, bool iconMask) {
    const uint32_t xorRow = (uint32_t(c.W) * bits + 31) / 32 * 4;
    const uint32_t andRow = iconMask ? (uint32_t(c.W) + 31) / 32 * 4 : 0;
    Bytes b;
    put32(b, 40);
    put32(b, c.W);
    put32(b, iconMask ? 2 * c.H : c.H);
    put16(b, 1);     // planes
    put16(b, bits);  // bits per pixel
    put32(b, 0);     // no compression
    put32(b, (xorRow + andRow) * c.H);
    put32(b, 0), put32(b, 0);  // no preferred resolution
    put32(b, 0), put32(b, 0);  // all 2^bits colours used and important
    for (size_t i = 0; i < (size_t(1) << bits); ++i) {
        const Rgb k = i < c.Palette.size() ? c.Palette[i] : Rgb{0, 0, 0};
        b.insert(b.end(), {k.B, k.G, k.R, 0});
    }
    for (int y = c.H - 1; y >= 0; --y) {
        Bytes row(xorRow, 0);
        for (int x = 0; x < c.W; ++x) {
            const uint8_t v = c.at(x, y) == CanvasC::Clear ? 0 : c.at(x, y);
            row[x * bits / 8] |= uint8_t(v << (8 - bits - x * bits % 8));
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    for (int y = c.H - 1; iconMask && y >= 0; --y) {
        Bytes row(andRow, 0);
        for (int x = 0; x < c.W; ++x)
            if (c.at(x, y) == CanvasC::Clear) row[x / 8] |= uint8_t(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

struct IconImageS {
    const CanvasC& Canvas;
    int Bits;
};

// An .ico file: ICONDIR, one ICONDIRENTRY per image, then the images' DIBs.
Bytes ico(const std::vector<IconImageS>& images) {
    std::vector<Bytes> dibs;
    for (const IconImageS& im : images) dibs.push_back(dib(im.Canvas, im.Bits, true));
    Bytes b;
    put16(b, 0), put16(b, 1), put16(b, images.size());  // reserved, icon, count
    uint32_t offset = 6 + 16 * images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        const CanvasC& c = images[i].Canvas;
        b.push_back(uint8_t(c.W)), b.push_back(uint8_t(c.H));  // 256 is written as 0
        b.push_back(images[i].Bits >= 8 ? 0 : 1 << images[i].Bits), b.push_back(0);
        put16(b, 1), put16(b, images[i].Bits);
        put32(b, dibs[i].size()), put32(b, offset);
        offset += dibs[i].size();
    }
    for (const Bytes& d : dibs) b.insert(b.end(), d.begin(), d.end());
    return b;
}

bool writeFile(const std::string& path, const Bytes& b) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    out.close();
    if (!out) return std::fprintf(stderr, "ArtGen: cannot write %s\n", path.c_str()), false;
    std::printf("wrote %s (%zu bytes)\n", path.c_str(), b.size());
    return true;
}

// The 16 colours every Windows display can show, in their usual order.
const std::vector<Rgb> Vga16 = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
enum VgaE { Black = 0, Navy = 4, Teal = 6, Silver = 7, Grey = 8, Red = 9, Yellow = 11, Aqua = 14 };

struct InksS {
    uint8_t Screen, Frame, Baseline, Trace, Spike, Tip;
    bool DottedBaseline;  // tells the baseline from the trace where both are one colour
};

// The icon's motif at 16 x 16 and at 32 x 32: a dark screen in a frame, a
// baseline with a low ripple on it, and two tall sharp spikes, the first the
// taller, each with a short overshoot below the baseline.
void drawIcon(CanvasC& c, const InksS& ink) {
    const int s = c.W, k = s / 16;  // k: pixels per unit of the 16 x 16 design
    c.frame(ink.Frame);
    for (int x : {0, s - 1})
        for (int y : {0, s - 1}) c.plot(x, y, CanvasC::Clear);  // rounded corners
    const int base = 11 * k;
    for (int x = 1; x < s - 1; ++x)
        if (!ink.DottedBaseline || x % 2) c.plot(x, base, ink.Baseline);

    // The trace is a polyline through one vertex per column of ripple, and
    // four vertices for each spike: its foot, tip, overshoot and return.
    struct SpikeS {
        int X, Tip;
    };
    const SpikeS spikes[] = {{5 * k, 2 * k}, {11 * k, 5 * k}};
    const double Pi = std::acos(-1.0);
    auto ripple = [&](int x) {
        return base - int(std::lround(0.9 * k * std::sin(x * Pi / (2 * k))));
    };
    int px = 2, py = ripple(px);
    auto to = [&](int x, int y, uint8_t colour) {
        c.line(px, py, x, y, colour);
        px = x, py = y;
    };
    for (const SpikeS& sp : spikes) {
        while (px < sp.X - k) to(px + 1, ripple(px + 1), ink.Trace);
        to(sp.X - k, base, ink.Trace);
        to(sp.X, sp.Tip, ink.Spike);
        to(sp.X + k, base + k + 1, ink.Spike);
        to(sp.X + 2 * k, ripple(sp.X + 2 * k), ink.Spike);
        c.plot(sp.X, sp.Tip, ink.Tip);
    }
    while (px < s - 3) to(px + 1, ripple(px + 1), ink.Trace);
}

}  // namespace

int main() {
    const InksS colour = {Navy, Grey, Teal, Aqua, Yellow, Red, false};
    const InksS mono = {0, 1, 1, 1, 1, 1, true};
    CanvasC big(32, 32, Vga16, colour.Screen), small(16, 16, Vga16, colour.Screen);
    CanvasC bigMono(32, 32, {{0, 0, 0}, {255, 255, 255}}, mono.Screen);
    drawIcon(big, colour);
    drawIcon(bigMono, mono);
    drawIcon(small, colour);
    return writeFile("gui/res/tallywave.ico", ico({{big, 4}, {bigMono, 1}, {small, 4}})) ? 0 : 1;
}
