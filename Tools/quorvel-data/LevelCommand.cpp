// quorvel-data level NAME OUT.png [--data DIR] [--overview]: loads the playfield ":terrain:NAME.ter"
// with the game's own reader and renders what player 0 sees at the start: the supertile windows
// around the start position, the scene's fog, light and sky colour, and the fences and water patches
// built and drawn by the game's own code. --overview looks down on the whole map from high above its
// south edge instead; --at X Z puts the camera over a world point, looking along --heading DEG.
// Prints the map's size and counts and its lowest and highest ground. Needs a display (Xvfb will do).

#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "Commands.h"
#include "DataForge/Content/Levels.h"
#include "DataForge/Writers/ImageWriter.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/HiddenWindow.h"
#include "System/Level.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/Fences.h"
#include "Terrain/Terrain.h"
#include "Terrain/Water.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr float kCameraHeightAboveGround = 450.0f; // about where the chase camera rides behind the player
constexpr float kCameraBehind = 700.0f;

// The level of the game's level table with this file name, or -1.
int FindLevel(const std::string& name)
{
    for (int i = 0; i < NUM_LEVELS; i++) {
        if (name == kLevelTable[i].fileName)
            return i;
    }
    return -1;
}

void QuietPresenter(const char*, bool) {}

// The game's own view of the level, as player 0's pane shows it, but cleared to the scene's sky
// colour: the tool draws no sky objects.
void SetupPlayerView(int levelIndex)
{
    gLevelIndex = levelIndex;
    gPlayMode = kLevelTable[levelIndex].playMode;
    gNumPanes = 1;
    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    SetUpLevelView(&setup);
    setup.clearScreen = true;
    OGL_SetupGameView(&setup);
}

std::vector<uint8_t> gFramePixels; // bottom row first

void DrawLevelView()
{
    if (gCurrentPane == 0) {
        if (!gGameViewInfoPtr->useFog)
            OGL_DisableFog();
        DrawObjectList();
    } else if (gCurrentPane == gNumPanes) {
        glFinish();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, gFramePixels.data());
    }
}

struct CameraChoice
{
    bool overview = false;
    bool at = false;
    float x = 0, z = 0, heading = 0; // heading in degrees, 0 looks toward -z
};

void PlaceCamera(const CameraChoice& choice)
{
    bool overview = choice.overview;
    Point3D from, to;
    if (choice.at) {
        float radians = choice.heading * 3.14159265f / 180.0f;
        float dirX = -std::sin(radians), dirZ = -std::cos(radians);
        float x = choice.x - dirX * kCameraBehind, z = choice.z - dirZ * kCameraBehind;
        from = {x, TerrainHeightAt(x, z) + kCameraHeightAboveGround, z};
        float aheadX = choice.x + dirX * 1500.0f, aheadZ = choice.z + dirZ * 1500.0f;
        to = {aheadX, TerrainHeightAt(aheadX, aheadZ) + 150.0f, aheadZ};
    } else if (overview) {
        float w = float(gMapWidthUnits), d = float(gMapDepthUnits);
        from = {w * 0.5f, std::max(w, d) * 0.9f, d * 1.25f};
        to = {w * 0.5f, 0.0f, d * 0.5f};
    } else {
        const PlayerStartType& start = gPlayerStarts[0];
        float dirX = -std::sin(start.heading), dirZ = -std::cos(start.heading);
        float x = float(start.x) - dirX * kCameraBehind, z = float(start.z) - dirZ * kCameraBehind;
        from = {x, TerrainHeightAt(x, z) + kCameraHeightAboveGround, z};
        float aheadX = float(start.x) + dirX * 1500.0f, aheadZ = float(start.z) + dirZ * 1500.0f;
        to = {aheadX, TerrainHeightAt(aheadX, aheadZ) + 150.0f, aheadZ};
    }
    OGL_UpdateCameraFromTo(&from, &to, 0);
    // The supertile window follows the camera; an overview widens the far clip to see everything.
    if (overview) {
        gGameViewInfoPtr->farClip = 200000.0f;
        gGameViewInfoPtr->useFog = false;
    }
}

// The overview sees the whole map, wider than any window: every supertile is built and marked in view.
void BuildEverySuperTile()
{
    for (int row = 0; row < gSuperTilesDeep; row++) {
        for (int col = 0; col < gSuperTilesWide; col++) {
            if (gSuperTileGrid[row][col] < 0)
                continue;
            SuperTileStatus* cell = &gSuperTileCells[row][col];
            cell->slot = int16_t(BuildSuperTileMesh(col * TILES_PER_SUPERTILE, row * TILES_PER_SUPERTILE));
            cell->mode = SUPERTILE_MODE_BUILT | SUPERTILE_MODE_IN_WINDOW;
            cell->windowBits = 1;
        }
    }
}

