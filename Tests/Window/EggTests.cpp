// Eggs and wormholes flown on the generated levels: pickup, carrying, dropping, delivery through a
// wormhole's open side, the exit wormhole ending an adventure level, and the two-player results.

#include "Gameplay/Eggs.h"
#include "Skeleton/Skeleton.h"
#include "Support/AlertCapture.h"
#include "WeaponEggFixture.h"

#include <algorithm>
#include <deque>

namespace {

using namespace weapon_egg_test;

constexpr uint16_t kResultSlot = 3100;

class EggTest : public LevelPlayTest
{
protected:
    // An adventure level with player 0 high up and flying.
    void StartAdventure()
    {
        StartLevel(0, kPlayMode_Adventure, 1);
        Play(20); // out of the start wormhole
        ObjNode* node = gPlayers[0].objNode;
        PlaceHigh(0, node->Position.x, node->Position.z, node->Rotation.y, 700, 900);
    }

    MapItemType* NewItem(uint16_t type, float x, float z, uint8_t parm0, uint8_t parm1 = 0)
    {
        MapItemType item = {};
        item.x = int32_t(x);
        item.z = int32_t(z);
        item.type = type;
        item.parm[0] = parm0;
        item.parm[1] = parm1;
        item.terrainY = TerrainHeightAt(x, z);
        items.push_back(item);
        return &items.back();
    }

    // A nest with an egg of `colour` at (x, z); returns the egg.
    ObjNode* MakeEgg(int colour, float x, float z)
    {
        MapItemType* item = NewItem(3, x, z, uint8_t(colour));
        EXPECT_TRUE(AddEgg(item, x, z));
        ObjNode* nest = FindByItem(item);
        return nest ? nest->ChainNext : nullptr;
    }

    ObjNode* MakeWormhole(float x, float z, int owner)
    {
        MapItemType* item = NewItem(4, x, z, 0, uint8_t(owner));
        EXPECT_TRUE(AddEggWormhole(item, x, z));
        return FindByItem(item);
    }

    static ObjNode* FindByItem(const MapItemType* item)
    {
        for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
            if (node->TerrainItem == item && node->CType != INVALID_NODE_FLAG)
                return node;
        return nullptr;
    }

    // Puts the egg at the player's claw and lets the claw take it.
    void GiveEgg(int player, ObjNode* egg)
    {
        Point3D claw;
        FindJointPosition(gPlayers[player].objNode, 27, &claw);
        egg->Position = claw;
        egg->Velocity = {0, 0, 0};
        RebuildNodeTransform(egg);
        Play(1);
    }

    // Player `player` `distance` from the wormhole's mouth along its axis (negative: the open side),
    // facing the mouth.
    static void PlaceAtWormhole(int player, ObjNode* wormhole, float distance)
    {
        Point3D mouth, deeper;
        FindJointPosition(wormhole, 0, &mouth);
        FindJointPosition(wormhole, 1, &deeper);
        Vector3D axis;
        Normalize3XYZ(deeper.x - mouth.x, deeper.y - mouth.y, deeper.z - mouth.z, &axis);
        Point3D at = {mouth.x + axis.x * distance, mouth.y + axis.y * distance, mouth.z + axis.z * distance};
        ObjNode* node = gPlayers[player].objNode;
        float heading = std::atan2(-(mouth.x - at.x), -(mouth.z - at.z));
        PlaceHigh(player, at.x, at.z, heading, 700, 0);
        node->Position.y = at.y;
        RebuildNodeTransform(node);
    }

    static int CountResultPictures(int pane, int sprite)
    {
        int count = 0;
        for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
            if (node->Slot == kResultSlot && node->CType != INVALID_NODE_FLAG && node->PaneIndex == pane &&
                node->ArtIndex == sprite)
                count++;
        return count;
    }

    // Plays until the colour's delivered count reaches `count`; false when it never does.
    bool PlayUntilDelivered(int colour, int count, int maxFrames = 400)
    {
        for (int frame = 0; frame < maxFrames; frame++) {
            if (gEggsDelivered[colour] >= count)
                return true;
            if (!Play(1))
                return gEggsDelivered[colour] >= count;
        }
        return gEggsDelivered[colour] >= count;
    }

