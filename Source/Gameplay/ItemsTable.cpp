// The two item tables: what each map item type and each spline item type becomes. A row whose objects
// another gameplay module builds counts its item as added until that module fills it in, so its items
// are not rescanned every time their supertile enters a window.

#include "Gameplay/ItemsLocal.h"

#include "Gameplay/Effects.h"
#include "Gameplay/Eggs.h"
#include "Gameplay/Enemies.h"
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

static bool CountedAsAdded(MapItemType*, float, float)
{
    return true;
}

// The art checks of the hazards that only some levels have models for; the hazards themselves are
// built by their own module.
static bool CheckTowerTurretArt(MapItemType*, float, float)
{
    if (gItemLevel.levelIndex > kLastLevelWithArt)
        ShowFatalAlert("AddTowerTurret: level \"%s\" has no tower turret models", gItemLevel.name);
    return true;
}

static bool CheckAirMineArt(MapItemType*, float, float)
{
    int level = gItemLevel.levelIndex;
    if (level == 4 || level == 6 || level > kLastLevelWithArt)
        ShowFatalAlert("AddAirMine: level \"%s\" has no air mine models", gItemLevel.name);
    return true;
}

static bool CheckForestDoorArt(MapItemType*, float, float)
{
    int level = gItemLevel.levelIndex;
    if (level != 0 && level != 1 && SceneOfLevel(level) != 2)
        ShowFatalAlert("AddForestDoor: level \"%s\" has no door models", gItemLevel.name);
    return true;
}

static const MapItemAddRoutine kMapItemRoutines[NUM_MAP_ITEM_TYPES] = {
    AddNothing,          // 0 player start
    AddTreeA,            // 1
    AddTreeB,            // 2
    AddEgg,              // 3
    AddEggWormhole,      // 4
    CheckTowerTurretArt, // 5 // PENDING(Hazards): AddTowerTurret, after CheckTowerTurretArt's test
    CountedAsAdded,      // 6 // PENDING(Hazards): AddWeaponPOW
    AddBreakablePlant,   // 7
    AddSceneryA,         // 8
    AddSceneryB,         // 9
    AddStingPlant,       // 10
    AddGroundCover,      // 11
    AddSceneryC,         // 12
    AddFlowers,          // 13
    AddRock,             // 14
    AddRaptor,           // 15
    CountedAsAdded,      // 16 // PENDING(Hazards): AddDustDevil
    CheckAirMineArt,     // 17 // PENDING(Hazards): AddAirMine, after CheckAirMineArt's test
    CheckForestDoorArt,  // 18 // PENDING(Hazards): AddForestDoor, after CheckForestDoorArt's test
    CountedAsAdded,      // 19 // PENDING(Hazards): AddPylon
    CountedAsAdded,      // 20 // PENDING(Hazards): AddElectrode
    CountedAsAdded,      // 21 // PENDING(Hazards): AddFuelPOW
    CountedAsAdded,      // 22 // PENDING(Hazards): AddHealthPOW
    AddBoulder,          // 23
    CountedAsAdded,      // 24 // PENDING(Hazards): AddGasPlant
    AddLeafyTree,        // 25
    AddBrach,            // 26
    AddDesertTree,       // 27
    AddDesertBush,       // 28
    AddCactus,           // 29
    AddCrystal,          // 30
    AddSwampTree,        // 31
    CountedAsAdded,      // 32 // PENDING(Hazards): AddLaserOrb
    CountedAsAdded,      // 33 // PENDING(Hazards): AddShieldPOW
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
    CountedAsAdded,      // 46 // PENDING(Hazards): AddWormBurrow
    CountedAsAdded,      // 47 // PENDING(Hazards): AddLifePOW
    AddNothing,          // 48
};

static bool SplineItemCountedAsAdded(int, SplineItemType*)
{
    return true;
}

static void InstallSplineItemRoutines()
{
    std::memset(gSplineItemAddRoutines, 0, sizeof(gSplineItemAddRoutines));
    gSplineItemAddRoutines[15] = AddRaptorOnSpline;
    gSplineItemAddRoutines[16] = SplineItemCountedAsAdded; // PENDING(Hazards): AddDustDevilOnSpline
    gSplineItemAddRoutines[26] = AddBrachOnSpline;
    gSplineItemAddRoutines[32] = SplineItemCountedAsAdded; // PENDING(Hazards): AddLaserOrbOnSpline
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
