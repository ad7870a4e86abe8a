// SkeletonObjects.cpp: creature nodes: making one with its own copies of the skin, finding its joints in
// the world, and freeing it.
#include "Skeleton/SkeletonLocal.h"

#include "3D/OGL_Support.h"
#include "System/Alerts.h"
#include "System/Memory.h"

ObjNode* MakeNewSkeletonBaseData(ObjectDefinition* def)
{
    // 1. The skeleton type must be loaded before anything is made from it.
    int type = def->artIndex;
    if (type >= MAX_SKELETON_TYPES || !gLoadedSkeletons[type])
        ShowFatalAlert("MakeNewSkeletonBaseData: Skeleton data isn't loaded! %d", type);
    def->genre = SKELETON_GENRE;
    ObjNode* node = MakeNewObject(def);
    if (!node)
        return nullptr;

    // 2. The instance with two private copies of every mesh, one per frame parity.
    SkeletonInfoType* info = gLoadedSkeletons[type];
    SkeletonInstance* instance = (SkeletonInstance*)AllocPtrClear(int32_t(sizeof(SkeletonInstance)));
    instance->info = info;
    instance->animSpeed = 1.0f;
    instance->jointsExternal = false;
    for (int i = 0; i < info->meshCount; i++) {
        MO_CopyVertexArrayData(&info->meshes[i], &instance->skinnedMeshes[0][i], VERTEX_ARRAY_POOL_SKINNED_0);
        MO_CopyVertexArrayData(&info->meshes[i], &instance->skinnedMeshes[1][i], VERTEX_ARRAY_POOL_SKINNED_1);
    }

    // 3. Posed and skinned once, so the node has a box before its first frame.
    node->Skeleton = instance;
    RebuildNodeTransform(node);
    SetSkeletonAnim(instance, def->startAnim);
    AdvanceSkeletonAnimation(node);
    UpdateSkinnedGeometry(node);
    CalcBoundingRadius(node);
    node->VertexArrayPool = VERTEX_ARRAY_POOL_SKINNED_0;
    return node;
}

void FreeSkeletonInstance(SkeletonInstance* instance, int)
{
    if (!instance)
        return;
    // Every slot is released, not only the type's mesh count: an empty slot releases nothing, and a
    // copy is never left behind when the type was freed first.
    for (int parity = 0; parity < 2; parity++) {
        for (int i = 0; i < MAX_DECOMPOSED_TRIMESHES; i++)
            MO_DisposeVertexArrayCopy(&instance->skinnedMeshes[parity][i]);
    }
    SafeDisposePtr(instance);
}

void FindJointFullMatrix(ObjNode* node, int jointNum, Matrix4x4* out)
{
    SkeletonInstance* instance = node->Skeleton;
    if (!instance) {
        MatrixTranslate(out, node->Position.x, node->Position.y, node->Position.z);
        return;
    }
    const SkeletonInfoType* info = instance->info;
    if (jointNum < 0 || jointNum >= info->numJoints)
        ShowFatalAlert("FindJointFullMatrix: illegal jointNum!");

    *out = instance->jointMatrices[jointNum];
    for (int up = info->joints[jointNum].parentJoint; up != -1; up = info->joints[up].parentJoint)
        MatrixMultiply(out, &instance->jointMatrices[up], out);
    MatrixMultiply(out, &node->Transform, out);
}

void FindJointPosition(ObjNode* node, int jointNum, Point3D* out)
{
    const Point3D origin = {0, 0, 0};
    TransformPointByJoint(node, jointNum, &origin, out);
}

void TransformPointByJoint(ObjNode* node, int jointNum, const Point3D* inPoint, Point3D* outPoint)
{
    Matrix4x4 m;
    FindJointFullMatrix(node, jointNum, &m);
    TransformPoint(inPoint, &m, outPoint);
}
