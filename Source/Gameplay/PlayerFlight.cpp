// The player's move routine: one handler per animation state, the flight step with its ground,
// water, fence and body-segment contacts, and the update every handler ends with.

#include "Gameplay/Player.h"

#include "3D/Picking.h"
#include "Gameplay/Camera.h"
#include "Gameplay/Eggs.h"
#include "Gameplay/Weapons.h"
#include "Objects/Collision.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/LevelGlobals.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"
#include "System/Random.h"
#include "Terrain/Fences.h"
#include "Terrain/Water.h"

#include <algorithm>
#include <cmath>

static constexpr uint32_t kReachTargetBits = 0x100200; // objects the player reaches toward
static constexpr uint32_t kBodySegmentBits = 0x20000;  // objects the body segments strike
static constexpr uint32_t kContactBits = 0x1000410;    // objects the player collides with
static constexpr uint32_t kBlocksXZSide = 0x100;       // SolidSides: a side touch undoes the x/z move
static constexpr float kReachDistance = 900;

int PlayerIndexOf(const ObjNode* node)
{
    return node->PaneIndex < MAX_PLAYERS ? node->PaneIndex : 0;
}

static float BottomOffset(const ObjNode* node)
{
    return node->CollisionOffsets.bottom;
}

static void SetAnimSpeed(ObjNode* node, float speed)
{
    if (node->Skeleton)
        node->Skeleton->animSpeed = speed;
}

static void MorphTo(ObjNode* node, int anim, float rate)
{
    if (node->Skeleton && node->Skeleton->animNum != anim)
        MorphToSkeletonAnim(node->Skeleton, anim, rate);
}

static int CurrentAnim(const ObjNode* node)
{
    return node->Skeleton ? int(node->Skeleton->animNum) : int(PLAYER_ANIM_FLY);
}

static bool RaceCountdownRunning()
{
    return gPlayMode == kPlayMode_Race && gRaceStartTimer > 0;
}

// --- Animation choice ---

static ObjNode* FindReachTarget(const ObjNode* node)
{
    ObjNode* nearest = nullptr;
    float nearestDistance = kReachDistance;
    for (ObjNode* other = gObjectListHead; other && other->Slot < SLOT_OF_FIRST_NON_WORLD;
         other = other->NextInList) {
        if (!(other->CType & kReachTargetBits) || other->CType == INVALID_NODE_FLAG)
            continue;
        float distance = Distance3D(&other->Position, &node->Position);
        if (distance >= nearestDistance)
            continue;
        Vector3D toward;
        Normalize3XYZ(other->Position.x - node->Position.x, other->Position.y - node->Position.y,
                      other->Position.z - node->Position.z, &toward);
        float facing =
            toward.x * node->MotionDir.x + toward.y * node->MotionDir.y + toward.z * node->MotionDir.z;
        if (facing > -0.1f) {
            nearest = other;
            nearestDistance = distance;
        }
    }
    return nearest;
}

void ChoosePlayerAnim(ObjNode* node)
{
    PlayerRecord& record = gPlayers[PlayerIndexOf(node)];
    float roll = node->Rotation.z;

    if (FindReachTarget(node)) {
        MorphTo(node, PLAYER_ANIM_REACH, 4);
        return;
    }
    if (roll < -PLAYER_BANK_ANIM_ROLL) {
        MorphTo(node, PLAYER_ANIM_BANK_LEFT, 4);
        return;
    }
    if (roll > PLAYER_BANK_ANIM_ROLL) {
        MorphTo(node, PLAYER_ANIM_BANK_RIGHT, 4);
        return;
    }

    // Level flight alternates between its two animations.
    int anim = CurrentAnim(node);
    if (anim == PLAYER_ANIM_FLY || anim == PLAYER_ANIM_FLY_VARIANT) {
        record.flyAnimTimer -= gFrameSeconds;
        if (record.flyAnimTimer > 0)
            return;
    }
    if (anim == PLAYER_ANIM_FLY) {
        MorphTo(node, PLAYER_ANIM_FLY_VARIANT, 4);
        record.flyAnimTimer = 2 + 3 * RandomUnit();
    } else {
        MorphTo(node, PLAYER_ANIM_FLY, 4);
        record.flyAnimTimer = 1 + 3 * RandomUnit();
    }
}

