// ObjNode.h: the object nodes. Every thing in a scene (player, enemies, items, effects, texts, sprites,
// cursors, fades, shadows) is one ObjNode record, kept in a single list sorted by Slot, moved once per frame
// by MoveObjects and drawn once per pane by DrawObjectList.
//
// Lifecycle: free (pool) -> live and linked -> optionally unlinked (kept, neither moved nor drawn) ->
// deleted (CType == INVALID_NODE_FLAG, memory still valid until the end of the frame's move pass) -> free.
// Code that keeps a node pointer across frames tests CType (or Stamp) before using it.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"
#include "3D/MetaObjects.h"

struct SkeletonInstance;
struct MapItemType;
struct SplineItemType;

// ---------------------------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------------------------

enum
{
    SKELETON_GENRE = 1,      // the skeleton's skinned mesh
    DISPLAY_GROUP_GENRE = 2, // BaseGroup
    SPRITE_GENRE = 3,        // SpriteObject in the 2D overlay projection
    CUSTOM_DRAW_GENRE = 4,   // only DrawProc
    INVISIBLE_GENRE = 5,     // nothing
    TEXTMESH_GENRE = 6,      // BaseGroup in the 2D overlay projection
    QUADMESH_GENRE = 7       // BaseGroup
};

// StatusFlags bits.
constexpr uint32_t NODEBIT_ON_GROUND = 0x1;
constexpr uint32_t NODEBIT_CLAMP_UV = 0x2;
constexpr uint32_t NODEBIT_NO_CULLING = 0x4;
constexpr uint32_t NODEBIT_NO_COLLISION = 0x8;
constexpr uint32_t NODEBIT_FROZEN = 0x10;
constexpr uint32_t NODEBIT_ALWAYS_IN_RANGE = 0x20;
constexpr uint32_t NODEBIT_INVISIBLE = 0x40;
constexpr uint32_t NODEBIT_SHOW_BACKFACES = 0x80;
constexpr uint32_t NODEBIT_IN_WATER = 0x100;
constexpr uint32_t NODEBIT_ROT_XZY = 0x200;
constexpr uint32_t NODEBIT_ROT_YZX = 0x400;
constexpr uint32_t NODEBIT_ROT_ZXY = 0x800;
constexpr uint32_t NODEBIT_USE_ROT_MATRIX = 0x1000;
constexpr uint32_t NODEBIT_RUNS_WHEN_PAUSED = 0x2000;
constexpr uint32_t NODEBIT_PANE_ONLY = 0x4000;
constexpr uint32_t NODEBIT_ALPHA_TEST = 0x8000;
constexpr uint32_t NODEBIT_LIGHTING_OFF = 0x10000;
constexpr uint32_t NODEBIT_DEPTH_TEST_OFF = 0x20000;
constexpr uint32_t NODEBIT_DEPTH_WRITE_OFF = 0x40000;
constexpr uint32_t NODEBIT_FOG_OFF = 0x80000;
constexpr uint32_t NODEBIT_DISTANCE_FADE = 0x100000;
constexpr uint32_t NODEBIT_UNLINKED = 0x200000;
constexpr uint32_t NODEBIT_SPLINE_DRIVEN = 0x400000;
constexpr uint32_t NODEBIT_ADDITIVE = 0x1000000;
constexpr uint32_t NODEBIT_BILLBOARD = 0x2000000;
constexpr uint32_t NODEBIT_TEXTURE_SCROLL = 0x4000000;
constexpr uint32_t NODEBIT_CULLED_PANE0 = 0x8000000; // shifted left by the pane index

constexpr uint32_t INVALID_NODE_FLAG = 0xDEADBEEF; // CType of a deleted node

// Slot conventions: the list is sorted by Slot and equal slots keep their creation order.
constexpr uint16_t SLOT_OF_FIRST_NON_WORLD = 3000; // collision and shadow scans stop here
constexpr uint16_t SHADOW_SLOT = 3001;
constexpr uint16_t FADE_SLOT = 7000;

constexpr int OBJ_POOL_SIZE = 5000;      // nodes beyond this come from the heap
constexpr int MAX_PENDING_PURGES = 1500; // deleted nodes held before their memory is reused
constexpr int MAX_COLLISION_BOXES = 8;   // HitBoxes per node
constexpr int MAX_FLAGS_IN_OBJNODE = 5;  // EventFlags
constexpr int MAX_NODE_SPARKLES = 20;    // SparkleSlots
constexpr float DEFAULT_BOUNDING_RADIUS = 100.0f;
constexpr uint8_t DEFAULT_VERTEX_ARRAY_POOL = 3; // the model-file pool

