// The playfield reader against the generator's writer: every record survives the round trip, and
// every damaged or hostile file ends in a fatal alert instead of a read past the data.

#include "TerrainTestSupport.h"

#include "DataForge/Writers/BigEndianWriter.h"
#include "System/Memory.h"

using Tarnet::OSTypeFrom;

namespace {

PlayfieldDescription EveryKindOfRecord()
{
    PlayfieldDescription p = FlatPlayfield(2, 2);
    p.heightDivisor = 2.0f;
    p.heights[0] = 4.0f; // corner (0, 0): 4 x 210 / 2 = 420
    p.superTileGrid[3] = -1;
    p.images.pop_back();
    p.items = {MakeItem(10, 20, 0, 1, 2), MakeItem(300, 40, 1, 3), MakeItem(400, 300, 22)};
    PlayfieldSpline spline;
    spline.numNubs = 7;
    spline.points = {{1, 2}, {3, 4}, {5, 6}, {7, 8}};
    spline.items = {{0.25f, 15, {1, 2, 3, 4}, 0}, {0.5f, 49, {0, 0, 0, 0}, 0}};
    p.splines.push_back(spline);
    p.fences.push_back({1, {{10, 20}, {30, 40}, {50, 60}}});
    p.water.push_back({2, 1, 1, {{0, 0}, {100, 0}, {100, 100}}, {50, 25}});
    p.lineMarkers.push_back({32, 64, 96, 128});
    return p;
}

// An 'Hedr' with the writer's header, one int32 field replaced.
std::vector<uint8_t> HeaderWith(const PlayfieldDescription& p, int offset, int32_t value)
{
    BigEndianWriter out;
    out.Zeros(4);
    out.I32(int32_t(p.items.size()));
    out.I32(p.mapWidth);
    out.I32(p.mapDepth);
    out.Float(p.heightDivisor);
    out.Zeros(8);
    out.I32(int32_t(p.splines.size()));
    out.I32(int32_t(p.fences.size()));
    out.I32(int32_t(p.images.size()));
    out.I32(int32_t(p.water.size()));
    out.I32(int32_t(p.lineMarkers.size()));
    std::vector<uint8_t> bytes = out.Take();
    for (int i = 0; i < 4; i++)
        bytes[size_t(offset + i)] = uint8_t(uint32_t(value) >> (24 - 8 * i));
    return bytes;
}

} // namespace

class PlayfieldReader : public TerrainTest
{
};

TEST_F(PlayfieldReader, EveryRecordSurvivesTheRoundTrip)
{
    Load(EveryKindOfRecord());

    EXPECT_EQ(gTerrainTileWide, 16);
    EXPECT_EQ(gTerrainTileDepth, 16);
    EXPECT_EQ(gSuperTilesWide, 2);
    EXPECT_EQ(gMapWidthUnits, 16 * 210);
    EXPECT_EQ(gNumUniqueSuperTiles, 3);
    EXPECT_EQ(gSuperTileGrid[1][1], -1);
    EXPECT_EQ(gSuperTileGrid[1][0], 2);
    EXPECT_FLOAT_EQ(gHeightField[0][0], 420.0f);

    ASSERT_EQ(gNumMapItems, 3);
    EXPECT_EQ(gMapItems[0].x, int32_t(10 * 6.5625f));
    EXPECT_EQ(gMapItems[0].z, int32_t(20 * 6.5625f));
    EXPECT_EQ(gMapItems[0].parm[1], 2);
    EXPECT_TRUE(gPlayerStarts[1].found);
    EXPECT_FLOAT_EQ(gPlayerStarts[1].heading, 2 * 0.7853982f);

    ASSERT_EQ(gNumSplines, 1);
    EXPECT_EQ(gSplines[0].numNubs, 7);
    ASSERT_EQ(gSplines[0].numPoints, 4);
    EXPECT_FLOAT_EQ(gSplines[0].points[3].z, 8.0f); // points stay in map units until primed
    ASSERT_EQ(gSplines[0].numItems, 2);
    EXPECT_EQ(gSplines[0].items[1].type, 49);
    EXPECT_EQ(gSplines[0].items[0].parm[3], 4);

    ASSERT_EQ(gNumFences, 1);
    EXPECT_EQ(gFences[0].numNubs, 3);
    EXPECT_FLOAT_EQ(gFences[0].nubs[2].x, 50.0f);
    EXPECT_FLOAT_EQ(gFences[0].nubs[2].z, 60.0f);

    ASSERT_EQ(gNumWaterPatches, 1);
    EXPECT_EQ(gWaterPatches[0].type, 2);
    EXPECT_EQ(gWaterPatches[0].numNubs, 3);
    EXPECT_FLOAT_EQ(gWaterPatches[0].nubs[1][0], 100.0f);
    EXPECT_FLOAT_EQ(gWaterPatches[0].hotSpotZ, 25.0f);

    ASSERT_EQ(gNumLineMarkers, 1);
    EXPECT_FLOAT_EQ(gLineMarkers[0].x1, 32 * 6.5625f);
    EXPECT_FLOAT_EQ(gLineMarkers[0].z1, 64 * 6.5625f);
    EXPECT_FLOAT_EQ(gLineMarkers[0].x2, 96 * 6.5625f);
    EXPECT_FLOAT_EQ(gLineMarkers[0].z2, 128 * 6.5625f);
}

