// Terrain.h: the level's ground. A playfield file (":terrain:<level>.ter") holds a height field of
// square tiles grouped into 8 x 8 supertiles, one 256 x 256 image per supertile, and the lists of
// everything placed on the ground: map items, splines with their items, fences, water patches and
// line markers. LoadPlayfield reads it once per level and derives the tables the game queries every
// frame (height and normal under a point, tile splits, vertex shade, items per supertile).
//
// Supertiles are drawn as 9 x 9-vertex meshes built on demand inside a window of supertiles around
// each player's camera, from a fixed pool of 1296 mesh slots; each supertile's texture is 258 x 258
// so that its one-pixel border repeats the neighbours' edge pixels and filtering shows no seams.
//
// Coordinates: x grows across the map, z grows down the grid, y is up. Grid cell (row, col) lies at
// z = row x size, x = col x size. The file gives positions in map units of 1/32 tile.
//
// Every fault in a playfield file is a fatal alert naming the file and what was wrong.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"
#include "3D/MetaObjects.h"
#include "Tarnet/MacTypes.h"

struct ObjNode;

// ---------------------------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------------------------

constexpr int TILES_PER_SUPERTILE = 8;
constexpr int MAP_UNITS_PER_TILE = 32;
constexpr int SUPERTILE_TEXTURE_SIZE = 256;          // pixels along a supertile image edge
constexpr int SUPERTILE_TEXTURE_SIZE_BORDERED = 258; // the texture: image plus a one-pixel border
constexpr int SUPERTILE_POOL_SIZE = 1296;            // mesh slots
constexpr int SUPERTILE_VERTICES = 81;               // 9 x 9 per mesh
constexpr int SUPERTILE_TRIANGLES = 128;             // two per tile
constexpr int DEFAULT_TILE_SIZE = 210;               // world units per tile edge
constexpr int SUPERTILE_RANGE = 9;                   // window radius in supertiles
constexpr int SUPERTILE_RANGE_REDUCED = 7;           // with the reduced-detail preference
constexpr int MAX_TERRAIN_PLAYERS = 2;               // windows, start items
constexpr int MAX_LINEMARKERS = 100;
constexpr int MAX_FENCES = 90;
constexpr int MAX_NUBS_IN_FENCE = 80;
constexpr int MAX_WATER = 60;
constexpr int MAX_NUBS_IN_WATER = 80;
constexpr int WATER_NUB_ARRAY_SIZE = 100; // nub slots stored in every water record
constexpr int NUM_WATER_TYPES = 11;
constexpr int NUM_FENCE_TYPES = 2;
constexpr int NUM_MAP_ITEM_TYPES = 49;    // types 0..48
constexpr int NUM_SPLINE_ITEM_TYPES = 50; // types 0..49
constexpr float TERRAIN_HEIGHT_NO_MAP = -10000.0f;

constexpr uint16_t ITEM_FLAG_ADDED = 0x1; // the item's object exists, or the item needs none
constexpr uint16_t ITEM_FLAG_SPENT = 0x2; // item-specific: empty nest, spent electrode, base only

constexpr uint32_t WATER_FLAG_FIXED_HEIGHT = 0x1; // height from the fixed table, else the hot spot's ground

// Supertile cell status bits.
constexpr uint8_t SUPERTILE_MODE_BUILT = 0x1;     // the cell has a slot with a built mesh
constexpr uint8_t SUPERTILE_MODE_IN_WINDOW = 0x2; // the cell is in some player's window this frame

// ---------------------------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------------------------

struct MapItemType
{
    int32_t x, z; // world units
    uint16_t type;
    uint8_t parm[4];
    uint16_t flags;
    float terrainY; // ground height under the item
};

struct SplineItemType
{
    float placement; // 0 <= p < 1 along the spline's points
    uint16_t type;
    uint8_t parm[4];
    uint16_t flags;
};

struct SplinePointType
{
    float x, z; // map units as read; world units once the spline items are primed
};

struct SplineRecordType
{
    int16_t numNubs; // stored only
    int32_t numPoints;
    SplinePointType* points;
    int16_t numItems;
    SplineItemType* items;
    int16_t info[4]; // kept, no use
};

struct FenceRecordType
{
    uint16_t type;
    int16_t numNubs;
    Point3D* nubs;            // (x, 0, z) in map units as read; world units on the ground once primed
    BoundingBox bounds;       // world bounds of the built fence, once primed
    Vector2D* sectionVectors; // numNubs - 1 unit directions (x, z) from nub j to nub j + 1, once primed
    Vector2D* sectionNormals; // numNubs - 1 unit perpendiculars (-dir.z, dir.x), once primed
};