// ---------------------------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------------------------

struct ObjNode;

typedef void (*ObjNodeProc)(ObjNode* node);
typedef bool (*TriggerProcType)(ObjNode* self, ObjNode* other); // true: the touch blocks
typedef bool (*HurtProcType)(ObjNode* self, float damage);
typedef bool (*WeaponHitProcType)(ObjNode* weapon, ObjNode* self, const Point3D* hitPoint,
                                  const Vector3D* hitNormal);

// World coordinates; left < right on X, back < front on Z, bottom < top on Y. The "old" values are the box
// before this frame's move, so collision can tell which side was crossed.
struct CollisionBox
{
    float left, right, front, back, top, bottom;
    float oldLeft, oldRight, oldFront, oldBack, oldTop, oldBottom;
};

// Offsets of box 0 from Position.
struct CollisionBoxOffsets
{
    float left, right, front, back, top, bottom;
};

struct NodeTint
{
    float r, g, b, a; // a is the node's opacity
};

struct TextureOffsetUV
{
    float u, v;
};

// A gameplay word: the creating routine decides whether it holds an integer or a float.
union GameWord
{
    int32_t i;
    float f;
};

struct ObjNode
{
    // What the passes over the whole list read of every node comes first, so that a walk past a node
    // it skips touches one or two cache lines of it rather than four.
    ObjNode* PrevInList;
    ObjNode* NextInList;
    uint16_t Slot; // sort key of the list and the drawing order
    uint8_t Genre;
    uint8_t PaneIndex; // the only pane drawn in, with NODEBIT_PANE_ONLY
    uint32_t StatusFlags;
    uint32_t CType;      // collision type bits; INVALID_NODE_FLAG once deleted
    uint32_t SolidSides; // which sides of the boxes are solid, and how touches are reported
    uint8_t HitBoxCount; // 0 .. MAX_COLLISION_BOXES
    CollisionBox HitBoxes[MAX_COLLISION_BOXES];

    uint8_t PoolInUse;     // pool entries only: 1 until the node is purged
    int16_t PoolIndex;     // -1 for a heap node
    uint32_t Stamp;        // RandomU32() at creation, 0 after deletion
    ObjNode* ChainNext;    // next part of this node's chain
    ObjNode* ChainRoot;    // first node of the chain this node was appended to; null for a chain head
    ObjNode* Shadow;       // the node's shadow node, if any
    ObjNode* TwitchDriver; // the node driving this node's twitch effects, if any
    int32_t ArtIndex;      // model type for display groups, skeleton type for skeletons
    int32_t ArtGroup;      // model group of a display group
    int32_t Variant;       // sub-type chosen by the creator (a shadow's sprite index)
    int32_t Phase;         // per-object state number (the fade node's direction)
    int32_t ItemTag;       // marks level items for searches over the list

    ObjNodeProc MoveProc;       // once per frame from MoveObjects; may be null
    ObjNodeProc SplineMoveProc; // from the spline-item system for nodes on a spline
    ObjNodeProc DrawProc;       // replaces the genre's own drawing when set
    ObjNodeProc DestroyProc;    // first thing DisposeObject calls

    Point3D Position;
    Point3D OldPosition; // before this frame's move routine ran
    Point3D InitPosition;
    Vector3D Velocity;  // units per second
    Vector3D MotionDir; // unit vector of Velocity, written by CommitNodeUpdate
    Vector3D GameVector;
    Vector3D Rotation;   // radians about X, Y, Z
    Vector3D Scale;      // never 0
    int32_t GridCell[3]; // Position / 1024 truncated toward zero; coarse rejection for segment tests
    float Speed;
    Vector3D SpinRate;
    Point3D HomingOffset; // node-local point homing shots aim at
    GameWord GameWords[6];

    CollisionBoxOffsets CollisionOffsets;
    float BoundingRadius;
    ObjNode* LastTrigger; // last node whose TriggerProc ran in this node's collision handling
    TriggerProcType TriggerProc;
    HurtProcType HurtProc;
    WeaponHitProcType WeaponHitProc;

    uint8_t WorldPointsValid;                           // cleared whenever the transform changes
    WorldMeshRecord WorldGeometry[MAX_MESHES_IN_MODEL]; // world-space model meshes for geometry picking

    alignas(8) uint8_t GeneralBlock[48]; // interpreted by the creating routine
    int32_t IntSlots[6];
    float FloatSlots[6];                      // a shadow keeps its base X and Z scales in [0] and [1]
    uint8_t EventFlags[MAX_FLAGS_IN_OBJNODE]; // skeleton events; a shadow keeps checkBlockers in [0]
    float GameFloat;
    float Health;
    float Damage;

