// The hazards on the generated levels, met by a player in scripted play or struck by a plain shot
// node: what each does to the player, how each is destroyed, the spent forms they come back as, and
// the full tables that stay silent.

#include "HazardPlayFixture.h"

#include "Gameplay/Items.h"
#include "Skeleton/Skeleton.h"
#include "Support/AlertCapture.h"
#include "Terrain/SplineObjects.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr uint16_t kTurret = 5, kAirMine = 17, kDoor = 18, kPylon = 19, kElectrode = 20;
constexpr uint16_t kTreeA = 1, kDesertTree = 27, kGasPlant = 24, kCrystal = 30, kLaserOrb = 32, kBurrow = 46;

class HazardTest : public HazardPlayTest
{
protected:
    // Map item `type` `ahead` units in front of player 0, added through the table.
    ObjNode* HazardAhead(uint16_t type, float ahead, float side = 0, uint8_t p0 = 0, uint8_t p1 = 0)
    {
        const ObjNode* player = gPlayers[0].objNode;
        Point3D at = AheadOfPlayer(ahead);
        at.x += std::cos(player->Rotation.y) * side;
        at.z -= std::sin(player->Rotation.y) * side;
        MapItemType* item = NewItem(type, at.x, at.z, p0, p1);
        EXPECT_TRUE(AddThroughTable(item));
        return ObjectOf(item);
    }
};

bool gAttackerDeleted = false;
float gAttackerHeadingWhenDeleted = 0;

// A target whose hit routine blows up whatever hit it.
bool DeleteTheAttacker(ObjNode* weapon, ObjNode*, const Point3D*, const Vector3D*)
{
    gAttackerHeadingWhenDeleted = weapon->Rotation.y;
    DisposeObject(weapon);
    gAttackerDeleted = true;
    return true;
}

// An orb aims a little off its target at random, and may miss a thin body: the tests take the luck out.
void AimStraightAtTheTarget(ObjNode* orb)
{
    orb->FloatSlots[0] = orb->FloatSlots[1] = orb->FloatSlots[2] = 0;
}

// --- The generated levels ---

// Map item types within `reach` of player 0's start on its way to the middle of the map.
std::vector<int> ItemTypesOnTheWayIn(float reach)
{
    std::vector<int> types;
    const PlayerStartType& start = gPlayerStarts[0];
    float fx = gMapWidthUnits * 0.5f - float(start.x), fz = gMapDepthUnits * 0.5f - float(start.z);
    float length = std::sqrt(fx * fx + fz * fz);
    fx /= length, fz /= length; // the players start facing the middle
    for (int i = 0; i < gNumMapItems; i++) {
        const MapItemType& item = gMapItems[i];
        float dx = float(item.x - start.x), dz = float(item.z - start.z);
        float ahead = dx * fx + dz * fz;
        if (ahead > 0 && ahead < reach && std::fabs(dx * fz - dz * fx) < 2000)
            types.push_back(item.type);
    }
    return types;
}

TEST_F(HazardTest, EachAdventureLevelLaysItsScenesHazardsOnTheWayIn)
{
    const std::vector<std::vector<int>> kWanted = {
        {6, 21, 22, 33, 47, 18, 19, 20, 17, 5, 32, 24},     // forest: doors, mines, gas plants
        {6, 21, 22, 33, 47, 18, 19, 20, 17, 5, 32, 30, 16}, // desert: crystals and a dust devil
        {6, 21, 22, 33, 47, 18, 19, 20, 17, 5, 32, 46},     // swamp: worm burrows
    };
    for (int level = 0; level < 3; level++) {
        StartLevel(level);
        std::vector<int> found = ItemTypesOnTheWayIn(9000);
        for (int type : kWanted[size_t(level)])
            EXPECT_NE(std::find(found.begin(), found.end(), type), found.end())
                << "item type " << type << " on the way in on level " << level;
        HarnessEndLevel();
        levelRunning = false;
    }
}

// --- Electrodes and zaps ---

