// Effects.h: the transient effects of the 3D scene. Five systems, each a fixed table of records with one
// manager object whose move routine advances every entry once per frame and whose draw routine draws them:
//  - particle groups: batches of camera-facing quads sharing a texture, a blend and physics constants;
//  - confetti: tumbling textured quads (leaves, debris);
//  - contrails: ribbons behind the player's wing tips;
//  - shards: the triangles of a model flying apart when it breaks;
//  - sparkles: glints pinned to points or to objects (drawn by the particle manager).
// On top of the particle engine sit the named effect makers (dust, splashes, spray, sparks, smoke, fire,
// gas, explosions, rings) and the two level items that are effects (the emitter and the flying sprite).
//
// Exhausted tables are not errors: a create call returns -1 and an add call returns true ("nothing was
// added"), and the caller simply skips the effect. Programming errors (a group number past the table, a
// contrail that is not alive) are fatal alerts.
//
// Every texture is a sprite of SPRITE_GROUP_PARTICLES addressed by its index.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"

struct ObjNode;
struct MetaObject;
struct MapItemType;
struct VertexArrayGeometry;

// ---------------------------------------------------------------------------------------------------------
// Shared constants
// ---------------------------------------------------------------------------------------------------------

// Blend factors, the OpenGL values, so that callers need no OpenGL header.
constexpr uint32_t EFFECT_BLEND_ONE = 1;                     // GL_ONE
constexpr uint32_t EFFECT_BLEND_SRC_ALPHA = 0x302;           // GL_SRC_ALPHA
constexpr uint32_t EFFECT_BLEND_ONE_MINUS_SRC_ALPHA = 0x303; // GL_ONE_MINUS_SRC_ALPHA

// The particle sprite group: exactly this many images, and the ones effects name.
constexpr int PARTICLE_SObjType_COUNT = 43;
enum
{
    PARTICLE_SObjType_Fireball = 0,
    PARTICLE_SObjType_GreySmoke = 1,
    PARTICLE_SObjType_Glint = 2,
    PARTICLE_SObjType_WhiteGlow = 3,
    PARTICLE_SObjType_Exhaust = 4,
    PARTICLE_SObjType_Dirt = 5,
    PARTICLE_SObjType_RingDot = 6,
    PARTICLE_SObjType_Sparks = 9,
    PARTICLE_SObjType_Ember = 10,
    PARTICLE_SObjType_StarSparkle = 11,
    PARTICLE_SObjType_BlackSmoke = 12,
    PARTICLE_SObjType_WhitePuff = 13,
    PARTICLE_SObjType_OrangeGlow = 14,
    PARTICLE_SObjType_BlueGlow = 15,
    PARTICLE_SObjType_GroundDust = 16,
    PARTICLE_SObjType_Splash = 17,
    PARTICLE_SObjType_Fire = 19,
    PARTICLE_SObjType_Debris = 20,
    PARTICLE_SObjType_Leaf = 22,
    PARTICLE_SObjType_Gas = 30,
    PARTICLE_SObjType_FlyingSprite0 = 31, // 11 frames, 31..41
    PARTICLE_SObjType_ShockRing = 42,
};
constexpr int FLYING_SPRITE_FRAMES = 11;

// Manager slots.
constexpr uint16_t CONTRAIL_MANAGER_SLOT = 3090;
constexpr uint16_t CONFETTI_MANAGER_SLOT = 3097;
constexpr uint16_t SHARD_MANAGER_SLOT = 3097;
constexpr uint16_t PARTICLE_MANAGER_SLOT = 3098;
constexpr uint16_t GROUND_RING_SLOT = 3100;
constexpr uint16_t EFFECT_EMITTER_SLOT = 3010;
constexpr uint16_t FLYING_SPRITE_SLOT = 2951;

// Frame parity: which of the two copies of a rewritten-every-frame mesh this frame writes and draws.
int EffectFrameParity(); // the game view's frameCount modulo 2; 0 with no view

// ---------------------------------------------------------------------------------------------------------
// Particle groups (Particles.cpp, ParticlesDraw.cpp)
// ---------------------------------------------------------------------------------------------------------

constexpr int PARTICLE_GROUP_LIMIT = 80;
constexpr int PARTICLES_PER_GROUP = 150;
constexpr int PARTICLE_FREE_DELAY = 2; // frames an empty group waits, so no submitted mesh is freed

constexpr uint32_t PGROUP_BOUNCE = 0x01;        // bounce off the terrain instead of dying on it
constexpr uint32_t PGROUP_IGNORE_GROUND = 0x10; // the terrain is ignored
constexpr uint32_t PGROUP_FACE_EACH = 0x80;     // each particle faces the camera on its own

