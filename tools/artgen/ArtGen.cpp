// Draws the program's pictures and writes them as Windows image files, so the
// art is kept as code: change a drawing here and run tools/art to rebuild it.
// It writes the application icon, resources/tallywave.ico: a spike trace on a
// dark screen, as 32 x 32 in 16 colours, 32 x 32 monochrome and 16 x 16 in 16
// colours; the main dialog's banner, resources/banner.bmp; and the faces of its
// five push buttons, resources/<button>-up.bmp, -down.bmp and -focus.bmp, as
// 256-colour bitmaps, run-length encoded. Paths are relative to the
// repository root. The lettering uses the shared pixel font of
// tools/common/PixelFont.h.
//
// Standard C++17 only; all numbers in the files are written little-endian,
// byte by byte, so the output is the same on any host.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tools/common/PixelFont.h"
#include "tools/common/PixelLine.h"

namespace {

using namespace pixelfont;

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
        pixelline::line(x0, y0, x1, y1, [this, c](int x, int y) { plot(x, y, c); });
    }

    void fill(int x0, int y0, int x1, int y1, uint8_t c) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) plot(x, y, c);
    }

    // A 1-pixel rectangle outline, its top and left in one colour and its
    // bottom and right in another: the edge of a raised or sunken surface.
    void bevel(int x0, int y0, int x1, int y1, uint8_t topLeft, uint8_t bottomRight) {
        line(x0, y0, x1 - 1, y0, topLeft), line(x0, y0, x0, y1 - 1, topLeft);
        line(x0, y1, x1, y1, bottomRight), line(x1, y0, x1, y1, bottomRight);
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

// A row of the canvas as palette indices, clear pixels as colour 0.
Bytes indices(const CanvasC& c, int y) {
    Bytes row(c.W);
    for (int x = 0; x < c.W; ++x) row[x] = c.at(x, y) == CanvasC::Clear ? 0 : c.at(x, y);
    return row;
}

// An icon image's pixels: its rows bottom-up, `bits` bits a pixel, each
// padded to 4 bytes, then its 1-bit AND mask, a set bit where a pixel is clear.
Bytes iconPixels(const CanvasC& c, int bits) {
    const uint32_t xorRow = (uint32_t(c.W) * bits + 31) / 32 * 4;
    const uint32_t andRow = (uint32_t(c.W) + 31) / 32 * 4;
    Bytes b;
    for (int y = c.H - 1; y >= 0; --y) {
        const Bytes pix = indices(c, y);
        Bytes row(xorRow, 0);
        for (int x = 0; x < c.W; ++x)
            row[x * bits / 8] |= uint8_t(pix[x] << (8 - bits - x * bits % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    for (int y = c.H - 1; y >= 0; --y) {
        Bytes row(andRow, 0);
        for (int x = 0; x < c.W; ++x)
            if (c.at(x, y) == CanvasC::Clear) row[x / 8] |= uint8_t(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

// The rows bottom-up, run-length encoded 8 bits a pixel (BI_RLE8). A pair
// (n, colour) with n from 1 to 255 stands for n pixels of that colour; the
// escape 0 then n, n from 3 to 255, is followed by n pixels as they are, and
// a 0 byte after an odd n keeps the pairs on 2-byte boundaries. Every row
// ends with 0 0, and the bitmap with 0 1. Runs of 3 or more go as pairs;
// the pixels between them go as they are, a run of 2 among them taking no
// more room that way, or as pairs when fewer than 3, which the escape cannot
// carry.
Bytes rle8(const CanvasC& c) {
    Bytes b;
    for (int y = c.H - 1; y >= 0; --y) {
        const Bytes pix = indices(c, y);
        const int w = c.W;
        auto runAt = [&](int x) {
            int n = 1;
            while (x + n < w && n < 255 && pix[x + n] == pix[x]) ++n;
            return n;
        };
        for (int x = 0; x < w;) {
            int end = x;
            while (end < w && end - x < 255 && runAt(end) < 3) ++end;
            if (end - x >= 3) {
                b.push_back(0), b.push_back(uint8_t(end - x));
                b.insert(b.end(), pix.begin() + x, pix.begin() + end);
                if ((end - x) % 2) b.push_back(0);
                x = end;
                continue;
            }
            if (end == x) end = x + runAt(x);  // a run of 3 or more
            while (x < end) {
                const int n = std::min(runAt(x), end - x);
                b.push_back(uint8_t(n)), b.push_back(pix[x]);
                x += n;
            }
        }
        b.push_back(0), b.push_back(0);  // end of the row
    }
    b.push_back(0), b.push_back(1);  // end of the bitmap
    return b;
}

enum CompressionE : uint32_t { Uncompressed = 0, Rle8 = 1 };

// The canvas as a device-independent bitmap: BITMAPINFOHEADER, a palette of
// 2^bits entries and the pixels. An icon image's header counts both the
// picture and its AND mask in the height.
Bytes dib(const CanvasC& c, int bits, int height, CompressionE compression, const Bytes& pixels) {
    Bytes b;
    put32(b, 40);
    put32(b, c.W);
    put32(b, height);
    put16(b, 1);     // planes
    put16(b, bits);  // bits per pixel
    put32(b, compression);
    put32(b, pixels.size());
    put32(b, 0), put32(b, 0);  // no preferred resolution
    put32(b, 0), put32(b, 0);  // all 2^bits colours used and important
    for (size_t i = 0; i < (size_t(1) << bits); ++i) {
        const Rgb k = i < c.Palette.size() ? c.Palette[i] : Rgb{0, 0, 0};
        b.insert(b.end(), {k.B, k.G, k.R, 0});
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

struct IconImageS {
    const CanvasC& Canvas;
    int Bits;
};

// An .ico file: ICONDIR, one ICONDIRENTRY per image, then the images' DIBs.
Bytes ico(const std::vector<IconImageS>& images) {
    std::vector<Bytes> dibs;
    for (const IconImageS& im : images)
        dibs.push_back(
            dib(im.Canvas, im.Bits, 2 * im.Canvas.H, Uncompressed, iconPixels(im.Canvas, im.Bits)));
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

// A .bmp file: BITMAPFILEHEADER, then the canvas as an 8-bit DIB, RLE8-encoded.
Bytes bmp(const CanvasC& c) {
    const Bytes info = dib(c, 8, c.H, Rle8, rle8(c));
    Bytes b = {'B', 'M'};
    put32(b, 14 + info.size());
    put16(b, 0), put16(b, 0);     // reserved
    put32(b, 14 + 40 + 4 * 256);  // where the pixels start
    b.insert(b.end(), info.begin(), info.end());
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

// ---- The dialog's bitmaps ----

// The colours of the banner and the buttons, in the order of PanelE; the
// rest of the 256 stay black.
const std::vector<Rgb> Panel = {
    {0x00, 0x00, 0x00},  // button outlines
    {0xFF, 0xFF, 0xFF},  // lit edges, the banner's title
    {0x77, 0x77, 0x77},  // the dialog behind everything
    {0xC8, 0xC8, 0xC8},  // a button's surface
    {0x80, 0x80, 0x80},  // edges turned away from the light
    {0x18, 0x18, 0x18},  // button labels
    {0x00, 0x38, 0xA8},  // the mark of the button with the keyboard focus
    {0x06, 0x16, 0x0C},  // the banner's trace screen
    {0x1C, 0x44, 0x28},  // its grid
    {0x60, 0xFF, 0x78},  // its trace
    {0x20, 0x88, 0x38},  // the trace's softer lower edge
    {0x30, 0x30, 0x30},  // under the banner's title
    {0xE6, 0xE6, 0xC8},  // the banner's subtitle
    {0x50, 0x50, 0x50},  // the banner's engraved rule, dark half
    {0xA0, 0xA0, 0xA0},  // and its light half
};
enum PanelE : uint8_t {
    Outline,
    White,
    Dialog,
    Face,
    Shade,
    Label,
    Focus,
    Screen,
    Grid,
    Trace,
    Glow,
    Shadow,
    Note,
    RuleDark,
    RuleLight
};

void stamp(CanvasC& c, const MaskS& m, int x0, int y0, uint8_t ink) {
    for (int y = 0; y < m.H; ++y)
        for (int x = 0; x < m.W; ++x)
            if (m.at(x, y)) c.plot(x0 + x, y0 + y, ink);
}

enum class ButtonE { Up, Down, Focus };

// A push button face: a black outline with its corner pixels left to the
// dialog, so the button looks rounded, a 2-pixel bevel, lit from the top left
// when up and from the bottom right when pressed, and the label centred on
// its capitals. Pressed, the label moves a pixel right and down as if pushed
// in; with the keyboard focus, the label turns blue and a dotted blue
// rectangle rings it.
CanvasC button(const std::string& label, int w, int h, ButtonE state) {
    CanvasC c(w, h, Panel, Face);
    c.frame(Outline);
    for (int x : {0, w - 1})
        for (int y : {0, h - 1}) c.plot(x, y, Dialog);
    const bool down = state == ButtonE::Down;
    for (int i = 1; i <= 2; ++i)
        c.bevel(i, i, w - 1 - i, h - 1 - i, down ? Shade : White, down ? White : Shade);
    if (down) c.line(1, 1, w - 2, 1, Outline), c.line(1, 1, 1, h - 2, Outline);

    const MaskS text = typeset(label);
    const int push = down ? 1 : 0;
    const bool focus = state == ButtonE::Focus;
    stamp(c, text, (w - text.W) / 2 + push, (h - CapHeight) / 2 + push, focus ? Focus : Label);
    if (focus)
        for (int x = 5; x < w - 5; ++x)
            for (int y = 5; y < h - 5; ++y)
                if ((x == 5 || x == w - 6 || y == 5 || y == h - 6) && (x + y) % 2 == 0)
                    c.plot(x, y, Focus);
    return c;
}

// The banner's motif: a small sunken screen with a faint grid and a green
// trace that ripples along a baseline and rises into three spikes of
// different heights, each with a short overshoot below the line.
void drawScope(CanvasC& c, int x0, int y0, int x1, int y1) {
    c.bevel(x0, y0, x1, y1, Shade, White);
    c.fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, Screen);
    for (int x = x0 + 6; x < x1; x += 10)
        for (int y = y0 + 5; y < y1; y += 2) c.plot(x, y, Grid);
    for (int y = y0 + 6; y < y1; y += 10)
        for (int x = x0 + 2; x < x1; x += 2) c.plot(x, y, Grid);

    const int base = y1 - 14;
    const double Pi = std::acos(-1.0);
    auto ripple = [&](int x) { return base - int(std::lround(1.4 * std::sin(x * Pi / 5))); };
    struct SpikeS {
        int X, Tip;
    };
    const SpikeS spikes[] = {{x0 + 26, y0 + 7}, {x0 + 56, y0 + 20}, {x0 + 82, y0 + 12}};
    int px = x0 + 3, py = ripple(px);
    auto to = [&](int x, int y) {
        c.line(px, py + 1, x, y + 1, Glow);
        c.line(px, py, x, y, Trace);
        px = x, py = y;
    };
    for (const SpikeS& sp : spikes) {
        while (px < sp.X - 3) to(px + 1, ripple(px + 1));
        to(sp.X, sp.Tip);
        to(sp.X + 3, base + 6);
        to(sp.X + 6, ripple(sp.X + 6));
    }
    while (px < x1 - 3) to(px + 1, ripple(px + 1));
}

// The banner across the top of the main dialog, on the dialog's own grey:
// the screen motif at the left, then the name, large, with a drop shadow,
// an engraved rule, and what the program does beneath it.
CanvasC banner() {
    CanvasC c(450, 70, Panel, Dialog);
    drawScope(c, 8, 5, 112, 64);

    const MaskS title = enlarge(typeset("Tallywave"), 4);
    const int tx = 130, ty = 5;
    stamp(c, title, tx + 2, ty + 2, Shadow);
    stamp(c, title, tx, ty, White);
    c.line(tx, 43, 440, 43, RuleDark), c.line(tx + 1, 44, 441, 44, RuleLight);
    stamp(c, enlarge(typeset("spike counter for wave files"), 2), tx, 48, Note);
    return c;
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
    bool ok = writeFile("resources/tallywave.ico", ico({{big, 4}, {bigMono, 1}, {small, 4}}));

    ok = writeFile("resources/banner.bmp", bmp(banner())) && ok;
    struct ButtonS {
        const char *Name, *Text;
        int W;
    };
    const ButtonS buttons[] = {
        {"select", "Select", 90}, {"check", "Check", 60}, {"count", "Count", 60},
        {"help", "Help", 60},     {"quit", "Quit", 60},
    };
    const std::pair<ButtonE, const char*> states[] = {
        {ButtonE::Up, "up"}, {ButtonE::Down, "down"}, {ButtonE::Focus, "focus"}};
    for (const ButtonS& b : buttons)
        for (const auto& [state, suffix] : states)
            ok = writeFile(std::string("resources/") + b.Name + "-" + suffix + ".bmp",
                           bmp(button(b.Text, b.W, 30, state))) &&
                 ok;
    return ok ? 0 : 1;
}
