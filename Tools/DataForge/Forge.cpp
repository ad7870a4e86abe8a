#include "DataForge/Forge.h"

#include <cstdio>

struct ForgeStep
{
    const char* name;
    void (*run)(const std::filesystem::path& dataFolder);
};

// Add a content module here (and in Forge.h); keep the order stable.
static const ForgeStep kForgeSteps[] = {
    {"system files", ForgeSystemFiles},
    {"models", ForgeModels},
    {"fonts", ForgeFonts},
    {"sprites", ForgeSprites},
    {"levels", ForgeLevels},
    {"strings and twitches", ForgeInterfaceTables},
    {"skeletons", ForgeSkeletons},
};

void ForgeDataFolder(const std::filesystem::path& dataFolder)
{
    std::filesystem::create_directories(dataFolder);
    for (const ForgeStep& step : kForgeSteps) {
        std::printf("forge: %s\n", step.name);
        step.run(dataFolder);
    }
}
