// Supertile images and mini-maps. Each pixel's colour comes from the ground under it: its height and
// slope, the trails and lake shores around it, and two scales of noise, one for patches of a few tiles
// (meadows and forest floor, dune fields, moss beds) and one for the grain of a single pixel, so the
// ground reads from high above as well as close by.

#include "DataForge/Content/Levels.h"
#include "DataForge/Content/TextureSynth.h"

#include <algorithm>
#include <cmath>

constexpr int kImageSize = 256;
constexpr int kNoiseSize = 512; // the grain table: tileable, one cell per image pixel

static float Smoothstep(float edge0, float edge1, float x)
{
    float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

void PrepareTerrainPaint(LevelWork& level)
{
    level.grain.resize(size_t(kNoiseSize) * kNoiseSize);
    for (int y = 0; y < kNoiseSize; y++)
        for (int x = 0; x < kNoiseSize; x++)
            level.grain[size_t(y) * kNoiseSize + x] =
                Fbm(float(x) / 16.0f, float(y) / 16.0f, 4, kNoiseSize / 16, kNoiseSize / 16,
                    level.info->seed + 50);
}

static float Grain(const LevelWork& level, int px, int pz)
{
    return level.grain[size_t(pz & (kNoiseSize - 1)) * kNoiseSize + size_t(px & (kNoiseSize - 1))];
}

// The grain table stretched 32 times (bilinear): patches a few tiles across.
static float Patches(const LevelWork& level, float px, float pz)
{
    float fx = px / 32.0f, fz = pz / 32.0f;
    int ix = int(std::floor(fx)), iz = int(std::floor(fz));
    float tx = fx - float(ix), tz = fz - float(iz);
    float a = Grain(level, ix * 7, iz * 7), b = Grain(level, (ix + 1) * 7, iz * 7);
    float c = Grain(level, ix * 7, (iz + 1) * 7), d = Grain(level, (ix + 1) * 7, (iz + 1) * 7);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * tz;
}

// 0 far from water, 1 under the middle of a lake; the shore sits around 0.5.
static float Wetness(const LevelWork& level, float x, float z)
{
    float wet = 0.0f;
    for (const Lake& lake : level.lakes) {
        float s = std::hypot(x - lake.x, z - lake.z) / lake.radius;
        wet = std::max(wet, 1.0f - Smoothstep(0.75f, 1.35f, s));
    }
    return wet;
}

static float TrailAt(const LevelWork& level, float x, float z)
{
    int side = level.tiles + 1;
    float fx = std::clamp(x / kTileWorld, 0.0f, float(level.tiles) - 0.001f);
    float fz = std::clamp(z / kTileWorld, 0.0f, float(level.tiles) - 0.001f);
    int col = int(fx), row = int(fz);
    float tx = fx - float(col), tz = fz - float(row);
    auto at = [&](int r, int c) { return level.trailField[size_t(r) * side + c]; };
    float top = at(row, col) + (at(row, col + 1) - at(row, col)) * tx;
    float bottom = at(row + 1, col) + (at(row + 1, col + 1) - at(row + 1, col)) * tx;
    return top + (bottom - top) * tz;
}

float PatchAt(const LevelWork& level, float x, float z)
{
    return Patches(level, x / kMapUnitWorld, z / kMapUnitWorld);
}

float WetnessAt(const LevelWork& level, float x, float z)
{
    return Wetness(level, x, z);
}

float TrailOn(const LevelWork& level, float x, float z)
{
    return TrailAt(level, x, z);
}

struct GroundSample
{
    float height, slope, wet, trail, patch, grain;
    float x, z;
};

static Rgb ForestColor(const GroundSample& g)
{
    Rgb grass = Mix(Rgb{0.38f, 0.56f, 0.20f}, Rgb{0.22f, 0.40f, 0.13f}, g.patch);
    grass = Mix(grass, Rgb{0.55f, 0.58f, 0.26f}, Smoothstep(600.0f, 900.0f, g.height) * (1.0f - g.patch));
    Rgb floor = Rgb{0.20f, 0.31f, 0.12f};
    Rgb c = Mix(grass, floor, Smoothstep(0.58f, 0.70f, g.patch));
    c = Mix(c, Rgb{0.50f, 0.58f, 0.30f}, Smoothstep(800.0f, 1000.0f, g.height) * 0.7f);
    c = Mix(c, Rgb{0.46f, 0.44f, 0.40f}, Smoothstep(0.45f, 0.8f, g.slope + 0.15f * g.grain));
    c = Mix(c, Rgb{0.47f, 0.36f, 0.23f}, Smoothstep(0.3f, 0.7f, g.trail + 0.2f * (g.grain - 0.5f)));
    c = Mix(c, Rgb{0.58f, 0.52f, 0.36f}, Smoothstep(0.3f, 0.5f, g.wet));
    c = Mix(c, Rgb{0.24f, 0.21f, 0.14f}, Smoothstep(0.55f, 0.8f, g.wet));
    return c;
}

static Rgb DesertColor(const GroundSample& g)
{
    float ripple = 0.5f + 0.5f * std::sin((g.x * 0.8f + g.z * 0.35f) / 45.0f + 6.0f * g.patch);
    Rgb sand = Mix(Rgb{0.88f, 0.70f, 0.44f}, Rgb{0.76f, 0.55f, 0.33f}, g.patch * 0.8f + ripple * 0.25f);
    Rgb rock = Mix(Rgb{0.62f, 0.37f, 0.22f}, Rgb{0.40f, 0.24f, 0.16f}, g.grain);
    Rgb c = Mix(sand, rock, Smoothstep(0.35f, 0.65f, g.slope + 0.2f * g.grain));
    c = Mix(c, Rgb{0.68f, 0.45f, 0.28f}, Smoothstep(820.0f, 880.0f, g.height) * 0.8f);
    c = Mix(c, Rgb{0.74f, 0.62f, 0.46f}, Smoothstep(0.3f, 0.7f, g.trail));
    c = Mix(c, Rgb{0.42f, 0.52f, 0.22f}, Smoothstep(0.15f, 0.4f, g.wet) * 0.9f);
    c = Mix(c, Rgb{0.45f, 0.35f, 0.22f}, Smoothstep(0.55f, 0.8f, g.wet));
    return c;
}

static Rgb SwampColor(const GroundSample& g)
{
    Rgb mud = Mix(Rgb{0.33f, 0.26f, 0.16f}, Rgb{0.24f, 0.19f, 0.12f}, g.grain);
    Rgb moss = Mix(Rgb{0.30f, 0.40f, 0.14f}, Rgb{0.16f, 0.25f, 0.09f}, g.grain * 0.6f + g.patch * 0.4f);
    Rgb c = Mix(mud, moss, Smoothstep(0.42f, 0.58f, g.patch));
    c = Mix(c, Rgb{0.40f, 0.40f, 0.33f}, Smoothstep(0.5f, 0.85f, g.slope));
    c = Mix(c, Rgb{0.42f, 0.33f, 0.22f}, Smoothstep(0.3f, 0.7f, g.trail));
    c = Mix(c, Rgb{0.36f, 0.46f, 0.18f},
            Smoothstep(0.2f, 0.45f, g.wet) * (1.0f - Smoothstep(0.45f, 0.6f, g.wet)));
    c = Mix(c, Rgb{0.17f, 0.15f, 0.10f}, Smoothstep(0.5f, 0.75f, g.wet));
    return c;
}

// Per-pixel detail: a hash per pixel for grain, and sparse specks (tufts, pebbles, blossoms) that
// make the ground read as ground rather than paint when flying low.
static float PixelHash(int px, int pz)
{
    uint32_t h = uint32_t(px) * 0x8DA6B343u ^ uint32_t(pz) * 0xD8163841u;
    h ^= h >> 13;
    h *= 0x85EBCA6Bu;
    h ^= h >> 16;
    return float(h & 0xFFFF) / 65535.0f;
}

static Rgb AddSpecks(const LevelWork& level, const GroundSample& g, Rgb c, int px, int pz)
{
    float fine = Grain(level, px * 5, pz * 5);
    float speck = PixelHash(px / 2, pz / 2);
    c = Shade(c, 0.9f + 0.2f * fine);
    switch (level.info->scene) {
    case kSceneForest:
        if (speck > 0.996f && g.patch < 0.5f && g.trail < 0.3f && g.wet < 0.3f)
            c = Mix(c, speck > 0.998f ? Rgb{0.92f, 0.85f, 0.35f} : Rgb{0.85f, 0.85f, 0.80f},
                    0.6f); // blossoms
        else if (speck < 0.06f)
            c = Shade(c, 0.88f); // tufts
        else if (speck > 0.9f && g.patch > 0.6f)
            c = Mix(c, Rgb{0.35f, 0.24f, 0.12f}, 0.5f); // leaf litter
        break;
    case kSceneDesert:
        if (speck > 0.995f)
            c = Mix(c, Rgb{0.45f, 0.30f, 0.20f}, 0.4f); // pebbles
        else if (speck < 0.04f)
            c = Shade(c, 1.1f);
        break;
    case kSceneSwamp:
        if (speck > 0.99f && g.wet < 0.5f)
            c = Mix(c, Rgb{0.45f, 0.52f, 0.20f}, 0.4f); // sprouts
        else if (speck < 0.08f)
            c = Shade(c, 0.88f);
        break;
    }
    return c;
}

static Rgb GroundColor(const LevelWork& level, const GroundSample& g)
{
    Rgb c;
    switch (level.info->scene) {
    case kSceneForest:
        c = ForestColor(g);
        break;
    case kSceneDesert:
        c = DesertColor(g);
        break;
    case kSceneSwamp:
        c = SwampColor(g);
        break;
    }
    return Shade(c, 0.86f + 0.28f * g.grain);
}

static GroundSample SampleGround(const LevelWork& level, float x, float z, int px, int pz)
{
    GroundSample g;
    g.x = x, g.z = z;
    g.height = level.GroundAt(x, z);
    g.slope = level.SlopeAt(x, z);
    g.wet = Wetness(level, x, z);
    g.trail = TrailAt(level, x, z);
    g.patch = Patches(level, float(px), float(pz));
    g.grain = Grain(level, px, pz);
    return g;
}

static uint8_t Byte(float v)
{
    return uint8_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
}

// Height, slope, wetness and trail change slowly across a supertile: they are sampled every four
// pixels and interpolated, which keeps painting fast enough for the whole data set.
struct FieldGrid
{
    static constexpr int kStep = 4;
    static constexpr int kSide = kImageSize / kStep + 1;
    float height[kSide][kSide], slope[kSide][kSide], wet[kSide][kSide], trail[kSide][kSide];
};

static void SampleFields(const LevelWork& level, int row, int col, FieldGrid* grid)
{
    for (int j = 0; j < FieldGrid::kSide; j++) {
        for (int i = 0; i < FieldGrid::kSide; i++) {
            float x = (float(col * kImageSize + i * FieldGrid::kStep)) * kMapUnitWorld;
            float z = (float(row * kImageSize + j * FieldGrid::kStep)) * kMapUnitWorld;
            grid->height[j][i] = level.GroundAt(x, z);
            grid->slope[j][i] = level.SlopeAt(x, z);
            grid->wet[j][i] = Wetness(level, x, z);
            grid->trail[j][i] = TrailAt(level, x, z);
        }
    }
}

static float Interpolate(const float (*field)[FieldGrid::kSide], int i, int j, float tx, float tz)
{
    float top = field[j][i] + (field[j][i + 1] - field[j][i]) * tx;
    float bottom = field[j + 1][i] + (field[j + 1][i + 1] - field[j + 1][i]) * tx;
    return top + (bottom - top) * tz;
}

std::vector<uint8_t> PaintSuperTile(const LevelWork& level, int row, int col)
{
    static thread_local FieldGrid grid;
    SampleFields(level, row, col, &grid);
    std::vector<uint8_t> pixels(size_t(kImageSize) * kImageSize * 4);
    for (int y = 0; y < kImageSize; y++) {
        // Stored rows run from the supertile's largest z (top) to its smallest (bottom).
        int localZ = kImageSize - 1 - y;
        int pz = row * kImageSize + localZ;
        int j = localZ / FieldGrid::kStep;
        float tz = (float(localZ % FieldGrid::kStep) + 0.5f) / FieldGrid::kStep;
        for (int x = 0; x < kImageSize; x++) {
            int px = col * kImageSize + x;
            int i = x / FieldGrid::kStep;
            float tx = (float(x % FieldGrid::kStep) + 0.5f) / FieldGrid::kStep;
            GroundSample g;
            g.x = (float(px) + 0.5f) * kMapUnitWorld;
            g.z = (float(pz) + 0.5f) * kMapUnitWorld;
            g.height = Interpolate(grid.height, i, j, tx, tz);
            g.slope = Interpolate(grid.slope, i, j, tx, tz);
            g.wet = Interpolate(grid.wet, i, j, tx, tz);
            g.trail = Interpolate(grid.trail, i, j, tx, tz);
            g.patch = Patches(level, float(px), float(pz));
            g.grain = Grain(level, px, pz);
            Rgb c = AddSpecks(level, g, GroundColor(level, g), px, pz);
            uint8_t* out = &pixels[(size_t(y) * kImageSize + x) * 4];
            out[0] = Byte(c.r);
            out[1] = Byte(c.g);
            out[2] = Byte(c.b);
            out[3] = 255;
        }
    }
    return pixels;
}

Image PaintMiniMap(const LevelWork& level)
{
    const LevelInfo& info = *level.info;
    Image map;
    map.width = map.height = kImageSize;
    map.channels = 4;
    map.pixels.resize(size_t(kImageSize) * kImageSize * 4);
    Rgb outside = info.scene == kSceneDesert   ? Rgb{0.35f, 0.22f, 0.12f}
                  : info.scene == kSceneForest ? Rgb{0.08f, 0.14f, 0.06f}
                                               : Rgb{0.12f, 0.10f, 0.06f};
    float extent = level.Extent();
    for (int v = 0; v < kImageSize; v++) {
        for (int u = 0; u < kImageSize; u++) {
            // Row 0 is the smallest z of the window.
            float mx = info.mapLeft + (float(u) + 0.5f) / kImageSize * info.mapSpan;
            float mz = info.mapTop + (float(v) + 0.5f) / kImageSize * info.mapSpan;
            float x = mx * kMapUnitWorld, z = mz * kMapUnitWorld;
            Rgb c = outside;
            if (x < extent && z < extent) {
                GroundSample g = SampleGround(level, x, z, int(mx), int(mz));
                g.grain = 0.5f;
                c = GroundColor(level, g);
                // Hill shading from the north-west, so relief shows on the small picture.
                float east = level.GroundAt(x + 150, z) - level.GroundAt(x - 150, z);
                float south = level.GroundAt(x, z + 150) - level.GroundAt(x, z - 150);
                c = Shade(c, std::clamp(1.0f - (east + south) * 0.0025f, 0.6f, 1.3f));
                if (level.InWater(x, z))
                    c = Mix(c, Rgb{0.20f, 0.35f, 0.50f}, 0.7f);
            }
            uint8_t* out = &map.pixels[(size_t(v) * kImageSize + u) * 4];
            out[0] = Byte(c.r);
            out[1] = Byte(c.g);
            out[2] = Byte(c.b);
            out[3] = 255;
        }
    }
    return map;
}
