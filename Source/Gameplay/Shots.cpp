// The flying shots of the stun gun, flare gun, missile launcher and bombs: each moves itself, tests the
// segment it swept this frame and calls the WeaponHitProc of what it struck.

#include "Gameplay/ShotsLocal.h"

#include "3D/Picking.h"
#include "3D/TQ3D.h"
#include "Gameplay/Player.h"
#include "Gameplay/Weapons.h"
#include "Objects/Collision.h"
#include "Objects/DisplayGroups.h"
#include "Objects/Shadows.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/LevelGlobals.h"
#include "System/Random.h"
#include "Terrain/Terrain.h"
#include "Terrain/Water.h"

#include <algorithm>
#include <cmath>

static constexpr uint32_t kShotWorldMask = 0x13100; // stopping objects, terrain, fences, water
static constexpr float kShotReach = 40;
static constexpr float kMissileReach = 50;
static constexpr int kShadowKind = 0;

// Stun gun.
static constexpr float kStunSpeed = 4000;
static constexpr float kStunLifetime = 2;
static constexpr uint32_t kStunStatus = NODEBIT_ADDITIVE | NODEBIT_FOG_OFF | NODEBIT_DEPTH_WRITE_OFF |
                                        NODEBIT_LIGHTING_OFF | NODEBIT_USE_ROT_MATRIX |
                                        NODEBIT_SHOW_BACKFACES | NODEBIT_CLAMP_UV;

// Flares.
static constexpr float kFlareSpeed = 2500;
static constexpr float kFlareGravity = 500;
static constexpr float kFlareBurstDelay = 0.6f;
static constexpr float kFlareDamage = 0.4f;
static constexpr float kBurstFlareDamage = 0.34f;
static constexpr float kBurstSpread = 0.4f; // radians either way about Y and Z

// Missiles.
static constexpr float kMissileLaunchBoost = 300;
static constexpr float kMissileAcceleration = 1000;
static constexpr float kMissileTopSpeed = 2300;
static constexpr float kMissileTurnRate = 3.8f;
static constexpr float kMissileLockCone = 0.5235988f; // 30 degrees
static constexpr float kMissileLifetime = 4;

// Bombs.
static constexpr float kBombLaunchBoost = 200;
static constexpr float kBombGravity = 800;
static constexpr float kBombFriction = 500;
static constexpr float kBombLongestFall = 20; // seconds: a bomb that found nothing to hit goes away

ShotState* ShotStateOf(ObjNode* shot)
{
    return reinterpret_cast<ShotState*>(shot->GeneralBlock);
}

ObjNode* MakeShotNode(int player, int weapon, int model, float scale, uint16_t slot, const Point3D* at,
                      ObjNodeProc move, uint32_t extraStatus)
{
    ObjectDefinition def = {};
    def.artGroup = MODEL_GROUP_WEAPONS;
    def.artIndex = uint8_t(model);
    def.position = *at;
    def.statusFlags = extraStatus;
    def.slot = int16_t(slot);
    def.moveProc = move;
    def.scale = scale;
    ObjNode* shot = MakeNewDisplayGroupObject(&def);
    shot->Variant = weapon;
    shot->PaneIndex = uint8_t(player);
    shot->CType = CTYPE_SHOT;
    SquareBoxFromModelBounds(shot, 1);
    ShotState* state = ShotStateOf(shot);
    *state = {};
    InitEffectEmitter(&state->trail);
    state->ringGroup = -1;
    return shot;
}

void AddShotSparkle(ObjNode* shot, uint32_t flags, Point3D localPoint, float size)
{
    int16_t index = AttachSparkleToObject(shot);
    if (index == -1)
        return; // a full table only costs the glint
    SparkleRecord& sparkle = gSparkleTable[index];
    sparkle.flags = flags;
    sparkle.position = localPoint;
    sparkle.facing = {0, 0, -1};
    sparkle.halfSize = size;
    sparkle.spriteIndex = PARTICLE_SObjType_WhiteGlow;
}