struct ParticleGroupSpec
{
    uint32_t stamp; // the creator's identity for the group (RandomU32), since slots are reused
    uint8_t kind;   // 0: particles move by their own velocity
    uint32_t flags; // PGROUP_...
    float gravity;  // vertical speed lost per second
    float attraction;
    float baseSize;   // half the quad side at scale 1
    float shrinkRate; // scale lost per second (negative grows)
    float fadeSpeed;  // alpha lost per second
    uint8_t spriteIndex;
    uint32_t blendSource, blendDest;
};

struct ParticleSpec
{
    int16_t group;
    const Point3D* position;
    const Vector3D* velocity; // units per second
    float scale;
    float spin;     // radians in the quad's plane
    float spinRate; // radians per second
    float alpha;
};

struct ParticleGroupRecord
{
    bool pendingFree;
    uint8_t freeDelay; // frames left before a pending group is freed
    uint8_t kind, spriteIndex;
    bool inUse[PARTICLES_PER_GROUP];
    uint32_t stamp, flags;
    float gravity, attraction, baseSize, shrinkRate, fadeSpeed;
    uint32_t blendSource, blendDest;
    float alpha[PARTICLES_PER_GROUP];
    float scale[PARTICLES_PER_GROUP];
    float spin[PARTICLES_PER_GROUP];
    float spinRate[PARTICLES_PER_GROUP];
    Point3D position[PARTICLES_PER_GROUP];
    Vector3D velocity[PARTICLES_PER_GROUP];
    MetaObject* meshes[2][2]; // [frame parity][pane]; only panes below gNumPanes exist
    BoundingBox bounds;       // of this frame's quads
    bool visibleInPane[2];
};

extern ParticleGroupRecord* gParticleGroupTable[PARTICLE_GROUP_LIMIT]; // null = free slot
extern int16_t gParticleGroupCount;

// Level start (and screens with particles): empties the table, checks the sprite group, makes the manager.
void InitParticleSystem();
int16_t CreateParticleGroup(const ParticleGroupSpec* def);  // slot, or -1 when the table is full
bool AddParticleToGroup(const ParticleSpec* def);           // true when nothing was added (gone or full)
bool IsParticleGroupCurrent(int16_t group, uint32_t stamp); // the slot holds a live group with that stamp
void SetParticleGroupVisiblePanes(int16_t group, bool pane0, bool pane1);
void FreeAllParticleGroups(); // level end: every group and its meshes at once
int CountLiveParticles();     // particles in use over every group, pending ones excluded

// The manager's routines, exposed for tests and benchmarks that drive frames by hand.
void UpdateParticleGroups(ObjNode* manager);
void RenderParticleGroups(ObjNode* manager); // sparkles first, then one draw call per visible group

// ---------------------------------------------------------------------------------------------------------
// Confetti (ParticlesConfetti.cpp)
// ---------------------------------------------------------------------------------------------------------

constexpr int CONFETTI_GROUP_LIMIT = 50;
constexpr int CONFETTI_PER_GROUP = 150;

struct ConfettiGroupSpec
{
    uint32_t stamp;
    uint32_t flags; // PGROUP_BOUNCE, PGROUP_IGNORE_GROUND
    float gravity, baseSize, shrinkRate, fadeSpeed;
    uint8_t spriteIndex;
};

struct ConfettiSpec
{
    int16_t group;
    const Point3D* position;
    const Vector3D* velocity;
    float scale;
    Vector3D rotation;     // radians about x, y, z
    Vector3D rotationRate; // radians per second
    float holdTime;        // seconds at full alpha before fading starts
    float alpha;
};

struct ConfettiGroupRecord
{
    uint32_t stamp;
    bool inUse[CONFETTI_PER_GROUP];
    uint32_t flags;
    uint8_t spriteIndex;
    float gravity, baseSize, shrinkRate, fadeSpeed;
    float holdTime[CONFETTI_PER_GROUP];
    float alpha[CONFETTI_PER_GROUP];
    float scale[CONFETTI_PER_GROUP];
    Vector3D rotation[CONFETTI_PER_GROUP];
    Vector3D rotationRate[CONFETTI_PER_GROUP];
    Point3D position[CONFETTI_PER_GROUP];
    Vector3D velocity[CONFETTI_PER_GROUP];
    MetaObject* geometry; // arrays in the general heap
};

extern ConfettiGroupRecord* gConfettiGroupTable[CONFETTI_GROUP_LIMIT];
extern int16_t gConfettiGroupCount;

void ResetConfetti();                                      // empties the table and makes the manager
int16_t CreateConfettiGroup(const ConfettiGroupSpec* def); // slot, or -1
bool AddConfettiToGroup(const ConfettiSpec* def);          // true when nothing was added
void FreeAllConfettiGroups();
void UpdateConfetti(ObjNode* manager);
void RenderConfetti(ObjNode* manager);

