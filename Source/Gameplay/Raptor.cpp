// The raptor: a fast biped that lies in wait ahead of the player, runs at it and pounces. It is stunned
// by hits it survives, runs home when it meets a fence, and dies from weapons or the player's body blows.

#include "Gameplay/Enemies.h"

#include "3D/Math3D.h"
#include "Gameplay/Player.h"
#include "Objects/Collision.h"
#include "Objects/Shadows.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Random.h"
#include "Terrain/SplineObjects.h"

#include <algorithm>
#include <cmath>

static constexpr float kScale = 2.5f;
static constexpr float kHealth = 0.7f;
static constexpr float kDamage = 0.4f;
static constexpr float kTurnSpeed = 4.2f;
static constexpr float kAmbushLead = 2600;   // how far ahead of the player it lies in wait
static constexpr float kAmbushReached = 400; // then it attacks
static constexpr float kRetreatTime = 3;
static constexpr float kRetreatGiveUp = 500; // a player this close ends the retreat
static constexpr float kLoseInterest = 5000; // a player farther away makes it wait
static constexpr float kPounceReach = 1100;
static constexpr float kPounceAim = 0.3926991f; // pi / 8
static constexpr float kPounceLift = 2800;
static constexpr float kPounceHealthCost = 0.3f;
static constexpr float kTouchHealthCost = 0.5f;
static constexpr float kStunTime = 5;
static constexpr float kBumpSpeed = 460;
static constexpr float kAnimPerSpeed = 0.0009f;
static constexpr float kSplineSpeed = 350;
static constexpr float kDeadLingerDistance = 1000;
static constexpr int kPounceJointA = 3;  // the head
static constexpr int kPounceJointB = 22; // the sickle claw
static constexpr uint32_t kSidesPushedBack =
    SIDE_BITS_LEFT | SIDE_BITS_RIGHT | SIDE_BITS_FRONT | SIDE_BITS_BACK;

static float& Timer(ObjNode* raptor)
{
    return raptor->FloatSlots[ENEMY_SLOT_TIMER];
}

static float& RunSpeed(ObjNode* raptor)
{
    return raptor->FloatSlots[ENEMY_SLOT_RUN_SPEED];
}

static void SetAnimSpeed(ObjNode* raptor, float speed)
{
    if (raptor->Skeleton)
        raptor->Skeleton->animSpeed = speed;
}

static bool IsDeadOrStunned(const ObjNode* raptor)
{
    int anim = CurrentEnemyAnim(raptor);
    return anim == RAPTOR_ANIM_DEAD || anim == RAPTOR_ANIM_STUNNED;
}

static void Gravity()
{
    gWorkVel.y -= ENEMY_GRAVITY * gFrameSeconds;
}

static void MoveByVelocity()
{
    gWorkPos.x += gWorkVel.x * gFrameSeconds;
    gWorkPos.y += gWorkVel.y * gFrameSeconds;
    gWorkPos.z += gWorkVel.z * gFrameSeconds;
}

// --- Death and stun ---

static void KillRaptor(ObjNode* raptor)
{
    PlayEffectAt(EFFECT_RAPTORDEATH, &raptor->Position);
    DetachEnemyFromSpline(raptor, MoveRaptor);
    MorphEnemyTo(raptor, RAPTOR_ANIM_DEAD, 2);
    raptor->WeaponHitProc = nullptr;
    raptor->CType &= ~CTYPE_AIMABLE;
    raptor->TerrainItem = nullptr; // a killed raptor does not come back
}

static void StunRaptor(ObjNode* raptor)
{
    DetachEnemyFromSpline(raptor, MoveRaptor);
    MorphEnemyTo(raptor, RAPTOR_ANIM_STUNNED, 2);
    Timer(raptor) = kStunTime;
}

// Health lost: death at 0 or below, else a stun.
static void HurtRaptor(ObjNode* raptor, float amount)
{
    raptor->Health -= amount;
    if (raptor->Health <= 0)
        KillRaptor(raptor);
    else
        StunRaptor(raptor);
}

