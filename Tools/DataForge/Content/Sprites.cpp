// The sprite images of the data folder: every group the game loads at start-up (infobar, global,
// sphere maps, particles, the cursor), the pictures screens and levels load, and the menu art.
#include "DataForge/Forge.h"

void ForgeInfobarSprites(const std::filesystem::path& spritesFolder);
void ForgeParticleSprites(const std::filesystem::path& spritesFolder);
void ForgeGlobalSprites(const std::filesystem::path& spritesFolder);
void ForgePictureSprites(const std::filesystem::path& spritesFolder);
void ForgeMenuSprites(const std::filesystem::path& spritesFolder);

void ForgeSprites(const std::filesystem::path& dataFolder)
{
    std::filesystem::path sprites = dataFolder / "Sprites";
    ForgeInfobarSprites(sprites);
    ForgeParticleSprites(sprites);
    ForgeGlobalSprites(sprites);
    ForgePictureSprites(sprites);
    ForgeMenuSprites(sprites);
}
