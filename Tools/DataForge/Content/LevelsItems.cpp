// Furnishing every level: scenery from the scene's palette where the painted ground suits it (trees on
// the forest floor, reeds on swamp shores, cacti on open sand), power-ups, hazards and enemies, the
// water patches over the lake basins, fences, and the enemy paths.

#include "DataForge/Content/Levels.h"

#include <algorithm>
#include <cmath>

constexpr float kScatterCell = 300.0f; // world units between scenery candidates
constexpr float kRimKeepOut = 2400.0f; // no items on the rim hills
constexpr int kLakeNubs = 18;
constexpr uint32_t kWaterFixedHeightFlag = 1;

struct SceneryChoice
{
    uint16_t type;
    uint8_t maxParm0; // parm[0] is drawn from 0..maxParm0
    float weight;
};

static bool InsidePlayArea(const LevelWork& level, float x, float z, float keepOut = kRimKeepOut)
{
    float extent = level.Extent();
    return x > keepOut && z > keepOut && x < extent - keepOut && z < extent - keepOut;
}

static bool GoodGround(const LevelWork& level, float x, float z)
{
    return InsidePlayArea(level, x, z) && !level.InWater(x, z) &&
           level.GroundAt(x, z) > kFixedWaterHeight + 10;
}

static const SceneryChoice& Pick(LevelRandom& random, const std::vector<SceneryChoice>& choices)
{
    float total = 0;
    for (const SceneryChoice& c : choices)
        total += c.weight;
    float r = random.Range(0, total);
    for (const SceneryChoice& c : choices) {
        if (r < c.weight)
            return c;
        r -= c.weight;
    }
    return choices.back();
}

static void AddScenery(LevelWork& level, float x, float z, const SceneryChoice& c)
{
    LevelRandom& random = level.random;
    uint8_t p0 = uint8_t(random.Int(0, c.maxParm0));
    uint8_t p1 = 0, p3 = 0;
    switch (c.type) {
    case 8: // heading in parm[0]
        p0 = uint8_t(random.Int(0, 7));
        break;
    case 13:
        p3 = 1; // random heading
        break;
    case 25:
        p1 = uint8_t(random.Int(0, 7));
        break;
    case 28:
        p3 = uint8_t(random.Int(0, 1)); // some small bushes
        break;
    case 42: // reeds: the first model as is, the others from the reed range
        p1 = uint8_t(random.Int(0, 1));
        p0 = p1 ? uint8_t(random.Int(2, 4)) : 0;
        break;
    default:
        break;
    }
    level.playfield.items.push_back(ItemAt(x, z, c.type, p0, p1, p3));
}

