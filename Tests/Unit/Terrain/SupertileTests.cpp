// The supertile window and meshes without drawing: what is built and scanned as a camera moves, two
// players sharing meshes, the mesh's shape and the seamless texture borders.

#include "TerrainTestSupport.h"

#include <vector>

namespace {

std::vector<std::pair<int, int>> gAddedItems; // (x, z) of every item whose add routine ran

bool RecordItem(MapItemType* item, float, float)
{
    gAddedItems.push_back({item->x, item->z});
    return true;
}

bool RefuseItem(MapItemType*, float, float)
{
    return false;
}

int CountCells(uint8_t modeBits)
{
    int n = 0;
    for (int row = 0; row < gSuperTilesDeep; row++)
        for (int col = 0; col < gSuperTilesWide; col++)
            n += (gSuperTileCells[row][col].mode & modeBits) == modeBits;
    return n;
}

} // namespace

class Supertiles : public TerrainTest
{
protected:
    void SetUp() override
    {
        TerrainTest::SetUp();
        gAddedItems.clear();
    }

    // One item (type 9) at the centre of every supertile of a wide x deep map.
    void LoadWithItemPerSupertile(int wide, int deep)
    {
        PlayfieldDescription p = FlatPlayfield(wide, deep);
        p.items.clear();
        for (int col = 0; col < wide; col++)
            for (int row = 0; row < deep; row++)
                p.items.push_back(MakeItem(uint32_t(col * 256 + 128), uint32_t(row * 256 + 128), 9));
        p.items.push_back(MakeItem(1, 1, 0));
        Load(p);
        gMapItemAddRoutines[9] = RecordItem;
        gTerrainLoading = false;
    }

    // The end of the frame: the release DrawTerrain does after the last pane, without drawing.
    void ReleaseOutsideWindows() { ReleaseSuperTilesOutsideWindows(); }
};

TEST_F(Supertiles, FirstUpdateBuildsEveryMaskCellAndScansItsItems)
{
    LoadWithItemPerSupertile(30, 30);
    InitSuperTileWindows();
    PlaceCamera(0, 15 * 1680, 15 * 1680); // the window covers columns and rows 6..23
    UpdateSuperTileWindows();

    const uint8_t* mask = GetSuperTileWindowMask(9);
    int inMask = 0;
    for (int i = 0; i < 18 * 18; i++)
        inMask += mask[i] != 0;
    EXPECT_EQ(CountCells(SUPERTILE_MODE_BUILT), inMask);
    EXPECT_EQ(gNumFreeSuperTiles, SUPERTILE_POOL_SIZE - inMask);
    EXPECT_EQ(int(gAddedItems.size()), inMask);
    EXPECT_EQ(gWindowLeft[0], 6);
    EXPECT_TRUE(gSuperTileCells[6][15].mode & SUPERTILE_MODE_BUILT); // top rim
    EXPECT_FALSE(gSuperTileCells[6][6].mode & SUPERTILE_MODE_BUILT); // cut corner
}

TEST_F(Supertiles, StandingStillScansNothingAndMovingOneSupertileScansOnlyTheRim)
{
    LoadWithItemPerSupertile(30, 30);
    gMapItemAddRoutines[9] = RefuseItem; // never marked added: every scan would count again
    InitSuperTileWindows();
    PlaceCamera(0, 15 * 1680, 15 * 1680);
    UpdateSuperTileWindows();
    ReleaseOutsideWindows();

    gAddedItems.clear();
    gMapItemAddRoutines[9] = RecordItem;
    UpdateSuperTileWindows();
    EXPECT_TRUE(gAddedItems.empty());
    ReleaseOutsideWindows();

    PlaceCamera(0, 16 * 1680, 15 * 1680);
    UpdateSuperTileWindows();
    const uint8_t* mask = GetSuperTileWindowMask(9);
    int rim = 0;
    for (int i = 0; i < 18 * 18; i++)
        rim += mask[i] == 2;
    EXPECT_EQ(int(gAddedItems.size()), rim);
    for (auto [x, z] : gAddedItems) {
        int col = int(x / 1680.0f) - gWindowLeft[0], row = int(z / 1680.0f) - gWindowTop[0];
        EXPECT_EQ(mask[row * 18 + col], 2) << col << "," << row;
    }
}

