// The terrain's size constants, its globals, and the tables made once at program start.

#include "Terrain/TerrainLocal.h"

#include "System/Alerts.h"
#include "System/Memory.h"
#include "System/Prefs.h"

#include <cstring>

float gTileSize, gTileSizeInv;
float gSuperTileSize, gSuperTileSizeInv;
float gMapToWorld, gWorldToMap;
int32_t gSuperTileRange = SUPERTILE_RANGE;

int32_t gTerrainTileWide, gTerrainTileDepth;
int32_t gSuperTilesWide, gSuperTilesDeep;
int32_t gMapWidthUnits, gMapDepthUnits;
int16_t** gSuperTileGrid;
int32_t gNumUniqueSuperTiles;
float** gHeightField;
uint8_t** gTileSplit;
float** gVertexShade;
MapItemType* gMapItems;
int32_t gNumMapItems;
SuperTileItemIndexType** gItemCells;
SplineRecordType* gSplines;
int32_t gNumSplines;
FenceRecordType* gFences;
int32_t gNumFences;
WaterPatchType* gWaterPatches;
int32_t gNumWaterPatches;
LineMarkerType gLineMarkers[MAX_LINEMARKERS];
int32_t gNumLineMarkers;
uint8_t** gSuperTilePixelBuffers;
MetaObject** gSuperTileMaterials;
Vector3D gLastTerrainNormal = {0, 1, 0};
PlayerStartType gPlayerStarts[MAX_TERRAIN_PLAYERS];
void (*gPlayfieldProgressProc)(float fraction);
void (*gItemListBuiltProc)();

uint32_t gSuperTileTriangleTables[2][TILES_PER_SUPERTILE * TILES_PER_SUPERTILE][6];

void InitTerrainManager()
{
    SetTerrainScale(DEFAULT_TILE_SIZE);
    BuildSuperTileTriangleTables();
}

void SetTerrainScale(int tileSize)
{
    GAME_ASSERT(tileSize > 0);
    gTileSize = float(tileSize);
    gTileSizeInv = 1.0f / gTileSize;
    gSuperTileSize = gTileSize * TILES_PER_SUPERTILE;
    gSuperTileSizeInv = 1.0f / gSuperTileSize;
    gMapToWorld = gTileSize / MAP_UNITS_PER_TILE;
    gWorldToMap = 1.0f / gMapToWorld;
    gSuperTileRange = gPrefs.reducedDetail ? SUPERTILE_RANGE_REDUCED : SUPERTILE_RANGE;
}

// Vertex index = row x 9 + column. Split 1 cuts the tile from its top-right to its bottom-left
// corner, split 0 from its top-left to its bottom-right; both keep the triangles facing up.
void BuildSuperTileTriangleTables()
{
    constexpr uint32_t kRow = TILES_PER_SUPERTILE + 1;
    for (int r = 0; r < TILES_PER_SUPERTILE; r++) {
        for (int c = 0; c < TILES_PER_SUPERTILE; c++) {
            uint32_t v = uint32_t(r) * kRow + uint32_t(c);
            int tile = r * TILES_PER_SUPERTILE + c;
            const uint32_t split1[6] = {v + 1, v, v + kRow, v + kRow + 1, v + 1, v + kRow};
            const uint32_t split0[6] = {v + kRow, v + kRow + 1, v, v + kRow + 1, v + 1, v};
            std::memcpy(gSuperTileTriangleTables[1][tile], split1, sizeof(split1));
            std::memcpy(gSuperTileTriangleTables[0][tile], split0, sizeof(split0));
        }
    }
}

void** Alloc2DArray(int32_t rows, int32_t cols, int32_t elementSize)
{
    GAME_ASSERT(rows > 0 && cols > 0 && elementSize > 0);
    int64_t tableBytes = (int64_t(rows) * int64_t(sizeof(void*)) + 15) & ~int64_t(15);
    int64_t total = tableBytes + int64_t(rows) * cols * elementSize;
    if (total > INT32_MAX)
        ShowFatalAlert("Alloc_2d_array failed!");
    uint8_t* block = (uint8_t*)AllocPtrClear(int32_t(total));
    void** table = (void**)block;
    for (int32_t r = 0; r < rows; r++)
        table[r] = block + tableBytes + int64_t(r) * cols * elementSize;
    return table;
}
