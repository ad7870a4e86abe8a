// The game's font atlases: ":sprites:fonts:font" (bold, upper case only, with an outlined main sheet and
// a plain ".alt1" sheet of the same layout) and ":sprites:fonts:swiss" (regular, both cases), each with
// its metrics and kerning texts. Glyphs cover ASCII, Latin-1, Latin Extended-A and the typographic
// punctuation of the seven languages of the string table.
#include "DataForge/Content/FontsRaster.h"
#include "DataForge/Forge.h"
#include "DataForge/Writers/FontMetricsWriter.h"

#include "3D/Utf8.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

constexpr int kGlyphPad = 3; // transparent border inside each glyph's rectangle (room for the outline)
constexpr int kGlyphGap = 2; // between rectangles, so linear filtering never picks up a neighbour
constexpr int kMaxSheet = 2048;
constexpr int kMaxKernPairs = 256;

// Quotes, dashes, ellipsis, bullet, the euro and trade mark signs.
const uint32_t kPunctuation[] = {0x2013, 0x2014, 0x2018, 0x2019, 0x201A, 0x201C, 0x201D,
                                 0x201E, 0x2022, 0x2026, 0x2039, 0x203A, 0x20AC, 0x2122};

struct FontSheet
{
    const char* name;
    const FontFace& (*face)();
    float emPixels;
    bool upperCaseOnly; // the game upper-cases every code point before looking it up
    bool outlinedMain;  // main sheet outlined, ".alt1" plain
};

struct PlacedGlyph
{
    uint32_t codepoint;
    GlyphCoverage bitmap;
    int x = 0, y = 0; // rectangle corner in the sheet
};

std::vector<uint32_t> CoveredCodepoints(const FontSheet& sheet)
{
    std::vector<uint32_t> wanted;
    for (uint32_t cp = 0x20; cp <= 0x7E; cp++)
        wanted.push_back(cp);
    for (uint32_t cp = 0xA0; cp <= 0x17F; cp++)
        wanted.push_back(cp);
    wanted.insert(wanted.end(), std::begin(kPunctuation), std::end(kPunctuation));

    std::vector<uint32_t> covered;
    for (uint32_t cp : wanted) {
        if (sheet.upperCaseOnly && ToUpperCodepoint(cp) != cp)
            continue;
        if (cp == ' ' || cp == 0xA0 || FontHasGlyph(sheet.face(), cp))
            covered.push_back(cp);
    }
    if (sheet.upperCaseOnly) // the capital of y with diaeresis, which lives outside Latin-1
        covered.push_back(0x178);
    std::sort(covered.begin(), covered.end());
    covered.erase(std::unique(covered.begin(), covered.end()), covered.end());
    return covered;
}

// Shelf packing, tallest first; returns the sheet's height (a power of two) for the given width, or 0
// when the glyphs do not fit.
int PackGlyphs(std::vector<PlacedGlyph*>& glyphs, int width)
{
    std::stable_sort(glyphs.begin(), glyphs.end(), [](const PlacedGlyph* a, const PlacedGlyph* b) {
        return a->bitmap.height > b->bitmap.height;
    });
    int x = kGlyphGap, y = kGlyphGap, shelf = 0;
    for (PlacedGlyph* g : glyphs) {
        int w = g->bitmap.width + 2 * kGlyphPad, h = g->bitmap.height + 2 * kGlyphPad;
        if (x + w + kGlyphGap > width) {
            x = kGlyphGap;
            y += shelf + kGlyphGap;
            shelf = 0;
        }
        g->x = x;
        g->y = y;
        x += w + kGlyphGap;
        shelf = std::max(shelf, h);
    }
    int needed = y + shelf + kGlyphGap;
    int height = 64;
    while (height < needed)
        height *= 2;
    return height <= kMaxSheet ? height : 0;
}

// Coverage of the glyph spread by `radius` pixels with a soft edge: the outline's alpha.
float DilatedCoverage(const GlyphCoverage& g, int px, int py, float radius)
{
    float best = 0;
    int r = int(std::ceil(radius)) + 1;
    for (int dy = -r; dy <= r; dy++) {
        for (int dx = -r; dx <= r; dx++) {
            int x = px + dx, y = py + dy;
            if (x < 0 || y < 0 || x >= g.width || y >= g.height)
                continue;
            float falloff = std::clamp(radius + 1 - std::hypot(float(dx), float(dy)), 0.0f, 1.0f);
            best = std::max(best, g.coverage[size_t(y) * g.width + x] / 255.0f * falloff);
        }
    }
    return best;
}