// ---------------------------------------------------------------------------------------------------------
// Contrails (Contrails.cpp)
// ---------------------------------------------------------------------------------------------------------

constexpr int CONTRAIL_LIMIT = 15;
constexpr int CONTRAIL_POINT_RING = 50;
constexpr int CONTRAIL_MESH_POINTS = 2 * CONTRAIL_POINT_RING;
constexpr int CONTRAIL_MESH_TRIANGLES = 2 * CONTRAIL_POINT_RING - 2;
constexpr float CONTRAIL_FADE_RATE = 0.5f; // alpha per second

struct ContrailRecord
{
    bool isActive;
    float halfWidth;
    int16_t* owner; // the creator's copy of this index; set to -1 when the contrail dies; null once let go
    int16_t writeIndex;
    Point3D points[CONTRAIL_POINT_RING];
    float alpha[CONTRAIL_POINT_RING];
    Vector3D directions[CONTRAIL_POINT_RING]; // unit direction of travel
    VertexArrayGeometry* mesh[2];             // per frame parity, arrays in pools 6 and 7
};

extern ContrailRecord gContrailTable[CONTRAIL_LIMIT];

void ResetContrails(); // level start, before ResetEffectSystems: all inactive, meshes allocated, manager made
// First free contrail; its index is also written to *owner (-1 when none was free).
int16_t CreateContrail(float halfWidth, int16_t* owner);
int16_t AddPointToContrail(int16_t index, const Point3D* point, const Vector3D* direction, float alpha);
void ModifyContrailPreviousAddition(int16_t index, const Point3D* point); // moves the newest point
void DetachContrailOwner(int16_t index); // the owner lets go; -1 is ignored; the ribbon fades by itself
void FreeContrailMeshes();               // level end, before the game view goes
void UpdateContrails(ObjNode* manager);
void RenderContrails(ObjNode* manager);
// The player's wing-tip ribbons, every frame of its update: steer and pitch are the player's control
// values this frame; lastWingPoints are the two points last added, kept by the player (start them far away).
void TrailWingContrails(ObjNode* player, float steer, float pitch, Point3D lastWingPoints[2]);

// ---------------------------------------------------------------------------------------------------------
// Shards (Shards.cpp)
// ---------------------------------------------------------------------------------------------------------

constexpr int SHARD_LIMIT = 2500;

constexpr uint8_t SHATTER_UPWARD = 0x1; // extra upward kick
constexpr uint8_t SHATTER_HEAVY = 0x2;  // gravity 1000 instead of 300
constexpr uint8_t SHATTER_BOUNCE = 0x4; // bounce on the terrain instead of dying
constexpr uint8_t SHATTER_RADIAL = 0x8; // away from the object's centre instead of a random direction

struct ShardRecord
{
    bool inUse;
    Vector3D rotation, rotationRate;
    Point3D position;
    Vector3D velocity;
    float shrinkRate;
    float scale;
    uint8_t shatterFlags;
    Matrix4x4 matrix;  // scale, rotation, then translation to position
    Point3D points[3]; // corners relative to position
    float uvs[3][2];
    MetaObject* material; // not owned: the model or sprite keeps it alive for the level
    float tint[4];
    bool additive;
};

extern ShardRecord gShardTable[SHARD_LIMIT];
extern int32_t gNumShards;

void ResetShards(); // every record free and the manager made
// Breaks node and its chain into shards: every density-th triangle (density at least 1) of each model.
void ShatterObject(ObjNode* node, float force, uint8_t shatterFlags, int density, float shrinkRate);
void MoveShards(ObjNode* manager);
void DrawShards(ObjNode* manager);

// ---------------------------------------------------------------------------------------------------------
// Sparkles (Sparkles.cpp)
// ---------------------------------------------------------------------------------------------------------

constexpr int SPARKLE_LIMIT = 600;

constexpr uint32_t GLINT_ALL_DIRECTIONS = 0x01; // no facing test
constexpr uint32_t GLINT_OWNER_SPACE = 0x04;    // position and facing go through the owner's Transform
constexpr uint32_t GLINT_FLICKER = 0x08;        // random brightness every frame
constexpr uint32_t GLINT_ALWAYS = 0x10;         // drawn even while the owner is invisible or culled

struct SparkleRecord
{
    bool isActive;
    ObjNode* owner;
    uint32_t flags;
    Point3D position;
    Vector3D facing;
    float color[4]; // only alpha is drawn; rewritten every frame for directional sparkles
    float halfSize;
    float pullToCamera; // keeps the quad out of its owner's model
    int16_t spriteIndex;
};

extern SparkleRecord gSparkleTable[SPARKLE_LIMIT];
extern int32_t gSparkleCount;

