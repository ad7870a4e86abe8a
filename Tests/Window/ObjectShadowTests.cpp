// Object shadows drawn for real: the generated shadow sprite darkens the terrain under an object and
// shrinks as the object rises; and the picking cache of a display group holds its world-space triangles.
// Set QUORVEL_SCREENSHOTS to a folder to keep the shadow pictures.

#include "RenderTestScene.h"

#include "3D/Picking.h"
#include "3D/Sprites.h"
#include "DataForge/Writers/ImageWriter.h"
#include "DataForge/Writers/PlayfieldWriter.h"
#include "Objects/BaseGroup.h"
#include "Objects/DisplayGroups.h"
#include "Objects/ObjNode.h"
#include "Objects/Shadows.h"
#include "Support/TempFolder.h"
#include "System/Boot.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/Terrain.h"

#include <cstdlib>
#include <vector>

namespace {

constexpr float kCentre = 2520; // the middle of a map of three by three supertiles

// A pale sand image for every supertile, so a shadow shows clearly.
std::vector<uint8_t> SandImage()
{
    Image image;
    image.width = image.height = 256;
    image.pixels.resize(256 * 256 * 4);
    for (size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = 230;
        image.pixels[i + 1] = 215;
        image.pixels[i + 2] = 170;
        image.pixels[i + 3] = 255;
    }
    return EncodePng(image);
}

// Ground that rises gently toward +x, so the shadow has a slope to lie on.
PlayfieldDescription GentleSlope()
{
    PlayfieldDescription p;
    p.mapWidth = p.mapDepth = 24;
    p.heightDivisor = 210;
    for (int row = 0; row <= 24; row++)
        for (int col = 0; col <= 24; col++)
            p.heights.push_back(100.0f + col * 12.0f);
    std::vector<uint8_t> sand = SandImage();
    for (int i = 0; i < 9; i++) {
        p.superTileGrid.push_back(int16_t(i));
        p.images.push_back(sand);
    }
    p.items.push_back({600, 600, 0, {0, 0, 0, 0}, 0});
    return p;
}

void KeepScreenshot(const WindowPixels& pixels, const char* name)
{
    const char* folder = std::getenv("QUORVEL_SCREENSHOTS");
    if (!folder)
        return;
    Image image;
    image.width = pixels.width;
    image.height = pixels.height;
    image.pixels = pixels.rgba;
    WritePngFile(std::filesystem::path(folder) / name, image);
}

// A display-group node holding a small red plate facing +z, with one collision box around it.
ObjNode* MakePlateNode(float x, float y, float z)
{
    ObjectDefinition def = {};
    def.genre = DISPLAY_GROUP_GENRE;
    def.position = {x, y, z};
    def.statusFlags = NODEBIT_NO_CULLING | NODEBIT_LIGHTING_OFF;
    def.slot = 100;
    def.scale = 1;
    ObjNode* node = MakeNewObject(&def);
    CreateBaseGroup(node);
    MetaObject* red = MakeColorMaterial(0.9f, 0.1f, 0.1f, 1);
    MetaObject* plate = MakeGridMesh(-25, -25, 25, 25, 0, 1, 1, red);
    MO_AppendToGroup(node->BaseGroup, plate);
    MO_DisposeObjectReference(plate);
    MO_DisposeObjectReference(red);
    SetSingleCollisionBox(node, 25, -25, -25, 25, 5, -5);
    return node;
}

void MoveTo(ObjNode* node, float x, float y, float z)
{
    BeginNodeUpdate(node);
    gWorkPos = {x, y, z};
    CommitNodeUpdate(node);
}

} // namespace

class ObjectShadow : public RenderWindowTest
{
protected:
    void SetUp() override
    {
        RenderWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        inBuildFolder = std::make_unique<ScopedWorkingDirectory>(QUORVEL_BINARY_DIR);
        Tarnet::Startup();
        FindDataFolder();
        setup.clearColor[0] = setup.clearColor[1] = setup.clearColor[2] = 0.0f;
        setup.useFog = false;
        setup.farClip = 20000;
        setup.ambientColor[0] = setup.ambientColor[1] = setup.ambientColor[2] = 1.0f;
        setup.lightCount = 1;
        setup.lightDirection[0] = {0, -1, 0};
        MakeView();
        InitObjectManager();
        InitSpriteManager();
        LoadSpriteGroupFromSeries(SPRITE_GROUP_GLOBAL, 9, "global");
        InitTerrainManager();
        std::filesystem::path path = temp.Path() / "slope.ter";
        WritePlayfield(GentleSlope(), path);
        Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(path);
        LoadPlayfield(&spec);
        InitSuperTileWindows();
    }
    void TearDown() override
    {
        if (inBuildFolder) {
            DisposeAllObjects();
            FreeTerrainData();
            DisposeAllSpriteGroups();
            Tarnet::Shutdown();
        }
        inBuildFolder.reset();
        RenderWindowTest::TearDown();
    }

    // The camera looks down at the ground under the centre from the south, so an object in the air
    // shows above the middle of the window and its shadow in the middle.
    WindowPixels DrawFromAbove()
    {
        Point3D to = {kCentre, TerrainHeightAt(kCentre, kCentre), kCentre};
        Point3D from = {kCentre, to.y + 350, kCentre + 350};
        OGL_UpdateCameraFromTo(&from, &to, 0);
        UpdateSuperTileWindows();
        return DrawSceneAndCapture(DrawObjectList);
    }

    std::unique_ptr<ScopedWorkingDirectory> inBuildFolder;
    TempFolder temp;
};

