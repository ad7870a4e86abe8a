// Loading a playfield and the tables derived from it: tile splits, the item list grouped by
// supertile, the player starts, the baked tree shadows; and freeing it all again.

#include "Terrain/Fences.h"
#include "Terrain/TerrainLocal.h"
#include "Terrain/Water.h"

#include "3D/OGL_Support.h"
#include "System/Alerts.h"
#include "System/Memory.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

constexpr float kShadowShade = 0.7f;
constexpr float kShadowLength = 1000.0f;
constexpr float kStartHeadingStep = 0.7853982f; // start items give the heading in eighths of a turn

void LoadPlayfield(const Tarnet::FSSpec* spec)
{
    LoadPlayfieldData(spec, kPlayfieldImages_MakeTextures);
}

void ReadDataFromPlayfieldFile(const Tarnet::FSSpec* spec)
{
    if (gSuperTilePixelBuffers)
        ShowFatalAlert("gSuperTilePixelBuffers already allocated!");
    FreeTerrainData();
    ReadPlayfieldResources(spec);
    ReadSuperTileImages(spec, kPlayfieldImages_MakeTextures);
}

void LoadPlayfieldData(const Tarnet::FSSpec* spec, PlayfieldImageMode mode)
{
    // Supertiles built before play begins are drawn at once, without the staggered first draw.
    gTerrainLoading = true;

    if (gSuperTilePixelBuffers)
        ShowFatalAlert("gSuperTilePixelBuffers already allocated!");
    FreeTerrainData();
    ReadPlayfieldResources(spec);
    ReadSuperTileImages(spec, mode);

    // Mesh memory lives in a vertex-array pool, which only a game view has.
    if (mode == kPlayfieldImages_MakeTextures)
        CreateSuperTileMemoryList();
    BuildTileSplitFlags();
    if (gSuperTilesWide > 0)
        gSuperTileCells =
            (SuperTileStatus**)Alloc2DArray(gSuperTilesDeep, gSuperTilesWide, sizeof(SuperTileStatus));
    BuildTerrainItemList();
    BuildVertexShade();
}

// Each tile is cut along the diagonal whose ends differ least in height, so that the cut follows
// ridges and valleys; the meshes use the same flags, so drawn surface and height query agree.
void BuildTileSplitFlags()
{
    if (gTerrainTileWide <= 0)
        return;
    gTileSplit = (uint8_t**)Alloc2DArray(gTerrainTileDepth, gTerrainTileWide, sizeof(uint8_t));
    for (int row = 0; row < gTerrainTileDepth; row++) {
        for (int col = 0; col < gTerrainTileWide; col++) {
            float tl = gHeightField[row][col], tr = gHeightField[row][col + 1];
            float bl = gHeightField[row + 1][col], br = gHeightField[row + 1][col + 1];
            if (tl == tr && tl == bl && tl == br)
                gTileSplit[row][col] = 0;
            else
                gTileSplit[row][col] = std::fabs(tr - bl) <= std::fabs(tl - br) ? 1 : 0;
        }
    }
}

// The item list regrouped so that each supertile's items are one contiguous run, supertiles row by
// row, items of a supertile in file order. Items off the map belong to no supertile and are dropped:
// they could never be added.
void BuildTerrainItemList()
{
    if (gNumMapItems <= 0)
        ShowFatalAlert("BuildTerrainItemList: there must be at least 1 terrain item!");

    gItemCells = (SuperTileItemIndexType**)Alloc2DArray(gSuperTilesDeep, gSuperTilesWide,
                                                        sizeof(SuperTileItemIndexType));
    int32_t* cellOf = (int32_t*)AllocPtr(gNumMapItems * int32_t(sizeof(int32_t)));
    for (int i = 0; i < gNumMapItems; i++) {
        int col = int(float(gMapItems[i].x) * gSuperTileSizeInv);
        int row = int(float(gMapItems[i].z) * gSuperTileSizeInv);
        bool inside = col >= 0 && row >= 0 && col < gSuperTilesWide && row < gSuperTilesDeep;
        cellOf[i] = inside ? row * gSuperTilesWide + col : -1;
        if (inside)
            gItemCells[row][col].count++;
    }

    int16_t next = 0;
    for (int row = 0; row < gSuperTilesDeep; row++) {
        for (int col = 0; col < gSuperTilesWide; col++) {
            gItemCells[row][col].first = next;
            next = int16_t(next + gItemCells[row][col].count);
            gItemCells[row][col].count = 0;
        }
    }

    MapItemType* grouped = (MapItemType*)AllocPtrClear(gNumMapItems * int32_t(sizeof(MapItemType)));
    for (int i = 0; i < gNumMapItems; i++) {
        if (cellOf[i] < 0)
            continue;
        SuperTileItemIndexType* cell = &gItemCells[cellOf[i] / gSuperTilesWide][cellOf[i] % gSuperTilesWide];
        MapItemType* item = &grouped[cell->first + cell->count++];
        *item = gMapItems[i];
        item->terrainY = TerrainHeightAt(float(item->x), float(item->z));
    }
    SafeDisposePtr(cellOf);
    SafeDisposePtr(gMapItems);
    gMapItems = grouped;
    gNumMapItems = next;

    FindPlayerStartCoordItems();
    if (gItemListBuiltProc)
        gItemListBuiltProc();
}