// Where the painted ground is forest floor, meadow, rock or shore, scenery of that kind.
static void ScatterScenery(LevelWork& level)
{
    static const std::vector<SceneryChoice> kForestWoods = {{1, 6, 4}, {2, 6, 4}, {25, 1, 2}, {23, 1, 0.3f}};
    static const std::vector<SceneryChoice> kForestMeadow = {{13, 1, 3},    {11, 1, 3},    {7, 0, 0.6f},
                                                             {10, 1, 0.4f}, {12, 1, 0.6f}, {8, 0, 0.3f},
                                                             {9, 0, 0.3f},  {24, 2, 0.3f}, {1, 6, 0.8f}};
    static const std::vector<SceneryChoice> kForestRock = {{14, 5, 3}, {23, 1, 1}};
    static const std::vector<SceneryChoice> kDesertSand = {
        {29, 2, 3}, {28, 3, 3}, {37, 7, 1.5f}, {27, 4, 0.8f}, {10, 1, 0.4f}};
    static const std::vector<SceneryChoice> kDesertRock = {{14, 5, 3}, {30, 2, 1.2f}, {37, 7, 0.5f}};
    static const std::vector<SceneryChoice> kDesertOasis = {{36, 2, 3}, {27, 4, 2}, {28, 3, 1}};
    static const std::vector<SceneryChoice> kSwampMoss = {
        {31, 2, 3}, {39, 3, 2}, {41, 0, 2}, {40, 2, 1}, {44, 1, 0.8f}, {38, 2, 0.8f}, {10, 2, 0.4f}};
    static const std::vector<SceneryChoice> kSwampMud = {
        {41, 0, 2}, {43, 2, 1}, {45, 1, 0.6f}, {39, 3, 0.8f}};
    static const std::vector<SceneryChoice> kSwampShore = {{42, 0, 4}, {41, 0, 1}};

    LevelRandom& random = level.random;
    float extent = level.Extent();
    for (float z = kScatterCell * 0.5f; z < extent; z += kScatterCell) {
        for (float x = kScatterCell * 0.5f; x < extent; x += kScatterCell) {
            float px = x + random.Range(-0.4f, 0.4f) * kScatterCell;
            float pz = z + random.Range(-0.4f, 0.4f) * kScatterCell;
            float roll = random.Unit();
            if (!GoodGround(level, px, pz) || TrailOn(level, px, pz) > 0.3f)
                continue;
            float patch = PatchAt(level, px, pz), slope = level.SlopeAt(px, pz);
            bool shore = !level.InWater(px, pz) && WetnessAt(level, px, pz) > 0.2f;
            const std::vector<SceneryChoice>* choices = nullptr;
            float chance = 0;
            switch (level.info->scene) {
            case kSceneForest:
                if (slope > 0.5f)
                    choices = &kForestRock, chance = 0.25f;
                else if (patch > 0.6f)
                    choices = &kForestWoods, chance = 0.55f;
                else
                    choices = &kForestMeadow, chance = 0.07f;
                break;
            case kSceneDesert:
                if (shore)
                    choices = &kDesertOasis, chance = 0.5f;
                else if (slope > 0.4f || level.GroundAt(px, pz) > 820)
                    choices = &kDesertRock, chance = 0.12f;
                else
                    choices = &kDesertSand, chance = 0.05f;
                break;
            case kSceneSwamp:
                if (shore)
                    choices = &kSwampShore, chance = 0.5f;
                else if (patch > 0.5f)
                    choices = &kSwampMoss, chance = 0.28f;
                else
                    choices = &kSwampMud, chance = 0.06f;
                break;
            }
            if (roll < chance)
                AddScenery(level, px, pz, Pick(random, *choices));
        }
    }
}

// A spot of good ground near (x, z), searched outward; the point itself when none is found.
std::pair<float, float> FindGround(LevelWork& level, float x, float z)
{
    for (int attempt = 0; attempt < 60; attempt++) {
        float r = float(attempt) * 120.0f;
        float a = level.random.Range(0, 6.2831853f);
        float px = x + std::cos(a) * r, pz = z + std::sin(a) * r;
        if (GoodGround(level, px, pz) && level.SlopeAt(px, pz) < 0.45f)
            return {px, pz};
    }
    return {x, z};
}

// Good ground near a random point at least `keepOut` inside the level's edges. The depth is drawn
// before the width: the levels already made were placed in that order.
static std::pair<float, float> RandomGround(LevelWork& level, float keepOut)
{
    float extent = level.Extent();
    float z = level.random.Range(keepOut, extent - keepOut);
    float x = level.random.Range(keepOut, extent - keepOut);
    return FindGround(level, x, z);
}

// Power-ups on a loose grid: weapons most, then fuel, health and shields.
static void ScatterPowerUps(LevelWork& level)
{
    float step = 2.6f * kSuperTileWorld, extent = level.Extent();
    bool adventure = level.info->mode == kModeAdventure;
    for (float z = step; z < extent - kRimKeepOut; z += step) {
        for (float x = step; x < extent - kRimKeepOut; x += step) {
            float jitterZ = level.random.Range(-600, 600), jitterX = level.random.Range(-600, 600);
            auto [px, pz] = FindGround(level, x + jitterX, z + jitterZ);
            if (!GoodGround(level, px, pz))
                continue;
            float r = level.random.Unit();
            static const uint8_t kWeapons[] = {0, 1, 2, 4};
            if (r < 0.4f)
                level.playfield.items.push_back(ItemAt(px, pz, 6, kWeapons[level.random.Int(0, 3)]));
            else if (r < 0.62f)
                level.playfield.items.push_back(ItemAt(px, pz, 21));
            else if (r < 0.82f)
                level.playfield.items.push_back(ItemAt(px, pz, 22));
            else if (r < 0.95f || !adventure)
                level.playfield.items.push_back(ItemAt(px, pz, 33));
            else
                level.playfield.items.push_back(ItemAt(px, pz, 47));
        }
    }
}

