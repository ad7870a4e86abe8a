// Pylons and the doors they hold shut. Each pylon and door carries a door index (0..63); destroying
// a pylon opens every door of its index, those already standing and those made later, for the rest
// of the level. A destroyed pylon comes back as its base alone.
//
// Node fields used:
//  - pylon base: Variant door index, Health hit points, ChainNext the turning top (none when spent);
//  - door frame: Variant door index, ChainNext the leaf (turning about Z), then the glow.

#include "Gameplay/HazardsLocal.h"

#include "3D/TQ3D.h"
#include "Gameplay/ItemsLocal.h"
#include "Gameplay/Player.h"
#include "Objects/Collision.h"
#include "Objects/DisplayGroups.h"
#include "Sound/GameSound.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/LevelGlobals.h"
#include "System/Random.h"

#include <initializer_list>

#include <cmath>

static constexpr int kPylonModel = 27;
static constexpr int kPylonTopModel = 28;
static constexpr int kPylonSlot = 209;
static constexpr float kPylonScale = 1.85f;
static constexpr uint32_t kPylonCType = 0x30040;
static constexpr uint32_t kPylonTopCType = 0x50000;
static constexpr float kPylonHealth = 0.3f;

static constexpr int kLeafModel = 26;
static constexpr int kGlowModel = 29;
static constexpr int kDoorSlot = 176;
static constexpr float kDoorScale = 1.85f;
static constexpr float kLeafPivotHeight = 129.5f; // in the frame model's units
static constexpr uint32_t kDoorFrameCType = 0x830000;
static constexpr uint32_t kDoorPartCType = 0x30000;
static constexpr int kEverTurningDoorLevel = 2;

// A door index from a map item; the table holds 64.
static int DoorIndexOf(const char* routine, const MapItemType* item)
{
    if (item->parm[0] >= MAX_DOORS)
        ShowFatalAlert("%s: door index %d is beyond the %d doors a level may have", routine, item->parm[0],
                       MAX_DOORS);
    return item->parm[0];
}

// ---------------------------------------------------------------------------------------------------------
// Pylons
// ---------------------------------------------------------------------------------------------------------

static ObjNode* PylonBase(ObjNode* part)
{
    return part->ChainRoot ? part->ChainRoot : part;
}

static void DestroyPylon(ObjNode* base)
{
    ObjNode* top = base->ChainNext;
    if (!top)
        return; // already destroyed
    gDoorOpen[base->Variant] = 1;
    PlayEffectAt(EFFECT_TURRETEXPLOSION, &base->Position);
    MarkMapItemSpent(base);
    base->CType &= ~CTYPE_AIMABLE;
    Point3D sparks = {top->Position.x, top->Position.y + 462.5f, top->Position.z};
    BurstSparks(&sparks, 667, 1, PARTICLE_SObjType_Sparks, 200, 1.0f);
    DetachFromChain(top);
    DisposeObject(top);
}

static bool PylonHitByWeapon(ObjNode* weapon, ObjNode* self, const Point3D*, const Vector3D*)
{
    ObjNode* base = PylonBase(self);
    base->Health -= weapon->Damage;
    if (base->Health <= 0)
        DestroyPylon(base);
    return true;
}

static bool CrashIntoPylon(ObjNode* self, ObjNode* playerObj)
{
    ObjNode* base = PylonBase(self);
    DestroyPylon(base);
    CrashPlayer(playerObj, base, PLAYER_DEATH_EXPLODE);
    return true;
}

static void MovePylon(ObjNode* base)
{
    if (IsObjectOutOfRange(base)) {
        DisposeObject(base);
        return;
    }
    if (ObjNode* top = base->ChainNext) {
        top->Rotation.y += 2 * gFrameSeconds;
        RebuildNodeTransform(top);
    }
}

