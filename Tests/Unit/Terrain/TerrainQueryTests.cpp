// Height, normal and range queries over small hand-made height fields, and the tables derived at load:
// tile splits, the item list grouped by supertile, tree shadows.

#include "TerrainTestSupport.h"

#include "3D/TQ3D.h"
#include "Objects/ObjNode.h"

#include <cmath>

namespace {

// A one-supertile map (8 x 8 tiles) whose heights are given in world units.
PlayfieldDescription MapWithHeights(const std::function<float(int row, int col)>& height)
{
    PlayfieldDescription p = FlatPlayfield(1, 1);
    p.heightDivisor = 210.0f; // stored heights are world units
    for (int row = 0; row <= p.mapDepth; row++)
        for (int col = 0; col <= p.mapWidth; col++)
            p.heights[size_t(row * (p.mapWidth + 1) + col)] = height(row, col);
    return p;
}

} // namespace

class TerrainQueries : public TerrainTest
{
};

TEST_F(TerrainQueries, FlatTileSplitsTopLeftAndEitherDiagonalGivesItsHeight)
{
    Load(MapWithHeights([](int, int) { return 300.0f; }));
    EXPECT_EQ(gTileSplit[2][3], 0);
    EXPECT_FLOAT_EQ(TerrainHeightAt(3 * 210 + 10, 2 * 210 + 200), 300.0f);
    EXPECT_FLOAT_EQ(TerrainHeightAt(3 * 210 + 200, 2 * 210 + 10), 300.0f);
}

TEST_F(TerrainQueries, HeightQueryFollowsTheTopRightToBottomLeftSplit)
{
    // Tile (0, 0): TL 0, TR 100, BL 100, BR 400: TR and BL are equal, so the cut runs between them.
    Load(MapWithHeights([](int row, int col) {
        if (row == 0 && col == 1)
            return 100.0f;
        if (row == 1 && col == 0)
            return 100.0f;
        if (row == 1 && col == 1)
            return 400.0f;
        return 0.0f;
    }));
    ASSERT_EQ(gTileSplit[0][0], 1);
    EXPECT_NEAR(TerrainHeightAt(105, 105), 100.0f, 0.01f); // the centre lies on the cut
    // Upper-left triangle (TL, TR, BL): the plane through 0, 100, 100.
    EXPECT_NEAR(TerrainHeightAt(42, 21), (42 + 21) * 100.0f / 210, 0.01f);
    // Lower-right triangle (TR, BR, BL): near BR the height climbs toward 400.
    EXPECT_NEAR(TerrainHeightAt(200, 200), 100.0f + (200 + 200 - 210) * 300.0f / 210, 0.05f);
    // Corners and an edge midpoint.
    EXPECT_NEAR(TerrainHeightAt(0, 0), 0.0f, 0.01f);
    EXPECT_NEAR(TerrainHeightAt(105, 0), 50.0f, 0.01f);
}

TEST_F(TerrainQueries, HeightQueryFollowsTheTopLeftToBottomRightSplit)
{
    // Tile (0, 0): TL 0 and BR 0 equal, TR 200, BL 0: the cut runs TL-BR.
    Load(MapWithHeights([](int row, int col) { return (row == 0 && col == 1) ? 200.0f : 0.0f; }));
    ASSERT_EQ(gTileSplit[0][0], 0);
    // Below the diagonal (fz > fx): triangle TL, BR, BL is flat at 0.
    EXPECT_NEAR(TerrainHeightAt(20, 150), 0.0f, 0.01f);
    // Above it: triangle TL, TR, BR rises toward TR.
    EXPECT_NEAR(TerrainHeightAt(150, 20), (150 - 20) * 200.0f / 210, 0.05f);
    // Normals point up on both sides.
    TerrainHeightAt(150, 20);
    EXPECT_GT(gLastTerrainNormal.y, 0.0f);
    EXPECT_LT(gLastTerrainNormal.x, 0.0f); // the ground rises toward +x
}

