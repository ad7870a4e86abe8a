// Playfield writer: the two forks of a level's ".ter" file. The resource fork holds the map header,
// the supertile grid, the corner heights, the map items, the splines with their points and items, the
// fences with their nubs, the water patches and the line markers; the data fork holds one compressed
// image record per non-empty supertile cell, row by row. Layout only: the header's counts are taken
// from the description, and what the content means belongs to the level content.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "Tarnet/Resources/ResourceForkWriter.h"

struct PlayfieldPoint
{
    float x, z; // map units (1/32 tile)
};

struct PlayfieldItem
{
    uint32_t x, z; // map units
    uint16_t type;
    uint8_t parm[4];
    uint16_t flags;
};

struct PlayfieldSplineItem
{
    float placement; // 0 <= p < 1
    uint16_t type;
    uint8_t parm[4];
    uint16_t flags;
};

struct PlayfieldSpline
{
    int16_t numNubs = 0; // stored only
    std::vector<PlayfieldPoint> points;
    std::vector<PlayfieldSplineItem> items;
};

struct PlayfieldFence
{
    uint16_t type;
    std::vector<std::pair<int32_t, int32_t>> nubs; // x, z map units
};

struct PlayfieldWater
{
    uint16_t type;
    uint32_t flags; // bit 0: the fixed height
    int32_t height; // fixed-height index, from 1
    std::vector<PlayfieldPoint> nubs;
    PlayfieldPoint hotSpot;
};

struct PlayfieldLineMarker
{
    float x1, z1, x2, z2; // map units
};

struct PlayfieldDescription
{
    int32_t mapWidth = 0, mapDepth = 0; // tiles, multiples of 8
    float heightDivisor = 1.0f;         // world height = stored height x 210 / divisor
    std::vector<int16_t> superTileGrid; // (depth / 8) rows of (width / 8) image indices, -1 = empty
    std::vector<float> heights;         // (depth + 1) rows of (width + 1) corner heights
    std::vector<PlayfieldItem> items;   // sorted by x
    std::vector<PlayfieldSpline> splines;
    std::vector<PlayfieldFence> fences;
    std::vector<PlayfieldWater> water;
    std::vector<PlayfieldLineMarker> lineMarkers;
    std::vector<std::vector<uint8_t>> images; // compressed, one per non-empty cell in row-major order
};

// The resource fork; the header's counts come from the description (images.size() supertile images).
Tarnet::ResourceForkWriter BuildPlayfieldResourceFork(const PlayfieldDescription& playfield);
// The data fork: per image, int32 size, int32 offset 4, then the compressed bytes.
std::vector<uint8_t> BuildPlayfieldDataFork(const PlayfieldDescription& playfield);
// Writes `path` (the data fork) and `path` + ".rsrc"; throws std::runtime_error on failure.
void WritePlayfield(const PlayfieldDescription& playfield, const std::filesystem::path& path);