static void FaceAlong(ObjNode* shot, const Vector3D* direction)
{
    MatrixOrientAlong(&shot->RotMatrix, direction);
}

static Vector3D Scaled(const Vector3D& v, float s)
{
    return {v.x * s, v.y * s, v.z * s};
}

bool ShotSegmentHits(ObjNode* shot, const Vector3D* direction, float reach, Point3D* hitPoint,
                     bool* hitTerrain)
{
    PickSegment segment;
    segment.start = shot->OldPosition;
    segment.end = {gWorkPos.x + direction->x * reach, gWorkPos.y + direction->y * reach,
                   gWorkPos.z + direction->z * reach};
    ObjNode* hitNode = nullptr;
    Vector3D hitNormal = {0, 1, 0};
    uint32_t kind = OtherPlayerBit(shot->PaneIndex) | kShotWorldMask;
    if (!FindSegmentHit(&segment, &hitNode, hitPoint, &hitNormal, &kind, true))
        return false;

    if (kind == 0 && hitNode && hitNode->WeaponHitProc)
        hitNode->WeaponHitProc(shot, hitNode, hitPoint, &hitNormal);
    if (kind == CT_WATER)
        SpawnWaterRipples(hitPoint->x, hitPoint->z, 10, 40, 0.5f, 3);
    *hitTerrain = kind == CT_TERRAIN;
    return true;
}

void MakeShotImpact(const Point3D* where, bool hitTerrain)
{
    if (hitTerrain)
        BurstSparks(where, 433, 1.0f, PARTICLE_SObjType_Dirt, 130, 1.2f); // about 130 clods at 70..970
    else
        BurstSparks(where, 167, 1.0f, PARTICLE_SObjType_Sparks, 50, 1.5f); // about 50 sparks at 30..330
    PlayEffectAtRate(EFFECT_IMPACTSIZZLE, where, kNormalRate, 0.8f);
}

// The lifetime in Health runs out; true when the shot was deleted.
static bool ShotExpired(ObjNode* shot)
{
    shot->Health -= gFrameSeconds;
    if (shot->Health > 0)
        return false;
    DisposeObject(shot);
    return true;
}

static void MoveWork(float dt)
{
    gWorkPos.x += gWorkVel.x * dt;
    gWorkPos.y += gWorkVel.y * dt;
    gWorkPos.z += gWorkVel.z * dt;
}

// ---------------------------------------------------------------------------------------------------------
// Stun gun
// ---------------------------------------------------------------------------------------------------------

static void MoveStunShot(ObjNode* shot)
{
    if (ShotExpired(shot))
        return;
    BeginNodeUpdate(shot);
    MoveWork(gFrameSeconds);
    Point3D hit;
    bool terrain = false;
    if (ShotSegmentHits(shot, &shot->MotionDir, kShotReach, &hit, &terrain)) {
        MakeShotImpact(&hit, terrain);
        DisposeObject(shot);
        return;
    }
    CommitNodeUpdate(shot);
}

ObjNode* FireStunShot(int player, const Point3D* muzzle, const Vector3D* aim)
{
    ObjNode* shot =
        MakeShotNode(player, WEAPON_STUN_GUN, 0, 4, STUN_SHOT_SLOT, muzzle, MoveStunShot, kStunStatus);
    shot->Tint.a = 0.99f;
    shot->Velocity = Scaled(*aim, kStunSpeed);
    shot->MotionDir = *aim;
    shot->Health = kStunLifetime;
    shot->Damage = gPlayMode == kPlayMode_Adventure ? 0.2f : 0.35f;
    FaceAlong(shot, aim);
    RebuildNodeTransform(shot);
    AddShotSparkle(shot, GLINT_ALL_DIRECTIONS | GLINT_OWNER_SPACE, {0, 0, -12}, 100);
    PlayEffectAtRate(EFFECT_STUNGUN, muzzle, kNormalRate, 0.7f);
    RumbleForEffect(EFFECT_STUNGUN, player);
    return shot;
}