TEST_F(Supertiles, CrossingASupertileEdgeBuildsTheNewColumnAndReleasesTheOldOne)
{
    LoadWithItemPerSupertile(30, 30);
    InitSuperTileWindows();
    PlaceCamera(0, 15 * 1680, 15 * 1680);
    UpdateSuperTileWindows();
    ReleaseOutsideWindows();
    int built = CountCells(SUPERTILE_MODE_BUILT);
    int16_t slotKept = gSuperTileCells[15][15].slot;

    // Just across the next boundary: the window moves right by one column.
    PlaceCamera(0, 15 * 1680 + 841, 15 * 1680);
    UpdateSuperTileWindows();
    EXPECT_EQ(gWindowLeft[0], 7);
    EXPECT_TRUE(gSuperTileCells[15][24].mode & SUPERTILE_MODE_BUILT);
    EXPECT_TRUE(gSuperTileCells[15][6].mode & SUPERTILE_MODE_BUILT); // still built until the frame ends
    ReleaseOutsideWindows();
    EXPECT_FALSE(gSuperTileCells[15][6].mode & SUPERTILE_MODE_BUILT);
    EXPECT_EQ(CountCells(SUPERTILE_MODE_BUILT), built);
    EXPECT_EQ(gSuperTileCells[15][15].slot, slotKept); // a supertile that stays is never rebuilt
}

TEST_F(Supertiles, TwoPlayersShareTheMeshesOfOverlappingWindows)
{
    LoadWithItemPerSupertile(40, 30);
    gNumPanes = 2;
    InitSuperTileWindows();
    PlaceCamera(0, 12 * 1680, 15 * 1680);
    PlaceCamera(1, 16 * 1680, 15 * 1680);
    UpdateSuperTileWindows();

    const SuperTileStatus& shared = gSuperTileCells[15][14];
    EXPECT_EQ(shared.windowBits, 3);
    EXPECT_EQ(gSuperTileCells[15][4].windowBits, 1);
    EXPECT_EQ(gSuperTileCells[15][24].windowBits, 2);
    int built = CountCells(SUPERTILE_MODE_BUILT);
    int inUse = SUPERTILE_POOL_SIZE - gNumFreeSuperTiles;
    EXPECT_EQ(built, inUse); // one slot per cell, however many windows hold it
    EXPECT_LT(built, 2 * 284);

    // Player 1 flies away: cells only it held are released, shared ones stay with player 0.
    ReleaseOutsideWindows();
    PlaceCamera(1, 35 * 1680, 15 * 1680);
    UpdateSuperTileWindows();
    ReleaseOutsideWindows();
    EXPECT_EQ(gSuperTileCells[15][14].windowBits, 1);
    EXPECT_TRUE(gSuperTileCells[15][14].mode & SUPERTILE_MODE_BUILT);
    EXPECT_FALSE(gSuperTileCells[15][24].mode & SUPERTILE_MODE_BUILT);
}

TEST_F(Supertiles, EmptyCellInAWindowIsNeverBuiltButItsItemsAreScanned)
{
    PlayfieldDescription p = FlatPlayfield(2, 1);
    p.superTileGrid[1] = -1;
    p.images.pop_back();
    p.items.push_back(MakeItem(300, 20, 9));
    Load(p);
    gMapItemAddRoutines[9] = RecordItem;
    InitSuperTileWindows();
    PlaceCamera(0, 1680, 800);
    UpdateSuperTileWindows();
    EXPECT_FALSE(gSuperTileCells[0][1].mode & SUPERTILE_MODE_BUILT);
    EXPECT_EQ(gSuperTileCells[0][1].windowBits, 1);
    EXPECT_EQ(gAddedItems.size(), 1u);
}

TEST_F(Supertiles, MeshFollowsTheHeightsAndItsLastCornerRowLiesAtZero)
{
    PlayfieldDescription p = FlatPlayfield(2, 2);
    p.heightDivisor = 210.0f;
    for (float& h : p.heights)
        h = 300.0f;
    Load(p);
    gTerrainLoading = false;
    int first = BuildSuperTileMesh(0, 0);
    int last = BuildSuperTileMesh(0, 8);
    const SuperTileSlot& top = gSuperTileSlots[first];
    const SuperTileSlot& bottom = gSuperTileSlots[last];
    EXPECT_FLOAT_EQ(top.mesh->points[80].y, 300.0f);
    EXPECT_FLOAT_EQ(bottom.mesh->points[40].y, 300.0f);
    EXPECT_FLOAT_EQ(bottom.mesh->points[80].y, 0.0f); // the map's last row of corners
    EXPECT_FLOAT_EQ(bottom.mesh->points[72].z, 16 * 210.0f);
    EXPECT_FLOAT_EQ(bottom.bounds.minY, 0.0f);
    EXPECT_FLOAT_EQ(bottom.bounds.maxZ, 16 * 210.0f);
    EXPECT_FLOAT_EQ(top.centerY, 300.0f);
    // Meshes built outside loading alternate between no delay and one skipped draw.
    EXPECT_EQ(top.drawDelay, 0);
    EXPECT_EQ(bottom.drawDelay, 1);
    // Texture coordinates put the outer vertices on the border texel's edge.
    EXPECT_FLOAT_EQ(top.mesh->uvs[0][0], 1.0f / 258);
    EXPECT_FLOAT_EQ(top.mesh->uvs[0][80 * 2], 257.0f / 258);
}

