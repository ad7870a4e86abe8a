// What each mode needs: player starts; on the adventure levels nests with eggs of all five colours and
// the egg wormholes, plus the time-demo camera path on "level3"; on the race levels the course of line
// markers with the finish line first; on the capture levels two bases, each with its own wormhole and
// eggs of its colour; on the battle arenas two starts facing each other.

#include "DataForge/Content/Levels.h"

#include <algorithm>
#include <cmath>

constexpr uint16_t kItemStart = 0;
constexpr uint16_t kItemNest = 3;
constexpr uint16_t kItemWormhole = 4;
constexpr uint16_t kItemFuel = 21;
constexpr int kRaceMarkers = 16;
constexpr float kMarkerHalfWidth = 700.0f;

static void AddStart(LevelWork& level, int player, float x, float z, float towardX, float towardZ)
{
    level.playfield.items.push_back(
        ItemAt(x, z, kItemStart, uint8_t(player), HeadingParm(towardX - x, towardZ - z)));
}

// Nests and wormholes stand in glades: no tree or boulder within this reach, so a player can swoop
// down on an egg and climb away with it, and come round to a wormhole's open side.
constexpr float kNestGlade = 900.0f;
constexpr float kWormholeGlade = 1500.0f; // the mouth is met at speed, along its axis

static bool IsTallScenery(uint16_t type)
{
    static const uint16_t kTall[] = {1, 2, 12, 23, 25, 27, 31, 43}; // trees, stumps, boulders, big rocks
    return std::find(std::begin(kTall), std::end(kTall), type) != std::end(kTall);
}

static void ClearGlade(LevelWork& level, float x, float z, float radius)
{
    std::vector<PlayfieldItem>& items = level.playfield.items;
    items.erase(std::remove_if(items.begin(), items.end(),
                               [&](const PlayfieldItem& item) {
                                   float dx = float(item.x) * kMapUnitWorld - x,
                                         dz = float(item.z) * kMapUnitWorld - z;
                                   return IsTallScenery(item.type) && dx * dx + dz * dz < radius * radius;
                               }),
                items.end());
}

static void AddAdventureGoals(LevelWork& level)
{
    float extent = level.Extent(), c = extent * 0.5f;
    auto [sx, sz] = FindGround(level, c, extent * 0.78f);
    AddStart(level, 0, sx, sz, c, c);

    // Ten nests, two of each colour, spread on a ring around the middle and in its centre.
    for (int i = 0; i < 10; i++) {
        float a = float(i) / 10.0f * 6.2831853f + 0.3f;
        float r = extent * (i % 2 ? 0.22f : 0.34f);
        auto [x, z] = FindGround(level, c + std::cos(a) * r, c + std::sin(a) * r);
        ClearGlade(level, x, z, kNestGlade);
        level.playfield.items.push_back(ItemAt(x, z, kItemNest, uint8_t(i % 5)));
    }
    // Three wormholes, facing the middle of the map.
    for (int i = 0; i < 3; i++) {
        float a = float(i) / 3.0f * 6.2831853f + 1.2f;
        auto [x, z] = FindGround(level, c + std::cos(a) * extent * 0.28f, c + std::sin(a) * extent * 0.28f);
        ClearGlade(level, x, z, kWormholeGlade);
        level.playfield.items.push_back(ItemAt(x, z, kItemWormhole, HeadingParm(c - x, c - z)));
    }
    // Respawn points: a few short markers near the start.
    for (int i = 0; i < 3; i++) {
        float x = sx + float(i - 1) * 1500.0f, z = sz - 800.0f;
        level.playfield.lineMarkers.push_back(
            {(x - 300) / kMapUnitWorld, z / kMapUnitWorld, (x + 300) / kMapUnitWorld, z / kMapUnitWorld});
    }

    if (level.info->index == 2)
        AddTimeDemoPath(level, sx, sz);
}

static void AddRaceCourse(LevelWork& level)
{
    const std::vector<std::pair<float, float>>& course = level.course;
    size_t n = course.size();
    auto direction = [&](size_t i) {
        auto [x0, z0] = course[(i + n - 1) % n];
        auto [x1, z1] = course[(i + 1) % n];
        float dx = x1 - x0, dz = z1 - z0, length = std::max(1.0f, std::hypot(dx, dz));
        return std::pair<float, float>{dx / length, dz / length};
    };

    // Markers in course order; marker 0 is the finish line.
    for (int m = 0; m < kRaceMarkers; m++) {
        size_t i = size_t(m) * n / kRaceMarkers;
        auto [x, z] = course[i];
        auto [dx, dz] = direction(i);
        float sideX = -dz * kMarkerHalfWidth, sideZ = dx * kMarkerHalfWidth;
        level.playfield.lineMarkers.push_back({(x - sideX) / kMapUnitWorld, (z - sideZ) / kMapUnitWorld,
                                               (x + sideX) / kMapUnitWorld, (z + sideZ) / kMapUnitWorld});
    }

    // Both players side by side behind the finish line, facing along the course.
    auto [fx, fz] = course[0];
    auto [dx, dz] = direction(0);
    for (int player = 0; player < 2; player++) {
        float side = player == 0 ? -250.0f : 250.0f;
        float x = fx - dx * 600.0f - dz * side, z = fz - dz * 600.0f + dx * side;
        AddStart(level, player, x, z, x + dx, z + dz);
    }

    // Fuel along the course: races start nearly empty.
    for (size_t i = n / 12; i < n; i += n / 6) {
        auto [x, z] = course[i];
        level.playfield.items.push_back(ItemAt(x, z, kItemFuel));
    }
}

static void AddCaptureBases(LevelWork& level)
{
    float extent = level.Extent(), c = extent * 0.5f;
    for (int player = 0; player < 2; player++) {
        float baseX = player == 0 ? extent * 0.25f : extent * 0.75f;
        auto [sx, sz] = FindGround(level, baseX, c + 1200.0f);
        AddStart(level, player, sx, sz, c, c);
        // The base's own wormhole: the other colour's eggs are brought here.
        auto [wx, wz] = FindGround(level, baseX, c - 900.0f);
        level.playfield.items.push_back(
            ItemAt(wx, wz, kItemWormhole, HeadingParm(c - wx, 0), uint8_t(player)));
        // Eggs of the base's colour, which the rival steals.
        for (int e = 0; e < 3; e++) {
            auto [ex, ez] = FindGround(level, baseX + float(e - 1) * 1300.0f, c + 2600.0f);
            level.playfield.items.push_back(ItemAt(ex, ez, kItemNest, uint8_t(player)));
        }
    }
}

static void AddBattleStarts(LevelWork& level)
{
    float extent = level.Extent(), c = extent * 0.5f;
    auto [x0, z0] = FindGround(level, extent * 0.28f, extent * 0.3f);
    auto [x1, z1] = FindGround(level, extent * 0.72f, extent * 0.7f);
    AddStart(level, 0, x0, z0, c, c);
    AddStart(level, 1, x1, z1, c, c);
}

void AddModeContent(LevelWork& level)
{
    switch (level.info->mode) {
    case kModeAdventure:
        AddAdventureGoals(level);
        break;
    case kModeRace:
        AddRaceCourse(level);
        break;
    case kModeBattle:
        AddBattleStarts(level);
        break;
    case kModeCapture:
        AddCaptureBases(level);
        break;
    }
}
