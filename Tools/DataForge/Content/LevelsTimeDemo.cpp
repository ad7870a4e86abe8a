// The time-demo camera path of "level3": an open path from the player's start that visits, in turn,
// the level's water, its woods, its enemy paths and its hazards, so that one run shows every kind of
// thing the level draws. The path is a smooth curve through those waypoints with one spline point
// per world unit, so the demo's 450 points a second are 450 world units a second, and it is cut to
// the length the demo should last.

#include "DataForge/Content/Levels.h"

#include <algorithm>
#include <cmath>

constexpr float kDemoSpeed = 450.0f;       // spline points (here world units) per second
constexpr float kDemoSeconds = 75.0f;      // between the 60 and 90 seconds a benchmark run should take
constexpr float kPointSpacingWorld = 1.0f; // world units between the path's points
constexpr uint16_t kSplineItemTimeDemo = 49;
constexpr int kCurveSamplesPerLeg = 400;

struct Waypoint
{
    float x, z;
    bool visited;
};

enum WaypointKind
{
    kWaypointWater,
    kWaypointWoods,
    kWaypointEnemies,
    kWaypointHazards,
    kNumWaypointKinds
};

static bool IsTreeItem(uint16_t type)
{
    return type == 1 || type == 2 || type == 25 || type == 27 || type == 31;
}

static bool IsHazardItem(uint16_t type)
{
    return type == 5 || type == 16 || type == 17 || type == 20 || type == 46;
}

// The places worth showing, by kind: lake middles, every 25th tree, enemy path middles, hazards.
static void CollectWaypoints(const LevelWork& level, std::vector<Waypoint> kinds[kNumWaypointKinds])
{
    for (const Lake& lake : level.lakes)
        kinds[kWaypointWater].push_back({lake.x, lake.z, false});
    int trees = 0;
    for (const PlayfieldItem& item : level.playfield.items) {
        float x = float(item.x) * kMapUnitWorld, z = float(item.z) * kMapUnitWorld;
        if (IsTreeItem(item.type) && trees++ % 25 == 0)
            kinds[kWaypointWoods].push_back({x, z, false});
        if (IsHazardItem(item.type))
            kinds[kWaypointHazards].push_back({x, z, false});
    }
    for (const PlayfieldSpline& spline : level.playfield.splines) {
        if (spline.points.empty())
            continue;
        float sx = 0, sz = 0;
        for (const PlayfieldPoint& p : spline.points)
            sx += p.x, sz += p.z;
        float n = float(spline.points.size());
        kinds[kWaypointEnemies].push_back({sx / n * kMapUnitWorld, sz / n * kMapUnitWorld, false});
    }
}

// The nearest unvisited waypoint of a kind, marked visited; false when the kind has none left.
static bool TakeNearest(std::vector<Waypoint>& waypoints, float x, float z, std::pair<float, float>* out)
{
    Waypoint* best = nullptr;
    float bestDistance = 0;
    for (Waypoint& w : waypoints) {
        float d = std::hypot(w.x - x, w.z - z);
        if (!w.visited && (!best || d < bestDistance))
            best = &w, bestDistance = d;
    }
    if (!best)
        return false;
    best->visited = true;
    *out = {best->x, best->z};
    return true;
}

// A Catmull-Rom curve through the waypoints, resampled at even spacing along its length.
static std::vector<std::pair<float, float>> SmoothPath(const std::vector<std::pair<float, float>>& way,
                                                       float spacing)
{
    std::vector<std::pair<float, float>> dense;
    for (size_t i = 0; i + 1 < way.size(); i++) {
        auto p0 = way[i > 0 ? i - 1 : i], p1 = way[i], p2 = way[i + 1],
             p3 = way[std::min(i + 2, way.size() - 1)];
        for (int s = 0; s < kCurveSamplesPerLeg; s++) {
            float t = float(s) / kCurveSamplesPerLeg, t2 = t * t, t3 = t2 * t;
            auto blend = [&](float a, float b, float c, float d) {
                return 0.5f * (2 * b + (c - a) * t + (2 * a - 5 * b + 4 * c - d) * t2 +
                               (3 * b - a - 3 * c + d) * t3);
            };
            dense.push_back({blend(p0.first, p1.first, p2.first, p3.first),
                             blend(p0.second, p1.second, p2.second, p3.second)});
        }
    }
    dense.push_back(way.back());

    std::vector<std::pair<float, float>> even = {dense[0]};
    float carried = 0;
    for (size_t i = 1; i < dense.size(); i++) {
        auto [x0, z0] = dense[i - 1];
        auto [x1, z1] = dense[i];
        float length = std::hypot(x1 - x0, z1 - z0);
        float along = spacing - carried;
        while (along <= length) {
            float t = along / length;
            even.push_back({x0 + (x1 - x0) * t, z0 + (z1 - z0) * t});
            along += spacing;
        }
        carried = length - (along - spacing);
    }
    return even;
}

void AddTimeDemoPath(LevelWork& level, float startX, float startZ)
{
    std::vector<Waypoint> kinds[kNumWaypointKinds];
    CollectWaypoints(level, kinds);

    // Kind after kind, the nearest place of that kind, until the path is comfortably long enough.
    float wanted = kDemoSpeed * kDemoSeconds;
    std::vector<std::pair<float, float>> way = {{startX, startZ}};
    float length = 0;
    for (int step = 0; length < wanted * 1.2f && step < 400; step++) {
        std::pair<float, float> next;
        auto [x, z] = way.back();
        if (!TakeNearest(kinds[step % kNumWaypointKinds], x, z, &next))
            continue;
        if (std::hypot(next.first - x, next.second - z) < 600.0f) // too close to turn toward smoothly
            continue;
        length += std::hypot(next.first - x, next.second - z);
        way.push_back(next);
    }

    std::vector<std::pair<float, float>> curve = SmoothPath(way, kPointSpacingWorld);
    size_t points = std::min(curve.size(), size_t(wanted / kPointSpacingWorld));
    PlayfieldSpline path;
    path.numNubs = int16_t(std::min<size_t>(way.size(), 32767));
    float extent = level.Extent();
    for (size_t i = 0; i < points; i++) {
        float x = std::clamp(curve[i].first, 0.0f, extent - 1),
              z = std::clamp(curve[i].second, 0.0f, extent - 1);
        path.points.push_back({x / kMapUnitWorld, z / kMapUnitWorld});
    }
    path.items.push_back({0.0f, kSplineItemTimeDemo, {0, 0, 0, 0}, 0});
    level.playfield.splines.push_back(path);
}
