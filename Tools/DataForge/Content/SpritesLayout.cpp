#include "DataForge/Content/SpritesLayout.h"

#include "DataForge/Content/SpritesKit.h"
#include "System/GameShell.h"

const std::vector<SpriteSeries>& StartupSpriteSeries()
{
    static const std::vector<SpriteSeries> series = [] {
        std::vector<SpriteSeries> fromTheGame;
        for (const SharedSpriteSeries& shared : kSharedSpriteSeries)
            fromTheGame.push_back({shared.name, shared.group, shared.count});
        return fromTheGame;
    }();
    return series;
}

const std::vector<std::string>& SingleSpriteImages()
{
    static const std::vector<std::string> images = {"menu/cursor",
                                                    "menu/quorlogo",
                                                    "textures/blockenemy",
                                                    "textures/pinefence",
                                                    "textures/dustdevil",
                                                    "textures/player2",
                                                    "textures/stardome",
                                                    "story/story000",
                                                    "story/story001",
                                                    "story/story002",
                                                    "story/story003",
                                                    "story/story004",
                                                    "story/story005",
                                                    "story/story006",
                                                    "story/story007",
                                                    "story/story008",
                                                    "story/win",
                                                    "menu/mainmenu",
                                                    "calibration/calibration000",
                                                    "calibration/glasses"};
    return images;
}

const std::vector<std::string>& FontAtlasNames()
{
    static const std::vector<std::string> names = {"font", "swiss"};
    return names;
}

std::optional<std::filesystem::path> FindSpriteImage(const std::filesystem::path& spritesFolder,
                                                     const std::string& relativePath)
{
    for (const char* extension : {".jpg", ".png"}) {
        std::filesystem::path path = spritesFolder / (relativePath + extension);
        if (std::filesystem::is_regular_file(path))
            return path;
    }
    return std::nullopt;
}

std::string SeriesImagePath(const SpriteSeries& series, int index)
{
    return std::string(series.name) + "/" + SeriesName(series.name, index);
}
