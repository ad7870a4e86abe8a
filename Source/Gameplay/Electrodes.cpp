// Electrodes: a base and two parts turning against each other, humming, and every fraction of a
// second zapping another active electrode near it. Shot enough, an electrode goes dim and quiet for
// the rest of the level (its map item keeps the spent mark) and only smokes.
//
// Node fields used (on the base): Health (1 active .. 0 spent), ItemTag (1 while active),
// FloatSlots[0] spin speed, FloatSlots[1] time to the next zap, GeneralBlock the smoke emitter.
// The base carries the move routine and the map item; ChainNext is part 2, then part 3.

#include "Gameplay/HazardsLocal.h"

#include "3D/TQ3D.h"
#include "Gameplay/Player.h"
#include "Objects/Collision.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Random.h"

#include <initializer_list>

static constexpr int kFirstModel = 23; // base, part 2, part 3 of the global models
static constexpr int kBaseSlot = 161;
static constexpr float kScale = 2;
static constexpr float kZapReach = 4000;
static constexpr int kMaxZapCandidates = 8;

static bool CrashIntoElectrode(ObjNode* electrode, ObjNode* playerObj)
{
    CrashPlayer(playerObj, electrode, PLAYER_DEATH_EXPLODE);
    return true;
}

static ObjNode* ElectrodeBase(ObjNode* part)
{
    return part->ChainRoot ? part->ChainRoot : part;
}

static bool ElectrodeHitByWeapon(ObjNode* weapon, ObjNode* self, const Point3D*, const Vector3D*)
{
    ObjNode* base = ElectrodeBase(self);
    base->Health -= weapon->Damage * 0.8f;
    if (base->Health <= 0) {
        base->Health = 0;
        base->ItemTag = 0;
        MarkMapItemSpent(base);
        base->CType &= ~CTYPE_AIMABLE;
    }
    base->FloatSlots[0] = base->Health * PI;
    float grey = base->Health * 0.7f + 0.3f;
    base->Tint.r = base->Tint.g = base->Tint.b = grey;
    return true;
}

// Another active electrode within reach, picked at random among the first eight found.
static ObjNode* PickZapPartner(ObjNode* base)
{
    ObjNode* candidates[kMaxZapCandidates];
    int count = 0;
    for (ObjNode* node = gObjectListHead; node && count < kMaxZapCandidates; node = node->NextInList) {
        if (node == base || node->ItemTag != ITEMTAG_ACTIVE_ELECTRODE || node->CType == INVALID_NODE_FLAG)
            continue;
        float d = ApproxDistance2D(node->Position.x - base->Position.x, node->Position.z - base->Position.z);
        if (d < kZapReach)
            candidates[count++] = node;
    }
    if (count == 0)
        return nullptr;
    return candidates[RandomInt(0, uint16_t(count - 1))];
}

static void MoveElectrode(ObjNode* base)
{
    // 1. Gone with its window.
    if (IsObjectOutOfRange(base)) {
        DisposeObject(base);
        return;
    }
    float dt = gFrameSeconds;
    ObjNode* part2 = base->ChainNext;
    ObjNode* part3 = part2 ? part2->ChainNext : nullptr;

    // 2. The parts turn against each other; the hum follows.
    float spin = base->FloatSlots[0];
    if (part2) {
        part2->Rotation.y += spin * dt;
        RebuildNodeTransform(part2);
    }
    if (part3) {
        part3->Rotation.y -= spin * dt;
        RebuildNodeTransform(part3);
    }
    KeepLoopPlaying(base, EFFECT_ELECTRODEHUM, &base->Position, 1 + RandomUnit() / 8, 0.8f);

    // 3. A spent electrode only smokes.
    if (base->Health <= 0) {
        PuffSmoke(base, NodeEffectEmitter(base), base->Position.x, base->Position.y, base->Position.z);
        return;
    }

    // 4. An active one flickers and zaps.
    float brightness = base->Health * 0.7f + 0.3f;
    for (ObjNode* part : {part2, part3}) {
        if (!part)
            continue;
        float grey = (0.7f + 0.3f * RandomUnit()) * brightness;
        part->Tint.r = part->Tint.g = part->Tint.b = grey;
    }
    base->FloatSlots[1] -= dt;
    if (base->FloatSlots[1] <= 0) {
        base->FloatSlots[1] = RandomUnit() * 0.35f;
        if (ObjNode* partner = PickZapPartner(base))
            MakeZap(base, partner);
    }
}

static void MakeElectrodePartSolid(ObjNode* part, uint32_t ctype)
{
    part->CType = ctype;
    part->SolidSides = ALL_SOLID_SIDES;
    part->TriggerProc = CrashIntoElectrode;
    part->WeaponHitProc = ElectrodeHitByWeapon;
}

bool AddElectrode(MapItemType* item, float x, float z)
{
    bool spent = item->flags & ITEM_FLAG_SPENT;
    float y = LowestTerrainUnderModel(x, z, MODEL_GROUP_GLOBAL, kFirstModel, kScale);
    Point3D where = {x, y, z};
    ObjNode* base =
        MakeHazardPart(MODEL_GROUP_GLOBAL, kFirstModel, where, kBaseSlot, 0, kScale, 0, MoveElectrode);
    base->TerrainItem = item;
    base->HomingOffset = {0, 600, 0};
    InitEffectEmitter(NodeEffectEmitter(base));
    if (spent) {
        base->Tint.r = base->Tint.g = base->Tint.b = 0.3f;
        base->Health = 0;
        base->FloatSlots[0] = 0;
        MakeElectrodePartSolid(base, CTYPE_ELECTRODE_SPENT);
    } else {
        base->ItemTag = ITEMTAG_ACTIVE_ELECTRODE;
        base->Health = 1;
        base->FloatSlots[0] = PI;
        base->FloatSlots[1] = RandomUnit() * 0.999f;
        MakeElectrodePartSolid(base, CTYPE_ELECTRODE_ACTIVE);
    }
    for (int part = 1; part <= 2; part++) {
        ObjNode* node = AppendHazardPart(base, MODEL_GROUP_GLOBAL, kFirstModel + part, where,
                                         kBaseSlot + part, 0, kScale, 0);
        MakeElectrodePartSolid(node, CTYPE_ELECTRODE_SPENT);
    }
    return true;
}
