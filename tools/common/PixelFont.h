#pragma once
// The pixel font of our generated pictures: the program's banner and button
// faces (tools/artgen) and the spike-rule picture of the README
// (tools/spikeplot). Text is set into a 1-bit mask that a tool then stamps
// onto its own canvas in its own colours.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace pixelfont {

// A 1-bit picture, the step between a glyph table and a canvas.
struct MaskS {
    int W = 0, H = 0;
    std::vector<uint8_t> On;
    bool at(int x, int y) const { return x >= 0 && x < W && y >= 0 && y < H && On[y * W + x]; }
};

// A proportional font 9 rows high: capitals, digits and ascenders fill rows 0
// to 6, lower case rows 2 to 6, descenders reach rows 7 and 8. A glyph is as
// wide as its longest row; '#' marks a pixel, rows left out are blank.
struct GlyphS {
    char C;
    const char* Rows[9];
};
inline const GlyphS Font[] = {
    {' ', {"..."}},
    {'(', {"..#", ".#.", "#..", "#..", "#..", ".#.", "..#"}},
    {')', {"#..", ".#.", "..#", "..#", "..#", ".#.", "#.."}},
    {',', {"", "", "", "", "", "", ".#", "#."}},
    {'-', {"", "", "", "####"}},
    {'.', {"", "", "", "", "", "", "#"}},
    {'/', {"....#", "....#", "...#.", "..#..", ".#...", "#....", "#...."}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {".###.", "#...#", "....#", "..##.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {':', {"", "", "#", "", "", "", "#"}},
    {'=', {"", "", "#####", "", "#####"}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'S', {".###.", "#...#", "#....", ".###.", "....#", "#...#", ".###."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
    {'a', {"", "", ".###.", "....#", ".####", "#...#", ".####"}},
    {'b', {"#....", "#....", "####.", "#...#", "#...#", "#...#", "####."}},
    {'c', {"", "", ".###.", "#...#", "#....", "#...#", ".###."}},
    {'d', {"....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"}},
    {'e', {"", "", ".###.", "#...#", "#####", "#....", ".###."}},
    {'f', {"..##", ".#..", "####", ".#..", ".#..", ".#..", ".#.."}},
    {'g', {"", "", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
    {'h', {"#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {'i', {"#", "", "#", "#", "#", "#", "#"}},
    {'k', {"#...", "#...", "#..#", "#.#.", "##..", "#.#.", "#..#"}},
    {'l', {"#", "#", "#", "#", "#", "#", "#"}},
    {'m', {"", "", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"}},
    {'n', {"", "", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {'o', {"", "", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {'p', {"", "", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."}},
    {'r', {"", "", "#.##", "##..", "#...", "#...", "#..."}},
    {'s', {"", "", ".###", "#...", ".##.", "...#", "###."}},
    {'t', {"", ".#.", "###", ".#.", ".#.", ".#.", "..#"}},
    {'u', {"", "", "#...#", "#...#", "#...#", "#..##", ".##.#"}},
    {'v', {"", "", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'w', {"", "", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."}},
    {'x', {"", "", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
    {'y', {"", "", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
};
enum { CapHeight = 7, FontHeight = 9 };

// The glyph of ch; a character the font lacks ends the tool, naming it.
inline const GlyphS& glyph(char ch) {
    for (const GlyphS& g : Font)
        if (g.C == ch) return g;
    std::fprintf(stderr, "pixel font: no glyph for '%c'\n", ch);
    std::exit(1);
}

inline int glyphWidth(const GlyphS& g) {
    size_t w = 0;
    for (const char* row : g.Rows) w = std::max(w, row ? std::strlen(row) : 0);
    return int(w);
}

// The text set in the font with one blank column between letters.
inline MaskS typeset(const std::string& text) {
    MaskS m;
    for (char ch : text) m.W += glyphWidth(glyph(ch)) + (m.W ? 1 : 0);
    m.H = FontHeight;
    m.On.assign(size_t(m.W) * m.H, 0);
    int x = 0;
    for (char ch : text) {
        const GlyphS& g = glyph(ch);
        for (int y = 0; y < FontHeight; ++y)
            for (int i = 0; g.Rows[y] && g.Rows[y][i]; ++i)
                if (g.Rows[y][i] == '#') m.On[y * m.W + x + i] = 1;
        x += glyphWidth(g) + 1;
    }
    return m;
}

// The mask n times the size, with the stair steps of diagonals and curves
// smoothed: each pixel becomes an n x n block, and a triangle at each of its
// corners takes the value of the two neighbours beside that corner where they
// agree and the two opposite ones do not. So a lone diagonal step gets filled
// in and a square corner gets cut off, and large type looks drawn, not tiled.
inline MaskS enlarge(const MaskS& m, int n) {
    MaskS d{n * m.W, n * m.H, std::vector<uint8_t>(size_t(n) * n * m.W * m.H, 0)};
    for (int y = 0; y < m.H; ++y)
        for (int x = 0; x < m.W; ++x) {
            const bool p = m.at(x, y), up = m.at(x, y - 1), down = m.at(x, y + 1);
            const bool left = m.at(x - 1, y), right = m.at(x + 1, y);
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) {
                    const bool h = i < n / 2 ? left : right, v = j < n / 2 ? up : down;
                    const bool h2 = i < n / 2 ? right : left, v2 = j < n / 2 ? down : up;
                    const bool corner = std::min(i, n - 1 - i) + std::min(j, n - 1 - j) < n / 2;
                    d.On[(n * y + j) * d.W + n * x + i] =
                        corner && h == v && h != v2 && v != h2 ? h : p;
                }
        }
    return d;
}

}  // namespace pixelfont