// Byte-swapped in place from the file's 836-byte record; used directly by the water code.
struct WaterPatchType
{
    uint16_t type;
    uint16_t unused0;
    uint32_t flags;
    int32_t height; // index into the fixed water heights, counted from 1
    int16_t numNubs;
    uint8_t unused1[6];
    float nubs[WATER_NUB_ARRAY_SIZE][2]; // x, z in map units
    float hotSpotX, hotSpotZ;            // map units
    int16_t info[4];
};
static_assert(sizeof(WaterPatchType) == 836, "water patches are used as stored in the file");

struct LineMarkerType
{
    int16_t unused0;
    int16_t info;         // read, no use
    float x1, x2, z1, z2; // world units: the marker is the segment (x1, z1) - (x2, z2)
};

// The items of one supertile: gMapItems[first .. first + count - 1].
struct SuperTileItemIndexType
{
    int16_t count;
    int16_t first;
};

struct SuperTileStatus
{
    int16_t slot;       // index into gSuperTileSlots while built
    uint8_t mode;       // SUPERTILE_MODE_...
    uint8_t windowBits; // bit i: in player i's window this frame
};

struct SuperTileSlot
{
    uint8_t drawDelay; // terrain draw calls that skip the supertile before it is first drawn
    bool inUse;
    float centerX, centerY, centerZ;
    int32_t left, top;        // world x and z of the supertile's corner
    int32_t tileRow, tileCol; // map tile of its first tile
    VertexArrayGeometry* mesh;
    BoundingBox bounds;
};

// Where a player starts, from the level's start items.
struct PlayerStartType
{
    bool found;
    int32_t x, z;  // world units
    float heading; // radians
};

// Creates the object of one map item type when its supertile comes into range; true when the item
// counts as added.
typedef bool (*MapItemAddRoutine)(MapItemType* item, float x, float z);

// ---------------------------------------------------------------------------------------------------------
// Terrain constants (TerrainConstants.cpp)
// ---------------------------------------------------------------------------------------------------------

extern float gTileSize, gTileSizeInv;
extern float gSuperTileSize, gSuperTileSizeInv;
extern float gMapToWorld, gWorldToMap;
extern int32_t gSuperTileRange; // window radius in supertiles

// Program start: the 210-based constants and the supertile triangle tables.
void InitTerrainManager();
// Every size constant from one tile size; the window radius from the reduced-detail preference.
void SetTerrainScale(int tileSize);

// ---------------------------------------------------------------------------------------------------------
// Terrain data, alive from LoadPlayfield until FreeTerrainData
// ---------------------------------------------------------------------------------------------------------

extern int32_t gTerrainTileWide, gTerrainTileDepth; // map size in tiles
extern int32_t gSuperTilesWide, gSuperTilesDeep;
extern int32_t gMapWidthUnits, gMapDepthUnits; // map extent in world units
extern int16_t** gSuperTileGrid;               // [deep][wide] image index, -1 = empty cell
extern int32_t gNumUniqueSuperTiles;
extern float** gHeightField; // [depth + 1][width + 1] corner heights, world units
extern uint8_t** gTileSplit; // [depth][width] 1 = cut top-right to bottom-left, 0 = top-left to bottom-right
extern float** gVertexShade; // [depth + 1][width + 1] 1.0, or 0.7 in a tree's shadow
extern MapItemType* gMapItems; // grouped by supertile, row by row
extern int32_t gNumMapItems;
extern SuperTileItemIndexType** gItemCells; // [deep][wide]
extern SplineRecordType* gSplines;
extern int32_t gNumSplines;
extern FenceRecordType* gFences;
extern int32_t gNumFences;
extern WaterPatchType* gWaterPatches;
extern int32_t gNumWaterPatches;
extern LineMarkerType gLineMarkers[MAX_LINEMARKERS];
extern int32_t gNumLineMarkers;
extern uint8_t** gSuperTilePixelBuffers; // decoded images, only while the file is read
extern MetaObject** gSuperTileMaterials; // one texture material per image
extern Vector3D gLastTerrainNormal;      // of the triangle found by the last TerrainHeightAt that hit the map
extern PlayerStartType gPlayerStarts[MAX_TERRAIN_PLAYERS];

// Reports loading progress 0..1 while the images are read; null shows nothing. The level cycle
// points it at its loading bar.
extern void (*gPlayfieldProgressProc)(float fraction);
// Runs once the item list is built and grouped; the level cycle points it at the egg count.
extern void (*gItemListBuiltProc)();

