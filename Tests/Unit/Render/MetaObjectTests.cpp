#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "Support/AlertCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

// Materials without texture names, so nothing here needs an OpenGL context.
static MetaObject* MakeMaterial()
{
    MaterialRecord material;
    memset(&material, 0, sizeof(material));
    material.diffuseColor[0] = material.diffuseColor[1] = material.diffuseColor[2] =
        material.diffuseColor[3] = 1;
    return MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &material);
}

// A heap mesh of numPoints points along x (0, 1, 2...), one triangle per three points.
static MetaObject* MakeMesh(int numPoints, MetaObject* material, bool withUVs = true)
{
    VertexArrayGeometry geometry;
    memset(&geometry, 0, sizeof(geometry));
    geometry.varPool = -1;
    geometry.numMaterials = material ? 1 : 0;
    geometry.materials[0] = material;
    geometry.numPoints = numPoints;
    geometry.numTriangles = numPoints / 3;
    geometry.points = (Point3D*)AllocPtr(numPoints * sizeof(Point3D));
    for (int i = 0; i < numPoints; i++)
        geometry.points[i] = {(float)i, (float)(i % 2), -(float)(i % 3)};
    if (withUVs)
        geometry.uvs[0] = (float*)AllocPtrClear(numPoints * 2 * sizeof(float));
    geometry.triangles = (uint32_t*)AllocPtr(geometry.numTriangles * 3 * sizeof(uint32_t));
    for (int i = 0; i < geometry.numTriangles * 3; i++)
        geometry.triangles[i] = i;
    return MO_CreateNewObjectOfType(MO_TYPE_GEOMETRY, MO_GEOMETRY_SUBTYPE_VERTEXARRAY, &geometry);
}

class MetaObjects : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MO_InitMetaObjectList();
        blocksBefore = gLiveBlockCount;
    }
    int32_t blocksBefore = 0;
};

TEST_F(MetaObjects, SharedMaterialSurvivesItsFirstMeshAndGoesWithTheLast)
{
    MetaObject* material = MakeMaterial();
    MetaObject* meshA = MakeMesh(3, material);
    MetaObject* meshB = MakeMesh(3, material);
    MO_DisposeObjectReference(material); // only the meshes own it now
    EXPECT_EQ(material->refCount, 2);

    MO_DisposeObjectReference(meshA);
    EXPECT_EQ(material->cookie, MO_COOKIE);
    EXPECT_EQ(material->refCount, 1);
    EXPECT_EQ(gNumMetaObjects, 2);

    MO_DisposeObjectReference(meshB);
    EXPECT_EQ(gNumMetaObjects, 0);
    EXPECT_EQ(gFirstMetaObject, nullptr);
    EXPECT_EQ(gLastMetaObject, nullptr);
    EXPECT_EQ(gLiveBlockCount, blocksBefore) << "mesh arrays or objects leaked";
}

TEST_F(MetaObjects, GroupKeepsMembersAliveUntilItGoes)
{
    MetaObject* group = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    MetaObject* mesh = MakeMesh(6, nullptr);
    Matrix4x4 identity;
    MatrixIdentity(&identity);
    MetaObject* matrix = MO_CreateNewObjectOfType(MO_TYPE_MATRIX, 0, &identity);

    MO_AppendToGroup(group, mesh);
    MO_AttachToGroupStart(group, matrix);
    MO_DisposeObjectReference(mesh);
    MO_DisposeObjectReference(matrix);

    MetaObjectGroupData* data = MO_GetGroupData(group);
    ASSERT_EQ(data->numObjectsInGroup, 2);
    EXPECT_EQ(data->objects[0], matrix) << "the matrix must come before the geometry it transforms";
    EXPECT_EQ(data->objects[1], mesh);
    EXPECT_EQ(mesh->cookie, MO_COOKIE);

    MO_DisposeObjectReference(group);
    EXPECT_EQ(gNumMetaObjects, 0);
    EXPECT_EQ(gLiveBlockCount, blocksBefore);
}