TEST_F(HazardTest, AShotDownElectrodeGoesDimAndComesBackSpent)
{
    StartLevel(0);
    ObjNode* electrode = HazardAhead(kElectrode, 1500);
    ASSERT_NE(electrode, nullptr);
    MapItemType* item = electrode->TerrainItem;
    EXPECT_EQ(electrode->ItemTag, ITEMTAG_ACTIVE_ELECTRODE);
    EXPECT_TRUE(electrode->CType & CTYPE_AIMABLE);

    ObjNode weak = Attacker(0.5f);
    electrode->ChainNext->WeaponHitProc(&weak, electrode->ChainNext, nullptr, nullptr);
    EXPECT_FLOAT_EQ(electrode->Health, 0.6f) << "a hit on any part costs the base 0.8 x damage";
    EXPECT_FLOAT_EQ(electrode->FloatSlots[0], 0.6f * PI) << "it spins slower";
    electrode->WeaponHitProc(&weak, electrode, nullptr, nullptr);
    electrode->WeaponHitProc(&weak, electrode, nullptr, nullptr);
    EXPECT_FLOAT_EQ(electrode->Health, 0);
    EXPECT_EQ(electrode->ItemTag, 0) << "no longer zaps or is zapped";
    EXPECT_FALSE(electrode->CType & CTYPE_AIMABLE);
    EXPECT_TRUE(item->flags & ITEM_FLAG_SPENT);

    DisposeObject(electrode); // its window moves away; the item comes back with it
    item->flags &= ~ITEM_FLAG_ADDED;
    ASSERT_TRUE(AddThroughTable(item));
    ObjNode* again = ObjectOf(item);
    ASSERT_NE(again, nullptr);
    EXPECT_FLOAT_EQ(again->Health, 0);
    EXPECT_FLOAT_EQ(again->Tint.r, 0.3f) << "dimmed";
    EXPECT_EQ(again->CType, CTYPE_ELECTRODE_SPENT);
    EXPECT_EQ(again->ItemTag, 0);
}

TEST_F(HazardTest, NeighbouringElectrodesZapEachOtherUnlessNoPaneSeesThem)
{
    StartLevel(0);
    ParkPlayerAt(gPlayers[0].objNode->Position); // looking at them
    ObjNode* a = HazardAhead(kElectrode, 2000, -600);
    ObjNode* b = HazardAhead(kElectrode, 2000, 600);
    ASSERT_TRUE(a && b);

    a->StatusFlags |= NODEBIT_CULLED_PANE0;
    b->StatusFlags |= NODEBIT_CULLED_PANE0;
    EXPECT_EQ(MakeZap(a, b), -1) << "nobody would see it";

    // The zap timers start below a second and restart below 0.35 s: a zap comes within 1.5 s.
    bool zapped = false;
    for (int frame = 0; frame < 90 && !zapped; frame++) {
        Play(1);
        a->StatusFlags &= ~NODEBIT_CULLED_PANE0;
        for (const ZapRecord& record : gZaps) {
            for (const ObjNode* end : {a, b}) {
                float dx = record.points[0].x - end->Position.x, dz = record.points[0].z - end->Position.z;
                zapped = zapped || (record.inUse && dx * dx + dz * dz < 100 * 100);
            }
        }
    }
    EXPECT_TRUE(zapped) << "a zap leaves one of them";
    int zap = MakeZap(a, b);
    ASSERT_GE(zap, 0);
    const ZapRecord& record = gZaps[zap];
    EXPECT_EQ(record.numPoints, int(Distance3D(&a->Position, &b->Position) * 0.015f));
    EXPECT_FLOAT_EQ(record.life, ZAP_START_LIFE);

    Play(10);
    EXPECT_NEAR(gZaps[zap].life, ZAP_START_LIFE - 10 * 1.2f * kStep, 1e-4f) << "fading 1.2 a second";
}