static void ChooseEggAnim(ObjNode* node)
{
    float roll = node->Rotation.z;
    if (roll < -PLAYER_BANK_ANIM_ROLL)
        MorphTo(node, PLAYER_ANIM_EGG_BANK_LEFT, 4);
    else if (roll > PLAYER_BANK_ANIM_ROLL)
        MorphTo(node, PLAYER_ANIM_EGG_BANK_RIGHT, 4);
    else
        MorphTo(node, PLAYER_ANIM_EGG_FLY, 4);
}

// --- Controls ---

static void SteerPlayer(ObjNode* node, int player)
{
    if (RaceCountdownRunning())
        return;
    const PlayerRecord& record = gPlayers[player];
    float dt = gFrameSeconds;
    Vector3D& rotation = node->Rotation;

    // 1. Roll: settles toward level without steer, then the steer rolls the body.
    if (std::fabs(record.steer) < 0.1f)
        rotation.z = DecayTowardZero(rotation.z, std::max(0.1f, std::fabs(rotation.z) * 1.5f) * dt);
    rotation.z -= record.steer * dt * 1.8f;
    rotation.z = std::clamp(rotation.z, -PLAYER_MAX_ROLL, PLAYER_MAX_ROLL);

    // 2. Pitch: no climbing input near the ceiling; settles toward level without input.
    float pitchInput = record.pitch;
    if (pitchInput > 0 && gWorkPos.y > MaxFlightAltitude(gWorkPos.x, gWorkPos.z) - 150)
        pitchInput = 0;
    if (std::fabs(pitchInput) < 0.1f)
        rotation.x = DecayTowardZero(rotation.x, std::fabs(rotation.x) * 0.8f * dt);
    rotation.x += pitchInput * dt * 1.4f;
    rotation.x = std::clamp(rotation.x, PLAYER_MAX_DIVE, PLAYER_MAX_CLIMB);

    // 3. The bank turns the heading.
    rotation.y += rotation.z * dt * 1.9f;
    RebuildNodeTransform(node);
}

static void StopJetPack(int player)
{
    PlayerRecord& record = gPlayers[player];
    if (record.objNode)
        StopEffectChannelIfPlaying(&record.objNode->LoopChannel, EFFECT_JETPACKHUM);
    record.jetOn = false;
    gSpeedCapTarget[player] = PLAYER_NORMAL_SPEED_CAP;
}

static void RunJetPack(ObjNode* node, int player)
{
    PlayerRecord& record = gPlayers[player];
    if (record.jetFuel <= 0) {
        StopJetPack(player);
        return;
    }
    if (!record.jetOn)
        PlayEffectAtRate(EFFECT_JETPACKIGNITE, &node->Position, kNormalRate, 0.7f);
    record.jetOn = true;
    float dt = gFrameSeconds;
    record.jetFuel = std::max(0.0f, record.jetFuel - 0.05f * dt);
    gSpeedCapTarget[player] = PLAYER_JET_SPEED_CAP;
    node->Speed += 1000 * dt;
    if (node->LoopChannel == -1)
        node->LoopChannel = PlayEffectAt(EFFECT_JETPACKHUM, &node->Position);
    record.jetHumTimer -= dt;
    if (record.jetHumTimer <= 0) {
        record.jetHumTimer = 0.1f;
        RumbleForEffect(EFFECT_JETPACKHUM, player);
    }
}

static void PlayerControls(ObjNode* node, int player)
{
    if (RaceCountdownRunning())
        return;
    if (GetNeedState(kNeedNextWeapon, player) == KEYSTATE_PRESSED)
        SelectNextWeapon(player);
    if (GetNeedState(kNeedPrevWeapon, player) == KEYSTATE_PRESSED)
        SelectPreviousWeapon(player);
    switch (GetNeedState(kNeedFire, player)) {
    case KEYSTATE_PRESSED:
        FireWeapon(player, true);
        break;
    case KEYSTATE_HELD:
        FireWeapon(player, false);
        break;
    case KEYSTATE_RELEASED:
        ReleaseWeapon(player);
        break;
    default:
        ResetFireRepeat(player);
        break;
    }
    uint8_t jet = GetNeedState(kNeedBoost, player);
    if (jet == KEYSTATE_HELD || jet == KEYSTATE_PRESSED)
        RunJetPack(node, player);
    else
        StopJetPack(player);
}

// --- Contacts ---

static void RumbleGroundScrape(int player)
{
    PlayerRecord& record = gPlayers[player];
    record.groundRumbleTimer -= gFrameSeconds;
    if (record.groundRumbleTimer <= 0) {
        record.groundRumbleTimer = 0.1f;
        Rumble(0.8f, 0.5f, 100, player);
    }
}

