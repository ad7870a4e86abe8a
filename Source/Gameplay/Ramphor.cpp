// The ramphor: a flying reptile that patrols a swamp spline high over the ground, rising and sinking as
// it goes, and strikes at players that come near. Killed, it tumbles out of the sky and crashes.

#include "Gameplay/Enemies.h"

#include "3D/Math3D.h"
#include "Gameplay/Effects.h"
#include "Gameplay/Player.h"
#include "Objects/Shadows.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Random.h"
#include "Terrain/SplineObjects.h"

#include <cmath>

static constexpr float kScale = 2.2f;
static constexpr float kHealth = 0.8f;
static constexpr float kDamage = 0.4f;
static constexpr float kSplineSpeed = 250;
static constexpr float kFlightHeight = 420;   // above the ground at the item
static constexpr float kHeightPerLevel = 190; // per parm[0]
static constexpr float kBobHeight = 270;
static constexpr float kBobRate = 1.3f;
static constexpr float kAttackRange = 1000;
static constexpr float kAttackHealthCost = 0.2f;
static constexpr float kTouchHealthCost = 0.5f;
static constexpr float kFallGravity = 4000;
static constexpr float kCrashVolume = 0.5f;
static constexpr int kAttackJointA = 3;  // the beak
static constexpr int kAttackJointB = 31; // the talons

static float& BobPhase(ObjNode* ramphor)
{
    return ramphor->FloatSlots[ENEMY_SLOT_BOB_PHASE];
}

// --- Death and the fall ---

static void RamphorFall(ObjNode* ramphor)
{
    if (IsObjectOutOfRange(ramphor)) {
        DeleteEnemy(ramphor);
        return;
    }
    BeginNodeUpdate(ramphor);
    float dt = gFrameSeconds;
    gWorkVel.y -= kFallGravity * dt;
    ramphor->Rotation.z += PI2 * dt; // tumbling
    gWorkPos.x += gWorkVel.x * dt;
    gWorkPos.y += gWorkVel.y * dt;
    gWorkPos.z += gWorkVel.z * dt;

    float ground = TerrainHeightAt(gWorkPos.x, gWorkPos.z);
    if (gWorkPos.y + ramphor->CollisionOffsets.bottom <= ground) {
        Point3D crash = {gWorkPos.x, ground, gWorkPos.z};
        MakeFireExplosion(&crash, 60, 300);
        MakeSmokeBurst(&crash, 40, 250);
        PlayEffectAtRate(EFFECT_PLANECRASH, &crash, kNormalRate, kCrashVolume);
        DeleteEnemy(ramphor);
        return;
    }
    UpdateEnemy(ramphor);
}

static void KillRamphor(ObjNode* ramphor)
{
    DetachEnemyFromSpline(ramphor, RamphorFall);
    // From here its turn is a heading and a growing roll instead of the flight matrix.
    ramphor->StatusFlags &= ~NODEBIT_USE_ROT_MATRIX;
    ramphor->Rotation = {0, ramphor->Rotation.y, 0};
    MorphEnemyTo(ramphor, RAMPHOR_ANIM_FALL, 2);
    ramphor->WeaponHitProc = nullptr;
    ramphor->CType &= ~CTYPE_AIMABLE;
    ramphor->TerrainItem = nullptr;
}

static bool IsDying(const ObjNode* ramphor)
{
    return CurrentEnemyAnim(ramphor) == RAMPHOR_ANIM_FALL;
}

static void HurtRamphor(ObjNode* ramphor, float amount)
{
    ramphor->Health -= amount;
    if (ramphor->Health <= 0)
        KillRamphor(ramphor);
    else
        MorphEnemyTo(ramphor, RAMPHOR_ANIM_HURT, 2);
}

bool RamphorHitByWeapon(ObjNode* weapon, ObjNode* ramphor, const Point3D*, const Vector3D*)
{
    HurtRamphor(ramphor, weapon->Damage);
    return true;
}

bool RamphorTouchesPlayer(ObjNode* ramphor, ObjNode* player)
{
    EnemyHurtsPlayer(ramphor, player);
    if (!IsDying(ramphor))
        HurtRamphor(ramphor, kTouchHealthCost);
    return false;
}

// --- On its spline ---