bool RaptorHitByWeapon(ObjNode* weapon, ObjNode* raptor, const Point3D*, const Vector3D*)
{
    HurtRaptor(raptor, weapon->Damage);
    return true;
}

bool RaptorTouchesPlayer(ObjNode* raptor, ObjNode* player)
{
    EnemyHurtsPlayer(raptor, player);
    if (!IsDeadOrStunned(raptor))
        HurtRaptor(raptor, kTouchHealthCost);
    return false;
}

// --- Handlers ---

// The point the raptor runs toward in its current mode; modes change as it gets there.
static void ChooseTarget(ObjNode* raptor, const ObjNode* player, float playerDistance, float* x, float* z)
{
    switch (raptor->Phase) {
    case RAPTOR_MODE_RETREAT:
        *x = raptor->InitPosition.x;
        *z = raptor->InitPosition.z;
        Timer(raptor) -= gFrameSeconds;
        if (playerDistance < kRetreatGiveUp || Timer(raptor) <= 0)
            raptor->Phase = RAPTOR_MODE_AMBUSH;
        break;
    case RAPTOR_MODE_AMBUSH: {
        float heading = player->Rotation.y;
        *x = player->Position.x - std::sin(heading) * kAmbushLead;
        *z = player->Position.z - std::cos(heading) * kAmbushLead;
        if (QuickDistance2D(gWorkPos.x, gWorkPos.z, *x, *z) < kAmbushReached)
            raptor->Phase = RAPTOR_MODE_ATTACK;
        break;
    }
    default:
        *x = player->Position.x;
        *z = player->Position.z;
        break;
    }
}

static void RunAtPlayer(ObjNode* raptor)
{
    float dt = gFrameSeconds;
    float playerDistance;
    ObjNode* player = FindNearestPlayer(gWorkPos.x, gWorkPos.z, &playerDistance);
    if (!player) {
        MorphEnemyTo(raptor, RAPTOR_ANIM_WAIT, 2);
        UpdateEnemy(raptor);
        return;
    }
    float startHeading = raptor->Rotation.y;

    // 1. Turn toward the target of the chase mode.
    float targetX, targetZ;
    ChooseTarget(raptor, player, playerDistance, &targetX, &targetZ);
    float angleLeft = TurnTowardOnY(raptor, &gWorkPos, targetX, targetZ, kTurnSpeed, false, nullptr);

    // 2. Faster on the straight than in the turns.
    float topSpeed = std::max(575.0f, 2300.0f - std::fabs(angleLeft) * 200.0f);
    float& runSpeed = RunSpeed(raptor);
    runSpeed = std::min(runSpeed + topSpeed * 0.3f * dt, topSpeed);
    SetAnimSpeed(raptor, runSpeed * kAnimPerSpeed);

    // 3. Run along the heading, falling when off the ground.
    float heading = raptor->Rotation.y;
    gWorkVel.x = -std::sin(heading) * runSpeed;
    gWorkVel.z = -std::cos(heading) * runSpeed;
    Gravity();
    MoveByVelocity();

    // 4. Lean into sharp turns.
    float turnRate = (heading - startHeading) * gFrameRate;
    if (std::fabs(turnRate) > 1.5f)
        MorphEnemyTo(raptor, turnRate > 0 ? RAPTOR_ANIM_TURN_LEFT : RAPTOR_ANIM_TURN_RIGHT, 5);
    else
        MorphEnemyTo(raptor, RAPTOR_ANIM_RUN, 5);

    // 5. A player far away is not worth the run.
    if (raptor->Phase != RAPTOR_MODE_RETREAT && playerDistance > kLoseInterest)
        MorphEnemyTo(raptor, RAPTOR_ANIM_WAIT, 2);

    // 6. Collide; a fence turns it back home for a while, anything in the way slows it.
    if (EnemyCollide(raptor, ENEMY_MASK_RUNNING, true))
        return;
    if (gSidesHit & kSidesPushedBack) {
        if (gNumCollisions == 0) {
            raptor->Phase = RAPTOR_MODE_RETREAT;
            Timer(raptor) = kRetreatTime;
        }
        runSpeed = kBumpSpeed;
    }

    // 7. Close and facing the player: pounce.
    if (!IsEasyMode() && raptor->Phase == RAPTOR_MODE_ATTACK && playerDistance < kPounceReach &&
        std::fabs(angleLeft) < kPounceAim) {
        gWorkVel.y = kPounceLift;
        gWorkVel.x *= 0.7f;
        gWorkVel.z *= 0.7f;
        MorphEnemyTo(raptor, RAPTOR_ANIM_POUNCE, 5);
        PlayEffectAt(EFFECT_RAPTORATTACK, &raptor->Position);
    }

    // 8. Done.
    UpdateEnemy(raptor);
}

