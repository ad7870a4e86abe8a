// The playfield's resource fork: the map header, the supertile grid, the corner heights, the map
// items, the splines, the fences, the water patches and the line markers. The file is untrusted:
// every count in the header is checked against the bytes of the resource that holds the records,
// every index against its table, and every fault ends in a fatal alert naming the file.

#include "Terrain/TerrainLocal.h"

#include "System/Alerts.h"
#include "System/BigEndian.h"
#include "System/Memory.h"
#include "Tarnet/Tarnet.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

using namespace Tarnet;

char gPlayfieldName[256];
int16_t gPlayfieldResRefNum = -1;
int16_t gPlayfieldDataRefNum = -1;

constexpr int32_t kHeaderSize = 48;
constexpr int32_t kItemRecordSize = 16;
constexpr int32_t kSplineRecordSize = 32;
constexpr int32_t kSplinePointSize = 8;
constexpr int32_t kSplineItemSize = 12;
constexpr int32_t kFenceRecordSize = 16;
constexpr int32_t kFenceNubSize = 8;
constexpr int32_t kWaterRecordSize = 836;
constexpr int32_t kLineMarkerSize = 20;
constexpr int32_t kMaxMapTiles = 2048;        // per side; keeps every table far below the fork's size
constexpr int32_t kMaxMapItems = 32767;       // the per-supertile index holds 16-bit positions
constexpr int32_t kMaxSplines = 256;          // spline objects record their spline in one byte
constexpr int32_t kMaxSplinePoints = 1 << 21; // a fork's data area holds at most 16 MiB
constexpr int32_t kMinPointsForItems = 3;     // objects aim at the point three ahead, wrapping once
constexpr int32_t kNumFixedWaterHeights = 1;

// The one resource the reader holds while it decodes it; a fault releases it.
static Handle gHeldResource;

static void ReleaseHeldResource()
{
    if (gHeldResource) {
        ReleaseResource(gHeldResource);
        gHeldResource = nullptr;
    }
}

void ClosePlayfieldForks()
{
    ReleaseHeldResource();
    if (gPlayfieldResRefNum != -1) {
        CloseResFile(gPlayfieldResRefNum);
        gPlayfieldResRefNum = -1;
    }
    if (gPlayfieldDataRefNum != -1) {
        FSClose(gPlayfieldDataRefNum);
        gPlayfieldDataRefNum = -1;
    }
}

void PlayfieldFault(const char* format, ...)
{
    char message[512];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    ClosePlayfieldForks();
    ShowFatalAlert("ReadDataFromPlayfieldFile: %s: %s", gPlayfieldName, message);
}

// A fault with the fixed words the game has always shown for it.
[[noreturn]] static void PlayfieldFixedFault(const char* message)
{
    ClosePlayfieldForks();
    ShowFatalAlert("%s", message);
}

static const char* TypeName(ResType type, char name[5])
{
    for (int i = 0; i < 4; i++) {
        char c = char((type >> (24 - 8 * i)) & 0xFF);
        name[i] = (c >= 32 && c < 127) ? c : '?';
    }
    name[4] = 0;
    return name;
}

// The bytes of a resource, held until the next fetch or ReleaseHeldResource; null when the file has
// none. The resource must hold at least `needed` bytes.
static const uint8_t* FetchResource(ResType type, int16_t id, int64_t needed, int32_t* size)
{
    ReleaseHeldResource();
    gHeldResource = GetResource(type, id);
    if (!gHeldResource)
        return nullptr;
    *size = int32_t(GetHandleSize(gHeldResource));
    if (*size < needed) {
        char name[5];
        PlayfieldFault("resource '%s' %d holds %d bytes, but the header's counts need %lld",
                       TypeName(type, name), id, *size, (long long)needed);
    }
    return (const uint8_t*)*gHeldResource;
}

static float ReadFiniteFloat(const uint8_t* p, const char* what, int index)
{
    float value = BigEndianFloat(p);
    if (!std::isfinite(value))
        PlayfieldFault("%s %d is not a finite number", what, index);
    return value;
}

// Map units to world units, truncated and held inside the int32 range: items far off the map stay
// off it without overflowing.
static int32_t MapUnitsToWorldInt(uint32_t mapUnits)
{
    double world = double(mapUnits) * double(gMapToWorld);
    return world >= double(INT32_MAX) ? INT32_MAX : int32_t(world);
}

// ---------------------------------------------------------------------------------------------------------

