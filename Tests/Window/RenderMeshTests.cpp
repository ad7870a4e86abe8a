#include "RenderTestScene.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "RenderTestImages.h"

#include <cmath>
#include <vector>

namespace {

MetaObject* gDrawn; // what the draw routine draws in the player pane

void DrawInPlayerPane()
{
    if (gCurrentPane < gNumPanes)
        MO_DrawObject(gDrawn);
}

// The overlay's 640 x 480 space, y down, for 2D pieces.
void DrawInOverlaySpace()
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
    MO_DrawObject(gDrawn);
    OGL_PopState();
}

GLuint SolidTexture(uint8_t r, uint8_t g, uint8_t b)
{
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 16 * 16; i++)
        pixels.insert(pixels.end(), {r, g, b, 255});
    return OGL_TextureMap_Load(pixels.data(), 16, 16, GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE);
}

} // namespace

using RenderMesh = RenderWindowTest;

TEST_F(RenderMesh, LitTexturedFloorFadesIntoTheFogWithDistance)
{
    // Black fog: the far end of the floor must be darker than the near end.
    setup.useFog = true;
    setup.fogStart = 50;
    setup.fogEnd = 600;
    setup.cameraFrom[0] = {0, 40, 0};
    setup.cameraTo[0] = {0, 0, -200};
    setup.lightDirection[0] = {0, -1, 0}; // straight down onto the floor
    MakeView();

    MetaObject* material = MakeColorMaterial(1, 1, 1, 1, SolidTexture(255, 40, 40));
    MetaObject* floor = MakeGridMesh(-400, -20, 400, -1000, 0, 8, 20, material); // in x, y then turned flat
    MO_DisposeObjectReference(material);
    // Lay the wall down: y becomes -z, normals point up.
    VertexArrayGeometry* g = MO_GetGeometryData(floor);
    for (int i = 0; i < g->numPoints; i++) {
        g->points[i] = {g->points[i].x, 0, g->points[i].y};
        g->normals[i] = {0, 1, 0};
    }
    MetaObject* group = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    MO_AppendToGroup(group, floor);
    MO_DisposeObjectReference(floor);
    gDrawn = group;

    WindowPixels pixels = DrawSceneAndCapture(DrawInPlayerPane);
    Rgba nearFloor = pixels.MeanOf(200, 430, 440, 470);
    Rgba farFloor = pixels.MeanOf(200, 250, 440, 270);
    EXPECT_GT(nearFloor.r, 150) << "the lit, textured floor in front of the camera";
    EXPECT_LT(nearFloor.g, nearFloor.r / 2) << "the texture's red must show";
    EXPECT_LT(farFloor.r + 40, nearFloor.r) << "fog must darken the far floor";
    EXPECT_EQ(OGL_GetStateStackDepth(), 0);
    MO_DisposeObjectReference(group);
}

TEST_F(RenderMesh, MaskedJpegShowsTheBackgroundWhereTheMaskIsClear)
{
    setup.clearColor[0] = 1;
    MakeView();
    std::vector<uint8_t> jpg = SolidJpeg(64, 64, 0, 0, 255);
    std::vector<uint8_t> png = LeftHalfMask(64, 64);
    int width = 0, height = 0;
    bool hasAlpha = false;
    GLuint texture = OGL_TextureMap_LoadImageBuffers("mask test", jpg.data(), (int32_t)jpg.size(), png.data(),
                                                     (int32_t)png.size(), &width, &height, &hasAlpha);
    EXPECT_EQ(width, 64);
    EXPECT_TRUE(hasAlpha);

    MetaObject* material = MakeColorMaterial(1, 1, 1, 1, texture, MO_MATERIAL_FLAG_ALWAYS_BLEND);
    gDrawn = MakeGridMesh(0, 0, 640, 480, 0, 1, 1, material);
    MO_DisposeObjectReference(material);
    WindowPixels pixels = DrawSceneAndCapture(DrawInOverlaySpace);

    Rgba opaque = pixels.MeanOf(40, 100, 280, 380);
    EXPECT_GT(opaque.b, 200);
    EXPECT_LT(opaque.r, 40);
    Rgba clear = pixels.MeanOf(360, 100, 600, 380);
    EXPECT_GT(clear.r, 200) << "the red background must show through the masked half";
    EXPECT_LT(clear.b, 40);
    MO_DisposeObjectReference(gDrawn);
}