// ---------------------------------------------------------------------------------------------------------
// Flares
// ---------------------------------------------------------------------------------------------------------

static void MoveFlare(ObjNode* shot);

static ObjNode* MakeFlare(int player, const Point3D* at, const Vector3D* direction, int phase, float damage,
                          float lifetime)
{
    ObjNode* shot = MakeShotNode(player, WEAPON_FLARE_GUN, 1, 0.9f, FLARE_SLOT, at, MoveFlare, 0);
    shot->Rotation = {RandomUnit() * PI2, RandomUnit() * PI2, RandomUnit() * PI2};
    shot->Phase = phase;
    shot->Velocity = Scaled(*direction, kFlareSpeed);
    shot->MotionDir = *direction;
    shot->Damage = damage;
    shot->Health = lifetime;
    shot->SpinRate = {RandomSigned() * 10, RandomSigned() * 20, 0};
    shot->FloatSlots[SHOT_BURST_TIMER] = kFlareBurstDelay;
    RebuildNodeTransform(shot);
    MakeShadowNode(shot, kShadowKind, 1, 1, false);
    return shot;
}

// Four flares fan out along the old direction, turned at random about Y and about Z.
static void BurstFlare(ObjNode* flare)
{
    for (int i = 0; i < 4; i++) {
        Matrix4x4 turnY, turnZ, turn;
        MatrixRotateY(&turnY, RandomSigned() * kBurstSpread);
        MatrixRotateZ(&turnZ, RandomSigned() * kBurstSpread);
        MatrixMultiply(&turnY, &turnZ, &turn);
        Vector3D direction;
        TransformVector(&flare->MotionDir, &turn, &direction);
        MakeFlare(flare->PaneIndex, &flare->Position, &direction, 1, kBurstFlareDamage,
                  1.9f + RandomUnit() * 0.2f);
    }
    PlayEffectAtRate(EFFECT_FLARESHOOT, &flare->Position, kNormalRate * 3 / 2, 0.7f);
}

static void MoveFlare(ObjNode* shot)
{
    float dt = gFrameSeconds;
    if (ShotExpired(shot))
        return;
    ShotState* state = ShotStateOf(shot);
    if (shot->Phase == 0) {
        shot->FloatSlots[SHOT_BURST_TIMER] -= dt;
        if (shot->FloatSlots[SHOT_BURST_TIMER] <= 0) {
            BurstFlare(shot);
            DisposeObject(shot);
            return;
        }
    }

    BeginNodeUpdate(shot);
    shot->Rotation.x += shot->SpinRate.x * dt;
    shot->Rotation.y += shot->SpinRate.y * dt;
    gWorkVel.y -= kFlareGravity * dt;
    MoveWork(dt);
    Vector3D direction;
    Normalize3(&gWorkVel, &direction);
    Point3D hit;
    bool terrain = false;
    if (ShotSegmentHits(shot, &direction, kShotReach, &hit, &terrain)) {
        MakeShotImpact(&hit, terrain);
        DisposeObject(shot);
        return;
    }
    CommitNodeUpdate(shot);
    EmitExhaust(&shot->Position, &state->trail);
}

ObjNode* FireFlare(int player, const Point3D* muzzle, const Vector3D* aim)
{
    ObjNode* shot = MakeFlare(player, muzzle, aim, 0, kFlareDamage, 1.3f + RandomUnit() * 0.2f);
    PlayEffectAtRate(EFFECT_FLARESHOOT, muzzle, kNormalRate, 0.7f);
    RumbleForEffect(EFFECT_FLARESHOOT, player);
    return shot;
}

// ---------------------------------------------------------------------------------------------------------
// Missiles
// ---------------------------------------------------------------------------------------------------------

