// Scenery rows of the map item table: trees, standing scenery, ground cover, flowers, grass, reeds,
// and the rocks and boulders sunk into the ground. Each object stands at its item's ground height
// unless said otherwise and is deleted once no player's window covers it; its item brings it back,
// with a new random heading and scale, when the window returns.

#include "Gameplay/ItemsLocal.h"

#include "3D/TQ3D.h"
#include "Gameplay/Hazards.h"
#include "Objects/Collision.h"
#include "System/Alerts.h"

static constexpr float kTrunkWidth = 0.25f; // a tree's box is its trunk, not its crown
static constexpr float kRockWidth = 0.85f;  // rocks are rounder than their boxes

// A solid scenery object that crashes a player who flies into it.
static ObjNode* MakeSolidScenery(MapItemType* item, int model, float y, float x, float z, int slot,
                                 float scale, float heading, float tweakXZ)
{
    ObjNode* obj = MakeItemObject(item, model, x, y, z, slot, scale, heading, 0);
    MakeItemSolid(obj, CTYPE_ITEM_SOLID, tweakXZ, 1.0f, CrashIntoItem);
    return obj;
}

static bool AddTree(const char* routine, MapItemType* item, float x, float z, int base, int slot)
{
    int model = ItemModel(routine, item, base, -1);
    ObjNode* tree = MakeSolidScenery(item, model, item->terrainY, x, z, slot, ItemScaleBetween(1.2f, 1.5f),
                                     RandomItemHeading(), kTrunkWidth);
    tree->WeaponHitProc = TreeHitByWeapon;
    return true;
}

bool AddTreeA(MapItemType* item, float x, float z)
{
    return AddTree("AddTreeA", item, x, z, 2, 501);
}

bool AddTreeB(MapItemType* item, float x, float z)
{
    return AddTree("AddTreeB", item, x, z, 9, 588);
}

bool AddSceneryA(MapItemType* item, float x, float z)
{
    static constexpr int kModel = 17;
    static constexpr float kScale = 1.7f;
    RequireLevelModel("AddSceneryA", kModel);
    float y = LowestTerrainUnderModel(x, z, MODEL_GROUP_LEVELSPECIFIC, kModel, kScale);
    MakeSolidScenery(item, kModel, y, x, z, 491, kScale, float(item->parm[0]) * ITEM_HEADING_STEP, 1.0f);
    return true;
}

bool AddSceneryB(MapItemType* item, float x, float z)
{
    static constexpr int kModel = 18;
    RequireLevelModel("AddSceneryB", kModel);
    MakeSolidScenery(item, kModel, item->terrainY, x, z, 491, 1.3f, RandomItemHeading(), 1.0f);
    return true;
}

bool AddSceneryC(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddSceneryC", item, 27, -1);
    MakeSolidScenery(item, model, item->terrainY, x, z, 491, ItemScaleBetween(1.7f, 2.3f),
                     RandomItemHeading(), 1.0f);
    return true;
}

bool AddSceneryD(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddSceneryD", item, 15, -1);
    MakeSolidScenery(item, model, item->terrainY, x, z, 501, ItemScaleBetween(1.2f, 1.5f),
                     RandomItemHeading(), 1.0f);
    return true;
}

bool AddSceneryE(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddSceneryE", item, 2, -1);
    MakeSolidScenery(item, model, item->terrainY, x, z, 501, ItemScaleBetween(1.5f, 2.0f),
                     RandomItemHeading(), 1.0f);
    return true;
}

bool AddSceneryF(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddSceneryF", item, 39, -1);
    MakeSolidScenery(item, model, item->terrainY, x, z, 380, 1.3f, RandomItemHeading(), 1.0f);
    return true;
}

bool AddGroundCover(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddGroundCover", item, 25, -1);
    MakeItemObject(item, model, x, item->terrainY, z, 264, ItemScaleBetween(1.1f, 1.7f), RandomItemHeading(),
                   0);
    return true;
}

bool AddFlowers(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddFlowers", item, 29, -1);
    float heading = (item->parm[3] & 1) ? RandomItemHeading() : float(item->parm[1]) * ITEM_HEADING_STEP;
    MakeItemObject(item, model, x, item->terrainY, z, 821, ItemScaleBetween(1.1f, 1.7f), heading, 0);
    return true;
}

bool AddGrass(MapItemType* item, float x, float z)
{
    static constexpr int kModel = 12;
    RequireLevelModel("AddGrass", kModel);
    MakeItemObject(item, kModel, x, item->terrainY, z, 40, ItemScaleBetween(2.2f, 2.8f), RandomItemHeading(),
                   0);
    return true;
}

bool AddReeds(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddReeds", item, item->parm[1] == 0 ? 16 : 21, -1);
    MakeItemObject(item, model, x, item->terrainY, z, 30, ItemScaleBetween(1.7f, 2.3f), RandomItemHeading(),
                   0);
    return true;
}

// A rock sits with its bottom on the lowest ground under it, so on a slope its uphill side is buried
// rather than its downhill side floating.
static void AddSunkRock(MapItemType* item, float x, float z, int model, int slot, float scale, float heading)
{
    float y = SunkItemY(x, z, model, scale);
    MakeSolidScenery(item, model, y, x, z, slot, scale, heading, kRockWidth);
}

bool AddRock(MapItemType* item, float x, float z)
{
    int base;
    switch (SceneOfLevel(gItemLevel.levelIndex)) {
    case 0:
        base = 31;
        break;
    case 1:
        base = 39;
        break;
    default:
        ShowFatalAlert("AddRock: no rocks are assigned to level \"%s\"", gItemLevel.name);
    }
    int model = ItemModel("AddRock", item, base, -1);
    float heading = item->parm[1] == 0 ? RandomItemHeading() : float(item->parm[1] - 1) * ITEM_HEADING_STEP;
    AddSunkRock(item, x, z, model, 491, ItemScaleBetween(1.7f, 2.3f), heading);
    return true;
}

bool AddBoulder(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddBoulder", item, 37, -1);
    AddSunkRock(item, x, z, model, 491, ItemScaleBetween(1.7f, 2.3f), RandomItemHeading());
    return true;
}

bool AddBigRock(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddBigRock", item, 26, -1);
    AddSunkRock(item, x, z, model, 197, ItemScaleBetween(3.0f, 5.0f), RandomItemHeading());
    return true;
}

// A trunk and a crown whose leaves are alpha-tested cut-outs.
bool AddLeafyTree(MapItemType* item, float x, float z)
{
    int trunk = ItemModel("AddLeafyTree", item, 19, -1);
    int crown = ItemModel("AddLeafyTree", item, 21, -1);
    ObjNode* obj = MakeSolidScenery(item, trunk, item->terrainY, x, z, 501, ItemScaleBetween(1.0f, 1.4f),
                                    float(item->parm[1]) * ITEM_HEADING_STEP, kTrunkWidth);
    AddItemPart(obj, crown, 502, NODEBIT_ALPHA_TEST);
    return true;
}