TEST_F(TerrainQueries, PointsOffTheMapGiveZeroAndNoMapGivesMinusTenThousand)
{
    EXPECT_FLOAT_EQ(TerrainHeightAt(10, 10), TERRAIN_HEIGHT_NO_MAP);
    Load(MapWithHeights([](int, int col) { return col == 0 ? 80.0f : 80.0f + col; }));
    EXPECT_FLOAT_EQ(TerrainHeightAt(float(gMapWidthUnits), 100), 0.0f);
    EXPECT_FLOAT_EQ(TerrainHeightAt(100, float(gMapDepthUnits) + 5), 0.0f);
    EXPECT_FLOAT_EQ(TerrainHeightAt(-1000, 100), 0.0f);
    EXPECT_FLOAT_EQ(TerrainHeightAt(1e30f, 100), 0.0f);
    EXPECT_FLOAT_EQ(TerrainHeightAt(NAN, 100), 0.0f);
    // Truncation toward zero puts a point a little left of the map into column 0.
    EXPECT_NEAR(TerrainHeightAt(-100, 0), 80.0f - 100.0f / 210, 0.01f);
}

TEST_F(TerrainQueries, NormalOfASlopeLeansAwayFromTheRise)
{
    Load(MapWithHeights([](int, int col) { return col * 210.0f; })); // 45 degrees rising toward +x
    Vector3D n;
    GetTerrainNormalAt(500, 500, &n);
    EXPECT_NEAR(n.x, -std::sqrt(0.5f), 1e-4f);
    EXPECT_NEAR(n.y, std::sqrt(0.5f), 1e-4f);
    EXPECT_NEAR(n.z, 0.0f, 1e-4f);
    GetTerrainNormalAt(-5000, 500, &n);
    EXPECT_FLOAT_EQ(n.y, 1.0f);
}

TEST_F(TerrainQueries, LowestGroundUnderABoxTakesItsCorners)
{
    Load(MapWithHeights([](int, int col) { return 1000.0f - col * 50.0f; }));
    BoundingBox box = {-100, 0, -100, 100, 10, 100, false};
    float centre = TerrainHeightAt(800, 800);
    EXPECT_NEAR(LowestTerrainUnderBox(800, 800, &box, 2.0f), centre - 200 * 50.0f / 210, 0.1f);
}

TEST_F(TerrainQueries, LowestGroundUnderAModelUsesThatModelsOwnBox)
{
    // The ground falls toward +x and +z; the model reaches 150 (x 2) to the right and 60 forward only,
    // so its lowest corner is (x + 300, z + 120), not a corner of a box centred on it.
    Load(MapWithHeights([](int row, int col) { return 1000.0f - col * 50.0f - row * 20.0f; }));
    gNumObjectsInGroupList[MODEL_GROUP_GLOBAL] = 2;
    gTQ3DModelBBoxes[MODEL_GROUP_GLOBAL][1] = {-10, 0, -40, 150, 30, 60, false};
    float expected = TerrainHeightAt(700 + 300, 600 + 120);
    EXPECT_FLOAT_EQ(LowestTerrainUnderModel(700, 600, MODEL_GROUP_GLOBAL, 1, 2.0f), expected);

    // A model the group does not hold is a programming error, not a read past the table.
    EXPECT_NE(FatalAlertMessageOf([] {
                  LowestTerrainUnderModel(700, 600, MODEL_GROUP_GLOBAL, 2, 1);
              }).find("model < gNumObjectsInGroupList[group]"),
              std::string::npos);
    gNumObjectsInGroupList[MODEL_GROUP_GLOBAL] = 0;
}