TEST_F(RenderMesh, JpegAloneIsOpaqueAndPngAloneKeepsItsAlpha)
{
    MakeView();
    std::vector<uint8_t> jpg = SolidJpeg(8, 8, 10, 20, 30);
    bool hasAlpha = true;
    GLuint a = OGL_TextureMap_LoadImageBuffers("jpg", jpg.data(), (int32_t)jpg.size(), nullptr, 0, nullptr,
                                               nullptr, &hasAlpha);
    EXPECT_FALSE(hasAlpha);
    std::vector<uint8_t> rgba(8 * 8 * 4, 128);
    std::vector<uint8_t> png = EncodePng(8, 8, 4, rgba);
    GLuint b = OGL_TextureMap_LoadImageBuffers("png", nullptr, 0, png.data(), (int32_t)png.size(), nullptr,
                                               nullptr, &hasAlpha);
    EXPECT_TRUE(hasAlpha);

    std::vector<uint8_t> readBack(8 * 8 * 4);
    OGL_Texture_SetOpenGLTexture(a);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, readBack.data());
    EXPECT_EQ(readBack[3], 255);
    OGL_Texture_SetOpenGLTexture(b);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, readBack.data());
    EXPECT_EQ(readBack[3], 128);
    OGL_DeleteTextures(1, &a);
    OGL_DeleteTextures(1, &b);
}

TEST_F(RenderMesh, ImageWiderThanTheCardAllowsIsRejectedBeforeUpload)
{
    MakeView();
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    std::vector<uint8_t> row((maxSize + 1) * 1, 255);
    std::vector<uint8_t> png = EncodePng(maxSize + 1, 1, 1, row);
    std::string message = FatalAlertMessageOf([&] {
        OGL_TextureMap_LoadImageBuffers(":sprites:huge", nullptr, 0, png.data(), (int32_t)png.size(), nullptr,
                                        nullptr, nullptr);
    });
    EXPECT_NE(message.find(":sprites:huge"), std::string::npos) << message;
    EXPECT_NE(message.find("larger than"), std::string::npos) << message;
}

TEST_F(RenderMesh, CentredSpriteTurnsAQuarterAboutItsCentre)
{
    MakeView();
    MetaObject* material = MakeColorMaterial(1, 1, 0, 1);
    MO_GetMaterialData(material)->width = 64; // a 2:1 image
    MO_GetMaterialData(material)->height = 32;
    SpriteGroupEntry entry = {64, 32, material};
    gSpriteGroupList[SPRITE_GROUP_GLOBAL] = &entry;
    gNumSpritesInGroupList[SPRITE_GROUP_GLOBAL] = 1;

    SpriteSetupRecord spriteSetup = {false, SPRITE_GROUP_GLOBAL, 0, true};
    gDrawn = MO_CreateNewObjectOfType(MO_TYPE_SPRITE, 0, &spriteSetup);
    SpriteRecord* sprite = MO_GetSpriteData(gDrawn);
    sprite->position = {320, 240, 0};
    sprite->scaleX = sprite->scaleY = 200; // 200 wide, 100 high before turning
    sprite->rotation = PI / 2;
    WindowPixels pixels = DrawSceneAndCapture(DrawInOverlaySpace);

    EXPECT_GT(pixels.At(320, 160).r, 200) << "turned: 200 high";
    EXPECT_LT(pixels.At(240, 240).r, 40) << "turned: only 100 wide";
    EXPECT_GT(pixels.At(300, 240).r, 200);

    MO_DisposeObjectReference(gDrawn);
    MO_DisposeObjectReference(material);
    gSpriteGroupList[SPRITE_GROUP_GLOBAL] = nullptr;
    gNumSpritesInGroupList[SPRITE_GROUP_GLOBAL] = 0;
}

TEST_F(RenderMesh, ReflectiveMaterialNeedsAnExistingSphereMap)
{
    MakeView();
    MetaObject* sphereMap = MakeColorMaterial(1, 1, 1, 1, SolidTexture(200, 200, 200));
    SpriteGroupEntry entry = {16, 16, sphereMap};
    gSpriteGroupList[SPRITE_GROUP_REFLECTIONS] = &entry;
    gNumSpritesInGroupList[SPRITE_GROUP_REFLECTIONS] = 1;

    MetaObject* shiny = MakeColorMaterial(1, 1, 1, 1, SolidTexture(0, 0, 255), MO_MATERIAL_FLAG_MULTITEXTURE);
    MetaObject* mesh = MakeGridMesh(-100, -100, 100, 100, -200, 1, 1, shiny);
    gDrawn = mesh;
    OGL_DrawScene(DrawInPlayerPane); // envMapNum 0 exists: draws

    MO_GetMaterialData(shiny)->envMapNum = 1;
    std::string message = FatalAlertMessageOf([] { MO_DrawObject(gDrawn); });
    EXPECT_EQ(message, "MO_DrawGeometry_VertexArray: illegal envMapNum");

    OGL_SetActiveTextureUnit(0);
    MO_DisposeObjectReference(mesh);
    MO_DisposeObjectReference(shiny);
    MO_DisposeObjectReference(sphereMap);
    gSpriteGroupList[SPRITE_GROUP_REFLECTIONS] = nullptr;
    gNumSpritesInGroupList[SPRITE_GROUP_REFLECTIONS] = 0;
}
