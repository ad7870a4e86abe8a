// Model files written by the data generator's writer and read back by the game's loader, textures
// uploaded and models drawn: what the writer describes is what the game gets.
#include "3D/TQ3D.h"
#include "DataForge/Writers/ImageWriter.h"
#include "DataForge/Writers/TQ3DWriter.h"
#include "Objects/DisplayGroups.h"
#include "Objects/ObjNode.h"
#include "RenderTestScene.h"
#include "Support/TempFolder.h"
#include "Tarnet/Tarnet.h"

class TQ3DRoundTrip : public RenderWindowTest
{
protected:
    void SetUp() override
    {
        RenderWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Tarnet::Startup();
        InitObjectManager();
        TQ3D_InitContainers();
        MakeView();
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            DisposeAllObjects();
            TQ3D_DisposeAllContainers();
            EXPECT_EQ(gNumMetaObjects, 0);
        }
        RenderWindowTest::TearDown();
    }

    int Import(const TQ3DFile& file, int groupNum = MODEL_GROUP_GLOBAL)
    {
        std::filesystem::path path = folder.Path() / "model.tq3d";
        WriteTQ3DFile(path, file);
        Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(path);
        return ImportTQ3D(&spec, groupNum, VERTEX_ARRAY_POOL_MODELS);
    }

    // The pixels of a material's first texture as OpenGL holds them.
    static std::vector<uint8_t> TexturePixels(MetaObject* material)
    {
        const MaterialRecord* data = MO_GetMaterialData(material);
        std::vector<uint8_t> pixels(size_t(data->width) * data->height * 4);
        glBindTexture(GL_TEXTURE_2D, data->textureName[0]);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    TempFolder folder;
};

// A quad facing +z from (-s, -s) to (s, s) at depth z, with normals and uvs.
static TQ3DMesh Quad(float s, float z, std::vector<uint32_t> materials = {})
{
    TQ3DMesh mesh;
    mesh.layerMaterials = materials;
    mesh.points = {{-s, -s, z}, {s, -s, z}, {s, s, z}, {-s, s, z}};
    mesh.normals.assign(4, {0, 0, 1});
    mesh.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    mesh.triangles = {0, 1, 2, 0, 2, 3};
    return mesh;
}

static TQ3DNode MeshNode(const TQ3DMesh& mesh)
{
    TQ3DNode node;
    node.mesh = mesh;
    return node;
}

static TQ3DNode GroupNode(std::vector<TQ3DNode> members)
{
    TQ3DNode node;
    node.isGroup = true;
    node.members = std::move(members);
    return node;
}

TEST_F(TQ3DRoundTrip, NestedGroupsSharedMaterialsAndVertexColorsComeBackAsWritten)
{
    TQ3DFile file;
    file.materials.resize(2);
    file.materials[1].diffuse[0] = 0.5f;
    TQ3DMesh colored = Quad(1, 0, {1});
    colored.colors = {{255, 128, 0, 255}, {0, 0, 0, 0}, {1, 2, 3, 4}, {9, 9, 9, 9}};
    file.models.push_back(MeshNode(colored));
    file.models.push_back(GroupNode({MeshNode(Quad(2, 0, {1})), GroupNode({MeshNode(Quad(3, -1, {0}))})}));
    ASSERT_EQ(Import(file), 2);

    TQ3DContainer* container = gLoadedModelFiles[MODEL_GROUP_GLOBAL];
    ASSERT_EQ(container->numMaterials, 2);
    EXPECT_EQ(container->materials[1]->refCount, 3) << "the container and two meshes";
    EXPECT_EQ(container->materials[0]->refCount, 2);
    EXPECT_FLOAT_EQ(MO_GetMaterialData(container->materials[1])->diffuseColor[0], 0.5f);

    const float* c = MO_GetGeometryData(gTQ3DModelList[0][0])->colors;
    ASSERT_NE(c, nullptr);
    EXPECT_NEAR(c[1], 128 / 255.0f, 1e-6);
    EXPECT_FLOAT_EQ(c[15], 9 / 255.0f);

    const MetaObjectGroupData* group = MO_GetGroupData(gTQ3DModelList[0][1]);
    ASSERT_EQ(group->numObjectsInGroup, 2);
    ASSERT_EQ(group->objects[1]->type, MO_TYPE_GROUP);
    EXPECT_FLOAT_EQ(gTQ3DModelBBoxes[0][1].maxX, 3);
    EXPECT_FLOAT_EQ(gTQ3DModelBBoxes[0][1].minZ, -1);
    EXPECT_FLOAT_EQ(gTQ3DModelRadii[0][1], std::sqrt(3 * 3 + 3 * 3 + 1.0f));
}

