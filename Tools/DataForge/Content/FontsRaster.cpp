#include "DataForge/Content/FontsRaster.h"

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

struct FontFace
{
    std::vector<uint8_t> file;
    stbtt_fontinfo info;
};

static FontFace LoadFace(const char* path)
{
    FontFace face;
    std::ifstream in(path, std::ios::binary);
    face.file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (face.file.empty() || !stbtt_InitFont(&face.info, face.file.data(), 0))
        throw std::runtime_error(std::string("cannot read the font ") + path +
                                 " (install fonts-dejavu-core)");
    return face;
}

const FontFace& DejaVuSans()
{
    static const FontFace face = LoadFace("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    return face;
}

const FontFace& DejaVuSansBold()
{
    static const FontFace face = LoadFace("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
    return face;
}

FontLineMetrics FontMetricsForEm(const FontFace& face, float emPixels)
{
    int ascent, descent, lineGap;
    stbtt_GetFontVMetrics(&face.info, &ascent, &descent, &lineGap);
    FontLineMetrics m;
    m.scale = stbtt_ScaleForMappingEmToPixels(&face.info, emPixels);
    m.ascent = ascent * m.scale;
    m.descent = -descent * m.scale;
    m.lineGap = lineGap * m.scale;
    return m;
}

bool FontHasGlyph(const FontFace& face, uint32_t codepoint)
{
    return stbtt_FindGlyphIndex(&face.info, int(codepoint)) != 0;
}

GlyphCoverage RasterizeGlyph(const FontFace& face, uint32_t codepoint, float scale)
{
    GlyphCoverage g;
    int advance, leftBearing;
    stbtt_GetCodepointHMetrics(&face.info, int(codepoint), &advance, &leftBearing);
    g.advance = advance * scale;
    int x0, y0, x1, y1;
    stbtt_GetCodepointBitmapBox(&face.info, int(codepoint), scale, scale, &x0, &y0, &x1, &y1);
    if (x1 <= x0 || y1 <= y0)
        return g;
    g.width = x1 - x0;
    g.height = y1 - y0;
    g.left = x0;
    g.top = y0;
    g.coverage.assign(size_t(g.width) * g.height, 0);
    stbtt_MakeCodepointBitmap(&face.info, g.coverage.data(), g.width, g.height, g.width, scale, scale,
                              int(codepoint));
    return g;
}

float FontKernPixels(const FontFace& face, uint32_t first, uint32_t second, float scale)
{
    return stbtt_GetCodepointKernAdvance(&face.info, int(first), int(second)) * scale;
}

static std::vector<uint32_t> DecodeText(const std::string& text)
{
    std::vector<uint32_t> out;
    for (size_t i = 0; i < text.size();) {
        uint8_t b = uint8_t(text[i]);
        int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        uint32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k <= extra && i + k < text.size(); k++)
            cp = (cp << 6) | (uint8_t(text[i + k]) & 0x3F);
        out.push_back(cp);
        i += size_t(extra) + 1;
    }
    return out;
}

float MeasureFontText(const FontFace& face, const std::string& text, float emPixels)
{
    FontLineMetrics m = FontMetricsForEm(face, emPixels);
    std::vector<uint32_t> cps = DecodeText(text);
    float width = 0;
    for (size_t i = 0; i < cps.size(); i++) {
        int advance, leftBearing;
        stbtt_GetCodepointHMetrics(&face.info, int(cps[i]), &advance, &leftBearing);
        width += advance * m.scale;
        if (i + 1 < cps.size())
            width += FontKernPixels(face, cps[i], cps[i + 1], m.scale);
    }
    return width;
}

void DrawFontText(Canvas& canvas, const FontFace& face, const std::string& text, float x, float baseline,
                  float emPixels, const PaintFn& paint)
{
    FontLineMetrics m = FontMetricsForEm(face, emPixels);
    std::vector<uint32_t> cps = DecodeText(text);
    float pen = x;
    for (size_t i = 0; i < cps.size(); i++) {
        // Rendered at the pen's sub-pixel position so that letter spacing stays even.
        float shift = pen - std::floor(pen);
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBoxSubpixel(&face.info, int(cps[i]), m.scale, m.scale, shift, 0, &x0, &y0,
                                            &x1, &y1);
        if (x1 > x0 && y1 > y0) {
            int w = x1 - x0, h = y1 - y0;
            std::vector<uint8_t> coverage(size_t(w) * h);
            stbtt_MakeCodepointBitmapSubpixel(&face.info, coverage.data(), w, h, w, m.scale, m.scale, shift,
                                              0, int(cps[i]));
            int left = int(std::floor(pen)) + x0, top = int(std::lround(baseline)) + y0;
            for (int y = 0; y < h; y++) {
                for (int xx = 0; xx < w; xx++) {
                    float c = coverage[size_t(y) * w + xx] / 255.0f;
                    if (c > 0)
                        BlendPixel(canvas, left + xx, top + y, paint(left + xx + 0.5f, top + y + 0.5f), c);
                }
            }
        }
        int advance, leftBearing;
        stbtt_GetCodepointHMetrics(&face.info, int(cps[i]), &advance, &leftBearing);
        pen += advance * m.scale;
        if (i + 1 < cps.size())
            pen += FontKernPixels(face, cps[i], cps[i + 1], m.scale);
    }
}

void DrawFontTextCentred(Canvas& canvas, const FontFace& face, const std::string& text, float cx, float cy,
                         float emPixels, const PaintFn& paint)
{
    float width = MeasureFontText(face, text, emPixels);
    float capHeight = 0.73f * emPixels; // capitals of the DejaVu fonts
    DrawFontText(canvas, face, text, cx - width / 2, cy + capHeight / 2, emPixels, paint);
}
