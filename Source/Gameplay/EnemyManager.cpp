// What every enemy shares: the counts, making and deleting, leaving a spline, the collision step with
// the ground and water, and the player's side of an enemy's touch.

#include "Gameplay/Enemies.h"

#include "3D/Picking.h"
#include "Gameplay/Effects.h"
#include "Gameplay/Eggs.h"
#include "Gameplay/Player.h"
#include "Objects/Collision.h"
#include "Objects/Shadows.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/LevelGlobals.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"
#include "System/Random.h"
#include "Terrain/SplineObjects.h"
#include "Terrain/Water.h"

#include <algorithm>
#include <cmath>

int gNumEnemies = 0;
int gNumEnemiesOfKind[NUM_ENEMY_KINDS] = {};
int gMaxEnemies = MAX_ENEMIES;

static constexpr int kFirstEnemySlot = 60; // plus the skeleton type
static constexpr uint32_t kSidesSolid = SIDE_BITS_LEFT | SIDE_BITS_RIGHT | SIDE_BITS_FRONT | SIDE_BITS_BACK;
static constexpr float kFloorPush = -0.9f;
static constexpr float kRippleInterval = 0.1f;
static constexpr float kTouchInvincibility = 1.0f;
static constexpr float kShieldTouchFactor = 3.0f; // a shield takes three times the enemy's damage
static constexpr float kBodyHitVolume = 1.1f;

void InitEnemyManager()
{
    gNumEnemies = 0;
    std::fill(std::begin(gNumEnemiesOfKind), std::end(gNumEnemiesOfKind), 0);
    gMaxEnemies = MAX_ENEMIES;
}

bool IsEasyMode()
{
    return gPrefs.easyMode != 0;
}

int CurrentEnemyAnim(const ObjNode* enemy)
{
    return enemy->Skeleton ? int(enemy->Skeleton->animNum) : 0;
}

void MorphEnemyTo(ObjNode* enemy, int anim, float rate)
{
    if (enemy->Skeleton && enemy->Skeleton->animNum != anim)
        MorphToSkeletonAnim(enemy->Skeleton, anim, rate);
}

ObjNode* MakeEnemy(int skeletonType, int startAnim, float x, float z, float scale, float heading,
                   ObjNodeProc moveProc, float halfWidth, float height)
{
    ObjectDefinition def = {};
    def.artIndex = uint8_t(skeletonType);
    def.startAnim = uint8_t(startAnim);
    def.position = {x, TerrainHeightAt(x, z), z};
    def.statusFlags = gDistanceFadeBits;
    def.slot = int16_t(kFirstEnemySlot + skeletonType);
    def.moveProc = moveProc;
    def.rotationY = heading;
    def.scale = scale;
    ObjNode* enemy = MakeNewSkeletonBaseData(&def);

    enemy->CType = CTYPE_ENEMY;
    enemy->SolidSides = kSidesSolid;
    // A pack of enemies made together does not move in step.
    SkeletonInstance* skeleton = enemy->Skeleton;
    skeleton->animTime = RandomUnit() * skeleton->animLength;

    // A box from the posed model, square on x/z, standing on the ground.
    BoxFromModelBounds(enemy, halfWidth, height);
    enemy->CollisionOffsets.front = enemy->CollisionOffsets.right;
    enemy->CollisionOffsets.back = -enemy->CollisionOffsets.right;
    float bottom = enemy->CollisionOffsets.bottom;
    enemy->FloatSlots[ENEMY_SLOT_BOTTOM] = bottom;
    enemy->Position.y -= bottom;
    enemy->InitPosition = enemy->Position;
    RebuildNodeTransform(enemy);
    RefreshBoxFromPosition(enemy);
    StoreOldBoxes(enemy);
    return enemy;
}

void CountEnemy(int kind)
{
    gNumEnemies++;
    gNumEnemiesOfKind[kind]++;
}

void DeleteEnemy(ObjNode* enemy)
{
    if (!enemy || enemy->CType == INVALID_NODE_FLAG)
        return;
    if (!(enemy->StatusFlags & NODEBIT_SPLINE_DRIVEN)) {
        int kind = std::clamp(int(enemy->Variant), 0, NUM_ENEMY_KINDS - 1);
        gNumEnemiesOfKind[kind]--;
        if (gNumEnemiesOfKind[kind] < 0) {
            ShowAlert("DeleteEnemy: < 0");
            gNumEnemiesOfKind[kind] = 0;
        }
        gNumEnemies = std::max(0, gNumEnemies - 1);
    }
    DisposeObject(enemy);
}

void DetachEnemyFromSpline(ObjNode* enemy, ObjNodeProc moveProc)
{
    if (!(enemy->StatusFlags & NODEBIT_SPLINE_DRIVEN))
        return;
    DetachFromSpline(enemy, moveProc);
    CountEnemy(int(enemy->Variant));
}