bool AddPylon(MapItemType* item, float x, float z)
{
    int door = DoorIndexOf("AddPylon", item);
    Point3D where = {x, item->terrainY, z};
    float heading = float(item->parm[1]) * ITEM_HEADING_STEP;
    ObjNode* base = MakeHazardPart(MODEL_GROUP_GLOBAL, kPylonModel, where, kPylonSlot, heading, kPylonScale,
                                   0, MovePylon);
    base->TerrainItem = item;
    base->Variant = door;
    base->CType = kPylonCType;
    base->SolidSides = ALL_SOLID_SIDES;
    base->Health = kPylonHealth;
    base->TriggerProc = CrashIntoPylon;
    base->WeaponHitProc = PylonHitByWeapon;
    base->HomingOffset = {0, 220, 0};
    if (item->flags & ITEM_FLAG_SPENT)
        return true;

    base->CType |= CTYPE_AIMABLE;
    ObjNode* top = AppendHazardPart(base, MODEL_GROUP_GLOBAL, kPylonTopModel, where, kPylonSlot + 1, heading,
                                    kPylonScale, 0);
    top->CType = kPylonTopCType;
    top->WeaponHitProc = PylonHitByWeapon;
    top->HomingOffset = {0, 220, 0};
    for (float angle : {0.0f, 2.092301f, 4.184602f}) {
        Point3D glint = {20 * std::sin(angle), 190, 20 * std::cos(angle)};
        AddHazardSparkle(top, GLINT_ALL_DIRECTIONS | GLINT_OWNER_SPACE | GLINT_FLICKER, 60, glint,
                         PARTICLE_SObjType_WhiteGlow);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Doors
// ---------------------------------------------------------------------------------------------------------

static int DoorFrameModel()
{
    switch (gItemLevel.levelIndex) {
    case 0:
        return 42;
    case 1:
        return 47;
    case 2:
    case 3:
    case 7:
        return 32;
    default:
        ShowFatalAlert("AddForestDoor: level \"%s\" has no door models", gItemLevel.name);
    }
}

static void MoveDoor(ObjNode* frame)
{
    if (IsObjectOutOfRange(frame)) {
        DisposeObject(frame);
        return;
    }
    ObjNode* leaf = frame->ChainNext;
    ObjNode* glow = leaf ? leaf->ChainNext : nullptr;
    if (!leaf)
        return;

    // 1. An open door's leaf turns down out of the way (on one level it never stops).
    if (gDoorOpen[frame->Variant]) {
        leaf->Rotation.z -= gFrameSeconds;
        if (leaf->Rotation.z < -PI && gItemLevel.levelIndex != kEverTurningDoorLevel)
            leaf->Rotation.z = -PI;
        RebuildNodeTransform(leaf);
    }

    // 2. The glow rides the leaf's rim, flickering and scrolling.
    if (glow) {
        glow->Position = leaf->Position;
        glow->Rotation = leaf->Rotation;
        glow->Scale = leaf->Scale;
        RebuildNodeTransform(glow);
        glow->Tint.a = 0.7f + 0.3f * RandomUnit();
        glow->TextureOffset.u -= 3 * gFrameSeconds;
    }
}

static bool CrashIntoDoor(ObjNode* frame, ObjNode* playerObj)
{
    CrashPlayer(playerObj, frame, PLAYER_DEATH_EXPLODE);
    return true;
}

bool AddForestDoor(MapItemType* item, float x, float z)
{
    int model = DoorFrameModel();
    RequireLevelModel("AddForestDoor", model);
    int door = DoorIndexOf("AddForestDoor", item);
    float heading = float(item->parm[1]) * (PI / 2);
    Point3D where = {x, item->terrainY, z};
    ObjNode* frame =
        MakeHazardPart(MODEL_GROUP_LEVELSPECIFIC, model, where, kDoorSlot, heading, kDoorScale, 0, MoveDoor);
    frame->TerrainItem = item;
    frame->Variant = door;
    frame->CType = kDoorFrameCType;
    frame->SolidSides = ALL_SOLID_SIDES;
    frame->TriggerProc = CrashIntoDoor;
    BoxFromRotatedModelBounds(frame, 1, 1);

    Point3D pivot = {x, item->terrainY + kLeafPivotHeight * kDoorScale, z};
    ObjNode* leaf = AppendHazardPart(frame, MODEL_GROUP_GLOBAL, kLeafModel, pivot, kDoorSlot + 1, heading,
                                     kDoorScale, NODEBIT_ROT_ZXY);
    leaf->CType = kDoorPartCType;
    if (gDoorOpen[door]) {
        leaf->Rotation.z = -PI;
        RebuildNodeTransform(leaf);
    }

    ObjNode* glow = AppendHazardPart(frame, MODEL_GROUP_GLOBAL, kGlowModel, pivot, 2999, heading, kDoorScale,
                                     NODEBIT_ROT_ZXY | NODEBIT_TEXTURE_SCROLL | NODEBIT_ADDITIVE |
                                         NODEBIT_FOG_OFF | NODEBIT_LIGHTING_OFF);
    glow->CType = kDoorPartCType;
    glow->Rotation = leaf->Rotation;
    RebuildNodeTransform(glow);
    return true;
}