    Matrix4x4 RotMatrix;         // used instead of Rotation with NODEBIT_USE_ROT_MATRIX
    Matrix4x4 Transform;         // local to world: scale, then rotation, then translation
    MetaObject* TransformObject; // matrix object holding Transform at the start of BaseGroup
    MetaObject* BaseGroup;       // drawn for display-group, text-mesh and quad-mesh nodes
    BoundingBox ModelBounds;   // local; a skeleton's is posed and relative to Position; empty = never culled
    BoundingBox SkinnedBounds; // world-space box of a skeleton's skinned geometry

    SkeletonInstance* Skeleton;
    uint8_t VertexArrayPool;    // renderer pool holding the node's dynamic geometry
    MapItemType* TerrainItem;   // the map item this node was made from
    SplineItemType* SplineItem; // the spline item this node was made from
    uint8_t SplineIndex;
    float SplinePos;           // 0 .. 1 along the spline
    int16_t SplineObjectIndex; // index in the spline object list, -1 when not listed

    NodeTint Tint;
    TextureOffsetUV TextureOffset; // texture-matrix translation with NODEBIT_TEXTURE_SCROLL
    int16_t LoopChannel;           // sound channel of the node's looping effect, -1 if none
    int16_t ExtraChannel;          // a second channel or index of the creator, -1 if none
    float ExtraFloats[4];
    int16_t SparkleSlots[MAX_NODE_SPARKLES]; // -1 = none
    int16_t ContrailIndices[2];              // -1 = none
    MetaObject* SpriteObject;
    float StereoOffset; // horizontal shift of the overlay projection in stereo
};

// Filled by the caller on the stack.
struct ObjectDefinition
{
    uint8_t genre;
    uint8_t artGroup;
    uint8_t artIndex;
    uint8_t startAnim; // skeleton nodes only
    Point3D position;
    uint32_t statusFlags;
    int16_t slot;
    ObjNodeProc moveProc;
    ObjNodeProc drawProc;
    float rotationY;
    float scale; // uniform
};

// ---------------------------------------------------------------------------------------------------------
// Globals
// ---------------------------------------------------------------------------------------------------------

extern ObjNode* gObjectListHead;
extern int gLiveNodeCount; // created and not yet purged
extern int gPeakNodeCount; // highest gLiveNodeCount seen, for the time demo
extern ObjNode* gLastCreatedNode;
extern ObjNode* gMovingNode; // the node whose move routine is running

// Move routines integrate and collide on these between BeginNodeUpdate and CommitNodeUpdate.
extern Point3D gWorkPos;
extern Vector3D gWorkVel;

// Distance fade: 0.8 and 0.9 of the far clip distance, written by the level set-up; 0 turns fading off.
extern float gFadeStartDistance;
extern float gFadeEndDistance;

// ---------------------------------------------------------------------------------------------------------
// Pool, creation and the move pass (ObjectPool.cpp, ObjectMove.cpp)
// ---------------------------------------------------------------------------------------------------------

void InitObjectManager(); // start-up: InitObjectPool
void InitObjectPool();    // all entries free, template built, list and counts emptied
// Creates and links a node in slot order; never returns null (the heap takes over from the pool).
ObjNode* MakeNewObject(const ObjectDefinition* def);
// The per-frame move pass in slot order; nodes may be created and deleted by move routines. Purges at the
// end.
void MoveObjects();
// Takes a linked node out of the list (neither moved nor drawn); recursive also unlinks its chain and shadow.
void UnlinkObject(ObjNode* node, bool recursive);
// Puts an unlinked node back in slot order; recursive also relinks its chain and shadow.
void RelinkObject(ObjNode* node, bool recursive);

// The world nodes (slots below SLOT_OF_FIRST_NON_WORLD) in list order, for scans that test them all and
// change nothing in the list while they run; valid until the next node is linked or unlinked
// (WorldNodes.cpp). A scan calls FetchWorldNodeAhead(nodes, count, i) as it reaches node i, so that the
// nodes after it are on their way into the cache.
ObjNode* const* WorldNodesInListOrder(int* count);

inline void FetchWorldNodeAhead(ObjNode* const* nodes, int count, int index)
{
    constexpr int kFetchAhead = 6; // enough to cover a miss, few enough to stay in the cache
    if (index + kFetchAhead < count)
        __builtin_prefetch(nodes[index + kFetchAhead]);
}

