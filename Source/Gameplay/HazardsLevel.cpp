// The hazards' level start, the area blast, and the helpers their files share.

#include "Gameplay/HazardsLocal.h"

#include "Gameplay/Eggs.h"
#include "Gameplay/Player.h"
#include "Gameplay/Sky.h"
#include "Objects/DisplayGroups.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/LevelGlobals.h"
#include "System/ProgramState.h"

#include <algorithm>
#include <cmath>
#include <cstring>

uint8_t gDoorOpen[MAX_DOORS];

static_assert(sizeof(EffectEmitter) <= sizeof(ObjNode::GeneralBlock), "the emitter lives in GeneralBlock");

void InitLevelItems()
{
    std::memset(gDoorOpen, 0, sizeof(gDoorOpen));
    InitZaps();
    ModifyWormholeTextures();
    InitDustDevils();
    MakeSkyObjects();
}

void BlastNearbyObjects(ObjNode* source, uint32_t typeMask)
{
    float reach = 10 * source->Scale.x;
    float fullDamage = source->Damage;
    source->Damage = fullDamage * gFrameSeconds; // the blast's damage is per second
    ObjNode* node = gObjectListHead;
    while (node && node->Slot < SLOT_OF_FIRST_NON_WORLD) {
        ObjNode* next = node->NextInList; // a hit may delete the node
        if (node != source && node->CType != INVALID_NODE_FLAG && (node->CType & typeMask) &&
            Distance3D(&node->Position, &source->Position) < reach)
            HitWithWeapon(source, node, nullptr, nullptr);
        node = next;
    }
    source->Damage = fullDamage;
}

// ---------------------------------------------------------------------------------------------------------
// Shared helpers
// ---------------------------------------------------------------------------------------------------------

static uint32_t DistanceFadeBits()
{
    return gFadeStartDistance != 0 ? NODEBIT_DISTANCE_FADE : 0;
}

ObjNode* MakeHazardPart(int group, int model, const Point3D& where, int slot, float heading, float scale,
                        uint32_t status, ObjNodeProc move)
{
    ObjectDefinition def = {};
    def.artGroup = uint8_t(group);
    def.artIndex = uint8_t(model);
    def.position = where;
    def.statusFlags = DistanceFadeBits() | status;
    def.slot = int16_t(slot);
    def.moveProc = move;
    def.rotationY = heading;
    def.scale = scale;
    return MakeNewDisplayGroupObject(&def);
}

ObjNode* AppendHazardPart(ObjNode* head, int group, int model, const Point3D& where, int slot, float heading,
                          float scale, uint32_t status)
{
    ObjNode* part = MakeHazardPart(group, model, where, slot, heading, scale, status, nullptr);
    AppendNodeToChain(head, part);
    return part;
}

void ForgetMapItem(ObjNode* obj)
{
    obj->TerrainItem = nullptr;
}

void MarkMapItemSpent(ObjNode* obj)
{
    if (obj->TerrainItem)
        obj->TerrainItem->flags |= ITEM_FLAG_SPENT;
}

float ApproxDistance2D(float dx, float dz)
{
    dx = std::fabs(dx);
    dz = std::fabs(dz);
    return std::max(dx, dz) + 0.375f * std::min(dx, dz);
}

bool IsPlayerLive(int player)
{
    if (player < 0 || player >= gNumPanes || player >= MAX_PLAYERS)
        return false;
    const ObjNode* node = gPlayers[player].objNode;
    return node && node->CType != INVALID_NODE_FLAG && !gPlayerDead[player];
}

int NearestPlayerTo(const Point3D& where, float* distance)
{
    int nearest = -1;
    float best = 1e30f;
    for (int player = 0; player < gNumPanes && player < MAX_PLAYERS; player++) {
        if (!IsPlayerLive(player))
            continue;
        float d = Distance3D(&gPlayers[player].objNode->Position, &where);
        if (d < best)
            best = d, nearest = player;
    }
    if (distance)
        *distance = best;
    return nearest;
}

int16_t AddHazardSparkle(ObjNode* owner, uint32_t flags, float size, const Point3D& where, int texture)
{
    int16_t index = AttachSparkleToObject(owner);
    if (index < 0)
        return -1;
    SparkleRecord& sparkle = gSparkleTable[index];
    sparkle.flags = flags;
    sparkle.position = where;
    sparkle.facing = {0, 0, 1};
    sparkle.halfSize = size;
    sparkle.pullToCamera = 30;
    sparkle.spriteIndex = int16_t(texture);
    return index;
}

void RemoveHazardSparkle(ObjNode* owner, int16_t* index)
{
    if (*index < 0)
        return;
    for (int16_t& slot : owner->SparkleSlots) {
        if (slot == *index)
            slot = -1;
    }
    DeleteSparkle(*index);
    *index = -1;
}

EffectEmitter* NodeEffectEmitter(ObjNode* node)
{
    return reinterpret_cast<EffectEmitter*>(node->GeneralBlock);
}

bool HitWithWeapon(ObjNode* source, ObjNode* target, const Point3D* point, const Vector3D* normal)
{
    if (!target->WeaponHitProc)
        return false;
    target->WeaponHitProc(source, target, point, normal);
    return true;
}

void KeepLoopPlaying(ObjNode* node, int16_t effect, const Point3D* where, float rate, float volume)
{
    if (node->LoopChannel != -1)
        FollowEffectChannel(effect, &node->LoopChannel, where);
    if (node->LoopChannel == -1)
        node->LoopChannel = PlayEffectAtRate(effect, where, uint32_t(float(kNormalRate) * rate), volume);
}
