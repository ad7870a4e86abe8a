#include "DataForge/Check.h"

struct CheckStep
{
    const char* name;
    void (*run)(const std::filesystem::path& dataFolder, DataCheckReport* report);
};

// Add a checker here (and in Check.h); keep the order stable.
static const CheckStep kCheckSteps[] = {
    {"system files", CheckSystemFiles},
    {"model files", CheckModelFiles},
    {"sprites and fonts", CheckSprites},
    {"levels", CheckLevels},
    {"strings and twitches", CheckInterfaceTables},
    {"skeletons", CheckSkeletons},
    {"audio", CheckAudio},
};

DataCheckReport CheckDataFolder(const std::filesystem::path& dataFolder)
{
    DataCheckReport report;
    for (const CheckStep& step : kCheckSteps)
        step.run(dataFolder, &report);
    return report;
}
