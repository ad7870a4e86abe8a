// The model-file reader without OpenGL: what a file becomes (groups, meshes, materials and their
// references, colours, boxes, decoded texture maps), and every refusal, each of which must name the file
// and leave nothing behind.
#include "3D/TQ3D.h"
#include "Support/AlertCapture.h"
#include "System/Memory.h"
#include "Unit/Models/TQ3DBytes.h"
#include "Window/RenderTestImages.h"

#include <gtest/gtest.h>

class TQ3DReader : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TQ3D_InitContainers();
        objectsBefore = gNumMetaObjects;
        blocksBefore = gLiveBlockCount;
    }
    void TearDown() override
    {
        TQ3D_FreeParsedFile(&parsed);
        TQ3D_DisposeAllContainers();
        EXPECT_EQ(gNumMetaObjects, objectsBefore) << "meta objects left behind";
        EXPECT_EQ(gLiveBlockCount, blocksBefore) << "heap blocks left behind";
    }

    // Parses into group 0 and returns the model count.
    int Load(const TQ3DBytes& file)
    {
        TQ3D_ParseFile("test.tq3d", file.bytes.data(), int32_t(file.bytes.size()), -1, &parsed);
        return TQ3D_PublishContainer(&parsed, MODEL_GROUP_GLOBAL);
    }

    // The fatal message the file ends in; the reader must have freed everything by then.
    std::string Refusal(const TQ3DBytes& file)
    {
        std::string message = FatalAlertMessageOf(
            [&] { TQ3D_ParseFile("bad.tq3d", file.bytes.data(), int32_t(file.bytes.size()), -1, &parsed); });
        EXPECT_EQ(gNumMetaObjects, objectsBefore) << "a refused file left meta objects: " << message;
        EXPECT_EQ(gLiveBlockCount, blocksBefore) << "a refused file left heap blocks: " << message;
        EXPECT_NE(message.find("bad.tq3d"), std::string::npos) << "the message names no file: " << message;
        return message;
    }

    static MetaObject* Model(int t) { return gTQ3DModelList[MODEL_GROUP_GLOBAL][t]; }
    static MetaObjectGroupData* Group(MetaObject* obj) { return MO_GetGroupData(obj); }
    static VertexArrayGeometry* Mesh(MetaObject* obj) { return MO_GetGeometryData(obj); }

    TQ3DParsedFile parsed = {};
    int objectsBefore = 0;
    int32_t blocksBefore = 0;
};

// ---------------------------------------------------------------------------------------------------------
// What a file becomes
// ---------------------------------------------------------------------------------------------------------

TEST_F(TQ3DReader, NestedGroupsStayInsideTheirModelAndModelsFollowFileOrder)
{
    TQ3DBytes file;
    file.Triangle(1);
    file.GroupStart().Triangle(2).GroupStart().Triangle(3).GroupEnd().GroupEnd();
    file.Triangle(4).End();
    ASSERT_EQ(Load(file), 3);
    EXPECT_EQ(gNumObjectsInGroupList[MODEL_GROUP_GLOBAL], 3);

    EXPECT_EQ(Model(0)->type, MO_TYPE_GEOMETRY);
    ASSERT_EQ(Model(1)->type, MO_TYPE_GROUP);
    ASSERT_EQ(Group(Model(1))->numObjectsInGroup, 2);
    MetaObject* inner = Group(Model(1))->objects[1];
    ASSERT_EQ(inner->type, MO_TYPE_GROUP);
    EXPECT_FLOAT_EQ(Mesh(Group(inner)->objects[0])->points[1].x, 3);
    EXPECT_FLOAT_EQ(Mesh(Model(2))->points[1].x, 4);

    // The nested model's box and radius take in every level of the tree.
    EXPECT_FLOAT_EQ(gTQ3DModelBBoxes[MODEL_GROUP_GLOBAL][1].maxX, 3);
    EXPECT_FLOAT_EQ(gTQ3DModelBBoxes[MODEL_GROUP_GLOBAL][1].maxY, 3);
    EXPECT_FLOAT_EQ(gTQ3DModelRadii[MODEL_GROUP_GLOBAL][1], 3);
    EXPECT_FLOAT_EQ(gTQ3DModelRadii[MODEL_GROUP_GLOBAL][2], 4);
}

