// Rate-limited turning of nodes toward targets.

#include "3D/Math3D.h"
#include "Objects/ObjNode.h"
#include "System/FrameRate.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct MathTurnTest : ::testing::Test
{
    float savedFrameSeconds = 0.0f;
    std::unique_ptr<ObjNode> node = std::make_unique<ObjNode>();
    void SetUp() override
    {
        savedFrameSeconds = gFrameSeconds;
        gFrameSeconds = 0.1f;
    }
    void TearDown() override { gFrameSeconds = savedFrameSeconds; }
};

// Ground-plane facing of a heading: rotation 0 faces -Z.
void ExpectFacing(float heading, float dirX, float dirZ)
{
    EXPECT_NEAR(dirX, (float)-std::sin(heading), 1e-4f);
    EXPECT_NEAR(dirZ, (float)-std::cos(heading), 1e-4f);
}

} // namespace

TEST_F(MathTurnTest, FastTurnEndsExactlyFacingTheTarget)
{
    float left = TurnTowardOnY(node.get(), nullptr, 10.0f, 0.0f, 1000.0f, false, nullptr);
    EXPECT_EQ(0.0f, left);
    ExpectFacing(node->Rotation.y, 1.0f, 0.0f);

    // Nothing left to turn, so a second call stays put.
    float heading = node->Rotation.y;
    EXPECT_NEAR(0.0f, TurnTowardOnY(node.get(), nullptr, 10.0f, 0.0f, 1000.0f, false, nullptr), 1e-3f);
    EXPECT_NEAR(heading, node->Rotation.y, 1e-3f);
}

TEST_F(MathTurnTest, SlowTurnStepsBySpeedTimesFrameTimeTheShortWayRound)
{
    // Target on the left (-X): the heading grows toward pi/2.
    float left = TurnTowardOnY(node.get(), nullptr, -10.0f, 0.0f, 2.0f, false, nullptr);
    EXPECT_NEAR(0.2f, node->Rotation.y, 1e-6f);
    EXPECT_NEAR(PI / 2 - 0.2f, left, 1e-5f);

    // Target on the right (+X): the heading shrinks.
    node->Rotation.y = 0.0f;
    float cross = 0.0f;
    TurnTowardOnY(node.get(), nullptr, 10.0f, -1.0f, 2.0f, false, &cross);
    EXPECT_NEAR(-0.2f, node->Rotation.y, 1e-6f);
    EXPECT_GT(cross, 0.0f);
}

TEST_F(MathTurnTest, RepeatedTurnsConvergeWithoutOscillating)
{
    node->Rotation.y = 2.5f;
    float previous = 10.0f;
    for (int frame = 0; frame < 40; frame++) {
        float left = TurnTowardOnY(node.get(), nullptr, 3.0f, -7.0f, 3.0f, false, nullptr);
        EXPECT_LE(left, previous + 1e-3f);
        previous = left;
    }
    EXPECT_NEAR(0.0f, previous, 1e-3f);
    float length = std::hypot(3.0f, 7.0f);
    ExpectFacing(node->Rotation.y, 3.0f / length, -7.0f / length);
}

TEST_F(MathTurnTest, ZeroSpeedOnlyMeasures)
{
    float cross = 0.0f;
    float left = TurnTowardOnY(node.get(), nullptr, 0.0f, 10.0f, 0.0f, false, &cross);
    EXPECT_NEAR(PI, left, 1e-5f);
    EXPECT_EQ(0.0f, node->Rotation.y);
}

TEST_F(MathTurnTest, TargetOnTheTurningPointTurnsNothing)
{
    node->Position = {5.0f, 0.0f, 5.0f};
    node->Rotation.y = 1.0f;
    EXPECT_EQ(0.0f, TurnTowardOnY(node.get(), nullptr, 5.0f, 5.0f, 1000.0f, false, nullptr));
    EXPECT_EQ(1.0f, node->Rotation.y);
}

TEST_F(MathTurnTest, GivenPointAndOffsetReplaceTheNodePosition)
{
    // Seen from the node's position the target is straight ahead; from the muzzle it is to the left.
    node->Position = {0.0f, 0.0f, 0.0f};
    Point3D muzzle = {10.0f, 0.0f, -10.0f};
    TurnTowardOnY(node.get(), &muzzle, 0.0f, -10.0f, 1000.0f, false, nullptr);
    ExpectFacing(node->Rotation.y, -1.0f, 0.0f);

    node->Rotation.y = 0.0f;
    node->HomingOffset = {20.0f, 0.0f, 10.0f};
    TurnTowardOnY(node.get(), nullptr, 0.0f, -10.0f, 1000.0f, true, nullptr);
    ExpectFacing(node->Rotation.y, 1.0f, 0.0f);
}

TEST_F(MathTurnTest, PitchTurnsUpOrDownOntoTheTarget)
{
    Point3D origin = {0.0f, 0.0f, 0.0f};
    Point3D above = {0.0f, 10.0f, -10.0f}, below = {0.0f, -10.0f, -10.0f};

    EXPECT_EQ(0.0f, TurnTowardOnX(node.get(), &origin, &above, 1000.0f));
    EXPECT_NEAR(PI / 4, node->Rotation.x, 1e-5f);
    EXPECT_NEAR(0.0f, TurnTowardOnX(node.get(), &origin, &above, 1000.0f), 1e-3f);

    node->Rotation.x = 0.0f;
    float left = TurnTowardOnX(node.get(), &origin, &below, 1.0f);
    EXPECT_NEAR(-0.1f, node->Rotation.x, 1e-6f);
    EXPECT_NEAR(PI / 4 - 0.1f, left, 1e-5f);
}
