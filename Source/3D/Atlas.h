// Atlas.h: texture sheets addressed by code point. A font atlas holds glyph metrics for code points
// 0..0x3FFF with kerning pairs and lays out text with line breaks, tabs and small capitals; a sprite-sheet
// atlas holds code points 0..0xFF. Text is laid out in units of sheet pixels with y growing downward, and
// either drawn at once (immediate quads) or placed into a text mesh (TextMesh.h).
//
// Metrics and kerning files are untrusted: every malformed line, glyph outside its sheet or bad kerning
// block is a fatal alert naming the file; nothing past the text is ever read.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"
#include "3D/MetaObjects.h"

constexpr int MAX_ATLASES = 4;
constexpr int MAX_KERNPAIRS = 256;
constexpr int MAX_LINEBREAKS_PER_OBJNODE = 16; // lines of one laid-out text
constexpr int MAX_IMMEDIATE_TEXT_QUADS = 1024; // an immediate draw stays below this
constexpr int ATLAS_NAME_LENGTH = 32;
constexpr int ATLAS_FONT_PAGES = 64; // 256 code points each
constexpr int ATLAS_SHEET_PAGES = 1;

// Slots of gAtlases.
enum
{
    ATLAS_SLOT_FONT = 1,     // ":sprites:fonts:font", upper case
    ATLAS_SLOT_FONT_ALT = 2, // the same with its alternate texture
    ATLAS_SLOT_SWISS = 3,    // ":sprites:fonts:swiss", the screens' font
};

// Load flags.
enum
{
    ATLAS_SINGLE_IMAGE = 0x01, // the whole sheet is the glyph of code point 1; no metrics file
    ATLAS_FONT = 0x02,         // 64 pages, kerning, control characters
    ATLAS_ALT_TEXTURE = 0x04,  // the texture is "<name>.alt1"
    ATLAS_UPPERCASE = 0x08,    // fonts: every code point is upper-cased before look-up
};

// Text flags of layout and drawing.
enum
{
    TEXT_ALIGN_LEFT = 0x02, // neither left nor right: centred horizontally
    TEXT_ALIGN_RIGHT = 0x04,
    TEXT_ALIGN_TOP = 0x08, // neither top nor bottom: centred vertically
    TEXT_ALIGN_BOTTOM = 0x10,
    TEXT_ADDITIVE = 0x20, // immediate drawing only
    TEXT_UPPERCASE = 0x80,
    TEXT_SMALLCAPS = 0x100,
};

struct GlyphRecord
{
    float w, h;             // quad size; w <= 0: the glyph only advances the pen
    float xOffset, yOffset; // quad offset from the pen
    float advance;
    float cellHeight; // line height of a sprite-sheet glyph
    float uLeft, vTop, uRight, vBottom;
    uint16_t kernStart; // the glyph's block in the atlas's kerning arrays
    uint16_t kernCount;
};

struct Atlas
{
    char name[ATLAS_NAME_LENGTH + 1];
    MetaObject* material; // one reference; null until the texture is loaded
    int32_t textureWidth, textureHeight;
    float lineHeight;
    int32_t numPages;
    GlyphRecord** pages;   // numPages pointers, each null or 256 glyphs
    uint16_t* kernPartner; // fonts: MAX_KERNPAIRS second code points
    int8_t* kernPercent;   // fonts: advance scale of each pair, in percent
    int32_t numKernPairs;  // used entries of the kerning arrays
    bool isFont;
    bool forceUppercase;
};

// Layout of one text. Lines are laid out from (lineX, lineY), y growing downward.
struct TextMetrics
{
    int32_t numQuads; // glyphs that draw a quad
    int32_t numLines;
    float maxWidth, totalHeight;
    float lineWidth[MAX_LINEBREAKS_PER_OBJNODE];
    float lineHeight[MAX_LINEBREAKS_PER_OBJNODE];
    float lineX[MAX_LINEBREAKS_PER_OBJNODE];
    float lineY[MAX_LINEBREAKS_PER_OBJNODE];
};

extern Atlas* gAtlases[MAX_ATLASES];

// ---------------------------------------------------------------------------------------------------------
// Loading and disposal (AtlasLoad.cpp)
// ---------------------------------------------------------------------------------------------------------

// Fills slot with the atlas `name`; keeps it when the slot already holds that name.
void LoadSpriteAtlas(int slot, const char* name, int flags);
// Texture "<name>" (or "<name>.alt1"), metrics "<name>.txt", fonts also "<name>.kerning.txt" when present.
Atlas* Atlas_Load(const char* name, int flags);
void DisposeAtlas(int slot); // empty slots are left alone
void DisposeAllAtlases();

// ---------------------------------------------------------------------------------------------------------
// Records, metrics and kerning files (AtlasFiles.cpp)
// ---------------------------------------------------------------------------------------------------------

Atlas* Atlas_NewRecord(const char* name, int flags); // no texture and no glyphs yet
void Atlas_Free(Atlas* atlas); // drops the material reference; frees glyphs, kerning and record
// The glyph of code point 1 covering the whole sheet (textureWidth and textureHeight set).
void Atlas_SetSingleImageGlyph(Atlas* atlas);
// Parses a NUL-terminated metrics text into the atlas (texture size set); fileName names it in messages.
// Fonts then get tabular digits.
void Atlas_ParseMetrics(Atlas* atlas, const char* text, const char* fileName);
// Parses a NUL-terminated kerning text into a font atlas whose metrics are loaded.
void Atlas_ParseKerning(Atlas* atlas, const char* text, const char* fileName);
// The glyph of a code point as stored (no upper-casing); null outside the atlas's pages.
const GlyphRecord* Atlas_GetGlyph(const Atlas* atlas, uint32_t codepoint);

// ---------------------------------------------------------------------------------------------------------
// Layout (AtlasLayout.cpp)
// ---------------------------------------------------------------------------------------------------------

// Measures text: quads, lines and their starting points for the alignment flags. More than
// MAX_LINEBREAKS_PER_OBJNODE lines is fatal.
void Atlas_ComputeMetrics(const Atlas* atlas, const char* text, int flags, TextMetrics* metrics);
// Places at most maxQuads quads of text measured into metrics: per quad four points (left-bottom,
// right-bottom, right-top, left-top, z 0) and their four (u, v) pairs. Returns the quads written.
int Atlas_LayoutQuads(const Atlas* atlas, const char* text, int flags, const TextMetrics* metrics,
                      Point3D* points, float* uvs, int maxQuads);

// ---------------------------------------------------------------------------------------------------------
// Immediate drawing (AtlasDraw.cpp)
// ---------------------------------------------------------------------------------------------------------

// Text at the origin of the current transform with the atlas in slot; fewer than
// MAX_IMMEDIATE_TEXT_QUADS quads.
void Atlas_ImmediateDraw(int slot, const char* text, int flags);
// The same inside a pushed state: lighting, culling and depth test off, translated to (x, y), scaled
// and turned by rotation radians about Z; TEXT_ADDITIVE blends source alpha onto the screen additively.
void Atlas_DrawString(int slot, const char* text, float x, float y, float scaleX, float scaleY,
                      float rotation, int flags);
