// The brach: a huge long-necked walker. Placed on the map it grazes, now and then looking around or
// swishing its tail; placed on a spline it walks the route. It does not attack, but flying into it is
// a crash, and it takes a good deal of shooting to bring down.

#include "Gameplay/Enemies.h"

#include "3D/Math3D.h"
#include "Gameplay/Player.h"
#include "Objects/Shadows.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Random.h"
#include "Terrain/SplineObjects.h"
#include "Terrain/Water.h"

#include <cmath>

static constexpr float kScale = 6.0f;
static constexpr float kHealth = 1.1f;
static constexpr float kDamage = 0.7f;
static constexpr float kTurnSpeed = 2;
static constexpr float kWalkSpeed = 300;
static constexpr float kWaterLookAhead = 30;
static constexpr float kAnimPerSpeed = 0.003f;
static constexpr float kSplineSpeed = 70;
static constexpr float kDeadLingerDistance = 3000;
static constexpr float kHurtSoundDamage = 0.1f; // smaller hits make no sound
static constexpr float kItemHeadingStep = 0.7853982f;

static float& Timer(ObjNode* brach)
{
    return brach->FloatSlots[ENEMY_SLOT_TIMER];
}

static void SetAnimSpeed(ObjNode* brach, float speed)
{
    if (brach->Skeleton)
        brach->Skeleton->animSpeed = speed;
}

static float NextGrazeTime()
{
    return 3 + 5 * RandomUnit();
}

// Gravity, the move and the collision of a brach on its feet; false when it died in the collision.
static bool StepAndCollide(ObjNode* brach, uint32_t mask)
{
    gWorkVel.y -= ENEMY_GRAVITY * gFrameSeconds;
    gWorkPos.x += gWorkVel.x * gFrameSeconds;
    gWorkPos.y += gWorkVel.y * gFrameSeconds;
    gWorkPos.z += gWorkVel.z * gFrameSeconds;
    return !EnemyCollide(brach, mask, true);
}

// --- Handlers ---

static void Graze(ObjNode* brach)
{
    SetAnimSpeed(brach, 0.3f);
    Timer(brach) -= gFrameSeconds;
    if (Timer(brach) <= 0) {
        if (RandomUnit() < 0.5f)
            MorphEnemyTo(brach, BRACH_ANIM_LOOK, 3);
        else
            MorphEnemyTo(brach, BRACH_ANIM_SWISH, 1);
        Timer(brach) = NextGrazeTime();
    }
    gWorkVel.x = gWorkVel.z = 0;
    if (StepAndCollide(brach, ENEMY_MASK_STANDING))
        UpdateEnemy(brach);
}

// Walks toward the nearest player, and stops to graze at the water's edge.
static void Walk(ObjNode* brach)
{
    ObjNode* player = FindNearestPlayer(gWorkPos.x, gWorkPos.z, nullptr);
    if (player && !gPlayerDead[PlayerIndexOf(player)])
        TurnTowardOnY(brach, &gWorkPos, player->Position.x, player->Position.z, kTurnSpeed, false, nullptr);
    float heading = brach->Rotation.y;
    gWorkVel.x = -std::sin(heading) * kWalkSpeed;
    gWorkVel.z = -std::cos(heading) * kWalkSpeed;
    if (IsPointOverWater(gWorkPos.x - std::sin(heading) * kWaterLookAhead,
                         gWorkPos.z - std::cos(heading) * kWaterLookAhead)) {
        MorphEnemyTo(brach, BRACH_ANIM_GRAZE, 8);
        Timer(brach) = NextGrazeTime();
        gWorkVel.x = gWorkVel.z = 0;
    }
    if (!StepAndCollide(brach, ENEMY_MASK_STANDING))
        return;
    UpdateEnemy(brach);
    SetAnimSpeed(brach, brach->Speed * kAnimPerSpeed);
}

static void Dead(ObjNode* brach)
{
    SetAnimSpeed(brach, 0.4f);
    float playerDistance;
    FindNearestPlayer(gWorkPos.x, gWorkPos.z, &playerDistance);
    if (IsNodeCulledInAllPanes(brach) && playerDistance > kDeadLingerDistance) {
        DeleteEnemy(brach);
        return;
    }
    if (brach->StatusFlags & NODEBIT_ON_GROUND)
        DampVectorXZ(&gWorkVel, 2000);
    if (StepAndCollide(brach, ENEMY_MASK_DEAD))
        UpdateEnemy(brach);
}

