// AtlasLayout.cpp: measuring and placing text. Both walk the text with the same rules, so the quads
// placed are exactly the quads measured:
//   - fonts only: TAB to the next multiple of 128 of the pen (the width so far when measuring), LF a
//     new line, VT shrinks the glyphs to 0.8 and lowers them, CR back to full size; kerning scales the
//     advance before a partner;
//   - TEXT_SMALLCAPS upper-cases every letter and draws the small ones at 0.8, lowered; otherwise
//     TEXT_UPPERCASE or an upper-case atlas upper-cases everything;
//   - a code point the atlas does not hold is skipped.
#include "3D/Atlas.h"

#include "3D/Utf8.h"
#include "System/Alerts.h"

#include <cmath>

constexpr float kShrunkScale = 0.8f;
constexpr float kShrunkDrop = 0.16000003f; // of the line height: the small glyphs sit on the baseline
constexpr float kTabWidth = 128;

enum
{
    CHAR_TAB = 9,
    CHAR_LINE_FEED = 10,
    CHAR_SHRINK = 11, // VT
    CHAR_FULL_SIZE = 13,
};

static bool UppercasesAll(const Atlas* atlas, int flags)
{
    return atlas->forceUppercase || (flags & (TEXT_UPPERCASE | TEXT_SMALLCAPS));
}

// Advance factor of a glyph before the character at next: its pair's percentage, or 1.
static float KerningFactor(const Atlas* atlas, const GlyphRecord* glyph, const char* next, int flags)
{
    uint32_t following = DecodeUTF8(&next);
    if (UppercasesAll(atlas, flags))
        following = ToUpperCodepoint(following);
    for (int i = 0; i < glyph->kernCount; i++) {
        int pair = glyph->kernStart + i;
        if (pair < atlas->numKernPairs && atlas->kernPartner[pair] == following)
            return atlas->kernPercent[pair] * 0.01f;
    }
    return 1;
}

static float NextTabStop(float x)
{
    return std::ceil((x + 1) / kTabWidth) * kTabWidth;
}

// The code point to look up, and whether small capitals draw it shrunk.
static uint32_t CaseForLookup(const Atlas* atlas, uint32_t codepoint, int flags, bool* shrunk)
{
    *shrunk = false;
    if (flags & TEXT_SMALLCAPS) {
        uint32_t upper = ToUpperCodepoint(codepoint);
        *shrunk = upper != codepoint;
        return upper;
    }
    if (UppercasesAll(atlas, flags))
        return ToUpperCodepoint(codepoint);
    return codepoint;
}

void Atlas_ComputeMetrics(const Atlas* atlas, const char* text, int flags, TextMetrics* m)
{
    m->numQuads = 0;
    m->maxWidth = 0;
    m->totalHeight = 0;
    int currentLine = 0;
    float width = 0, height = 0, scale = 1;

    const char* cursor = text;
    for (uint32_t codepoint; (codepoint = DecodeUTF8(&cursor)) != 0;) {
        if (atlas->isFont) {
            if (codepoint == CHAR_TAB) {
                width = NextTabStop(width);
                continue;
            }
            if (codepoint == CHAR_LINE_FEED) {
                m->lineWidth[currentLine] = width;
                m->lineHeight[currentLine] = height;
                m->maxWidth = std::fmax(m->maxWidth, width);
                m->totalHeight += height;
                currentLine++;
                GAME_ASSERT(currentLine < MAX_LINEBREAKS_PER_OBJNODE);
                width = height = 0;
                continue;
            }
            if (codepoint == CHAR_SHRINK) {
                scale *= kShrunkScale;
                continue;
            }
            if (codepoint == CHAR_FULL_SIZE) {
                scale = 1;
                continue;
            }
        }
        bool shrunk;
        codepoint = CaseForLookup(atlas, codepoint, flags, &shrunk);
        if (flags & TEXT_SMALLCAPS)
            scale = shrunk ? kShrunkScale : 1;

        const GlyphRecord* glyph = Atlas_GetGlyph(atlas, codepoint);
        if (!glyph)
            continue;
        float factor = atlas->isFont ? KerningFactor(atlas, glyph, cursor, flags) : 1;
        width += factor * glyph->advance * scale;
        height = std::fmax(height, atlas->isFont ? atlas->lineHeight : glyph->cellHeight);
        if (glyph->w > 0)
            m->numQuads++;
    }
    m->lineWidth[currentLine] = width;
    m->lineHeight[currentLine] = height;
    m->maxWidth = std::fmax(m->maxWidth, width);
    m->totalHeight += height;
    m->numLines = currentLine + 1;

    float top = (flags & TEXT_ALIGN_TOP)      ? 0
                : (flags & TEXT_ALIGN_BOTTOM) ? -m->totalHeight
                                              : -m->totalHeight / 2;
    for (int i = 0; i < m->numLines; i++) {
        float w = m->lineWidth[i];
        m->lineX[i] = (flags & TEXT_ALIGN_LEFT) ? 0 : (flags & TEXT_ALIGN_RIGHT) ? -w : -w / 2;
        m->lineY[i] = top;
        top += m->lineHeight[i];
    }
}

