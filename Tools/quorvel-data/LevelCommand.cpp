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
#include "DataForge/Writers/ImageWriter.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/GameShell.h"
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

// The look of each scene: sky and fog colour, fog start (fraction of the far clip), ambient, one light.
struct SceneLook
{
    const char* sceneTexture; // sprite group 6 entry 1; the swamp has none
    float clear[3];
    float fogStart;
    float ambient;
    float light;
    Vector3D direction;
};

const SceneLook kForest = {
    ":sprites:textures:pinefence", {0.43f, 0.33f, 0.7f}, 0.35f, 0.4f, 0.7f, {0.4f, -0.5f, 0.5f}};
const SceneLook kDesert = {
    ":sprites:textures:dustdevil", {0.968f, 0.537f, 0.278f}, 0.4f, 0.45f, 0.6f, {0.4f, -0.3f, 0.2f}};
const SceneLook kSwamp = {nullptr, {0.568f, 0.243f, 0.125f}, 0.4f, 0.45f, 0.6f, {0.4f, -0.3f, 0.2f}};

const SceneLook* LookOf(const std::string& level)
{
    if (level == "level1" || level == "battle1" || level == "flag2")
        return &kForest;
    if (level == "level2" || level == "race2" || level == "battle2")
        return &kDesert;
    if (level == "level3" || level == "race1" || level == "flag1")
        return &kSwamp;
    return nullptr;
}

void QuietPresenter(const char*, bool) {}

bool OpenHiddenWindow()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    gGameWindow = SDL_CreateWindow("quorvel-data level", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                   kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!gGameWindow)
        return false;
    gPrefs.vsync = 0;
    gPrefs.stereoMode = 0;
    gPrefs.reducedDetail = 0;
    OGL_CreateDrawContext();
    return true;
}

void CloseWindow()
{
    OGL_DisposeDrawContext();
    SDL_DestroyWindow(gGameWindow);
    gGameWindow = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SetupSceneView(const SceneLook& look)
{
    gNumPanes = 1;
    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    setup.clearScreen = true;
    for (int c = 0; c < 3; c++)
        setup.clearColor[c] = look.clear[c];
    setup.clearColor[3] = 1.0f;
    setup.useFog = true;
    setup.nearClip = 20.0f;
    setup.farClip = float(gSuperTileRange) * 8 * 210 * 0.95f;
    setup.fogStart = look.fogStart * setup.farClip;
    setup.fogEnd = 0.95f * setup.farClip;
    setup.fov = 1.15f;
    setup.ambientColor[0] = setup.ambientColor[1] = setup.ambientColor[2] = look.ambient;
    setup.lightCount = 1;
    Normalize3(&look.direction, &setup.lightDirection[0]);
    for (int c = 0; c < 3; c++)
        setup.lightColor[0][c] = look.light;
    setup.lightColor[0][3] = 1.0f;
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
    const SceneLook* look = positional.size() == 2 ? LookOf(positional[0]) : nullptr;
    if (!look) {
        std::fprintf(
            stderr,
            "usage: quorvel-data level NAME OUT.png [--data DIR] [--overview | --at X Z [--heading DEG]]\n"
            "NAME: level1 level2 level3 race1 race2 battle1 battle2 flag1 flag2\n");
        return 2;
    }
    std::filesystem::path file = dataFolder / "Terrain" / (positional[0] + ".ter");
    if (!std::filesystem::is_regular_file(file)) {
        std::fprintf(stderr, "quorvel-data level: %s not found\n", file.string().c_str());
        return 1;
    }

    Tarnet::Startup();
    SetAlertPresenter(QuietPresenter);
    if (!OpenHiddenWindow()) {
        std::fprintf(stderr, "quorvel-data level: cannot open an OpenGL window: %s\n", SDL_GetError());
        return 1;
    }
    InitTerrainManager();
    SetupSceneView(*look);
    MO_InitMetaObjectList();
    InitObjectManager();
    InitSpriteManager();
    gDataFolderSpec = Tarnet::HostPathToFSSpec(dataFolder / "Skeletons");
    // The water's layers and ripples come from the global series, the fences from the level's group.
    LoadSpriteGroupFromSeries(SPRITE_GROUP_GLOBAL, 9, "global");
    const char* levelTextures[2] = {":sprites:textures:blockenemy", look->sceneTexture};
    LoadSpriteGroupFromFiles(SPRITE_GROUP_LEVELSPECIFIC, look->sceneTexture ? 2 : 1, levelTextures);

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
    CloseWindow();
    WritePngFile(positional[1], FrameToImage());
    std::printf("view written to %s\n", positional[1].c_str());
    return 0;
}
