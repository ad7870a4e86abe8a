// The enemies as a level designer leaves them once the level is furnished: raptors hunt in packs, so
// every raptor placed on open ground gets two or three companions close by; and a race is about the
// course, so race levels keep no enemies at all. Companions draw from a generator of their own, so the
// rest of the level comes out as it did without them.

#include "DataForge/Content/Levels.h"

#include <algorithm>
#include <cmath>

static constexpr uint16_t kRaptorItem = 15;
static constexpr uint16_t kBrachItem = 26;
static constexpr uint16_t kRamphorSplineItem = 48;
static constexpr float kPackRadius = 420.0f;  // companions stand this far from the leader at most
static constexpr float kPackSpacing = 160.0f; // and at least this far
static constexpr float kRimKeepOut = 2400.0f;

static bool OpenGround(const LevelWork& level, float x, float z)
{
    float extent = level.Extent();
    return x > kRimKeepOut && z > kRimKeepOut && x < extent - kRimKeepOut && z < extent - kRimKeepOut &&
           !level.InWater(x, z) && level.GroundAt(x, z) > kFixedWaterHeight + 10 &&
           level.SlopeAt(x, z) < 0.45f;
}

static void GrowRaptorPacks(LevelWork& level)
{
    LevelRandom random(level.info->seed ^ 0x5EED7A97u);
    std::vector<PlayfieldItem> companions;
    for (const PlayfieldItem& leader : level.playfield.items) {
        if (leader.type != kRaptorItem)
            continue;
        float x = float(leader.x) * kMapUnitWorld, z = float(leader.z) * kMapUnitWorld;
        int wanted = random.Int(2, 3);
        for (int attempt = 0; attempt < 12 && wanted > 0; attempt++) {
            float a = random.Range(0, 6.2831853f), r = random.Range(kPackSpacing, kPackRadius);
            float px = x + std::cos(a) * r, pz = z + std::sin(a) * r;
            if (!OpenGround(level, px, pz))
                continue;
            companions.push_back(ItemAt(px, pz, kRaptorItem));
            wanted--;
        }
    }
    level.playfield.items.insert(level.playfield.items.end(), companions.begin(), companions.end());
}

static void ClearEnemies(LevelWork& level)
{
    std::vector<PlayfieldItem>& items = level.playfield.items;
    items.erase(std::remove_if(items.begin(), items.end(),
                               [](const PlayfieldItem& item) {
                                   return item.type == kRaptorItem || item.type == kBrachItem;
                               }),
                items.end());
    for (PlayfieldSpline& spline : level.playfield.splines) {
        std::vector<PlayfieldSplineItem>& onPath = spline.items;
        onPath.erase(std::remove_if(onPath.begin(), onPath.end(),
                                    [](const PlayfieldSplineItem& item) {
                                        return item.type == kRaptorItem || item.type == kBrachItem ||
                                               item.type == kRamphorSplineItem;
                                    }),
                     onPath.end());
    }
}

void PlaceEnemyPacks(LevelWork& level)
{
    if (level.info->mode == kModeRace)
        ClearEnemies(level);
    else if (level.info->mode == kModeAdventure)
        GrowRaptorPacks(level);
}
