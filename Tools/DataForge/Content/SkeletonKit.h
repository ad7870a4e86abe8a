// The kit every generated creature is built with: joints placed in the rest pose (every joint unrotated),
// body parts whose vertices each follow the nearest bone, and animations sampled from pose functions into
// keyframes. A creature's meshes are grouped by material, so a creature has as many meshes as materials.
#pragma once

#include "DataForge/Content/ModelsKit.h"
#include "DataForge/Writers/SkeletonWriter.h"

#include <functional>
#include <string>
#include <vector>

// A creature's pose at one moment: each joint's rotation and an offset from its rest place.
struct CreaturePose
{
    std::vector<Vec3> rotation;
    std::vector<Vec3> offset;
    std::vector<float> scale; // uniform, 1 by default
};

using PoseFunction = std::function<void(float phase, CreaturePose& pose)>; // phase 0..1 over the animation

enum class AnimEnd
{
    Loop, // a loop event at the last tick; the pose function should end where it starts
    Stop, // a stop event at the last tick: the pose holds and gameplay sees the animation finished
    Hold  // no event: the last pose holds
};

class CreatureBuilder
{
public:
    CreatureBuilder(const std::string& modelFileName) : materials(modelFileName), modelFile(modelFileName) {}

    // Joints are numbered in the order they are added; a parent comes before its children.
    int Joint(const char* name, int parent, Vec3 rest);
    Vec3 Rest(int joint) const { return joints[size_t(joint)].rest; }

    ModelFileBuilder& Materials() { return materials; }

    // A body part: each vertex follows the bone (a joint to its first listed child, or the joint alone) of
    // `candidates` nearest to it. Normals are made here when the mesh has none; UVs come from the mesh,
    // or from the skin layout when `skinLayout` is set: u along the body, v from the back (0) to the belly
    // (1).
    void Part(uint32_t material, Mesh mesh, const std::vector<int>& candidates, bool skinLayout = false);
    // A tube through the rest places of a chain of joints, with `rings` rings between two joints.
    Mesh ChainTube(const std::vector<int>& chain, const std::vector<float>& radii, int sides,
                   int rings) const;

    // An animation of `ticks` ticks sampled `samples` times (plus the end) from `pose`.
    void Animation(const char* name, int ticks, int samples, AnimEnd end, const PoseFunction& pose,
                   int easing = 0);

    // The finished model and skeleton; throws std::runtime_error on a broken rule.
    void Finish(SkeletonFileDescription* skeleton, TQ3DFile* model);

    int JointCount() const { return int(joints.size()); }

private:
    struct JointInfo
    {
        std::string name;
        int parent;
        Vec3 rest;
    };
    struct MaterialMesh
    {
        uint32_t material;
        Mesh mesh;
        std::vector<int> vertexJoints;
    };

    int NearestBone(Vec3 p, const std::vector<int>& candidates) const;

    ModelFileBuilder materials;
    std::string modelFile;
    std::vector<JointInfo> joints;
    std::vector<MaterialMesh> meshes;
    std::vector<SkeletonAnimation> animations;
};

// Sine of a full turn at phase p plus a phase shift (both in turns), for cycles.
float Wave(float phase, float shift = 0);

// The skin images: scaled, with the back colour at v = 0 and the belly colour at v = 1.
Image CreatureSkin(int size, Rgb back, Rgb belly, Rgb marks, float scaleDensity, uint32_t seed);

// Finishes the creature and writes "<name>.skeleton.rsrc" and its model into the folder.
void WriteCreature(CreatureBuilder& creature, const std::filesystem::path& folder, const std::string& name);

// Each creature writes "<name>.rsrc" and its model into the folder.
void BuildPterosaur(const std::filesystem::path& folder);
void BuildWormhole(const std::filesystem::path& folder);
void BuildRaptor(const std::filesystem::path& folder);
void BuildBonusWorm(const std::filesystem::path& folder);
void BuildBrach(const std::filesystem::path& folder);
void BuildSwampWorm(const std::filesystem::path& folder);
void BuildRamphor(const std::filesystem::path& folder);
