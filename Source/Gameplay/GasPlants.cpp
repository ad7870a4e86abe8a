// Gas plants: pods that breathe a column of poison gas. A player flying low through the column is
// hurt a little every moment and flinches.
//
// Node fields used: Variant the subtype (which of three vents the gas leaves from), GeneralBlock the
// gas emitter.

#include "Gameplay/HazardsLocal.h"

#include "3D/TQ3D.h"
#include "Gameplay/ItemsLocal.h"
#include "Gameplay/Player.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"

static constexpr int kFirstModel = 39;
static constexpr int kMaxSubtype = 2;
static constexpr int kPlantSlot = 197;
static constexpr float kGasReach = 150;
static constexpr float kGasHeight = 700;
static constexpr float kGasDamagePerSecond = 0.1f;

// Where each subtype's vent is, in the plant's own units.
static const Point3D kVents[kMaxSubtype + 1] = {
    {2.163f, 125.091f, -1.907f}, {19.385f, 69.243f, 2.243f}, {5.189f, 22.168f, -5.504f}};

static void MoveGasPlant(ObjNode* plant)
{
    // 1. Gone with its window.
    if (IsObjectOutOfRange(plant)) {
        DisposeObject(plant);
        return;
    }

    // 2. Players in the column breathe the gas.
    for (int player = 0; player < MAX_PLAYERS; player++) {
        if (!IsPlayerLive(player))
            continue;
        ObjNode* node = gPlayers[player].objNode;
        float across =
            ApproxDistance2D(node->Position.x - plant->Position.x, node->Position.z - plant->Position.z);
        if (across >= kGasReach || node->Position.y - plant->Position.y >= kGasHeight)
            continue;
        if (!node->Skeleton || node->Skeleton->animNum != PLAYER_ANIM_RECOVER)
            PlayBodyHit(player);
        DamagePlayer(player, kGasDamagePerSecond * gFrameSeconds, PLAYER_DEATH_FALL, nullptr, true);
    }

    // 3. The gas rises from the vent.
    Point3D vent;
    TransformPoint(&kVents[plant->Variant], &plant->Transform, &vent);
    EmitGas(&vent, NodeEffectEmitter(plant));
}

bool AddGasPlant(MapItemType* item, float x, float z)
{
    int model = ItemModel("AddGasPlant", item, kFirstModel, kMaxSubtype);
    float scale = ItemScaleBetween(2.7f, 3.3f);
    Point3D where = {x, SunkItemY(x, z, model, scale), z};
    ObjNode* plant = MakeHazardPart(MODEL_GROUP_LEVELSPECIFIC, model, where, kPlantSlot, RandomItemHeading(),
                                    scale, 0, MoveGasPlant);
    plant->TerrainItem = item;
    plant->Variant = item->parm[0];
    InitEffectEmitter(NodeEffectEmitter(plant));
    return true;
}
