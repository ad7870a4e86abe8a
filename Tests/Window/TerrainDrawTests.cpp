// The terrain with a real draw context: the textures made while the playfield loads carry their
// neighbours' edge pixels in their borders, supertiles show their images under the camera, and in a
// split screen a supertile only pane 1's window holds is drawn there and released after that pane.

#include "RenderTestScene.h"

#include "DataForge/Writers/ImageWriter.h"
#include "DataForge/Writers/PlayfieldWriter.h"
#include "Objects/ObjNode.h"
#include "Support/TempFolder.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/Terrain.h"

#include <vector>

namespace {

// A 256 x 256 image: left half one colour, right half another, the first and last rows marked.
std::vector<uint8_t> TwoToneImage(uint8_t r, uint8_t g, uint8_t b)
{
    Image image;
    image.width = image.height = 256;
    image.pixels.resize(256 * 256 * 4);
    for (int y = 0; y < 256; y++) {
        for (int x = 0; x < 256; x++) {
            uint8_t* px = &image.pixels[size_t((y * 256 + x) * 4)];
            px[0] = x < 128 ? r : uint8_t(r / 2);
            px[1] = g;
            px[2] = y == 0 ? 255 : (y == 255 ? 0 : b); // stored top row: the largest z
            px[3] = 255;
        }
    }
    return EncodePng(image);
}

// Three by three supertiles: reds on the left column, greens in the middle, blues on the right.
PlayfieldDescription ColouredMap()
{
    PlayfieldDescription p;
    p.mapWidth = p.mapDepth = 24;
    p.heightDivisor = 210;
    p.heights.assign(25 * 25, 100.0f);
    for (int i = 0; i < 9; i++) {
        int col = i % 3;
        p.superTileGrid.push_back(int16_t(i));
        p.images.push_back(col == 0   ? TwoToneImage(220, 30, 30)
                           : col == 1 ? TwoToneImage(30, 220, 30)
                                      : TwoToneImage(30, 30, 220));
    }
    p.items.push_back({600, 600, 0, {0, 0, 0, 0}, 0});
    return p;
}

} // namespace

class TerrainDraw : public RenderWindowTest
{
protected:
    void SetUp() override
    {
        RenderWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Tarnet::Startup();
        InitTerrainManager();
        setup.clearColor[0] = setup.clearColor[1] = setup.clearColor[2] = 0.0f;
        setup.useFog = false;
        setup.farClip = 20000;
        setup.ambientColor[0] = setup.ambientColor[1] = setup.ambientColor[2] = 1.0f;
        setup.lightCount = 1;
        setup.lightDirection[0] = {0, -1, 0};
        StartLevel();
    }
    // The view, then the map: the supertile meshes live in the view's vertex-array pool.
    void StartLevel()
    {
        MakeView();
        InitObjectManager();
        std::filesystem::path path = temp.Path() / "map.ter";
        WritePlayfield(ColouredMap(), path);
        Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(path);
        LoadPlayfield(&spec);
        InitSuperTileWindows();
    }
    void EndLevel()
    {
        DisposeAllObjects();
        FreeTerrainData();
        OGL_DisposeGameView();
    }
    void TearDown() override
    {
        DisposeAllObjects();
        FreeTerrainData();
        RenderWindowTest::TearDown();
    }

    TempFolder temp;
};

TEST_F(TerrainDraw, TextureBordersRepeatTheNeighboursEdgePixels)
{
    ScopedAlertCapture capture;
    // The middle supertile's texture, read back from OpenGL.
    std::vector<uint8_t> texels(258 * 258 * 4);
    glBindTexture(GL_TEXTURE_2D, MO_GetMaterialData(gSuperTileMaterials[4])->textureName[0]);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    auto at = [&](int row, int col) { return &texels[size_t((row * 258 + col) * 4)]; };

    EXPECT_EQ(at(100, 0)[0], 220 / 2); // left border: the red neighbour's last (right-half) column
    EXPECT_EQ(at(100, 257)[2], 220);   // right border: the blue neighbour's first column
    EXPECT_EQ(at(100, 257)[0], 30);
    EXPECT_EQ(at(0, 50)[2], 255); // top border (smallest z): the upper neighbour's largest-z row
    EXPECT_EQ(at(257, 50)[2], 0); // bottom border: the lower neighbour's smallest-z row
    EXPECT_EQ(at(1, 50)[2], 0);   // the image itself: its own smallest-z row
    EXPECT_EQ(at(128, 128)[1], 220);
}

TEST_F(TerrainDraw, SupertilesShowTheirImagesUnderTheCamera)
{
    ScopedAlertCapture capture;
    Point3D from = {2520, 6000, 2600}, to = {2520, 0, 2520};
    OGL_UpdateCameraFromTo(&from, &to, 0);
    UpdateSuperTileWindows();
    WindowPixels pixels = DrawSceneAndCapture(DrawObjectList);

    EXPECT_EQ(gSuperTilesDrawn, 9);
    Rgba middle = pixels.MeanOf(300, 220, 340, 260);
    EXPECT_GT(middle.g, 150);
    EXPECT_LT(middle.r, 80);
    Rgba left = pixels.MeanOf(170, 220, 190, 260);
    EXPECT_GT(left.r, 80);
    EXPECT_LT(left.g, 80);
    Rgba right = pixels.MeanOf(450, 220, 470, 260);
    EXPECT_GT(right.b, 150);
}

TEST_F(TerrainDraw, SplitScreenReleasesAfterThePaneThatLastDrawsIt)
{
    ScopedAlertCapture capture;
    EndLevel();
    gNumPanes = 2;
    StartLevel();
    Point3D from0 = {-30000, 6000, -30000}, to0 = {-30000, 0, -30001};
    Point3D from1 = {2520, 6000, 2600}, to1 = {2520, 0, 2520};
    OGL_UpdateCameraFromTo(&from0, &to0, 0);
    OGL_UpdateCameraFromTo(&from1, &to1, 1);
    UpdateSuperTileWindows();
    EXPECT_EQ(gSuperTileCells[1][1].windowBits, 2);

    DrawSceneAndCapture(DrawObjectList);
    EXPECT_EQ(gSuperTilesDrawn, 9); // pane 1 drew them all
    EXPECT_TRUE(gSuperTileCells[1][1].mode & SUPERTILE_MODE_BUILT);

    // Player 1 leaves: after the next frame's last pane the supertiles are given back.
    from1 = {-30000, 6000, 30000};
    OGL_UpdateCameraFromTo(&from1, &from0, 1);
    UpdateSuperTileWindows();
    DrawSceneAndCapture(DrawObjectList);
    EXPECT_EQ(gSuperTileCells[1][1].mode, 0);
    EXPECT_EQ(gNumFreeSuperTiles, SUPERTILE_POOL_SIZE);
}
