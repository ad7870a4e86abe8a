#include "DataForge/Content/SkeletonKit.h"

#include "Skeleton/Skeleton.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

int CreatureBuilder::Joint(const char* name, int parent, Vec3 rest)
{
    if (parent >= int(joints.size()) || (joints.empty() != (parent == -1)))
        throw std::runtime_error(modelFile + ": joint " + name + " needs an earlier parent");
    joints.push_back({name, parent, rest});
    return int(joints.size()) - 1;
}

// Distance from p to the segment a-b.
static float SegmentDistance(Vec3 p, Vec3 a, Vec3 b)
{
    Vec3 ab = b - a;
    float lengthSquared = Dot(ab, ab);
    float t = lengthSquared > 0 ? std::clamp(Dot(p - a, ab) / lengthSquared, 0.0f, 1.0f) : 0.0f;
    return Length(p - (a + ab * t));
}

int CreatureBuilder::NearestBone(Vec3 p, const std::vector<int>& candidates) const
{
    int best = candidates.front();
    float bestDistance = 1e30f;
    for (int joint : candidates) {
        // The bone runs to the joint's first child among the candidates, if it has one.
        Vec3 end = joints[size_t(joint)].rest;
        for (int c : candidates) {
            if (joints[size_t(c)].parent == joint) {
                end = joints[size_t(c)].rest;
                break;
            }
        }
        float distance = SegmentDistance(p, joints[size_t(joint)].rest, end);
        if (distance < bestDistance - 1e-4f) {
            bestDistance = distance;
            best = joint;
        }
    }
    return best;
}

void CreatureBuilder::Part(uint32_t material, Mesh mesh, const std::vector<int>& candidates, bool skinLayout)
{
    if (mesh.normals.empty())
        SmoothNormals(mesh, 60);
    if (skinLayout) {
        mesh.uvs.resize(mesh.points.size());
        for (size_t i = 0; i < mesh.points.size(); i++) {
            const Vec3& p = mesh.points[i];
            mesh.uvs[i] = {(p.z + p.x * 0.5f) / 60.0f, 0.5f - 0.45f * mesh.normals[i].y};
        }
    }
    mesh.colors.clear();

    auto found = std::find_if(meshes.begin(), meshes.end(),
                              [&](const MaterialMesh& m) { return m.material == material; });
    if (found == meshes.end()) {
        meshes.push_back({material, {}, {}});
        found = meshes.end() - 1;
    }
    for (const Vec3& p : mesh.points)
        found->vertexJoints.push_back(NearestBone(p, candidates));
    Append(found->mesh, mesh);
}

Mesh CreatureBuilder::ChainTube(const std::vector<int>& chain, const std::vector<float>& radii, int sides,
                                int rings) const
{
    std::vector<Vec3> path;
    std::vector<float> pathRadii;
    for (size_t k = 0; k + 1 < chain.size(); k++) {
        Vec3 a = joints[size_t(chain[k])].rest, b = joints[size_t(chain[k + 1])].rest;
        for (int r = 0; r < rings; r++) {
            float t = float(r) / float(rings);
            path.push_back(a + (b - a) * t);
            pathRadii.push_back(radii[k] + (radii[k + 1] - radii[k]) * t);
        }
    }
    path.push_back(joints[size_t(chain.back())].rest);
    pathRadii.push_back(radii.back());
    return Tube(path, pathRadii, sides);
}