TEST_F(HazardTest, AZapThroughAPlayerKillsUnlessShielded)
{
    StartLevel(0);
    ObjNode* a = HazardAhead(kElectrode, 2500, -700);
    ObjNode* b = HazardAhead(kElectrode, 2500, 700);
    ASSERT_TRUE(a && b);
    a->ItemTag = b->ItemTag = 0; // only the test's zap

    auto zapThroughPlayer = [&]() {
        a->StatusFlags &= ~NODEBIT_CULLED_PANE0; // seen, whatever the camera looked at last
        int zap = MakeZap(a, b);
        EXPECT_GE(zap, 0);
        if (zap < 0)
            return;
        const ZapRecord& record = gZaps[zap];
        const Point3D& p = record.points[0];
        const Point3D& q = record.points[record.numPoints - 1];
        ParkPlayerAt({(p.x + q.x) / 2, (p.y + q.y) / 2, (p.z + q.z) / 2});
        Play(1);
        FreeZap(zap);
    };

    gPlayers[0].shieldTimer = 2;
    zapThroughPlayer();
    EXPECT_FALSE(gPlayerDead[0]) << "the shield stops a zap";
    EXPECT_FLOAT_EQ(gPlayers[0].health, 1.0f);
    EXPECT_FLOAT_EQ(gPlayers[0].shieldTimer, 2.0f) << "and is not drained by it";

    gPlayers[0].shieldTimer = 0;
    zapThroughPlayer();
    EXPECT_TRUE(gPlayerDead[0]) << "1.0 of damage a frame";
}

TEST_F(HazardTest, AFullZapTableIsSilentAndAFreedZapCannotBeFreedAgain)
{
    StartLevel(0);
    ObjNode* a = HazardAhead(kElectrode, 1500, -500);
    ObjNode* b = HazardAhead(kElectrode, 1500, 500);
    ASSERT_TRUE(a && b);
    a->ItemTag = b->ItemTag = 0;
    ScopedAlertCapture alerts;
    while (CountLiveZaps() < MAX_ZAPS)
        ASSERT_GE(MakeZap(a, b), 0);
    EXPECT_EQ(MakeZap(a, b), -1);
    EXPECT_TRUE(alerts.Alerts().empty());

    FreeZap(7);
    std::string message = FatalAlertMessageOf([] { FreeZap(7); });
    EXPECT_NE(message.find("FreeZap:"), std::string::npos);
    EXPECT_NE(message.find(": Zap already freed"), std::string::npos);
    FreeAllZaps();
    EXPECT_EQ(CountLiveZaps(), 0);
}

// --- Pylons and doors ---

TEST_F(HazardTest, DestroyingAPylonOpensEveryDoorOfItsIndexEvenOnesNotYetMade)
{
    StartLevel(0);
    ObjNode* door = HazardAhead(kDoor, 3000, 0, 5);
    ObjNode* other = HazardAhead(kDoor, 3000, 2000, 6);
    ObjNode* pylon = HazardAhead(kPylon, 2000, 800, 5);
    ASSERT_TRUE(door && other && pylon);
    MapItemType* pylonItem = pylon->TerrainItem;
    ObjNode* leaf = door->ChainNext;
    ASSERT_NE(pylon->ChainNext, nullptr) << "a whole pylon has its top";

    ObjNode weak = Attacker(0.2f);
    pylon->ChainNext->WeaponHitProc(&weak, pylon->ChainNext, nullptr, nullptr);
    EXPECT_EQ(gDoorOpen[5], 0) << "0.3 hit points take more than 0.2";
    pylon->WeaponHitProc(&weak, pylon, nullptr, nullptr);
    EXPECT_EQ(gDoorOpen[5], 1);
    EXPECT_EQ(pylon->ChainNext, nullptr) << "its top is blown off";
    EXPECT_TRUE(pylonItem->flags & ITEM_FLAG_SPENT);
    EXPECT_FALSE(pylon->CType & CTYPE_AIMABLE);

    gFixedFrameSeconds = 0.1f;
    Play(1); // the frame time takes effect from the next frame
    float turned = leaf->Rotation.z;
    Play(10);
    EXPECT_NEAR(leaf->Rotation.z - turned, -1.0f, 0.01f) << "the leaf turns down at a radian a second";
    EXPECT_FLOAT_EQ(other->ChainNext->Rotation.z, 0) << "a door of another index stays shut";
    Play(30);
    EXPECT_FLOAT_EQ(leaf->Rotation.z, -PI) << "and stops upside down";

    ObjNode* later = HazardAhead(kDoor, 3000, -2000, 5);
    ASSERT_NE(later, nullptr);
    EXPECT_FLOAT_EQ(later->ChainNext->Rotation.z, -PI) << "made already open";

    DisposeObject(pylon);
    pylonItem->flags &= ~ITEM_FLAG_ADDED;
    ASSERT_TRUE(AddThroughTable(pylonItem));
    ObjNode* base = ObjectOf(pylonItem);
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(base->ChainNext, nullptr) << "a destroyed pylon comes back as its base";
}

