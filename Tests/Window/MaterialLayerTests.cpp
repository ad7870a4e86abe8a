// Second texture layers: a reflection material whose layer is switched off, and model meshes with two
// material layers read from a file. What shows on screen must come from each mesh's own coordinates
// and textures, never from what the mesh drawn before left behind.

#include "RenderTestScene.h"

#include "3D/TQ3D.h"
#include "DataForge/Writers/TQ3DWriter.h"

#include <vector>

namespace {

std::vector<MetaObject*> gOverlayObjects; // drawn in order in the overlay's 640 x 480 space, y down

void DrawOverlayObjects()
{
    if (gCurrentPane != gNumPanes)
        return;
    OGL_PushState();
    OGL_DisableLighting();
    OGL_DisableCullFace();
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 480, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (MetaObject* obj : gOverlayObjects)
        MO_DrawObject(obj);
    OGL_PopState();
}

// A 16 x 16 image: the left half one colour, the right half another.
std::vector<uint8_t> HalvesPixels(Rgba left, Rgba right)
{
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            Rgba c = x < 8 ? left : right;
            pixels.insert(pixels.end(), {c.r, c.g, c.b, c.a});
        }
    return pixels;
}

GLuint HalvesTexture(Rgba left, Rgba right)
{
    std::vector<uint8_t> pixels = HalvesPixels(left, right);
    return OGL_TextureMap_Load(pixels.data(), 16, 16, GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE);
}

constexpr Rgba kRed = {230, 20, 20, 255};
constexpr Rgba kGreen = {20, 230, 20, 255};
constexpr Rgba kWhite = {255, 255, 255, 255};
constexpr Rgba kBlack = {0, 0, 0, 255};

} // namespace

class MaterialLayers : public RenderWindowTest
{
protected:
    void SetUp() override
    {
        RenderWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        MakeView();
        gOverlayObjects.clear();
        savedReflectionCount = gNumSpritesInGroupList[SPRITE_GROUP_REFLECTIONS];
    }
    void TearDown() override
    {
        for (MetaObject* obj : gOverlayObjects)
            MO_DisposeObjectReference(obj);
        gOverlayObjects.clear();
        gNumSpritesInGroupList[SPRITE_GROUP_REFLECTIONS] = savedReflectionCount;
        TQ3D_DisposeAllContainers();
        RenderWindowTest::TearDown();
    }
    int32_t savedReflectionCount = 0;
};

TEST_F(MaterialLayers, ReflectionWithItsLayerOffStillDrawsFromItsOwnCoordinates)
{
    // First a mesh whose coordinates all point at the green half of its texture...
    MetaObject* plain = MakeColorMaterial(1, 1, 1, 1, HalvesTexture(kRed, kGreen));
    MetaObject* first = MakeGridMesh(0, 0, 100, 100, 0, 1, 1, plain);
    VertexArrayGeometry* firstMesh = MO_GetGeometryData(first);
    for (int i = 0; i < firstMesh->numPoints; i++) {
        firstMesh->uvs[0][i * 2] = 0.9f;
        firstMesh->uvs[0][i * 2 + 1] = 0.5f;
    }
    // ...then a reflective one over the whole window whose second layer is switched off (layer mode 1).
    MetaObject* reflective =
        MakeColorMaterial(1, 1, 1, 1, HalvesTexture(kRed, kGreen), MO_MATERIAL_FLAG_MULTITEXTURE);
    MO_GetMaterialData(reflective)->layerMode = 1;
    gNumSpritesInGroupList[SPRITE_GROUP_REFLECTIONS] = 1; // envMapNum 0 is legal; the layer never binds it
    MetaObject* second = MakeGridMesh(0, 480, 640, 0, 0, 1, 1, reflective);
    gOverlayObjects = {first, second};
    MO_DisposeObjectReference(plain);
    MO_DisposeObjectReference(reflective);

    WindowPixels pixels = DrawSceneAndCapture(DrawOverlayObjects);
    Rgba left = pixels.MeanOf(100, 200, 200, 280);
    Rgba right = pixels.MeanOf(440, 200, 540, 280);
    EXPECT_GT(left.r, 180) << "the left half of its own texture, not the earlier mesh's coordinates";
    EXPECT_LT(left.g, 60);
    EXPECT_GT(right.g, 180);
    EXPECT_LT(right.r, 60);
}

TEST_F(MaterialLayers, TwoLayerModelMeshMultipliesItsSecondLayerOverTheFirst)
{
    // Layer 0 solid red; layer 1 white on the left, black on the right, modulated over it. The file
    // holds one set of coordinates, which both layers use.
    TQ3DFile file;
    for (const std::vector<uint8_t>& pixels : {HalvesPixels(kRed, kRed), HalvesPixels(kWhite, kBlack)}) {
        TQ3DMaterial material;
        material.flags = MO_MATERIAL_FLAG_TEXTURED;
        TQ3DTexture texture;
        texture.width = texture.height = 16;
        texture.pixels = pixels;
        material.textures.push_back(texture);
        file.materials.push_back(material);
    }
    TQ3DNode quad;
    quad.mesh.layerMaterials = {0, 1};
    quad.mesh.points = {{0, 240, 0}, {640, 240, 0}, {640, 0, 0}, {0, 0, 0}}; // the upper half, y down
    quad.mesh.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    quad.mesh.triangles = {0, 1, 2, 0, 2, 3};
    file.models.push_back(quad);
    std::vector<uint8_t> bytes = SerializeTQ3D(file);

    ScopedAlertCapture capture;
    TQ3DParsedFile parsed = {};
    TQ3D_ParseFile("layers.tq3d", bytes.data(), int32_t(bytes.size()), -1, &parsed);
    TQ3D_UploadTextureImages(&parsed, "layers.tq3d");
    ASSERT_EQ(TQ3D_PublishContainer(&parsed, MODEL_GROUP_GLOBAL), 1);
    MetaObject* model = gTQ3DModelList[MODEL_GROUP_GLOBAL][0];
    MO_AddReference(model);

    // Below it, a plain mesh with the second layer's material alone: it must show that material's
    // texture, although that material was the last one applied (on the second texture unit).
    MetaObject* secondLayer = gLoadedModelFiles[MODEL_GROUP_GLOBAL]->materials[1];
    gOverlayObjects = {model, MakeGridMesh(0, 480, 640, 240, 0, 1, 1, secondLayer)};

    WindowPixels pixels = DrawSceneAndCapture(DrawOverlayObjects);
    Rgba upperLeft = pixels.MeanOf(100, 80, 200, 160);
    Rgba upperRight = pixels.MeanOf(440, 80, 540, 160);
    EXPECT_GT(upperLeft.r, 180) << "red under white";
    EXPECT_LT(upperLeft.g, 60);
    EXPECT_LT(Brightness(upperRight), 30) << "red under black";
    Rgba lowerLeft = pixels.MeanOf(100, 320, 200, 400);
    Rgba lowerRight = pixels.MeanOf(440, 320, 540, 400);
    EXPECT_GT(lowerLeft.g, 200) << "white, not the first layer's red still bound";
    EXPECT_LT(Brightness(lowerRight), 30);
    EXPECT_EQ(capture.LastMessage(), "");
}