static void ExplodeMissile(const Point3D* where)
{
    MakeFireExplosion(where, 50, 700);
    MakeSmokeBurst(where, 60, 270);
    ObjNode* ring = MakeBlastRing(where);
    ring->StatusFlags |= NODEBIT_ADDITIVE;
    ring->Tint = {0.3f, 0.3f, 1.0f, 0.6f};
    PlayEffectAtRate(EFFECT_TURRETEXPLOSION, where, kNormalRate * 3 / 2, 0.7f);
}

static bool IsLockStillGood(const ShotState* state)
{
    return state->locked && state->lockTarget && state->lockTarget->Stamp == state->lockStamp &&
           state->lockTarget->CType != INVALID_NODE_FLAG;
}

// The nearest world node that can be aimed at within 30 degrees of the missile's heading.
static void SearchForLock(ObjNode* missile, ShotState* state)
{
    uint32_t mask = OtherPlayerBit(missile->PaneIndex) | CTYPE_AIMABLE;
    float nearest = 0;
    ObjNode* best = nullptr;
    for (ObjNode* node = gObjectListHead; node && node->Slot < SLOT_OF_FIRST_NON_WORLD;
         node = node->NextInList) {
        if (node->CType == INVALID_NODE_FLAG || !(node->CType & mask))
            continue;
        Vector3D toNode;
        Normalize3XYZ(node->Position.x - gWorkPos.x, node->Position.y - gWorkPos.y,
                      node->Position.z - gWorkPos.z, &toNode);
        if (std::acos(DotClamped(&toNode, &missile->MotionDir)) > kMissileLockCone)
            continue;
        float distance = Distance3D(&node->Position, &gWorkPos);
        if (!best || distance < nearest) {
            best = node;
            nearest = distance;
        }
    }
    if (best) {
        state->locked = true;
        state->lockTarget = best;
        state->lockStamp = best->Stamp;
    }
}

static void MoveMissile(ObjNode* missile)
{
    float dt = gFrameSeconds;
    if (ShotExpired(missile))
        return;
    ShotState* state = ShotStateOf(missile);
    BeginNodeUpdate(missile);

    // 1. Home on the locked target's homing point; a changed stamp breaks the lock.
    if (state->locked && !IsLockStillGood(state))
        state->locked = false;
    if (state->locked) {
        Point3D goal;
        TransformPoint(&state->lockTarget->HomingOffset, &state->lockTarget->Transform, &goal);
        Vector3D toGoal;
        Normalize3XYZ(goal.x - gWorkPos.x, goal.y - gWorkPos.y, goal.z - gWorkPos.z, &toGoal);
        Vector3D turned;
        LerpNormalized(&missile->MotionDir, &toGoal, kMissileTurnRate * dt, &turned);
        missile->MotionDir = turned;
    } else {
        // 2. Look for something to lock on to ahead.
        SearchForLock(missile, state);
    }

    // 3. Accelerate along the heading.
    missile->Speed = std::min(kMissileTopSpeed, missile->Speed + kMissileAcceleration * dt);
    gWorkVel = Scaled(missile->MotionDir, missile->Speed);
    MoveWork(dt);

    // 4. The swept segment.
    Vector3D direction = missile->MotionDir;
    Point3D hit;
    bool terrain = false;
    if (ShotSegmentHits(missile, &direction, kMissileReach, &hit, &terrain)) {
        ExplodeMissile(&hit);
        DisposeObject(missile);
        return;
    }
    FaceAlong(missile, &direction);
    CommitNodeUpdate(missile);
    missile->MotionDir = direction; // keeps the homing heading exact
    Point3D exhaust;
    Point3D local = {0, 0, 50};
    TransformPoint(&local, &missile->Transform, &exhaust);
    EmitExhaust(&exhaust, &state->trail);
    if (missile->LoopChannel == -1)
        missile->LoopChannel = PlayEffectAt(EFFECT_MISSILEENGINE, &missile->Position);
    else
        FollowEffectChannel(EFFECT_MISSILEENGINE, &missile->LoopChannel, &missile->Position);
}

