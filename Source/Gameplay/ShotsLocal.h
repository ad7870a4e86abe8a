// ShotsLocal.h: what the shot routines share: the per-shot state kept in a node's GeneralBlock, the
// maker of a shot node, and the segment test with its impact.
#pragma once

#include "Gameplay/Effects.h"
#include "Objects/ObjNode.h"

struct ShotState
{
    EffectEmitter trail; // exhaust, flare glow or bomb smoke
    ObjNode* lockTarget; // a missile's target while locked
    uint32_t lockStamp;  // the target's Stamp when the lock was taken
    bool locked;         // a missile homes on lockTarget
    int16_t ringGroup;   // a scream's particle group, -1 none
    uint32_t ringStamp;  // that group's stamp
};
// Timers in the shot's FloatSlots.
constexpr int SHOT_BURST_TIMER = 0; // a main flare bursts when this runs out
constexpr int SHOT_RING_TIMER = 0;  // a scream leaves a ring each time this runs out
constexpr int SHOT_RING_SIZE = 1;   // a scream's ring grows

static_assert(sizeof(ShotState) <= sizeof(ObjNode::GeneralBlock), "ShotState must fit the GeneralBlock");

ShotState* ShotStateOf(ObjNode* shot);

// A shot of the weapons model group at `at`, owned by `player`, as weapon `weapon`, with a square box.
ObjNode* MakeShotNode(int player, int weapon, int model, float scale, uint16_t slot, const Point3D* at,
                      ObjNodeProc move, uint32_t extraStatus);
// A sparkle pinned to the shot at its local point.
void AddShotSparkle(ObjNode* shot, uint32_t flags, Point3D localPoint, float size);

// Between BeginNodeUpdate and CommitNodeUpdate: the segment from OldPosition to gWorkPos + reach along
// `direction`. On a hit the node struck gets its WeaponHitProc, water ripples, hitPoint is filled and the
// result is true; the caller makes its impact and deletes the shot.
bool ShotSegmentHits(ObjNode* shot, const Vector3D* direction, float reach, Point3D* hitPoint,
                     bool* hitTerrain);
// The small impact of stun shots and flares: dirt off the terrain, else sparks, and the sizzle.
void MakeShotImpact(const Point3D* where, bool hitTerrain);