static void TouchGround(ObjNode* node, int player, const Vector3D* flightDir)
{
    float ground = TerrainHeightAt(gWorkPos.x, gWorkPos.z);
    float bottom = BottomOffset(node);
    if (gWorkPos.y + bottom > ground) {
        node->StatusFlags &= ~NODEBIT_ON_GROUND;
        return;
    }

    gWorkPos.y = ground - bottom;
    node->StatusFlags |= NODEBIT_ON_GROUND;

    // Flying into a slope, or touching down above the ceiling, is a crash.
    float intoSlope = flightDir->x * gLastTerrainNormal.x + flightDir->y * gLastTerrainNormal.y +
                      flightDir->z * gLastTerrainNormal.z;
    if (gWorkPos.y > PLAYER_CEILING || (intoSlope < -0.6f && !gPrefs.easyMode)) {
        DamagePlayer(player, 1.1f, PLAYER_DEATH_EXPLODE, nullptr, false);
        return;
    }

    if (gWorkVel.y < -200)
        DamagePlayer(player, 0.1f * gFrameSeconds, PLAYER_DEATH_EXPLODE, nullptr, false);
    KickUpGroundDust(node, &gPlayers[player].dustEmitter);
    RumbleGroundScrape(player);
    gWorkVel.y *= -0.1f; // a small bounce
}

static void TouchWater(ObjNode* node, int player)
{
    if (gPlayerDead[player] || gWorkVel.y > 0)
        return;
    bool wasInWater = (node->StatusFlags & NODEBIT_IN_WATER) != 0;
    float surface;
    if (!IsNodeInWater(node, gWorkPos.x, gWorkPos.z, &surface))
        return;
    float bottom = BottomOffset(node);
    if (gWorkPos.y + bottom > surface)
        return;

    gWorkPos.y = surface - bottom;
    if (gWorkVel.y < -400) {
        DamagePlayer(player, 1.1f, PLAYER_DEATH_EXPLODE, nullptr, false);
        Point3D splash = {gWorkPos.x, surface, gWorkPos.z};
        SplashIntoWater(&splash, 1.2f);
        gWorkVel.y = 0;
        return;
    }

    // Ooze burns the player on it, and its drag levels the wings and lifts a lowered head; it
    // neither ripples nor splashes.
    int type = WaterTypeAt(gWorkPos.x, gWorkPos.z);
    if (type >= FIRST_OOZE_WATER_TYPE && type <= LAST_OOZE_WATER_TYPE) {
        float dt = gFrameSeconds;
        DamagePlayer(player, dt, PLAYER_DEATH_EXPLODE, nullptr, false);
        float level = PI2 * dt;
        node->Rotation.z = node->Rotation.z > 0 ? std::max(0.0f, node->Rotation.z - level)
                                                : std::min(0.0f, node->Rotation.z + level);
        if (node->Rotation.x < 0)
            node->Rotation.x = std::min(0.0f, node->Rotation.x + level);
        gWorkVel.y = 0;
        return;
    }

    PlayerRecord& record = gPlayers[player];
    if (wasInWater) {
        record.waterEffectTimer -= gFrameSeconds;
        if (record.waterEffectTimer <= 0) {
            record.waterEffectTimer = 0.05f;
            SpawnWaterRipples(gWorkPos.x, gWorkPos.z, 12, 40, 1, 1);
        }
        SkimWaterSpray(node, &record.sprayEmitter, gWorkPos.x, surface, gWorkPos.z);
    } else {
        Point3D splash = {gWorkPos.x, surface, gWorkPos.z};
        SplashIntoWater(&splash, 1.0f);
    }
    gWorkVel.y = 0;
}

static void CollideWithObjects(ObjNode* node, int player)
{
    uint32_t otherPlayerBit = 1u << (1 - player);
    ResolveCollisions(node, otherPlayerBit | kContactBits, -0.2f);
    for (int i = 0; i < gNumCollisions; i++) {
        const CollisionRecord& hit = gCollisionRecords[i];
        if (hit.type == 0 && hit.node && (hit.node->SolidSides & kBlocksXZSide) &&
            !(hit.sides & SIDE_BITS_BOTTOM)) {
            gWorkPos.x = node->OldPosition.x;
            gWorkPos.z = node->OldPosition.z;
        }
    }
}