static void ChooseFlightAnim(ObjNode* ramphor)
{
    int anim = CurrentEnemyAnim(ramphor);
    if (anim == RAMPHOR_ANIM_HURT) {
        if (ramphor->Skeleton->animStopped)
            MorphEnemyTo(ramphor, RAMPHOR_ANIM_FLY, 3);
        return;
    }
    for (int who = 0; who < MAX_PLAYERS; who++) {
        ObjNode* player = gPlayers[who].objNode;
        if (player && player->CType != INVALID_NODE_FLAG &&
            Distance3D(&player->Position, &ramphor->Position) < kAttackRange) {
            MorphEnemyTo(ramphor, RAMPHOR_ANIM_ATTACK, 2);
            return;
        }
    }
    MorphEnemyTo(ramphor, BobPhase(ramphor) < PI ? RAMPHOR_ANIM_FLY : RAMPHOR_ANIM_GLIDE, 4);
}

// The segment from beak to talons strikes the first unshielded player it meets; a hurt ramphor has
// broken off its attack.
static void Strike(ObjNode* ramphor)
{
    if (IsEasyMode() || CurrentEnemyAnim(ramphor) == RAMPHOR_ANIM_HURT)
        return;
    for (int who = 0; who < MAX_PLAYERS; who++) {
        ObjNode* player = gPlayers[who].objNode;
        if (!player || gPlayerDead[who] || gPlayers[who].shieldTimer != 0 ||
            !EnemyJointsStrikePlayer(ramphor, kAttackJointA, kAttackJointB, player))
            continue;
        EnemyHurtsPlayer(ramphor, player);
        HurtRamphor(ramphor, kAttackHealthCost);
        return;
    }
}

static void MoveRamphorOnSpline(ObjNode* ramphor)
{
    if (!IsSplineObjectInRange(ramphor))
        return;

    // 1. Along the path, rising and sinking.
    float dt = gFrameSeconds;
    Point3D old = ramphor->Position;
    IncreaseSplinePlacement(ramphor, kSplineSpeed);
    SetPositionFromSpline(ramphor);
    float& phase = BobPhase(ramphor);
    phase += kBobRate * dt;
    if (phase >= PI2)
        phase -= PI2;
    ramphor->Position.y = ramphor->FloatSlots[ENEMY_SLOT_BASE_HEIGHT] + std::cos(phase) * kBobHeight;
    ramphor->Velocity.y = (ramphor->Position.y - old.y) * gFrameRate;

    // 2. Facing where it flies.
    if (!PointsEqual(&old, &ramphor->Position)) {
        const Vector3D up = {0, 1, 0};
        MatrixOrientToward(&ramphor->RotMatrix, &up, &old, &ramphor->Position);
        ramphor->Rotation.y =
            HeadingFromTo(ramphor->Rotation.y, old.x, old.z, ramphor->Position.x, ramphor->Position.z);
    }

    // 3. Its wing beat, and its attack.
    ChooseFlightAnim(ramphor);
    BeginNodeUpdate(ramphor);
    UpdateEnemy(ramphor);
    Strike(ramphor);
}

bool AddRamphorOnSpline(int splineIndex, SplineItemType* item)
{
    float x, z;
    SplinePoint(splineIndex, item->placement, &x, &z);
    ObjNode* ramphor =
        MakeEnemy(SKELETON_TYPE_RAMPHOR, RAMPHOR_ANIM_FLY, x, z, kScale, 0, nullptr, 0.8f, 0.9f);
    ramphor->Variant = ENEMY_KIND_RAMPHOR;
    ramphor->Health = kHealth;
    ramphor->Damage = IsEasyMode() ? 0.0f : kDamage;
    ramphor->WeaponHitProc = RamphorHitByWeapon;
    ramphor->TriggerProc = RamphorTouchesPlayer;
    ramphor->StatusFlags |= NODEBIT_USE_ROT_MATRIX;
    MatrixIdentity(&ramphor->RotMatrix);

    float base = TerrainHeightAt(x, z) + kFlightHeight + float(item->parm[0]) * kHeightPerLevel;
    ramphor->FloatSlots[ENEMY_SLOT_BASE_HEIGHT] = base;
    BobPhase(ramphor) = RandomUnit() * PI2; // ramphors of one spline do not bob in step
    ramphor->Position.y = base + std::cos(BobPhase(ramphor)) * kBobHeight;
    RebuildNodeTransform(ramphor);
    RefreshBoxFromPosition(ramphor);
    MakeShadowNode(ramphor, 0, 6, 10, false);

    ramphor->StatusFlags |= NODEBIT_SPLINE_DRIVEN;
    ramphor->SplinePos = item->placement;
    ramphor->SplineItem = item;
    ramphor->SplineIndex = uint8_t(splineIndex);
    ramphor->SplineMoveProc = MoveRamphorOnSpline;
    UnlinkObject(ramphor, true);
    AddToSplineObjectList(ramphor, true);
    return true;
}