TEST_F(Supertiles, EdgeVerticesOfNeighbouringMeshesShareTheirNormals)
{
    PlayfieldDescription p = FlatPlayfield(2, 1);
    p.heightDivisor = 210.0f;
    for (int row = 0; row <= p.mapDepth; row++)
        for (int col = 0; col <= p.mapWidth; col++)
            p.heights[size_t(row * (p.mapWidth + 1) + col)] = float((row * 37 + col * 91) % 200);
    Load(p);
    const SuperTileSlot& left = gSuperTileSlots[BuildSuperTileMesh(0, 0)];
    const SuperTileSlot& right = gSuperTileSlots[BuildSuperTileMesh(8, 0)];
    for (int j = 0; j < 8; j++) {
        const Vector3D& a = left.mesh->normals[j * 9 + 8];
        const Vector3D& b = right.mesh->normals[j * 9];
        EXPECT_FLOAT_EQ(a.x, b.x);
        EXPECT_FLOAT_EQ(a.y, b.y);
        EXPECT_FLOAT_EQ(a.z, b.z);
        EXPECT_FLOAT_EQ(left.mesh->colors[(j * 9 + 8) * 4], right.mesh->colors[j * 9 * 4]);
    }
}

TEST_F(Supertiles, MoreThanThePoolIsFatal)
{
    Load(FlatPlayfield(1, 1));
    for (int i = 0; i < SUPERTILE_POOL_SIZE; i++)
        BuildSuperTileMesh(0, 0);
    EXPECT_EQ(FatalAlertMessageOf([] { BuildSuperTileMesh(0, 0); }), "No Free Supertiles!");
}

TEST_F(Supertiles, TextureBorderRepeatsTheNeighboursEdgePixels)
{
    Load(FlatPlayfield(3, 3));
    // Nine distinct images: pixel value = image index x 20 + position code.
    std::vector<std::vector<uint8_t>> images(9, std::vector<uint8_t>(256 * 256 * 4));
    gSuperTilePixelBuffers = (uint8_t**)AllocPtrClear(9 * sizeof(uint8_t*));
    for (int i = 0; i < 9; i++) {
        for (int y = 0; y < 256; y++)
            for (int x = 0; x < 256; x++) {
                uint8_t* px = &images[size_t(i)][size_t((y * 256 + x) * 4)];
                px[0] = uint8_t(i * 20);
                px[1] = uint8_t(x);
                px[2] = uint8_t(y);
                px[3] = 255;
            }
        gSuperTilePixelBuffers[i] = images[size_t(i)].data();
    }
    std::vector<uint8_t> texture(258 * 258 * 4);
    AssembleSeamlessSuperTileTexture(1, 1, texture.data());
    auto at = [&](int y, int x) { return &texture[size_t((y * 258 + x) * 4)]; };

    EXPECT_EQ(at(128, 128)[0], 4 * 20); // the cell's own image
    EXPECT_EQ(at(0, 10)[0], 1 * 20);    // above: image 1's last row
    EXPECT_EQ(at(0, 10)[2], 255);
    EXPECT_EQ(at(0, 10)[1], 9);
    EXPECT_EQ(at(257, 10)[0], 7 * 20); // below: image 7's first row
    EXPECT_EQ(at(257, 10)[2], 0);
    EXPECT_EQ(at(30, 0)[0], 3 * 20); // left: image 3's last column
    EXPECT_EQ(at(30, 0)[1], 255);
    EXPECT_EQ(at(30, 257)[0], 5 * 20); // right: image 5's first column
    EXPECT_EQ(at(30, 257)[1], 0);
    EXPECT_EQ(at(0, 0)[0], 0 * 20);
    EXPECT_EQ(at(0, 257)[0], 2 * 20);
    EXPECT_EQ(at(257, 0)[0], 6 * 20);
    EXPECT_EQ(at(257, 257)[0], 8 * 20);
    EXPECT_EQ(at(257, 257)[1], 0);

    // A corner cell: no neighbour beyond the map, so that border stays transparent black.
    AssembleSeamlessSuperTileTexture(0, 0, texture.data());
    EXPECT_EQ(at(0, 10)[3], 0);
    EXPECT_EQ(at(10, 0)[3], 0);
    EXPECT_EQ(at(0, 0)[3], 0);
    EXPECT_EQ(at(0, 257)[3], 0);
    EXPECT_EQ(at(257, 0)[3], 0);
    EXPECT_EQ(at(10, 257)[0], 1 * 20);
    EXPECT_EQ(at(257, 257)[0], 4 * 20);

    for (int i = 0; i < 9; i++)
        gSuperTilePixelBuffers[i] = nullptr;
    SafeDisposePtr(gSuperTilePixelBuffers);
    gSuperTilePixelBuffers = nullptr;
}
