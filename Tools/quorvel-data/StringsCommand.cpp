// quorvel-data strings DATADIR [ID]: the string table as the game loads it, every ID (or one) in every
// language, with the width of its widest line at scale 1 in the menu font and in the text font, so that
// a translation too wide for its place shows before anyone runs the game. Line feeds print as " / ".

#include "Commands.h"

#include "3D/Atlas.h"
#include "DataForge/Content/SpritesLayout.h"
#include "Interface/LocalizedStrings.h"
#include "System/Memory.h"

#include <stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace {

// A font atlas of the data folder with its metrics, for measuring only (no texture is made).
Atlas* LoadMeasuringAtlas(const std::filesystem::path& dataFolder, const char* name, int flags)
{
    auto sheet = FindSpriteImage(dataFolder / "Sprites", std::string("fonts/") + name);
    std::ifstream metrics(dataFolder / "Sprites" / "fonts" / (std::string(name) + ".txt"), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(metrics)), std::istreambuf_iterator<char>());
    int width = 0, height = 0, channels = 0;
    if (!sheet || text.empty() || !stbi_info(sheet->string().c_str(), &width, &height, &channels))
        throw std::runtime_error(std::string("font ") + name + " is missing from " + dataFolder.string());
    Atlas* atlas = Atlas_NewRecord(name, flags);
    atlas->textureWidth = width;
    atlas->textureHeight = height;
    Atlas_ParseMetrics(atlas, text.c_str(), name);
    return atlas;
}

float WidestLine(const Atlas* atlas, const char* text)
{
    TextMetrics metrics;
    Atlas_ComputeMetrics(atlas, text, 0, &metrics);
    return metrics.maxWidth;
}

std::string OneLine(const char* text)
{
    std::string line;
    for (const char* c = text; *c; c++)
        line += *c == '\n' ? std::string(" / ") : std::string(1, *c);
    return line;
}

} // namespace

int RunStringsCommand(const CommandArgs& args)
{
    if (args.empty() || args.size() > 2) {
        std::fprintf(stderr, "usage: quorvel-data strings DATADIR [ID]\n");
        return 2;
    }
    const std::filesystem::path dataFolder = args[0];
    int first = 1, last = MAX_LOCALIZED_STRINGS - 1;
    if (args.size() == 2)
        first = last = std::atoi(args[1].c_str());

    std::ifstream in(dataFolder / "System" / "strings.csv", std::ios::binary);
    std::string csv((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (csv.empty()) {
        std::fprintf(stderr, "no System/strings.csv in %s\n", dataFolder.string().c_str());
        return 1;
    }
    Atlas* menuFont = LoadMeasuringAtlas(dataFolder, "font", ATLAS_FONT | ATLAS_UPPERCASE);
    Atlas* textFont = LoadMeasuringAtlas(dataFolder, "swiss", ATLAS_FONT);

    std::printf("  ID lang  menu   text  (widest line at scale 1)\n");
    for (int language = 0; language < NUM_LANGUAGES; language++) {
        char* block = (char*)AllocPtrClear(int32_t(csv.size() + 1));
        std::memcpy(block, csv.data(), csv.size());
        FillStringTableFromText(block, language);
        for (int id = first; id <= last; id++) {
            const char* text = GetLocalizedString(id);
            std::printf("%4d %s %6.0f %6.0f  %s\n", id, GetLanguageCode(language), WidestLine(menuFont, text),
                        WidestLine(textFont, text), OneLine(text).c_str());
        }
    }
    DisposeLocalizedStrings();
    Atlas_Free(menuFont);
    Atlas_Free(textFont);
    return 0;
}
