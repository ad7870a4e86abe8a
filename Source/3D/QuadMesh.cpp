// QuadMesh.cpp: quad-mesh nodes and the sizing of their meshes.
#include "3D/QuadMesh.h"

#include "Objects/BaseGroup.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/Memory.h"

#include <cstring>

static void FreeQuadArrays(VertexArrayGeometry* mesh)
{
    SafeDisposePtr(mesh->points);
    SafeDisposePtr(mesh->uvs[0]);
    SafeDisposePtr(mesh->triangles);
    mesh->points = nullptr;
    mesh->uvs[0] = nullptr;
    mesh->triangles = nullptr;
    mesh->numPoints = mesh->numTriangles = 0;
    mesh->pointCapacity = mesh->triangleCapacity = 0;
}

void SetQuadMeshCapacity(VertexArrayGeometry* mesh, int quads)
{
    FreeQuadArrays(mesh);
    if (quads <= 0)
        return;
    GAME_ASSERT(quads <= 0x1000000); // keeps every array size inside 32 bits

    mesh->points = (Point3D*)AllocPtrClear(quads * 4 * (int32_t)sizeof(Point3D));
    mesh->uvs[0] = (float*)AllocPtrClear(quads * 4 * 2 * (int32_t)sizeof(float));
    mesh->triangles = (uint32_t*)AllocPtr(quads * 2 * 3 * (int32_t)sizeof(uint32_t));
    mesh->numMaterials = 1;
    mesh->pointCapacity = quads * 4;
    mesh->triangleCapacity = quads * 2;
    for (int q = 0; q < quads; q++) {
        uint32_t first = (uint32_t)q * 4;
        uint32_t* t = &mesh->triangles[q * 6];
        t[0] = first;
        t[1] = first + 1;
        t[2] = first + 2;
        t[3] = first + 2;
        t[4] = first + 3;
        t[5] = first;
    }
}

static MetaObject* MakeDefaultMaterial()
{
    MaterialRecord material;
    memset(&material, 0, sizeof(material));
    for (float& channel : material.diffuseColor)
        channel = 1;
    return MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &material);
}

ObjNode* MakeQuadMesh(ObjectDefinition* def, int capacity, MetaObject* material)
{
    // A made material's only reference ends up with the mesh; a given one gains the mesh's reference.
    MetaObject* ownMaterial = material ? nullptr : MakeDefaultMaterial();
    if (!def->genre)
        def->genre = QUADMESH_GENRE;
    ObjNode* node = MakeNewObject(def);

    VertexArrayGeometry mesh;
    memset(&mesh, 0, sizeof(mesh));
    mesh.varPool = -1;
    mesh.materials[0] = material ? material : ownMaterial;
    SetQuadMeshCapacity(&mesh, capacity);
    mesh.numMaterials = 1;
    MetaObject* geometry = MO_CreateNewObjectOfType(MO_TYPE_GEOMETRY, MO_GEOMETRY_SUBTYPE_VERTEXARRAY, &mesh);
    if (ownMaterial)
        MO_DisposeObjectReference(ownMaterial);

    CreateBaseGroup(node);
    MO_AppendToGroup(node->BaseGroup, geometry);
    MO_DisposeObjectReference(geometry);
    RebuildNodeTransform(node);
    return node;
}

VertexArrayGeometry* GetQuadMeshWithin(ObjNode* theNode)
{
    GAME_ASSERT(theNode->Genre == TEXTMESH_GENRE || theNode->Genre == QUADMESH_GENRE);
    GAME_ASSERT(theNode->BaseGroup);
    GAME_ASSERT(MO_GetGroupData(theNode->BaseGroup)->numObjectsInGroup >= 2);
    MetaObject* metaObjectHeader = MO_GetGroupData(theNode->BaseGroup)->objects[1];
    GAME_ASSERT(metaObjectHeader->type == MO_TYPE_GEOMETRY);
    GAME_ASSERT(metaObjectHeader->subType == MO_GEOMETRY_SUBTYPE_VERTEXARRAY);
    return MO_GetGeometryData(metaObjectHeader);
}