struct PlayfieldHeader
{
    int32_t numItems;
    int32_t mapWidth, mapDepth;
    float heightDivisor;
    int32_t numSplines, numFences, numUniqueSuperTiles, numWaterPatches, numLineMarkers;
};

static bool ReadHeader(PlayfieldHeader* header)
{
    int32_t size = 0;
    const uint8_t* p = FetchResource(OSTypeFrom("Hedr"), 1000, kHeaderSize, &size);
    if (!p) {
        ShowAlert("ReadDataFromPlayfieldFile: Error reading header resource!");
        return false;
    }
    header->numItems = BigEndianS32(p + 4);
    header->mapWidth = BigEndianS32(p + 8);
    header->mapDepth = BigEndianS32(p + 12);
    header->heightDivisor = BigEndianFloat(p + 16);
    header->numSplines = BigEndianS32(p + 28);
    header->numFences = BigEndianS32(p + 32);
    header->numUniqueSuperTiles = BigEndianS32(p + 36);
    header->numWaterPatches = BigEndianS32(p + 40);
    header->numLineMarkers = BigEndianS32(p + 44);
    ReleaseHeldResource();

    if (header->mapWidth % TILES_PER_SUPERTILE)
        PlayfieldFixedFault("ReadDataFromPlayfieldFile: terrain width not a supertile multiple");
    if (header->mapDepth % TILES_PER_SUPERTILE)
        PlayfieldFixedFault("ReadDataFromPlayfieldFile: terrain depth not a supertile multiple");
    if (header->mapWidth <= 0 || header->mapDepth <= 0 || header->mapWidth > kMaxMapTiles ||
        header->mapDepth > kMaxMapTiles)
        PlayfieldFault("the map is %d x %d tiles; each side must be 8 to %d", header->mapWidth,
                       header->mapDepth, kMaxMapTiles);
    if (header->heightDivisor == 0.0f || !std::isfinite(header->heightDivisor))
        PlayfieldFault("the height divisor must be a finite number other than 0");
    if (header->numItems < 0 || header->numItems > kMaxMapItems)
        PlayfieldFault("the header's %d map items are outside 0..%d", header->numItems, kMaxMapItems);
    if (header->numSplines < 0 || header->numSplines > kMaxSplines)
        PlayfieldFault("the header's %d splines are outside 0..%d", header->numSplines, kMaxSplines);
    if (header->numFences < 0 || header->numFences > MAX_FENCES)
        PlayfieldFault("the header's %d fences are outside 0..%d", header->numFences, MAX_FENCES);
    if (header->numWaterPatches < 0 || header->numWaterPatches > MAX_WATER)
        PlayfieldFault("the header's %d water patches are outside 0..%d", header->numWaterPatches, MAX_WATER);
    if (header->numLineMarkers > MAX_LINEMARKERS)
        PlayfieldFixedFault("ReadDataFromPlayfieldFile: gNumLineMarkers > MAX_LINEMARKERS");
    if (header->numLineMarkers < 0)
        PlayfieldFault("the header's line marker count %d is negative", header->numLineMarkers);
    int32_t cells = (header->mapWidth / TILES_PER_SUPERTILE) * (header->mapDepth / TILES_PER_SUPERTILE);
    if (header->numUniqueSuperTiles < 0 || header->numUniqueSuperTiles > cells)
        PlayfieldFault("the header's %d supertile images are outside 0..%d (the grid's cells)",
                       header->numUniqueSuperTiles, cells);
    return true;
}

// Several cells may name one image index (each still has its own record in the data fork). Negative
// values all mean "empty".
static void ReadSuperTileGrid()
{
    int32_t size = 0;
    int64_t needed = int64_t(gSuperTilesWide) * gSuperTilesDeep * 2;
    const uint8_t* p = FetchResource(OSTypeFrom("STgd"), 1000, needed, &size);
    if (!p)
        PlayfieldFixedFault("ReadDataFromPlayfieldFile: Error reading supertile rez resource!");

    gSuperTileGrid = (int16_t**)Alloc2DArray(gSuperTilesDeep, gSuperTilesWide, sizeof(int16_t));
    for (int row = 0; row < gSuperTilesDeep; row++) {
        for (int col = 0; col < gSuperTilesWide; col++) {
            int16_t index = BigEndianS16(p);
            p += 2;
            if (index >= gNumUniqueSuperTiles)
                PlayfieldFault("supertile cell (%d, %d) names image %d, but there are only %d", row, col,
                               index, gNumUniqueSuperTiles);
            gSuperTileGrid[row][col] = index < 0 ? int16_t(-1) : index;
        }
    }
    ReleaseHeldResource();
}