// ---------------------------------------------------------------------------------------------------------
// The playfield file (PlayfieldFile.cpp, PlayfieldImages.cpp, TerrainTables.cpp)
// ---------------------------------------------------------------------------------------------------------

// Reads the level's playfield and builds every derived table; needs the game view (lights, vertex
// pools). Fatal on any fault in the file.
void LoadPlayfield(const Tarnet::FSSpec* spec);
// The reading part of LoadPlayfield: both forks into the terrain globals, textures made.
void ReadDataFromPlayfieldFile(const Tarnet::FSSpec* spec);
// Frees every terrain table, the supertile meshes and materials; all counts zero. Safe to repeat.
void FreeTerrainData();

// ---------------------------------------------------------------------------------------------------------
// Queries (TerrainQueries.cpp)
// ---------------------------------------------------------------------------------------------------------

// Height of the drawn surface at (x, z); 0 off the map, -10000 with no map loaded. Sets
// gLastTerrainNormal when it hits the map.
float TerrainHeightAt(float x, float z);
// Unit normal of the surface at (x, z); straight up off the map.
void GetTerrainNormalAt(float x, float z, Vector3D* normal);
// Lowest ground under (x, z) and the four corners of a box (local, scaled by scale) placed there.
float LowestTerrainUnderBox(float x, float z, const BoundingBox* box, float scale);
// The same for the box of model `model` of model group `group`, so wide models do not float on slopes.
// Fatal for a group or model that is not loaded.
float LowestTerrainUnderModel(float x, float z, int group, int model, float scale);
// Puts obj on the ground at yOffset, its up axis along normal (gLastTerrainNormal when null), facing
// along its heading; the transform gets the object's scale last.
void AlignToTerrain(ObjNode* obj, float yOffset, const Vector3D* normal);
// Off the map, or the supertile under the point is in no player's window this frame.
bool IsPointOutOfRange(float x, float z);
bool IsObjectOutOfRange(const ObjNode* obj); // never for NODEBIT_ALWAYS_IN_RANGE
// The first line marker crossed by obj's move from OldPosition to gWorkPos (x/z), or -1.
int CrossedLineMarker(const ObjNode* obj);
float MapUnitsToWorld(float mapUnits); // x gMapToWorld
float WorldToMapUnits(float world);    // x gWorldToMap

// ---------------------------------------------------------------------------------------------------------
// Supertiles (Supertiles.cpp, SupertileWindows.cpp, SupertileDraw.cpp)
// ---------------------------------------------------------------------------------------------------------

extern SuperTileSlot gSuperTileSlots[SUPERTILE_POOL_SIZE];
extern int16_t gNumFreeSuperTiles;
extern SuperTileStatus** gSuperTileCells; // [deep][wide]
extern bool gTerrainLoading;              // built supertiles are drawn at once while set
extern int16_t gSuperTilesDrawn;          // by the last terrain draw call
extern int32_t gWindowLeft[MAX_TERRAIN_PLAYERS], gWindowTop[MAX_TERRAIN_PLAYERS];
extern int32_t gPrevWindowLeft[MAX_TERRAIN_PLAYERS], gPrevWindowTop[MAX_TERRAIN_PLAYERS];

// Item adding, as supertiles come into a window: what each map item type creates. A null entry adds
// nothing (the item is tried again the next time its supertile is scanned). The items module fills it.
extern MapItemAddRoutine gMapItemAddRoutines[NUM_MAP_ITEM_TYPES];

// The mesh records and their pool-2 arrays, every slot free; by LoadPlayfield.
void CreateSuperTileMemoryList();
// Previous window corners forgotten, current ones from the start items, and the terrain's draw object.
void InitSuperTileWindows();
// Once per frame before drawing: windows follow the cameras, meshes are built, items are added.
void UpdateSuperTileWindows();
void DrawTerrain(ObjNode* node);                  // draw routine of the terrain object, per pane and eye
int BuildSuperTileMesh(int tileCol, int tileRow); // a slot with the mesh of the supertile at that tile
// The items of one supertile that are not yet added: each added through gMapItemAddRoutines.
void AddItemsInSuperTile(int row, int col);
// The supertile image of a cell while the file is read; null outside the grid or for an empty cell.
uint8_t* GetSuperTileImage(int row, int col);
// The 258 x 258 RGBA texture of a cell: its image with a border from the neighbours' edge pixels.
void AssembleSeamlessSuperTileTexture(int row, int col, uint8_t* buffer);
