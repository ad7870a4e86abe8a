// The two item tables: what each map item type and each spline item type becomes. A row whose objects
// another gameplay module builds counts its item as added until that module fills it in, so its items
// are not rescanned every time their supertile enters a window.

#include "Gameplay/ItemsLocal.h"

#include "Gameplay/Effects.h"
#include "Gameplay/Eggs.h"
#include "Gameplay/Enemies.h"
#include "Gameplay/Hazards.h"
#include "Gameplay/TimeDemo.h"
#include "System/Alerts.h"
#include "Terrain/SplineObjects.h"

#include <cstring>

static constexpr int kLastLevelWithArt = 8;

int SceneOfLevel(int levelIndex)
{
    static constexpr int kScenes[] = {0, 1, 2, 2, 1, 0, 1, 2, 0};
    if (levelIndex < 0 || levelIndex >= int(sizeof(kScenes) / sizeof(kScenes[0])))
        return -1;
    return kScenes[levelIndex];
}

// Player starts and the spare type 48 make nothing and are never marked added.
static bool AddNothing(MapItemType*, float, float)
{
    return false;
}

// The hazards that only some levels have models for: the art check, then the hazard's own module.
static bool CheckTowerTurretArt(MapItemType* item, float x, float z)
{
    if (gItemLevel.levelIndex > kLastLevelWithArt)
        ShowFatalAlert("AddTowerTurret: level \"%s\" has no tower turret models", gItemLevel.name);
    return AddTowerTurret(item, x, z);
}

static bool CheckAirMineArt(MapItemType* item, float x, float z)
{
    int level = gItemLevel.levelIndex;
    if (level == 4 || level == 6 || level > kLastLevelWithArt)
        ShowFatalAlert("AddAirMine: level \"%s\" has no air mine models", gItemLevel.name);
    return AddAirMine(item, x, z);
}

static bool CheckForestDoorArt(MapItemType* item, float x, float z)
{
    int level = gItemLevel.levelIndex;
    if (level != 0 && level != 1 && SceneOfLevel(level) != 2)
        ShowFatalAlert("AddForestDoor: level \"%s\" has no door models", gItemLevel.name);
    return AddForestDoor(item, x, z);
}

static const MapItemAddRoutine kMapItemRoutines[NUM_MAP_ITEM_TYPES] = {
    AddNothing,          // 0 player start
    AddTreeA,            // 1
    AddTreeB,            // 2
    AddEgg,              // 3
    AddEggWormhole,      // 4
    CheckTowerTurretArt, // 5
    AddWeaponPOW,        // 6
    AddBreakablePlant,   // 7
    AddSceneryA,         // 8
    AddSceneryB,         // 9
    AddStingPlant,       // 10
    AddGroundCover,      // 11
    AddSceneryC,         // 12
    AddFlowers,          // 13
    AddRock,             // 14
    AddRaptor,           // 15
    AddDustDevil,        // 16
    CheckAirMineArt,     // 17
    CheckForestDoorArt,  // 18
    AddPylon,            // 19
    AddElectrode,        // 20
    AddFuelPOW,          // 21
    AddHealthPOW,        // 22
    AddBoulder,          // 23
    AddGasPlant,         // 24
    AddLeafyTree,        // 25
    AddBrach,            // 26
    AddDesertTree,       // 27
    AddDesertBush,       // 28
    AddCactus,           // 29
    AddCrystal,          // 30
    AddSwampTree,        // 31
    AddLaserOrb,         // 32
    AddShieldPOW,        // 33
    AddEffectEmitter,    // 34
    AddFlyingSprites,    // 35
    AddPalmBush,         // 36
    AddSceneryD,         // 37
    AddSceneryE,         // 38
    AddThornBush,        // 39
    AddGeckoPlant,       // 40
    AddGrass,            // 41
    AddReeds,            // 42
    AddBigRock,          // 43
    AddSpikyPlant,       // 44
    AddSceneryF,         // 45
    AddWormBurrow,       // 46
    AddLifePOW,          // 47
    AddNothing,          // 48
};

static void InstallSplineItemRoutines()
{
    std::memset(gSplineItemAddRoutines, 0, sizeof(gSplineItemAddRoutines));
    gSplineItemAddRoutines[15] = AddRaptorOnSpline;
    gSplineItemAddRoutines[16] = AddDustDevilOnSpline;
    gSplineItemAddRoutines[26] = AddBrachOnSpline;
    gSplineItemAddRoutines[32] = AddLaserOrbOnSpline;
    gSplineItemAddRoutines[48] = AddRamphorOnSpline;
    gSplineItemAddRoutines[TIME_DEMO_SPLINE_ITEM] = AddTimeDemoPath;
}

void InstallItemRoutines(int levelIndex, const char* levelName)
{
    gItemLevel.levelIndex = levelIndex;
    gItemLevel.scene = SceneOfLevel(levelIndex);
    gItemLevel.name = levelName;
    std::memcpy(gMapItemAddRoutines, kMapItemRoutines, sizeof(gMapItemAddRoutines));
    InstallSplineItemRoutines();
}