TEST_F(PlayfieldReader, OneSupertileMapLoadsAndAWidthOfTwelveIsFatal)
{
    Load(FlatPlayfield(1, 1));
    EXPECT_EQ(gSuperTilesWide, 1);

    PlayfieldDescription p = FlatPlayfield(1, 1);
    std::string message =
        LoadFatal(p, [&](auto& fork) { fork.Add(OSTypeFrom("Hedr"), 1000, HeaderWith(p, 8, 12)); });
    EXPECT_EQ(message, "ReadDataFromPlayfieldFile: terrain width not a supertile multiple");
}

TEST_F(PlayfieldReader, ResourceShorterThanTheHeaderImpliesIsFatalNamingTheFile)
{
    PlayfieldDescription p = EveryKindOfRecord();
    const char* types[] = {"STgd", "YCrd", "Itms", "Spln", "SpPt", "FnNb", "Fenc", "Liqd", "CkPt"};
    for (const char* type : types) {
        SCOPED_TRACE(type);
        Tarnet::ResType code = 0;
        for (int i = 0; i < 4; i++)
            code = (code << 8) | uint8_t(type[i]);
        std::string message =
            LoadFatal(p, [&](auto& fork) { fork.Add(code, 1000, std::vector<uint8_t>(4, 0)); });
        EXPECT_NE(message.find("test.ter"), std::string::npos) << message;
        EXPECT_NE(message.find(type), std::string::npos) << message;
        FreeTerrainData();
    }
}

