// The data generator: writes the complete Data folder the game reads. Format writers live in
// Writers/ (byte layouts only); the content that uses them (shapes, textures, terrain, sounds)
// lives in Content/, one module per kind of file. Output is deterministic: fixed seeds, no clocks,
// no unordered iteration, so two runs write the same bytes on every machine.
#pragma once

#include <filesystem>

// Writes every file of the data folder under `dataFolder` (created if needed).
void ForgeDataFolder(const std::filesystem::path& dataFolder);

// The content modules, in the order ForgeDataFolder runs them. Each writes its own files below
// the data folder and throws std::runtime_error when it cannot.
void ForgeSystemFiles(const std::filesystem::path& dataFolder); // System: controller mappings
void ForgeFonts(const std::filesystem::path& dataFolder);       // Sprites/fonts: the font atlases
void ForgeSprites(const std::filesystem::path& dataFolder);     // Sprites: sprite groups, textures, pictures
void ForgeModels(const std::filesystem::path& dataFolder);      // Models: every TQ3D model file
void ForgeLevels(const std::filesystem::path& dataFolder);      // Terrain and Sprites/maps: the nine levels
void ForgeInterfaceTables(const std::filesystem::path& dataFolder); // System: strings.csv and twitch.csv
void ForgeSkeletons(
    const std::filesystem::path& dataFolder);             // Skeletons: the seven creatures and their models
void ForgeAudio(const std::filesystem::path& dataFolder); // Audio: effects, narration and songs
