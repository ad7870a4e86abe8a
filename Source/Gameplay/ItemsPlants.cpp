// Plant rows of the map item table: plants that sting, scratch or break, trees whose crowns hurt,
// cacti and crystals. Thorny plants keep their damage in Damage; their touch never blocks the
// player, while trunks and cacti are solid.

#include "Gameplay/ItemsLocal.h"

#include "3D/TQ3D.h"
#include "Gameplay/Effects.h"
#include "Gameplay/Hazards.h"
#include "Gameplay/Player.h"
#include "Objects/Collision.h"
#include "Sound/GameSound.h"
#include "System/Alerts.h"

static constexpr float kTrunkWidth = 0.25f;
static constexpr float kPlantWidth = 0.7f;    // a bush's box is its dense middle
static constexpr float kAlignedDepth = -2.0f; // cacti and gecko plants stand a little in the ground

// Touching it makes the player flinch, and the plant breaks; its item stays, so it grows back.
static bool BreakPlant(ObjNode* plant, ObjNode* player)
{
    int who = PlayerIndexOf(player);
    StartPlayerFlinch(who); // drops a carried egg unless in easy mode
    PlayBodyHit(who);
    ShatterObject(plant, 200, 8, 1, 1);
    DisposeObject(plant);
    return false;
}

static bool StingPlayer(ObjNode* plant, ObjNode* player)
{
    (void)plant;
    int who = PlayerIndexOf(player);
    if (!gPlayers[who].carriedEgg)
        StartPlayerFlinch(who);
    return false;
}

bool AddBreakablePlant(MapItemType* item, float x, float z)
{
    static constexpr int kModel = 16;
    RequireLevelModel("AddBreakablePlant", kModel);
    ObjNode* obj = MakeItemObject(item, kModel, x, item->terrainY, z, 620, ItemScaleBetween(1.0f, 1.2f),
                                  RandomItemHeading(), 0);
    MakeItemSolid(obj, CTYPE_ITEM_TOUCH_ONLY, kPlantWidth, 1.0f, BreakPlant);
    return true;
}

bool AddStingPlant(MapItemType* item, float x, float z)
{
    static constexpr int kBaseOfScene[3] = {23, 45, 13};
    int scene = SceneOfLevel(gItemLevel.levelIndex);
    GAME_ASSERT(scene >= 0);
    int model = ItemModel("AddStingPlant", item, kBaseOfScene[scene], -1);
    float scale = ItemScaleBetween(1.7f, 2.3f);
    float y = LowestTerrainUnderModel(x, z, MODEL_GROUP_LEVELSPECIFIC, model, scale);
    ObjNode* obj = MakeItemObject(item, model, x, y, z, 876, scale, RandomItemHeading(), 0);
    MakeItemSolid(obj, CTYPE_ITEM_TOUCH_ONLY, kPlantWidth, 1.0f, StingPlayer);
    return true;
}

// A bush or plant whose thorns hurt a player who touches it.
static ObjNode* MakeThornyPlant(MapItemType* item, int model, float y, float x, float z, int slot,
                                float scale, float heading, uint32_t ctype, float damage)
{
    ObjNode* obj = MakeItemObject(item, model, x, y, z, slot, scale, heading, 0);
    MakeItemSolid(obj, ctype, kPlantWidth, 1.0f, HurtByThorns);
    obj->Damage = damage;
    return obj;
}

bool AddDesertBush(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddDesertBush", item, 23, 3);
    float scale = (item->parm[3] & 1) ? ItemScaleBetween(0.85f, 1.15f) : ItemScaleBetween(1.7f, 2.3f);
    MakeThornyPlant(item, model, item->terrainY, x, z, 501, scale, RandomItemHeading(), CTYPE_ITEM_SOLID,
                    DESERT_BUSH_DAMAGE);
    return true;
}

bool AddPalmBush(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddPalmBush", item, 27, 2);
    MakeThornyPlant(item, model, item->terrainY, x, z, 501, ItemScaleBetween(1.7f, 2.3f), RandomItemHeading(),
                    CTYPE_ITEM_SOLID, PALM_BUSH_DAMAGE);
    return true;
}