TEST_F(TerrainQueries, OutOfRangeWhenOffTheMapOrInNoWindow)
{
    Load(FlatPlayfield(2, 2));
    EXPECT_TRUE(IsPointOutOfRange(100, 100)); // no window yet
    gSuperTileCells[0][0].windowBits = 1;
    EXPECT_FALSE(IsPointOutOfRange(100, 100));
    EXPECT_TRUE(IsPointOutOfRange(1700, 100));
    EXPECT_TRUE(IsPointOutOfRange(-1, 100));
    EXPECT_TRUE(IsPointOutOfRange(float(gMapWidthUnits), 100));

    ObjNode node;
    std::memset(&node, 0, sizeof(node));
    node.Position = {1700, 0, 100};
    EXPECT_TRUE(IsObjectOutOfRange(&node));
    node.StatusFlags = NODEBIT_ALWAYS_IN_RANGE;
    EXPECT_FALSE(IsObjectOutOfRange(&node));
}

TEST_F(TerrainQueries, CrossedLineMarkerFindsTheFirstMarkerOnTheMove)
{
    PlayfieldDescription p = FlatPlayfield(2, 2);
    p.lineMarkers = {{100, 0, 100, 200}, {50, 0, 50, 200}};
    Load(p);
    ObjNode node;
    std::memset(&node, 0, sizeof(node));
    node.OldPosition = {0, 0, 100 * 6.5625f};
    gWorkPos = {120 * 6.5625f, 0, 100 * 6.5625f};
    EXPECT_EQ(CrossedLineMarker(&node), 0);
    gWorkPos = {60 * 6.5625f, 0, 100 * 6.5625f};
    EXPECT_EQ(CrossedLineMarker(&node), 1);
    gWorkPos = {40 * 6.5625f, 0, 100 * 6.5625f};
    EXPECT_EQ(CrossedLineMarker(&node), -1);
}

TEST_F(TerrainQueries, ItemsAreRegroupedBySupertileAndKeepTheirGround)
{
    PlayfieldDescription p = FlatPlayfield(2, 2);
    p.heightDivisor = 210.0f;
    for (float& h : p.heights)
        h = 250.0f;
    // Map units: a supertile is 256 units wide. Deliberately not in x order within a column.
    p.items = {MakeItem(10, 300, 9), MakeItem(20, 10, 0),   MakeItem(300, 20, 9),
               MakeItem(5, 10, 7),   MakeItem(300, 300, 9), MakeItem(9999, 10, 9)};
    Load(p);

    ASSERT_EQ(gNumMapItems, 5); // the item off the map belongs to no supertile
    EXPECT_EQ(gItemCells[0][0].first, 0);
    EXPECT_EQ(gItemCells[0][0].count, 2);
    EXPECT_EQ(gMapItems[0].type, 0); // file order within the supertile
    EXPECT_EQ(gMapItems[1].type, 7);
    EXPECT_EQ(gItemCells[0][1].first, 2);
    EXPECT_EQ(gItemCells[0][1].count, 1);
    EXPECT_EQ(gItemCells[1][0].first, 3);
    EXPECT_EQ(gItemCells[1][1].first, 4);
    EXPECT_EQ(gMapItems[4].x, int32_t(300 * 6.5625f));
    for (int i = 0; i < gNumMapItems; i++)
        EXPECT_FLOAT_EQ(gMapItems[i].terrainY, 250.0f);
    EXPECT_TRUE(gPlayerStarts[0].found);
    EXPECT_FALSE(gPlayerStarts[1].found);
}

TEST_F(TerrainQueries, TreesShadeTheVerticesAwayFromTheSun)
{
    view.lightDirection[0] = {1.0f, -0.5f, 0.0f}; // shining toward +x: shadows fall to +x
    PlayfieldDescription p = FlatPlayfield(4, 1);
    p.items = {MakeItem(0, 0, 0), MakeItem(64, 64, 1)}; // tile (2, 2)
    Load(p);
    EXPECT_FLOAT_EQ(gVertexShade[2][3], 0.7f);
    EXPECT_FLOAT_EQ(gVertexShade[2][8], 0.7f); // 1500 units long: about seven tiles
    EXPECT_FLOAT_EQ(gVertexShade[2][0], 1.0f); // nothing on the sunny side
    EXPECT_FLOAT_EQ(gVertexShade[6][3], 1.0f);
}
