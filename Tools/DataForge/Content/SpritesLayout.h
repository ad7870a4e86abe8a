// Where the sprite images and font files the game loads live in the data folder, shared by the checker
// and the contact sheet of quorvel-data.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A series loaded into a sprite group at start-up.
struct SpriteSeries
{
    const char* name; // folder and file prefix under Sprites/
    int group;
    int count;
};

// The start-up series, as the game's table of shared sprite series has them.
const std::vector<SpriteSeries>& StartupSpriteSeries();
// Single images relative to Sprites/ without extension: the cursor, the level textures and the pictures.
const std::vector<std::string>& SingleSpriteImages();
// The font atlases: "font" and "swiss"; only "font" has an ".alt1" sheet.
const std::vector<std::string>& FontAtlasNames();

// The image file of a sprite path (relative to Sprites/, no extension): the JPEG if there is one, else
// the PNG; nothing when neither exists.
std::optional<std::filesystem::path> FindSpriteImage(const std::filesystem::path& spritesFolder,
                                                     const std::string& relativePath);
std::string SeriesImagePath(const SpriteSeries& series, int index); // "<name>/<name>NNN"
