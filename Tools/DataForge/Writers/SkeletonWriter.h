// Skeleton writer: an in-memory description of a skeleton file (joints, animations with keyframes and
// events, the name of its reference model) and its resource fork in the game's format. The writer
// decomposes the reference model into skin points and normals exactly as the game's loader does (same walk
// order, same tolerances), so the point lists and relative points it writes index what the game will build.
// The description is written as given, so tests can also build faulty files.
#pragma once

#include "DataForge/Writers/TQ3DWriter.h"
#include "Tarnet/Resources/ResourceForkWriter.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct SkeletonKeyframe
{
    int32_t tick = 0;
    int32_t easing = 0; // 0 none, 1 both, 2 into this keyframe, 3 out of it
    TQ3DVec3 position;  // relative to the parent joint
    TQ3DVec3 rotation;  // radians about X, Y, Z
    TQ3DVec3 scale = {1, 1, 1};
};

struct SkeletonEvent
{
    int16_t time = 0; // ticks
    uint8_t type = 0;
    uint8_t value = 0;
};

struct SkeletonJoint
{
    int32_t parent = -1;
    std::string name;
    TQ3DVec3 restPosition; // in the model, with every joint unrotated (world position of the rest pose)
};

struct SkeletonAnimation
{
    std::string name;
    std::vector<SkeletonEvent> events;
    std::vector<std::vector<SkeletonKeyframe>> keyframes; // per joint
};

struct SkeletonFileDescription
{
    std::vector<SkeletonJoint> joints;
    std::vector<SkeletonAnimation> animations;
    std::string modelFileName; // the alias target, in the skeleton file's folder
    // Per mesh of the reference model in walk order (models in order, groups depth-first), the joint of
    // each vertex. A skin point belongs to the joint of the first vertex that made it.
    std::vector<std::vector<int>> vertexJoints;
};

// The skin of a reference model as the game's loader splits it.
struct SkinDecomposition
{
    std::vector<TQ3DVec3> points;  // model positions, in order of first appearance
    std::vector<int> pointJoints;  // the joint of each point
    std::vector<TQ3DVec3> normals; // distinct normals, in order of first appearance
    std::vector<int> normalJoints; // the joint of each normal (of the vertex that made it)
    std::vector<int> maxRefs;      // vertices sharing each point
};

// The reference model's meshes in the order the game walks them.
std::vector<const TQ3DMesh*> MeshesInWalkOrder(const TQ3DFile& model);

// Splits the model as the game does; throws std::invalid_argument when vertexJoints does not match the
// meshes, or names a joint that does not exist.
SkinDecomposition DecomposeSkin(const TQ3DFile& model, const std::vector<std::vector<int>>& vertexJoints,
                                int jointCount);

// The 114-byte alias record naming `fileName` in the same folder.
std::vector<uint8_t> BuildAliasRecord(const std::string& fileName);

// The resource fork of the skeleton file for `model`.
Tarnet::ResourceForkWriter BuildSkeletonResourceFork(const SkeletonFileDescription& skeleton,
                                                     const TQ3DFile& model);

// Writes "<folder>/<name>.rsrc" (the skeleton file's fork) and "<folder>/<modelFileName>" (its model).
void WriteSkeletonFiles(const std::filesystem::path& folder, const std::string& name,
                        const SkeletonFileDescription& skeleton, const TQ3DFile& model);