static void CheckBodySegments(ObjNode* node, int player)
{
    if (!node->Skeleton || node->Skeleton->info->numJoints <= PLAYER_HEAD_JOINT)
        return;
    static const int kSegmentJoints[2][2] = {{PLAYER_HEAD_JOINT, PLAYER_TAIL_TIP_JOINT},
                                             {PLAYER_RIGHT_WING_TIP_JOINT, PLAYER_LEFT_WING_TIP_JOINT}};
    for (const auto& joints : kSegmentJoints) {
        PickSegment segment;
        FindJointPosition(node, joints[0], &segment.start);
        FindJointPosition(node, joints[1], &segment.end);
        gPickBothSides = true;
        ObjNode* hit = OGL_DoLineSegmentCollision(&segment, NODEBIT_INVISIBLE, kBodySegmentBits, nullptr,
                                                  nullptr, nullptr, true);
        gPickBothSides = false;
        if (!hit)
            continue;
        if (hit->TriggerProc)
            hit->TriggerProc(hit, node);
        else if (gPlayers[player].invincibleTimer <= 0)
            KillPlayer(player, PLAYER_DEATH_EXPLODE, &node->Position);
        return;
    }
}

// --- The flight step ---

static void FlightStep(ObjNode* node, int player)
{
    float dt = gFrameSeconds;

    // 1. The nose, and where the player was going.
    const Vector3D localNose = {0, 0, -1};
    Vector3D nose, old;
    TransformVector(&localNose, &node->Transform, &nose);
    Normalize3(&gWorkVel, &old);

    // 2. Banking bleeds speed.
    node->Speed = DecayTowardZero(node->Speed, std::fabs(node->Rotation.z) * dt * 100);

    // 3. The motion swings toward the nose.
    float t = std::min(1.0f, dt * 15);
    Vector3D dir = {old.x * (1 - t) + nose.x * t, old.y * (1 - t) + nose.y * t, old.z * (1 - t) + nose.z * t};

    // 4. Climbing slows, diving speeds up, within the minimum and the cap.
    node->Speed -= dir.y * 300 * dt;
    if (node->Speed > gSpeedCap[player])
        node->Speed = gSpeedCap[player];
    if (node->Speed < PLAYER_MIN_SPEED)
        node->Speed = PLAYER_MIN_SPEED;

    // 5. The velocity.
    gWorkVel = {dir.x * node->Speed, dir.y * node->Speed, dir.z * node->Speed};

    // 6. The climb fades out under the ceiling and never passes it.
    if (gWorkVel.y > 0) {
        float top = MaxFlightAltitude(gWorkPos.x, gWorkPos.z);
        if (gWorkPos.y > top)
            gWorkPos.y = top;
        float below = top - gWorkPos.y;
        if (below < 300) {
            if (below <= 0)
                gWorkVel.y = 0;
            else
                gWorkVel.y = std::max(0.0f, gWorkVel.y - 30 / below * gWorkVel.y);
        }
    }

    // 7. Move.
    gWorkPos.x += gWorkVel.x * dt;
    gWorkPos.y += gWorkVel.y * dt;
    gWorkPos.z += gWorkVel.z * dt;

    // 8. Objects, ground, water and fences.
    Vector3D flightDir;
    Normalize3(&gWorkVel, &flightDir);
    CollideWithObjects(node, player);
    TouchGround(node, player, &flightDir);
    TouchWater(node, player);
    if (!gPlayerDead[player] && CollideWithFences(node))
        KillPlayer(player, PLAYER_DEATH_EXPLODE, nullptr);

    // 9. The body against solid scenery.
    if (!gPlayerDead[player])
        CheckBodySegments(node, player);

    // 10. Height above the ground.
    gPlayers[player].heightAboveGround =
        gWorkPos.y + BottomOffset(node) - TerrainHeightAt(gWorkPos.x, gWorkPos.z);
}

// --- The update after every handler ---

static float DistanceBetweenPlayers()
{
    const Point3D& a = gPlayers[0].coord;
    const Point3D& b = gPlayers[1].coord;
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.z - b.z) * (a.z - b.z) + (a.y - b.y) * (a.y - b.y));
}