void ResetSparkles(); // every sparkle inactive; also registers the object engine's release of pinned ones
int16_t AllocSparkle(ObjNode* owner); // index, or -1; the caller fills the other fields
void DeleteSparkle(int16_t index);    // -1 is ignored; a second delete alerts and changes nothing
// Pins a new sparkle to the first free entry of owner's SparkleSlots; -1 when either table is full.
int16_t AttachSparkleToObject(ObjNode* owner);
void RenderSparkles(int pane); // from RenderParticleGroups

// ---------------------------------------------------------------------------------------------------------
// Level cycle (EffectsSystems.cpp)
// ---------------------------------------------------------------------------------------------------------

// Level start: InitParticleSystem, ResetConfetti, ResetShards, then the splash sprite always blends.
void ResetEffectSystems();

// ---------------------------------------------------------------------------------------------------------
// Scrolled second layer (LayerScroll.cpp)
// ---------------------------------------------------------------------------------------------------------

// Draw routine of a model or skinned mesh whose second texture layer is offset by the node's
// ExtraFloats[0] and [1] (u, v), which its move routine scrolls.
void DrawWithScrolledSecondLayer(ObjNode* node);

// ---------------------------------------------------------------------------------------------------------
// Named effects (Effects.cpp, EffectsEmitters.cpp)
// ---------------------------------------------------------------------------------------------------------

// What a continuous emitter keeps in its owner's record: its group, that group's stamp and a timer.
struct EffectEmitter
{
    int16_t group; // -1 = none
    uint32_t stamp;
    float timer; // seconds to the next emission
};
void InitEffectEmitter(EffectEmitter* emitter); // no group, emits on the next call

// The player touching the ground: three dust particles every 0.04 s under (x, z) of gWorkPos.
void KickUpGroundDust(ObjNode* player, EffectEmitter* emitter);
// The player hitting water (size 1 or 1.2): a splash of 30 drops, a ripple and the splash sound.
void SplashIntoWater(const Point3D* point, float size);
// The player skimming water at surface height y: six spray drops every 0.05 s along its motion.
void SkimWaterSpray(ObjNode* node, EffectEmitter* emitter, float x, float y, float z);
// force x 0.3 sparks (at most maxCount unless it is 0) flying out from position.
void BurstSparks(const Point3D* position, float force, float size, int texture, int maxCount,
                 float fadeSpeed);
// A disabled electrode: two smoke puffs every 0.05 s.
void PuffSmoke(ObjNode* node, EffectEmitter* emitter, float x, float y, float z);
// The damaged player: two smoke puffs every 0.02 s trailing from point.
void PuffDamageSmoke(const Point3D* point, EffectEmitter* emitter);
// A gas plant's vent: two rising gas puffs every 0.05 s.
void EmitGas(const Point3D* point, EffectEmitter* emitter);
// A burning tree: three flames every 0.04 s rising at 400.
void EmitFire(const Point3D* point, EffectEmitter* emitter);
// A dust devil: two dust puffs every 0.08 s flying outward.
void EmitDustDevilDust(const Point3D* point, EffectEmitter* emitter);
// An erupting worm burrow: four dirt clods every 0.03 s thrown high.
void ThrowDirt(const Point3D* point, EffectEmitter* emitter);
// A fireball's trail: four smoke puffs every 0.03 s.
void EmitSmokeTrail(const Point3D* point, EffectEmitter* emitter);
// A missile's exhaust: two glows every 0.015 s.
void EmitExhaust(const Point3D* point, EffectEmitter* emitter);

// One-off bursts: count particles with velocities up to +-spread on every axis.
void MakeFireExplosion(const Point3D* where, int count, float spread);
void MakeSmokeBurst(const Point3D* where, int count, float spread);
// count flames rising at up to riseSpeed, spreading a third of that sideways.
void MakeRisingFire(const Point3D* where, int count, float riseSpeed);
// count particles flying outward in the horizontal plane, reaching about radius before they fade.
void MakeParticleRing(const Point3D* centre, int count, float radius, int texture);
// count tumbling leaves (or other flakes of texture) thrown up and out from where.
void ThrowConfetti(const Point3D* where, int count, int texture);

// A shock ring spreading over the ground at (x, y, z).
void SpawnGroundRing(float x, float y, float z);

// Map items 34 (the effect emitter, kind parm[0] 0..3) and 35 (an animated flying sprite).
bool AddEffectEmitter(MapItemType* item, float x, float z);
bool AddFlyingSprites(MapItemType* item, float x, float z);
void UpdateEmitterItem(ObjNode* node);
void AnimateFlyingSprite(ObjNode* node);
void RenderFlyingSprite(ObjNode* node);
