// ForgeModels: writes every model file of Data/Models and checks that the files the game holds at
// the same time fit its vertex-array pool.
#include "DataForge/Content/ModelsFiles.h"
#include "DataForge/Content/ModelsKit.h"
#include "DataForge/Forge.h"

#include <cstdio>
#include <stdexcept>

namespace {

struct ModelFileStep
{
    const char* fileName;
    TQ3DFile (*build)();
};

const ModelFileStep kModelFiles[] = {
    {"Global.tq3d", BuildGlobalModels},
    {"Weapons.tq3d", BuildWeaponModels},
    {"playerparts.tq3d", BuildPlayerPartModels},
    {"levelintro.tq3d", BuildLevelIntroModels},
    {"forest.tq3d", BuildForestModels},
    {"desert.tq3d", BuildDesertModels},
    {"swamp.tq3d", BuildSwampModels},
};

// Pool 3 holds the global, weapon, player-part and scene models during a level.
constexpr size_t kModelPoolBytes = 6000000;

} // namespace

void ForgeModels(const std::filesystem::path& dataFolder)
{
    std::filesystem::path folder = dataFolder / "Models";
    std::filesystem::create_directories(folder);
    size_t sharedBytes = 0, largestScene = 0;
    for (const ModelFileStep& step : kModelFiles) {
        TQ3DFile file = step.build();
        WriteTQ3DFile(folder / step.fileName, file);
        size_t bytes = VertexArrayBytes(file);
        std::string name = step.fileName;
        if (name == "forest.tq3d" || name == "desert.tq3d" || name == "swamp.tq3d")
            largestScene = std::max(largestScene, bytes);
        else if (name != "levelintro.tq3d")
            sharedBytes += bytes;
    }
    if (sharedBytes + largestScene > kModelPoolBytes)
        throw std::runtime_error("models of one level overflow the vertex-array pool: " +
                                 std::to_string(sharedBytes + largestScene) + " bytes");
}
