// A gauntlet of the hazards each scene's art supports, laid along the first player's way from the
// start toward the middle of the map (on a race level, along the course), so that a player meets every one of
// them in the first minute of play: a door held shut by a pylon, two electrodes zapping across the way, an
// air mine, a tower turret and a laser orb beside it, and by scene gas plants (forest), crystals and a dust
// devil (desert) or a pair of worm burrows (swamp). Power-ups of every kind lie between them.

#include "DataForge/Content/Levels.h"

#include <cmath>
#include <tuple>

namespace {

constexpr uint16_t kItemStart = 0;
constexpr uint16_t kItemTurret = 5;
constexpr uint16_t kItemWeaponPow = 6;
constexpr uint16_t kItemDustDevil = 16;
constexpr uint16_t kItemAirMine = 17;
constexpr uint16_t kItemDoor = 18;
constexpr uint16_t kItemPylon = 19;
constexpr uint16_t kItemElectrode = 20;
constexpr uint16_t kItemFuelPow = 21;
constexpr uint16_t kItemHealthPow = 22;
constexpr uint16_t kItemGasPlant = 24;
constexpr uint16_t kItemCrystal = 30;
constexpr uint16_t kItemLaserOrb = 32;
constexpr uint16_t kItemShieldPow = 33;
constexpr uint16_t kItemWormBurrow = 46;
constexpr uint16_t kItemLifePow = 47;

constexpr uint8_t kGauntletDoor = 0;      // door index of the gauntlet's door and pylon
constexpr uint8_t kGauntletWormGroup = 9; // apart from the groups the scatter makes

// Where along the way, and how far to its side, an item stands.
struct Way
{
    float startX, startZ;
    float dirX, dirZ; // unit, toward the middle
    float length;

    std::pair<float, float> At(float along, float side) const
    {
        return {startX + dirX * along - dirZ * side, startZ + dirZ * along + dirX * side};
    }
};

bool FindFirstStart(const LevelWork& level, float* x, float* z)
{
    for (const PlayfieldItem& item : level.playfield.items) {
        if (item.type == kItemStart && item.parm[0] == 0) {
            *x = float(item.x) * kMapUnitWorld;
            *z = float(item.z) * kMapUnitWorld;
            return true;
        }
    }
    return false;
}

bool LevelHasDoors(int index)
{
    return index == 0 || index == 1 || index == 2 || index == 3 || index == 7;
}

bool LevelHasMines(int index)
{
    return index != 4 && index != 6;
}

void Put(LevelWork& level, const Way& way, float along, float side, uint16_t type, uint8_t p0 = 0,
         uint8_t p1 = 0)
{
    if (along > way.length)
        return;
    auto [x, z] = way.At(along, side);
    level.playfield.items.push_back(ItemAt(x, z, type, p0, p1));
}

// Ground for something that must stand right on the way (a door): searched only a little aside.
void PutOnGround(LevelWork& level, const Way& way, float along, uint16_t type, uint8_t p0, uint8_t p1)
{
    if (along > way.length)
        return;
    auto [x, z] = way.At(along, 0);
    if (level.InWater(x, z) || level.SlopeAt(x, z) > 0.45f)
        std::tie(x, z) = FindGround(level, x, z);
    level.playfield.items.push_back(ItemAt(x, z, type, p0, p1));
}

} // namespace

void AddHazardGauntlet(LevelWork& level)
{
    // The way: from the first start toward the middle, or on a race level along the course's
    // first stretch, which the players follow.
    Way way = {};
    float towardX = level.Extent() * 0.5f, towardZ = towardX;
    if (level.info->mode == kModeRace && level.course.size() >= 8) {
        std::tie(way.startX, way.startZ) = level.course[0];
        std::tie(towardX, towardZ) = level.course[level.course.size() / 6];
    } else if (!FindFirstStart(level, &way.startX, &way.startZ)) {
        return;
    }
    float dx = towardX - way.startX, dz = towardZ - way.startZ;
    way.length = std::hypot(dx, dz);
    if (way.length < 3000)
        return;
    way.dirX = dx / way.length;
    way.dirZ = dz / way.length;
    const LevelInfo& info = *level.info;

    // 1. Power-ups first, to try each kind at once.
    Put(level, way, 900, -250, kItemShieldPow);
    Put(level, way, 1300, 250, kItemWeaponPow, 0);
    Put(level, way, 1700, -250, kItemFuelPow);
    Put(level, way, 2100, 250, kItemHealthPow);
    if (info.mode == kModeAdventure)
        Put(level, way, 2500, 0, kItemLifePow);

    // 2. The door across the way, its pylon beside it.
    if (LevelHasDoors(info.index)) {
        uint8_t quarter = std::fabs(way.dirZ) >= std::fabs(way.dirX) ? 0 : 1;
        PutOnGround(level, way, 3200, kItemDoor, kGauntletDoor, quarter);
        Put(level, way, 2700, 700, kItemPylon, kGauntletDoor, uint8_t(quarter * 2));
    }

    // 3. Electrodes either side, zapping across the way.
    Put(level, way, 4200, -900, kItemElectrode);
    Put(level, way, 4400, 900, kItemElectrode);

    // 4. A mine over the way, then a turret and a laser orb beside it.
    if (LevelHasMines(info.index))
        Put(level, way, 5200, 150, kItemAirMine, 4);
    Put(level, way, 6000, -1300, kItemTurret);
    if (info.mode == kModeAdventure || info.mode == kModeBattle)
        Put(level, way, 6600, 1200, kItemLaserOrb);
    Put(level, way, 6900, 0, kItemWeaponPow, 1);

    // 5. What the scene has of its own.
    switch (info.scene) {
    case kSceneForest:
        Put(level, way, 7500, -200, kItemGasPlant, 0);
        Put(level, way, 7800, 250, kItemGasPlant, 1);
        Put(level, way, 8100, -100, kItemGasPlant, 2);
        break;
    case kSceneDesert:
        Put(level, way, 7500, -500, kItemCrystal, 0);
        Put(level, way, 7700, 450, kItemCrystal, 1);
        Put(level, way, 7900, -150, kItemCrystal, 2);
        Put(level, way, 8800, 300, kItemDustDevil);
        break;
    case kSceneSwamp:
        Put(level, way, 7600, -1000, kItemWormBurrow, kGauntletWormGroup);
        Put(level, way, 8200, 1000, kItemWormBurrow, kGauntletWormGroup);
        break;
    }
}