void FindPlayerStartCoordItems()
{
    std::memset(gPlayerStarts, 0, sizeof(gPlayerStarts));
    for (int i = 0; i < gNumMapItems; i++) {
        const MapItemType* item = &gMapItems[i];
        if (item->type != 0 || item->parm[0] >= MAX_TERRAIN_PLAYERS)
            continue;
        PlayerStartType* start = &gPlayerStarts[item->parm[0]];
        if (start->found)
            ShowFatalAlert("FindPlayerStartCoordItems:  duplicate start item for player #%d", item->parm[0]);
        start->found = true;
        start->x = item->x;
        start->z = item->z;
        start->heading = float(item->parm[1]) * kStartHeadingStep;
    }
}

// Trees (item types 1 and 2) darken the vertices along the line from their foot away from the sun.
static void ShadeAlongTreeShadow(const MapItemType* item, float dirX, float dirZ, float length)
{
    float sx = float(item->x), sz = float(item->z);
    float ex = sx + dirX * length, ez = sz + dirZ * length;
    float steps = std::sqrt((ex - sx) * (ex - sx) + (ez - sz) * (ez - sz)) * gTileSizeInv;
    for (int k = 0;; k++) {
        float t = steps > 1.0f ? 1.0f - float(k) / steps : (k == 0 ? 1.0f : 0.0f);
        if (t <= 0.0f)
            break;
        float px = t * ex + (1.0f - t) * sx, pz = t * ez + (1.0f - t) * sz;
        for (float dz = -0.5f; dz <= 0.5f; dz += 0.5f) {
            for (float dx = -0.5f; dx <= 0.5f; dx += 0.5f) {
                int row = int(pz * gTileSizeInv + dz), col = int(px * gTileSizeInv + dx);
                if (row >= 0 && row < gTerrainTileDepth && col >= 0 && col < gTerrainTileWide)
                    gVertexShade[row][col] = kShadowShade;
            }
        }
    }
}

void BuildVertexShade()
{
    if (gTerrainTileWide <= 0)
        return;
    gVertexShade = (float**)Alloc2DArray(gTerrainTileDepth + 1, gTerrainTileWide + 1, sizeof(float));
    for (int row = 0; row <= gTerrainTileDepth; row++)
        for (int col = 0; col <= gTerrainTileWide; col++)
            gVertexShade[row][col] = 1.0f;

    // Tools that read a playfield without a game view have no sun, so no shadows.
    if (!gGameViewInfoPtr)
        return;
    const Vector3D* light = &gGameViewInfoPtr->lightDirection[0];
    Vector2D ground = {light->x, light->z};
    Normalize2(&ground, &ground);
    float length = (1.0f - light->y) * kShadowLength;
    for (int i = 0; i < gNumMapItems; i++) {
        if (gMapItems[i].type == 1 || gMapItems[i].type == 2)
            ShadeAlongTreeShadow(&gMapItems[i], ground.x, ground.y, length);
    }
}

static void FreeAndClear(void* pointerToPointer)
{
    void** p = (void**)pointerToPointer;
    SafeDisposePtr(*p);
    *p = nullptr;
}

void FreeTerrainData()
{
    ClosePlayfieldForks(); // a read that ended in an exception leaves them open
    FreePlayfieldImageBuffers();
    FreeSuperTileMemoryList();

    if (gSuperTileMaterials) {
        for (int i = 0; i < gNumUniqueSuperTiles; i++) {
            if (gSuperTileMaterials[i])
                MO_DisposeObjectReference(gSuperTileMaterials[i]);
        }
        FreeAndClear(&gSuperTileMaterials);
    }
    for (int i = 0; i < gNumSplines; i++) {
        SafeDisposePtr(gSplines[i].points);
        SafeDisposePtr(gSplines[i].items);
    }
    FreeAndClear(&gSplines);
    DisposeFenceGeometry();
    DisposeWaterGeometry();
    for (int i = 0; i < gNumFences; i++) {
        SafeDisposePtr(gFences[i].nubs);
        SafeDisposePtr(gFences[i].sectionVectors);
        SafeDisposePtr(gFences[i].sectionNormals);
    }
    FreeAndClear(&gFences);
    FreeAndClear(&gWaterPatches);
    FreeAndClear(&gMapItems);
    FreeAndClear(&gItemCells);
    FreeAndClear(&gSuperTileGrid);
    FreeAndClear(&gSuperTileCells);
    FreeAndClear(&gHeightField);
    FreeAndClear(&gTileSplit);
    FreeAndClear(&gVertexShade);

    gNumSplines = gNumFences = gNumWaterPatches = gNumMapItems = gNumLineMarkers = 0;
    gNumUniqueSuperTiles = 0;
    gTerrainTileWide = gTerrainTileDepth = 0;
    gSuperTilesWide = gSuperTilesDeep = 0;
    gMapWidthUnits = gMapDepthUnits = 0;
}