static void ReadHeights(float heightDivisor)
{
    gHeightField = (float**)Alloc2DArray(gTerrainTileDepth + 1, gTerrainTileWide + 1, sizeof(float));
    int32_t size = 0;
    int64_t needed = int64_t(gTerrainTileDepth + 1) * (gTerrainTileWide + 1) * 4;
    const uint8_t* p = FetchResource(OSTypeFrom("YCrd"), 1000, needed, &size);
    if (!p) {
        ShowAlert("ReadDataFromPlayfieldFile: Error reading height data resource!");
        return;
    }
    float scale = gTileSize / heightDivisor;
    for (int row = 0; row <= gTerrainTileDepth; row++) {
        for (int col = 0; col <= gTerrainTileWide; col++, p += 4) {
            float height = BigEndianFloat(p) * scale;
            if (!std::isfinite(height))
                PlayfieldFault("the corner height at row %d, column %d is not a finite number", row, col);
            gHeightField[row][col] = height;
        }
    }
    ReleaseHeldResource();
}

static void ReadMapItems()
{
    int32_t size = 0;
    const uint8_t* p =
        FetchResource(OSTypeFrom("Itms"), 1000, int64_t(gNumMapItems) * kItemRecordSize, &size);
    if (!p)
        PlayfieldFixedFault("ReadDataFromPlayfieldFile: Error reading itemlist resource!");
    gMapItems =
        (MapItemType*)AllocPtrClear(int32_t(sizeof(MapItemType)) * (gNumMapItems > 0 ? gNumMapItems : 1));
    for (int i = 0; i < gNumMapItems; i++, p += kItemRecordSize) {
        MapItemType* item = &gMapItems[i];
        item->x = MapUnitsToWorldInt(BigEndianU32(p));
        item->z = MapUnitsToWorldInt(BigEndianU32(p + 4));
        item->type = BigEndianU16(p + 8);
        std::memcpy(item->parm, p + 10, 4);
        item->flags = BigEndianU16(p + 14);
        if (item->type >= NUM_MAP_ITEM_TYPES)
            PlayfieldFault("map item %d has type %d; map item types go up to %d", i, item->type,
                           NUM_MAP_ITEM_TYPES - 1);
    }
    ReleaseHeldResource();
}

static void ReadSplinePoints(int i, SplineRecordType* spline)
{
    int32_t size = 0;
    const uint8_t* p = FetchResource(OSTypeFrom("SpPt"), int16_t(1000 + i),
                                     int64_t(spline->numPoints) * kSplinePointSize, &size);
    if (!p)
        PlayfieldFixedFault("ReadDataFromPlayfieldFile: cant get spline points rez");
    spline->points =
        (SplinePointType*)AllocPtrClear(int32_t(sizeof(SplinePointType)) * (spline->numPoints + 1));
    for (int j = 0; j < spline->numPoints; j++, p += kSplinePointSize) {
        spline->points[j].x = ReadFiniteFloat(p, "a spline point", j);
        spline->points[j].z = ReadFiniteFloat(p + 4, "a spline point", j);
    }
    ReleaseHeldResource();
}

static void ReadSplineItems(int i, SplineRecordType* spline)
{
    int32_t size = 0;
    const uint8_t* p = FetchResource(OSTypeFrom("SpIt"), int16_t(1000 + i), 0, &size);
    if (!p)
        PlayfieldFixedFault("ReadDataFromPlayfieldFile: cant get spline items rez");
    if (size != kSplineItemSize * spline->numItems) {
        ClosePlayfieldForks();
        FatalAssertion("ReadDataFromPlayfieldFile", __LINE__,
                       "GetHandleSize(hand) == (Size) (sizeof(SplineItemType) * spline->numItems)");
    }
    spline->items = (SplineItemType*)AllocPtrClear(int32_t(sizeof(SplineItemType)) * (spline->numItems + 1));
    for (int j = 0; j < spline->numItems; j++, p += kSplineItemSize) {
        SplineItemType* item = &spline->items[j];
        item->placement = BigEndianFloat(p);
        item->type = BigEndianU16(p + 4);
        std::memcpy(item->parm, p + 6, 4);
        item->flags = BigEndianU16(p + 10);
        if (item->type >= NUM_SPLINE_ITEM_TYPES)
            PlayfieldFault("item %d of spline %d has type %d; spline item types go up to %d", j, i,
                           item->type, NUM_SPLINE_ITEM_TYPES - 1);
        if (!(item->placement >= 0.0f && item->placement < 1.0f))
            PlayfieldFault("item %d of spline %d has placement %g; it must lie in [0, 1)", j, i,
                           double(item->placement));
    }
    ReleaseHeldResource();
}