static void CrossLineMarkers(ObjNode* node, int player)
{
    int marker = CrossedLineMarker(node);
    if (gPlayMode == kPlayMode_Race) {
        UpdateRaceProgress(player, marker);
        return;
    }
    if (marker < 0)
        return;
    const LineMarkerType& line = gLineMarkers[marker];
    float x = (line.x1 + line.x2) * 0.5f;
    float z = (line.z1 + line.z2) * 0.5f;
    gRespawnPoint[player] = {x, TerrainHeightAt(x, z) + 1330, z};
    gRespawnRotY[player] = node->Rotation.y;
}

static void UpdatePlayerCommon(ObjNode* node, int player)
{
    PlayerRecord& record = gPlayers[player];
    float dt = gFrameSeconds;

    // 1. In a race the player behind and far away may go faster, and nobody falls below the cap.
    if (gPlayMode == kPlayMode_Race) {
        if (!record.jetOn) {
            bool catchUp = gNumPanes > 1 && DistanceBetweenPlayers() > 2000 && record.place == 1;
            gSpeedCapTarget[player] = catchUp ? PLAYER_CATCH_UP_SPEED_CAP : PLAYER_NORMAL_SPEED_CAP;
        }
        node->Speed = std::max(node->Speed, gSpeedCap[player]);
    }

    // 2. The cap eases toward its target.
    float& cap = gSpeedCap[player];
    float target = gSpeedCapTarget[player];
    if (cap > target)
        cap = std::max(target, cap - 600 * dt);
    else if (cap < target)
        cap = std::min(target, cap + 800 * dt);

    // 3. Commit the move.
    CommitNodeUpdate(node);
    record.coord = gWorkPos;
    record.invincibleTimer -= dt;

    // 4. Line markers: the race, or the respawn point.
    CrossLineMarkers(node, player);

    // 5. What follows the player.
    TrailWingContrails(node, record.steer, record.pitch, record.contrailLastPoint);
    UpdateWeaponAim(player);
    UpdateShieldBubble(player);
    if (!gPrefs.reducedDetail && record.health < 0.33f)
        PuffDamageSmoke(&node->Position, &record.smokeEmitter);
    if (node->LoopChannel != -1)
        FollowEffectChannel(EFFECT_JETPACKHUM, &node->LoopChannel, &node->Position);
}

// --- Handlers ---

static void MoveWorkPosition(float dt)
{
    gWorkPos.x += gWorkVel.x * dt;
    gWorkPos.y += gWorkVel.y * dt;
    gWorkPos.z += gWorkVel.z * dt;
}

static void FlyHandler(ObjNode* node, int player)
{
    int anim = CurrentAnim(node);
    bool banking = anim == PLAYER_ANIM_BANK_RIGHT || anim == PLAYER_ANIM_BANK_LEFT ||
                   anim == PLAYER_ANIM_EGG_BANK_RIGHT || anim == PLAYER_ANIM_EGG_BANK_LEFT;
    SetAnimSpeed(node, banking ? 1.5f : anim == PLAYER_ANIM_REACH ? 1.7f : 1.0f);

    SteerPlayer(node, player);
    PlayerControls(node, player);
    if (gPlayers[player].carriedEgg)
        ChooseEggAnim(node);
    else
        ChoosePlayerAnim(node);
    FlightStep(node, player);
    UpdatePlayerCommon(node, player);
}

static void FallHandler(ObjNode* node, int player)
{
    float dt = gFrameSeconds;
    gWorkVel.y -= 800 * dt;
    DampVectorXZ(&gWorkVel, 300);
    MoveWorkPosition(dt);
    node->Rotation.z = DecayTowardZero(node->Rotation.z, 0.5f * dt);
    RebuildNodeTransform(node);
    if (TerrainHeightAt(gWorkPos.x, gWorkPos.z) > gWorkPos.y)
        ExplodePlayer(player, nullptr);
    UpdatePlayerCommon(node, player);
}

static void ArriveHandler(ObjNode* node, int player)
{
    float dt = gFrameSeconds;
    node->Speed = std::max(PLAYER_MIN_SPEED, node->Speed - 500 * dt);
    Vector3D dir;
    Normalize3(&gWorkVel, &dir);
    gWorkVel = {dir.x * node->Speed, dir.y * node->Speed, dir.z * node->Speed};
    MoveWorkPosition(dt);
    if (gWorkPos.y < TerrainHeightAt(gWorkPos.x, gWorkPos.z) + 1400) {
        gSpeedCap[player] = -gWorkVel.y;
        MorphTo(node, PLAYER_ANIM_FLY, 2);
        ChangePlayerOpacity(player, 1.0f);
    }
    ChangePlayerOpacity(player, 0.4f * dt);
    UpdatePlayerCommon(node, player);
}

