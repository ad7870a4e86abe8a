// Skeleton.h: skeletal creatures. A skeleton type is a resource file holding a joint hierarchy, keyframed
// animations with timed events and an alias to a model file whose meshes are the creature's skin in its
// rest pose. Loading a type splits those meshes into shared skin points and normals, so each point the
// joints move is transformed once per frame however many vertices share it. Objects made from a type own a
// SkeletonInstance: the animation state, the joint matrices and two copies of the skin, one per frame
// parity, so a frame never rewrites arrays the previous frame submitted.
//
// A skeleton file and its model are untrusted: every count, size, index and parent link is checked, and
// anything wrong ends in a fatal alert naming the file. When a fatal alert returns control (tests and
// tools), nothing the loader made is left behind.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"
#include "3D/MetaObjects.h"
#include "Objects/ObjNode.h"
#include "Tarnet/MacTypes.h"

// ---------------------------------------------------------------------------------------------------------
// Types and limits
// ---------------------------------------------------------------------------------------------------------

enum
{
    SKELETON_TYPE_PLAYER = 0, // ":Skeletons:quor.skeleton"
    SKELETON_TYPE_WORMHOLE = 1,
    SKELETON_TYPE_RAPTOR = 2,
    SKELETON_TYPE_BONUSWORM = 3,
    SKELETON_TYPE_BRACH = 4,
    SKELETON_TYPE_WORM = 5,
    SKELETON_TYPE_RAMPHOR = 6,
    MAX_SKELETON_TYPES = 7
};

constexpr int MAX_JOINTS = 40;
constexpr int MAX_KEYFRAMES = 60;   // per joint and animation
constexpr int MAX_CHILDREN = 39;    // per joint
constexpr int MAX_ANIMS = 40;       // entries of a joint's keyframe-count table
constexpr int MAX_ANIM_EVENTS = 30; // per animation
constexpr int MAX_DECOMPOSED_TRIMESHES = 10;
constexpr int MAX_DECOMPOSED_POINTS = 2000;
constexpr int MAX_DECOMPOSED_NORMALS = 2000;
constexpr int MAX_POINT_REFS = 20; // mesh vertices sharing one skin point
constexpr int SKELETON_FILE_VERSION = 0x0110;
constexpr float ANIMATION_TICKS_PER_SECOND = 30.0f;
constexpr int ACCELERATION_CURVE_SIZE = 2000;

// The colon path of each type's file, in type order.
extern const char* const kSkeletonFileNames[MAX_SKELETON_TYPES];

enum
{
    ANIMEVENT_TYPE_STOP = 0,
    ANIMEVENT_TYPE_LOOP = 1,
    ANIMEVENT_TYPE_REVERSE = 2,
    ANIMEVENT_TYPE_SETLOOPPOINT = 4,
    ANIMEVENT_TYPE_SETFLAG = 6,
    ANIMEVENT_TYPE_CLEARFLAG = 7,
    ANIMEVENT_TYPE_PAUSE = 8
};

// Keyframe easing: whether the motion eases out of the earlier keyframe and into the later one.
enum
{
    KEYFRAME_EASE_NONE = 0,
    KEYFRAME_EASE_BOTH = 1,
    KEYFRAME_EASE_IN = 2,  // into this keyframe
    KEYFRAME_EASE_OUT = 3, // out of this keyframe
};

// ---------------------------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------------------------

struct KeyframeRecord
{
    int32_t tick;
    int32_t easing;
    Point3D position;
    Vector3D rotation; // radians about X, Y, Z
    Vector3D scale;
};

struct AnimEventRecord
{
    int16_t time; // ticks
    uint8_t type;
    uint8_t value;
};

struct JointRecord
{
    int32_t parentJoint;  // -1 for the root
    Point3D restPosition; // kept, not used by skinning
    uint16_t numPointsAttachedToJoint;
    uint16_t* pointList; // skin point indices
    uint16_t numNormalsAttachedToJoint;
    uint16_t* normalList; // skin normal indices
};

struct SkinPointRecord
{
    Point3D modelPoint; // the vertex in the reference model: the identity vertices are merged by
    Point3D localPoint; // the point in its joint's frame
    uint8_t refCount;   // 1 .. MAX_POINT_REFS
    uint8_t refMesh[MAX_POINT_REFS];
    int16_t refPoint[MAX_POINT_REFS];  // vertex index in that mesh
    int16_t refNormal[MAX_POINT_REFS]; // index into skinNormals
};

struct SkeletonInfoType
{
    uint8_t numJoints;
    uint8_t keyframeCount[MAX_JOINTS][MAX_ANIMS]; // per joint and animation
    KeyframeRecord** keyframes[MAX_JOINTS];       // per joint: per animation a block of MAX_KEYFRAMES
    uint8_t childCount[MAX_JOINTS];
    uint8_t childJoints[MAX_JOINTS][MAX_CHILDREN]; // in increasing joint order
    uint8_t animCount;
    uint8_t* eventCount;      // per animation
    AnimEventRecord** events; // per animation a block of MAX_ANIM_EVENTS
    JointRecord* joints;      // numJoints
    int32_t meshCount;
    VertexArrayGeometry meshes[MAX_DECOMPOSED_TRIMESHES]; // copies; the arrays belong to the model file
    int32_t skinPointCount;
    SkinPointRecord* skinPoints; // MAX_DECOMPOSED_POINTS
    int32_t skinNormalCount;
    Vector3D* skinNormals; // MAX_DECOMPOSED_NORMALS
};