static void Wait(ObjNode* raptor)
{
    float playerDistance;
    ObjNode* player = FindNearestPlayer(gWorkPos.x, gWorkPos.z, &playerDistance);
    if (player) {
        TurnTowardOnY(raptor, &gWorkPos, player->Position.x, player->Position.z, kTurnSpeed, false, nullptr);
        if (playerDistance < kLoseInterest) {
            raptor->Phase = RAPTOR_MODE_AMBUSH;
            RunSpeed(raptor) = 0;
            MorphEnemyTo(raptor, RAPTOR_ANIM_RUN, 3);
        }
    }
    gWorkVel.x = gWorkVel.z = 0; // standing
    Gravity();
    MoveByVelocity();
    if (EnemyCollide(raptor, ENEMY_MASK_STANDING, true))
        return;
    UpdateEnemy(raptor);
}

// In the air: the segment from its head to its claw strikes the first unshielded player it meets.
static void Pounce(ObjNode* raptor)
{
    DampVector3(&gWorkVel, 400);
    Gravity();
    MoveByVelocity();
    if (EnemyCollide(raptor, ENEMY_MASK_RUNNING, true))
        return;

    if (!IsEasyMode()) {
        for (int who = 0; who < MAX_PLAYERS; who++) {
            ObjNode* player = gPlayers[who].objNode;
            if (!player || gPlayerDead[who] || gPlayers[who].shieldTimer != 0 ||
                !EnemyJointsStrikePlayer(raptor, kPounceJointA, kPounceJointB, player))
                continue;
            EnemyHurtsPlayer(raptor, player);
            if (!IsDeadOrStunned(raptor))
                HurtRaptor(raptor, kPounceHealthCost);
            break; // one hit per frame
        }
    }

    if ((raptor->StatusFlags & NODEBIT_ON_GROUND) && CurrentEnemyAnim(raptor) == RAPTOR_ANIM_POUNCE) {
        RunSpeed(raptor) = raptor->Speed;
        raptor->Phase = RAPTOR_MODE_AMBUSH;
        MorphEnemyTo(raptor, RAPTOR_ANIM_RUN, 7);
    }
    UpdateEnemy(raptor);
}

static void Stunned(ObjNode* raptor)
{
    DampVector3(&gWorkVel, 700);
    Gravity();
    MoveByVelocity();
    Timer(raptor) -= gFrameSeconds;
    if (Timer(raptor) <= 0)
        MorphEnemyTo(raptor, RAPTOR_ANIM_WAIT, 2);
    if (EnemyCollide(raptor, ENEMY_MASK_STANDING, true))
        return;
    UpdateEnemy(raptor);
}

static void Dead(ObjNode* raptor)
{
    float playerDistance;
    FindNearestPlayer(gWorkPos.x, gWorkPos.z, &playerDistance);
    if (IsNodeCulledInAllPanes(raptor) && playerDistance > kDeadLingerDistance) {
        DeleteEnemy(raptor);
        return;
    }
    if (raptor->StatusFlags & NODEBIT_ON_GROUND)
        DampVectorXZ(&gWorkVel, 2000);
    Gravity();
    MoveByVelocity();
    if (EnemyCollide(raptor, ENEMY_MASK_DEAD, true))
        return;
    UpdateEnemy(raptor);
}

