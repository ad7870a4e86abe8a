// Data/System: files the game reads at start-up that are not art.

#include "DataForge/Forge.h"

#include <fstream>
#include <stdexcept>

// SDL already knows the common controllers; the game's file adds none of its own but must exist,
// since a missing file is reported to the player.
static void WriteControllerMappings(const std::filesystem::path& systemFolder)
{
    std::ofstream out(systemFolder / "gamecontrollerdb.txt", std::ios::binary);
    out << "# Game controller mappings for Quorvel 2, one SDL mapping per line.\n"
           "# SDL's built-in mappings cover the common controllers; add lines here for others.\n";
    if (!out)
        throw std::runtime_error("cannot write gamecontrollerdb.txt");
}

void ForgeSystemFiles(const std::filesystem::path& dataFolder)
{
    std::filesystem::path systemFolder = dataFolder / "System";
    std::filesystem::create_directories(systemFolder);
    WriteControllerMappings(systemFolder);
}
