// MetaObjectBounds.cpp: bounding boxes and spheres of MetaObject trees, and texture-coordinate scrolling.
#include "3D/MetaObjects.h"
#include "System/Alerts.h"

#include <cmath>

constexpr int kBoundsScratchPoints = 1000; // points of one mesh transformed at a time

static void GrowBoxOverGeometry(const VertexArrayGeometry* geometry, BoundingBox* box,
                                const Matrix4x4* matrix)
{
    static Point3D scratch[kBoundsScratchPoints];
    const Point3D* points = geometry->points;
    if (matrix) {
        if (geometry->numPoints > kBoundsScratchPoints)
            ShowFatalAlert("MO_CalcBoundingBox_Recurse: buffer overflow!");
        TransformPoints(geometry->points, matrix, scratch, geometry->numPoints);
        points = scratch;
    }
    for (int i = 0; i < geometry->numPoints; i++) {
        box->minX = fminf(box->minX, points[i].x);
        box->minY = fminf(box->minY, points[i].y);
        box->minZ = fminf(box->minZ, points[i].z);
        box->maxX = fmaxf(box->maxX, points[i].x);
        box->maxY = fmaxf(box->maxY, points[i].y);
        box->maxZ = fmaxf(box->maxZ, points[i].z);
    }
}

static void CalcBoundingBox_Recurse(MetaObject* obj, BoundingBox* box, const Matrix4x4* matrix)
{
    if (obj->cookie != MO_COOKIE)
        ShowFatalAlert("MO_CalcBoundingBox_Recurse: cookie is invalid!");
    switch (obj->type) {
    case MO_TYPE_GEOMETRY:
        if (obj->subType != MO_GEOMETRY_SUBTYPE_VERTEXARRAY)
            ShowFatalAlert("MO_CalcBoundingBox_Recurse: unknown sub-type!");
        GrowBoxOverGeometry(MO_GetGeometryData(obj), box, matrix);
        break;
    case MO_TYPE_GROUP: {
        MetaObjectGroupData* group = MO_GetGroupData(obj);
        for (int i = 0; i < group->numObjectsInGroup; i++)
            CalcBoundingBox_Recurse(group->objects[i], box, matrix);
        break;
    }
    case MO_TYPE_MATRIX:
        // Model trees carry no matrices; a transformed box is asked for with the matrix argument.
        ShowFatalAlert("MO_CalcBoundingBox_Recurse: why is there a matrix here?");
    default:
        break;
    }
}

void MO_CalcBoundingBox(MetaObject* obj, BoundingBox* box, const Matrix4x4* matrix)
{
    box->minX = box->minY = box->minZ = 100000000;
    box->maxX = box->maxY = box->maxZ = -100000000;
    box->isEmpty = false;
    CalcBoundingBox_Recurse(obj, box, matrix);
}

static void CalcBoundingSphere_Recurse(MetaObject* obj, float* radius)
{
    if (obj->cookie != MO_COOKIE)
        ShowFatalAlert("MO_CalcBoundingSphere_Recurse: cookie is invalid!");
    switch (obj->type) {
    case MO_TYPE_GEOMETRY: {
        if (obj->subType != MO_GEOMETRY_SUBTYPE_VERTEXARRAY)
            ShowFatalAlert("MO_CalcBoundingSphere_Recurse: unknown sub-type!");
        const VertexArrayGeometry* geometry = MO_GetGeometryData(obj);
        for (int i = 0; i < geometry->numPoints; i++) {
            const Point3D* p = &geometry->points[i];
            float distance = sqrtf(p->x * p->x + p->y * p->y + p->z * p->z);
            if (distance > *radius)
                *radius = distance;
        }
        break;
    }
    case MO_TYPE_GROUP: {
        MetaObjectGroupData* group = MO_GetGroupData(obj);
        for (int i = 0; i < group->numObjectsInGroup; i++)
            CalcBoundingSphere_Recurse(group->objects[i], radius);
        break;
    }
    case MO_TYPE_MATRIX:
        ShowFatalAlert("MO_CalcBoundingSphere_Recurse: why is there a matrix here?");
    default:
        break;
    }
}

void MO_CalcBoundingSphere(MetaObject* obj, float* radius)
{
    *radius = 0;
    CalcBoundingSphere_Recurse(obj, radius);
}

static void OffsetGeometryUVs(VertexArrayGeometry* geometry, float du, float dv)
{
    float* uv = geometry->uvs[0];
    if (!uv)
        return;
    for (int i = 0; i < geometry->numPoints; i++) {
        uv[i * 2] += du;
        uv[i * 2 + 1] += dv;
    }
}

static void OffsetGroupUVs(MetaObject* group, float du, float dv)
{
    MetaObjectGroupData* data = MO_GetGroupData(group);
    for (int i = 0; i < data->numObjectsInGroup; i++) {
        MetaObject* member = data->objects[i];
        if (member->type == MO_TYPE_GEOMETRY)
            MO_VertexArray_OffsetUVs(member, du, dv);
        else if (member->type == MO_TYPE_GROUP)
            OffsetGroupUVs(member, du, dv);
    }
}

void MO_Group_OffsetUVs(MetaObject* obj, float du, float dv)
{
    if (obj->cookie != MO_COOKIE)
        ShowFatalAlert("MO_Group_OffsetUVs: cookie is invalid!");
    if (obj->type == MO_TYPE_GEOMETRY)
        MO_VertexArray_OffsetUVs(obj, du, dv);
    else if (obj->type == MO_TYPE_GROUP)
        OffsetGroupUVs(obj, du, dv);
    else
        ShowFatalAlert("MO_Group_OffsetUVs: object type is not supported.");
}

void MO_VertexArray_OffsetUVs(MetaObject* obj, float du, float dv)
{
    if (obj->cookie != MO_COOKIE)
        ShowFatalAlert("MO_VertexArray_OffsetUVs: cookie is invalid!");
    if (obj->type != MO_TYPE_GEOMETRY || obj->subType != MO_GEOMETRY_SUBTYPE_VERTEXARRAY)
        ShowFatalAlert("MO_VertexArray_OffsetUVs: object is not a Vertex Array!");
    OffsetGeometryUVs(MO_GetGeometryData(obj), du, dv);
}