bool AddThornBush(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddThornBush", item, 5, -1);
    MakeThornyPlant(item, model, item->terrainY, x, z, 501, ItemScaleBetween(1.3f, 1.6f), RandomItemHeading(),
                    CTYPE_ITEM_SOLID, THORN_BUSH_DAMAGE);
    return true;
}

bool AddGeckoPlant(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddGeckoPlant", item, 9, 2);
    ObjNode* obj = MakeThornyPlant(item, model, item->terrainY, x, z, 60, ItemScaleBetween(1.0f, 3.0f),
                                   RandomItemHeading(), CTYPE_ITEM_SOLID, GECKO_PLANT_DAMAGE);
    AlignToTerrain(obj, kAlignedDepth, nullptr);
    return true;
}

bool AddSpikyPlant(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddSpikyPlant", item, 37, -1);
    float heading = item->parm[1] == 0 ? RandomItemHeading() : float(item->parm[1] - 1) * ITEM_HEADING_STEP;
    MakeThornyPlant(item, model, item->terrainY, x, z, 444, ItemScaleBetween(1.0f, 1.4f), heading,
                    CTYPE_ITEM_SPIKY, SPIKY_PLANT_DAMAGE);
    return true;
}

bool AddCactus(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddCactus", item, 30, 2);
    ObjNode* obj = MakeItemObject(item, model, x, item->terrainY, z, 501, ItemScaleBetween(1.7f, 2.3f),
                                  RandomItemHeading(), 0);
    MakeItemSolid(obj, CTYPE_ITEM_SOLID, kPlantWidth, 1.0f, CrashIntoItem);
    AlignToTerrain(obj, kAlignedDepth, nullptr);
    return true;
}

// A trunk that blocks and a crown that hurts a player brushing through it.
static void AddTreeWithCrown(MapItemType* item, float x, float z, int trunk, int crown, bool burns)
{
    ObjNode* obj = MakeItemObject(item, trunk, x, item->terrainY, z, 501, ItemScaleBetween(1.2f, 1.5f),
                                  RandomItemHeading(), 0);
    MakeItemSolid(obj, CTYPE_ITEM_SOLID, kTrunkWidth, 1.0f, CrashIntoItem);
    ObjNode* top = AddItemPart(obj, crown, 502, 0);
    top->CType = CTYPE_ITEM_CROWN;
    top->TriggerProc = HurtByTreeCrown;
    top->Damage = TREE_CROWN_DAMAGE;
    if (burns)
        obj->WeaponHitProc = top->WeaponHitProc = TreeHitByWeapon;
}

bool AddDesertTree(MapItemType* item, float x, float z)
{
    int trunk = ItemModel("AddDesertTree", item, 5, 4);
    int crown = ItemModel("AddDesertTree", item, 10, 4);
    AddTreeWithCrown(item, x, z, trunk, crown, item->parm[0] != 0); // subtype 0 never burns
    return true;
}

bool AddSwampTree(MapItemType* item, float x, float z)
{
    int trunk = ItemModel("AddSwampTree", item, 17, -1);
    int crown = ItemModel("AddSwampTree", item, 20, -1);
    AddTreeWithCrown(item, x, z, trunk, crown, item->parm[0] != 2); // subtype 2 never burns
    return true;
}

// A crystal base with its shatterable top; a spent crystal (item flags bit 1) is the base alone.
bool AddCrystal(MapItemType* item, float x, float z)
{
    int base = ItemModel("AddCrystal", item, 36, 2);
    int top = ItemModel("AddCrystal", item, 33, 2);
    ObjNode* obj = MakeItemObject(item, base, x, item->terrainY, z, 2950, 1.0f, RandomItemHeading(), 0);
    MakeItemSolid(obj, CTYPE_ITEM_SOLID, 1.0f, 1.0f, CrashIntoItem);
    obj->HomingOffset = {0, 50, 0};
    if (!(item->flags & ITEM_FLAG_SPENT))
        MakeCrystalShatterable(AddItemPart(obj, top, 2951, 0));
    return true;
}