TEST_F(TQ3DReader, SharedMaterialIsHeldByTheContainerAndEachMeshAndOutlivesTheContainer)
{
    TQ3DBytes file;
    file.Material(0).Material(MO_MATERIAL_FLAG_ALWAYS_BLEND).Diffuse(0.25f, 0.5f, 0.75f, 0.5f);
    file.Triangle(1, 1, 1).Triangle(2, 1, 1).Triangle(3, 1, 0).End();
    ASSERT_EQ(Load(file), 3);

    MetaObject* shared = gLoadedModelFiles[MODEL_GROUP_GLOBAL]->materials[1];
    EXPECT_EQ(Mesh(Model(0))->materials[0], shared);
    EXPECT_EQ(shared->refCount, 3);
    MaterialRecord* data = MO_GetMaterialData(shared);
    EXPECT_EQ(data->flags, uint32_t(MO_MATERIAL_FLAG_ALWAYS_BLEND));
    EXPECT_FLOAT_EQ(data->diffuseColor[2], 0.75f);

    // A display object's reference keeps the mesh, and with it the material, after the container goes.
    MetaObject* kept = MO_AddReference(Model(0));
    TQ3D_DisposeContainer(MODEL_GROUP_GLOBAL);
    EXPECT_EQ(gLoadedModelFiles[MODEL_GROUP_GLOBAL], nullptr);
    EXPECT_EQ(shared->cookie, MO_COOKIE);
    EXPECT_EQ(shared->refCount, 1);
    MO_DisposeObjectReference(kept);
}

TEST_F(TQ3DReader, VertexColorBytesBecomeUnitFloats)
{
    TQ3DBytes file;
    file.Geometry(1, 0).Points({0, 0, 0}).Colors({255, 128, 0, 255}).End();
    ASSERT_EQ(Load(file), 1);
    const float* c = Mesh(Model(0))->colors;
    ASSERT_NE(c, nullptr);
    EXPECT_FLOAT_EQ(c[0], 1.0f);
    EXPECT_NEAR(c[1], 0.50196f, 1e-5);
    EXPECT_FLOAT_EQ(c[2], 0.0f);
    EXPECT_FLOAT_EQ(c[3], 1.0f);
}

TEST_F(TQ3DReader, StoredBoxStaysOnTheMeshWhileTheTableBoxComesFromThePoints)
{
    TQ3DBytes file;
    file.Triangle(2).Box(-9, -9, -9, 9, 9, 9, false).End();
    ASSERT_EQ(Load(file), 1);
    EXPECT_FLOAT_EQ(Mesh(Model(0))->bounds.maxZ, 9);
    EXPECT_FALSE(Mesh(Model(0))->bounds.isEmpty);
    EXPECT_FLOAT_EQ(gTQ3DModelBBoxes[MODEL_GROUP_GLOBAL][0].maxX, 2);
    EXPECT_FLOAT_EQ(gTQ3DModelBBoxes[MODEL_GROUP_GLOBAL][0].minZ, 0);
}

TEST_F(TQ3DReader, FileWithNoModelsPublishesAnEmptyGroupAndBytesAfterTheEndAreIgnored)
{
    TQ3DBytes file;
    file.Material(0).End().U32(99).U32(12345);
    EXPECT_EQ(Load(file), 0);
    EXPECT_EQ(gNumObjectsInGroupList[MODEL_GROUP_GLOBAL], 0);
    EXPECT_EQ(gLoadedModelFiles[MODEL_GROUP_GLOBAL]->numMaterials, 1);
}

TEST_F(TQ3DReader, FirstTextureMapSizesTheMaterialAndEveryMapWaitsForUpload)
{
    std::vector<uint8_t> rgba(4 * 2 * 4, 200);
    std::vector<uint8_t> small(2 * 2 * 2, 7);
    TQ3DBytes file;
    file.Material(MO_MATERIAL_FLAG_TEXTURED);
    file.TextureMap(4, 2, TQ3D_PIXELS_RGBA, rgba).TextureMap(2, 2, TQ3D_PIXELS_1555_REVERSED, small).End();
    Load(file);

    MaterialRecord* material = MO_GetMaterialData(gLoadedModelFiles[MODEL_GROUP_GLOBAL]->materials[0]);
    EXPECT_EQ(material->width, 4);
    EXPECT_EQ(material->height, 2);
    EXPECT_EQ(material->numMipmaps, 0); // names come with the upload
    ASSERT_EQ(parsed.numImages, 2);
    EXPECT_EQ(parsed.images[0].type, GLenum(GL_UNSIGNED_BYTE));
    EXPECT_EQ(parsed.images[0].pixels[5], 200);
    EXPECT_EQ(parsed.images[1].type, GLenum(GL_UNSIGNED_SHORT_1_5_5_5_REV));
}