Canvas RenderSheet(const std::vector<PlacedGlyph>& glyphs, int width, int height, bool outlined)
{
    const CanvasColor white = {1, 1, 1, 1}, outline = {0.05f, 0.07f, 0.16f, 1};
    Canvas canvas(width, height, WithAlpha(white, 0));
    for (const PlacedGlyph& g : glyphs) {
        const GlyphCoverage& b = g.bitmap;
        for (int y = -kGlyphPad; y < b.height + kGlyphPad; y++) {
            for (int x = -kGlyphPad; x < b.width + kGlyphPad; x++) {
                bool inside = x >= 0 && y >= 0 && x < b.width && y < b.height;
                float fill = inside ? b.coverage[size_t(y) * b.width + x] / 255.0f : 0;
                float edge = outlined ? DilatedCoverage(b, x, y, 2.0f) * 0.9f : 0;
                float alpha = std::max(fill, edge);
                CanvasColor c = alpha > 0 ? MixColor(outline, white, fill / alpha) : white;
                canvas.At(g.x + kGlyphPad + x, g.y + kGlyphPad + y) = WithAlpha(c, alpha);
            }
        }
    }
    return canvas;
}

// The strongest pairs among letters, digits and common punctuation, grouped by first character.
std::vector<KerningPairLine> ChooseKerning(const FontSheet& sheet, const std::vector<PlacedGlyph>& glyphs,
                                           float scale)
{
    std::vector<uint32_t> candidates;
    for (const PlacedGlyph& g : glyphs) {
        uint32_t cp = g.codepoint;
        if ((cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z') || cp == '.' || cp == ',' || cp == '\'' ||
            cp == '-' || cp == '"')
            candidates.push_back(cp);
    }
    std::vector<KerningPairLine> pairs;
    for (const PlacedGlyph& first : glyphs) {
        if (first.bitmap.advance <= 0 ||
            std::find(candidates.begin(), candidates.end(), first.codepoint) == candidates.end())
            continue;
        for (uint32_t second : candidates) {
            float kern = FontKernPixels(sheet.face(), first.codepoint, second, scale);
            int percent = int(std::lround(100.0f * (first.bitmap.advance + kern) / first.bitmap.advance));
            if (percent != 100 && percent >= -128 && percent <= 127)
                pairs.push_back({first.codepoint, second, percent});
        }
    }
    std::stable_sort(pairs.begin(), pairs.end(), [](const KerningPairLine& a, const KerningPairLine& b) {
        return std::abs(a.percent - 100) > std::abs(b.percent - 100);
    });
    if (pairs.size() > size_t(kMaxKernPairs))
        pairs.resize(kMaxKernPairs);
    std::sort(pairs.begin(), pairs.end(), [](const KerningPairLine& a, const KerningPairLine& b) {
        return a.first != b.first ? a.first < b.first : a.second < b.second;
    });
    return pairs;
}

void ForgeFontSheet(const std::filesystem::path& folder, const FontSheet& sheet)
{
    FontLineMetrics m = FontMetricsForEm(sheet.face(), sheet.emPixels);
    float lineHeight = std::ceil(m.ascent + m.descent + m.lineGap);

    std::vector<PlacedGlyph> glyphs;
    for (uint32_t cp : CoveredCodepoints(sheet))
        glyphs.push_back({cp, RasterizeGlyph(sheet.face(), cp, m.scale)});

    std::vector<PlacedGlyph*> drawn;
    for (PlacedGlyph& g : glyphs) {
        if (g.bitmap.width > 0)
            drawn.push_back(&g);
    }
    int width = 512, height = 0;
    while (!(height = PackGlyphs(drawn, width))) {
        width *= 2;
        if (width > kMaxSheet)
            throw std::runtime_error(std::string("font sheet too large: ") + sheet.name);
    }

    std::vector<GlyphMetricsLine> lines;
    for (const PlacedGlyph& g : glyphs) {
        GlyphMetricsLine line;
        line.codepoint = g.codepoint;
        line.advance = g.bitmap.advance;
        line.cellHeight = lineHeight;
        if (g.bitmap.width > 0) {
            line.x = float(g.x);
            line.y = float(g.y);
            line.w = float(g.bitmap.width + 2 * kGlyphPad);
            line.h = float(g.bitmap.height + 2 * kGlyphPad);
            line.xOffset = float(g.bitmap.left - kGlyphPad);
            line.yOffset = std::round(m.ascent) + float(g.bitmap.top - kGlyphPad);
        }
        lines.push_back(line);
    }

    std::string base = sheet.name;
    WriteTextFile(folder / (base + ".txt"), FormatFontMetrics(lineHeight, lines));
    WriteTextFile(folder / (base + ".kerning.txt"), FormatFontKerning(ChooseKerning(sheet, glyphs, m.scale)));
    WritePngFile(folder / (base + ".png"),
                 CanvasToImage(RenderSheet(glyphs, width, height, sheet.outlinedMain)));
    if (sheet.outlinedMain)
        WritePngFile(folder / (base + ".alt1.png"), CanvasToImage(RenderSheet(glyphs, width, height, false)));
}

} // namespace

void ForgeFonts(const std::filesystem::path& dataFolder)
{
    std::filesystem::path folder = dataFolder / "Sprites" / "fonts";
    std::filesystem::create_directories(folder);
    ForgeFontSheet(folder, {"font", DejaVuSansBold, 48, true, true});
    ForgeFontSheet(folder, {"swiss", DejaVuSans, 40, false, false});
}
