// The model-file writer: the byte layout of a tiny file record by record, and files read back by the
// game's own reader (groups, shared materials, colours, raw and compressed textures with masks).
#include "3D/TQ3D.h"
#include "DataForge/Writers/BigEndianWriter.h"
#include "DataForge/Writers/ImageWriter.h"
#include "DataForge/Writers/TQ3DWriter.h"
#include "System/Memory.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <stdexcept>

namespace {

TQ3DMesh Triangle(std::vector<uint32_t> materials)
{
    TQ3DMesh mesh;
    mesh.layerMaterials = std::move(materials);
    mesh.points = {{0, 0, 0}, {1, 0, 0}, {0, 2, -3}};
    mesh.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    mesh.uvs = {{0, 0}, {1, 0}, {0, 1}};
    mesh.colors = {{255, 128, 0, 255}, {0, 0, 0, 0}, {1, 2, 3, 4}};
    mesh.triangles = {0, 1, 2};
    return mesh;
}

TQ3DTexture RawTexture(uint32_t width, uint32_t height)
{
    TQ3DTexture texture;
    texture.width = width;
    texture.height = height;
    for (uint32_t i = 0; i < width * height * 4; i++)
        texture.pixels.push_back(uint8_t(i));
    return texture;
}

// Reads big-endian words from a byte vector, failing the test past its end.
struct Cursor
{
    const std::vector<uint8_t>& bytes;
    size_t at = 0;
    uint32_t U32()
    {
        EXPECT_LE(at + 4, bytes.size());
        if (at + 4 > bytes.size())
            return 0xFFFFFFFF;
        uint32_t v = uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
                     uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
        at += 4;
        return v;
    }
    float Float() { return std::bit_cast<float>(U32()); }
};

} // namespace

TEST(TQ3DWriterLayout, TinyFileHasTheHeaderAndEveryRecordInOrder)
{
    TQ3DFile file;
    TQ3DMaterial material;
    material.flags = 0x03;
    material.diffuse[1] = 0.5f;
    material.textures.push_back(RawTexture(2, 1));
    file.materials.push_back(material);
    file.models.push_back({false, Triangle({0}), {}});
    std::vector<uint8_t> bytes = SerializeTQ3D(file);

    ASSERT_GE(bytes.size(), 20u);
    EXPECT_EQ(std::memcmp(bytes.data(), "TQ3D", 4), 0);
    Cursor in{bytes, 20};
    EXPECT_EQ(in.U32(), kTQ3DTagMaterialFlags);
    EXPECT_EQ(in.U32(), 0x03u);
    EXPECT_EQ(in.U32(), kTQ3DTagDiffuseColor);
    EXPECT_EQ(in.Float(), 1.0f);
    EXPECT_EQ(in.Float(), 0.5f);
    in.at += 8;
    EXPECT_EQ(in.U32(), kTQ3DTagTextureMap);
    EXPECT_EQ(in.U32(), 2u) << "width";
    EXPECT_EQ(in.U32(), 1u) << "height";
    EXPECT_EQ(in.U32(), 0x1908u) << "source pixel format";
    in.U32();
    EXPECT_EQ(in.U32(), 8u) << "buffer size";
    in.at += 16 + 8;
    EXPECT_EQ(in.U32(), kTQ3DTagGeometry);
    EXPECT_EQ(in.U32(), 0u) << "vertex-array type";
    EXPECT_EQ(in.U32(), 1u) << "layers";
    EXPECT_EQ(in.U32(), 0u) << "layer 0 material";
    in.at += 12 + 4;
    EXPECT_EQ(in.U32(), 3u) << "points";
    EXPECT_EQ(in.U32(), 1u) << "triangles";
    in.at += 16;
    EXPECT_EQ(in.U32(), kTQ3DTagPoints);
    in.at += 36;
    EXPECT_EQ(in.U32(), kTQ3DTagNormals);
    in.at += 36;
    EXPECT_EQ(in.U32(), kTQ3DTagUVs);
    in.at += 24;
    EXPECT_EQ(in.U32(), kTQ3DTagVertexColors);
    EXPECT_EQ(in.U32(), 0xFF8000FFu) << "colours are r, g, b, a bytes";
    in.at += 8;
    EXPECT_EQ(in.U32(), kTQ3DTagTriangles);
    EXPECT_EQ(in.U32(), 0u);
    EXPECT_EQ(in.U32(), 1u);
    EXPECT_EQ(in.U32(), 2u);
    EXPECT_EQ(in.U32(), kTQ3DTagBoundingBox);
    EXPECT_EQ(in.Float(), 0.0f);
    EXPECT_EQ(in.Float(), 0.0f);
    EXPECT_EQ(in.Float(), -3.0f) << "min z";
    EXPECT_EQ(in.Float(), 1.0f) << "max x";
    in.at += 8 + 4;
    EXPECT_EQ(in.U32(), kTQ3DTagEndFile);
    EXPECT_EQ(in.at, bytes.size());
}

