// ForgeSkeletons: the seven creatures of Data/Skeletons, each a skeleton file (its resource fork only: the
// game reads nothing from the data fork) and the reference model its alias names, in the same folder.
#include "DataForge/Content/SkeletonKit.h"
#include "DataForge/Forge.h"

void ForgeSkeletons(const std::filesystem::path& dataFolder)
{
    std::filesystem::path folder = dataFolder / "Skeletons";
    std::filesystem::create_directories(folder);
    BuildPterosaur(folder);
    BuildWormhole(folder);
    BuildRaptor(folder);
    BuildBonusWorm(folder);
    BuildBrach(folder);
    BuildSwampWorm(folder);
    BuildRamphor(folder);
}