TEST_F(ObjectShadow, ShadowDarkensTheGroundUnderAnObjectAndShrinksAsItRises)
{
    ScopedAlertCapture capture;
    float ground = TerrainHeightAt(kCentre, kCentre);
    ObjNode* plate = MakePlateNode(kCentre, ground + 150, kCentre);
    ObjNode* shadow = MakeShadowNode(plate, 0, 3, 3, false);
    MoveTo(plate, kCentre, ground + 150, kCentre);

    WindowPixels low = DrawFromAbove();
    KeepScreenshot(low, "shadow-low.png");
    shadow->StatusFlags |= NODEBIT_INVISIBLE;
    WindowPixels bare = DrawFromAbove();
    KeepScreenshot(bare, "shadow-none.png");

    // Without the shadow the sand is bright all over the middle; the plate hangs above it.
    int bareCentre = Brightness(bare.MeanOf(310, 230, 330, 250));
    ASSERT_GT(bareCentre, 150);
    Rgba plateColour = low.MeanOf(305, 130, 335, 160);
    EXPECT_GT(plateColour.r, 150) << "the plate above the shadow";
    EXPECT_LT(plateColour.g, 60);

    // With it, the ground right under the plate is dark, and the sand well beside it is untouched.
    EXPECT_LT(Brightness(low.MeanOf(310, 230, 330, 250)), bareCentre / 2);
    EXPECT_NEAR(Brightness(low.MeanOf(60, 230, 80, 250)), Brightness(bare.MeanOf(60, 230, 80, 250)), 3);
    int lowRing = Brightness(low.MeanOf(288, 236, 298, 244));
    EXPECT_LT(lowRing, Brightness(bare.MeanOf(288, 236, 298, 244)) - 40) << "the shadow reaches 25 px out";

    // Raised high, the plate casts a smaller shadow: the same ring is bare sand again, the middle dark.
    MoveTo(plate, kCentre, ground + 750, kCentre);
    WindowPixels high = DrawFromAbove();
    KeepScreenshot(high, "shadow-high.png");
    EXPECT_LT(shadow->Scale.x, 3 * 0.3f);
    EXPECT_GT(Brightness(high.MeanOf(288, 236, 298, 244)), lowRing + 40);
    EXPECT_LT(Brightness(high.MeanOf(315, 235, 325, 245)), bareCentre * 3 / 4);
    EXPECT_EQ(OGL_GetStateStackDepth(), 0);
}

TEST_F(ObjectShadow, PickingCacheHoldsTheModelsTrianglesInWorldSpace)
{
    ScopedAlertCapture capture;
    ObjNode* plate = MakePlateNode(1000, 300, 2000);
    plate->Scale = {2, 2, 2};
    RebuildNodeTransform(plate);
    ASSERT_EQ(plate->WorldPointsValid, 0);

    CalcObjectWorldPoints(plate);
    EXPECT_EQ(plate->WorldPointsValid, 1);
    const WorldMeshRecord* mesh = &plate->WorldGeometry[0];
    ASSERT_NE(mesh->geometry.points, nullptr);
    EXPECT_EQ(plate->WorldGeometry[1].geometry.points, nullptr) << "one mesh, one cache entry";
    // The plate's corner (-25, -25, 0) scaled by 2 and moved to the node.
    EXPECT_FLOAT_EQ(mesh->geometry.points[0].x, 1000 - 50);
    EXPECT_FLOAT_EQ(mesh->geometry.points[0].y, 300 - 50);
    EXPECT_FLOAT_EQ(mesh->geometry.points[0].z, 2000);
    // Facing +z: the plane through z = 2000.
    EXPECT_NEAR(mesh->planes[0].normal.z, 1, 1e-5f);
    EXPECT_NEAR(mesh->planes[0].constant, -2000, 1e-2f);
    EXPECT_EQ(OGL_GetStateStackDepth(), 0);

    // Moving the node invalidates the cache, and the next fill follows it.
    MoveTo(plate, 1200, 300, 2000);
    EXPECT_EQ(plate->WorldPointsValid, 0);
    CalcObjectWorldPoints(plate);
    EXPECT_FLOAT_EQ(plate->WorldGeometry[0].geometry.points[0].x, 1200 - 50);
}

TEST_F(ObjectShadow, DegenerateTriangleGetsNoPlaneRatherThanLeftoverBytes)
{
    ScopedAlertCapture capture;
    ObjNode* plate = MakePlateNode(0, 0, 0);
    VertexArrayGeometry* model = MO_GetGeometryData(MO_GetGroupData(plate->BaseGroup)->objects[1]);
    ASSERT_EQ(model->numTriangles, 2);
    model->triangles[4] = model->triangles[3]; // the second triangle collapses to a line

    // The plane array is likely to land where this block of garbage was.
    void* garbage = AllocPtr(2 * int32_t(sizeof(PlaneEquation)));
    memset(garbage, 0xA5, 2 * sizeof(PlaneEquation));
    SafeDisposePtr(garbage);

    CalcObjectWorldPoints(plate);
    const PlaneEquation* planes = plate->WorldGeometry[0].planes;
    EXPECT_NEAR(planes[0].normal.z, 1, 1e-5f);
    EXPECT_EQ(planes[1].normal.x, 0);
    EXPECT_EQ(planes[1].normal.y, 0);
    EXPECT_EQ(planes[1].normal.z, 0);
    EXPECT_EQ(planes[1].constant, 0);

    // A triangle that collapses later loses the plane it had, instead of keeping a stale one.
    model->triangles[1] = model->triangles[0];
    RebuildNodeTransform(plate);
    CalcObjectWorldPoints(plate);
    EXPECT_EQ(plate->WorldGeometry[0].planes[0].normal.z, 0);
    EXPECT_EQ(plate->WorldGeometry[0].planes[0].constant, 0);
}