// The enemy wades: it stands on the lake bed, and ripples ring it while it stays in the water.
static void WadeInWater(ObjNode* enemy)
{
    if (gWorkVel.y > 0)
        return;
    bool wasInWater = (enemy->StatusFlags & NODEBIT_IN_WATER) != 0;
    float surface;
    if (!IsNodeInWater(enemy, gWorkPos.x, gWorkPos.z, &surface))
        return;
    if (gWorkPos.y + enemy->CollisionOffsets.bottom > surface) { // above the surface, not in it
        enemy->StatusFlags &= ~NODEBIT_IN_WATER;
        return;
    }
    float& timer = enemy->FloatSlots[ENEMY_SLOT_RIPPLE_TIMER];
    if (wasInWater) {
        timer -= gFrameSeconds;
        if (timer <= 0) {
            timer = kRippleInterval;
            SpawnWaterRipples(gWorkPos.x, gWorkPos.z, 30, 50, 0.7f, 1);
        }
    } else {
        Point3D splash = {gWorkPos.x, surface, gWorkPos.z};
        SplashIntoWater(&splash, 1.0f);
        timer = kRippleInterval;
    }
    gWorkVel.y = 0;
}

bool EnemyCollide(ObjNode* enemy, uint32_t collisionMask, bool useBottomOffset)
{
    // 1. Objects and fences; water is this routine's own step, since enemies wade instead of floating.
    ResolveCollisions(enemy, collisionMask & ~CT_WATER, kFloorPush);

    // 2. Harmful objects touched.
    for (int i = 0; i < gNumCollisions; i++) {
        const ObjNode* other = gCollisionRecords[i].node;
        if (!other || other->CType == INVALID_NODE_FLAG || !(other->CType & CTYPE_HARMFUL))
            continue;
        if (enemy->HurtProc && enemy->HurtProc(enemy, other->Damage))
            return true;
    }

    // 3. The ground.
    float bottom = useBottomOffset ? enemy->CollisionOffsets.bottom : enemy->FloatSlots[ENEMY_SLOT_BOTTOM];
    float ground = TerrainHeightAt(gWorkPos.x, gWorkPos.z);
    if (gWorkPos.y + bottom <= ground) {
        gWorkPos.y = ground - bottom;
        gWorkVel.y = 0;
        enemy->StatusFlags |= NODEBIT_ON_GROUND;
    }

    // 4. Water.
    if (collisionMask & CT_WATER)
        WadeInWater(enemy);
    return false;
}

void UpdateEnemy(ObjNode* enemy)
{
    enemy->Speed = VectorLength(&gWorkVel);
    CommitNodeUpdate(enemy);
}

float QuickDistance2D(float x1, float z1, float x2, float z2)
{
    float dx = std::fabs(x2 - x1), dz = std::fabs(z2 - z1);
    return std::max(dx, dz) + 0.375f * std::min(dx, dz);
}

ObjNode* FindNearestPlayer(float x, float z, float* distance)
{
    ObjNode* nearest = nullptr;
    float best = 1e30f;
    for (int player = 0; player < std::min(gNumPanes, MAX_PLAYERS); player++) {
        ObjNode* node = gPlayers[player].objNode;
        if (!node || node->CType == INVALID_NODE_FLAG)
            continue;
        float d = QuickDistance2D(x, z, node->Position.x, node->Position.z);
        if (d < best) {
            best = d;
            nearest = node;
        }
    }
    if (distance)
        *distance = best;
    return nearest;
}

void EnemyHurtsPlayer(ObjNode* enemy, ObjNode* player)
{
    int who = PlayerIndexOf(player);
    PlayerRecord& record = gPlayers[who];
    if (record.invincibleTimer > 0)
        return;
    if (record.shieldTimer > 0)
        ShieldHit(who, kShieldTouchFactor * enemy->Damage, 1.0f, true);
    else if (!IsEasyMode())
        DamagePlayer(who, enemy->Damage, PLAYER_DEATH_FALL, &enemy->Position, true);
    record.invincibleTimer = kTouchInvincibility;
    if (record.carriedEgg && !IsEasyMode()) // easy mode lets the player keep its egg
        DropEgg(who);
    PlayBodyHit(who, kBodyHitVolume);
}

bool EnemyJointsStrikePlayer(ObjNode* enemy, int jointA, int jointB, ObjNode* player)
{
    if (!enemy->Skeleton || !player->Skeleton || player->CType == INVALID_NODE_FLAG)
        return false;
    int joints = enemy->Skeleton->info->numJoints;
    if (jointA >= joints || jointB >= joints)
        return false;
    PickSegment segment;
    FindJointPosition(enemy, jointA, &segment.start);
    FindJointPosition(enemy, jointB, &segment.end);
    gPickBothSides = true;
    bool hit = SegmentHitsSkinnedMeshes(&segment, player, nullptr, nullptr, nullptr);
    gPickBothSides = false;
    return hit;
}
