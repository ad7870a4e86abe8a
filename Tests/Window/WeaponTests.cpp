// The player's weapons flown on the generated levels: firing rhythm and ammunition, choosing weapons,
// the sonic scream's charge, hits on targets and players, missile lock-on and blast rings.

#include "Gameplay/Effects.h"
#include "Gameplay/Weapons.h"
#include "WeaponEggFixture.h"

namespace {

using namespace weapon_egg_test;

class WeaponTest : public LevelPlayTest
{
protected:
    // Adventure level 1, player 0 high and level, `weapon` selected with 50 rounds of everything.
    void StartArmed(int weapon)
    {
        StartLevel(0, kPlayMode_Adventure, 1);
        Play(20); // out of the start wormhole
        ObjNode* node = gPlayers[0].objNode;
        PlaceHigh(0, node->Position.x, node->Position.z, node->Rotation.y, 700, 1000);
        for (int16_t& rounds : gPlayers[0].ammo)
            rounds = 50;
        gPlayers[0].currentWeapon = int16_t(weapon);
    }

    // Live shots of a weapon (the blast ring counts as weapon 0 in its own slot).
    static int CountShots(uint16_t slot, int weapon)
    {
        int count = 0;
        for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
            if (node->Slot == slot && node->CType != INVALID_NODE_FLAG && node->Variant == weapon &&
                (node->CType == CTYPE_SHOT || slot == BLAST_RING_SLOT))
                count++;
        return count;
    }

