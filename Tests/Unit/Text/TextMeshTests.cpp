#include "3D/QuadMesh.h"
#include "3D/TextMesh.h"
#include "Support/AlertCapture.h"
#include "TextTestFont.h"
#include "Unit/Objects/ObjectTestSupport.h"

#include <cstring>

// Text nodes over a test font with a plain (texture-less) material, so no OpenGL is needed.
class TextMeshes : public ObjectTest
{
protected:
    void SetUp() override
    {
        ObjectTest::SetUp();
        MO_InitMetaObjectList();
        MaterialRecord material;
        memset(&material, 0, sizeof(material));
        material.diffuseColor[3] = 1;
        font.atlas->material = MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &material);
    }
    void TearDown() override
    {
        ObjectTest::TearDown();
        Atlas_Free(font.atlas);
        font.atlas = nullptr;
        gAtlases[ATLAS_SLOT_SWISS] = nullptr;
        EXPECT_EQ(gNumMetaObjects, 0) << "every mesh, group and material reference was given back";
    }

    static ObjNode* MakeText(const char* text, int flags, float x = 0, float y = 0, float scale = 1)
    {
        ObjectDefinition def = {};
        def.artGroup = ATLAS_SLOT_SWISS;
        def.position = {x, y, 0};
        def.scale = scale;
        def.slot = 6000;
        return TextMesh_New(text, flags, &def);
    }

    ScopedTestAtlas font{ATLAS_SLOT_SWISS, ATLAS_FONT};
};

TEST_F(TextMeshes, MeshGrowsForALongerTextAndKeepsItsSizeForAShorterOne)
{
    ObjNode* node = MakeText("AB", 0);
    VertexArrayGeometry* mesh = GetQuadMeshWithin(node);
    EXPECT_EQ(mesh->numTriangles, 4);
    EXPECT_EQ(mesh->numPoints, 8);
    EXPECT_EQ(mesh->pointCapacity, 8);

    TextMesh_Update("ABCAB", 0, node);
    mesh = GetQuadMeshWithin(node);
    EXPECT_EQ(mesh->numTriangles, 10);
    EXPECT_EQ(mesh->pointCapacity, 20);
    EXPECT_EQ(mesh->triangleCapacity, 10);

    TextMesh_Update("A", 0, node);
    EXPECT_EQ(mesh->pointCapacity, 20) << "the larger mesh is kept";
    EXPECT_EQ(mesh->numTriangles, 2);
    EXPECT_EQ(mesh->numPoints, 4);

    TextMesh_Update("", 0, node);
    EXPECT_EQ(mesh->numTriangles, 0);
}

TEST_F(TextMeshes, MeshHoldsTheLaidOutQuadsWithTheFixedTrianglePattern)
{
    ObjNode* node = MakeText("AB", TEXT_ALIGN_LEFT | TEXT_ALIGN_TOP);
    VertexArrayGeometry* mesh = GetQuadMeshWithin(node);
    EXPECT_FLOAT_EQ(mesh->points[4].x, 12) << "B's left-bottom corner after A's advance";
    EXPECT_FLOAT_EQ(mesh->points[4].y, 18);
    EXPECT_FLOAT_EQ(mesh->uvs[0][8], 20 / 256.0f);
    const uint32_t expected[12] = {0, 1, 2, 2, 3, 0, 4, 5, 6, 6, 7, 4};
    for (int i = 0; i < 12; i++)
        EXPECT_EQ(mesh->triangles[i], expected[i]) << i;
    EXPECT_EQ(mesh->materials[0], font.atlas->material);
    EXPECT_TRUE((node->StatusFlags & 0xF0006) == 0xF0006);
}

TEST_F(TextMeshes, ExtentsFollowTheNodesScaleAndPosition)
{
    ObjNode* node = MakeText("AB", 0, 100, 50, 2);
    node->Scale.y = 3;
    TextMeshExtents e = TextMesh_GetExtents(node);
    EXPECT_FLOAT_EQ(e.left, 100 - 2 * 11);
    EXPECT_FLOAT_EQ(e.right, 100 + 2 * 11);
    EXPECT_FLOAT_EQ(e.top, 50 - 3 * 10);
    EXPECT_FLOAT_EQ(e.bottom, 50 + 3 * 10);

    TextMesh_Update("AB\nAB", TEXT_ALIGN_LEFT | TEXT_ALIGN_TOP, node);
    e = TextMesh_GetExtents(node);
    EXPECT_FLOAT_EQ(e.left, 100);
    EXPECT_FLOAT_EQ(e.bottom, 50 + 3 * 40) << "the box grows with the lines";
}

TEST_F(TextMeshes, QuadMeshWithoutMaterialGetsItsOwnPlainOne)
{
    ObjectDefinition def = {};
    def.scale = 1;
    ObjNode* node = MakeQuadMesh(&def, 3, nullptr);
    EXPECT_EQ(node->Genre, QUADMESH_GENRE);
    VertexArrayGeometry* mesh = GetQuadMeshWithin(node);
    ASSERT_NE(mesh->materials[0], nullptr);
    EXPECT_EQ(mesh->materials[0]->refCount, 1) << "the mesh holds the only reference";
    EXPECT_EQ(MO_GetMaterialData(mesh->materials[0])->flags, 0u);
    EXPECT_EQ(mesh->triangleCapacity, 6);
    SetQuadMeshCapacity(mesh, 0);
    EXPECT_EQ(mesh->points, nullptr);
    EXPECT_EQ(mesh->pointCapacity, 0);
}

TEST_F(TextMeshes, QuadMeshAccessRefusesOtherNodes)
{
    ObjNode* other = MakeNode(10);
    std::string message = FatalAlertMessageOf([&] { GetQuadMeshWithin(other); });
    EXPECT_NE(message.find("theNode->Genre == TEXTMESH_GENRE || theNode->Genre == QUADMESH_GENRE"),
              std::string::npos)
        << message;

    ObjectDefinition def = {};
    def.artGroup = 0; // no atlas in slot 0
    def.scale = 1;
    message = FatalAlertMessageOf([&] { TextMesh_NewEmpty(1, &def); });
    EXPECT_NE(message.find("gAtlases[fontAtlasNum]"), std::string::npos) << message;
}
