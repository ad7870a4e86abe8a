// AtlasFiles.cpp: the atlas record, and the metrics and kerning texts that fill it. Both texts come from
// data files and are read as untrusted: a line is parsed only within itself, counts never size an
// allocation, and every glyph rectangle must lie inside its sheet.
#include "3D/Atlas.h"

#include "3D/Utf8.h"
#include "System/Alerts.h"
#include "System/Log.h"
#include "System/Memory.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

constexpr int GLYPHS_PER_PAGE = 256;
constexpr int MAX_METRICS_LINE = 512;

// A fault in a data file: the check that failed, the file and where in it ("line 3", "entry 7").
[[noreturn]] static void AtlasFileFault(const char* function, int sourceLine, const char* condition,
                                        const char* fileName, const char* unit, int position)
{
    ShowFatalAlert("%s:%d: %s (%s, %s %d)", function, sourceLine, condition, fileName, unit, position);
}

Atlas* Atlas_NewRecord(const char* name, int flags)
{
    Atlas* atlas = (Atlas*)AllocPtrClear(sizeof(Atlas));
    strncpy(atlas->name, name, ATLAS_NAME_LENGTH);
    atlas->isFont = (flags & ATLAS_FONT) != 0;
    atlas->forceUppercase = atlas->isFont && (flags & ATLAS_UPPERCASE);
    atlas->numPages = atlas->isFont ? ATLAS_FONT_PAGES : ATLAS_SHEET_PAGES;
    atlas->pages = (GlyphRecord**)AllocPtrClear(atlas->numPages * (int32_t)sizeof(GlyphRecord*));
    if (atlas->isFont) {
        atlas->kernPartner = (uint16_t*)AllocPtrClear(MAX_KERNPAIRS * (int32_t)sizeof(uint16_t));
        atlas->kernPercent = (int8_t*)AllocPtrClear(MAX_KERNPAIRS * (int32_t)sizeof(int8_t));
    }
    return atlas;
}

void Atlas_Free(Atlas* atlas)
{
    if (!atlas)
        return;
    if (atlas->material)
        MO_DisposeObjectReference(atlas->material);
    for (int i = 0; i < atlas->numPages; i++)
        SafeDisposePtr(atlas->pages[i]);
    SafeDisposePtr(atlas->pages);
    SafeDisposePtr(atlas->kernPartner);
    SafeDisposePtr(atlas->kernPercent);
    SafeDisposePtr(atlas);
}

const GlyphRecord* Atlas_GetGlyph(const Atlas* atlas, uint32_t codepoint)
{
    uint32_t page = codepoint / GLYPHS_PER_PAGE;
    if (page >= (uint32_t)atlas->numPages || !atlas->pages[page])
        return nullptr;
    return &atlas->pages[page][codepoint % GLYPHS_PER_PAGE];
}

static GlyphRecord* GetOrAddGlyph(Atlas* atlas, uint32_t codepoint)
{
    GlyphRecord*& page = atlas->pages[codepoint / GLYPHS_PER_PAGE];
    if (!page)
        page = (GlyphRecord*)AllocPtrClear(GLYPHS_PER_PAGE * (int32_t)sizeof(GlyphRecord));
    return &page[codepoint % GLYPHS_PER_PAGE];
}

static void SetTextureRectangle(const Atlas* atlas, GlyphRecord* glyph, float x, float y)
{
    glyph->uLeft = x / atlas->textureWidth;
    glyph->vTop = y / atlas->textureHeight;
    glyph->uRight = (x + glyph->w) / atlas->textureWidth;
    glyph->vBottom = (y + glyph->h) / atlas->textureHeight;
}

void Atlas_SetSingleImageGlyph(Atlas* atlas)
{
    GlyphRecord* glyph = GetOrAddGlyph(atlas, 1);
    glyph->w = glyph->advance = (float)atlas->textureWidth;
    glyph->h = glyph->cellHeight = (float)atlas->textureHeight;
    SetTextureRectangle(atlas, glyph, 0, 0);
}

// Copies the line at *cursor into line (NUL-terminated) and moves the cursor past its end (LF, CR or
// CR LF). False for a line too long to be a metrics line.
static bool ReadLine(const char** cursor, char line[MAX_METRICS_LINE])
{
    const char* p = *cursor;
    size_t length = strcspn(p, "\r\n");
    bool fits = length < MAX_METRICS_LINE;
    size_t copied = fits ? length : MAX_METRICS_LINE - 1;
    memcpy(line, p, copied);
    line[copied] = 0;
    p += length;
    if (*p == '\r') {
        p++;
        if (*p == '\n')
            p++;
    } else if (*p == '\n') {
        p++;
    }
    *cursor = p;
    return fits;
}

static bool AllFinite(const float* values, int count)
{
    for (int i = 0; i < count; i++) {
        if (!std::isfinite(values[i]))
            return false;
    }
    return true;
}

// Every digit takes the advance of '4' and is centred in its width, so columns of numbers line up.
static void MakeDigitsTabular(Atlas* atlas)
{
    const GlyphRecord* four = Atlas_GetGlyph(atlas, '4');
    if (!four)
        return;
    const float fourAdvance = four->advance, fourWidth = four->w;
    for (uint32_t digit = '0'; digit <= '9'; digit++) {
        GlyphRecord* glyph = GetOrAddGlyph(atlas, digit);
        glyph->xOffset += (fourWidth - glyph->w) / 2;
        glyph->advance = fourAdvance;
    }
}