// ---------------------------------------------------------------------------------------------------------
// Deletion (ObjectDispose.cpp)
// ---------------------------------------------------------------------------------------------------------

// Deletes a node with its chain and shadow; null or already deleted does nothing. Memory is reused only
// after the current move pass (or once 1500 deletions are pending).
void DisposeObject(ObjNode* node);
void DisposeAllObjects(); // every node in the list, then purges
// The game sound registers how a deleted node's looping effect (LoopChannel) is stopped.
void SetNodeLoopSoundStopper(void (*stopper)(ObjNode* node));
// The effects layer registers how a deleted node releases its SparkleSlots and ContrailIndices entries.
void SetNodeEffectReleaseProcs(void (*releaseSparkle)(int16_t), void (*releaseContrail)(int16_t));

// ---------------------------------------------------------------------------------------------------------
// Chains and visibility (Chains.cpp). Every node of a chain has a higher Slot than its predecessor.
// ---------------------------------------------------------------------------------------------------------

void AppendNodeToChain(ObjNode* head, ObjNode* node); // node after head's tail; fatal if slots do not rise
ObjNode* GetChainTailNode(ObjNode* node);             // last node of the chain; fatal if slots do not rise
int GetNodeChainLength(ObjNode* node);                // nodes from node onward; fatal past 32768
// n steps along the chain (0 = head); null when the chain is shorter. prev (may be null) gets the node
// before.
ObjNode* GetNthChainedNode(ObjNode* head, int n, ObjNode** prev);
void DetachFromChain(ObjNode* node); // the chain skips node from now on
void HideChain(ObjNode* node);       // NODEBIT_INVISIBLE on node and all its ChainNext successors
void ShowChain(ObjNode* node);
void SetNodeVisible(ObjNode* node, bool visible);

// ---------------------------------------------------------------------------------------------------------
// Transform and motion (NodeTransform.cpp)
// ---------------------------------------------------------------------------------------------------------

// Transform from Scale, the rotation (order bits or RotMatrix) and Position; updates TransformObject,
// GridCell and WorldPointsValid. Does nothing for a deleted node.
void RebuildNodeTransform(ObjNode* node);
void BeginNodeUpdate(ObjNode* node); // Position, Velocity -> gWorkPos, gWorkVel
// gWorkPos, gWorkVel -> Position, Velocity; then transform, MotionDir, box 0 and the shadow follow.
void CommitNodeUpdate(ObjNode* node);
void RandomizeSpin(ObjNode* node, float amount); // SpinRate.x, then .z = RandomSigned() * amount

// ---------------------------------------------------------------------------------------------------------
// Collision boxes (CollisionBoxes.cpp). The builders make one box at Position + offsets whose old values
// equal the new ones, and set OldPosition = Position.
// ---------------------------------------------------------------------------------------------------------

void SetSingleCollisionBox(ObjNode* node, float top, float bottom, float left, float right, float front,
                           float back);
// One more box at Position + offsets; CollisionOffsets untouched. Fatal past MAX_COLLISION_BOXES.
void AppendCollisionBox(ObjNode* node, float top, float bottom, float left, float right, float front,
                        float back);
void BoxFromModelBounds(ObjNode* node, float tweakXZ, float tweakY);
void SquareBoxFromModelBounds(ObjNode* node, float tweak); // square on X/Z around the largest extent
void CalcBoundingRadius(ObjNode* node);                    // 1.41 x the largest ModelBounds extent
void RefreshBoxFromPosition(ObjNode* node);                // box 0 = Position + CollisionOffsets
void RefreshBoxFromWorkPos(ObjNode* node);                 // box 0 = gWorkPos + CollisionOffsets
void StoreOldBoxes(ObjNode* node);                         // old box values and OldPosition = current

// ---------------------------------------------------------------------------------------------------------
// Shadows (Shadows.cpp)
// ---------------------------------------------------------------------------------------------------------

void MoveShadowNode(ObjNode* owner); // the shadow follows its owner; nothing without a Shadow

// ---------------------------------------------------------------------------------------------------------
// Drawing (ObjectDraw.cpp)
// ---------------------------------------------------------------------------------------------------------

void MakeOverlayOnly(ObjNode* node);              // drawn only in the full-window overlay pass
bool IsNodeCulledInAllPanes(const ObjNode* node); // true with no panes, or culled in every player pane
// Sets or clears every node's culled bit for the pane from its ModelBounds (part of DrawObjectList).
void CullObjectsForPane(int pane);
void DrawObjectList(); // the draw pass for gCurrentPane