    std::deque<MapItemType> items; // outlive the level's objects, which point at them
};

TEST_F(EggTest, AnEggIsDeliveredOnlyFromTheWormholesOpenSide)
{
    StartAdventure();
    ObjNode* wormhole = MakeWormhole(AheadOfPlayer(4000).x, AheadOfPlayer(4000).z, 0);
    ASSERT_NE(wormhole, nullptr);
    ObjNode* egg = MakeEgg(2, AheadOfPlayer(300).x, AheadOfPlayer(300).z);
    ASSERT_NE(egg, nullptr);
    GiveEgg(0, egg);
    ASSERT_EQ(gPlayers[0].carriedEgg, egg) << "the claw took the egg";

    // Behind the wormhole, within reach of its mouth: refused.
    PlaceAtWormhole(0, wormhole, 800);
    Play(1);
    EXPECT_EQ(gPlayers[0].carriedEgg, egg) << "the closed side swallows nothing";

    // In front of the mouth: swallowed, flown down the tunnel and counted.
    PlaceAtWormhole(0, wormhole, -800);
    Play(1);
    EXPECT_EQ(gPlayers[0].carriedEgg, nullptr);
    uint8_t before = gEggsDelivered[2];
    EXPECT_TRUE(PlayUntilDelivered(2, before + 1));
    EXPECT_FALSE(gAllEggsDelivered) << "the level's other eggs are still out";
}

TEST_F(EggTest, AHurtPlayerDropsItsEggExceptInEasyMode)
{
    StartAdventure();
    ObjNode* egg = MakeEgg(1, AheadOfPlayer(300).x, AheadOfPlayer(300).z);
    GiveEgg(0, egg);
    ASSERT_EQ(gPlayers[0].carriedEgg, egg);
    DamagePlayer(0, 0.1f, PLAYER_DEATH_FALL, nullptr, true);
    EXPECT_EQ(gPlayers[0].carriedEgg, nullptr);
    float dropHeight = egg->Position.y;
    Play(120);
    EXPECT_LT(egg->Position.y, dropHeight - 300) << "the dropped egg falls";
    EXPECT_EQ(gPlayers[0].carriedEgg, nullptr) << "and is not taken back at once";

    gPrefs.easyMode = 1;
    gPlayers[0].health = 1;
    GiveEgg(0, egg);
    ASSERT_EQ(gPlayers[0].carriedEgg, egg);
    DamagePlayer(0, 0.1f, PLAYER_DEATH_FALL, nullptr, true);
    EXPECT_EQ(gPlayers[0].carriedEgg, egg) << "easy mode keeps the egg";
}

TEST_F(EggTest, TheLastDeliveryOpensTheExitAndFlyingInWinsTheLevel)
{
    StartAdventure();
    std::fill(std::begin(gEggsInLevel), std::end(gEggsInLevel), 0);
    std::fill(std::begin(gEggsDelivered), std::end(gEggsDelivered), 0);
    gEggsInLevel[4] = 1; // the only egg of the level; empty colours never block
    ObjNode* wormhole = MakeWormhole(AheadOfPlayer(4000).x, AheadOfPlayer(4000).z, 0);
    GiveEgg(0, MakeEgg(4, AheadOfPlayer(300).x, AheadOfPlayer(300).z));
    PlaceAtWormhole(0, wormhole, -800);
    ASSERT_TRUE(PlayUntilDelivered(4, 1));
    EXPECT_TRUE(gAllEggsDelivered);

    // The egg wormhole shrinks away and the exit grows in its place.
    for (int frame = 0; frame < 200 && !(gExitWormhole && gExitWormhole->Scale.x >= 4); frame++) {
        HoldStill(0);
        Play(1);
    }
    ASSERT_NE(gExitWormhole, nullptr);
    EXPECT_EQ(FindByItem(&items.front()), nullptr) << "the egg wormhole is gone";
    const Point3D& exitAt = gExitWormhole->Position;
    EXPECT_NEAR(exitAt.y, TerrainHeightAt(exitAt.x, exitAt.z) + 1400, 1);
    ASSERT_EQ(gExitWormhole->Scale.x, 4.0f);

    // In front of its mouth player 0 is drawn in, and the level ends won.
    Vector3D down = {0, -1, 0}, mouth;
    TransformVector(&down, &gExitWormhole->Transform, &mouth);
    ObjNode* player = gPlayers[0].objNode;
    player->Position = {exitAt.x + mouth.x * 600, exitAt.y + mouth.y * 600, exitAt.z + mouth.z * 600};
    RebuildNodeTransform(player);
    Play(2);
    EXPECT_EQ(player->Skeleton->animNum, PLAYER_ANIM_EXIT);
    for (int frame = 0; frame < 600 && !gLevelEnding; frame++)
        Play(1);
    EXPECT_TRUE(gLevelEnding);
    EXPECT_FALSE(gLevelLost);
}

TEST_F(EggTest, ACaptureMatchIsWonByBringingTheRivalsEggsHome)
{
    StartLevel(7, kPlayMode_CaptureTheFlag, 2);
    Play(5);
    ObjNode* node = gPlayers[0].objNode;
    PlaceHigh(0, node->Position.x, node->Position.z, node->Rotation.y, 700, 900);
    gEggsInLevel[0] = 1;
    gEggsInLevel[1] = 1;
    std::fill(std::begin(gEggsDelivered), std::end(gEggsDelivered), 0);
    ObjNode* ownWormhole = MakeWormhole(AheadOfPlayer(4000).x, AheadOfPlayer(4000).z, 0);

    // A team's own colour never goes into its own wormhole, even the nearest.
    ObjNode* ownEgg = MakeEgg(0, AheadOfPlayer(300).x, AheadOfPlayer(300).z);
    GiveEgg(0, ownEgg);
    ASSERT_EQ(gPlayers[0].carriedEgg, ownEgg);
    PlaceAtWormhole(0, ownWormhole, -800);
    Play(1);
    EXPECT_EQ(gPlayers[0].carriedEgg, ownEgg);
    DropEgg(0);

    // The rival's colour goes in and decides the match: player 0 wins, player 1 loses.
    ObjNode* rivalEgg = MakeEgg(1, AheadOfPlayer(300).x, AheadOfPlayer(300).z);
    Play(70); // the dropped egg's pickup delay has run out; it is not near the claw any more
    GiveEgg(0, rivalEgg);
    ASSERT_EQ(gPlayers[0].carriedEgg, rivalEgg);
    PlaceAtWormhole(0, ownWormhole, -800);
    ASSERT_TRUE(PlayUntilDelivered(1, 1));
    EXPECT_TRUE(gLevelEnding);
    EXPECT_EQ(CountResultPictures(0, 32), 1) << "win picture in player 0's pane";
    EXPECT_EQ(CountResultPictures(1, 33), 1) << "lose picture in player 1's pane";
}

TEST_F(EggTest, ABattleMatchShowsTheWinnerAndLoserPictures)
{
    StartLevel(5, kPlayMode_Battle, 2);
    gPlayers[1].lives = 0;
    KillPlayer(1, PLAYER_DEATH_EXPLODE, nullptr);
    EXPECT_TRUE(gLevelEnding);
    EXPECT_EQ(CountResultPictures(0, 32), 1);
    EXPECT_EQ(CountResultPictures(1, 33), 1);
    EXPECT_EQ(CountResultPictures(0, 33) + CountResultPictures(1, 32), 0);
}

TEST_F(EggTest, EggsAreCountedByColourAndABadColourIsFatal)
{
    StartAdventure();
    FindAllEggItems();
    int total = 0;
    for (uint8_t count : gEggsInLevel)
        total += count;
    EXPECT_EQ(total, 10) << "the generated level has ten nests";
    EXPECT_EQ(gEggsDelivered[0] + gEggsDelivered[1], 0);

    MapItemType* eggItem = nullptr;
    for (int i = 0; i < gNumMapItems && !eggItem; i++)
        if (gMapItems[i].type == 3)
            eggItem = &gMapItems[i];
    ASSERT_NE(eggItem, nullptr);
    uint8_t saved = eggItem->parm[0];
    eggItem->parm[0] = 5;
    EXPECT_EQ(FatalAlertMessageOf([] { FindAllEggItems(); }), "FindAllEggItems: bad egg color!");
    eggItem->parm[0] = saved;
}

} // namespace