TEST_F(TQ3DReader, JpegMapTakesItsAlphaFromTheMask)
{
    std::vector<uint8_t> mask(16 * 8);
    for (int i = 0; i < 16 * 8; i++)
        mask[i] = uint8_t(i);
    TQ3DBytes file;
    file.Material(MO_MATERIAL_FLAG_TEXTURED)
        .JpegTextureMap(16, 8, SolidJpeg(16, 8, 0, 0, 250), mask, 12)
        .End();
    Load(file);
    ASSERT_EQ(parsed.numImages, 1);
    const uint8_t* pixels = parsed.images[0].pixels;
    EXPECT_GT(pixels[2], 230); // blue survives the compression
    EXPECT_EQ(pixels[4 * 37 + 3], 37);
    EXPECT_EQ(pixels[4 * 127 + 3], 127);
}

// ---------------------------------------------------------------------------------------------------------
// Refusals: structure
// ---------------------------------------------------------------------------------------------------------

TEST_F(TQ3DReader, HeaderMustBeTheFourLettersInThatCase)
{
    EXPECT_EQ(Refusal(TQ3DBytes("TQ3d").End()),
              "ReadTQ3DHeader: TQ3D file has invalid header. (in bad.tq3d)");
    EXPECT_EQ(Refusal(TQ3DBytes("XQ3D").End()),
              "ReadTQ3DHeader: TQ3D file has invalid header. (in bad.tq3d)");
    TQ3DBytes shortFile;
    shortFile.bytes.resize(12);
    EXPECT_EQ(Refusal(shortFile), "ReadTQ3DHeader: FSRead failed (in bad.tq3d)");
}

TEST_F(TQ3DReader, UnknownTagsGeometryTypesAndAMissingEndAreRefused)
{
    EXPECT_EQ(Refusal(TQ3DBytes().Triangle().U32(14)), "ParseTQ3DFile: unrecognized tag (in bad.tq3d)");
    EXPECT_EQ(Refusal(TQ3DBytes().Geometry(0, 0, 0, 0, 1).End()),
              "ReadNewGeometry: unknown geo type (in bad.tq3d)");
    EXPECT_EQ(Refusal(TQ3DBytes().Triangle()), "ParseTQ3DFile: FSRead failed (in bad.tq3d)");
}

TEST_F(TQ3DReader, GroupsNestFortyNineDeepAndNeverCloseBelowTheRoot)
{
    TQ3DBytes deepest;
    for (int i = 0; i < TQ3D_GROUP_STACK_SIZE; i++)
        deepest.GroupStart();
    deepest.Triangle();
    for (int i = 0; i < TQ3D_GROUP_STACK_SIZE; i++)
        deepest.GroupEnd();
    EXPECT_EQ(Load(deepest.End()), 1);
    TQ3D_DisposeAllContainers();

    TQ3DBytes tooDeep;
    for (int i = 0; i <= TQ3D_GROUP_STACK_SIZE; i++)
        tooDeep.GroupStart();
    EXPECT_EQ(Refusal(tooDeep.End()), "ReadGroup: gTQ3D_GroupStackIndex overflow! (in bad.tq3d)");
    EXPECT_EQ(Refusal(TQ3DBytes().GroupStart().GroupEnd().GroupEnd().End()),
              "EndGroup: stack is empty! (in bad.tq3d)");
}

TEST_F(TQ3DReader, MaterialRecordsNeedAMaterialBeforeThem)
{
    EXPECT_EQ(Refusal(TQ3DBytes().Diffuse(1, 1, 1, 1).End()),
              "ReadMaterialDiffuseColor: gTQ3D_CurrentMaterialObj == nil (in bad.tq3d)");
    EXPECT_EQ(Refusal(TQ3DBytes().TextureMap(1, 1, TQ3D_PIXELS_RGBA, {1, 2, 3, 4}).End()),
              "ReadMaterialTextureMap: gTQ3D_CurrentMaterialObj == nil (in bad.tq3d)");
    EXPECT_NE(Refusal(TQ3DBytes().JpegTextureMap(8, 8, SolidJpeg(8, 8, 1, 2, 3)).End())
                  .find("gTQ3D_CurrentMaterialObj"),
              std::string::npos);
    EXPECT_EQ(Refusal(TQ3DBytes().Points({0, 0, 0}).End()),
              "ReadVertexArray: no geometry before it (in bad.tq3d)");
}