    static void HoldFire(bool down) { SetScriptedNeedValue(0, kNeedFire, down ? 1.0f : 0.0f); }
};

TEST_F(WeaponTest, StunGunRepeatsWhileHeldOtherWeaponsNeedANewPress)
{
    StartArmed(WEAPON_STUN_GUN);
    HoldFire(true);
    Play(1);
    EXPECT_EQ(gPlayers[0].ammo[WEAPON_STUN_GUN], 49) << "a press fires at once";
    // The side that fired flashes its muzzle sparkle on the jet pack, the other stays dark.
    const ObjNode* jetPack = gPlayers[0].objNode->ChainNext;
    int16_t fired = jetPack->SparkleSlots[gPlayers[0].muzzleSide];
    int16_t other = jetPack->SparkleSlots[gPlayers[0].muzzleSide ^ 1];
    ASSERT_GE(fired, 0);
    ASSERT_GE(other, 0);
    EXPECT_GT(gSparkleTable[fired].color[3], 0.9f);
    EXPECT_EQ(gSparkleTable[fired].halfSize, 50.0f);
    EXPECT_EQ(gSparkleTable[other].color[3], 0.0f);
    Play(59); // one second held in all
    int shots = 50 - gPlayers[0].ammo[WEAPON_STUN_GUN];
    EXPECT_GE(shots, 6);
    EXPECT_LE(shots, 7) << "about six shots a second while held";
    HoldFire(false);
    Play(15);
    EXPECT_EQ(gSparkleTable[fired].color[3], 0.0f) << "a flash dies away within a quarter second";

    for (int weapon : {WEAPON_FLARE_GUN, WEAPON_MISSILE, WEAPON_BOMB}) {
        gPlayers[0].currentWeapon = int16_t(weapon);
        HoldFire(true);
        Play(40);
        HoldFire(false);
        Play(2);
        EXPECT_EQ(gPlayers[0].ammo[weapon], 49) << "weapon " << weapon << " fires once per press";
    }
}

TEST_F(WeaponTest, TheScreamNeedsMoreThanAThirdOfACharge)
{
    StartArmed(WEAPON_SONIC_SCREAM);
    gPlayers[0].ammo[WEAPON_SONIC_SCREAM] = 999;

    // Half a second of charge is 0.25: released, nothing happens and nothing is spent.
    HoldFire(true);
    Play(31);
    EXPECT_NEAR(gPlayers[0].weaponCharge, 0.25f, 0.01f);
    HoldFire(false);
    Play(1);
    EXPECT_EQ(gPlayers[0].weaponCharge, 0.0f);
    EXPECT_EQ(CountShots(SONIC_SCREAM_SLOT, WEAPON_SONIC_SCREAM), 0);
    EXPECT_EQ(gPlayers[0].ammo[WEAPON_SONIC_SCREAM], 999);

    // A full charge takes two seconds and is capped at 1.
    HoldFire(true);
    Play(1 + 120);
    EXPECT_NEAR(gPlayers[0].weaponCharge, 1.0f, 0.01f);
    Play(30);
    EXPECT_EQ(gPlayers[0].weaponCharge, 1.0f);
    HoldFire(false);
    Play(1);
    EXPECT_EQ(CountShots(SONIC_SCREAM_SLOT, WEAPON_SONIC_SCREAM), 1);
    EXPECT_EQ(gPlayers[0].ammo[WEAPON_SONIC_SCREAM], 998);
}

TEST_F(WeaponTest, ChoosingWeaponsSkipsEmptyOnesAndFallsBackToTheScream)
{
    StartArmed(WEAPON_STUN_GUN);
    PlayerRecord& record = gPlayers[0];
    for (int16_t& rounds : record.ammo)
        rounds = 0;
    record.ammo[WEAPON_SONIC_SCREAM] = 999;
    record.ammo[WEAPON_STUN_GUN] = 1;
    record.ammo[WEAPON_BOMB] = 3;

    // The last stun shot moves on to the bombs, past the scream.
    HoldFire(true);
    Play(1);
    HoldFire(false);
    Play(1);
    EXPECT_EQ(record.ammo[WEAPON_STUN_GUN], 0);
    EXPECT_EQ(record.currentWeapon, WEAPON_BOMB);

    // By hand the scream is a choice like any other; empty weapons are skipped both ways.
    SelectNextWeapon(0);
    EXPECT_EQ(record.currentWeapon, WEAPON_SONIC_SCREAM);
    SelectPreviousWeapon(0);
    EXPECT_EQ(record.currentWeapon, WEAPON_BOMB);

    // The last bomb leaves only the scream; with nothing else a change does nothing.
    record.ammo[WEAPON_BOMB] = 1;
    SelectWeapon(0, false, +1);
    EXPECT_EQ(record.currentWeapon, WEAPON_SONIC_SCREAM) << "nothing else has ammunition";
    SelectWeapon(0, true, +1);
    EXPECT_EQ(record.currentWeapon, WEAPON_BOMB);
    record.ammo[WEAPON_BOMB] = 0;
    record.currentWeapon = WEAPON_SONIC_SCREAM;
    SelectWeapon(0, true, +1);
    SelectWeapon(0, true, -1);
    EXPECT_EQ(record.currentWeapon, WEAPON_SONIC_SCREAM);

    // Pick-ups add up to 999 at most; a player without a weapon takes the new one.
    GiveWeaponAmmo(0, WEAPON_MISSILE, 990);
    GiveWeaponAmmo(0, WEAPON_MISSILE, 20);
    EXPECT_EQ(record.ammo[WEAPON_MISSILE], 999);
    record.currentWeapon = -1;
    GiveWeaponAmmo(0, WEAPON_FLARE_GUN, 20);
    EXPECT_EQ(record.currentWeapon, WEAPON_FLARE_GUN);
}

TEST_F(WeaponTest, EachShotHitsATargetAheadForItsDamage)
{
    struct Case
    {
        int weapon;
        float damage;
        int pressFrames; // frames the fire need is held
    };
    for (Case c : {Case{WEAPON_STUN_GUN, 0.2f, 1}, Case{WEAPON_FLARE_GUN, 0.4f, 1},
                   Case{WEAPON_MISSILE, 0.8f, 1}, Case{WEAPON_SONIC_SCREAM, 1.0f, 150}}) {
        SCOPED_TRACE(c.weapon);
        StartArmed(c.weapon);
        ClearSceneryAround();
        // The target stands before the trigger is pulled: a missile locks on to what the aim ray
        // finds when it leaves, which could otherwise be a creature further off.
        ObjNode* target = MakeTarget(AheadOfPlayer(700));
        target->Rotation = {PI / 2, gPlayers[0].objNode->Rotation.y, 0}; // the pad faces the shooter
        RebuildNodeTransform(target);
        gTargetDamage.clear();
        gTargetVariant.clear();
        HoldFire(true);
        Point3D firingPoint = gPlayers[0].objNode->Position; // kept while the scream charges
        for (int frame = 0; frame < c.pressFrames; frame++) {
            gPlayers[0].objNode->Position = firingPoint;
            HoldStill(0);
            Play(1);
        }
        HoldFire(false);
        for (int frame = 0; frame < 120 && gTargetDamage.empty(); frame++) {
            HoldStill(0); // behind the shot
            Play(1);
        }
        ASSERT_FALSE(gTargetDamage.empty()) << "the shot reached the target";
        EXPECT_NEAR(gTargetDamage[0], c.damage, 1e-4f);
        EXPECT_EQ(gTargetVariant[0], c.weapon);
        DisposeObject(target);
        HarnessEndLevel();
        levelRunning = false;
    }
}

TEST_F(WeaponTest, AStunShotHurtsTheOtherPlayerUnlessShielded)
{
    StartLevel(5, kPlayMode_Battle, 2);
    Play(5);
    ObjNode* shooter = gPlayers[0].objNode;
    PlaceHigh(0, shooter->Position.x, shooter->Position.z, shooter->Rotation.y, 0.01f, 800);
    // Player 1 crosses the line of fire 600 ahead, at the muzzle's height.
    Point3D ahead = AheadOfPlayer(600, 0, 14);
    float across = shooter->Rotation.y + PI / 2;
    PlaceHigh(1, ahead.x, ahead.z, across, 0.01f, ahead.y - TerrainHeightAt(ahead.x, ahead.z));
    gPlayers[0].currentWeapon = WEAPON_STUN_GUN;
    gPlayers[0].ammo[WEAPON_STUN_GUN] = 10;
    ClearSceneryAround();

    auto fireAndWait = [&] {
        HoldFire(true);
        Play(1);
        HoldFire(false);
        for (int frame = 0; frame < 20; frame++) {
            HoldStill(0);
            ObjNode* target = gPlayers[1].objNode;
            target->Position = ahead;
            target->Rotation = {0, across, 0};
            HoldStill(1);
            gPlayers[1].invincibleTimer = 0;
            Play(1);
        }
    };
    fireAndWait();
    EXPECT_NEAR(gPlayers[1].health, 1.0f - 0.35f, 1e-4f) << "two-player stun damage";

    gPlayers[1].health = 1;
    gPlayers[1].shieldTimer = 3;
    fireAndWait();
    EXPECT_EQ(gPlayers[1].health, 1.0f) << "a shield stops the stun gun";
    EXPECT_EQ(gPlayers[1].shieldTimer, 3.0f) << "and only the scream drains it";
}

TEST_F(WeaponTest, AMissileWithoutAnAimTargetLocksOnWithinThirtyDegrees)
{
    StartArmed(WEAPON_MISSILE);
    ClearSceneryAround();
    // 20 degrees off the aim line: the aim ray misses it, a straight missile would too.
    ObjNode* target = MakeTarget(AheadOfPlayer(1400, 1400 * std::tan(0.35f)), 6);
    UpdateWeaponAim(0);
    ASSERT_NE(gPlayers[0].aimTarget, target);
    HoldFire(true);
    Play(1);
    HoldFire(false);
    for (int frame = 0; frame < 150 && gTargetDamage.empty(); frame++) {
        HoldStill(0);
        Play(1);
    }
    ASSERT_FALSE(gTargetDamage.empty()) << "the missile turned onto the target";
    EXPECT_NEAR(gTargetDamage[0], 0.8f, 1e-4f);
}

TEST_F(WeaponTest, TheAimRayFindsTheTargetAheadAndPlacesTheReticle)
{
    StartArmed(WEAPON_MISSILE);
    ObjNode* target = MakeTarget(AheadOfPlayer(2000));
    UpdateWeaponAim(0);
    EXPECT_EQ(gPlayers[0].aimTarget, target);
    EXPECT_EQ(gPlayers[0].aimTargetStamp, target->Stamp);
    const Point3D& p = gPlayers[0].objNode->Position;
    EXPECT_NEAR(Distance3D(&gPlayers[0].aimPoints[0], &p), 1000, 1);
    EXPECT_NEAR(Distance3D(&gPlayers[0].aimPoints[1], &p), 6000, 1);
}

TEST_F(WeaponTest, ABlastRingHurtsItsOwnShooterAndFadesInAFewTenths)
{
    StartArmed(WEAPON_BOMB);
    ObjNode* node = gPlayers[0].objNode;
    PlaceHigh(0, node->Position.x, node->Position.z, node->Rotation.y, 0.01f, 1000);
    Point3D below = {node->Position.x, node->Position.y - 150, node->Position.z};
    MakeBlastRing(&below);
    for (int frame = 0; frame < 30; frame++) {
        HoldStill(0);
        Play(1);
    }
    // 150 away the ring reaches the player after about 0.1 s and hurts 1.0 per second from then on.
    EXPECT_LT(gPlayers[0].health, 0.85f) << "the shooter is not spared";
    EXPECT_GT(gPlayers[0].health, 0.6f);
    EXPECT_EQ(CountShots(BLAST_RING_SLOT, 0), 0) << "a ring lasts 0.4 s";
}

} // namespace