TEST_F(MetaObjects, LiveListStaysLinkedWhenTheMiddleObjectGoes)
{
    MetaObject* a = MakeMaterial();
    MetaObject* b = MakeMaterial();
    MetaObject* c = MakeMaterial();
    EXPECT_EQ(gFirstMetaObject, a);
    EXPECT_EQ(gLastMetaObject, c);
    MO_DisposeObjectReference(b);
    EXPECT_EQ(a->nextNode, c);
    EXPECT_EQ(c->prevNode, a);
    MO_DisposeObjectReference(c);
    EXPECT_EQ(gLastMetaObject, a);
    EXPECT_EQ(a->nextNode, nullptr);
    MO_DisposeObjectReference(a);
    EXPECT_EQ(gNumMetaObjects, 0);
}

TEST_F(MetaObjects, GroupTakesSeventyMembersAndRejectsTheSeventyFirst)
{
    MetaObject* group = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    MetaObject* material = MakeMaterial();
    for (int i = 0; i < MO_MAX_ITEMS_IN_GROUP; i++)
        MO_AppendToGroup(group, material);
    EXPECT_EQ(FatalAlertMessageOf([&] { MO_AppendToGroup(group, material); }),
              "MO_AppendToGroup: too many objects in group!");
    EXPECT_EQ(FatalAlertMessageOf([&] { MO_AttachToGroupStart(group, material); }),
              "MO_AttachToGroupStart: too many objects in group!");
    MO_DisposeObjectReference(group);
    EXPECT_EQ(material->refCount, 1);
    MO_DisposeObjectReference(material);
}

TEST_F(MetaObjects, MisuseIsCaughtByTheCookieAndTypeChecks)
{
    EXPECT_EQ(FatalAlertMessageOf([] { MO_DisposeObjectReference(nullptr); }),
              "MO_DisposeObjectReference: obj == nil");
    EXPECT_EQ(FatalAlertMessageOf([] { MO_CreateNewObjectOfType(FourCharCode("junk"), 0, nullptr); }),
              "AllocateEmptyMetaObject: object type not recognized");
    EXPECT_EQ(FatalAlertMessageOf(
                  [] { MO_CreateNewObjectOfType(MO_TYPE_GEOMETRY, FourCharCode("trim"), nullptr); }),
              "AllocateEmptyMetaObject: object subtype not recognized");

    // A record that is not a live object: wrong cookie.
    MetaObject fake;
    memset(&fake, 0, sizeof(fake));
    fake.cookie = MO_DEAD_COOKIE;
    MetaObject* group = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    EXPECT_EQ(FatalAlertMessageOf([&] { MO_DisposeObjectReference(&fake); }),
              "MO_DisposeObjectReference: bad cookie!");
    EXPECT_EQ(FatalAlertMessageOf([&] { MO_AppendToGroup(group, &fake); }),
              "MO_AppendToGroup: cookie is invalid!");
    EXPECT_EQ(FatalAlertMessageOf([&] { MO_VertexArray_OffsetUVs(group, 1, 1); }),
              "MO_VertexArray_OffsetUVs: object is not a Vertex Array!");
    MO_DisposeObjectReference(group);
}

TEST_F(MetaObjects, SpriteNeedsAnEntryOfALoadedGroup)
{
    SpriteSetupRecord setup = {false, SPRITE_GROUP_GLOBAL, 0, true};
    EXPECT_EQ(FatalAlertMessageOf([&] { MO_CreateNewObjectOfType(MO_TYPE_SPRITE, 0, &setup); }),
              "SetMetaObjectToSprite: illegal type");

    SpriteGroupEntry entry = {64, 32, MakeMaterial()};
    gSpriteGroupList[SPRITE_GROUP_GLOBAL] = &entry;
    gNumSpritesInGroupList[SPRITE_GROUP_GLOBAL] = 1;
    MetaObject* sprite = MO_CreateNewObjectOfType(MO_TYPE_SPRITE, 0, &setup);
    SpriteRecord* record = MO_GetSpriteData(sprite);
    EXPECT_EQ(record->material, entry.materialObject);
    EXPECT_EQ(entry.materialObject->refCount, 2);
    EXPECT_EQ(record->position.x, -1);
    EXPECT_EQ(record->position.y, 1);
    EXPECT_EQ(record->scaleX, 1);

    MO_DisposeObjectReference(sprite);
    EXPECT_EQ(entry.materialObject->refCount, 1);
    MO_DisposeObjectReference(entry.materialObject);
    gSpriteGroupList[SPRITE_GROUP_GLOBAL] = nullptr;
    gNumSpritesInGroupList[SPRITE_GROUP_GLOBAL] = 0;
}

