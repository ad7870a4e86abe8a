// What the item routines share: the subtype and model checks, the makers of standing item objects,
// and the touch routines of solid scenery and thorny plants.
//
// Node fields used by items: TerrainItem (the map item; deleting the object lets it come back),
// Damage (what a thorny plant does to a player on contact), Variant (the subtype, parm[0]).

#include "Gameplay/ItemsLocal.h"

#include "3D/TQ3D.h"
#include "Gameplay/Player.h"
#include "Objects/Collision.h"
#include "Objects/DisplayGroups.h"
#include "Sound/GameSound.h"
#include "System/Alerts.h"
#include "System/Prefs.h"
#include "System/Random.h"

ItemLevel gItemLevel = {0, 0, "level1"};

static constexpr float kTwoPi = 6.2831853f;

void RequireLevelModel(const char* routine, int model)
{
    bool loaded = gLoadedModelFiles[MODEL_GROUP_LEVELSPECIFIC] != nullptr;
    if (!loaded || model < 0 || model >= gNumObjectsInGroupList[MODEL_GROUP_LEVELSPECIFIC])
        ShowFatalAlert("%s: level \"%s\" has no model %d in its scene's model file (it holds %d)", routine,
                       gItemLevel.name, model,
                       loaded ? gNumObjectsInGroupList[MODEL_GROUP_LEVELSPECIFIC] : 0);
}

int ItemModel(const char* routine, const MapItemType* item, int base, int maxSubtype)
{
    if (maxSubtype >= 0 && item->parm[0] > maxSubtype)
        ShowFatalAlert("%s: illegal subtype", routine);
    int model = base + item->parm[0];
    RequireLevelModel(routine, model);
    return model;
}

float RandomItemHeading()
{
    return RandomUnit() * kTwoPi * 0.9999f;
}

float ItemScaleBetween(float lo, float hi)
{
    return lo + RandomUnit() * (hi - lo);
}

float SunkItemY(float x, float z, int model, float scale)
{
    float lowest = LowestTerrainUnderModel(x, z, MODEL_GROUP_LEVELSPECIFIC, model, scale);
    return lowest - gTQ3DModelBBoxes[MODEL_GROUP_LEVELSPECIFIC][model].minY * scale;
}

void MoveStaticItem(ObjNode* obj)
{
    if (IsObjectOutOfRange(obj))
        DisposeObject(obj);
}

// Distant items fade out before the far clip plane when the level fades at all.
static uint32_t DistanceFadeBits()
{
    return gFadeStartDistance != 0 ? NODEBIT_DISTANCE_FADE : 0;
}

ObjNode* MakeItemObject(MapItemType* item, int model, float x, float y, float z, int slot, float scale,
                        float heading, uint32_t extraStatus)
{
    ObjectDefinition def = {};
    def.artGroup = MODEL_GROUP_LEVELSPECIFIC;
    def.artIndex = uint8_t(model);
    def.position = {x, y, z};
    def.statusFlags = DistanceFadeBits() | extraStatus;
    def.slot = int16_t(slot);
    def.moveProc = MoveStaticItem;
    def.rotationY = heading;
    def.scale = scale;
    ObjNode* obj = MakeNewDisplayGroupObject(&def);
    obj->TerrainItem = item;
    obj->Variant = item->parm[0];
    return obj;
}

ObjNode* AddItemPart(ObjNode* head, int model, int slot, uint32_t extraStatus)
{
    ObjectDefinition def = {};
    def.artGroup = MODEL_GROUP_LEVELSPECIFIC;
    def.artIndex = uint8_t(model);
    def.position = head->Position;
    def.statusFlags = DistanceFadeBits() | extraStatus;
    def.slot = int16_t(slot);
    def.rotationY = head->Rotation.y;
    def.scale = head->Scale.x;
    ObjNode* part = MakeNewDisplayGroupObject(&def);
    AppendNodeToChain(head, part);
    return part;
}

void MakeItemSolid(ObjNode* obj, uint32_t ctype, float tweakXZ, float tweakY, TriggerProcType touch)
{
    obj->CType = ctype;
    obj->SolidSides = ALL_SOLID_SIDES;
    obj->TriggerProc = touch;
    BoxFromModelBounds(obj, tweakXZ, tweakY);
}

bool CrashIntoItem(ObjNode* item, ObjNode* player)
{
    CrashPlayer(player, item, PLAYER_DEATH_EXPLODE);
    return true;
}

// The scratch of a plant or crown: the damage, a moment of invincibility, the body hit and its rumble.
static void ScratchPlayer(ObjNode* player, float damage, int deathKind, const Point3D* where,
                          float invincible)
{
    int who = PlayerIndexOf(player);
    DamagePlayer(who, damage, deathKind, where, true);
    gPlayers[who].invincibleTimer = invincible;
    PlayBodyHit(who);
}

bool HurtByThorns(ObjNode* plant, ObjNode* player)
{
    if (gPlayers[PlayerIndexOf(player)].invincibleTimer <= 0 && !gPrefs.easyMode)
        ScratchPlayer(player, plant->Damage, RandomInt(0, 1), nullptr, 0.5f);
    return false; // thorns scratch; they never block
}

bool HurtByTreeCrown(ObjNode* crown, ObjNode* player)
{
    const PlayerRecord& record = gPlayers[PlayerIndexOf(player)];
    if (!gPrefs.easyMode && !record.carriedEgg && record.invincibleTimer <= 0)
        ScratchPlayer(player, TREE_CROWN_DAMAGE, 1, &crown->Position, 0.6f);
    return false;
}