ObjNode* FireMissile(int player, const Point3D* muzzle, const Vector3D* aim)
{
    PlayerRecord& record = gPlayers[player];
    ObjNode* missile = MakeShotNode(player, WEAPON_MISSILE, 2, 0.7f, MISSILE_SLOT, muzzle, MoveMissile,
                                    NODEBIT_USE_ROT_MATRIX);
    missile->Speed = record.objNode->Speed + kMissileLaunchBoost;
    missile->Velocity = Scaled(*aim, missile->Speed);
    missile->MotionDir = *aim;
    missile->Health = kMissileLifetime;
    missile->Damage = gPlayMode == kPlayMode_Adventure ? 0.8f : 0.4f;
    missile->LoopChannel = -1;
    FaceAlong(missile, aim);
    RebuildNodeTransform(missile);
    MakeShadowNode(missile, kShadowKind, 2, 2, false);
    AddShotSparkle(missile, GLINT_ALL_DIRECTIONS | GLINT_OWNER_SPACE | GLINT_FLICKER, {0, 0, 50}, 100);

    ShotState* state = ShotStateOf(missile);
    ObjNode* target = record.aimTarget;
    if (target && target->Stamp == record.aimTargetStamp && target->CType != INVALID_NODE_FLAG) {
        state->locked = true;
        state->lockTarget = target;
        state->lockStamp = target->Stamp;
    }
    PlayEffectAtRate(EFFECT_LAUNCHMISSILE, muzzle, kNormalRate, 0.8f);
    RumbleForEffect(EFFECT_LAUNCHMISSILE, player);
    return missile;
}

// ---------------------------------------------------------------------------------------------------------
// Bombs
// ---------------------------------------------------------------------------------------------------------

static void ExplodeBomb(const Point3D* where)
{
    MakeRisingFire(where, 30, 900);
    MakeSmokeBurst(where, 70, 270);
    MakeBlastRing(where);
    PlayEffectAtRate(EFFECT_TURRETEXPLOSION, where, kNormalRate * 3 / 2, 0.7f);
}

static void MoveBomb(ObjNode* bomb)
{
    float dt = gFrameSeconds;
    if (ShotExpired(bomb))
        return;
    BeginNodeUpdate(bomb);
    gWorkVel.y -= kBombGravity * dt;
    DampVectorXZ(&gWorkVel, kBombFriction);
    MoveWork(dt);
    bomb->Rotation.x = std::max(-PI / 2, bomb->Rotation.x - 1.1f * dt);

    Vector3D direction;
    Normalize3(&gWorkVel, &direction);
    Point3D hit;
    bool terrain = false;
    if (ShotSegmentHits(bomb, &direction, kShotReach, &hit, &terrain)) {
        ExplodeBomb(&hit);
        DisposeObject(bomb);
        return;
    }
    CommitNodeUpdate(bomb);
    EmitSmokeTrail(&bomb->Position, &ShotStateOf(bomb)->trail);
}

ObjNode* DropBomb(int player, const Point3D* muzzle, const Vector3D* aim)
{
    ObjNode* owner = gPlayers[player].objNode;
    ObjNode* bomb = MakeShotNode(player, WEAPON_BOMB, 3, 0.3f, BOMB_SLOT, muzzle, MoveBomb, 0);
    bomb->Rotation = {owner->Rotation.x, owner->Rotation.y, 0};
    bomb->Velocity = Scaled(*aim, owner->Speed + kBombLaunchBoost);
    bomb->MotionDir = *aim;
    bomb->Damage = 1.0f;
    bomb->Health = kBombLongestFall;
    RebuildNodeTransform(bomb);
    MakeShadowNode(bomb, kShadowKind, 2, 2, false);
    PlayEffectAtRate(EFFECT_BOMBDROP, muzzle, kNormalRate, 0.8f);
    RumbleForEffect(EFFECT_BOMBDROP, player);
    return bomb;
}