static void ReadSplines(int32_t headerCount)
{
    int32_t size = 0;
    const uint8_t* p =
        FetchResource(OSTypeFrom("Spln"), 1000, int64_t(headerCount) * kSplineRecordSize, &size);
    if (!p || headerCount == 0)
        return; // the level has no splines
    gSplines = (SplineRecordType*)AllocPtrClear(int32_t(sizeof(SplineRecordType)) * headerCount);
    for (int i = 0; i < headerCount; i++, p += kSplineRecordSize) {
        SplineRecordType* spline = &gSplines[i];
        spline->numNubs = BigEndianS16(p);
        spline->numPoints = BigEndianS32(p + 8);
        spline->numItems = BigEndianS16(p + 16);
        for (int k = 0; k < 4; k++)
            spline->info[k] = BigEndianS16(p + 24 + 2 * k);
    }
    ReleaseHeldResource();
    // Counted only now: FreeTerrainData walks the splines up to the count, and every record is complete.
    gNumSplines = headerCount;

    for (int i = 0; i < gNumSplines; i++) {
        SplineRecordType* spline = &gSplines[i];
        if (spline->numPoints < 0 || spline->numPoints > kMaxSplinePoints)
            PlayfieldFault("spline %d has %d points; at most %d are allowed", i, spline->numPoints,
                           kMaxSplinePoints);
        if (spline->numItems < 0)
            PlayfieldFault("spline %d has a negative item count", i);
        if (spline->numItems > 0 && spline->numPoints < kMinPointsForItems)
            PlayfieldFault("spline %d has %d points; a spline with items needs at least %d", i,
                           spline->numPoints, kMinPointsForItems);
        ReadSplinePoints(i, spline);
        ReadSplineItems(i, spline);
    }
}

static void ReadFences(int32_t headerCount)
{
    int32_t size = 0;
    const uint8_t* p =
        FetchResource(OSTypeFrom("Fenc"), 1000, int64_t(headerCount) * kFenceRecordSize, &size);
    if (!p || headerCount == 0)
        return; // the level has no fences
    gFences = (FenceRecordType*)AllocPtrClear(int32_t(sizeof(FenceRecordType)) * headerCount);
    gNumFences = headerCount;
    for (int i = 0; i < gNumFences; i++, p += kFenceRecordSize) {
        gFences[i].type = BigEndianU16(p);
        gFences[i].numNubs = BigEndianS16(p + 2);
    }
    ReleaseHeldResource();

    for (int i = 0; i < gNumFences; i++) {
        FenceRecordType* fence = &gFences[i];
        if (fence->type >= NUM_FENCE_TYPES)
            PlayfieldFault("fence %d has type %d; fence types go up to %d", i, fence->type,
                           NUM_FENCE_TYPES - 1);
        if (fence->numNubs < 2 || fence->numNubs > MAX_NUBS_IN_FENCE)
            PlayfieldFault("fence %d has %d nubs; a fence has 2 to %d", i, fence->numNubs, MAX_NUBS_IN_FENCE);
        const uint8_t* nub = FetchResource(OSTypeFrom("FnNb"), int16_t(1000 + i),
                                           int64_t(fence->numNubs) * kFenceNubSize, &size);
        if (!nub)
            PlayfieldFixedFault("ReadDataFromPlayfieldFile: cant get fence nub rez");
        fence->nubs = (Point3D*)AllocPtrClear(int32_t(sizeof(Point3D)) * fence->numNubs);
        for (int j = 0; j < fence->numNubs; j++, nub += kFenceNubSize)
            fence->nubs[j] = {float(BigEndianS32(nub)), 0.0f, float(BigEndianS32(nub + 4))};
        ReleaseHeldResource();
    }
}