void PrintLevelFacts(const std::string& name)
{
    int superTiles = 0;
    for (int row = 0; row < gSuperTilesDeep; row++)
        for (int col = 0; col < gSuperTilesWide; col++)
            superTiles += gSuperTileGrid[row][col] >= 0;
    float lowest = 1e30f, highest = -1e30f;
    for (int row = 0; row <= gTerrainTileDepth; row++) {
        for (int col = 0; col <= gTerrainTileWide; col++) {
            lowest = std::min(lowest, gHeightField[row][col]);
            highest = std::max(highest, gHeightField[row][col]);
        }
    }
    std::printf("%s: %d x %d tiles, %d supertiles, %d items, %d splines, %d fences, %d water patches, "
                "%d line markers, ground %.0f to %.0f\n",
                name.c_str(), gTerrainTileWide, gTerrainTileDepth, superTiles, gNumMapItems, gNumSplines,
                gNumFences, gNumWaterPatches, gNumLineMarkers, lowest, highest);
    // Where to point --at for a look at a fence or a lake (map units to world units).
    for (int i = 0; i < gNumFences; i++) {
        const FenceRecordType& fence = gFences[i];
        const Point3D& middle = fence.nubs[fence.numNubs / 2];
        std::printf("  fence %d (type %d): middle nub at %.0f %.0f\n", i, fence.type, middle.x * gMapToWorld,
                    middle.z * gMapToWorld);
    }
    for (int i = 0; i < gNumWaterPatches; i++)
        std::printf("  water %d (type %d): hot spot at %.0f %.0f\n", i, gWaterPatches[i].type,
                    gWaterPatches[i].hotSpotX * gMapToWorld, gWaterPatches[i].hotSpotZ * gMapToWorld);
}

Image FrameToImage()
{
    Image image;
    image.width = kWidth;
    image.height = kHeight;
    image.channels = 4;
    image.pixels.resize(size_t(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; y++) {
        memcpy(&image.pixels[size_t(y) * kWidth * 4], &gFramePixels[size_t(kHeight - 1 - y) * kWidth * 4],
               size_t(kWidth) * 4);
        for (int x = 0; x < kWidth; x++)
            image.pixels[(size_t(y) * kWidth + x) * 4 + 3] = 255;
    }
    return image;
}

} // namespace

int RunLevelCommand(const CommandArgs& args)
{
    std::vector<std::string> positional;
    std::filesystem::path dataFolder = "Data";
    CameraChoice camera;
    for (size_t i = 0; i < args.size(); i++) {
        if (args[i] == "--data" && i + 1 < args.size())
            dataFolder = args[++i];
        else if (args[i] == "--overview")
            camera.overview = true;
        else if (args[i] == "--at" && i + 2 < args.size()) {
            camera.at = true;
            camera.x = std::stof(args[++i]);
            camera.z = std::stof(args[++i]);
        } else if (args[i] == "--heading" && i + 1 < args.size())
            camera.heading = std::stof(args[++i]);
        else
            positional.push_back(args[i]);
    }
    int levelIndex = positional.size() == 2 ? FindLevel(positional[0]) : -1;
    if (levelIndex < 0) {
        std::fprintf(stderr, "usage: quorvel-data level NAME OUT.png [--data DIR] [--overview | --at X Z "
                             "[--heading DEG]]\nNAME:");
        for (const LevelDefinition& level : kLevelTable)
            std::fprintf(stderr, " %s", level.fileName);
        std::fprintf(stderr, "\n");
        return 2;
    }
    std::filesystem::path file = dataFolder / "Terrain" / (positional[0] + ".ter");
    if (!std::filesystem::is_regular_file(file)) {
        std::fprintf(stderr, "quorvel-data level: %s not found\n", file.string().c_str());
        return 1;
    }

    Tarnet::Startup();
    SetAlertPresenter(QuietPresenter);
    gPrefs.stereoMode = 0;
    gPrefs.reducedDetail = 0;
    if (!OpenHiddenWindow("quorvel-data level", kWidth, kHeight)) {
        std::fprintf(stderr, "quorvel-data level: cannot open an OpenGL window: %s\n", SDL_GetError());
        return 1;
    }
    InitTerrainManager();
    SetupPlayerView(levelIndex);
    MO_InitMetaObjectList();
    InitObjectManager();
    InitSpriteManager();
    gDataFolderSpec = Tarnet::HostPathToFSSpec(dataFolder / "Skeletons");
    // The water's layers and ripples come from the global series, the fences from the level's group.
    LoadSpriteGroupFromSeries(SPRITE_GROUP_GLOBAL, 9, "global");
    LoadLevelSpecificTextures(kLevelTable[levelIndex].scene);

    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(file);
    LoadPlayfield(&spec);
    PrintLevelFacts(positional[0]);

    PrimeTerrainWater();
    PrimeFences();
    InitSuperTileWindows();
    PlaceCamera(camera);
    if (camera.overview)
        BuildEverySuperTile();
    else
        UpdateSuperTileWindows();
    gFramePixels.resize(size_t(kWidth) * kHeight * 4);
    OGL_DrawScene(DrawLevelView);

    DisposeAllObjects();
    FreeTerrainData();
    DisposeAllSpriteGroups();
    OGL_DisposeGameView();
    CloseHiddenWindow();
    WritePngFile(positional[1], FrameToImage());
    std::printf("view written to %s\n", positional[1].c_str());
    return 0;
}
