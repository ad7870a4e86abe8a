// TrueType rasterising for the generated fonts and the lettering of the 2D art, from the DejaVu fonts of
// the system's fonts-dejavu-core package. A missing font file is a std::runtime_error naming it.
#pragma once

#include "DataForge/Content/Canvas2D.h"

#include <cstdint>
#include <string>
#include <vector>

struct FontFace; // a loaded font file

const FontFace& DejaVuSans();     // regular
const FontFace& DejaVuSansBold(); // bold

struct FontLineMetrics
{
    float scale;   // font units to pixels
    float ascent;  // pixels above the baseline
    float descent; // pixels below it (positive)
    float lineGap;
};

struct GlyphCoverage
{
    int width = 0, height = 0; // 0 for a glyph that draws nothing
    int left = 0, top = 0;     // bitmap corner from the pen on the baseline (top negative: above)
    float advance = 0;         // pixels
    std::vector<uint8_t> coverage;
};

FontLineMetrics FontMetricsForEm(const FontFace& face, float emPixels);
bool FontHasGlyph(const FontFace& face, uint32_t codepoint);
GlyphCoverage RasterizeGlyph(const FontFace& face, uint32_t codepoint, float scale);
float FontKernPixels(const FontFace& face, uint32_t first, uint32_t second, float scale);

// Width in pixels of UTF-8 text at emPixels.
float MeasureFontText(const FontFace& face, const std::string& text, float emPixels);
// UTF-8 text with its baseline's left end at (x, baseline), painted by paint where the glyphs cover.
void DrawFontText(Canvas& canvas, const FontFace& face, const std::string& text, float x, float baseline,
                  float emPixels, const PaintFn& paint);
// The same centred on cx, with the text's capital height centred on cy.
void DrawFontTextCentred(Canvas& canvas, const FontFace& face, const std::string& text, float cx, float cy,
                         float emPixels, const PaintFn& paint);