TEST_F(MetaObjects, BoundsCoverEveryMeshOfATree)
{
    MetaObject* group = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    MetaObject* mesh = MakeMesh(6, nullptr); // x 0..5, y 0..1, z -2..0
    MO_AppendToGroup(group, mesh);
    MO_DisposeObjectReference(mesh);

    BoundingBox box;
    MO_CalcBoundingBox(group, &box, nullptr);
    EXPECT_EQ(box.minX, 0);
    EXPECT_EQ(box.maxX, 5);
    EXPECT_EQ(box.minZ, -2);
    EXPECT_EQ(box.maxY, 1);
    EXPECT_FALSE(box.isEmpty);

    Matrix4x4 shift;
    MatrixTranslate(&shift, 100, 0, 0);
    MO_CalcBoundingBox(group, &box, &shift);
    EXPECT_EQ(box.minX, 100);
    EXPECT_EQ(box.maxX, 105);

    float radius = 0;
    MO_CalcBoundingSphere(group, &radius);
    EXPECT_NEAR(radius, sqrtf(25 + 1 + 4), 1e-4f); // point 5 = (5, 1, -2)
    MO_DisposeObjectReference(group);
}

TEST_F(MetaObjects, BoxOfMaterialsOnlyStaysInsideOut)
{
    MetaObject* group = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    MetaObject* material = MakeMaterial();
    MO_AppendToGroup(group, material);
    MO_DisposeObjectReference(material);
    BoundingBox box;
    MO_CalcBoundingBox(group, &box, nullptr);
    EXPECT_EQ(box.minX, 100000000);
    EXPECT_EQ(box.maxX, -100000000);
    EXPECT_FALSE(box.isEmpty);
    MO_DisposeObjectReference(group);
}

TEST_F(MetaObjects, TransformedBoxRefusesMeshesBeyondTheScratchBuffer)
{
    MetaObject* mesh = MakeMesh(1001, nullptr);
    Matrix4x4 identity;
    MatrixIdentity(&identity);
    BoundingBox box;
    EXPECT_EQ(FatalAlertMessageOf([&] { MO_CalcBoundingBox(mesh, &box, &identity); }),
              "MO_CalcBoundingBox_Recurse: buffer overflow!");
    MO_CalcBoundingBox(mesh, &box, nullptr); // untransformed: no limit
    EXPECT_EQ(box.maxX, 1000);
    MO_DisposeObjectReference(mesh);
}

TEST_F(MetaObjects, UVScrollingMovesOnlyFirstLayerCoordinatesOfMeshesThatHaveThem)
{
    MetaObject* group = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    MetaObject* inner = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    MetaObject* textured = MakeMesh(3, nullptr, true);
    MetaObject* plain = MakeMesh(3, nullptr, false);
    MO_AppendToGroup(inner, textured);
    MO_AppendToGroup(group, inner);
    MO_AppendToGroup(group, plain);

    MO_Group_OffsetUVs(group, 0.25f, -0.5f);
    const float* uv = MO_GetGeometryData(textured)->uvs[0];
    EXPECT_EQ(uv[0], 0.25f);
    EXPECT_EQ(uv[5], -0.5f);
    EXPECT_EQ(MO_GetGeometryData(plain)->uvs[0], nullptr);

    for (MetaObject* obj : {textured, plain, inner, group})
        MO_DisposeObjectReference(obj);
    EXPECT_EQ(gNumMetaObjects, 0);
}

TEST_F(MetaObjects, SkinningCopyIsIndependentAndHoldsItsOwnMaterialReference)
{
    OGL_InitVertexArrayMemory();
    MetaObject* material = MakeMaterial();
    MetaObject* mesh = MakeMesh(3, material);
    VertexArrayGeometry copy;
    MO_CopyVertexArrayData(MO_GetGeometryData(mesh), &copy, 4);
    EXPECT_EQ(material->refCount, 3);
    EXPECT_NE(copy.points, MO_GetGeometryData(mesh)->points);
    copy.points[0].x = 42;
    EXPECT_EQ(MO_GetGeometryData(mesh)->points[0].x, 0);

    MO_DisposeVertexArrayCopy(&copy);
    EXPECT_EQ(material->refCount, 2);
    MO_DisposeObjectReference(mesh);
    MO_DisposeObjectReference(material);
    OGL_DisposeVertexArrayMemory();
    EXPECT_EQ(gLiveBlockCount, blocksBefore);
}