TEST_F(TQ3DReader, SeventhTextureMapOfAMaterialIsRefused)
{
    TQ3DBytes file;
    file.Material(MO_MATERIAL_FLAG_TEXTURED);
    for (int i = 0; i <= MO_MAX_MIPMAPS; i++)
        file.TextureMap(1, 1, TQ3D_PIXELS_RGBA, {1, 2, 3, 4});
    EXPECT_NE(Refusal(file.End()).find("data->numMipmaps < MO_MAX_MIPMAPS"), std::string::npos);
}

TEST_F(TQ3DReader, JpegThatDecodesToAnotherSizeThanItsHeaderIsRefused)
{
    TQ3DBytes file;
    file.Material(MO_MATERIAL_FLAG_TEXTURED).JpegTextureMap(16, 8, SolidJpeg(8, 8, 9, 9, 9)).End();
    EXPECT_NE(Refusal(file).find("actualW == w"), std::string::npos);
    TQ3DBytes garbage;
    garbage.Material(MO_MATERIAL_FLAG_TEXTURED).JpegTextureMap(8, 8, {1, 2, 3, 4, 5, 6}).End();
    EXPECT_NE(Refusal(garbage).find("pixelData"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------------------
// Refusals: counts, indices and sizes that would read outside an array
// ---------------------------------------------------------------------------------------------------------

TEST_F(TQ3DReader, MeshMayOnlyUseMaterialsReadBeforeIt)
{
    EXPECT_EQ(Refusal(TQ3DBytes().Material(0).Triangle(1, 1, 1).End()),
              "ReadNewGeometry: mesh 0 uses material 1, but only 1 materials come before it (in bad.tq3d)");
    EXPECT_NE(Refusal(TQ3DBytes().Triangle(1, 1, 0).Material(0).End()).find("uses material 0"),
              std::string::npos);
}

TEST_F(TQ3DReader, MeshWithTwoLayersIsReadAndAThirdLayerIsRefused)
{
    // Layers 1 then 0: each layer holds its own material, and both are referenced by the mesh.
    ASSERT_EQ(Load(TQ3DBytes().Material(0).Material(0).Triangle(1, 2, 1).End()), 1);
    const TQ3DContainer* container = gLoadedModelFiles[MODEL_GROUP_GLOBAL];
    VertexArrayGeometry* mesh = Mesh(Model(0));
    EXPECT_EQ(mesh->numMaterials, 2);
    EXPECT_EQ(mesh->materials[0], container->materials[1]);
    EXPECT_EQ(mesh->materials[1], container->materials[0]);
    EXPECT_EQ(container->materials[0]->refCount, 2);
    EXPECT_NE(mesh->uvs[0], nullptr);
    EXPECT_EQ(mesh->uvs[1], nullptr) << "the file stores the first layer's coordinates only";
    TQ3D_DisposeAllContainers();

    EXPECT_NE(Refusal(TQ3DBytes().Material(0).Material(0).Triangle(1, 3, 0).End()).find("3 material layers"),
              std::string::npos);
}

TEST_F(TQ3DReader, TriangleCornerMustNameAPointOfItsMesh)
{
    TQ3DBytes file;
    file.Geometry(3, 2).Points({0, 0, 0, 1, 0, 0, 0, 1, 0}).Triangles({0, 1, 2, 2, 1, 3}).End();
    EXPECT_EQ(
        Refusal(file),
        "ReadTriangleArray: triangle 1 of mesh 0 uses point 3, but the mesh has 3 points (in bad.tq3d)");
}

TEST_F(TQ3DReader, MeshMustHoldTheArraysItsCountsPromise)
{
    EXPECT_NE(Refusal(TQ3DBytes().Geometry(3, 1).Triangles({0, 1, 2}).End()).find("no point list"),
              std::string::npos);
    EXPECT_NE(Refusal(TQ3DBytes().Geometry(3, 1).Points({0, 0, 0, 1, 0, 0, 0, 1, 0}).Triangle().End())
                  .find("no triangle list"),
              std::string::npos);
    EXPECT_NE(
        Refusal(TQ3DBytes().Triangle().Points({0, 0, 0, 1, 0, 0, 0, 1, 0}).End()).find("already assigned"),
        std::string::npos);
}

TEST_F(TQ3DReader, RawTextureBufferMustHoldExactlyItsPixels)
{
    TQ3DBytes file;
    file.Material(MO_MATERIAL_FLAG_TEXTURED)
        .TextureMap(2, 2, TQ3D_PIXELS_RGBA, std::vector<uint8_t>(12, 1))
        .End();
    EXPECT_EQ(Refusal(file),
              "ReadMaterialTextureMap: a buffer of 12 bytes does not hold 2x2 pixels of 4 bytes "
              "(in bad.tq3d)");
    TQ3DBytes format;
    format.Material(MO_MATERIAL_FLAG_TEXTURED).TextureMap(1, 1, 0x1907, {1, 2, 3}).End();
    EXPECT_EQ(Refusal(format), "Unsupported TQ3D srcPixelFormat 0x1907 (in bad.tq3d)");
}

TEST_F(TQ3DReader, CountsWhoseArraySizesOverflowAreRefusedBeforeAnyAllocation)
{
    EXPECT_NE(Refusal(TQ3DBytes().Geometry(0x40000000, 0).End()).find("overflow"), std::string::npos);
    EXPECT_NE(Refusal(TQ3DBytes().Geometry(3, 0xFFFFFFFF).End()).find("overflow"), std::string::npos);
    // 65536 x 65536 x 4 wraps to 0 in 32 bits.
    TQ3DBytes texture;
    texture.Material(MO_MATERIAL_FLAG_TEXTURED).TextureMap(65536, 65536, TQ3D_PIXELS_RGBA, {}, 0).End();
    EXPECT_NE(Refusal(texture).find("larger than 4096x4096"), std::string::npos);
}

TEST_F(TQ3DReader, PayloadCutShortByTheEndOfTheFileIsRefused)
{
    TQ3DBytes points;
    points.Geometry(3, 1).Points({0, 0, 0, 1, 0, 0});
    EXPECT_EQ(Refusal(points),
              "ReadVertexArray: the file ends inside the points (36 bytes needed, 24 left) (in bad.tq3d)");

    TQ3DBytes mask;
    mask.Material(MO_MATERIAL_FLAG_TEXTURED).JpegTextureMap(8, 8, SolidJpeg(8, 8, 1, 2, 3), {1, 2, 3});
    EXPECT_NE(Refusal(mask).find("ends inside the alpha mask"), std::string::npos);

    TQ3DBytes header;
    header.U32(TQ3D_TAG_GEOMETRY).U32(0).U32(0);
    EXPECT_NE(Refusal(header).find("ends inside the geometry header"), std::string::npos);
    EXPECT_EQ(
        Refusal(TQ3DBytes().U32(TQ3D_TAG_MATERIAL_FLAGS).bytes.size() ? TQ3DBytes().U32(0) : TQ3DBytes()),
        "ReadMaterialFlags: FSRead failed (in bad.tq3d)");
}

TEST_F(TQ3DReader, MoreThanFourHundredMaterialsOrSeventyModelsAreRefused)
{
    TQ3DBytes materials;
    for (int i = 0; i <= MAX_TQ3D_MATERIALS; i++)
        materials.Material(0);
    EXPECT_EQ(Refusal(materials.End()), "ReadMaterialFlags: more than 400 materials (in bad.tq3d)");

    TQ3DBytes models;
    for (int i = 0; i <= MO_MAX_ITEMS_IN_GROUP; i++)
        models.GroupStart().GroupEnd();
    EXPECT_EQ(Refusal(models.End()), "ReadGroup: too many objects in group! (at most 70) (in bad.tq3d)");
}

TEST_F(TQ3DReader, JpegWhoseHuffmanTableClaimsMoreThan256CodesIsRefusedBeforeDecoding)
{
    // The decoder would write the table's codes past its arrays.
    std::vector<uint8_t> jpeg = SolidJpeg(8, 8, 1, 2, 3);
    for (size_t i = 0; i + 1 < jpeg.size(); i++) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC4) {
            std::fill(jpeg.begin() + i + 5, jpeg.begin() + i + 21, 0xFF);
            break;
        }
    }
    TQ3DBytes file;
    file.Material(MO_MATERIAL_FLAG_TEXTURED).JpegTextureMap(8, 8, jpeg).End();
    EXPECT_NE(Refusal(file).find("DecompressQTImage failed: pixelData"), std::string::npos);
}