TEST_F(HazardTest, DoorsOnlyWhereTheLevelHasTheArtAndIndexesWithinTheTable)
{
    StartLevel(5, kPlayMode_Battle, 2);
    MapItemType* door = NewItem(kDoor, 5000, 5000, 1);
    EXPECT_NE(FatalAlertMessageOf([&] { AddThroughTable(door); }).find("has no door models"),
              std::string::npos);
    MapItemType* pylon = NewItem(kPylon, 5000, 5000, 64);
    EXPECT_NE(FatalAlertMessageOf([&] { AddThroughTable(pylon); }).find("door index 64"), std::string::npos);
}

// --- Air mines ---

TEST_F(HazardTest, AMineTouchedByAShieldedPlayerEmptiesTheShieldAndStillExplodes)
{
    StartLevel(0);
    ObjNode* anchor = HazardAhead(kAirMine, 1500);
    ASSERT_NE(anchor, nullptr);
    ObjNode* mine = anchor->ChainNext->ChainNext;
    MapItemType* item = anchor->TerrainItem;
    gPlayers[0].shieldTimer = 2.5f;
    MakeShieldBubble(0);
    mine->TriggerProc(mine, gPlayers[0].objNode);
    EXPECT_FLOAT_EQ(gPlayers[0].shieldTimer, 0) << "a mine costs 3 of shield";
    EXPECT_FALSE(gPlayerDead[0]);
    EXPECT_EQ(anchor->ChainNext, nullptr) << "the chain and mine are gone";
    EXPECT_EQ(anchor->TerrainItem, nullptr) << "it never returns";
    EXPECT_TRUE(item->flags & ITEM_FLAG_ADDED);
    Play(2);
    EXPECT_EQ(CountNodesInSlot(3020), 10) << "ten fireballs fly";
}

// Removes the items a player could touch within `radius` of `keep` (on the ground), but not `keep`
// and what hangs from it.
static void ClearItemsAround(ObjNode* keep, float radius)
{
    for (ObjNode* node = gObjectListHead; node && node->Slot < SLOT_OF_FIRST_NON_WORLD;) {
        ObjNode* next = node->NextInList;
        bool kept = false;
        for (ObjNode* link = keep; link; link = link->ChainNext)
            kept = kept || link == node;
        float dx = node->Position.x - keep->Position.x, dz = node->Position.z - keep->Position.z;
        if (!kept && node->TerrainItem && node->CType != INVALID_NODE_FLAG &&
            (node->CType & (CTYPE_ITEM_TOUCH_ONLY | CTYPE_ITEM_CROWN)) && dx * dx + dz * dz < radius * radius)
            DisposeObject(node);
        node = next;
    }
}

