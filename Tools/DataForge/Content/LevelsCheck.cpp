// The playfields of a data folder, read by the game's own reader (images decoded, not uploaded) and
// checked against the rules the level code relies on: starts for the mode's players, goals for the
// mode, items the scene has models for, enemies whose skeletons the scene loads, limits on fences,
// water and spline objects, ground under the ceiling and under fixed-height water, items sorted by x.

#include "DataForge/Check.h"
#include "DataForge/Content/Levels.h"

#include "System/Alerts.h"
#include "System/BigEndian.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/TerrainLocal.h"

#include <cmath>
#include <map>
#include <set>
#include <string>

namespace {

constexpr float kCeiling = 2080.0f;
constexpr float kHighestGround = kCeiling - 600.0f; // respawns come down from ceiling - 600
constexpr int kMaxSplineObjects = 100;

void QuietPresenter(const char*, bool) {}

// Item types each scene's model file has models for, and those that need no scene model.
bool SceneHasItem(LevelScene scene, int levelIndex, int type)
{
    static const std::set<int> kAnyScene = {0, 3, 4, 5, 6, 15, 19, 20, 21, 22, 26, 32, 33, 34, 35, 47, 48};
    static const std::set<int> kForest = {1, 2, 7, 8, 9, 10, 11, 12, 13, 14, 17, 23, 24, 25};
    static const std::set<int> kDesert = {10, 14, 16, 17, 27, 28, 29, 30, 36, 37};
    static const std::set<int> kSwamp = {10, 17, 31, 38, 39, 40, 41, 42, 43, 44, 45, 46};
    if (type == 18) // doors: only where the level's model file has a door frame
        return levelIndex == 0 || levelIndex == 1 || levelIndex == 2 || levelIndex == 3 || levelIndex == 7;
    if (type == 17 && (levelIndex == 4 || levelIndex == 6))
        return false;
    if (kAnyScene.count(type))
        return true;
    const std::set<int>& palette = scene == kSceneForest ? kForest : scene == kSceneDesert ? kDesert : kSwamp;
    return palette.count(type) != 0;
}

int SubtypeLimit(int type)
{
    switch (type) {
    case 27:
        return 4;
    case 28:
        return 3;
    case 29:
    case 30:
    case 36:
    case 40:
        return 2;
    case 3:
        return 4; // egg colours
    default:
        return 255;
    }
}

// The raw item list: sorted by x, the "added" flag clear.
void CheckRawItems(const Tarnet::FSSpec& spec, const std::string& file, DataCheckReport* report)
{
    int16_t refNum = Tarnet::FSpOpenResFile(&spec, Tarnet::fsRdPerm);
    if (refNum == -1)
        return;
    Tarnet::UseResFile(refNum);
    Tarnet::Handle items = Tarnet::GetResource(Tarnet::OSTypeFrom("Itms"), 1000);
    if (items) {
        const uint8_t* p = (const uint8_t*)*items;
        size_t count = size_t(Tarnet::GetHandleSize(items)) / 16;
        for (size_t i = 0; i < count; i++) {
            if (i > 0 && BigEndianU32(p + i * 16) < BigEndianU32(p + (i - 1) * 16)) {
                report->Add(file, "map items must be sorted by x (item " + std::to_string(i) + ")");
                break;
            }
        }
        for (size_t i = 0; i < count; i++) {
            if (BigEndianU16(p + i * 16 + 14) & 1) {
                report->Add(file, "map item " + std::to_string(i) + " has its added flag set in the file");
                break;
            }
        }
        Tarnet::ReleaseResource(items);
    }
    Tarnet::CloseResFile(refNum);
}

void CheckItems(const LevelInfo& info, const std::string& file, DataCheckReport* report)
{
    int eggs[5] = {}, wormholes = 0, owners[2] = {};
    std::map<int, int> burrowGroups;
    for (int i = 0; i < gNumMapItems; i++) {
        const MapItemType& item = gMapItems[i];
        if (!SceneHasItem(info.scene, info.index, item.type))
            report->Add(file,
                        "map item type " + std::to_string(item.type) + " has no models or art on this level");
        if (item.parm[0] > SubtypeLimit(item.type))
            report->Add(file, "map item type " + std::to_string(item.type) + " has subtype " +
                                  std::to_string(item.parm[0]) + ", beyond its models");
        if (item.type == 3 && item.parm[0] <= 4)
            eggs[item.parm[0]]++;
        if (item.type == 4) {
            wormholes++;
            if (item.parm[1] < 2)
                owners[item.parm[1]]++;
        }
        if (item.type == 46)
            burrowGroups[item.parm[0]]++;
    }
    for (auto [group, count] : burrowGroups) {
        if (count < 2)
            report->Add(file, "worm burrow group " + std::to_string(group) + " has no partner burrow");
    }
    bool twoPlayers = info.mode != kModeAdventure;
    if (!gPlayerStarts[0].found || (twoPlayers && !gPlayerStarts[1].found))
        report->Add(file, "every player of the mode needs a start item");
    if (info.mode == kModeAdventure) {
        if (eggs[0] + eggs[1] + eggs[2] + eggs[3] + eggs[4] == 0 || wormholes == 0)
            report->Add(file, "an adventure level needs eggs and an egg wormhole");
    }
    if (info.mode == kModeCapture) {
        if (eggs[0] == 0 || eggs[1] == 0)
            report->Add(file, "a capture level needs eggs of colour 0 and of colour 1");
        if (owners[0] == 0 || owners[1] == 0)
            report->Add(file, "a capture level needs a wormhole owned by each player");
    }
    if (info.mode == kModeRace && gNumLineMarkers < 2)
        report->Add(file, "a race level needs its course of line markers");
}

void CheckSplines(const LevelInfo& info, const std::string& file, DataCheckReport* report)
{
    int objects = 0;
    bool timeDemoPath = false;
    int timeDemoPoints = 0;
    for (int s = 0; s < gNumSplines; s++) {
        for (int i = 0; i < gSplines[s].numItems; i++) {
            int type = gSplines[s].items[i].type;
            objects += type == 15 || type == 16 || type == 26 || type == 32 || type == 48 || type == 49;
            timeDemoPath |= type == 49;
            if (type == 49)
                timeDemoPoints = gSplines[s].numPoints;
            if (type == 16 && info.scene != kSceneDesert)
                report->Add(file, "dust devils (spline item 16) need the desert's texture");
            if (type == 48 && info.scene != kSceneSwamp)
                report->Add(file, "ramphors (spline item 48) are loaded only on swamp levels");
        }
    }
    if (objects > kMaxSplineObjects)
        report->Add(file, "more than 100 spline objects");
    if (info.index == 2 && !timeDemoPath)
        report->Add(file, "level3 needs the time-demo path (spline item 49)");
    // The demo runs 450 points a second and should last a minute to a minute and a half.
    if (timeDemoPath && (timeDemoPoints < 60 * 450 || timeDemoPoints > 90 * 450))
        report->Add(file, "the time-demo path has " + std::to_string(timeDemoPoints) +
                              " points; 60 to 90 seconds at 450 a second need 27000 to 40500");
}

void CheckGround(const LevelInfo& info, const std::string& file, DataCheckReport* report)
{
    float highest = 0;
    for (int row = 0; row <= gTerrainTileDepth; row++)
        for (int col = 0; col <= gTerrainTileWide; col++)
            highest = std::max(highest, gHeightField[row][col]);
    if (highest > kHighestGround)
        report->Add(file, "ground reaches " + std::to_string(int(highest)) + ", too close to the ceiling");
    for (int i = 0; i < gNumFences; i++) {
        if (gFences[i].type == 0 && info.scene != kSceneForest)
            report->Add(file, "pine fences (type 0) exist only on forest levels");
    }
    for (int i = 0; i < gNumWaterPatches; i++) {
        const WaterPatchType& water = gWaterPatches[i];
        if (!(water.flags & WATER_FLAG_FIXED_HEIGHT))
            continue;
        float x = water.hotSpotX * gMapToWorld, z = water.hotSpotZ * gMapToWorld;
        if (TerrainHeightAt(x, z) >= kFixedWaterHeight)
            report->Add(file, "the ground under water patch " + std::to_string(i) + " is above the water");
    }
}

void CheckLevel(const std::filesystem::path& dataFolder, const LevelInfo& info, DataCheckReport* report)
{
    std::string file = std::string("Terrain/") + info.name + ".ter";
    std::filesystem::path path = dataFolder / "Terrain" / (std::string(info.name) + ".ter");
    if (!std::filesystem::is_regular_file(path) ||
        !std::filesystem::is_regular_file(path.string() + ".rsrc")) {
        report->Add(file, "the playfield needs its data fork and its resource fork (.rsrc)");
        return;
    }
    std::filesystem::path maps = dataFolder / "Sprites" / "maps";
    if (!std::filesystem::is_regular_file(maps / (std::string(info.name) + ".jpg")) &&
        !std::filesystem::is_regular_file(maps / (std::string(info.name) + ".png")))
        report->Add(std::string("Sprites/maps/") + info.name, "the level's mini-map picture is missing");

    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(path);
    CheckRawItems(spec, file, report);
    SetAlertPresenter(QuietPresenter);
    try {
        SetTerrainScale(DEFAULT_TILE_SIZE);
        LoadPlayfieldData(&spec, kPlayfieldImages_DecodeOnly);
        CheckItems(info, file, report);
        CheckSplines(info, file, report);
        CheckGround(info, file, report);
    } catch (const FatalAlertError& error) {
        report->Add(file, error.what());
    }
    SetAlertPresenter(nullptr);
    FreeTerrainData();
}

} // namespace

void CheckLevels(const std::filesystem::path& dataFolder, DataCheckReport* report)
{
    Tarnet::Startup();
    for (const LevelInfo& info : kLevelInfos)
        CheckLevel(dataFolder, info, report);
}