TEST(TQ3DWriterLayout, CompressedTextureStoresItsImageAfterTheOffsetWordAndTheMaskAfterIt)
{
    TQ3DFile file;
    TQ3DMaterial material;
    TQ3DTexture texture;
    texture.isCompressed = true;
    texture.width = 2;
    texture.height = 2;
    texture.compressed = {0xAA, 0xBB, 0xCC};
    texture.alphaMask = {1, 2, 3, 4};
    material.textures.push_back(texture);
    file.materials.push_back(material);
    std::vector<uint8_t> bytes = SerializeTQ3D(file);
    Cursor in{bytes, 20 + 8 + 20};
    EXPECT_EQ(in.U32(), kTQ3DTagJpegTextureMap);
    EXPECT_EQ(in.U32(), 2u);
    EXPECT_EQ(in.U32(), 2u);
    EXPECT_EQ(in.U32(), 7u) << "the buffer holds the offset word and the image";
    EXPECT_EQ(in.U32(), 1u) << "has a mask";
    EXPECT_EQ(in.U32(), 4u) << "the image follows the offset word at once";
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + long(in.at), bytes.begin() + long(in.at) + 7),
              (std::vector<uint8_t>{0xAA, 0xBB, 0xCC, 1, 2, 3, 4}));
}

TEST(TQ3DWriterLayout, RefusesArraysThatCannotBeWritten)
{
    TQ3DFile file;
    file.models.push_back({false, Triangle({}), {}});
    file.models[0].mesh.normals.pop_back();
    EXPECT_THROW(SerializeTQ3D(file), std::invalid_argument);
    file.models[0].mesh = Triangle({0, 0, 0, 0, 0});
    EXPECT_THROW(SerializeTQ3D(file), std::invalid_argument);
}

TEST(TQ3DWriterFaults, FindsWhatTheLoaderWouldRefuse)
{
    TQ3DFile file;
    TQ3DMaterial material;
    material.textures.push_back(RawTexture(2, 2));
    material.textures[0].pixels.pop_back();
    file.materials.push_back(material);
    file.models.push_back({false, Triangle({1}), {}});
    file.models[0].mesh.triangles[2] = 3;
    std::vector<std::string> faults = FindTQ3DFaults(file);
    ASSERT_EQ(faults.size(), 3u);
    EXPECT_NE(faults[0].find("texture buffer"), std::string::npos);
    EXPECT_NE(faults[1].find("material 1"), std::string::npos);
    EXPECT_NE(faults[2].find("triangle index 3"), std::string::npos);
}