static void AddWaterPatches(LevelWork& level)
{
    for (size_t i = 0; i < level.lakes.size(); i++) {
        const Lake& lake = level.lakes[i];
        PlayfieldWater water;
        // Swamp pools are murky, and one in four is a pool of hurting ooze.
        water.type = level.info->scene != kSceneSwamp ? 0 : (i % 4 == 3 ? 2 : 1);
        water.flags = kWaterFixedHeightFlag;
        water.height = 1;
        for (int n = 0; n < kLakeNubs; n++) {
            float a = float(n) / kLakeNubs * 6.2831853f;
            float r = lake.radius * (0.97f + 0.03f * std::sin(a * 3.0f + float(i)));
            water.nubs.push_back(
                {(lake.x + std::cos(a) * r) / kMapUnitWorld, (lake.z + std::sin(a) * r) / kMapUnitWorld});
        }
        water.hotSpot = {lake.x / kMapUnitWorld, lake.z / kMapUnitWorld};
        level.playfield.water.push_back(water);
    }
}

// Forest fields get a pine fence along most of their edge, with a way in; where the edge dips into a
// lake or climbs the rim the fence breaks off and starts again on the far side. Every level gets an
// invisible enemy barrier across one valley, which keeps walkers out of a nest area.
static void AddFences(LevelWork& level)
{
    constexpr int kFieldNubs = 28;
    float extent = level.Extent();
    if (level.info->scene == kSceneForest) {
        int count = level.info->superTiles / 5;
        for (int f = 0; f < count; f++) {
            auto [cx, cz] = RandomGround(level, kRimKeepOut * 2);
            float radius = level.random.Range(1800, 2600), start = level.random.Range(0, 6.28f);
            PlayfieldFence fence;
            fence.type = 0;
            for (int n = 0; n <= kFieldNubs; n++) {
                float a = start + float(n) / kFieldNubs * 5.0f; // an open ring: the field has a gate
                float x = cx + std::cos(a) * radius, z = cz + std::sin(a) * radius;
                if (GoodGround(level, x, z))
                    fence.nubs.push_back({int32_t(x / kMapUnitWorld), int32_t(z / kMapUnitWorld)});
                if ((!GoodGround(level, x, z) || n == kFieldNubs) && !fence.nubs.empty()) {
                    if (fence.nubs.size() >= 3)
                        level.playfield.fences.push_back(fence);
                    fence.nubs.clear();
                }
            }
        }
    }
    PlayfieldFence barrier;
    barrier.type = 1;
    float z = extent * 0.5f + level.random.Range(-1000, 1000);
    for (int n = 0; n < 6; n++) {
        float x = extent * 0.2f + float(n) * extent * 0.04f;
        barrier.nubs.push_back(
            {int32_t(x / kMapUnitWorld), int32_t((z + 200.0f * float(n % 2)) / kMapUnitWorld)});
    }
    level.playfield.fences.push_back(barrier);
}

// A wobbly ring around (cx, cz), kept inside the play area.
std::vector<std::pair<float, float>> PatrolRing(LevelWork& level, float cx, float cz, float radius)
{
    std::vector<std::pair<float, float>> ring;
    float extent = level.Extent(), phase = level.random.Range(0, 6.28f);
    for (int i = 0; i < 24; i++) {
        float a = float(i) / 24.0f * 6.2831853f;
        float r = radius * (0.85f + 0.15f * std::sin(a * 3.0f + phase));
        ring.push_back({std::clamp(cx + std::cos(a) * r, kRimKeepOut, extent - kRimKeepOut),
                        std::clamp(cz + std::sin(a) * r * 0.8f, kRimKeepOut, extent - kRimKeepOut)});
    }
    return ring;
}