TEST_F(HazardTest, FlyingIntoAMineCrashesThePlayerExceptInEasyMode)
{
    StartLevel(0);
    gPrefs.easyMode = 1;
    ObjNode* anchor = HazardAhead(kAirMine, 1500);
    ObjNode* mine = anchor->ChainNext->ChainNext;
    mine->TriggerProc(mine, gPlayers[0].objNode);
    EXPECT_FALSE(gPlayerDead[0]) << "easy mode forgives it";
    gPrefs.easyMode = 0;

    // Flown into: the player comes at the mine level and head on, from close by and with the
    // scenery around cleared, so that no tree or rock takes the blow first.
    anchor = HazardAhead(kAirMine, 2500);
    mine = anchor->ChainNext->ChainNext;
    ClearItemsAround(anchor, 600);
    ObjNode* player = gPlayers[0].objNode;
    Point3D from = {mine->Position.x + std::sin(player->Rotation.y) * 120, mine->Position.y,
                    mine->Position.z + std::cos(player->Rotation.y) * 120};
    FlyFrom(from, 900);
    for (int i = 0; i < 40 && !gPlayerDead[0]; i++)
        Play(1);
    EXPECT_TRUE(gPlayerDead[0]) << "the mine blows the player out of the sky";
    EXPECT_EQ(anchor->ChainNext, nullptr);
}

// --- Tower turrets ---

TEST_F(HazardTest, ATurretTurnsToThePlayerInRangeFiresAndGoesDownForGood)
{
    StartLevel(1);
    ObjNode* base = HazardAhead(kTurret, 1800);
    ASSERT_NE(base, nullptr);
    Point3D at = AheadOfPlayer(0);
    ParkPlayerAt({at.x, base->Position.y + 700, at.z});

    float lowest = 1;
    int shots = 0;
    for (int frame = 0; frame < 240; frame++) {
        Play(1);
        lowest = std::min(lowest, gPlayers[0].health);
        shots = std::max(shots, CountNodesInSlot(2999));
    }
    EXPECT_GT(shots, 0) << "it fired";
    EXPECT_LT(lowest, 1.0f) << "and hit";
    EXPECT_NEAR(std::fmod(1.0f - lowest + 1e-4f, 0.08f), 0, 1e-3f) << "0.08 a shot";

    MapItemType* item = base->TerrainItem;
    ObjNode strong = Attacker(0.8f);
    base->ChainNext->WeaponHitProc(&strong, base->ChainNext, nullptr, nullptr);
    EXPECT_FALSE(IsInList(base));
    EXPECT_TRUE(item->flags & ITEM_FLAG_ADDED) << "a destroyed turret never returns";
}

// --- Laser orbs ---

TEST_F(HazardTest, ALaserOrbBurnsAPlayerInSightButNeverFiresSteeply)
{
    StartLevel(0);
    ObjNode* orb = HazardAhead(kLaserOrb, 1500);
    ASSERT_NE(orb, nullptr);
    Point3D at = AheadOfPlayer(0);
    ParkPlayerAt({at.x, orb->Position.y + 268, at.z});
    int frames = 0;
    for (; frames < 120 && gPlayers[0].health >= 1.0f; frames++) {
        AimStraightAtTheTarget(orb);
        Play(1);
    }
    EXPECT_LT(gPlayers[0].health, 1.0f) << "the beam burns";
    EXPECT_GT(gPlayers[0].health, 1.0f - frames * 0.15f * kStep - 1e-4f) << "0.15 a second at most";

    // Straight above the orb, the beam would point up more than 30 degrees.
    ParkPlayerAt({orb->Position.x + 200, orb->Position.y + 1500, orb->Position.z});
    Play(1);
    EXPECT_EQ(orb->Phase, 0);
    float health = gPlayers[0].health;
    Play(30);
    EXPECT_FLOAT_EQ(gPlayers[0].health, health);
}

TEST_F(HazardTest, AnOrbDeletedByWhatItsBeamHitEndsItsFrameWithoutTouchingItself)
{
    StartLevel(0);
    ObjNode* orb = HazardAhead(kLaserOrb, 1500);
    ASSERT_NE(orb, nullptr);
    Point3D at = AheadOfPlayer(0);
    ParkPlayerAt({at.x, orb->Position.y + 268, at.z});
    gPlayers[0].objNode->WeaponHitProc = DeleteTheAttacker;
    gAttackerDeleted = false;

    ASSERT_GE(orb->PoolIndex, 0) << "a pool node: its record can be looked at after it is freed";

    ScopedAlertCapture alerts;
    for (int frame = 0; frame < 60 && !gAttackerDeleted; frame++) {
        AimStraightAtTheTarget(orb);
        Play(1);
    }
    ASSERT_TRUE(gAttackerDeleted) << "the beam reached the player";
    EXPECT_TRUE(alerts.Alerts().empty()) << "no alert, no crash";
    EXPECT_FALSE(IsInList(orb));
    EXPECT_FLOAT_EQ(orb->Rotation.y, gAttackerHeadingWhenDeleted) << "the orb's routine stopped at once";
    Play(5);
}