// The one-shot idles: back to grazing when they have played.
static void Idle(ObjNode* brach)
{
    SetAnimSpeed(brach, CurrentEnemyAnim(brach) == BRACH_ANIM_LOOK ? 0.7f : 0.4f);
    if (brach->Skeleton && brach->Skeleton->animStopped)
        MorphEnemyTo(brach, BRACH_ANIM_GRAZE, 3);
    gWorkVel.x = gWorkVel.z = 0;
    if (StepAndCollide(brach, ENEMY_MASK_STANDING))
        UpdateEnemy(brach);
}

static const ObjNodeProc kBrachHandlers[NUM_BRACH_ANIMS] = {
    Graze, // graze
    Walk,  // walk
    Dead,  // dead
    Idle,  // look around
    Idle,  // tail swish
};

void MoveBrach(ObjNode* brach)
{
    if (IsObjectOutOfRange(brach)) {
        DeleteEnemy(brach);
        return;
    }
    BeginNodeUpdate(brach);
    int anim = CurrentEnemyAnim(brach);
    kBrachHandlers[anim < NUM_BRACH_ANIMS ? anim : BRACH_ANIM_GRAZE](brach);
}

// --- Hits ---

bool BrachHitByWeapon(ObjNode* weapon, ObjNode* brach, const Point3D*, const Vector3D*)
{
    brach->Health -= weapon->Damage;
    if (brach->Health <= 0) {
        PlayEffectAt(EFFECT_BRACHDEATH, &brach->Position);
        DetachEnemyFromSpline(brach, MoveBrach);
        MorphEnemyTo(brach, BRACH_ANIM_DEAD, 8);
        brach->WeaponHitProc = nullptr;
        brach->CType &= ~CTYPE_AIMABLE;
        brach->TerrainItem = nullptr; // a killed brach does not come back
    } else if (weapon->Damage >= kHurtSoundDamage) {
        PlayEffectAtRate(EFFECT_BRACHHURT, &brach->Position, kNormalRate, 1.2f);
    }
    return true;
}

// --- Making ---

ObjNode* MakeBrach(float x, float z, int startAnim)
{
    ObjNode* brach =
        MakeEnemy(SKELETON_TYPE_BRACH, startAnim, x, z, kScale, RandomUnit() * PI2, MoveBrach, 0.5f, 0.9f);
    brach->Variant = ENEMY_KIND_BRACH;
    brach->Health = kHealth;
    brach->Damage = kDamage;
    brach->WeaponHitProc = BrachHitByWeapon;
    Timer(brach) = NextGrazeTime();
    MakeShadowNode(brach, 0, 12, 20, false);
    return brach;
}

bool AddBrach(MapItemType* item, float x, float z)
{
    if (gNumEnemies >= gMaxEnemies)
        return false;
    if (!(item->parm[3] & 1) && gNumEnemiesOfKind[ENEMY_KIND_BRACH] >= MAX_ENEMIES_OF_KIND)
        return false;
    ObjNode* brach = MakeBrach(x, z, BRACH_ANIM_GRAZE);
    brach->Rotation.y = float(item->parm[0]) * kItemHeadingStep;
    RebuildNodeTransform(brach);
    brach->TerrainItem = item;
    CountEnemy(ENEMY_KIND_BRACH);
    return true;
}

// --- On a spline ---

static void MoveBrachOnSpline(ObjNode* brach)
{
    if (!IsSplineObjectInRange(brach))
        return;
    SetAnimSpeed(brach, 0.5f);
    Point3D old = brach->Position;
    IncreaseSplinePlacement(brach, kSplineSpeed);
    SetPositionFromSpline(brach);
    brach->Rotation.y = HeadingFromTo(brach->Rotation.y, old.x, old.z, brach->Position.x, brach->Position.z);
    brach->Position.y =
        TerrainHeightAt(brach->Position.x, brach->Position.z) - brach->FloatSlots[ENEMY_SLOT_BOTTOM];

    BeginNodeUpdate(brach);
    if (EnemyCollide(brach, ENEMY_MASK_SPLINE, true))
        return;
    UpdateEnemy(brach);
}

bool AddBrachOnSpline(int splineIndex, SplineItemType* item)
{
    float x, z;
    SplinePoint(splineIndex, item->placement, &x, &z);
    ObjNode* brach = MakeBrach(x, z, BRACH_ANIM_WALK);
    SetAnimSpeed(brach, 0.5f);
    brach->StatusFlags |= NODEBIT_SPLINE_DRIVEN;
    brach->SplinePos = item->placement;
    brach->SplineItem = item;
    brach->SplineIndex = uint8_t(splineIndex);
    brach->SplineMoveProc = MoveBrachOnSpline;
    UnlinkObject(brach, true);
    AddToSplineObjectList(brach, true);
    return true;
}