static void AddPatrol(LevelWork& level, uint16_t type, int count, float radius, uint8_t parm0 = 0)
{
    auto [cx, cz] = RandomGround(level, kRimKeepOut + radius);
    PlayfieldSpline spline = LoopSpline(PatrolRing(level, cx, cz, radius));
    for (int i = 0; i < count; i++) {
        PlayfieldSplineItem item = {float(i) / float(count) + 0.01f, type, {parm0, 0, 0, 0}, 0};
        spline.items.push_back(item);
    }
    level.playfield.splines.push_back(spline);
}

// Enemies on foot and in the air, on paths and at fixed spots, by scene and mode.
static void AddEnemiesAndHazards(LevelWork& level)
{
    const LevelInfo& info = *level.info;
    bool adventure = info.mode == kModeAdventure;
    int patrols = adventure ? 6 : 2;
    for (int i = 0; i < patrols; i++) {
        switch (info.scene) {
        case kSceneForest:
            AddPatrol(level, i % 2 ? 26 : 15, i % 2 ? 2 : 3, level.random.Range(1500, 2600));
            break;
        case kSceneDesert:
            AddPatrol(level, i % 3 == 0 ? 16 : (i % 3 == 1 ? 15 : 26), 2, level.random.Range(1500, 2600));
            break;
        case kSceneSwamp: {
            uint8_t phase = uint8_t(level.random.Int(0, 3));
            AddPatrol(level, i % 2 ? 48 : 15, 2, level.random.Range(1800, 3000), phase);
            break;
        }
        }
    }
    if (adventure)
        AddPatrol(level, 32, 2, 1400);

    int fixed = adventure ? info.superTiles * 2 : info.superTiles / 2;
    for (int i = 0; i < fixed; i++) {
        auto [x, z] = RandomGround(level, kRimKeepOut);
        if (!GoodGround(level, x, z))
            continue;
        int kind = level.random.Int(0, 9);
        if (kind < 3 && adventure)
            level.playfield.items.push_back(ItemAt(x, z, 15)); // raptor
        else if (kind < 5 && info.scene != kSceneSwamp && adventure)
            level.playfield.items.push_back(ItemAt(x, z, 26, uint8_t(level.random.Int(0, 7)))); // brach
        else if (kind < 6)
            level.playfield.items.push_back(ItemAt(x, z, 5)); // tower turret
        else if (kind < 7 && info.index != 4 && info.index != 6)
            level.playfield.items.push_back(ItemAt(x, z, 17)); // air mine
        else if (kind < 8)
            level.playfield.items.push_back(ItemAt(x, z, 20)); // electrode
        else if (kind < 9 && info.scene == kSceneDesert)
            level.playfield.items.push_back(ItemAt(x, z, 16)); // dust devil
        else
            level.playfield.items.push_back(ItemAt(x, z, 35)); // flying sprites
    }

    // Effects: steam and smoke over some shores; worm burrows in swamp groups of three.
    for (size_t i = 0; i < level.lakes.size(); i += 2) {
        const Lake& lake = level.lakes[i];
        level.playfield.items.push_back(ItemAt(lake.x + lake.radius * 0.3f, lake.z, 34, uint8_t(i % 4)));
    }
    if (info.scene == kSceneSwamp) {
        for (int group = 0; group < (adventure ? 4 : 2); group++) {
            auto [cx, cz] = RandomGround(level, kRimKeepOut * 1.5f);
            for (int b = 0; b < 3; b++)
                level.playfield.items.push_back(ItemAt(cx + std::cos(float(b) * 2.1f) * 900.0f,
                                                       cz + std::sin(float(b) * 2.1f) * 900.0f, 46,
                                                       uint8_t(group)));
        }
    }
}

void FurnishLevel(LevelWork& level)
{
    ScatterScenery(level);
    ScatterPowerUps(level);
    AddWaterPatches(level);
    AddFences(level);
    AddEnemiesAndHazards(level);
    PlaceEnemyPacks(level);
}
