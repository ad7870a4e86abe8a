// Checks the sprite images and the font atlases: every start-up series complete (exactly 43 particles),
// every image decodable, within 2048 pixels and matching its mask; every font's metrics and kerning
// accepted by the game's own parsers (which refuse a glyph outside its sheet and scattered kerning
// blocks), the alternate sheet the same size as the main one, and every character of the string table
// present in both fonts.
#include "DataForge/Check.h"
#include "DataForge/Content/SpritesLayout.h"

#include "3D/Atlas.h"
#include "3D/ImageDecode.h"
#include "3D/Utf8.h"
#include "System/Alerts.h"

#include <fstream>
#include <iterator>
#include <set>

namespace {

std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Relative(const std::filesystem::path& dataFolder, const std::filesystem::path& path)
{
    return std::filesystem::relative(path, dataFolder).generic_string();
}

// Size of an image file; false when it does not decode.
bool ImageSize(const std::filesystem::path& path, int* width, int* height)
{
    std::string bytes = ReadWholeFile(path);
    const char* reason = "";
    return ReadImageSize((const uint8_t*)bytes.data(), int32_t(bytes.size()), width, height, &reason);
}

void CheckSpriteImage(const std::filesystem::path& dataFolder, const std::string& relativePath,
                      DataCheckReport* report)
{
    std::filesystem::path sprites = dataFolder / "Sprites";
    std::filesystem::path jpg = sprites / (relativePath + ".jpg"), png = sprites / (relativePath + ".png");
    bool hasJpg = std::filesystem::is_regular_file(jpg), hasPng = std::filesystem::is_regular_file(png);
    std::string name = "Sprites/" + relativePath;
    if (!hasJpg && !hasPng) {
        report->Add(name, "the image is missing (neither .jpg nor .png)");
        return;
    }
    int width = 0, height = 0, maskWidth = 0, maskHeight = 0;
    if (!ImageSize(hasJpg ? jpg : png, &width, &height)) {
        report->Add(Relative(dataFolder, hasJpg ? jpg : png), "the image does not decode");
        return;
    }
    if (width > 2048 || height > 2048)
        report->Add(Relative(dataFolder, hasJpg ? jpg : png), "the image is larger than 2048 pixels");
    if (hasJpg && hasPng &&
        (!ImageSize(png, &maskWidth, &maskHeight) || maskWidth != width || maskHeight != height))
        report->Add(Relative(dataFolder, png), "the alpha mask must decode and match the JPEG's size");
}

// While a reader runs, a fatal alert throws instead of quitting.
void SilentPresenter(const char*, bool) {}

struct ScopedThrowingAlerts
{
    ScopedThrowingAlerts() { SetAlertPresenter(SilentPresenter); }
    ~ScopedThrowingAlerts() { SetAlertPresenter(nullptr); }
};

// Every character strings.csv uses, when the table is there.
std::set<uint32_t> StringTableCharacters(const std::filesystem::path& dataFolder)
{
    std::set<uint32_t> characters;
    std::string text = ReadWholeFile(dataFolder / "System" / "strings.csv");
    const char* cursor = text.c_str();
    for (uint32_t cp; (cp = DecodeUTF8(&cursor)) != 0;) {
        if (cp >= ' ' && cp != 0x7F)
            characters.insert(cp);
    }
    return characters;
}

void CheckGlyphCoverage(const Atlas* atlas, const std::string& file, const std::set<uint32_t>& characters,
                        DataCheckReport* report)
{
    for (uint32_t cp : characters) {
        uint32_t looked = atlas->forceUppercase ? ToUpperCodepoint(cp) : cp;
        const GlyphRecord* glyph = Atlas_GetGlyph(atlas, looked);
        if (!glyph || (glyph->w <= 0 && glyph->advance <= 0))
            report->Add(file, "no glyph for U+" + std::to_string(looked) + " used by the string table");
    }
}

void CheckFontAtlas(const std::filesystem::path& dataFolder, const std::string& name, bool upperCase,
                    const std::set<uint32_t>& characters, DataCheckReport* report)
{
    std::filesystem::path fonts = dataFolder / "Sprites" / "fonts";
    std::string sheetName = "Sprites/fonts/" + name;
    auto sheet = FindSpriteImage(dataFolder / "Sprites", "fonts/" + name);
    int width = 0, height = 0;
    if (!sheet || !ImageSize(*sheet, &width, &height) || width == 0 || height == 0) {
        report->Add(sheetName, "the font sheet is missing or does not decode");
        return;
    }
    if (upperCase) {
        int altWidth = 0, altHeight = 0;
        auto alt = FindSpriteImage(dataFolder / "Sprites", "fonts/" + name + ".alt1");
        if (!alt || !ImageSize(*alt, &altWidth, &altHeight) || altWidth != width || altHeight != height)
            report->Add(sheetName + ".alt1", "the alternate sheet must exist with the main sheet's size");
    }

    std::filesystem::path metrics = fonts / (name + ".txt"), kerning = fonts / (name + ".kerning.txt");
    if (!std::filesystem::is_regular_file(metrics)) {
        report->Add(Relative(dataFolder, metrics), "the metrics file is missing");
        return;
    }
    Atlas* atlas =
        Atlas_NewRecord((":sprites:fonts:" + name).c_str(), ATLAS_FONT | (upperCase ? ATLAS_UPPERCASE : 0));
    atlas->textureWidth = width;
    atlas->textureHeight = height;
    ScopedThrowingAlerts throwing;
    std::string file = Relative(dataFolder, metrics);
    try {
        Atlas_ParseMetrics(atlas, ReadWholeFile(metrics).c_str(), file.c_str());
        for (uint32_t required : {uint32_t('4'), uint32_t(' '), uint32_t('A')}) {
            if (!Atlas_GetGlyph(atlas, required))
                report->Add(file, "the font must hold U+" + std::to_string(required));
        }
        CheckGlyphCoverage(atlas, file, characters, report);
        if (std::filesystem::is_regular_file(kerning)) {
            file = Relative(dataFolder, kerning);
            Atlas_ParseKerning(atlas, ReadWholeFile(kerning).c_str(), file.c_str());
        }
    } catch (const FatalAlertError& error) {
        report->Add(file, error.what());
    }
    Atlas_Free(atlas);
}

} // namespace

void CheckSprites(const std::filesystem::path& dataFolder, DataCheckReport* report)
{
    for (const SpriteSeries& series : StartupSpriteSeries()) {
        for (int i = 0; i < series.count; i++)
            CheckSpriteImage(dataFolder, SeriesImagePath(series, i), report);
        // The particle system insists on exactly its count; any image past it is a miscount.
        if (FindSpriteImage(dataFolder / "Sprites", SeriesImagePath(series, series.count)))
            report->Add("Sprites/" + SeriesImagePath(series, series.count),
                        "series \"" + std::string(series.name) + "\" must hold exactly " +
                            std::to_string(series.count) + " images");
    }
    for (const std::string& image : SingleSpriteImages())
        CheckSpriteImage(dataFolder, image, report);

    std::set<uint32_t> characters = StringTableCharacters(dataFolder);
    CheckFontAtlas(dataFolder, "font", true, characters, report);
    CheckFontAtlas(dataFolder, "swiss", false, characters, report);
}
