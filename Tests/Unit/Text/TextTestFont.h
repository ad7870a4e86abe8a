// A small font atlas built in memory from a metrics text (no texture, no OpenGL) for the text tests.
#pragma once

#include "3D/Atlas.h"

#include <cstring>
#include <string>

// Sheet 256 x 256, line height 20. Glyph widths and advances are chosen so that every sum in the tests
// is exact: A 10/12, B 8/10, C 9/11, V 10/12, b 8/9, space -/5, 1 4/7, 4 10/11, E-acute 10/12, L-stroke
// 9/10; y offsets 2.
inline const char* kTestFontMetrics = "12 20\n"
                                      "65 0 0 10 16 1 2 12 20\n"
                                      "66 20 0 8 16 0 2 10 20\n"
                                      "67 40 0 9 16 0 2 11 20\n"
                                      "86 60 0 10 16 0 2 12 20\n"
                                      "98 80 0 8 16 0 2 9 20\n"
                                      "32 0 0 0 0 0 0 5 20\n"
                                      "49 100 0 4 16 0 2 7 20\n"
                                      "52 120 0 10 16 0 2 11 20\n"
                                      "201 140 0 10 16 0 2 12 20\n"
                                      "321 160 0 9 16 0 2 10 20\n"
                                      "76 180 0 8 16 0 2 10 20\n"
                                      "16384 0 0 8 8 0 0 8 8\n";

inline Atlas* MakeTestAtlas(int flags, const char* metrics = kTestFontMetrics)
{
    Atlas* atlas = Atlas_NewRecord(":sprites:fonts:test", flags);
    atlas->textureWidth = 256;
    atlas->textureHeight = 256;
    Atlas_ParseMetrics(atlas, metrics, "test.txt");
    return atlas;
}

// Owns a test atlas placed in a gAtlases slot for the duration of a test.
struct ScopedTestAtlas
{
    int slot;
    Atlas* atlas;
    ScopedTestAtlas(int slot, int flags, const char* kerning = nullptr)
        : slot(slot), atlas(MakeTestAtlas(flags))
    {
        if (kerning)
            Atlas_ParseKerning(atlas, kerning, "test.kerning.txt");
        gAtlases[slot] = atlas;
    }
    ~ScopedTestAtlas()
    {
        gAtlases[slot] = nullptr;
        Atlas_Free(atlas);
    }
};
