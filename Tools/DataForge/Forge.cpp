#include "DataForge/Forge.h"

#include <chrono>
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
    {"audio", ForgeAudio},
};

void ForgeDataFolder(const std::filesystem::path& dataFolder)
{
    std::filesystem::create_directories(dataFolder);
    for (const ForgeStep& step : kForgeSteps) {
        std::printf("forge: %s\n", step.name);
        std::fflush(stdout);
        const auto start = std::chrono::steady_clock::now();
        step.run(dataFolder);
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        std::printf("forge: %s took %.1f s\n", step.name, seconds.count());
    }
}