// --- Crystals ---

TEST_F(HazardTest, AShotCrystalShattersItsShockRingBreaksItsNeighbourAndItComesBackAsABase)
{
    StartLevel(1);
    ObjNode* base = HazardAhead(kCrystal, 2000, 0, 0);
    ObjNode* neighbour = HazardAhead(kCrystal, 2000, 400, 1);
    ASSERT_TRUE(base && neighbour && base->ChainNext && neighbour->ChainNext);
    MapItemType* item = base->TerrainItem;
    MapItemType* neighbourItem = neighbour->TerrainItem;

    ObjNode shot = Attacker(0.01f);
    ObjNode* crystal = base->ChainNext;
    crystal->WeaponHitProc(&shot, crystal, nullptr, nullptr);
    EXPECT_EQ(base->ChainNext, nullptr);
    EXPECT_TRUE(item->flags & ITEM_FLAG_SPENT);
    EXPECT_EQ(CountNodesInSlot(3040), 1) << "a shock ring";

    Play(60);
    EXPECT_TRUE(neighbourItem->flags & ITEM_FLAG_SPENT) << "the ring reached the next crystal";

    DisposeObject(base);
    item->flags &= ~ITEM_FLAG_ADDED;
    ASSERT_TRUE(AddThroughTable(item));
    EXPECT_EQ(ObjectOf(item)->ChainNext, nullptr) << "only the base comes back";
}

// --- Dust devils ---

TEST_F(HazardTest, ADustDevilCatchesAPlayerOverItAndSpinsItRound)
{
    StartLevel(1);
    ObjNode* player = gPlayers[0].objNode;
    Point3D at = AheadOfPlayer(300);
    ObjNode* devil = MakeDustDevil(at.x, at.z);
    ASSERT_NE(devil, nullptr);
    FlyFrom({devil->Position.x + 100, devil->Position.y + 600, devil->Position.z}, 900);
    Play(2);
    EXPECT_EQ(player->Skeleton->animNum, PLAYER_ANIM_SPIN);
    EXPECT_EQ(gPlayers[0].dustDevil, devil);
    EXPECT_GT(gPlayers[0].dustDevilTimer, 3.9f);

    Play(60);
    float dx = player->Position.x - devil->Position.x, dz = player->Position.z - devil->Position.z;
    EXPECT_NEAR(std::sqrt(dx * dx + dz * dz), gPlayers[0].spinRadius, 5) << "round the funnel";
}

TEST_F(HazardTest, TwentyDustDevilsFillTheTableSilently)
{
    StartLevel(1);
    ScopedAlertCapture alerts;
    Point3D at = AheadOfPlayer(3000);
    std::vector<ObjNode*> made;
    while (gNumDustDevils < MAX_DUST_DEVILS)
        made.push_back(MakeDustDevil(at.x, at.z));
    EXPECT_EQ(MakeDustDevil(at.x, at.z), nullptr);
    EXPECT_TRUE(alerts.Alerts().empty());
    DisposeObject(made.back());
    EXPECT_EQ(gNumDustDevils, MAX_DUST_DEVILS - 1) << "a deleted devil frees its slot";
    EXPECT_NE(MakeDustDevil(at.x, at.z), nullptr);
}

// --- Worm burrows ---