TEST_F(TQ3DRoundTrip, RgbaAndJpegTexturesWithAlphaMaskAreUploadedAsWritten)
{
    TQ3DTexture rgba;
    rgba.width = 4;
    rgba.height = 2;
    for (int i = 0; i < 8; i++)
        rgba.pixels.insert(rgba.pixels.end(), {uint8_t(i * 30), 200, uint8_t(255 - i), uint8_t(i * 16)});

    Image photo;
    photo.width = 16;
    photo.height = 8;
    photo.channels = 3;
    for (int i = 0; i < 16 * 8; i++)
        photo.pixels.insert(photo.pixels.end(), {20, 40, 230});
    TQ3DTexture jpeg;
    jpeg.isCompressed = true;
    jpeg.width = 16;
    jpeg.height = 8;
    jpeg.compressed = EncodeJpeg(photo, 95);
    for (int i = 0; i < 16 * 8; i++)
        jpeg.alphaMask.push_back(uint8_t(i * 2));

    TQ3DFile file;
    file.materials.resize(2);
    file.materials[0].flags = MO_MATERIAL_FLAG_TEXTURED;
    file.materials[0].textures = {rgba};
    file.materials[1].flags = MO_MATERIAL_FLAG_TEXTURED;
    file.materials[1].textures = {jpeg, rgba};
    file.models.push_back(MeshNode(Quad(1, 0, {0})));
    ASSERT_EQ(Import(file), 1);

    TQ3DContainer* container = gLoadedModelFiles[MODEL_GROUP_GLOBAL];
    EXPECT_EQ(TexturePixels(container->materials[0]), rgba.pixels);

    const MaterialRecord* second = MO_GetMaterialData(container->materials[1]);
    EXPECT_EQ(second->numMipmaps, 2);
    EXPECT_EQ(second->width, 16) << "the first map sizes the material";
    std::vector<uint8_t> pixels = TexturePixels(container->materials[1]);
    EXPECT_NEAR(pixels[2], 230, 8);
    EXPECT_EQ(pixels[4 * 5 + 3], 10);
    EXPECT_EQ(pixels[4 * 127 + 3], 254);
}

TEST_F(TQ3DRoundTrip, DisplayGroupOfALoadedModelDrawsItsTexture)
{
    TQ3DTexture red;
    red.width = red.height = 2;
    red.pixels = {230, 20, 20, 255, 230, 20, 20, 255, 230, 20, 20, 255, 230, 20, 20, 255};
    TQ3DFile file;
    file.materials.resize(1);
    file.materials[0].flags = MO_MATERIAL_FLAG_TEXTURED;
    file.materials[0].textures = {red};
    file.models.push_back(MeshNode(Quad(60, 0, {0})));
    Import(file, MODEL_GROUP_LEVELSPECIFIC);

    ObjectDefinition def = {};
    def.artGroup = MODEL_GROUP_LEVELSPECIFIC;
    def.position = {0, 0, -200};
    def.statusFlags = NODEBIT_LIGHTING_OFF;
    def.slot = 100;
    def.scale = 1;
    MakeNewDisplayGroupObject(&def);
    TQ3D_DisposeAllContainers(); // the node keeps its model

    WindowPixels pixels = DrawSceneAndCapture(DrawObjectList);
    Rgba centre = pixels.MeanOf(300, 220, 340, 260);
    EXPECT_GT(centre.r, 180);
    EXPECT_LT(centre.g, 60);
    EXPECT_LT(Brightness(pixels.MeanOf(10, 10, 40, 40)), 30) << "nothing outside the quad";
}
