// SkeletonDecompose.cpp: splitting a skeleton's reference model into shared skin points and skin normals,
// and linking the joints into a tree.
//
// The meshes are walked depth-first in member order. Each vertex joins the first earlier skin point at the
// same model position (every component within 0.0001), or starts a new one; its normal likewise joins the
// first earlier skin normal within 0.02. The skeleton file's point lists and relative points index skin
// points in this order of first appearance, so the model and the skeleton file are made together.
#include "Skeleton/SkeletonLocal.h"

#include "System/Alerts.h"

#include <climits>

static void DecomposeATriMesh(SkeletonInfoType* info, const VertexArrayGeometry* mesh)
{
    int m = info->meshCount;
    if (m >= MAX_DECOMPOSED_TRIMESHES)
        SkeletonFatal("DecomposeATriMesh: gNumDecomposedTriMeshes > MAX_DECOMPOSED_TRIMESHES");
    // Vertex indices are kept in 16 bits, and every vertex needs a normal to turn with its joint.
    if (mesh->numPoints > SHRT_MAX)
        SkeletonFatal("DecomposeATriMesh: mesh %d has %d points, at most %d", m, mesh->numPoints, SHRT_MAX);
    if (mesh->numPoints > 0 && !mesh->normals)
        SkeletonFatal("DecomposeATriMesh: mesh %d of the reference model has no normals", m);
    info->meshes[m] = *mesh;

    for (int i = 0; i < mesh->numPoints; i++) {
        const Point3D* vertex = &mesh->points[i];

        SkinPointRecord* point = nullptr;
        for (int p = 0; p < info->skinPointCount; p++) {
            if (PointsEqual(&info->skinPoints[p].modelPoint, vertex)) {
                point = &info->skinPoints[p];
                break;
            }
        }
        if (point) {
            if (point->refCount >= MAX_POINT_REFS)
                SkeletonFatal("DecomposeATriMesh: MAX_POINT_REFS exceeded! refNum %d", int(point->refCount));
        } else {
            if (info->skinPointCount >= MAX_DECOMPOSED_POINTS)
                SkeletonFatal("DecomposeATriMesh: MAX_DECOMPOSED_POINTS exceeded!");
            point = &info->skinPoints[info->skinPointCount++];
            point->modelPoint = *vertex;
            point->refCount = 0;
        }

        const Point3D normal = {mesh->normals[i].x, mesh->normals[i].y, mesh->normals[i].z};
        int n = 0;
        while (n < info->skinNormalCount) {
            const Point3D known = {info->skinNormals[n].x, info->skinNormals[n].y, info->skinNormals[n].z};
            if (PointsNearlyEqual(&known, &normal))
                break;
            n++;
        }
        if (n == info->skinNormalCount) {
            if (info->skinNormalCount >= MAX_DECOMPOSED_NORMALS)
                SkeletonFatal("DecomposeATriMesh: MAX_DECOMPOSED_NORMALS exceeded!");
            info->skinNormals[info->skinNormalCount++] = mesh->normals[i];
        }

        int r = point->refCount++;
        point->refMesh[r] = uint8_t(m);
        point->refPoint[r] = int16_t(i);
        point->refNormal[r] = int16_t(n);
    }
    info->meshCount++;
}

static void DecompRefMo_Recurse(SkeletonInfoType* info, MetaObject* obj)
{
    if (obj->type == MO_TYPE_GEOMETRY) {
        if (obj->subType != MO_GEOMETRY_SUBTYPE_VERTEXARRAY)
            SkeletonFatal("DecompRefMo_Recurse: unknown geometry subtype");
        DecomposeATriMesh(info, MO_GetGeometryData(obj));
    } else if (obj->type == MO_TYPE_GROUP) {
        MetaObjectGroupData* group = MO_GetGroupData(obj);
        for (int i = 0; i < group->numObjectsInGroup; i++)
            DecompRefMo_Recurse(info, group->objects[i]);
    }
}

void DecomposeReferenceModel(SkeletonInfoType* info, MetaObject* root)
{
    DecompRefMo_Recurse(info, root);
}

void CreateSkeletonFromBones(SkeletonInfoType* info)
{
    int numJoints = info->numJoints;
    if (numJoints == 0)
        SkeletonFatal("PrimeBoneData: # = 0??");

    // Skinning walks the tree down from joint 0 and joint look-ups walk parents up to the root, so the
    // links must form a tree rooted at joint 0.
    if (info->joints[0].parentJoint != -1)
        SkeletonFatal("CreateSkeletonFromBones: joint 0 is not the base (its parent is %d)",
                      int(info->joints[0].parentJoint));
    for (int j = 1; j < numJoints; j++) {
        int parent = info->joints[j].parentJoint;
        if (parent != -1 && (parent < 0 || parent >= numJoints))
            SkeletonFatal("CreateSkeletonFromBones: joint %d has parent %d, but there are %d joints", j,
                          parent, numJoints);
        int steps = 0;
        for (int up = parent; up != -1; up = info->joints[up].parentJoint) {
            if (++steps > numJoints)
                SkeletonFatal("CreateSkeletonFromBones: the parents of joint %d form a cycle", j);
        }
    }

    for (int p = 0; p < numJoints; p++) {
        info->childCount[p] = 0;
        for (int j = 0; j < numJoints; j++) {
            if (info->joints[j].parentJoint != p)
                continue;
            if (info->childCount[p] >= MAX_CHILDREN)
                SkeletonFatal("CreateSkeletonFromBones: MAX_CHILDREN exceeded!");
            info->childJoints[p][info->childCount[p]++] = uint8_t(j);
        }
    }
}