TEST_F(PlayfieldReader, HeaderCountsBeyondTheirLimitsAreFatal)
{
    PlayfieldDescription p = FlatPlayfield(1, 1);
    struct Case
    {
        int offset;
        int32_t value;
        const char* expected;
    } cases[] = {
        {44, 101, "ReadDataFromPlayfieldFile: gNumLineMarkers > MAX_LINEMARKERS"},
        {44, -1, "line marker count -1"},
        {4, -5, "-5 map items"},
        {28, 1000, "1000 splines"},
        {32, 91, "91 fences"},
        {40, 61, "61 water patches"},
        {36, 2, "2 supertile images"},
        {16, 0, "height divisor"},
        {8, -8, "each side must be"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        std::string message = LoadFatal(
            p, [&](auto& fork) { fork.Add(OSTypeFrom("Hedr"), 1000, HeaderWith(p, c.offset, c.value)); });
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        FreeTerrainData();
    }
}

TEST_F(PlayfieldReader, LineMarkerCountOfZeroSkipsTheMarkerResource)
{
    PlayfieldDescription p = FlatPlayfield(1, 1);
    Load(p, [](auto& fork) { fork.Add(OSTypeFrom("CkPt"), 1000, std::vector<uint8_t>(3, 0xFF)); });
    EXPECT_EQ(gNumLineMarkers, 0);
}

TEST_F(PlayfieldReader, SupertileIndexOutsideTheImagesIsFatal)
{
    PlayfieldDescription p = FlatPlayfield(2, 1);
    p.superTileGrid[1] = 2;
    EXPECT_NE(LoadFatal(p).find("names image 2, but there are only 2"), std::string::npos);
}

TEST_F(PlayfieldReader, CellsSharingOneImageLoadAndKeepItUntilTheLastOfThemIsBuilt)
{
    // Two neighbours share image 0, and the last cell names it again five rows further down, after
    // the first cell's image would have been freed; every cell still has its own record.
    PlayfieldDescription p = FlatPlayfield(2, 6);
    p.superTileGrid = {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0};
    std::vector<uint8_t> header = HeaderWith(p, 36, 10);
    int32_t blocksBefore = gLiveBlockCount;
    Load(p, [&](auto& fork) { fork.Add(OSTypeFrom("Hedr"), 1000, header); });
    EXPECT_EQ(gNumUniqueSuperTiles, 10);
    EXPECT_EQ(gSuperTileGrid[0][1], 0);
    EXPECT_EQ(gSuperTileGrid[5][1], 0);
    EXPECT_EQ(gSuperTilePixelBuffers, nullptr);
    FreeTerrainData();
    EXPECT_EQ(gLiveBlockCount, blocksBefore);

    // The shared image's later records are still decoded: a damaged one is refused.
    Image small;
    small.width = small.height = 128;
    small.pixels.assign(128 * 128 * 4, 200);
    p.images[11] = EncodePng(small);
    EXPECT_NE(
        LoadFatal(p, [&](auto& fork) { fork.Add(OSTypeFrom("Hedr"), 1000, header); }).find("actualW == w"),
        std::string::npos);
}

TEST_F(PlayfieldReader, SupertileJpegWithAnOverlongHuffmanTableIsRefusedAsUndecodable)
{
    Image image;
    image.width = image.height = SUPERTILE_TEXTURE_SIZE;
    image.channels = 4;
    image.pixels.assign(size_t(image.width) * image.height * 4, 90);
    std::vector<uint8_t> jpeg = EncodeJpeg(image, 88);
    size_t table = 0;
    while (table + 1 < jpeg.size() && !(jpeg[table] == 0xFF && jpeg[table + 1] == 0xC4))
        table++;
    ASSERT_LT(table + 6, jpeg.size());
    jpeg[table + 5] = jpeg[table + 6] = 200; // the first two code counts: 400 codes, past the table's 256

    PlayfieldDescription p = FlatPlayfield(1, 1);
    p.images[0] = jpeg;
    std::string message = LoadFatal(p);
    EXPECT_NE(message.find("DecompressQTImage: pixelData"), std::string::npos) << message;
}

TEST_F(PlayfieldReader, NegativeGridValuesAllMeanAnEmptyCell)
{
    PlayfieldDescription p = FlatPlayfield(2, 1);
    p.superTileGrid[1] = -7;
    p.images.pop_back();
    Load(p);
    EXPECT_EQ(gSuperTileGrid[0][1], -1);
}

TEST_F(PlayfieldReader, ItemTypesBeyondTheirTablesAreFatal)
{
    PlayfieldDescription p = FlatPlayfield(1, 1);
    p.items.push_back(MakeItem(200, 200, 49));
    EXPECT_NE(LoadFatal(p).find("map item 1 has type 49"), std::string::npos);
    FreeTerrainData();

    p = FlatPlayfield(1, 1);
    PlayfieldSpline spline;
    spline.points = {{0, 0}, {1, 1}, {2, 2}};
    spline.items = {{0.5f, 50, {0, 0, 0, 0}, 0}};
    p.splines.push_back(spline);
    EXPECT_NE(LoadFatal(p).find("item 0 of spline 0 has type 50"), std::string::npos);
}

TEST_F(PlayfieldReader, SplineItemsMustFillTheirResourceExactly)
{
    PlayfieldDescription p = FlatPlayfield(1, 1);
    PlayfieldSpline spline;
    spline.points = {{0, 0}, {1, 1}, {2, 2}};
    spline.items = {{0.5f, 15, {0, 0, 0, 0}, 0}};
    p.splines.push_back(spline);
    std::string message = LoadFatal(p, [](auto& fork) {
        BigEndianWriter items;
        items.Float(0.5f);
        items.U16(15);
        items.Zeros(7); // one byte too many
        fork.Add(OSTypeFrom("SpIt"), 1000, items.Take());
    });
    EXPECT_NE(message.find("GetHandleSize(hand) == (Size) (sizeof(SplineItemType) * spline->numItems)"),
              std::string::npos)
        << message;
}

TEST_F(PlayfieldReader, SplinePlacementOutsideTheSplineOrTooFewPointsIsFatal)
{
    PlayfieldDescription p = FlatPlayfield(1, 1);
    PlayfieldSpline spline;
    spline.points = {{0, 0}, {1, 1}, {2, 2}};
    spline.items = {{1.0f, 15, {0, 0, 0, 0}, 0}};
    p.splines.push_back(spline);
    EXPECT_NE(LoadFatal(p).find("placement 1"), std::string::npos);
    FreeTerrainData();

    p.splines[0].items[0].placement = 0.5f;
    p.splines[0].points.resize(2);
    EXPECT_NE(LoadFatal(p).find("needs at least 3"), std::string::npos);
}

TEST_F(PlayfieldReader, FenceAndWaterNubCountsBeyondTheirLimitsAreFatal)
{
    PlayfieldDescription p = FlatPlayfield(1, 1);
    p.fences.push_back({0, {{0, 0}}});
    EXPECT_NE(LoadFatal(p).find("fence 0 has 1 nubs"), std::string::npos);
    FreeTerrainData();
    p.fences[0].nubs.assign(81, {0, 0});
    EXPECT_NE(LoadFatal(p).find("fence 0 has 81 nubs"), std::string::npos);
    FreeTerrainData();
    p.fences[0] = {2, {{0, 0}, {1, 1}}};
    EXPECT_NE(LoadFatal(p).find("fence 0 has type 2"), std::string::npos);
    FreeTerrainData();

    p = FlatPlayfield(1, 1);
    p.water.push_back({0, 0, 0, {{0, 0}, {1, 1}}, {0, 0}});
    EXPECT_NE(LoadFatal(p).find("water patch 0 has 2 nubs"), std::string::npos);
    FreeTerrainData();
    p.water[0].nubs.assign(81, {0, 0});
    EXPECT_NE(LoadFatal(p).find("water patch 0 has 81 nubs"), std::string::npos);
    FreeTerrainData();
    p.water[0] = {11, 0, 0, {{0, 0}, {1, 0}, {1, 1}}, {0, 0}};
    EXPECT_NE(LoadFatal(p).find("water patch 0 has type 11"), std::string::npos);
}

TEST_F(PlayfieldReader, ImageThatIsNot256SquareIsFatalNamingTheFile)
{
    PlayfieldDescription p = FlatPlayfield(1, 1);
    Image small;
    small.width = small.height = 128;
    small.pixels.assign(128 * 128 * 4, 200);
    p.images[0] = EncodePng(small);
    std::string message = LoadFatal(p);
    EXPECT_NE(message.find("actualW == w"), std::string::npos) << message;
    EXPECT_NE(message.find("test.ter"), std::string::npos) << message;
}

TEST_F(PlayfieldReader, ImageRecordThatDoesNotDecodeOrRunsPastTheForkIsFatal)
{
    PlayfieldDescription p = FlatPlayfield(1, 1);
    p.images[0] = std::vector<uint8_t>(100, 0x55);
    EXPECT_NE(LoadFatal(p).find("pixelData"), std::string::npos);
    FreeTerrainData();

    p = FlatPlayfield(2, 1);
    std::vector<uint8_t> header = HeaderWith(p, 36, 2);
    p.images.pop_back(); // the header counts two images, the data fork holds one
    EXPECT_NE(LoadFatal(p, [&](auto& fork) { fork.Add(OSTypeFrom("Hedr"), 1000, header); }).find("!iErr"),
              std::string::npos);
}

TEST_F(PlayfieldReader, ZeroItemsOrTwoStartsForOnePlayerAreFatal)
{
    PlayfieldDescription p = FlatPlayfield(1, 1);
    p.items.clear();
    EXPECT_EQ(LoadFatal(p), "BuildTerrainItemList: there must be at least 1 terrain item!");
    FreeTerrainData();

    p.items = {MakeItem(10, 10, 0), MakeItem(20, 10, 0)};
    EXPECT_EQ(LoadFatal(p), "FindPlayerStartCoordItems:  duplicate start item for player #0");
}

TEST_F(PlayfieldReader, MissingHeightsGiveFlatGroundAfterAnAlert)
{
    PlayfieldDescription p = FlatPlayfield(1, 1);
    p.heights[10] = 50.0f;
    ScopedAlertCapture capture;
    std::filesystem::path path = temp.Path() / "flat.ter";
    WriteFileBytes(path, BuildPlayfieldDataFork(p));
    Tarnet::ResourceForkWriter fork;
    fork.Add(OSTypeFrom("Hedr"), 1000, HeaderWith(p, 4, 1));
    BigEndianWriter grid;
    grid.I16(0);
    fork.Add(OSTypeFrom("STgd"), 1000, grid.Take());
    BigEndianWriter items;
    items.U32(100);
    items.U32(100);
    items.Zeros(8);
    fork.Add(OSTypeFrom("Itms"), 1000, items.Take());
    fork.WriteAppleDouble(temp.Path() / "flat.ter.rsrc");
    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(path);
    LoadPlayfieldData(&spec, kPlayfieldImages_DecodeOnly);

    EXPECT_EQ(capture.LastMessage(), "ReadDataFromPlayfieldFile: Error reading height data resource!");
    EXPECT_FLOAT_EQ(TerrainHeightAt(500, 500), 0.0f);
}

TEST_F(PlayfieldReader, MissingForksAreFatal)
{
    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(temp.Path() / "none.ter");
    EXPECT_NE(FatalAlertMessageOf([&] {
                  LoadPlayfieldData(&spec, kPlayfieldImages_DecodeOnly);
              }).find("LoadPlayfield: FSpOpenResFile failed."),
              std::string::npos);

    PlayfieldDescription p = FlatPlayfield(1, 1);
    std::filesystem::path path = temp.Path() / "forkonly.ter";
    BuildPlayfieldResourceFork(p).WriteAppleDouble(temp.Path() / "forkonly.ter.rsrc");
    spec = Tarnet::HostPathToFSSpec(path);
    EXPECT_EQ(FatalAlertMessageOf([&] { LoadPlayfieldData(&spec, kPlayfieldImages_DecodeOnly); }),
              "ReadDataFromPlayfieldFile: FSpOpenDF failed!");
}