static void ReadWaterPatch(const uint8_t* p, int index, WaterPatchType* water)
{
    water->type = BigEndianU16(p);
    water->flags = BigEndianU32(p + 4);
    water->height = BigEndianS32(p + 8);
    water->numNubs = BigEndianS16(p + 12);
    for (int j = 0; j < WATER_NUB_ARRAY_SIZE; j++) {
        water->nubs[j][0] = BigEndianFloat(p + 20 + 8 * j);
        water->nubs[j][1] = BigEndianFloat(p + 24 + 8 * j);
    }
    water->hotSpotX = ReadFiniteFloat(p + 820, "the hot spot of water patch", index);
    water->hotSpotZ = ReadFiniteFloat(p + 824, "the hot spot of water patch", index);
    for (int k = 0; k < 4; k++)
        water->info[k] = BigEndianS16(p + 828 + 2 * k);

    if (water->type >= NUM_WATER_TYPES)
        PlayfieldFault("water patch %d has type %d; water types go up to %d", index, water->type,
                       NUM_WATER_TYPES - 1);
    if (water->numNubs < 3 || water->numNubs > MAX_NUBS_IN_WATER)
        PlayfieldFault("water patch %d has %d nubs; a patch has 3 to %d", index, water->numNubs,
                       MAX_NUBS_IN_WATER);
    if ((water->flags & WATER_FLAG_FIXED_HEIGHT) &&
        (water->height < 1 || water->height > kNumFixedWaterHeights))
        PlayfieldFault("water patch %d asks for fixed height %d; only %d exists", index, water->height,
                       kNumFixedWaterHeights);
    for (int j = 0; j < water->numNubs; j++) {
        if (!std::isfinite(water->nubs[j][0]) || !std::isfinite(water->nubs[j][1]))
            PlayfieldFault("nub %d of water patch %d is not a finite number", j, index);
    }
}

static void ReadWaterPatches(int32_t headerCount)
{
    int32_t size = 0;
    const uint8_t* p =
        FetchResource(OSTypeFrom("Liqd"), 1000, int64_t(headerCount) * kWaterRecordSize, &size);
    if (!p || headerCount == 0)
        return; // the level has no water
    gWaterPatches = (WaterPatchType*)AllocPtrClear(int32_t(sizeof(WaterPatchType)) * headerCount);
    gNumWaterPatches = headerCount;
    for (int i = 0; i < gNumWaterPatches; i++, p += kWaterRecordSize)
        ReadWaterPatch(p, i, &gWaterPatches[i]);
    ReleaseHeldResource();
}

static void ReadLineMarkers(int32_t headerCount)
{
    if (headerCount < 1)
        return;
    int32_t size = 0;
    const uint8_t* p = FetchResource(OSTypeFrom("CkPt"), 1000, int64_t(headerCount) * kLineMarkerSize, &size);
    if (!p)
        return; // the level has no line markers
    for (int i = 0; i < headerCount; i++, p += kLineMarkerSize) {
        LineMarkerType* marker = &gLineMarkers[i];
        marker->unused0 = 0;
        marker->info = BigEndianS16(p + 2);
        marker->x1 = ReadFiniteFloat(p + 4, "line marker", i) * gMapToWorld;
        marker->x2 = ReadFiniteFloat(p + 8, "line marker", i) * gMapToWorld;
        marker->z1 = ReadFiniteFloat(p + 12, "line marker", i) * gMapToWorld;
        marker->z2 = ReadFiniteFloat(p + 16, "line marker", i) * gMapToWorld;
    }
    gNumLineMarkers = headerCount;
    ReleaseHeldResource();
}

void ReadPlayfieldResources(const FSSpec* spec)
{
    std::snprintf(gPlayfieldName, sizeof(gPlayfieldName), "%s", spec->name);
    gPlayfieldResRefNum = FSpOpenResFile(spec, fsRdPerm);
    if (gPlayfieldResRefNum == -1)
        ShowFatalAlert("LoadPlayfield: FSpOpenResFile failed.  You seem to have a corrupt or missing file.  "
                       "Please reinstall the game.");
    UseResFile(gPlayfieldResRefNum);

    PlayfieldHeader header;
    if (ReadHeader(&header)) {
        gTerrainTileWide = header.mapWidth;
        gTerrainTileDepth = header.mapDepth;
        gSuperTilesWide = header.mapWidth / TILES_PER_SUPERTILE;
        gSuperTilesDeep = header.mapDepth / TILES_PER_SUPERTILE;
        gMapWidthUnits = int32_t(float(header.mapWidth) * gTileSize);
        gMapDepthUnits = int32_t(float(header.mapDepth) * gTileSize);
        gNumUniqueSuperTiles = header.numUniqueSuperTiles;
        gNumMapItems = header.numItems;

        ReadSuperTileGrid();
        ReadHeights(header.heightDivisor);
        ReadMapItems();
        ReadSplines(header.numSplines);
        ReadFences(header.numFences);
        ReadWaterPatches(header.numWaterPatches);
        ReadLineMarkers(header.numLineMarkers);
    }
    ClosePlayfieldForks();
}
