// Feeds arbitrary bytes to the font metrics and kerning parsers: the bytes up to the first NUL are the
// metrics text of a 512 x 512 font sheet, the rest its kerning text; the kerning text is then laid out
// with the parsed font. Whatever is accepted must keep every glyph inside its sheet and every kerning
// block inside the table; anything else must end in a fatal alert, never a crash or a leak.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "3D/Atlas.h"
#include "System/Alerts.h"

static void IgnoreAlert(const char*, bool) {}

static void CheckAcceptedAtlas(const Atlas* atlas)
{
    for (int page = 0; page < atlas->numPages; page++) {
        const GlyphRecord* glyphs = atlas->pages[page];
        for (int i = 0; glyphs && i < 256; i++) {
            const GlyphRecord& g = glyphs[i];
            if (g.w > 0 && (g.uLeft < 0 || g.vTop < 0 || g.uRight > 1 || g.vBottom > 1))
                std::abort();
            if (g.kernStart + g.kernCount > atlas->numKernPairs)
                std::abort();
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetAlertPresenter(IgnoreAlert);
    const uint8_t* split = (const uint8_t*)memchr(data, 0, size);
    size_t metricsSize = split ? size_t(split - data) : size;
    std::string metrics((const char*)data, metricsSize);
    std::string kerning = split ? std::string((const char*)split + 1, size - metricsSize - 1) : std::string();
    kerning = kerning.c_str(); // the game's texts end at their first NUL

    Atlas* atlas = Atlas_NewRecord(":sprites:fonts:fuzz", ATLAS_FONT | (size % 2 ? ATLAS_UPPERCASE : 0));
    atlas->textureWidth = atlas->textureHeight = 512;
    try {
        Atlas_ParseMetrics(atlas, metrics.c_str(), "fuzz.txt");
        Atlas_ParseKerning(atlas, kerning.c_str(), "fuzz.kerning.txt");
        CheckAcceptedAtlas(atlas);

        TextMetrics layout;
        Atlas_ComputeMetrics(atlas, kerning.c_str(), TEXT_SMALLCAPS, &layout);
        std::vector<Point3D> points(size_t(layout.numQuads) * 4 + 4);
        std::vector<float> uvs(size_t(layout.numQuads) * 8 + 8);
        if (Atlas_LayoutQuads(atlas, kerning.c_str(), TEXT_SMALLCAPS, &layout, points.data(), uvs.data(),
                              layout.numQuads) != layout.numQuads)
            std::abort();
    } catch (const FatalAlertError&) {
        // Refusing a damaged file is the expected outcome.
    }
    Atlas_Free(atlas);
    SetAlertPresenter(nullptr);
    return 0;
}
