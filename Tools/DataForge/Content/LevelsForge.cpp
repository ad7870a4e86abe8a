// The nine levels: each is shaped, furnished, painted and written as a playfield (data fork of
// supertile images plus its resource fork), with its mini-map picture. Levels are independent, so two
// workers share them; every level's bytes depend only on its own seed.

#include "DataForge/Content/Levels.h"
#include "DataForge/Forge.h"
#include "DataForge/Writers/BigEndianWriter.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

// Name, scene and mode come from the game's level table; the rest is the generator's own.
static LevelInfo MakeLevelInfo(int index, int superTiles, uint32_t seed, float mapLeft, float mapTop,
                               float mapSpan)
{
    const LevelDefinition& level = kLevelTable[index];
    return {
        level.fileName, index,  LevelScene(level.scene), LevelMode(level.playMode), superTiles, seed, mapLeft,
        mapTop,         mapSpan};
}

// Mini-map windows: the game maps map units to the picture through fixed per-level constants.
const LevelInfo kLevelInfos[kNumLevels] = {
    MakeLevelInfo(0, 24, 1101, 1175, 911, 9090.9f),  MakeLevelInfo(1, 24, 2202, 527, 275, 9460.7f),
    MakeLevelInfo(2, 24, 3303, 496, 192, 9718.2f),   MakeLevelInfo(3, 16, 4404, 779, 317, 6835.3f),
    MakeLevelInfo(4, 16, 5505, 743, 329, 6718.0f),   MakeLevelInfo(5, 10, 6606, 2732, 1328, 2695.4f),
    MakeLevelInfo(6, 10, 7707, 3152, 1692, 1832.0f), MakeLevelInfo(7, 14, 8808, 1499, 809, 5002.5f),
    MakeLevelInfo(8, 14, 9909, 2544, 728, 3656.3f),
};

constexpr int kSuperTileJpegQuality = 88;
constexpr int kMiniMapJpegQuality = 90;
constexpr int kWorkers = 2;

uint32_t LevelRandom::Next()
{
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return uint32_t((state * 0x2545F4914F6CDD1Dull) >> 32);
}

float LevelRandom::Unit()
{
    return float(Next() >> 8) / float(1u << 24);
}

float LevelRandom::Range(float lo, float hi)
{
    return lo + (hi - lo) * Unit();
}

int LevelRandom::Int(int lo, int hi)
{
    return lo + int(Next() % uint32_t(hi - lo + 1));
}

float LevelWork::GroundAt(float x, float z) const
{
    float fx = std::clamp(x / kTileWorld, 0.0f, float(tiles) - 0.001f);
    float fz = std::clamp(z / kTileWorld, 0.0f, float(tiles) - 0.001f);
    int col = int(fx), row = int(fz);
    float tx = fx - float(col), tz = fz - float(row);
    float top = Height(row, col) + (Height(row, col + 1) - Height(row, col)) * tx;
    float bottom = Height(row + 1, col) + (Height(row + 1, col + 1) - Height(row + 1, col)) * tx;
    return top + (bottom - top) * tz;
}

float LevelWork::SlopeAt(float x, float z) const
{
    float dx = GroundAt(x + 100, z) - GroundAt(x - 100, z);
    float dz = GroundAt(x, z + 100) - GroundAt(x, z - 100);
    return std::sqrt(dx * dx + dz * dz) / 200.0f;
}

bool LevelWork::InWater(float x, float z) const
{
    for (const Lake& lake : lakes) {
        float dx = x - lake.x, dz = z - lake.z;
        if (dx * dx + dz * dz < lake.radius * lake.radius)
            return true;
    }
    return false;
}

PlayfieldItem ItemAt(float worldX, float worldZ, uint16_t type, uint8_t p0, uint8_t p1, uint8_t p3)
{
    PlayfieldItem item = {uint32_t(std::max(0.0f, worldX / kMapUnitWorld)),
                          uint32_t(std::max(0.0f, worldZ / kMapUnitWorld)),
                          type,
                          {p0, p1, 0, p3},
                          0};
    return item;
}

uint8_t HeadingParm(float dirX, float dirZ)
{
    // A heading of theta faces (-sin theta, -cos theta).
    float theta = std::atan2(-dirX, -dirZ);
    int eighths = int(std::lround(theta / (3.14159265f / 4.0f)));
    return uint8_t(((eighths % 8) + 8) % 8);
}

PlayfieldSpline LoopSpline(const std::vector<std::pair<float, float>>& ring)
{
    PlayfieldSpline spline;
    spline.numNubs = int16_t(std::min<size_t>(ring.size(), 32767));
    for (size_t i = 0; i < ring.size(); i++) {
        auto [x0, z0] = ring[i];
        auto [x1, z1] = ring[(i + 1) % ring.size()];
        float length = std::sqrt((x1 - x0) * (x1 - x0) + (z1 - z0) * (z1 - z0)) / kMapUnitWorld;
        int steps = std::max(1, int(length));
        for (int s = 0; s < steps; s++) {
            float t = float(s) / float(steps);
            spline.points.push_back(
                {(x0 + (x1 - x0) * t) / kMapUnitWorld, (z0 + (z1 - z0) * t) / kMapUnitWorld});
        }
    }
    return spline;
}

static void ForgeLevel(const LevelInfo& info, const std::filesystem::path& dataFolder)
{
    LevelWork level;
    level.info = &info;
    level.tiles = info.superTiles * 8;
    level.random = LevelRandom(info.seed);
    ShapeTerrain(level);
    PrepareTerrainPaint(level);
    FurnishLevel(level);
    AddModeContent(level);
    AddHazardGauntlet(level);

    PlayfieldDescription& p = level.playfield;
    p.mapWidth = p.mapDepth = level.tiles;
    p.heightDivisor = kTileWorld; // stored heights are world units
    p.heights = level.heights;
    std::stable_sort(p.items.begin(), p.items.end(),
                     [](const PlayfieldItem& a, const PlayfieldItem& b) { return a.x < b.x; });
    for (int row = 0; row < info.superTiles; row++) {
        for (int col = 0; col < info.superTiles; col++) {
            p.superTileGrid.push_back(int16_t(row * info.superTiles + col));
            Image image;
            image.width = image.height = 256;
            image.channels = 4;
            image.pixels = PaintSuperTile(level, row, col);
            p.images.push_back(EncodeJpeg(image, kSuperTileJpegQuality));
        }
    }
    WritePlayfield(p, dataFolder / "Terrain" / (std::string(info.name) + ".ter"));
    WriteJpegFile(dataFolder / "Sprites" / "maps" / (std::string(info.name) + ".jpg"), PaintMiniMap(level),
                  kMiniMapJpegQuality);
}

void ForgeLevels(const std::filesystem::path& dataFolder)
{
    std::filesystem::create_directories(dataFolder / "Terrain");
    std::filesystem::create_directories(dataFolder / "Sprites" / "maps");

    // The largest levels first, so the two workers finish together.
    std::atomic<int> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&] {
        for (int i = next++; i < kNumLevels; i = next++) {
            try {
                ForgeLevel(kLevelInfos[i], dataFolder);
            } catch (...) {
                std::lock_guard<std::mutex> lock(failureLock);
                failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; w++)
        workers.emplace_back(work);
    for (std::thread& worker : workers)
        worker.join();
    if (failure)
        std::rethrow_exception(failure);
}