static void PutQuad(const GlyphRecord* glyph, float penX, float penY, float scale, Point3D* points,
                    float* uvs)
{
    float left = penX + scale * glyph->xOffset;
    float top = penY + scale * glyph->yOffset;
    float right = left + scale * glyph->w;
    float bottom = top + scale * glyph->h;
    points[0] = {left, bottom, 0};
    points[1] = {right, bottom, 0};
    points[2] = {right, top, 0};
    points[3] = {left, top, 0};
    const float quadUVs[8] = {glyph->uLeft,  glyph->vBottom, glyph->uRight, glyph->vBottom,
                              glyph->uRight, glyph->vTop,    glyph->uLeft,  glyph->vTop};
    for (int i = 0; i < 8; i++)
        uvs[i] = quadUVs[i];
}

int Atlas_LayoutQuads(const Atlas* atlas, const char* text, int flags, const TextMetrics* m, Point3D* points,
                      float* uvs, int maxQuads)
{
    int line = 0, quads = 0;
    float scale = 1;
    float penX = m->lineX[0], penY = m->lineY[0];
    const float drop = atlas->lineHeight * kShrunkDrop;

    const char* cursor = text;
    for (uint32_t codepoint; (codepoint = DecodeUTF8(&cursor)) != 0 && quads < maxQuads;) {
        if (atlas->isFont) {
            if (codepoint == CHAR_TAB) {
                // Stops sit on the text's own x axis, so tabbed columns line up across lines whatever
                // their alignment; only a left-aligned line's width is measured to match.
                penX = NextTabStop(penX);
                continue;
            }
            if (codepoint == CHAR_LINE_FEED) {
                if (line + 1 < m->numLines)
                    line++;
                penX = m->lineX[line];
                penY = m->lineY[line];
                continue;
            }
            if (codepoint == CHAR_SHRINK) {
                scale *= kShrunkScale;
                penY += drop;
                continue;
            }
            if (codepoint == CHAR_FULL_SIZE) {
                scale = 1;
                penY = m->lineY[line];
                continue;
            }
        }
        bool shrunk;
        codepoint = CaseForLookup(atlas, codepoint, flags, &shrunk);
        if (flags & TEXT_SMALLCAPS) {
            scale = shrunk ? kShrunkScale : 1;
            penY = m->lineY[line] + (shrunk ? drop : 0);
        }

        const GlyphRecord* glyph = Atlas_GetGlyph(atlas, codepoint);
        if (!glyph)
            continue;
        if (glyph->w <= 0) {
            penX += glyph->advance;
            continue;
        }
        PutQuad(glyph, penX, penY, scale, &points[quads * 4], &uvs[quads * 8]);
        quads++;
        float factor = atlas->isFont ? KerningFactor(atlas, glyph, cursor, flags) : 1;
        penX += glyph->advance * factor * scale;
    }
    return quads;
}
