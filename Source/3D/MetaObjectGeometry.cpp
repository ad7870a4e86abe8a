// MetaObjectGeometry.cpp: copies of vertex arrays for skinning, and world-space meshes for picking.
#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "System/Alerts.h"

#include <cstring>

// A copy of one array from the pool (or the heap for pool -1); null in, null out.
static void* CopyArray(const void* source, int32_t bytes, int16_t varPool)
{
    if (!source)
        return nullptr;
    void* copy = varPool == -1 ? AllocPtr(bytes) : OGL_AllocVertexArrayMemory(bytes, varPool);
    memcpy(copy, source, bytes);
    return copy;
}

void MO_CopyVertexArrayData(const VertexArrayGeometry* in, VertexArrayGeometry* out, int16_t varPool)
{
    memset(out, 0, sizeof(*out));
    out->varPool = varPool;
    out->numMaterials = in->numMaterials;
    for (int i = 0; i < in->numMaterials; i++) {
        out->materials[i] = in->materials[i];
        if (out->materials[i])
            MO_AddReference(out->materials[i]);
    }
    out->numPoints = in->numPoints;
    out->numTriangles = in->numTriangles;
    out->points = (Point3D*)CopyArray(in->points, in->numPoints * 12, varPool);
    out->normals = (Vector3D*)CopyArray(in->normals, in->numPoints * 12, varPool);
    out->uvs[0] = (float*)CopyArray(in->uvs[0], in->numPoints * 8, varPool);
    out->colors = (float*)CopyArray(in->colors, in->numPoints * 16, varPool);
    out->triangles = (uint32_t*)CopyArray(in->triangles, in->numTriangles * 12, varPool);
    out->bounds = in->bounds;
}

static void FreeArray(void* array, int16_t varPool)
{
    if (!array)
        return;
    if (varPool == -1)
        SafeDisposePtr(array);
    else
        OGL_FreeVertexArrayMemory(array, varPool);
}

void MO_DisposeVertexArrayCopy(VertexArrayGeometry* data)
{
    for (int i = 0; i < data->numMaterials; i++) {
        if (data->materials[i])
            MO_DisposeObjectReference(data->materials[i]);
    }
    FreeArray(data->points, data->varPool);
    FreeArray(data->normals, data->varPool);
    FreeArray(data->uvs[0], data->varPool);
    FreeArray(data->colors, data->varPool);
    FreeArray(data->triangles, data->varPool);
    memset(data, 0, sizeof(*data));
}

// Captures one mesh in the next slot: world points through the running matrix, then the planes.
static void CalcWorldPoints_VertexArray(WorldMeshRecord meshes[], int* meshCount,
                                        const VertexArrayGeometry* geometry, const Matrix4x4* toWorld)
{
    if (*meshCount >= MAX_MESHES_IN_MODEL)
        ShowFatalAlert("MO_CalcWorldPoints_VertexArray: meshNum >= MAX_MESHES_IN_MODEL");
    WorldMeshRecord* mesh = &meshes[*meshCount];

    // A slot keeps its arrays from the first capture; a different mesh in the slot gets new ones
    // rather than overrunning the old.
    if (mesh->geometry.points && (mesh->geometry.numPoints != geometry->numPoints ||
                                  mesh->geometry.numTriangles != geometry->numTriangles)) {
        SafeDisposePtr(mesh->geometry.points);
        SafeDisposePtr(mesh->planes);
        mesh->geometry.points = nullptr;
        mesh->planes = nullptr;
    }
    if (!mesh->geometry.points) {
        mesh->geometry = *geometry;
        mesh->geometry.points = (Point3D*)AllocPtr(geometry->numPoints * (int32_t)sizeof(Point3D));
        mesh->planes = (PlaneEquation*)AllocPtrClear(
            (geometry->numTriangles > 0 ? geometry->numTriangles : 1) * (int32_t)sizeof(PlaneEquation));
    }

    TransformPoints(geometry->points, toWorld, mesh->geometry.points, geometry->numPoints);

    for (int t = 0; t < geometry->numTriangles; t++) {
        const uint32_t* indices = &geometry->triangles[t * 3];
        Point3D triangle[3] = {mesh->geometry.points[indices[0]], mesh->geometry.points[indices[1]],
                               mesh->geometry.points[indices[2]]};
        mesh->planes[t] = {{0, 0, 0}, 0}; // a degenerate triangle keeps no plane and is never picked
        PlaneFromTriangle(triangle, &mesh->planes[t]);
    }
    (*meshCount)++;
}

// The walk: a matrix object multiplies the running matrix, a group scopes what its members change.
static void CalcWorldPoints_Walk(WorldMeshRecord meshes[], int* meshCount, MetaObject* obj,
                                 Matrix4x4* running)
{
    if (obj->cookie != MO_COOKIE)
        ShowFatalAlert("MO_CalcWorldPoints_Object: cookie is invalid!");
    switch (obj->type) {
    case MO_TYPE_GEOMETRY:
        CalcWorldPoints_VertexArray(meshes, meshCount, MO_GetGeometryData(obj), running);
        break;
    case MO_TYPE_GROUP: {
        MetaObjectGroupData* group = MO_GetGroupData(obj);
        Matrix4x4 scoped = *running;
        for (int i = 0; i < group->numObjectsInGroup; i++)
            CalcWorldPoints_Walk(meshes, meshCount, group->objects[i], &scoped);
        break;
    }
    case MO_TYPE_MATRIX:
        MatrixMultiply(MO_GetMatrixData(obj), running, running);
        break;
    default:
        break;
    }
}

void MO_CalcWorldPoints_Object(WorldMeshRecord meshes[], int* meshCount, MetaObject* obj)
{
    Matrix4x4 modelView;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.value);
    CalcWorldPoints_Walk(meshes, meshCount, obj, &modelView);
}

void MO_CalcWorldPoints_ObjectFrom(WorldMeshRecord meshes[], int* meshCount, MetaObject* obj,
                                   const Matrix4x4* start)
{
    Matrix4x4 running = *start;
    CalcWorldPoints_Walk(meshes, meshCount, obj, &running);
}

void MO_FreeWorldMeshes(WorldMeshRecord meshes[])
{
    for (int i = 0; i < MAX_MESHES_IN_MODEL; i++) {
        SafeDisposePtr(meshes[i].geometry.points);
        SafeDisposePtr(meshes[i].planes);
        memset(&meshes[i], 0, sizeof(meshes[i]));
    }
}