static const ObjNodeProc kRaptorHandlers[NUM_RAPTOR_ANIMS] = {
    RunAtPlayer, // run
    Wait,        // wait
    Dead,        // dead
    Stunned,     // stunned
    Pounce,      // pounce
    RunAtPlayer, // run variants
    RunAtPlayer,
    RunAtPlayer, // turning left
    RunAtPlayer, // turning right
};

void MoveRaptor(ObjNode* raptor)
{
    if (IsObjectOutOfRange(raptor)) {
        DeleteEnemy(raptor);
        return;
    }
    BeginNodeUpdate(raptor);
    int anim = CurrentEnemyAnim(raptor);
    kRaptorHandlers[anim < NUM_RAPTOR_ANIMS ? anim : RAPTOR_ANIM_RUN](raptor);
}

// --- Making ---

ObjNode* MakeRaptor(float x, float z, int startAnim)
{
    ObjNode* raptor =
        MakeEnemy(SKELETON_TYPE_RAPTOR, startAnim, x, z, kScale, RandomUnit() * PI2, MoveRaptor, 0.5f, 0.9f);
    raptor->Variant = ENEMY_KIND_RAPTOR;
    raptor->Phase = RAPTOR_MODE_AMBUSH;
    raptor->Health = kHealth;
    raptor->Damage = IsEasyMode() ? 0.0f : kDamage;
    raptor->HomingOffset = {0, 0, -20};
    raptor->WeaponHitProc = RaptorHitByWeapon;
    raptor->TriggerProc = RaptorTouchesPlayer;
    MakeShadowNode(raptor, 0, 6, 10, false);
    return raptor;
}

bool AddRaptor(MapItemType* item, float x, float z)
{
    if (IsEasyMode() || gNumEnemies >= gMaxEnemies)
        return false;
    if (!(item->parm[3] & 1) && gNumEnemiesOfKind[ENEMY_KIND_RAPTOR] >= MAX_ENEMIES_OF_KIND)
        return false;
    ObjNode* raptor = MakeRaptor(x, z, RAPTOR_ANIM_RUN);
    raptor->TerrainItem = item;
    CountEnemy(ENEMY_KIND_RAPTOR);
    return true;
}

// --- On a spline ---

static void MoveRaptorOnSpline(ObjNode* raptor)
{
    if (!IsSplineObjectInRange(raptor))
        return;
    Point3D old = raptor->Position;
    IncreaseSplinePlacement(raptor, kSplineSpeed);
    SetPositionFromSpline(raptor);
    raptor->Speed = VectorLength(&raptor->Velocity);
    SetAnimSpeed(raptor, raptor->Speed * kAnimPerSpeed);
    raptor->Rotation.y =
        HeadingFromTo(raptor->Rotation.y, old.x, old.z, raptor->Position.x, raptor->Position.z);
    raptor->Position.y =
        TerrainHeightAt(raptor->Position.x, raptor->Position.z) - raptor->FloatSlots[ENEMY_SLOT_BOTTOM];

    BeginNodeUpdate(raptor);
    if (EnemyCollide(raptor, ENEMY_MASK_SPLINE, true))
        return;
    UpdateEnemy(raptor);
}

bool AddRaptorOnSpline(int splineIndex, SplineItemType* item)
{
    float x, z;
    SplinePoint(splineIndex, item->placement, &x, &z);
    ObjNode* raptor = MakeRaptor(x, z, RAPTOR_ANIM_RUN);
    raptor->StatusFlags |= NODEBIT_SPLINE_DRIVEN;
    raptor->SplinePos = item->placement;
    raptor->SplineItem = item;
    raptor->SplineIndex = uint8_t(splineIndex);
    raptor->SplineMoveProc = MoveRaptorOnSpline;
    UnlinkObject(raptor, true);
    AddToSplineObjectList(raptor, true);
    return true;
}