static void ExitHandler(ObjNode* node, int player)
{
    float dt = gFrameSeconds;
    node->Speed += 200 * dt;
    Vector3D dir;
    Normalize3(&gWorkVel, &dir);
    if (gExitWormhole && Distance3D(&gWorkPos, &gExitWormhole->Position) < 50) {
        Vector3D up = {0, 1, 0};
        TransformVector(&up, &gExitWormhole->Transform, &dir); // down the tunnel
    }
    gWorkVel = {dir.x * node->Speed, dir.y * node->Speed, dir.z * node->Speed};
    MoveWorkPosition(dt);
    node->Rotation.x = std::min(node->Rotation.x + 2 * dt, 1.4279968f);
    node->Rotation.z = DecayTowardZero(node->Rotation.z, PI * dt);

    // Fading and shrinking into the wormhole; either ending decides the level.
    ChangePlayerOpacity(player, -0.3f * dt);
    if (node->Tint.a <= 0)
        BeginLevelEnd(2);
    float scale = std::max(0.0f, node->Scale.x - 0.5f * dt);
    node->Scale = {scale, scale, scale};
    if (scale <= 0) {
        node->Scale = {0.001f, 0.001f, 0.001f}; // a scale is never 0
        BeginLevelEnd(2);
    }
    UpdatePlayerCommon(node, player);
}

static void SpinHandler(ObjNode* node, int player)
{
    PlayerRecord& record = gPlayers[player];
    float dt = gFrameSeconds;
    ObjNode* devil = record.dustDevil;
    bool devilAlive = devil && devil->CType != INVALID_NODE_FLAG;

    if (record.dustDevilTimer > 0 && devilAlive) {
        record.dustDevilTimer -= dt;
        if (DamagePlayer(player, 0.04f * dt, PLAYER_DEATH_EXPLODE, nullptr, false))
            return;
        float radius = std::max(record.spinRadius, 1.0f);
        record.spinSpeed = std::min(record.spinSpeed + PI2 * dt, 4000 / radius);
        record.spinAngle += record.spinSpeed * dt;
        gWorkPos.x = devil->Position.x - std::sin(record.spinAngle) * radius;
        gWorkPos.z = devil->Position.z - std::cos(record.spinAngle) * radius;
        node->Rotation.y += 9 * dt;
    } else {
        if (!record.spinReleased && devilAlive) {
            // Flung out along the tangent of the spin.
            record.spinReleased = true;
            Vector3D out, tangent;
            Normalize3XYZ(gWorkPos.x - devil->Position.x, 0, gWorkPos.z - devil->Position.z, &out);
            const Vector3D up = {0, 1, 0};
            CrossNormalized(&out, &up, &tangent);
            gWorkVel = {tangent.x * 3000, 0, tangent.z * 3000};
            node->Speed = gSpeedCap[player] = 3000;
            node->Rotation.y = std::atan2(-tangent.x, -tangent.z);
        }
        record.spinReleased = true;
        MoveWorkPosition(dt);
        record.dustDevilTimer -= dt;
        if (record.dustDevilTimer < -0.3f)
            StartPlayerFlinch(player);
    }
    UpdatePlayerCommon(node, player);
}

static void RecoverHandler(ObjNode* node, int player)
{
    if (node->Skeleton && node->Skeleton->animStopped)
        ChoosePlayerAnim(node);
    SteerPlayer(node, player);
    PlayerControls(node, player);
    FlightStep(node, player);
    UpdatePlayerCommon(node, player);
}

void MovePlayer(ObjNode* node)
{
    // In the time demo the demo's path node moves the player.
    if (gTimeDemoMode)
        return;

    int player = PlayerIndexOf(node);
    BeginNodeUpdate(node);
    switch (CurrentAnim(node)) {
    case PLAYER_ANIM_FALL:
        FallHandler(node, player);
        break;
    case PLAYER_ANIM_ARRIVE:
        ArriveHandler(node, player);
        break;
    case PLAYER_ANIM_EXIT:
        ExitHandler(node, player);
        break;
    case PLAYER_ANIM_RECOVER:
        RecoverHandler(node, player);
        break;
    case PLAYER_ANIM_SPIN:
        SpinHandler(node, player);
        break;
    default:
        FlyHandler(node, player);
        break;
    }
}
