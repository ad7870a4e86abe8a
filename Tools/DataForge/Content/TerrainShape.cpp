// Height fields: rolling forest hills cut by ridged valleys, desert dunes with mesas, low swamp
// ground with hummocks; lake basins below the water line, trails and race courses pressed into the
// ground, and a rim of hills that frames every map and falls to 0 at its outermost corners.

#include "DataForge/Content/Levels.h"
#include "DataForge/Content/TextureSynth.h"

#include <algorithm>
#include <cmath>

constexpr int kNoisePeriod = 4096; // far beyond any map: the noise never visibly repeats
constexpr float kRimWidth = 1.3f * kSuperTileWorld;
constexpr float kBasinFloor = 240.0f;
constexpr float kBasinRise = 260.0f; // floor + rise at the basin's edge
constexpr float kLakeOfBasin = 0.8f; // the water patch's radius within its basin

static float Smoothstep(float edge0, float edge1, float x)
{
    float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

static float Noise(float x, float z, float scale, int octaves, uint32_t seed)
{
    return Fbm(x / scale, z / scale, octaves, kNoisePeriod, kNoisePeriod, seed);
}

static float BaseHeight(LevelScene scene, float x, float z, uint32_t seed)
{
    float hills = Noise(x, z, 3200.0f, 5, seed);
    float ridge = 1.0f - std::fabs(2.0f * Noise(x, z, 6500.0f, 4, seed + 7) - 1.0f);
    switch (scene) {
    case kSceneForest:
        return 430.0f + 750.0f * std::pow(hills, 1.6f) + 160.0f * Noise(x, z, 1600.0f, 3, seed + 4) -
               190.0f * Smoothstep(0.75f, 0.97f, ridge);
    case kSceneDesert: {
        float dunes = std::sin((x * 0.8f + z * 0.35f) / 650.0f + 5.0f * Noise(x, z, 3000.0f, 3, seed + 3));
        float ground = 440.0f + 180.0f * hills + 70.0f * dunes;
        float mesa = Smoothstep(0.60f, 0.64f, Noise(x, z, 5200.0f, 4, seed + 11));
        return ground + mesa * (880.0f - ground + 40.0f * Noise(x, z, 900.0f, 2, seed + 12));
    }
    case kSceneSwamp:
        return 430.0f + 260.0f * std::pow(hills, 1.8f) +
               90.0f * Smoothstep(0.55f, 0.8f, Noise(x, z, 1400.0f, 3, seed + 5));
    }
    return 0.0f;
}

static void PlaceLakes(LevelWork& level)
{
    const LevelInfo& info = *level.info;
    int count = 0;
    float minRadius = 700, maxRadius = 1500;
    switch (info.scene) {
    case kSceneForest:
        count = info.superTiles / 4;
        break;
    case kSceneDesert:
        count = info.superTiles / 8;
        minRadius = 600, maxRadius = 1000;
        break;
    case kSceneSwamp:
        count = info.superTiles * 2 / 3;
        minRadius = 600, maxRadius = 1700;
        break;
    }
    float margin = kRimWidth + 2000.0f, extent = level.Extent();
    for (int tries = 0; int(level.lakes.size()) < count && tries < 500; tries++) {
        Lake lake = {level.random.Range(margin, extent - margin), level.random.Range(margin, extent - margin),
                     level.random.Range(minRadius, maxRadius)};
        bool apart = true;
        for (const Lake& other : level.lakes) {
            float d = std::hypot(lake.x - other.x, lake.z - other.z);
            apart = apart && d > (lake.radius + other.radius) / kLakeOfBasin + 600.0f;
        }
        if (apart)
            level.lakes.push_back(lake);
    }
}

// Below the water line inside the patch, rising above it just outside, so the shore lies under the
// patch's edge.
static float BasinHeight(const Lake& lake, float x, float z)
{
    float basin = lake.radius / kLakeOfBasin;
    float s = std::hypot(x - lake.x, z - lake.z) / basin;
    return s >= 1.2f ? 1e9f : kBasinFloor + kBasinRise * s * s;
}

static float DistanceToSegment(float px, float pz, float ax, float az, float bx, float bz)
{
    float vx = bx - ax, vz = bz - az;
    float t = std::clamp(((px - ax) * vx + (pz - az) * vz) / std::max(1e-6f, vx * vx + vz * vz), 0.0f, 1.0f);
    return std::hypot(px - (ax + vx * t), pz - (az + vz * t));
}

static float DistanceToTrail(const Trail& trail, float x, float z, bool closed)
{
    float best = 1e9f;
    size_t n = trail.points.size();
    for (size_t i = 0; i + (closed ? 0 : 1) < n; i++) {
        auto [ax, az] = trail.points[i];
        auto [bx, bz] = trail.points[(i + 1) % n];
        best = std::min(best, DistanceToSegment(x, z, ax, az, bx, bz));
    }
    return best;
}

// Wandering trails between points well inside the map, avoiding nothing: from the air they read as
// paths worn between clearings.
static void PlaceTrails(LevelWork& level)
{
    if (level.info->mode == kModeRace)
        return;
    int count = level.info->superTiles / 6 + 1;
    float margin = kRimWidth + 1500.0f, extent = level.Extent();
    for (int t = 0; t < count; t++) {
        Trail trail;
        trail.width = level.info->scene == kSceneDesert ? 260.0f : 200.0f;
        float x = level.random.Range(margin, extent - margin), z = margin;
        float heading = level.random.Range(-0.6f, 0.6f);
        if (t % 2) {
            std::swap(x, z);
            heading += 1.5708f;
        }
        for (int step = 0; step < 200; step++) {
            trail.points.push_back({x, z});
            heading += level.random.Range(-0.35f, 0.35f);
            x += std::sin(heading) * 400.0f;
            z += std::cos(heading) * 400.0f;
            if (x < margin || z < margin || x > extent - margin || z > extent - margin)
                break;
        }
        if (trail.points.size() > 3)
            level.trails.push_back(trail);
    }
}

// A closed course around the map's middle: an ellipse whose radius wanders, for race levels.
static void PlaceCourse(LevelWork& level)
{
    if (level.info->mode != kModeRace)
        return;
    float c = level.Extent() * 0.5f, radius = level.Extent() * 0.33f;
    uint32_t seed = level.info->seed + 99;
    for (int i = 0; i < 64; i++) {
        float a = float(i) / 64.0f * 6.2831853f;
        float wobble = 0.75f + 0.45f * Fbm(std::cos(a) * 2 + 4, std::sin(a) * 2 + 4, 3, kNoisePeriod,
                                           kNoisePeriod, seed);
        level.course.push_back({c + std::cos(a) * radius * wobble * 1.1f, c + std::sin(a) * radius * wobble});
    }
    Trail track;
    track.points = level.course;
    track.width = 900.0f;
    level.trails.push_back(track);
}

void ShapeTerrain(LevelWork& level)
{
    const LevelInfo& info = *level.info;
    PlaceLakes(level);
    PlaceTrails(level);
    PlaceCourse(level);

    int side = level.tiles + 1;
    level.heights.assign(size_t(side) * side, 0.0f);
    level.trailField.assign(size_t(side) * side, 0.0f);
    float extent = level.Extent();
    for (int row = 0; row < side; row++) {
        for (int col = 0; col < side; col++) {
            float x = float(col) * kTileWorld, z = float(row) * kTileWorld;
            float h = BaseHeight(info.scene, x, z, info.seed);

            // Trails and the course are pressed a little into the ground.
            float trail = 0.0f;
            for (size_t t = 0; t < level.trails.size(); t++) {
                bool closed = !level.course.empty() && t + 1 == level.trails.size();
                float d = DistanceToTrail(level.trails[t], x, z, closed);
                trail = std::max(trail,
                                 1.0f - Smoothstep(level.trails[t].width * 0.5f, level.trails[t].width, d));
            }
            level.trailField[size_t(row) * side + col] = trail;
            float trench = level.course.empty() ? 40.0f : 150.0f;
            h -= trench * trail;

            for (const Lake& lake : level.lakes)
                h = std::min(h, BasinHeight(lake, x, z));

            // The rim: hills rising toward the edge, then down to 0 on the outermost corners.
            float edge = std::min(std::min(x, z), std::min(extent - x, extent - z));
            float rimPeak = 980.0f + 120.0f * Noise(x, z, 1500.0f, 3, info.seed + 21);
            h = rimPeak + (h - rimPeak) * Smoothstep(0.0f, kRimWidth, edge);
            if (row == 0 || col == 0 || row == side - 1 || col == side - 1)
                h = 0.0f;
            level.Height(row, col) = std::clamp(h, 0.0f, 1150.0f);
        }
    }
}