void CreatureBuilder::Animation(const char* name, int ticks, int samples, AnimEnd end,
                                const PoseFunction& pose, int easing)
{
    samples = std::min(samples, ticks); // one keyframe a tick at most: their ticks must rise
    if (samples + 1 > MAX_KEYFRAMES)
        throw std::runtime_error(modelFile + ": too many keyframes in " + name);
    SkeletonAnimation anim;
    anim.name = name;
    anim.keyframes.resize(joints.size());
    CreaturePose at;
    for (int s = 0; s <= samples; s++) {
        float phase = float(s) / float(samples);
        at.rotation.assign(joints.size(), {0, 0, 0});
        at.offset.assign(joints.size(), {0, 0, 0});
        at.scale.assign(joints.size(), 1.0f);
        pose(phase, at);
        int tick = int(std::lround(double(phase) * ticks));
        for (size_t j = 0; j < joints.size(); j++) {
            Vec3 place = joints[j].rest;
            if (joints[j].parent >= 0)
                place = place - joints[size_t(joints[j].parent)].rest;
            place = place + at.offset[j];
            SkeletonKeyframe key;
            key.tick = tick;
            key.easing = easing;
            key.position = {place.x, place.y, place.z};
            key.rotation = {at.rotation[j].x, at.rotation[j].y, at.rotation[j].z};
            key.scale = {at.scale[j], at.scale[j], at.scale[j]};
            anim.keyframes[j].push_back(key);
        }
    }
    if (end == AnimEnd::Loop)
        anim.events.push_back({int16_t(ticks), ANIMEVENT_TYPE_LOOP, 0});
    else if (end == AnimEnd::Stop)
        anim.events.push_back({int16_t(ticks), ANIMEVENT_TYPE_STOP, 0});
    animations.push_back(std::move(anim));
}

void CreatureBuilder::Finish(SkeletonFileDescription* skeleton, TQ3DFile* model)
{
    if (meshes.size() > size_t(MAX_DECOMPOSED_TRIMESHES))
        throw std::runtime_error(modelFile + ": more than 10 meshes");
    std::vector<ModelPart> parts;
    skeleton->vertexJoints.clear();
    for (const MaterialMesh& m : meshes) {
        parts.push_back({m.mesh, m.material});
        skeleton->vertexJoints.push_back(m.vertexJoints);
    }
    materials.Add(0, parts);
    *model = materials.Finish();

    skeleton->modelFileName = modelFile;
    skeleton->joints.clear();
    for (const JointInfo& j : joints)
        skeleton->joints.push_back({j.parent, j.name, {j.rest.x, j.rest.y, j.rest.z}});
    skeleton->animations = animations;

    SkinDecomposition skin = DecomposeSkin(*model, skeleton->vertexJoints, int(joints.size()));
    if (skin.points.size() > size_t(MAX_DECOMPOSED_POINTS) ||
        skin.normals.size() > size_t(MAX_DECOMPOSED_NORMALS))
        throw std::runtime_error(modelFile + ": " + std::to_string(skin.points.size()) + " skin points and " +
                                 std::to_string(skin.normals.size()) + " normals, at most 2000 each");
    for (int refs : skin.maxRefs)
        if (refs > MAX_POINT_REFS)
            throw std::runtime_error(modelFile + ": more than 20 vertices share a skin point");
}

float Wave(float phase, float shift)
{
    return DetSin(2 * kPi * (phase + shift));
}

Image CreatureSkin(int size, Rgb back, Rgb belly, Rgb marks, float scaleDensity, uint32_t seed)
{
    return Synthesize(size, size, [=](float u, float v, Rgb& c, float& a) {
        float n = Fbm(u * 8, v * 8, 4, 8, 8, seed);
        float sx = u * scaleDensity + (int(v * scaleDensity) % 2) * 0.5f, sy = v * scaleDensity;
        float cell = std::hypot(sx - std::floor(sx) - 0.5f, sy - std::floor(sy) - 0.5f);
        Rgb base = Mix(back, belly, std::clamp(v * 1.3f - 0.15f + (n - 0.5f) * 0.3f, 0.0f, 1.0f));
        float spots = ValueNoise(u * 6, v * 6, 6, 6, seed + 1);
        if (v < 0.45f && spots > 0.62f)
            base = Mix(base, marks, 0.7f);
        c = Shade(base, 1.0f - std::clamp((cell - 0.3f) * 1.2f, 0.0f, 0.35f));
        a = 1;
    });
}

void WriteCreature(CreatureBuilder& creature, const std::filesystem::path& folder, const std::string& name)
{
    SkeletonFileDescription skeleton;
    TQ3DFile model;
    creature.Finish(&skeleton, &model);
    WriteSkeletonFiles(folder, name + ".skeleton", skeleton, model);
}