struct SkeletonInstance
{
    bool jointsExternal; // the owner writes jointMatrices; the animation does not pose
    uint8_t animNum;
    bool morphing;
    float morphRate;     // cross-fade progress per second
    float morphProgress; // 0 -> 1
    KeyframeRecord pose[MAX_JOINTS];
    KeyframeRecord morphFrom[MAX_JOINTS];
    KeyframeRecord morphTo[MAX_JOINTS];
    float animTime;   // ticks
    float loopTime;   // where a loop returns to, and the lower bound of a backward run
    float animLength; // largest keyframe tick of the animation
    float animSpeed;  // playback multiplier
    float pauseTime;  // seconds left of a pause event
    uint8_t nextEvent;
    bool playBackward;
    uint8_t bounceMode;                  // 2 after a reverse event
    bool animStopped;                    // set by a stop event; gameplay reads it as "finished"
    Matrix4x4 jointMatrices[MAX_JOINTS]; // each relative to its parent
    SkeletonInfoType* info;
    MetaObject* materialOverride[MAX_DECOMPOSED_TRIMESHES]; // drawn instead of a mesh's first material
    VertexArrayGeometry skinnedMeshes[2][MAX_DECOMPOSED_TRIMESHES]; // per frame parity
};

// ---------------------------------------------------------------------------------------------------------
// Globals
// ---------------------------------------------------------------------------------------------------------

extern SkeletonInfoType* gLoadedSkeletons[MAX_SKELETON_TYPES]; // null when not loaded
extern int32_t gSkeletonMeshCount[MAX_SKELETON_TYPES];
extern SkeletonInfoType* gCurrentSkeleton; // the definition being built or skinned
extern float gAccelerationCurve[ACCELERATION_CURVE_SIZE];
// Whether loading a type uploads its model's textures (the game) or decodes and drops them (tools and tests
// without an OpenGL context). True by default.
extern bool gSkeletonTexturesUploaded;

// ---------------------------------------------------------------------------------------------------------
// Skeleton types (SkeletonManager.cpp, SkeletonFile.cpp)
// ---------------------------------------------------------------------------------------------------------

void InitSkeletonManager(); // start-up: builds the easing curve and empties the loaded-type tables
// Loads type `type` from the data folder into gLoadedSkeletons; fatal if out of range or already loaded.
// Returns its mesh count.
int LoadASkeleton(int type);
// Reads type `type`'s file from the data folder, its reference model into model group 5 + type.
SkeletonInfoType* LoadSkeleton(int type);
// The same for a file named by spec (tools and tests); the model slot is still 5 + type.
SkeletonInfoType* LoadSkeletonFromSpec(const Tarnet::FSSpec* spec, int type);
void FreeSkeletonFile(int type);               // frees a loaded type and clears its slot; none: nothing
void FreeAllSkeletonFiles(int exceptType);     // every loaded type but exceptType (-1: all)
void FreeSkeletonInfo(SkeletonInfoType* info); // what LoadSkeleton made; the model file stays

// ---------------------------------------------------------------------------------------------------------
// Instances and animation (SkeletonObjects.cpp, SkeletonAnimation.cpp, SkeletonPose.cpp)
// ---------------------------------------------------------------------------------------------------------

// A skeleton node: def.artIndex is the type (which must be loaded), def.startAnim the first animation.
// Posed and skinned once before it returns.
ObjNode* MakeNewSkeletonBaseData(ObjectDefinition* def);
void SetSkeletonAnim(SkeletonInstance* instance, int animNum); // starts animNum at once; fatal if none
// Cross-fades from the current pose into animNum's first keyframes over 1 / rate seconds; null is ignored.
void MorphToSkeletonAnim(SkeletonInstance* instance, int animNum, float rate);
void AdvanceSkeletonAnimation(ObjNode* node);        // one frame of gFrameSeconds: time, events, pose
void PoseSkeletonJoints(SkeletonInstance* instance); // pose and joint matrices from animTime or the fade
// Blends keyframes a (earlier) and b (later) at `time` ticks with their easing into out.
void InterpolateKeyframes(const KeyframeRecord* a, const KeyframeRecord* b, float time, KeyframeRecord* out);
float AccelerationCurve(float x); // the easing curve at x in [0, 1]; fatal outside
void FreeSkeletonInstance(SkeletonInstance* instance, int type); // both skin copies and the record

// ---------------------------------------------------------------------------------------------------------
// Skinning, drawing and joints (SkeletonSkin.cpp, SkeletonJoints.cpp)
// ---------------------------------------------------------------------------------------------------------

// Writes the skin of this frame's parity from the joint matrices and sets SkinnedBounds and ModelBounds.
void UpdateSkinnedGeometry(ObjNode* node);
void DrawSkinnedMeshes(ObjNode* node); // the skin of this frame's parity, with material overrides
// The meshes this frame's skinning wrote, for picking; *meshCount gets their number (0 without a skeleton).
const VertexArrayGeometry* CurrentSkinnedMeshes(const ObjNode* node, int* meshCount);
// The joint's local-to-world matrix; a node without a skeleton gives the translation to its Position.
void FindJointFullMatrix(ObjNode* node, int jointNum, Matrix4x4* out);
void FindJointPosition(ObjNode* node, int jointNum, Point3D* out); // world position of the joint's origin
void TransformPointByJoint(ObjNode* node, int jointNum, const Point3D* inPoint, Point3D* outPoint);