void Atlas_ParseMetrics(Atlas* atlas, const char* text, const char* fileName)
{
    char line[MAX_METRICS_LINE];
    const char* cursor = text;
    int lineNumber = 1;

    int glyphCount = 0;
    int nArgs = ReadLine(&cursor, line) ? sscanf(line, "%d %f", &glyphCount, &atlas->lineHeight) : 0;
    if (nArgs != 2 || !std::isfinite(atlas->lineHeight))
        AtlasFileFault(__func__, __LINE__, "nArgs == 2", fileName, "line", lineNumber);

    const uint32_t firstUnsupported = (uint32_t)atlas->numPages * GLYPHS_PER_PAGE;
    for (int i = 0; i < glyphCount; i++) {
        lineNumber++;
        int codepoint = 0;
        float v[8]; // x, y, w, h, xOffset, yOffset, advance, cellHeight
        nArgs = ReadLine(&cursor, line) ? sscanf(line, "%d %f %f %f %f %f %f %f %f", &codepoint, &v[0], &v[1],
                                                 &v[2], &v[3], &v[4], &v[5], &v[6], &v[7])
                                        : 0;
        if (nArgs != 9 || !AllFinite(v, 8))
            AtlasFileFault(__func__, __LINE__, "nArgs == 9", fileName, "line", lineNumber);

        if ((uint32_t)codepoint >= firstUnsupported) {
            LogLine(kLogInfo, "WARNING: codepoint 0x%x exceeds supported maximum (0x%x)", (unsigned)codepoint,
                    firstUnsupported - 1);
            continue;
        }
        const float x = v[0], y = v[1], w = v[2], h = v[3];
        if (w > 0 &&
            (x < 0 || y < 0 || h < 0 || x + w > atlas->textureWidth || y + h > atlas->textureHeight)) {
            ShowFatalAlert("%s: glyph 0x%x at (%g, %g) size %g x %g lies outside the %d x %d sheet (line %d)",
                           fileName, (unsigned)codepoint, x, y, w, h, atlas->textureWidth,
                           atlas->textureHeight, lineNumber);
        }

        GlyphRecord* glyph = GetOrAddGlyph(atlas, (uint32_t)codepoint);
        glyph->w = w;
        glyph->h = h;
        glyph->xOffset = v[4];
        glyph->yOffset = v[5];
        glyph->advance = v[6];
        glyph->cellHeight = v[7];
        SetTextureRectangle(atlas, glyph, x, y);
    }

    if (atlas->isFont)
        MakeDigitsTabular(atlas);
}

static const char* SkipSeparators(const char* p)
{
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
        p++;
    return p;
}

// The glyph a kerning pair belongs to, for writing; null when the metrics never defined it (an entry of a
// page that other glyphs opened is all zeros).
static GlyphRecord* FindKernedGlyph(Atlas* atlas, uint32_t codepoint)
{
    uint32_t page = codepoint / GLYPHS_PER_PAGE;
    if (page >= (uint32_t)atlas->numPages || !atlas->pages[page])
        return nullptr;
    GlyphRecord* glyph = &atlas->pages[page][codepoint % GLYPHS_PER_PAGE];
    return (glyph->w > 0 || glyph->advance != 0) ? glyph : nullptr;
}

void Atlas_ParseKerning(Atlas* atlas, const char* text, const char* fileName)
{
    GAME_ASSERT(atlas->isFont);
    const char* p = text;
    int entry = 0;
    for (;;) {
        p = SkipSeparators(p);
        if (!*p)
            break;
        entry++;
        uint32_t codepoint1 = DecodeUTF8(&p);
        if (!codepoint1)
            AtlasFileFault(__func__, __LINE__, "codepoint1", fileName, "entry", entry);
        uint32_t codepoint2 = DecodeUTF8(&p);
        if (!codepoint2)
            AtlasFileFault(__func__, __LINE__, "codepoint2", fileName, "entry", entry);
        p = SkipSeparators(p);
        if (!*p)
            AtlasFileFault(__func__, __LINE__, "*data", fileName, "entry", entry);

        // strtol rather than "%d": an out-of-range number saturates instead of being undefined.
        char* end = nullptr;
        long value = strtol(p, &end, 10);
        if (end == p)
            AtlasFileFault(__func__, __LINE__, "scannedTokens == 1", fileName, "entry", entry);
        p = end;

        GlyphRecord* g = FindKernedGlyph(atlas, codepoint1);
        if (!g || codepoint2 > 0xFFFF) // a partner that does not fit the table could never follow the glyph
            continue;
        if (g->kernCount == 0) {
            if (g->kernStart != 0)
                AtlasFileFault(__func__, __LINE__, "g->kernTableOffset == 0", fileName, "entry", entry);
            g->kernStart = (uint16_t)atlas->numKernPairs;
        } else if (g->kernStart + g->kernCount != atlas->numKernPairs) {
            AtlasFileFault(__func__, __LINE__, "kern pair blocks aren't contiguous!", fileName, "entry",
                           entry);
        }
        // Checked before the store: the table has exactly MAX_KERNPAIRS entries.
        if (atlas->numKernPairs >= MAX_KERNPAIRS)
            AtlasFileFault(__func__, __LINE__, "kernTableOffset <= MAX_KERNPAIRS", fileName, "entry", entry);
        atlas->kernPartner[atlas->numKernPairs] = (uint16_t)codepoint2;
        atlas->kernPercent[atlas->numKernPairs] = (int8_t)(value < -128 ? -128 : value > 127 ? 127 : value);
        atlas->numKernPairs++;
        g->kernCount++;
    }
}
