// The sonic scream, a charged box flying along the player's motion, and the blast ring of missile and
// bomb explosions, which hurts every player and stopping object inside it, whoever fired.

#include "Gameplay/ShotsLocal.h"

#include "3D/TQ3D.h"
#include "Gameplay/Player.h"
#include "Gameplay/Weapons.h"
#include "Objects/Collision.h"
#include "Objects/DisplayGroups.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Random.h"
#include "Terrain/Fences.h"
#include "Terrain/Terrain.h"

#include <cmath>

static constexpr uint32_t kScreamWorldMask = 0x18040; // solid ground objects and stopping objects
static constexpr float kScreamSpeed = 1800;
static constexpr float kScreamHalfSize = 100;
static constexpr float kScreamRingInterval = 0.09f;
static constexpr uint32_t kBlastMask = 0x18003; // both players and stopping objects, whoever fired
static constexpr float kBlastGrowth = 140;      // scale per second
static constexpr float kBlastFade = 2;          // opacity per second
static constexpr float kBlastReachPerScale = 10;
static constexpr uint32_t kBlastStatus = NODEBIT_LIGHTING_OFF | NODEBIT_FOG_OFF | NODEBIT_DEPTH_WRITE_OFF;

// ---------------------------------------------------------------------------------------------------------
// Sonic scream
// ---------------------------------------------------------------------------------------------------------

// One ring particle of the scream's own group, drifting along with it.
static void LeaveScreamRing(ObjNode* scream, ShotState* state)
{
    if (state->ringGroup == -1 || !IsParticleGroupCurrent(state->ringGroup, state->ringStamp)) {
        ParticleGroupSpec def = {};
        def.stamp = RandomU32();
        def.flags = PGROUP_IGNORE_GROUND;
        def.baseSize = 20;
        def.fadeSpeed = 1.2f;
        def.spriteIndex = PARTICLE_SObjType_ShockRing;
        def.blendSource = EFFECT_BLEND_SRC_ALPHA;
        def.blendDest = EFFECT_BLEND_ONE;
        state->ringGroup = CreateParticleGroup(&def);
        state->ringStamp = def.stamp;
        if (state->ringGroup == -1)
            return;
    }
    Vector3D drift = {scream->Velocity.x * 0.25f, scream->Velocity.y * 0.25f, scream->Velocity.z * 0.25f};
    ParticleSpec particle = {};
    particle.group = state->ringGroup;
    particle.position = &scream->Position;
    particle.velocity = &drift;
    particle.scale = scream->FloatSlots[SHOT_RING_SIZE];
    particle.alpha = 1;
    AddParticleToGroup(&particle);
}

static void MoveSonicScream(ObjNode* scream)
{
    float dt = gFrameSeconds;
    scream->Health -= dt;
    if (scream->Health <= 0) {
        DisposeObject(scream);
        return;
    }
    BeginNodeUpdate(scream);
    gWorkPos.x += gWorkVel.x * dt;
    gWorkPos.y += gWorkVel.y * dt;
    gWorkPos.z += gWorkVel.z * dt;

    // 1. The first thing the box touches takes the scream.
    uint32_t mask = OtherPlayerBit(scream->PaneIndex) | kScreamWorldMask;
    const Point3D& p = gWorkPos;
    if (BoxTouchesAnything(p.y + kScreamHalfSize, p.y - kScreamHalfSize, p.x - kScreamHalfSize,
                           p.x + kScreamHalfSize, p.z + kScreamHalfSize, p.z - kScreamHalfSize, mask)) {
        ObjNode* struck = gCollisionRecords[0].node;
        if (struck && struck->WeaponHitProc)
            struck->WeaponHitProc(scream, struck, nullptr, nullptr);
        DisposeObject(scream);
        return;
    }

    // 2. The ground and fences stop it without effect.
    if (gWorkPos.y < TerrainHeightAt(gWorkPos.x, gWorkPos.z) || CollideWithFences(scream)) {
        DisposeObject(scream);
        return;
    }
    CommitNodeUpdate(scream);

    // 3. A widening ring every 0.09 s, and the shooter's pad shakes.
    ShotState* state = ShotStateOf(scream);
    float& ringTimer = scream->FloatSlots[SHOT_RING_TIMER];
    ringTimer -= dt;
    if (ringTimer <= 0) {
        ringTimer += kScreamRingInterval;
        scream->FloatSlots[SHOT_RING_SIZE] *= 1.1f;
        LeaveScreamRing(scream, state);
        Rumble(0, 1, 25, scream->PaneIndex);
    }
}

