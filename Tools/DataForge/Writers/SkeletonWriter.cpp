#include "DataForge/Writers/SkeletonWriter.h"

#include "3D/Math3D.h"
#include "DataForge/Writers/BigEndianWriter.h"

#include <stdexcept>

constexpr int kBaseID = 1000;
constexpr uint16_t kSkeletonVersion = 0x0110;
constexpr size_t kAliasSize = 114;

static uint32_t Code(const char (&code)[5])
{
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
           (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

static void CollectMeshes(const TQ3DNode& node, std::vector<const TQ3DMesh*>* out)
{
    if (!node.isGroup) {
        out->push_back(&node.mesh);
        return;
    }
    for (const TQ3DNode& member : node.members)
        CollectMeshes(member, out);
}

std::vector<const TQ3DMesh*> MeshesInWalkOrder(const TQ3DFile& model)
{
    std::vector<const TQ3DMesh*> meshes;
    for (const TQ3DNode& node : model.models)
        CollectMeshes(node, &meshes);
    return meshes;
}

static Point3D ToPoint(const TQ3DVec3& v)
{
    return {v.x, v.y, v.z};
}

SkinDecomposition DecomposeSkin(const TQ3DFile& model, const std::vector<std::vector<int>>& vertexJoints,
                                int jointCount)
{
    std::vector<const TQ3DMesh*> meshes = MeshesInWalkOrder(model);
    if (meshes.size() != vertexJoints.size())
        throw std::invalid_argument("skeleton: the model has " + std::to_string(meshes.size()) +
                                    " meshes but joints are given for " +
                                    std::to_string(vertexJoints.size()));
    SkinDecomposition skin;
    for (size_t m = 0; m < meshes.size(); m++) {
        const TQ3DMesh& mesh = *meshes[m];
        if (vertexJoints[m].size() != mesh.points.size() || mesh.normals.size() != mesh.points.size())
            throw std::invalid_argument("skeleton: mesh " + std::to_string(m) +
                                        " needs one joint and one normal per point");
        for (size_t i = 0; i < mesh.points.size(); i++) {
            int joint = vertexJoints[m][i];
            if (joint < 0 || joint >= jointCount)
                throw std::invalid_argument("skeleton: a vertex of mesh " + std::to_string(m) +
                                            " names joint " + std::to_string(joint));
            // The same comparisons as the game's loader: first match wins.
            Point3D vertex = ToPoint(mesh.points[i]);
            size_t p = 0;
            while (p < skin.points.size()) {
                Point3D known = ToPoint(skin.points[p]);
                if (PointsEqual(&known, &vertex))
                    break;
                p++;
            }
            if (p == skin.points.size()) {
                skin.points.push_back(mesh.points[i]);
                skin.pointJoints.push_back(joint);
                skin.maxRefs.push_back(0);
            }
            skin.maxRefs[p]++;

            Point3D normal = ToPoint(mesh.normals[i]);
            size_t n = 0;
            while (n < skin.normals.size()) {
                Point3D known = ToPoint(skin.normals[n]);
                if (PointsNearlyEqual(&known, &normal))
                    break;
                n++;
            }
            if (n == skin.normals.size()) {
                skin.normals.push_back(mesh.normals[i]);
                skin.normalJoints.push_back(joint);
            }
        }
    }
    return skin;
}

std::vector<uint8_t> BuildAliasRecord(const std::string& fileName)
{
    if (fileName.empty() || fileName.size() > 63)
        throw std::invalid_argument("skeleton: a model file name of 1 to 63 bytes is needed: " + fileName);
    BigEndianWriter w;
    w.U32(0);                    // application type
    w.U16(uint16_t(kAliasSize)); // record size
    w.U16(2);                    // version
    w.U16(0);                    // kind: a file
    w.Zeros(28 + 4 + 2 + 2 + 4); // volume name, date, signature, drive type, parent directory
    w.PascalString(fileName);
    w.Zeros(kAliasSize - w.Size());
    return w.Take();
}

static void WriteVec(BigEndianWriter& w, const TQ3DVec3& v)
{
    w.Float(v.x);
    w.Float(v.y);
    w.Float(v.z);
}

Tarnet::ResourceForkWriter BuildSkeletonResourceFork(const SkeletonFileDescription& skeleton,
                                                     const TQ3DFile& model)
{
    int jointCount = int(skeleton.joints.size());
    SkinDecomposition skin = DecomposeSkin(model, skeleton.vertexJoints, jointCount);
    Tarnet::ResourceForkWriter fork;

    BigEndianWriter header;
    header.U16(kSkeletonVersion);
    header.U16(uint16_t(skeleton.animations.size()));
    header.U16(uint16_t(jointCount));
    header.Zeros(10);
    fork.Add(Code("Hedr"), kBaseID, header.Take());
    fork.Add(Code("alis"), kBaseID, BuildAliasRecord(skeleton.modelFileName));

    for (int j = 0; j < jointCount; j++) {
        const SkeletonJoint& joint = skeleton.joints[size_t(j)];
        std::vector<uint16_t> points, normals;
        for (size_t p = 0; p < skin.points.size(); p++)
            if (skin.pointJoints[p] == j)
                points.push_back(uint16_t(p));
        for (size_t n = 0; n < skin.normals.size(); n++)
            if (skin.normalJoints[n] == j)
                normals.push_back(uint16_t(n));

        BigEndianWriter bone;
        bone.I32(joint.parent);
        std::string name = joint.name.substr(0, 31);
        bone.Chars(name);
        bone.Zeros(32 - name.size());
        // Stored relative to the parent, as the keyframes place joints.
        TQ3DVec3 relative = joint.restPosition;
        if (joint.parent >= 0 && joint.parent < jointCount) {
            const TQ3DVec3& parent = skeleton.joints[size_t(joint.parent)].restPosition;
            relative = {relative.x - parent.x, relative.y - parent.y, relative.z - parent.z};
        }
        WriteVec(bone, relative);
        bone.U16(uint16_t(points.size()));
        bone.U16(uint16_t(normals.size()));
        fork.Add(Code("Bone"), int16_t(kBaseID + j), bone.Take());

        BigEndianWriter pointList, normalList;
        for (uint16_t p : points)
            pointList.U16(p);
        for (uint16_t n : normals)
            normalList.U16(n);
        fork.Add(Code("BonP"), int16_t(kBaseID + j), pointList.Take());
        fork.Add(Code("BonN"), int16_t(kBaseID + j), normalList.Take());
    }

    // Every joint is unrotated in the rest pose, so a point's place in its joint's frame is an offset.
    BigEndianWriter relative;
    for (size_t p = 0; p < skin.points.size(); p++) {
        const TQ3DVec3& rest = skeleton.joints[size_t(skin.pointJoints[p])].restPosition;
        const TQ3DVec3& point = skin.points[p];
        WriteVec(relative, {point.x - rest.x, point.y - rest.y, point.z - rest.z});
    }
    fork.Add(Code("RelP"), kBaseID, relative.Take());

    for (size_t a = 0; a < skeleton.animations.size(); a++) {
        const SkeletonAnimation& anim = skeleton.animations[a];
        int16_t id = int16_t(kBaseID + a);
        BigEndianWriter animHeader;
        std::string name = anim.name.substr(0, 33);
        animHeader.PascalString(name);
        animHeader.Zeros(34 - animHeader.Size());
        animHeader.U16(uint16_t(anim.events.size()));
        fork.Add(Code("AnHd"), id, animHeader.Take());

        BigEndianWriter events;
        for (const SkeletonEvent& event : anim.events) {
            events.I16(event.time);
            events.U8(event.type);
            events.U8(event.value);
        }
        fork.Add(Code("Evnt"), id, events.Take());

        BigEndianWriter counts;
        for (int j = 0; j < jointCount; j++)
            counts.U8(size_t(j) < anim.keyframes.size() ? uint8_t(anim.keyframes[size_t(j)].size()) : 0);
        fork.Add(Code("NumK"), id, counts.Take());

        for (int j = 0; j < jointCount; j++) {
            BigEndianWriter keys;
            if (size_t(j) < anim.keyframes.size()) {
                for (const SkeletonKeyframe& key : anim.keyframes[size_t(j)]) {
                    keys.I32(key.tick);
                    keys.I32(key.easing);
                    WriteVec(keys, key.position);
                    WriteVec(keys, key.rotation);
                    WriteVec(keys, key.scale);
                }
            }
            fork.Add(Code("KeyF"), int16_t(kBaseID + 100 * a + size_t(j)), keys.Take());
        }
    }
    return fork;
}

void WriteSkeletonFiles(const std::filesystem::path& folder, const std::string& name,
                        const SkeletonFileDescription& skeleton, const TQ3DFile& model)
{
    WriteTQ3DFile(folder / skeleton.modelFileName, model);
    BuildSkeletonResourceFork(skeleton, model).WriteAppleDouble(folder / (name + ".rsrc"));
}
