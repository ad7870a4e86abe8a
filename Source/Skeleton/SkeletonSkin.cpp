// SkeletonSkin.cpp: skinning a creature's meshes from its joint matrices, and drawing them.
//
// The joint tree is walked down from joint 0 with the running matrix of each branch. Every skin point and
// normal a joint carries is transformed once and written into every vertex that shares it, in the copy of
// the meshes that belongs to this frame's parity. Nothing is allocated per frame.
#include "Skeleton/SkeletonLocal.h"

#include "3D/OGL_Support.h"
#include "System/Alerts.h"

#include <algorithm>

constexpr float kEmptyBoundsExtent = 10000000.0f;

// Shared by every skinning call: the transformed skin normals of the creature being skinned.
static Vector3D gTransformedNormals[MAX_DECOMPOSED_NORMALS];

// The mesh copy this frame writes and draws; without a game view (tools, tests) always the first.
static int FrameParity()
{
    return gGameViewInfoPtr ? (gGameViewInfoPtr->frameCount & 1) : 0;
}

// The box of one joint's points, kept in locals while the points are written: the writes go through
// float pointers the compiler must assume could reach a box in memory.
struct JointBox
{
    float minX, minY, minZ, maxX, maxY, maxZ;
};

static void GrowBox(BoundingBox* box, const JointBox& joint)
{
    box->minX = std::min(box->minX, joint.minX);
    box->minY = std::min(box->minY, joint.minY);
    box->minZ = std::min(box->minZ, joint.minZ);
    box->maxX = std::max(box->maxX, joint.maxX);
    box->maxY = std::max(box->maxY, joint.maxY);
    box->maxZ = std::max(box->maxZ, joint.maxZ);
}

struct SkinningPass
{
    const SkeletonInfoType* info;
    const SkeletonInstance* instance;
    VertexArrayGeometry* targets; // the meshes of this frame's parity
    BoundingBox* bounds;
};

static void SkinJoint(const SkinningPass* pass, int j, const Matrix4x4* parentMatrix)
{
    const SkeletonInfoType* info = pass->info;
    const JointRecord* joint = &info->joints[j];

    // 1. The joint's full matrix; external joint matrices are full already.
    Matrix4x4 m;
    if (pass->instance->jointsExternal)
        m = pass->instance->jointMatrices[j];
    else
        MatrixMultiply(&pass->instance->jointMatrices[j], parentMatrix, &m);

    // The matrix in locals for the same reason as the box: the vertex writes could otherwise reach it.
    const float* v = m.value;
    const float m0 = v[0], m1 = v[1], m2 = v[2], m4 = v[4], m5 = v[5], m6 = v[6];
    const float m8 = v[8], m9 = v[9], m10 = v[10], m12 = v[12], m13 = v[13], m14 = v[14];

    // 2. Its normals turn with it (not renormalised: OpenGL normalises when the node is scaled).
    for (int i = 0; i < joint->numNormalsAttachedToJoint; i++) {
        int n = joint->normalList[i];
        const Vector3D in = info->skinNormals[n];
        gTransformedNormals[n] = {m0 * in.x + m4 * in.y + m8 * in.z, m1 * in.x + m5 * in.y + m9 * in.z,
                                  m2 * in.x + m6 * in.y + m10 * in.z};
    }

    // 3. Its points: transformed once, written with their normals into every vertex that shares them.
    JointBox box = {kEmptyBoundsExtent,  kEmptyBoundsExtent,  kEmptyBoundsExtent,
                    -kEmptyBoundsExtent, -kEmptyBoundsExtent, -kEmptyBoundsExtent};
    for (int i = 0; i < joint->numPointsAttachedToJoint; i++) {
        const SkinPointRecord* point = &info->skinPoints[joint->pointList[i]];
        const Point3D in = point->localPoint;
        Point3D world = {m0 * in.x + m4 * in.y + m8 * in.z + m12, m1 * in.x + m5 * in.y + m9 * in.z + m13,
                         m2 * in.x + m6 * in.y + m10 * in.z + m14};
        box.minX = std::min(box.minX, world.x);
        box.minY = std::min(box.minY, world.y);
        box.minZ = std::min(box.minZ, world.z);
        box.maxX = std::max(box.maxX, world.x);
        box.maxY = std::max(box.maxY, world.y);
        box.maxZ = std::max(box.maxZ, world.z);
        for (int r = 0; r < point->refCount; r++) {
            VertexArrayGeometry* mesh = &pass->targets[point->refMesh[r]];
            mesh->points[point->refPoint[r]] = world;
            mesh->normals[point->refPoint[r]] = gTransformedNormals[point->refNormal[r]];
        }
    }
    GrowBox(pass->bounds, box);

    // 4. The children continue from this joint's matrix.
    const Matrix4x4* childParent = pass->instance->jointsExternal ? parentMatrix : &m;
    for (int c = 0; c < info->childCount[j]; c++)
        SkinJoint(pass, info->childJoints[j][c], childParent);
}