ObjNode* LaunchSonicScream(int player, float charge)
{
    ObjNode* owner = gPlayers[player].objNode;
    Point3D mouthLocal = {0, 0, -10};
    Point3D mouth;
    TransformPointByJoint(owner, PLAYER_HEAD_JOINT, &mouthLocal, &mouth);

    ObjectDefinition def = {};
    def.genre = INVISIBLE_GENRE;
    def.position = mouth;
    def.slot = int16_t(SONIC_SCREAM_SLOT);
    def.moveProc = MoveSonicScream;
    def.scale = 1;
    ObjNode* scream = MakeNewObject(&def);
    scream->Variant = WEAPON_SONIC_SCREAM;
    scream->PaneIndex = uint8_t(player);
    scream->CType = CTYPE_SHOT;
    scream->BoundingRadius = 100;
    scream->Velocity = {owner->MotionDir.x * kScreamSpeed, owner->MotionDir.y * kScreamSpeed,
                        owner->MotionDir.z * kScreamSpeed};
    scream->MotionDir = owner->MotionDir;
    scream->Health = charge + 0.5f;
    scream->Damage = charge;
    SetSingleCollisionBox(scream, kScreamHalfSize, -kScreamHalfSize, -kScreamHalfSize, kScreamHalfSize,
                          kScreamHalfSize, -kScreamHalfSize);
    ShotState* state = ShotStateOf(scream);
    *state = {};
    InitEffectEmitter(&state->trail);
    scream->FloatSlots[SHOT_RING_SIZE] = 1;
    state->ringGroup = -1;
    PlayEffectAtRate(EFFECT_SONICSCREAM, &mouth, kNormalRate, 0.9f);
    return scream;
}

// ---------------------------------------------------------------------------------------------------------
// Blast ring
// ---------------------------------------------------------------------------------------------------------

static void MoveBlastRing(ObjNode* ring)
{
    float dt = gFrameSeconds;
    ring->Tint.a -= kBlastFade * dt;
    if (ring->Tint.a <= 0) {
        DisposeObject(ring);
        return;
    }
    float scale = ring->Scale.x + kBlastGrowth * dt;
    ring->Scale = {scale, scale, scale};
    RebuildNodeTransform(ring);

    // Everything inside takes the ring's damage per second for this frame.
    float reach = kBlastReachPerScale * scale;
    float perSecond = ring->Damage;
    ring->Damage = perSecond * dt;
    for (ObjNode* node = gObjectListHead; node && node->Slot < SLOT_OF_FIRST_NON_WORLD;) {
        ObjNode* next = node->NextInList;
        if (node->CType != INVALID_NODE_FLAG && (node->CType & kBlastMask) && node->WeaponHitProc &&
            Distance3D(&node->Position, &ring->Position) < reach)
            node->WeaponHitProc(ring, node, nullptr, nullptr);
        node = next;
    }
    ring->Damage = perSecond;
}

ObjNode* MakeBlastRing(const Point3D* point)
{
    ObjectDefinition def = {};
    def.artGroup = MODEL_GROUP_WEAPONS;
    def.artIndex = 4;
    def.position = *point;
    def.statusFlags = kBlastStatus;
    def.slot = int16_t(BLAST_RING_SLOT);
    def.moveProc = MoveBlastRing;
    def.scale = 1;
    ObjNode* ring = MakeNewDisplayGroupObject(&def);
    ring->Tint.a = 0.8f;
    ring->Damage = 1.0f;
    ring->Variant = 0; // does not drain shields
    return ring;
}