TEST_F(HazardTest, AWormLeapsBetweenBurrowsOfAGroupAndALoneBurrowStaysQuiet)
{
    StartLevel(2);
    ParkPlayerAt({gPlayers[0].objNode->Position.x, gPlayers[0].objNode->Position.y + 800,
                  gPlayers[0].objNode->Position.z});
    ObjNode* lone = HazardAhead(kBurrow, 1500, -1500, 20);
    ObjNode* from = HazardAhead(kBurrow, 1500, 0, 21);
    ObjNode* to = HazardAhead(kBurrow, 1500, 1200, 21);
    ASSERT_TRUE(lone && from && to);
    lone->FloatSlots[0] = 0;
    from->FloatSlots[0] = 0;
    to->FloatSlots[0] = 5;

    Play(2);
    EXPECT_EQ(lone->Phase, 0) << "no partner, no worm";
    EXPECT_EQ(from->Phase, 1);
    EXPECT_EQ(to->Phase, 2);
    EXPECT_GE(CountNodesInSlot(491), 1) << "a worm";

    gFixedFrameSeconds = 0.05f;
    bool erupted = false;
    for (int i = 0; i < 110 && from->Phase != 0; i++) {
        Play(1);
        erupted = erupted || to->IntSlots[0];
    }
    EXPECT_TRUE(erupted) << "it burst out of the far burrow";
    EXPECT_EQ(from->Phase, 0) << "home: both burrows idle again";
    EXPECT_EQ(to->Phase, 0);
}

// --- Gas plants and trees ---

TEST_F(HazardTest, GasHurtsAPlayerLowOverThePlantAndMakesItFlinch)
{
    StartLevel(0);
    ObjNode* plant = HazardAhead(kGasPlant, 1500, 0, 1);
    ASSERT_NE(plant, nullptr);
    ParkPlayerAt({plant->Position.x + 60, plant->Position.y + 400, plant->Position.z});
    Play(30);
    EXPECT_NEAR(gPlayers[0].health, 1 - 30 * 0.1f * kStep, 1e-3f) << "0.1 a second";
    EXPECT_EQ(gPlayers[0].objNode->Skeleton->animNum, PLAYER_ANIM_RECOVER);

    ParkPlayerAt({plant->Position.x + 60, plant->Position.y + 800, plant->Position.z});
    float health = gPlayers[0].health;
    Play(10);
    EXPECT_FLOAT_EQ(gPlayers[0].health, health) << "700 up the gas is thin";
}

TEST_F(HazardTest, ShotTreesCatchFireAndCharButTheScreamOnlyShakesLeaves)
{
    StartLevel(0);
    ObjNode* tree = HazardAhead(kTreeA, 1500);
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(tree->WeaponHitProc, nullptr);
    Point3D hit = {tree->Position.x, tree->Position.y + 300, tree->Position.z};

    ObjNode scream = Attacker(0.1f, 3);
    for (int i = 0; i < 20; i++)
        tree->WeaponHitProc(&scream, tree, &hit, nullptr);
    EXPECT_LE(tree->FloatSlots[1], 0) << "the scream never sets a tree alight";

    ObjNode flare = Attacker(0.1f, 1);
    for (int i = 0; i < 40 && tree->FloatSlots[1] <= 0; i++)
        tree->WeaponHitProc(&flare, tree, &hit, nullptr);
    ASSERT_GT(tree->FloatSlots[1], 0) << "one hit in two sets it alight";
    Play(60);
    EXPECT_NEAR(tree->Tint.r, 0.9f, 0.02f) << "charring 0.1 a second";
    EXPECT_NEAR(tree->FloatSlots[0], hit.y - 30, 1) << "the flames sink 30 a second";
}

TEST_F(HazardTest, TheFirstDesertTreeNeverBurns)
{
    StartLevel(1);
    ObjNode* plain = HazardAhead(kDesertTree, 1500, 0, 0);
    ObjNode* burning = HazardAhead(kDesertTree, 1500, 800, 1);
    ASSERT_TRUE(plain && burning);
    EXPECT_EQ(plain->WeaponHitProc, nullptr);
    EXPECT_NE(burning->WeaponHitProc, nullptr);
}

} // namespace
