// The nine levels: their table (scene, mode, size, mini-map window), the working record a level is
// designed in, and the steps that shape, furnish, paint and write it. Everything is a pure function
// of the level's seed.
#pragma once

#include "DataForge/Writers/ImageWriter.h"
#include "DataForge/Writers/PlayfieldWriter.h"
#include "System/Level.h"

#include <cstdint>
#include <filesystem>
#include <vector>

// The game's scenes and modes, under the names the generator's code reads best with.
enum LevelScene
{
    kSceneForest = kScene_Forest,
    kSceneDesert = kScene_Desert,
    kSceneSwamp = kScene_Swamp,
};

enum LevelMode
{
    kModeAdventure = kPlayMode_Adventure,
    kModeRace = kPlayMode_Race,
    kModeBattle = kPlayMode_Battle,
    kModeCapture = kPlayMode_CaptureTheFlag,
};

// A level as the generator makes it. Its name, scene and mode are the game's level table's.
struct LevelInfo
{
    const char* name; // the playfield and mini-map file name
    int index;        // the game's level index
    LevelScene scene;
    LevelMode mode;
    int superTiles; // supertiles along each side
    uint32_t seed;
    float mapLeft, mapTop, mapSpan; // the mini-map's window in map units
};

constexpr int kNumLevels = NUM_LEVELS;
extern const LevelInfo kLevelInfos[kNumLevels];

constexpr float kTileWorld = 210.0f;
constexpr float kMapUnitWorld = 210.0f / 32.0f;
constexpr float kSuperTileWorld = 1680.0f;
constexpr float kFixedWaterHeight = 400.0f; // water patches with the fixed-height flag

// A small deterministic random generator for placement.
struct LevelRandom
{
    uint64_t state;
    explicit LevelRandom(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t Next();
    float Unit();                    // [0, 1)
    float Range(float lo, float hi); // [lo, hi)
    int Int(int lo, int hi);         // [lo, hi]
};

struct Lake
{
    float x, z, radius; // world units; the water patch covers the basin below the fixed water height
};

struct Trail
{
    std::vector<std::pair<float, float>> points; // world x, z
    float width;                                 // world units
};

// A level while it is designed: corner heights and per-corner paint fields at tile resolution.
struct LevelWork
{
    const LevelInfo* info = nullptr;
    int tiles = 0;                 // tiles along each side
    std::vector<float> heights;    // (tiles + 1)^2 corner heights, world units
    std::vector<float> trailField; // 0..1 how much of a trail lies on each corner
    std::vector<float> grain;      // the painting's tileable detail noise
    std::vector<Lake> lakes;
    std::vector<Trail> trails;
    std::vector<std::pair<float, float>> course; // race course centre line, world units, closed
    PlayfieldDescription playfield;
    LevelRandom random{0};

    float& Height(int row, int col) { return heights[size_t(row) * (tiles + 1) + col]; }
    float Height(int row, int col) const { return heights[size_t(row) * (tiles + 1) + col]; }
    float GroundAt(float x, float z) const; // bilinear over the corners, world units
    float SlopeAt(float x, float z) const;  // rise per unit run
    bool InWater(float x, float z) const;   // inside a lake's water patch
    float Extent() const { return float(tiles) * kTileWorld; }
};

// Shaping (TerrainShape.cpp): the height field with hills, valleys, lakes, trails and the rim.
void ShapeTerrain(LevelWork& level);
// Furnishing (LevelsItems.cpp, LevelsModes.cpp): items, splines, fences, water patches, markers.
void FurnishLevel(LevelWork& level);
void AddModeContent(LevelWork& level);
// Enemies (LevelsEnemies.cpp): raptor packs around the raptors placed, none on race levels.
void PlaceEnemyPacks(LevelWork& level);
// The hazards of the scene laid along the first player's way in (LevelsHazards.cpp).
void AddHazardGauntlet(LevelWork& level);
// Painting (TerrainPaint.cpp): one 256 x 256 image per supertile, and the mini-map.
void PrepareTerrainPaint(LevelWork& level);                // once the ground is shaped
float PatchAt(const LevelWork& level, float x, float z);   // 0..1 the painting's patch noise
float WetnessAt(const LevelWork& level, float x, float z); // 0 dry .. 1 mid-lake; shores near 0.5
float TrailOn(const LevelWork& level, float x, float z);   // 0..1 trail or course under the point
std::vector<uint8_t> PaintSuperTile(const LevelWork& level, int row, int col);
Image PaintMiniMap(const LevelWork& level);

// Item helpers shared by the furnishing files.
PlayfieldItem ItemAt(float worldX, float worldZ, uint16_t type, uint8_t p0 = 0, uint8_t p1 = 0,
                     uint8_t p3 = 0);
uint8_t HeadingParm(float dirX, float dirZ); // eighths of a turn facing along (dirX, dirZ)
// A closed loop of spline points (map units) about 1 map unit apart through the world-space ring.
PlayfieldSpline LoopSpline(const std::vector<std::pair<float, float>>& ring);
std::pair<float, float> FindGround(LevelWork& level, float x, float z); // dry, gentle ground near a point
std::vector<std::pair<float, float>> PatrolRing(LevelWork& level, float cx, float cz, float radius);
// The time-demo camera path (LevelsTimeDemo.cpp): from the start past the level's water, woods, enemy
// paths and hazards, one point per world unit, as long as the demo should last at 450 points a second.
void AddTimeDemoPath(LevelWork& level, float startX, float startZ);
