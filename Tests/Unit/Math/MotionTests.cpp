// Frame-time damping and ground-plane headings.

#include "3D/Math3D.h"
#include "System/FrameRate.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// Runs each case at a known frame time and restores the shell's value afterwards.
struct MathMotionTest : ::testing::Test
{
    float savedFrameSeconds = 0.0f;
    void SetUp() override
    {
        savedFrameSeconds = gFrameSeconds;
        gFrameSeconds = 0.1f;
    }
    void TearDown() override { gFrameSeconds = savedFrameSeconds; }
};

} // namespace

TEST_F(MathMotionTest, DampingShortensByFrictionTimesFrameTime)
{
    Vector3D v = {3.0f, 0.0f, 4.0f};
    float scale = DampVector3(&v, 10.0f);
    EXPECT_NEAR(0.8f, scale, 1e-6f);
    EXPECT_NEAR(2.4f, v.x, 1e-5f);
    EXPECT_NEAR(3.2f, v.z, 1e-5f);
}

TEST_F(MathMotionTest, DampingStopsAVectorInsteadOfReversingIt)
{
    gFrameSeconds = 1.0f;
    Vector3D v = {0.0f, 1.0f, 0.0f};
    float result = DampVector3(&v, 2.0f);
    EXPECT_EQ(0.0f, v.x);
    EXPECT_EQ(0.0f, v.y);
    EXPECT_EQ(0.0f, v.z);
    EXPECT_NEAR(-1.0f, result, 1e-6f);

    Vector3D flat = {0.6f, 50.0f, 0.8f};
    DampVectorXZ(&flat, 2.0f);
    EXPECT_EQ(0.0f, flat.x);
    EXPECT_EQ(0.0f, flat.z);
    EXPECT_EQ(50.0f, flat.y);

    Vector3D tiny = {0.00005f, 0.0f, 0.00005f};
    EXPECT_EQ(0.0f, DampVector3(&tiny, 0.0f));
    EXPECT_EQ(0.0f, tiny.x);
}

TEST_F(MathMotionTest, HorizontalDampingIgnoresVerticalSpeed)
{
    // A fast fall must not make ground friction weaker.
    Vector3D v = {3.0f, -1000.0f, 4.0f};
    float scale = DampVectorXZ(&v, 10.0f);
    EXPECT_NEAR(0.8f, scale, 1e-6f);
    EXPECT_NEAR(2.4f, v.x, 1e-5f);
    EXPECT_EQ(-1000.0f, v.y);
    EXPECT_NEAR(3.2f, v.z, 1e-5f);
}

TEST(MathMotionDecay, DecayStopsAtZeroFromEitherSide)
{
    EXPECT_FLOAT_EQ(3.0f, DecayTowardZero(5.0f, 2.0f));
    EXPECT_EQ(0.0f, DecayTowardZero(1.0f, 2.0f));
    EXPECT_FLOAT_EQ(-3.0f, DecayTowardZero(-5.0f, 2.0f));
    EXPECT_EQ(0.0f, DecayTowardZero(-1.0f, 2.0f));
    EXPECT_EQ(0.0f, DecayTowardZero(0.0f, 2.0f));
}

TEST(MathMotionHeading, CardinalDirectionsFollowTheMinusZForwardConvention)
{
    EXPECT_NEAR(0.0f, HeadingFromTo(1.0f, 0.0f, 0.0f, 0.0f, -5.0f), 1e-6f);
    EXPECT_NEAR(3.0f * PI / 2, HeadingFromTo(1.0f, 0.0f, 0.0f, 5.0f, 0.0f), 1e-5f);
    EXPECT_NEAR(PI / 2, HeadingFromTo(1.0f, 0.0f, 0.0f, -5.0f, 0.0f), 1e-5f);
    EXPECT_NEAR(PI, HeadingFromTo(1.0f, 0.0f, 0.0f, 0.0f, 5.0f), 1e-5f);
}

TEST(MathMotionHeading, SamePointKeepsTheOldHeading)
{
    EXPECT_EQ(1.25f, HeadingFromTo(1.25f, 7.0f, -3.0f, 7.0f, -3.0f));
    EXPECT_EQ(1.25f, HeadingFromTo(1.25f, 7.0f, -3.0f, 7.00005f, -3.00005f));
}

TEST(MathMotionHeading, HeadingFacesTheTargetInEveryQuadrant)
{
    const float targets[][2] = {{3.0f, -7.0f}, {-2.0f, -9.0f}, {-6.0f, 4.0f}, {8.0f, 1.0f}, {0.5f, 0.5f}};
    for (const auto& target : targets) {
        float heading = HeadingFromTo(0.0f, 0.0f, 0.0f, target[0], target[1]);
        EXPECT_GE(heading, 0.0f);
        EXPECT_LE(heading, PI2);
        float length = std::hypot(target[0], target[1]);
        EXPECT_NEAR(target[0] / length, (float)-std::sin(heading), 1e-5f);
        EXPECT_NEAR(target[1] / length, (float)-std::cos(heading), 1e-5f);
    }
}
