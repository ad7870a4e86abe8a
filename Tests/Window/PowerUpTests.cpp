// Power-ups flown through and taken on the generated levels: what each gives and its limits, the
// weapon amounts per mode, and what becomes of a taken power-up with one pane and with two.

#include "HazardPlayFixture.h"

namespace {

constexpr uint16_t kWeaponPow = 6, kFuelPow = 21, kHealthPow = 22, kShieldPow = 33, kLifePow = 47;

class PowerUpTest : public HazardPlayTest
{
protected:
    // A power-up of `type` hovering right in player 0's way, 400 ahead.
    ObjNode* PowerUpInTheWay(uint16_t type, uint8_t weapon = 0)
    {
        Point3D ahead = AheadOfPlayer(400);
        MapItemType* item = NewItem(type, ahead.x, ahead.z, weapon);
        item->terrainY = gPlayers[0].objNode->Position.y - 200; // hovering at the player's height
        EXPECT_TRUE(AddThroughTable(item));
        return ObjectOf(item);
    }

    static void Take(ObjNode* pow)
    {
        ASSERT_NE(pow, nullptr);
        ASSERT_NE(pow->TriggerProc, nullptr);
        pow->TriggerProc(pow, gPlayers[0].objNode);
    }
};

TEST_F(PowerUpTest, FlyingThroughFuelFillsHalfATankAndWithOnePaneItIsGoneForTheLevel)
{
    StartLevel(0);
    FlyFrom({gPlayers[0].objNode->Position.x,
             GroundAt(gPlayers[0].objNode->Position.x, gPlayers[0].objNode->Position.z) + 900,
             gPlayers[0].objNode->Position.z},
            900);
    gPlayers[0].jetFuel = 0.2f;
    ObjNode* pow = PowerUpInTheWay(kFuelPow);
    ASSERT_NE(pow, nullptr);
    MapItemType* item = pow->TerrainItem;

    Play(45); // 400 units at 900 a second, and a little more
    EXPECT_NEAR(gPlayers[0].jetFuel, 0.7f, 0.01f) << "the flight through took it";
    EXPECT_EQ(pow->Phase, 1) << "taken: its icon fades";
    EXPECT_EQ(pow->CType, 0u) << "it cannot be taken twice";

    // Out of sight behind the player it goes for good: its item stays taken.
    for (int i = 0; i < 600 && IsInList(pow); i++)
        Play(1);
    EXPECT_FALSE(IsInList(pow));
    EXPECT_TRUE(item->flags & ITEM_FLAG_ADDED) << "a window scan never makes it again";
}

TEST_F(PowerUpTest, EachKindAddsItsAmountUpToItsLimit)
{
    StartLevel(0);
    PlayerRecord& record = gPlayers[0];

    record.jetFuel = 0.8f;
    Take(PowerUpInTheWay(kFuelPow));
    EXPECT_FLOAT_EQ(record.jetFuel, 1.0f) << "fuel stops at a full tank";

    record.health = 0.3f;
    Take(PowerUpInTheWay(kHealthPow));
    EXPECT_FLOAT_EQ(record.health, 0.8f) << "health +0.5 in the adventure";
    Take(PowerUpInTheWay(kHealthPow));
    EXPECT_FLOAT_EQ(record.health, 1.0f);

    record.shieldTimer = 0;
    DisposeObject(record.shieldObj); // as when an emptied shield's bubble has faded
    record.shieldObj = nullptr;
    Take(PowerUpInTheWay(kShieldPow));
    EXPECT_FLOAT_EQ(record.shieldTimer, 1.5f);
    EXPECT_NE(record.shieldObj, nullptr) << "the bubble appears";
    Take(PowerUpInTheWay(kShieldPow));
    Take(PowerUpInTheWay(kShieldPow));
    EXPECT_FLOAT_EQ(record.shieldTimer, 3.0f) << "a shield holds at most 3";

    int16_t lives = record.lives;
    ObjNode* life = PowerUpInTheWay(kLifePow);
    Take(life);
    Take(life);
    EXPECT_EQ(record.lives, lives + 1) << "one life, and a taken power-up gives nothing more";
}

TEST_F(PowerUpTest, HealthGivesAQuarterInTheTwoPlayerModes)
{
    StartLevel(5, kPlayMode_Battle, 2);
    gPlayers[0].health = 0.5f;
    Take(PowerUpInTheWay(kHealthPow));
    EXPECT_FLOAT_EQ(gPlayers[0].health, 0.75f);
}

TEST_F(PowerUpTest, WeaponAmmunitionIsCappedAt999AndArmsAnUnarmedPlayer)
{
    StartLevel(0);
    PlayerRecord& record = gPlayers[0];
    EXPECT_EQ(WeaponPowerUpAmount(0), 25);
    EXPECT_EQ(WeaponPowerUpAmount(1), 20);
    EXPECT_EQ(WeaponPowerUpAmount(2), 10) << "missiles come in tens in the adventure";
    EXPECT_EQ(WeaponPowerUpAmount(4), 20);

    record.currentWeapon = -1;
    record.ammo[4] = 0;
    Take(PowerUpInTheWay(kWeaponPow, 4));
    EXPECT_EQ(record.ammo[4], 20);
    EXPECT_EQ(record.currentWeapon, 4) << "an unarmed player takes up the new weapon";

    record.ammo[0] = 990;
    Take(PowerUpInTheWay(kWeaponPow, 0));
    EXPECT_EQ(record.ammo[0], 999) << "990 + 25 is held at 999";
    EXPECT_EQ(record.currentWeapon, 4) << "an armed player keeps the weapon in hand";

    // The scream has no power-up: its item makes nothing, yet counts as added.
    MapItemType* scream = NewItem(kWeaponPow, AheadOfPlayer(400).x, AheadOfPlayer(400).z, 3);
    EXPECT_TRUE(AddThroughTable(scream));
    EXPECT_EQ(ObjectOf(scream), nullptr);
    MapItemType* beyond = NewItem(kWeaponPow, AheadOfPlayer(400).x, AheadOfPlayer(400).z, 200);
    EXPECT_TRUE(AddThroughTable(beyond)) << "a weapon the game lacks makes nothing either";
    EXPECT_EQ(ObjectOf(beyond), nullptr);
}

TEST_F(PowerUpTest, InARaceATakenPowerUpReturnsAfterFiveSeconds)
{
    StartLevel(3, kPlayMode_Race, 2);
    EXPECT_EQ(WeaponPowerUpAmount(2), 4) << "missiles come in fours in the two-player modes";
    ObjNode* pow = PowerUpInTheWay(kFuelPow);
    Take(pow);
    for (int player = 0; player < 2; player++) // both stay near it, so it stays in range
        gPlayers[player].objNode->StatusFlags |= NODEBIT_FROZEN;
    ObjNode* icon = pow->ChainNext;
    ASSERT_NE(icon, nullptr);

    gFixedFrameSeconds = 0.05f;
    Play(11); // the icon fades out in half a second
    EXPECT_EQ(pow->Phase, 3) << "waiting to come back";
    Play(96); // 4.8 s of the 5 s wait
    EXPECT_EQ(pow->Phase, 3);
    Play(6);
    EXPECT_EQ(pow->Phase, 2) << "returning: the icon fades back in";
    Play(22);
    EXPECT_EQ(pow->Phase, 0);
    EXPECT_EQ(pow->CType, CTYPE_POWERUP) << "it can be taken again";
    EXPECT_FLOAT_EQ(icon->Tint.a, 1.0f);
}

} // namespace