class TQ3DWriterRoundTrip : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TQ3D_InitContainers();
        objectsBefore = gNumMetaObjects;
    }
    void TearDown() override
    {
        TQ3D_FreeParsedFile(&parsed);
        TQ3D_DisposeAllContainers();
        EXPECT_EQ(gNumMetaObjects, objectsBefore);
    }
    int Load(const TQ3DFile& file)
    {
        bytes = SerializeTQ3D(file);
        TQ3D_ParseFile("written.tq3d", bytes.data(), int32_t(bytes.size()), -1, &parsed);
        return TQ3D_PublishContainer(&parsed, MODEL_GROUP_GLOBAL);
    }
    std::vector<uint8_t> bytes;
    TQ3DParsedFile parsed = {};
    int objectsBefore = 0;
};

TEST_F(TQ3DWriterRoundTrip, NestedGroupsAndSharedMaterialsComeBackAsWritten)
{
    TQ3DFile file;
    file.materials.resize(2);
    file.materials[1].flags = 0x02;
    file.materials[1].diffuse[0] = 0.25f;
    TQ3DNode inner{true, {}, {{false, Triangle({1}), {}}, {false, Triangle({1}), {}}}};
    file.models.push_back({false, Triangle({0}), {}});
    file.models.push_back({true, {}, {inner, {false, Triangle({}), {}}}});
    ASSERT_EQ(Load(file), 2);

    MetaObject* group = gTQ3DModelList[MODEL_GROUP_GLOBAL][1];
    ASSERT_EQ(group->type, MO_TYPE_GROUP);
    ASSERT_EQ(MO_GetGroupData(group)->numObjectsInGroup, 2);
    MetaObject* nested = MO_GetGroupData(group)->objects[0];
    ASSERT_EQ(nested->type, MO_TYPE_GROUP);
    EXPECT_EQ(MO_GetGroupData(nested)->numObjectsInGroup, 2);

    MetaObject* shared = gLoadedModelFiles[MODEL_GROUP_GLOBAL]->materials[1];
    EXPECT_EQ(shared->refCount, 3) << "the container and two meshes";
    EXPECT_EQ(MO_GetMaterialData(shared)->flags, 0x02u);
    EXPECT_EQ(MO_GetMaterialData(shared)->diffuseColor[0], 0.25f);

    VertexArrayGeometry* mesh = MO_GetGeometryData(gTQ3DModelList[MODEL_GROUP_GLOBAL][0]);
    ASSERT_EQ(mesh->numPoints, 3);
    EXPECT_EQ(mesh->points[2].z, -3.0f);
    EXPECT_EQ(mesh->normals[0].z, 1.0f);
    EXPECT_EQ(mesh->uvs[0][2 * 2 + 1], 1.0f);
    EXPECT_NEAR(mesh->colors[1], 128 / 255.0f, 1e-6);
    EXPECT_EQ(mesh->triangles[2], 2u);
}

TEST_F(TQ3DWriterRoundTrip, RawAndCompressedTexturesDecodeWithTheirMask)
{
    Image rgb{4, 2, 3, std::vector<uint8_t>(4 * 2 * 3, 200)};
    TQ3DFile file;
    file.materials.resize(1);
    file.materials[0].flags = 0x01;
    file.materials[0].textures.push_back(RawTexture(2, 2));
    TQ3DTexture jpeg;
    jpeg.isCompressed = true;
    jpeg.width = 4;
    jpeg.height = 2;
    jpeg.compressed = EncodeJpeg(rgb, 90);
    jpeg.alphaMask = {0, 10, 20, 30, 40, 50, 60, 70};
    file.materials[0].textures.push_back(jpeg);
    file.models.push_back({false, Triangle({0}), {}});
    Load(file);

    ASSERT_EQ(parsed.numImages, 2);
    EXPECT_EQ(parsed.images[0].pixels[5], 5) << "raw pixels as stored";
    ASSERT_EQ(parsed.images[1].width, 4);
    EXPECT_NEAR(parsed.images[1].pixels[0], 200, 6);
    EXPECT_EQ(parsed.images[1].pixels[4 * 7 + 3], 70) << "the mask is the alpha of each pixel in row order";
}
