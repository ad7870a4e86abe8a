// The race over line markers, on a square course of four markers with a player object that is
// moved by hand: laps, skipped markers, places and the wrong-way sign.

#include "Gameplay/Player.h"
#include "System/LevelGlobals.h"
#include "System/ProgramState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

class RaceProgressTest : public ::testing::Test
{
protected:
    std::unique_ptr<ObjNode> nodes[2];

    void SetUp() override
    {
        // Markers across the course at z = 0 (finish), x = 1000, z = 2000 and x = -1000.
        gNumLineMarkers = 4;
        gLineMarkers[0] = {0, 0, -100, 100, 0, 0};
        gLineMarkers[1] = {0, 0, 1000, 1000, 900, 1100};
        gLineMarkers[2] = {0, 0, -100, 100, 2000, 2000};
        gLineMarkers[3] = {0, 0, -1000, -1000, 900, 1100};
        gPlayMode = kPlayMode_Race;
        gNumPanes = 2;
        gLevelEnding = false;
        for (int player = 0; player < 2; player++) {
            nodes[player] = std::make_unique<ObjNode>();
            gPlayers[player] = {};
            gPlayers[player].objNode = nodes[player].get();
            gPlayers[player].lastLineMarker = 3;
            gPlayers[player].place = int16_t(player);
        }
    }

    void TearDown() override
    {
        gNumLineMarkers = 0;
        gLevelEnding = false;
        for (PlayerRecord& record : gPlayers)
            record.objNode = nullptr;
    }

    void Cross(int player, int marker) { UpdateRaceProgress(player, marker); }

    void Lap(int player)
    {
        Cross(player, 1);
        Cross(player, 2);
        Cross(player, 3);
        Cross(player, 0);
    }
};

TEST_F(RaceProgressTest, AFullLapCountsAndTheThirdFinishesTheRace)
{
    Cross(0, 0); // the start: nothing passed yet
    EXPECT_EQ(gPlayers[0].lap, 0);
    Lap(0);
    EXPECT_EQ(gPlayers[0].lap, 1);
    Lap(0);
    EXPECT_FALSE(gPlayers[0].raceFinished);
    Lap(0);
    EXPECT_EQ(gPlayers[0].lap, 3);
    EXPECT_TRUE(gPlayers[0].raceFinished);
    EXPECT_TRUE(gLevelEnding);
}

TEST_F(RaceProgressTest, SkippingHalfTheMarkersCountsNoLap)
{
    Cross(0, 0);
    Cross(0, 3); // straight to the last marker, skipping 1 and 2
    Cross(0, 0);
    EXPECT_EQ(gPlayers[0].lap, 0);

    Cross(0, 1);
    Cross(0, 2);
    Cross(0, 1); // back over marker 1 takes its mark away
    Cross(0, 3);
    Cross(0, 0);
    EXPECT_EQ(gPlayers[0].lap, 0);
}

TEST_F(RaceProgressTest, TheMarkerCrossedBecomesTheRespawnPoint)
{
    Cross(0, 2);
    EXPECT_FLOAT_EQ(gRespawnPoint[0].x, 0);
    EXPECT_FLOAT_EQ(gRespawnPoint[0].z, 2000);
}

TEST_F(RaceProgressTest, PlacesGoByLapThenMarkerThenDistance)
{
    Cross(0, 0);
    Cross(1, 0);
    Cross(0, 1); // player 0 leads by a marker
    UpdateRacePlaces();
    EXPECT_EQ(gPlayers[0].place, 0);
    EXPECT_EQ(gPlayers[1].place, 1);

    // Same marker: the one nearer the next marker leads.
    Cross(1, 1);
    nodes[0]->Position = {1000, 0, 1500};
    nodes[1]->Position = {1000, 0, 1000};
    UpdateRaceProgress(0, -1);
    UpdateRaceProgress(1, -1);
    UpdateRacePlaces();
    EXPECT_EQ(gPlayers[0].place, 0);
    EXPECT_EQ(gPlayers[1].place, 1);

    // Dead level: both count the other as ahead.
    nodes[1]->Position = nodes[0]->Position;
    UpdateRaceProgress(1, -1);
    UpdateRacePlaces();
    EXPECT_EQ(gPlayers[0].place, 1);
    EXPECT_EQ(gPlayers[1].place, 1);
}

TEST_F(RaceProgressTest, WrongWayNeedsBothFacingAndTravelBackward)
{
    Cross(0, 0);
    Cross(0, 1); // between marker 1 (x = 1000, z = 1000) and marker 2 (0, 2000)
    ObjNode& node = *nodes[0];
    node.Position = {500, 0, 1500};

    // Toward marker 2 is (-1, +1); back toward marker 1 is (+1, -1). Heading h faces (-sin h, -cos h).
    float backward = std::atan2(-1.0f, 1.0f); // faces (+0.707, -0.707)
    node.Rotation.y = backward;
    node.Velocity = {700, 0, -700};
    UpdateRaceProgress(0, -1);
    EXPECT_TRUE(gPlayers[0].wrongWay);

    node.Velocity = {-700, 0, 700}; // facing back but still travelling forward
    UpdateRaceProgress(0, -1);
    EXPECT_FALSE(gPlayers[0].wrongWay);

    node.Velocity = {0, 0, 0}; // hovering still is not going the wrong way
    UpdateRaceProgress(0, -1);
    EXPECT_FALSE(gPlayers[0].wrongWay);
}

} // namespace