void UpdateSkinnedGeometry(ObjNode* node)
{
    SkeletonInstance* instance = node->Skeleton;
    if (!instance)
        return;
    gCurrentSkeleton = instance->info;
    if (!gCurrentSkeleton)
        ShowFatalAlert("UpdateSkinnedGeometry: gCurrentSkeleton is invalid!");

    // 1. This frame's copy of the meshes.
    int parity = FrameParity();
    node->VertexArrayPool = uint8_t(VERTEX_ARRAY_POOL_SKINNED_0 + parity);

    // 2. The world box starts empty and grows over every skinned point.
    BoundingBox* bounds = &node->SkinnedBounds;
    bounds->minX = bounds->minY = bounds->minZ = kEmptyBoundsExtent;
    bounds->maxX = bounds->maxY = bounds->maxZ = -kEmptyBoundsExtent;

    // 3. Down the tree from the root, starting from the node's placement.
    if (gCurrentSkeleton->joints[0].parentJoint != -1)
        ShowFatalAlert("UpdateSkinnedGeometry: joint 0 is not the base");
    Matrix4x4 start;
    if (instance->jointsExternal)
        MatrixIdentity(&start);
    else
        start = node->Transform;
    SkinningPass pass = {gCurrentSkeleton, instance, instance->skinnedMeshes[parity], bounds};
    SkinJoint(&pass, 0, &start);

    // 4. Culling uses the box relative to the node's position.
    bounds->isEmpty = false;
    node->ModelBounds = {bounds->minX - node->Position.x,
                         bounds->minY - node->Position.y,
                         bounds->minZ - node->Position.z,
                         bounds->maxX - node->Position.x,
                         bounds->maxY - node->Position.y,
                         bounds->maxZ - node->Position.z,
                         false};
}

const VertexArrayGeometry* CurrentSkinnedMeshes(const ObjNode* node, int* meshCount)
{
    const SkeletonInstance* instance = node->Skeleton;
    if (!instance || !instance->info) {
        *meshCount = 0;
        return nullptr;
    }
    *meshCount = instance->info->meshCount;
    return instance->skinnedMeshes[FrameParity()];
}

void DrawSkinnedMeshes(ObjNode* node)
{
    SkeletonInstance* instance = node->Skeleton;
    if (!instance)
        return;
    int parity = FrameParity();
    for (int i = 0; i < instance->info->meshCount; i++) {
        VertexArrayGeometry* mesh = &instance->skinnedMeshes[parity][i];
        MetaObject* override = instance->materialOverride[i];
        if (override && mesh->numMaterials > 0) {
            // Only for this draw: the mesh keeps its own material reference.
            MetaObject* own = mesh->materials[0];
            mesh->materials[0] = override;
            MO_DrawGeometry_VertexArray(mesh);
            mesh->materials[0] = own;
        } else {
            MO_DrawGeometry_VertexArray(mesh);
        }
    }
}
